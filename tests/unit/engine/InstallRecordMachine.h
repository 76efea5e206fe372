// A fresh simulated machine per case for the earlier-installation search and
// the uninstall entry and installation record writers: a set-up folder
// "C:\Setup\" with a test product ("Tunaro 9933", version 9933.0.44, family
// name "Tunaro"), the tools library linked in and installed as VnTools(), and
// helpers to plant and read registry keys and versioned program files.
// Header-only, so that the application tests include it as well. Native only.
#pragma once

#ifndef _WIN32

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "InstallOptions.h"
#include "OperatingSystem.h"
#include "ProcessInformationBlock.h"
#include "ToolsLibrary.h"
#include "ToolsLink.h"
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

// A minimal PE32 program whose version resource holds `major.minor.build.revision`.
inline std::string MakeVersionedProgram(uint16_t major, uint16_t minor, uint16_t build, uint16_t revision) {
    std::string file(0x400, '\0');
    auto put16 = [&file](size_t at, uint32_t v) { file[at] = char(v), file[at + 1] = char(v >> 8); };
    auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xFFFF), put16(at + 2, v >> 16); };
    constexpr size_t kPe = 0x40, kOptional = kPe + 24, kSection = kOptional + 224, kRaw = 0x200;
    constexpr uint32_t kRva = 0x1000, kBlock = 0x58, kBlockLength = 40 + 52;
    put16(0, 0x5A4D);
    put32(0x3C, kPe);
    put32(kPe, 0x00004550);
    put16(kPe + 4, 0x014C);      // i386
    put16(kPe + 6, 1);           // one section
    put16(kPe + 20, 224);        // optional header size
    put16(kOptional, 0x10B);     // PE32
    put32(kOptional + 92, 16);   // data directories
    put32(kOptional + 96 + 2 * 8, kRva);
    put32(kOptional + 96 + 2 * 8 + 4, kBlock + kBlockLength);
    file.replace(kSection, 5, ".rsrc");
    put32(kSection + 8, kBlock + kBlockLength);
    put32(kSection + 12, kRva);
    put32(kSection + 16, 0x200);
    put32(kSection + 20, kRaw);
    // Type RT_VERSION -> name 1 -> neutral language -> data entry -> block.
    const uint32_t directories[][2] = {{16, 0x80000018}, {1, 0x80000030}, {0, 0x48}};
    for (size_t i = 0; i < 3; ++i) {
        put32(kRaw + i * 0x18 + 12, 1u << 16);
        put32(kRaw + i * 0x18 + 16, directories[i][0]);
        put32(kRaw + i * 0x18 + 20, directories[i][1]);
    }
    put32(kRaw + 0x48, kRva + kBlock);
    put32(kRaw + 0x4C, kBlockLength);
    const size_t block = kRaw + kBlock;
    put16(block, kBlockLength);
    put16(block + 2, 52);
    const char key[] = "VS_VERSION_INFO";
    for (size_t i = 0; i < sizeof key - 1; ++i) put16(block + 6 + 2 * i, uint8_t(key[i]));
    put32(block + 40, 0xFEEF04BD);
    put32(block + 44, 0x00010000);
    put32(block + 48, uint32_t(major) << 16 | minor);
    put32(block + 52, uint32_t(build) << 16 | revision);
    return file;
}

class InstallRecordMachine : public ::testing::Test {
protected:
    static constexpr const char16_t* kSetupFolder = u"C:\\Setup\\";
    static constexpr const char16_t* kPlaymoor = u"C:\\Setup\\Playmoor\\";
    static constexpr const char16_t* kUninstallList = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    static constexpr const char16_t* kInstallations = u"Software\\V. Arnel\\Tunacore\\Installations";
    static constexpr const char16_t* kInstallerKey = u"Software\\V. Arnel\\Tunaro 9933\\Installer";

    void SetUp() override { OpenMachine(""); }

    void TearDown() override { CloseMachine(); }

    // A new machine; `factsText` (machine.ini lines) changes its facts.
    void OpenMachine(const std::string& factsText) {
        static std::atomic<int> caseNumber{0};
        hostFolder_ = (std::filesystem::temp_directory_path() /
                       ("vn-records-" + std::to_string(getpid()) + "-" + std::to_string(++caseNumber)))
                          .string();
        std::filesystem::remove_all(hostFolder_);
        if (!factsText.empty()) {
            std::filesystem::create_directories(hostFolder_);
            std::ofstream(hostFolder_ + "/" + VnSimPlatform::kFactsFileName) << factsText;
        }
        std::string error;
        machine_ = VnSimPlatform::OpenMachine(hostFolder_, error);
        ASSERT_TRUE(machine_) << error;
        machine_->Facts().installerPath = VN_LIT(u"C:\\Setup\\Tunaro Install Wizard.exe");
        VnSetPlatform(machine_.get());
        InstallOptions::ResetForTests();
        ForgetOperatingSystem();

        WriteFile(VnString(kPlaymoor) + u"ProductInfo.xml", kProductInfo);
        folders_.moduleFolder = kPlaymoor;
        library_ = std::make_unique<VnToolsLibrary>();
        library_->SetProcessFolders(&folders_);
        VnString problem;
        product_ = library_->GetProductInformation(problem);
        ASSERT_NE(product_, nullptr) << problem.ToUtf8();
        VnSetTools(library_.get());
    }

