// The copy page: its slideshow, its step chain and finishing countdown on the
// headless toolkit's virtual clock, scripted Express and Custom installs that
// run through it, and whole installs of the demo product on a fresh simulated
// machine through the installer's entry, with the exit codes they end with.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <filesystem>

#include "CopyAndInstallPpg.h"
#include "InstallExitCodes.h"
#include "InstallFilesText.h"
#include "PromoSlideshow.h"
#include "RunInstallWizard.h"
#include "SimInstallerRun.h"
#include "SimTestMachine.h"
#include "VnFileSystem.h"
#include "WizardTestFixture.h"

namespace {

constexpr char16_t kPayload[] = u"C:\\Setup\\Playmoor\\";
constexpr char16_t kSetupPictures[] = u"C:\\Setup\\Setup\\";

class CopyPageTest : public WizardTest {
protected:
    void SetUp() override {
        OpenMachine("",
                    {.installer = "<PromoCount>3</PromoCount><PromoMinimumMilliseconds>6000</PromoMinimumMilliseconds>"});
        WriteFile(VnString(kPayload) + u"Tunaro.exe", "program");
        WriteFile(VnString(kPayload) + u"Data\\Languages\\English\\Language.ini",
                  "[Language]\r\nName=English\r\nCode=en\r\n");
        WriteFile(VnString(kSetupPictures) + u"Promo1 - en.png", "png");
        WriteFile(VnString(kSetupPictures) + u"Promo1.png", "png");
        WriteFile(VnString(kSetupPictures) + u"Promo2.jpg", "jpg");
    }

