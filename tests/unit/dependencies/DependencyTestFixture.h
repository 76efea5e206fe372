// The dependency step's tests: a fresh simulated machine per case holding the
// demo set-up at "C:\Setup\" (build the target vn_demo_setup first), the
// tools library reading its product information, the in-process stand-ins
// registered (the reader library, the dependency set-ups), and a recording
// copy page. ServeDownloadsFrom turns the set-up into one that must download
// its dependency set-ups from a server of the test.
#pragma once

#ifndef _WIN32

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "InstallDependency.h"
#include "InstallSteps.h"
#include "LoopbackHttpServer.h"
#include "RegisteredTools.h"
#include "SimTestMachine.h"

// Removes the set-up's own copies of the dependency set-ups (in `setup` +
// "Support\") and points its download addresses 15 and 54 at
// "/d3dx943.exe" and "/MicrosoftEdgeWebview2Setup.exe" on the server.
void PrepareDownloadingSetup(SimTestMachine& sim, const VnString& setup, const LoopbackHttpServer& server);

class RecordingDependencyPage final : public IInstallStepPage {
public:
    std::vector<std::string> statusTexts;
    std::vector<bool> cancelAllowed;  // each SetCanCancel, in order
    std::vector<int32_t> timersStarted;
    int progressMaximum = 0, progressPosition = 0;
    bool cancelRequested = false;
    bool wizardCancelled = false;

    void SetStatusText(const VnString& text) override { statusTexts.push_back(text.ToUtf8()); }
    void SetProgressRange(int, int maximum) override { progressMaximum = maximum; }
    void SetProgressPosition(int position) override { progressPosition = position; }
    void SetHeader(const VnString&, const VnString&) override {}
    void SetCanCancel(bool allowed) override { cancelAllowed.push_back(allowed); }
    void RefreshWizardFrame() override {}
    void CancelWizard() override { wizardCancelled = true; }
    bool IsCancelRequested() const override { return cancelRequested; }
    int32_t GetStepCounter() const override { return stepCounter; }
    void SetStepCounter(int32_t step) override { stepCounter = step; }
    void StartStepTimer(int32_t step) override { timersStarted.push_back(step); }

    int32_t stepCounter = 1;  // as the page has it while step 0 runs
};

class DependencyTest : public ::testing::Test {
protected:
    static constexpr const char16_t* kSetup = u"C:\\Setup\\";
    static constexpr const char16_t* kSupport = u"C:\\Setup\\Support\\";
    static constexpr const char16_t* kDirectXSetup = u"d3dx943.exe";
    static constexpr const char16_t* kWebViewSetup = u"MicrosoftEdgeWebview2Setup.exe";

    void SetUp() override { OpenMachine(""); }
    void TearDown() override { CloseMachine(); }

    // A new machine; `factsText` (machine.ini lines) changes its facts.
    void OpenMachine(const std::string& factsText);
    void CloseMachine();
    // PrepareDownloadingSetup on the machine's set-up, the product information read again.
    void ServeDownloadsFrom(const LoopbackHttpServer& server);

    // The step as the copy page runs it.
    void RunStep() { InstallDependencies(page); }
    // The starts a dependency set-up recorded, and its last command line.
    int Starts(const char16_t* program);
    std::string CommandLine(const char16_t* program);
    // The message boxes shown so far, as "title: text".
    std::vector<std::string> Boxes();

    SimTestMachine& Sim() { return *sim_; }
    RecordingDependencyPage page;

private:
    std::unique_ptr<SimTestMachine> sim_;
    std::unique_ptr<RegisteredTools> tools_;
};

#endif
