// The whole copy-and-install sequence on fresh simulated machines: the phases
// in their order with their texts and progress, 64-bit against 32-bit
// Windows, a portable install, and the ways the step ends early.
#ifndef _WIN32

#include <algorithm>

#include "FontTable.h"
#include "InstallFilesFixture.h"
#include "InstallRunLog.h"
#include "InstallationRecord.h"
#include "ProcessInformationBlock.h"

namespace {

const VnString kUninstallKey = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tunaro 33";
const VnString kRecordKey = VnString(kInstallationsKey) + u"\\Tunaro 33";
const std::vector<std::string> kStatusTexts = {
    "Cleaning installation directory...", "Loading default library and settings...",
    "Upgrading from previous version...", "Installing system files...", "Installing Tunaro program files...",
    "Registering program files...",       "Creating registry settings..."};

class InstallFilesSequenceTest : public InstallFilesTest {
protected:
    // The pumps of the system-files phase: the status line's own, then those
    // of the passes with runs of the same kind merged.
    std::vector<std::string> PumpsWhileCopyingSystemFiles() {
        std::vector<std::string> pumps;
        for (const std::string& event : page.PhaseEvents("Installing system files..."))
            if (event.rfind("pump", 0) == 0 && (pumps.size() < 2 || event != pumps.back())) pumps.push_back(event);
        return pumps;
    }
};

}  // namespace

TEST_F(InstallFilesSequenceTest, AFreshSixtyFourBitMachineGetsEveryPhaseInOrder) {
    RunCopyAndInstall();
    const VnString destination = Options().DestinationFolder;

    // The header first, Cancel refused and shown so; then the phases.
    ASSERT_GE(page.events.size(), 3u);
    EXPECT_EQ(page.events[0], "header Copying Files | Please wait while Install Wizard copies and registers files.");
    EXPECT_EQ(page.events[1], "cancel refused");
    EXPECT_EQ(page.events[2], "refresh");
    EXPECT_EQ(page.statusTexts, kStatusTexts);
    EXPECT_EQ(page.PhaseEvents("Cleaning installation directory..."),
              (std::vector<std::string>{"pump", "position 1", "pump", "range 0..1", "position 0"}));
    // Each phase in its log scope, in order (the scope lines give durations).
    std::string phaseStarts;
    for (const std::string& line : LogLines())
        if (line.rfind("CInstallFiles::", 0) == 0 && line.ends_with(": Start"))
            phaseStarts += line.substr(15, line.size() - 15 - 7) + " ";
    EXPECT_EQ(phaseStarts,
              "CopyAndInstall CleanInstallationDirectory LoadDefaultLibrary UpgradeFromPreviousVersion "
              "InstallCoreLibraries InstallSystemFiles InstallProgramFiles RegisterProgramFiles "
              "CreateRegistrySettings WriteUninstallEntry ");
    EXPECT_TRUE(Logged("CleanInstallDirectory: Start"));
    EXPECT_TRUE(LoggedContaining("CInstallFiles::CopyAndInstall: Options: Silent=0"));

    // Program tree, core libraries of both machines, licence texts.
    EXPECT_EQ(ReadFile(Installed(u"Tunaro.exe")), ReadFile(Payload(u"Tunaro.exe")));
    EXPECT_TRUE(Exists(Installed(u"Data\\Default Art\\application.ico")));
    EXPECT_EQ(ReadFile(Installed(u"x64\\VnAudio.dll")), ReadFile(Payload(u"x64\\VnAudio.dll")));
    for (const char16_t* licence : {u"License.txt", u"License.LGPL2.1.txt", u"License.LGPL3.txt"})
        EXPECT_EQ(ReadFile(Installed(licence)), ReadFile(Setup() + licence)) << Utf8(licence);

    // System files in the native and the 32-bit system folder, the font in
    // both passes, redirection on again.
    for (const char16_t* name : {u"VnCodecSupport.dll", u"VnDeviceBridge.dll", u"Tunacore Launcher.exe"}) {
        EXPECT_TRUE(Exists(NativeSystem(name))) << Utf8(name);
        EXPECT_TRUE(Exists(SysWow64(name))) << Utf8(name);
    }
    EXPECT_EQ(PumpsWhileCopyingSystemFiles(), (std::vector<std::string>{"pump", "pump (redirection off)", "pump"}));
    EXPECT_TRUE(Facts().run.wow64FsRedirection);
    EXPECT_TRUE(LoggedContaining("] CInstallFiles::InstallSystemFiles: Finish (result: 2) ("));
    EXPECT_EQ(Utf8(FontTableRecord()), std::vector<std::string>(2, Utf8(Fonts(u"DejaVuSansMono.ttf"))));

    // The collected components, registered in list order with the bar set
    // to each index; the core libraries are not among them.
    const std::string codec = "component C:\\Windows\\system32\\VnCodecSupport.dll";
    const std::string bridge = "component C:\\Windows\\system32\\VnDeviceBridge.dll";
    EXPECT_EQ(registrations, (std::vector<std::string>{codec, bridge, codec, bridge,
                                                        "component " + Utf8(destination) + "VnTools.dll"}));
    const auto registering = std::find(page.events.begin(), page.events.end(), "status Registering program files...");
    ASSERT_GE(registering - page.events.begin(), 3);
    EXPECT_EQ(*(registering - 3), "range 0..5");
    const std::vector<std::string> registrationPhase = page.PhaseEvents("Registering program files...");
    EXPECT_EQ(std::count(registrationPhase.begin(), registrationPhase.end(), "position 4"), 1);

    // The records, the program folder, the hand-back; nothing waits.
    EXPECT_EQ(RegistryText(VnRegRoot::LocalMachine, kUninstallKey, "DisplayIcon"),
              (destination + u"Data\\Default Art\\application.ico").ToUtf8());  // written after the program files
    EXPECT_EQ(RegistryText(VnRegRoot::LocalMachine, kRecordKey, "Path"), destination.ToUtf8());
    EXPECT_EQ(ProcessInformationBlock::Get().GetProgramFolder(), destination);
    EXPECT_EQ(page.timersStarted, std::vector<int32_t>{kComponentStep});
    EXPECT_EQ(page.stepCounter, kFinishingStep);
    EXPECT_FALSE(page.cancelled);
    EXPECT_FALSE(InstallNeedsRestart());
    EXPECT_TRUE(Logged("CInstallFiles::CopyAndInstall: Restart needed to finish the install: no"));
}

