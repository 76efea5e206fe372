// Start-up runs in-process on a fresh simulated machine per case, through the
// runner's entry (RunInstallerInMachine), from a small set-up folder at
// "C:\Setup\" with a test product: "Tunaro" (form 0), "Tunaro Test" (form 1),
// "Tunaro 9933" (form 4). Native only: the faults come from the machine's facts.
#pragma once

#ifndef _WIN32

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "TestText.h"
#include "InstallApp.h"
#include "SimTestMachine.h"

// What the test product's information may vary.
struct TestProduct {
    std::string name0 = "Tunaro";
    std::string minIEVersion = "7.0.0.0";
    int showLanguageSelection = 0;
};

// The box a second installer gets while another one runs.
inline const VnString kAnotherInstanceText =
    u"Another instance of the Varnel installer is already running on this system.\r\n\r\n"
    u"Please finish any other Varnel installations and try again.";

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class StartUpTest : public ::testing::Test {
protected:
    static constexpr const char16_t* kSetupFolder = u"C:\\Setup\\";
    static constexpr const char16_t* kInstallerPath = u"C:\\Setup\\Tunaro Install Wizard.exe";

    void SetUp() override;
    void TearDown() override;

    VnSimPlatform& Machine() { return sim_->Machine(); }
    VnSimFacts& Facts() { return sim_->Facts(); }

    // Runs the installer entry on `app` (a new application object when none
    // is given) and returns the exit code.
    int Run(std::u16string_view commandLine = u"");
    int Run(CInstallApp& app, std::u16string_view commandLine = u"");

    void WriteProduct(const TestProduct& product);
    void WriteFile(const VnString& path, std::string_view bytes) { sim_->WriteFile(path, bytes); }
    bool Exists(const VnString& path) { return sim_->Exists(path); }
    void Delete(const VnString& path);
    void SetRegistryText(VnRegRoot root, const VnString& key, const VnString& name, const VnString& text) {
        sim_->SetValue(root, key, name, VnRegValue::String(text), true);
    }
    bool KeyExists(VnRegRoot root, const VnString& key) { return sim_->KeyExists(root, key, true); }

    // The message boxes shown so far, and one of them.
    int MessageCount() const;
    const VnSimMessageRecord& Message(int index) const;
    // The tools library's log file and the machine's record of programs.
    std::string LogText();
    std::string ProgramsLog();

    // The version Internet Explorer records, in both registry views; empty: none.
    void SetInternetExplorerVersion(const VnString& version);
    // A running product whose main window has the product's window class.
    void AddRunningProduct(bool closesOnWmClose);

private:
    std::unique_ptr<SimTestMachine> sim_;
};

#endif