    CCopyAndInstallPpg& CopyPage() { return Wizard().GetCopyPage(); }
    bool Installed(const VnString& name) { return VnFileSystem::FileExists(VnString(u"C:\\Program Files (x86)\\V Arnel\\Tunaro 9933\\") + name); }
};

TEST_F(CopyPageTest, PromoPicturesAreFoundLanguageFirstThenPngBeforeJpg) {
    const VnString folder = kSetupPictures;
    // In the order of preference.
    const char16_t* pictures[] = {u"Promo3 - en.png", u"Promo3 - en.jpg", u"Promo3.png", u"Promo3.jpg"};
    for (const char16_t* name : pictures) WriteFile(folder + name, "picture");
    EXPECT_EQ(FindPromoPicture(folder, 3, VnString()), folder + u"Promo3.png");  // no language: plain names only
    for (const char16_t* name : pictures) {  // each found once those before it are gone
        EXPECT_EQ(FindPromoPicture(folder, 3, u"en"), folder + name);
        ASSERT_EQ(Machine().Files().DeleteFile(folder + name), 0u);
    }
    EXPECT_EQ(FindPromoPicture(folder, 4, u"en"), VnString());
    // Another language's picture is not taken.
    EXPECT_EQ(FindPromoPicture(folder, 1, u"de"), folder + u"Promo1.png");

    EXPECT_EQ(LanguageCodeFromIni(u"[Language]\r\nName=English\r\n code = en \r\n"), u"en");
    EXPECT_EQ(LanguageCodeFromIni(u"[Language]\r\nName=English\r\n"), VnString());

    // Outside their bounds the settings are brought in; each image gets its share.
    EXPECT_EQ(PromoTiming::Bounded(0, 0).minimumMs, 1000);
    EXPECT_EQ(PromoTiming::Bounded(999, -2).count, 1);
    EXPECT_EQ(PromoTiming::Bounded(INT32_MAX, INT32_MAX).PeriodMs(), 1200);
    EXPECT_EQ(PromoTiming::Bounded(1000, 1000).PeriodMs(), 10);
    EXPECT_EQ(PromoTiming::Bounded(6000, 3).PeriodMs(), 2000);
    EXPECT_EQ(PromoTiming::Bounded(1000, 3).PeriodMs(), 333);
    // Ticks for the images still to show: 6000 ms at the first, 4000 at the
    // second, 2000 at the last, in 333 ms ticks plus one.
    for (const auto& [image, ticks] : {std::pair{1, 19}, {2, 13}, {3, 7}})
        EXPECT_EQ(PromoTiming::Bounded(6000, 3).CountdownTicks(image), ticks) << "image " << image;
}

TEST_F(CopyPageTest, SilentRunCopiesThenLetsTheSlideshowFinishOnTheClockAndMovesOn) {
    Options().Silent = true;
    OpenWizard(20);
    ASSERT_EQ(Page(), CInstallWizard::kCopyPageIndex);
    Advance(200);
    // The steps have run: installed, header changed, now counting down the
    // three 2000 ms images from the first.
    CCopyAndInstallPpg& page = CopyPage();
    EXPECT_TRUE(Installed(u"Tunaro.exe"));
    EXPECT_EQ(page.GetTitle(), u"Installing Plugins");  // the component step's header stays
    EXPECT_EQ(page.GetStatus().GetText(), u"Finalizing installation...");
    EXPECT_EQ(page.GetProgress().GetMaximum(), 19);
    EXPECT_GE(page.GetProgress().GetPos(), 1);
    EXPECT_EQ(page.GetPromoImage().GetImageFile(), VnString(kSetupPictures) + u"Promo1 - en.png");
    EXPECT_FALSE(page.CanGoNext());
    EXPECT_FALSE(page.CanGoBack());
    EXPECT_FALSE(Wizard().GetCancelButton().IsEnabled());
    EXPECT_FALSE(Wizard().GetBackButton().IsEnabled());
    EXPECT_FALSE(Wizard().GetNextButton().IsEnabled());

    // Closing the window from here on is refused.
    EXPECT_TRUE(Ui().PressEscape());
    EXPECT_EQ(Boxes().back().substr(0, 18), "Cancel Unavailable");
    EXPECT_EQ(Wizard().GetResultCode(), VnWizardPopupWnd::kResultRunning);

    Advance(2000);
    EXPECT_EQ(page.GetPromoIndex(), 2);
    // No Promo2 - en.*, no Promo2.png: the plain JPEG.
    EXPECT_EQ(page.GetPromoImage().GetImageFile(), VnString(kSetupPictures) + u"Promo2.jpg");
    Advance(2000);
    // Promo3 does not exist: the picture stays.
    EXPECT_EQ(page.GetPromoIndex(), 3);
    EXPECT_EQ(page.GetPromoImage().GetImageFile(), VnString(kSetupPictures) + u"Promo2.jpg");
    EXPECT_FALSE(page.IsInstallingDone());
    const int32_t ticks = page.GetProgress().GetPos();
    EXPECT_GE(ticks, 11);
    EXPECT_LE(ticks, 13);

    // The last image has its 2000 ms, then the page ends and the silent
    // wizard runs past the later pages to its end.
    Advance(1700);
    EXPECT_FALSE(page.IsInstallingDone());
    Advance(400);
    EXPECT_TRUE(page.ArePromosDone());
    EXPECT_TRUE(page.IsInstallingDone());
    EXPECT_EQ(page.GetProgress().GetPos(), page.GetProgress().GetMaximum());
    EXPECT_EQ(Wizard().GetResultCode(), VnWizardPopupWnd::kResultFinished);
    EXPECT_EQ(WizardExitCode(Wizard().GetResultCode()), kExitCompleted);
}

TEST_F(CopyPageTest, ExpressAndCustomInstallsRunThroughCopyingToTheFileAssociationsPage) {
    for (const bool express : {true, false}) {
        SCOPED_TRACE(express ? "Express" : "Custom");
        SetUp();  // a fresh machine
        OpenWizard(20);
        if (express) {
            Press(u"Accept");
            EXPECT_TRUE(Ui().Choose(u"Express"));  // skips the Normal/Portable and destination pages
        } else {
            WalkToDestination();
        }
        Press(u"Next >");
        ASSERT_EQ(Page(), CInstallWizard::kCopyPageIndex);
        Advance(7000);
        EXPECT_TRUE(Installed(u"Tunaro.exe"));
        EXPECT_TRUE(CopyPage().IsInstallingDone());
        // A fresh install shows the file associations page next.
        EXPECT_EQ(Page(), CInstallWizard::kCopyPageIndex + 1);
        EXPECT_EQ(Wizard().GetResultCode(), VnWizardPopupWnd::kResultRunning);
    }
}

// ---- Whole installs of the demo product through the installer's entry ----
// (a file in use, replaced at the restart, is the fault sweep's)

class DemoInstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        setup_ = DefaultSetupFolder(sim_.Machine());
        ASSERT_TRUE(sim_.CopyDemoSetup(setup_)) << "the demo set-up is not built";
    }
    int Install() { return RunSilentInstall(sim_.Machine(), setup_); }
    VnString Destination() const { return u"C:\\Program Files (x86)\\V Arnel\\Tunaro 33\\"; }
    std::string RecordGuid() {
        return sim_.Value(VnRegRoot::LocalMachine, u"Software\\V. Arnel\\Tunacore\\Installations\\Tunaro 33", "GUID");
    }
    std::string LogText() {
        std::string text;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(sim_.Folder()))
            if (entry.path().filename().string().starts_with("Tunaro Install Wizard")) text += sim_.HostText(
                std::filesystem::relative(entry.path(), sim_.Folder()).string());
        return text;
    }

    SimTestMachine sim_;
    VnString setup_;
};

