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
#include "TestText.h"

class InstallRecordMachine : public ::testing::Test {
protected:
    static constexpr const char16_t* kSetupFolder = u"C:\\Setup\\";
    static constexpr const char16_t* kPlaymoor = u"C:\\Setup\\Playmoor\\";
    static constexpr const char16_t* kUninstallList = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    static constexpr const char16_t* kInstallations = u"Software\\V. Arnel\\Tunacore\\Installations";
    static constexpr const char16_t* kInstallerKey = u"Software\\V. Arnel\\Tunaro 9933\\Installer";

    void SetUp() override { OpenMachine(""); }

    void TearDown() override { CloseMachine(); }

    // A new machine; `factsText` (machine.ini lines) changes its facts,
    // `productInfo` replaces the test product's "ProductInfo.xml".
    void OpenMachine(const std::string& factsText, const char* productInfo = kProductInfo) {
        CloseMachine();
        sim_ = std::make_unique<SimTestMachine>(factsText);
        Machine().Facts().installerPath = VN_LIT(u"C:\\Setup\\Tunaro Install Wizard.exe");
        InstallOptions::ResetForTests();
        ForgetOperatingSystem();
        sim_->WriteFile(VnString(kPlaymoor) + u"ProductInfo.xml", productInfo);
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

    void SetValue(VnRegRoot root, const VnString& key, bool view64, const VnString& name, const VnRegValue& value) {
        sim_->SetValue(root, key, name, value, view64);
    }
    std::vector<NamedValue> Values(VnRegRoot root, const VnString& key, bool view64 = false) {
        return sim_->Values(root, key, view64);
    }
    std::string Value(VnRegRoot root, const VnString& key, const std::string& name, bool view64 = false) {
        return sim_->Value(root, key, name, view64);
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
