// The wizard's tests: a fresh simulated machine per case with a set-up folder
// "C:\Setup\" holding a test product ("Tunaro 9933"), the tools library
// linked in, the headless toolkit's clock at 0, and the wizard driven as a
// user would through VnUiDriver. Message boxes are answered from the
// machine's queue (Yes or OK unless queued) and read back from its record.
#pragma once

#ifndef _WIN32

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "InstallOptions.h"
#include "InstallWizard.h"
#include "RegisteredTools.h"
#include "SilentInstall.h"
#include "SimTestMachine.h"
#include "VnHeadlessUi.h"
#include "VnUiDriver.h"

struct WizardProduct {
    std::string features = "2;173;176";
    std::string installToPath{};
    std::string installer{};      // the "Installer" element's content
    std::string startMenuFolder{};  // empty: no "StartMenuFolder" element
    std::string downloads{};      // the "Downloads" element's content; empty: no element
};
// The product information file of the test product.
std::string WizardProductXml(const WizardProduct& product);

class WizardTest : public ::testing::Test {
protected:
    static constexpr const char16_t* kSetupFolder = u"C:\\Setup\\";
    // The default destination on the default machine (32-bit installer on 64-bit Windows).
    static constexpr const char* kDefaultDestination = "C:\\Program Files (x86)\\V Arnel\\Tunaro 9933\\";

    void SetUp() override { OpenMachine(""); }
    void TearDown() override { CloseMachine(); }

    // A new machine in place of the open one; `factsText` (machine.ini lines) changes its facts.
    void OpenMachine(const std::string& factsText, const WizardProduct& product = WizardProduct());
    void CloseMachine();

    // Makes the wizard's window (page 0 shown) and lets `ms` of time pass.
    CInstallWizard& OpenWizard(uint64_t ms = 20);
    CInstallWizard& Wizard() { return *wizard_; }
    VnUiDriver& Ui() { return ui_; }
    void Advance(uint64_t ms) { VnHeadlessUi::Get().Advance(ms); }
    // Waits out the click guard, then presses the button.
    void Press(std::u16string_view label);
    // Accept, then Custom and Next.
    void AcceptAndChooseCustom();
    // The same, then Normal when that page is shown: up to the destination page.
    void WalkToDestination();

    int32_t Page() const { return wizard_->GetCurrentIndex(); }
    std::string Caption() const { return wizard_->GetText().ToUtf8(); }
    InstallOptions& Options() { return InstallOptions::Get(); }

    VnSimPlatform& Machine() { return machine_->Machine(); }
    SimTestMachine& Sim() { return *machine_; }
    void QueueAnswer(int answer) { Machine().SimShell().QueueAnswer(answer); }
    // The boxes shown so far, as "title: text".
    std::vector<std::string> Boxes() const;

    void WriteFile(const VnString& path, const std::string& bytes) { machine_->WriteFile(path, bytes); }
    // An uninstall entry of the product's family, published by the maker.
    void AddUninstallEntry(const VnString& name, const VnString& location);

private:
    std::unique_ptr<SimTestMachine> machine_;
    std::unique_ptr<RegisteredTools> tools_;
    std::unique_ptr<CInstallWizard> wizard_;
    VnUiDriver ui_;
};

#endif  // _WIN32