    void CloseMachine() {
        VnSetTools(nullptr);
        library_.reset();
        ProcessInformationBlock::Close();
        ForgetOperatingSystem();
        VnSetPlatform(nullptr);
        machine_.reset();
        std::filesystem::remove_all(hostFolder_);
    }

    VnSimPlatform& Machine() { return *machine_; }
    ToolsInterface& Tools() { return *library_; }
    ProductInformation& Product() { return *product_; }
    InstallOptions& Options() { return InstallOptions::Get(); }

    void WriteFile(const VnString& path, const std::string& bytes) {
        VnString folder;
        for (const VnString& part : VnStringArray::Split(path.Left(path.ReverseFind(u'\\')).View(), u"\\")) {
            folder += part + u"\\";
            if (folder.GetLength() > 3) machine_->Files().CreateDirectory(folder);
        }
        ASSERT_EQ(machine_->Files().WriteFile(path, bytes), 0u) << path.ToUtf8();
    }

    // Sets (or, with a null value, deletes) a value below HKEY_LOCAL_MACHINE or
    // HKEY_CURRENT_USER in the installer's own view or the 64-bit view.
    void SetValue(VnRegRoot root, const VnString& key, bool view64, const VnString& name, const VnRegValue& value) {
        VnRegKey handle = 0;
        const uint32_t access = vnwin::kKeyReadWrite | (view64 ? vnwin::kKeyWow64_64Key : 0);
        ASSERT_EQ(machine_->Registry().CreateKey(root, key, access, handle), 0u) << key.ToUtf8();
        machine_->Registry().SetValue(handle, name, value);
        machine_->Registry().CloseKey(handle);
    }

    // An uninstall entry; an empty publisher or location is left out.
    void AddUninstallEntry(bool view64, const VnString& name, const VnString& publisher,
                           const VnString& location = VnString()) {
        const VnString key = VnString(kUninstallList) + u"\\" + name;
        SetValue(VnRegRoot::LocalMachine, key, view64, u"DisplayName", VnRegValue::String(name));
        if (!publisher.IsEmpty()) SetValue(VnRegRoot::LocalMachine, key, view64, u"Publisher", VnRegValue::String(publisher));
        if (!location.IsEmpty())
            SetValue(VnRegRoot::LocalMachine, key, view64, u"InstallLocation", VnRegValue::String(location));
    }

    bool KeyExists(VnRegRoot root, const VnString& key, bool view64 = false) {
        VnRegKey handle = 0;
        const uint32_t access = vnwin::kKeyRead | (view64 ? vnwin::kKeyWow64_64Key : 0);
        if (machine_->Registry().OpenKey(root, key, access, handle) != 0) return false;
        machine_->Registry().CloseKey(handle);
        return true;
    }

    // Every value of a key in enumeration (creation) order; empty when the key is missing.
    std::vector<NamedValue> Values(VnRegRoot root, const VnString& key, bool view64 = false) {
        std::vector<NamedValue> values;
        VnRegKey handle = 0;
        const uint32_t access = vnwin::kKeyRead | (view64 ? vnwin::kKeyWow64_64Key : 0);
        if (machine_->Registry().OpenKey(root, key, access, handle) != 0) return values;
        VnString name;
        VnRegValue value;
        for (uint32_t i = 0; machine_->Registry().EnumValue(handle, i, name, &value) == 0; ++i) {
            const bool number = value.type == vnwin::kRegDword || value.type == vnwin::kRegQword;
            values.push_back({name.ToUtf8(), value.type, number ? std::to_string(value.number) : value.text.ToUtf8()});
        }
        machine_->Registry().CloseKey(handle);
        return values;
    }

    // One text or number value as text; "<missing>" when absent.
    std::string Value(VnRegRoot root, const VnString& key, const std::string& name, bool view64 = false) {
        for (const NamedValue& value : Values(root, key, view64))
            if (value.name == name) return value.text;
        return "<missing>";
    }

    static constexpr const char* kProductInfo = R"(<?xml version="1.0" encoding="UTF-8"?>
<TestProduct version="1.0">
  <Names><Name Form="0">Tunaro</Name><Name Form="1">Tunaro Test 9933</Name><Name Form="3">Tunaro</Name><Name Form="4">Tunaro 9933</Name></Names>
  <Version>9933.0.44</Version>
  <URL>https://www.tunaro.example/</URL>
  <ExecutableName>Tunaro.exe</ExecutableName>
  <LauncherName>Tunaro Launcher.exe</LauncherName>
</TestProduct>
)";

private:
    struct Folders final : ToolsProcessFolders {
        VnString moduleFolder;
        VnString GetProgramFolder() const override { return VnString(); }
        VnString GetModuleFolder() const override { return moduleFolder; }
    };

    std::string hostFolder_;
    std::unique_ptr<VnSimPlatform> machine_;
    Folders folders_;
    std::unique_ptr<VnToolsLibrary> library_;
    ProductInformation* product_ = nullptr;
};

#endif  // _WIN32
