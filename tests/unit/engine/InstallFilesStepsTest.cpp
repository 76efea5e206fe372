// The page's step chain as the engine drives it: each step worker hands
// control back, and an installed copy that is already current skips the
// copy and component steps.
#ifndef _WIN32

#include "InstallFilesFixture.h"

namespace {

using InstallFilesStepsTest = InstallFilesTest;
const std::vector<int32_t> kEveryStep = {kDependencyStep, kCopyAndInstallStep, kComponentStep, kFinishingStep};
const std::vector<int32_t> kDependenciesOnly = {kDependencyStep, kFinishingStep};

}  // namespace

TEST_F(InstallFilesStepsTest, AnInstalledCopyThatIsCurrentRunsTheDependencyStepOnly) {
    // Only the dependency step's hand-over counts here (its work has tests of its own).
    Options().NoDependencies = true;
    EXPECT_EQ(RunStepChain(), kEveryStep);
    EXPECT_TRUE(Exists(Installed(u"Tunaro.exe")));
    EXPECT_TRUE(Logged("InstallDependencies: Start"));
    EXPECT_TRUE(LoggedContaining("CInstallComponents::Install: Finish"));

    // The same version installed and current, downgrades forbidden.
    Options().SameVersionInstalled = true;
    Options().AllowDowngrade = false;
    page = RecordingStepPage();
    EXPECT_EQ(RunStepChain(), kDependenciesOnly);
    EXPECT_TRUE(page.statusTexts.empty());  // nothing copied

    // Downgrades allowed: the whole install runs again.
    Options().AllowDowngrade = true;
    page = RecordingStepPage();
    files = CInstallFiles();
    EXPECT_EQ(RunStepChain(), kEveryStep);

    // An older installed program is not current. The copy makes it current,
    // but the copy step's own hand-back still leads to the component step.
    Options().AllowDowngrade = false;
    WriteFile(Installed(u"Tunaro.exe"), MakeProgramFile("33.0.43.0"));
    page = RecordingStepPage();
    files = CInstallFiles();
    EXPECT_EQ(RunStepChain(), kEveryStep);
    EXPECT_EQ(ReadFile(Installed(u"Tunaro.exe")), ReadFile(Payload(u"Tunaro.exe")));
}

#endif