TEST_F(InstallFilesSequenceTest, ThirtyTwoBitWindowsCopiesSystemFilesAndFontsOnce) {
    Facts().osMajor = 5, Facts().osMinor = 1;  // Windows XP: no redirection switch
    Facts().is64BitWindows = false;
    RunCopyAndInstall();

    EXPECT_TRUE(Exists(u"C:\\Windows\\System32\\VnCodecSupport.dll"));
    EXPECT_FALSE(Exists(u"C:\\Windows\\SysWOW64"));
    EXPECT_EQ(PumpsWhileCopyingSystemFiles(), (std::vector<std::string>{"pump", "pump"}));  // never off
    EXPECT_TRUE(LoggedContaining("] CInstallFiles::InstallSystemFiles: Finish (result: 1) ("));
    EXPECT_EQ(Utf8(FontTableRecord()), std::vector<std::string>{Utf8(Fonts(u"DejaVuSansMono.ttf"))});
    EXPECT_EQ(registrations.size(), 3u);  // two system libraries, the tools library
    EXPECT_FALSE(Exists(Installed(u"x64\\VnAudio.dll")));  // the folder may be made, nothing copied
    EXPECT_TRUE(Exists(Installed(u"Tunaro.exe")));
    EXPECT_EQ(page.statusTexts, kStatusTexts);
}

TEST_F(InstallFilesSequenceTest, APortableInstallLeavesTheSystemAloneButRunsEveryPhase) {
    Options().PortableSetup = true;
    Options().DestinationFolder = u"C:\\Portable\\Tunaro\\";
    RunCopyAndInstall();

    EXPECT_EQ(page.statusTexts, kStatusTexts);
    EXPECT_FALSE(Exists(NativeSystem(u"VnCodecSupport.dll")));
    EXPECT_FALSE(Exists(SysWow64(u"Tunacore Launcher.exe")));
    EXPECT_FALSE(Exists(Fonts(u"DejaVuSansMono.ttf")));
    EXPECT_TRUE(FontTableRecord().IsEmpty());

    EXPECT_EQ(ReadFile(Installed(u"Tunaro.exe")), ReadFile(Payload(u"Tunaro.exe")));
    EXPECT_TRUE(Exists(Installed(u"VnAudio.dll")));
    EXPECT_TRUE(Exists(Installed(u"License.LGPL3.txt")));
    EXPECT_EQ(registrations, std::vector<std::string>{"component C:\\Portable\\Tunaro\\VnTools.dll"});
    EXPECT_TRUE(LoggedContaining("CFileAssociationHelper::WriteRegistryTemplates: Finish"));

    EXPECT_EQ(RegistryText(VnRegRoot::LocalMachine, kUninstallKey, "DisplayName"), "<missing>");
    EXPECT_EQ(RegistryText(VnRegRoot::LocalMachine, kRecordKey, "Path"), "<missing>");
    EXPECT_EQ(page.timersStarted, std::vector<int32_t>{kComponentStep});
}

TEST_F(InstallFilesSequenceTest, CancelOnTheCoreLibrariesOrNoDestinationEndsTheWizard) {
    // No full destination folder: nothing is touched, the wizard is cancelled.
    for (const char16_t* destination : {u"", u"Tunaro\\"}) {
        Options().DestinationFolder = destination;
        page = RecordingStepPage();
        RunCopyAndInstall();
        EXPECT_TRUE(page.cancelled) << Utf8(destination);
        EXPECT_TRUE(page.statusTexts.empty());
        EXPECT_TRUE(page.timersStarted.empty());
    }

    // A core library in use, and the user gives up.
    Options().DestinationFolder = u"C:\\Program Files (x86)\\Tunaro\\";
    WriteFile(Installed(u"VnImage.dll"), "an earlier copy, in use");
    Facts().lockedFiles.Add(Installed(u"VnImage.dll"));
    Sim().SimShell().QueueAnswer(vnwin::kIdCancel);  // the Retry/Cancel box
    page = RecordingStepPage();
    RunCopyAndInstall();

    EXPECT_TRUE(page.cancelled);
    EXPECT_EQ(page.events.back(), "cancel wizard");
    EXPECT_EQ(page.statusTexts, std::vector<std::string>(kStatusTexts.begin(), kStatusTexts.begin() + 3));
    EXPECT_TRUE(page.timersStarted.empty());
    EXPECT_EQ(Sim().SimShell().Messages().GetSize(), 2);  // Retry/Cancel, then the critical error
    EXPECT_TRUE(Exists(Installed(u"VnAudio.dll")));        // copied before the failure, kept
    EXPECT_FALSE(Exists(Installed(u"Tunaro.exe")));
    EXPECT_EQ(RegistryText(VnRegRoot::LocalMachine, kUninstallKey, "DisplayName"), "<missing>");
}

#endif
