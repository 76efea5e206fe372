// A fresh simulated machine per case for the earlier-installation search and
// the uninstall entry and installation record writers: a set-up folder
// "C:\Setup\" with a test product ("Tunaro 9933", version 9933.0.44, family
// name "Tunaro"), the tools library registered as VnTools(), and helpers to
// plant and read registry keys.
// Header-only, so that the application tests include it as well. Native only.
#pragma once

#ifndef _WIN32

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "InstallOptions.h"
#include "OperatingSystem.h"
#include "ProcessInformationBlock.h"
#include "ProgramFiles.h"
#include "RegisteredTools.h"
#include "SimTestMachine.h"

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
        CloseMachine();
        sim_ = std::make_unique<SimTestMachine>(factsText);
        Machine().Facts().installerPath = VN_LIT(u"C:\\Setup\\Tunaro Install Wizard.exe");
        InstallOptions::ResetForTests();
        ForgetOperatingSystem();
        sim_->WriteFile(VnString(kPlaymoor) + u"ProductInfo.xml", kProductInfo);
        tools_ = std::make_unique<RegisteredTools>(kPlaymoor);
        VnString problem;
        product_ = tools_->Library().GetProductInformation(problem);
        ASSERT_NE(product_, nullptr) << problem.ToUtf8();
    }

    void CloseMachine() {
        tools_.reset();
        ProcessInformationBlock::Close();
        ForgetOperatingSystem();
        sim_.reset();
    }

    VnSimPlatform& Machine() { return sim_->Machine(); }
    ToolsInterface& Tools() { return tools_->Library(); }
    ProductInformation& Product() { return *product_; }
    InstallOptions& Options() { return InstallOptions::Get(); }
    void WriteFile(const VnString& path, const std::string& bytes) { sim_->WriteFile(path, bytes); }
    bool KeyExists(VnRegRoot root, const VnString& key, bool view64 = false) { return sim_->KeyExists(root, key, view64); }

    // Sets (or, with a null value, deletes) a value below HKEY_LOCAL_MACHINE or
    // HKEY_CURRENT_USER in the installer's own view or the 64-bit view.
    void SetValue(VnRegRoot root, const VnString& key, bool view64, const VnString& name, const VnRegValue& value) {
        VnRegKey handle = 0;
        const uint32_t access = vnwin::kKeyReadWrite | (view64 ? vnwin::kKeyWow64_64Key : 0);
        ASSERT_EQ(Machine().Registry().CreateKey(root, key, access, handle), 0u) << key.ToUtf8();
        Machine().Registry().SetValue(handle, name, value);
        Machine().Registry().CloseKey(handle);
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

    // Every value of a key in enumeration (creation) order; empty when the key is missing.
    std::vector<NamedValue> Values(VnRegRoot root, const VnString& key, bool view64 = false) {
        std::vector<NamedValue> values;
        VnRegKey handle = 0;
        const uint32_t access = vnwin::kKeyRead | (view64 ? vnwin::kKeyWow64_64Key : 0);
        if (Machine().Registry().OpenKey(root, key, access, handle) != 0) return values;
        VnString name;
        VnRegValue value;
        for (uint32_t i = 0; Machine().Registry().EnumValue(handle, i, name, &value) == 0; ++i) {
            const bool number = value.type == vnwin::kRegDword || value.type == vnwin::kRegQword;
            values.push_back({name.ToUtf8(), value.type, number ? std::to_string(value.number) : value.text.ToUtf8()});
        }
        Machine().Registry().CloseKey(handle);
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
    std::unique_ptr<SimTestMachine> sim_;
    std::unique_ptr<RegisteredTools> tools_;
    ProductInformation* product_ = nullptr;
};

#endif  // _WIN32
