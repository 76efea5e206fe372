// A fresh simulated machine for one test: a new machine folder under the
// temporary folder, installed as the platform while it lives and removed
// after it. Native only (the Windows builds run on the real API instead).
#pragma once

#ifndef _WIN32

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "VnPlatform.h"
#include "VnSimPlatform.h"

// A registry value as a test compares it.
struct NamedValue {
    std::string name;
    uint32_t type = 0;
    std::string text;  // REG_SZ data, or a number in decimal
    bool operator==(const NamedValue&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const NamedValue& v) {
    return out << '"' << v.name << "\" type " << v.type << " = \"" << v.text << '"';
}

class SimTestMachine {
public:
    // `factsText` (machine.ini lines) changes the new machine's facts.
    explicit SimTestMachine(const std::string& factsText = std::string());
    ~SimTestMachine();
    SimTestMachine(const SimTestMachine&) = delete;
    SimTestMachine& operator=(const SimTestMachine&) = delete;

    VnSimPlatform& Machine() { return *machine_; }
    VnSimFacts& Facts() { return machine_->Facts(); }
    VnSimFiles& Files() { return machine_->SimFiles(); }

    // The machine folder, and paths and files inside it, on the host side.
    const std::string& Folder() const { return folder_; }
    std::string Host(const std::string& relative) const { return folder_ + "/" + relative; }
    bool HostExists(const std::string& relative) const;
    std::string HostText(const std::string& relative) const;

    // Files inside the machine, by Windows path. WriteFile creates the folders;
    // ReadFile reads a file even while another program holds it.
    void WriteFile(const VnString& path, std::string_view bytes);
    std::string ReadFile(const VnString& path);
    bool Exists(const VnString& path);

    // The registry, in the installer's own view or (view64) the 64-bit one.
    bool KeyExists(VnRegRoot root, const VnString& key, bool view64 = false);
    // Sets a value, creating its key.
    void SetValue(VnRegRoot root, const VnString& key, const VnString& name, const VnRegValue& value,
                  bool view64 = false);
    // Every value of a key in enumeration (creation) order; none when the key is missing.
    std::vector<NamedValue> Values(VnRegRoot root, const VnString& key, bool view64 = false);
    // One text or number value as text; "<missing>" when absent.
    std::string Value(VnRegRoot root, const VnString& key, const std::string& name, bool view64 = false);

    // Creates the Windows folder's system32 and SysWOW64, which a new machine lacks.
    void MakeSystemFolders();

    // Copies the build tree's demo set-up folder into `folder` (a Windows path
    // ending in a backslash). It is found through VN_DEMO_SETUP_DIR, else as
    // "setup/" beside a parent folder of the test program; false when none.
    // `variant` "setup-earlier" is the demo product's earlier version beside it.
    bool CopyDemoSetup(const VnString& folder, const std::string& variant = "setup");

private:
    std::string folder_;
    std::unique_ptr<VnSimPlatform> machine_;
};

#endif
