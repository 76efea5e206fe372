// The pages after copying on the simulated machine: the shortcut defaults,
// the links a Custom install makes, and the finish page with its run request
// or its restart.
#ifndef _WIN32

#include "Finalize.h"
#include "InstallExitCodes.h"
#include "OperatingSystem.h"
#include "RunInstallWizard.h"
#include "Shortcuts.h"
#include "VnFileSystem.h"
#include "WizardTestFixture.h"

namespace {

constexpr char16_t kPayload[] = u"C:\\Setup\\Playmoor\\";
constexpr char16_t kDestination[] = u"C:\\Program Files (x86)\\V Arnel\\Tunaro 9933\\";
constexpr char16_t kStartMenu[] = u"C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\";

WizardProduct Product(const std::string& startMenuFolder) {
    return {.features = "2;104;173;176",
            .installer = "<PromoCount>1</PromoCount><PromoMinimumMilliseconds>1000</PromoMinimumMilliseconds>",
            .startMenuFolder = startMenuFolder};
}

class EndPagesTest : public WizardTest {
protected:
    void SetUp() override {
        OpenMachine("", Product("Tunaro Test"));
        for (const char16_t* name : {u"Tunaro.exe", u"VnMediaUninstall.exe", u"Data\\Default Art\\application.ico",
                                     u"Data\\Default Art\\Server.ico"})
            WriteFile(VnString(kPayload) + name, "payload");
    }

