// A fresh simulated machine for one test: a new machine folder under the
// temporary folder, installed as the platform while it lives and removed
// after it. Native only (the Windows builds run on the real API instead).
#pragma once

#ifndef _WIN32

#include <memory>
#include <string>
#include <string_view>

#include "VnPlatform.h"
#include "VnSimPlatform.h"

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
    bool KeyExists(VnRegRoot root, const VnString& key, bool view64 = false);
    // Creates the Windows folder's system32 and SysWOW64, which a new machine lacks.
    void MakeSystemFolders();

    // Copies the build tree's demo set-up folder into `folder` (a Windows path
    // ending in a backslash). It is found through VN_DEMO_SETUP_DIR, else as
    // "setup/" beside a parent folder of the test program; false when none.
    bool CopyDemoSetup(const VnString& folder);

private:
    std::string folder_;
    std::unique_ptr<VnSimPlatform> machine_;
};

#endif
