#include "WizardHandOff.h"

#include <atomic>

#include "InstallRecorder.h"
#include "InstallerKey.h"
#include "ProcessInformationBlock.h"
#include "RunInstallWizard.h"
#include "VnFileSystem.h"

namespace {

constexpr char16_t kSource[] = u"CInstallWizard";
std::atomic<bool> g_reached{false};
std::atomic<bool> g_recording{true};

VnString OptionsSummary(const InstallOptions& o) {
    return VnString::Format(
        u"Options: Silent=%d Upgrade=%d NoAssociations=%d NoDependencies=%d NoUpgrade=%d NoDriver=%d NoRun=%d "
        u"DistributorID=\"%s\" AllowDowngrade=%d",
        o.Silent, o.Upgrade, o.NoAssociations, o.NoDependencies, o.NoUpgrade, o.NoDriver, o.NoRun, o.DistributorID,
        o.AllowDowngrade);
}

// The wizard runs on a recording platform, so that everything the install
// does lands in the installation record; not what is the run's own (the
// temporary folder, the set-up folder) nor the program's settings, which the
// uninstaller keeps whole or removes whole.
int RunRecordedWizard() {
    if (!g_recording) return RunInstallWizard();
    VnStringArray folders;
    folders.Add(VnPlatform().System().GetSpecialFolder(vnwin::kCsidlLocalAppData) + u"\\Temp");
    folders.Add(GetInstallerFolder());
    VnStringArray userKeys;
    VnString settingsKey = CInstallerKey().KeyPath();  // "HKEY_CURRENT_USER\Software\...\Installer"
    if (settingsKey.StartsWith(u"HKEY_CURRENT_USER\\") && settingsKey.ReverseFind(u'\\') > 0)
        userKeys.Add(settingsKey.Mid(18, settingsKey.ReverseFind(u'\\') - 18));
    IVnPlatform& platform = VnPlatform();
    int exitCode = 0;
    {
        CInstallRecorder recorder(platform, folders, userKeys);
        VnSetPlatform(&recorder);
        exitCode = RunInstallWizard();
        VnSetPlatform(&platform);
    }
    return exitCode;
}

}  // namespace

int RunWizardHandOff(ToolsInterface& tools, const InstallOptions& options) {
    ToolsLog* log = tools.GetLog();
    if (log) {
        log->Write(kSource, VN_LIT(u"Hand-off reached: start-up is complete, the wizard is shown"));
        log->Write(kSource, OptionsSummary(options));
        log->Write(kSource, VnString::Format(u"Installed copy: \"%s\"",
                                             ProcessInformationBlock::Get().GetProgramFolder()));
        log->Flush();
    }
    g_reached = true;
    return RunRecordedWizard();
}

bool WizardHandOffReached() { return g_reached.load(); }

void SetInstallRecording(bool on) { g_recording = on; }

void ForgetWizardHandOff() { g_reached = false; }
