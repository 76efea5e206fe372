// The copy-and-install sequence on a fresh simulated machine with the real
// demo set-up folder (build/<preset>/setup) copied into it, as the runner
// lays it out: "C:\Users\User\Downloads\Tunaro Setup\", the installer's own
// path pointing there. The tools library reads the demo product's
// information from the set-up's "Playmoor\" through the process-information
// block; the copy page is a recording one.
// Build the target vn_demo_setup first (or set VN_DEMO_SETUP_DIR).
#pragma once

#ifndef _WIN32

#include <deque>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "InstallFiles.h"
#include "InstallStepPage.h"

// The copy page, recorded: one event per call, in order.
class RecordingStepPage final : public IInstallStepPage {
public:
    std::vector<std::string> events;
    std::vector<std::string> statusTexts;
    std::vector<int32_t> timersStarted;
    int32_t stepCounter = kComponentStep;  // as the page has it while step 1 runs
    bool cancelled = false;

    void SetStatusText(const VnString& text) override;
    void SetProgressRange(int minimum, int maximum) override;
    void SetProgressPosition(int position) override;
    void SetHeader(const VnString& title, const VnString& subtitle) override;
    void SetCanCancel(bool allowed) override;
    void RefreshWizardFrame() override { events.push_back("refresh"); }
    void CancelWizard() override;
    int32_t GetStepCounter() const override { return stepCounter; }
    void SetStepCounter(int32_t step) override { stepCounter = step; }
    void StartStepTimer(int32_t step) override;

    // The events from the status `status` up to (not including) the next status.
    std::vector<std::string> PhaseEvents(const std::string& status) const;
};

class InstallFilesTest : public EngineTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The set-up folder in the machine and its payload, ending in backslashes.
    const VnString& Setup() const { return setup_; }
    VnString Payload(const char16_t* relative) const { return setup_ + u"Playmoor\\" + relative; }
    VnString Installed(const char16_t* relative) const { return InstallOptions::Get().DestinationFolder + relative; }
    // The native system folder, as a 32-bit process reaches it with
    // redirection on, and the 32-bit one.
    static VnString NativeSystem(const char16_t* name) { return VnString(u"C:\\Windows\\Sysnative\\") + name; }
    static VnString SysWow64(const char16_t* name) { return VnString(u"C:\\Windows\\SysWOW64\\") + name; }
    static VnString Fonts(const char16_t* name) { return VnString(u"C:\\Windows\\Fonts\\") + name; }

    void RunCopyAndInstall() { files.CopyAndInstall(&page); }
    // Runs the page's step chain from its first timer as the page would,
    // with the seams for steps 0 and 2; the steps run, in order.
    std::vector<int32_t> RunStepChain();

    // A registry value as text (the installer's own view); "<missing>" when absent.
    std::string RegistryText(VnRegRoot root, const VnString& key, const std::string& name) {
        return SimMachine().Value(root, key, name);
    }
    bool LoggedContaining(const std::string& part);
    // The log's lines as "<source>: <text>", without time and thread.
    std::vector<std::string> LogLines();

    CInstallFiles files;
    RecordingStepPage page;

private:
    VnString setup_;
};

#endif