    // A Custom install through copying, the file associations page passed.
    void InstallToTheShortcutsPage() {
        OpenWizard();
        WalkToDestination();
        Press(u"Next >");
        Advance(5000);
        ASSERT_EQ(Wizard().GetCurrentIndex(), CInstallWizard::kCopyPageIndex + 1);
        Press(u"Next >");
        ASSERT_EQ(Wizard().GetCurrentIndex(), CInstallWizard::kCopyPageIndex + 2);
    }
    VnShellLink Link(const VnString& path) {
        VnShellLink link;
        std::string text;
        EXPECT_EQ(Machine().Files().ReadFile(path, text), 0u) << path.ToUtf8();
        EXPECT_TRUE(VnSimShell::ParseShellLink(text, link));
        return link;
    }
    bool Exists(const VnString& path) { return VnFileSystem::FileExists(path); }
    // The page shows this line of the driver's description.
    bool Shows(const std::string& line) { return Ui().Describe().ToUtf8().find(line) != std::string::npos; }
};

TEST(ShortcutDefaultsTest, DefaultsFollowTheKindOfInstall) {
    struct Case {
        bool same, express, portable;
        int32_t startMenuVersion;
        ShortcutChoice expected;  // start menu, desktop, quick launch
    };
    const Case cases[] = {
        {false, false, false, 0, {true, true, true}},     // first install
        {false, false, false, 33, {false, true, true}},   // a Start Menu of this version exists
        {true, false, false, 0, {false, false, false}},   // reinstall of this version
        {true, true, false, 0, {true, false, false}},     // Express reinstall
        {true, true, false, 33, {false, false, false}},   // ... whose Start Menu exists
        {true, false, true, 0, {true, true, true}},       // portable
    };
    for (const Case& c : cases) {
        InstallOptions options;
        options.SameVersionInstalled = c.same;
        options.ExpressSetup = c.express;
        options.PortableSetup = c.portable;
        EXPECT_EQ(DefaultShortcutChoice(options, c.startMenuVersion, 33), c.expected)
            << c.same << c.express << c.portable << " " << c.startMenuVersion;
    }
    EXPECT_TRUE(OffersQuickLaunch(kOsWindowsXP));
    EXPECT_FALSE(OffersQuickLaunch(kOsWindowsVista));
    EXPECT_FALSE(OffersQuickLaunch(kOsWindows10));
    EXPECT_EQ(SafeStartMenuFolderName(u"..\\..\\Windows").ToUtf8(), "....Windows");
    EXPECT_EQ(SafeStartMenuFolderName(u" <Tunaro>: 33?* ").ToUtf8(), "Tunaro 33");
    EXPECT_TRUE(SafeStartMenuFolderName(u"..").IsEmpty());
}

TEST_F(EndPagesTest, CustomInstallMakesItsLinksAndLeavesTheRunRequest) {
    InstallToTheShortcutsPage();
    EXPECT_TRUE(Shows("check [x] \"Create Start Menu shortcuts\"")) << Ui().Describe().ToUtf8();
    EXPECT_TRUE(Shows("check [x] \"Create a desktop shortcut\""));
    EXPECT_FALSE(Wizard().GetShortcutsPage().GetQuickLaunchBox().IsCreated());  // Windows 11
    WriteFile(VnString(kStartMenu) + u"Tunaro Test\\Stale.lnk", "old");
    Press(u"Next >");

    const VnString folder = VnString(kStartMenu) + u"Tunaro Test\\";
    EXPECT_FALSE(Exists(folder + u"Stale.lnk"));  // the folder is made again
    const VnShellLink program = Link(folder + u"Tunaro Test 9933.lnk");
    EXPECT_EQ(program.target, VnString(kDestination) + u"Tunaro.exe");
    EXPECT_EQ(program.iconPath, VnString(kDestination) + u"Data\\Default Art\\Application.ico");
    const VnShellLink server = Link(folder + u"Media Server.lnk");
    EXPECT_EQ(server.arguments.ToUtf8(), "/MediaServer");
    EXPECT_EQ(server.iconPath, VnString(kDestination) + u"Data\\Default Art\\Server.ico");
    EXPECT_EQ(Link(folder + u"Uninstall Tunaro Test 9933.lnk").target, VnString(kDestination) + u"VnMediaUninstall.exe");
    EXPECT_FALSE(Exists(folder + u"CD Labeler.lnk"));  // no feature 24
    EXPECT_TRUE(Exists(u"C:\\Users\\User\\Desktop\\Tunaro Test 9933.lnk"));

    // The finish page offers the program; Finish leaves the run request.
    ASSERT_EQ(Wizard().GetCurrentIndex(), CInstallWizard::kCopyPageIndex + 3);
    EXPECT_TRUE(Shows("check [x] \"Run installed program now\"")) << Ui().Describe().ToUtf8();
    EXPECT_FALSE(Wizard().GetFinishPage().GetRestartBox().IsCreated());
    EXPECT_FALSE(Wizard().GetFinishPage().GetState().workDeferred);
    Press(u"Finish");
    EXPECT_EQ(Wizard().GetResultCode(), VnWizardPopupWnd::kResultFinished);
    std::string request;
    ASSERT_EQ(Machine().Files().ReadFile(u"C:\\Setup\\Finish.txt", request), 0u);
    EXPECT_EQ(request, FinishRunRequestBytes(VnString(kDestination) + u"Tunaro.exe"));
    EXPECT_EQ(WizardExitCode(Wizard().GetResultCode(), Wizard().GetFinishPage().GetState()), kExitCompleted);
}

TEST_F(EndPagesTest, ProgramInUseOffersOnlyTheRestartAndCancelKeepsThePage) {
    WriteFile(VnString(kStartMenu) + u"Elsewhere\\Keep.lnk", "kept");
    WriteFile(VnString(kPayload) + u"ProductInfo.xml", WizardProductXml(Product("..\\Elsewhere")));
    const VnString program = VnString(kDestination) + u"Tunaro.exe";
    WriteFile(program, "older program");
    Machine().Facts().lockedFiles.Add(program);
    InstallToTheShortcutsPage();
    Press(u"Next >");
    EXPECT_TRUE(Exists(VnString(kStartMenu) + u"Elsewhere\\Keep.lnk"));  // "..\" leads nowhere
    EXPECT_TRUE(Exists(VnString(kStartMenu) + u"..Elsewhere\\Uninstall Tunaro Test 9933.lnk"));

    CFinishPpg& finish = Wizard().GetFinishPage();
    EXPECT_TRUE(finish.GetState().restartNeeded);
    EXPECT_TRUE(Shows("check [x] \"Restart Windows now\"")) << Ui().Describe().ToUtf8();
    EXPECT_TRUE(Shows("static \"Install Wizard could not copy all files.  Windows must be restarted to complete setup.\""));
    EXPECT_FALSE(finish.GetRunBox().IsCreated());

    QueueAnswer(vnwin::kIdCancel);
    Press(u"Finish");
    EXPECT_EQ(Wizard().GetCurrentIndex(), CInstallWizard::kCopyPageIndex + 3);
    EXPECT_EQ(Boxes().back().substr(0, 17), "Confirm Restart: ");
    EXPECT_FALSE(Machine().SimShell().RestartRequested());
    QueueAnswer(vnwin::kIdOk);
    Press(u"Finish");
    EXPECT_TRUE(Machine().SimShell().RestartRequested());
    EXPECT_EQ(Wizard().GetResultCode(), VnWizardPopupWnd::kResultFinished);
    EXPECT_FALSE(Exists(u"C:\\Setup\\Finish.txt"));
    EXPECT_EQ(WizardExitCode(Wizard().GetResultCode(), finish.GetState()), kExitRestartNeeded);
}

}  // namespace

#endif  // _WIN32