TEST_F(DemoInstallTest, SilentInstallCompletesAndAReinstallKeepsTheRecord) {
    ASSERT_EQ(Install(), kExitCompleted) << LogText();
    for (const char16_t* name : {u"Tunaro.exe", u"VnTools.dll", u"License.txt", u"License.LGPL3.txt",
                                 u"Data\\Languages\\English\\Language.ini"})
        EXPECT_TRUE(sim_.Exists(Destination() + name)) << VnString(name).ToUtf8();
    EXPECT_TRUE(sim_.Exists(u"C:\\Windows\\Fonts\\DejaVuSansMono.ttf"));
    EXPECT_TRUE(sim_.Exists(u"C:\\Windows\\SysWOW64\\VnCodecSupport.dll"));
    EXPECT_TRUE(sim_.KeyExists(VnRegRoot::LocalMachine,
                               u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tunaro 33"));
    const std::string guid = RecordGuid();
    EXPECT_NE(guid, "<missing>");
    const std::string log = LogText();
    // The finish ran, silently: no restart, no run request.
    EXPECT_NE(log.find("ApplyFinishChoice"), std::string::npos);
    EXPECT_FALSE(sim_.Exists(setup_ + u"Finish.txt"));

    ASSERT_EQ(Install(), kExitCompleted);
    EXPECT_EQ(RecordGuid(), guid);
}

TEST_F(DemoInstallTest, TheEarlierVersionsLeftoversAreRemovedByTheNextInstall) {
    const VnString setup = setup_;
    setup_ = u"C:\\Users\\User\\Downloads\\Tunaro 33.0.40\\";
    ASSERT_TRUE(sim_.CopyDemoSetup(setup_, "setup-earlier")) << "the earlier demo set-up is not built";
    ASSERT_EQ(Install(), kExitCompleted);
    const char16_t* leftovers[] = {u"VnFix.dll", u"Plugins\\VnVideoTypeFilter.ax", u"Web\\index.html",
                                   u"Data\\Default Art\\DLNA Audio Background.jpg"};
    for (const char16_t* name : leftovers) EXPECT_TRUE(sim_.Exists(Destination() + name)) << VnString(name).ToUtf8();
    setup_ = setup;
    ASSERT_EQ(Install(), kExitCompleted);
    for (const char16_t* name : leftovers) EXPECT_FALSE(sim_.Exists(Destination() + name)) << VnString(name).ToUtf8();
    EXPECT_FALSE(sim_.Exists(Destination() + u"Web\\"));
    EXPECT_TRUE(sim_.Exists(Destination() + u"Tunaro.exe"));
}

TEST_F(DemoInstallTest, CurrentInstallationWithDowngradesForbiddenRunsTheDependencyStepOnly) {
    std::string description = sim_.ReadFile(setup_ + u"Install.xml");
    const size_t allow = description.find("<AllowDowngrade>1<");
    ASSERT_NE(allow, std::string::npos);
    description.replace(allow, 18, "<AllowDowngrade>0<");
    sim_.WriteFile(setup_ + u"Install.xml", description);
    ASSERT_EQ(Install(), kExitCompleted);
    EXPECT_NE(LogText().find("CInstallFiles::CopyAndInstall"), std::string::npos);
    // Each run writes its own log.
    ASSERT_EQ(Install(), kExitCompleted);
    const std::string second = LogText();
    EXPECT_NE(second.find("copying and registration skipped"), std::string::npos);
    EXPECT_NE(second.find("InstallDependencies"), std::string::npos);
    EXPECT_EQ(second.find("CInstallFiles::CopyAndInstall"), std::string::npos);
    EXPECT_EQ(second.find("InstallComponents"), std::string::npos);
}

}  // namespace

#endif  // _WIN32
