// Step 2 of the copy page: the driver rules, the packages of the support
// folders with their "Plugins\System" record, and the progress range.
#ifndef _WIN32
#include <algorithm>
#include <memory>

#include "InstallSteps.h"
#include "PackageTestSupport.h"

namespace {
using InstallComponentsTest = PackageTest;

std::vector<std::string> PackageInstallerRuns(const VnCoreArray<VnSimStartRecord>& starts, size_t from) {
    std::vector<std::string> runs;
    for (int32_t i = int32_t(from); i < starts.GetSize(); ++i)
        if (starts[i].program.EndsWith(u"PackageInstaller.exe")) runs.push_back(starts[i].parameters.ToUtf8());
    return runs;
}

TEST_F(InstallComponentsTest, DriverRulesAndPackages) {
    RunCopyAndInstall();  // the program, with its package installer, is in place
    const VnString support = ScratchFolder() + u"Support\\";
    Options().SupportFolders = {support};
    WriteFile(support + u"Good.pmp", "[Package]\r\nAction=NONE\r\nName=Good\r\n");
    WriteFile(support + u"Deep\\Broken.pmp", "[Package]\r\nAction=UNZIPDIR\r\nName=Broken\r\n");
    WriteFile(support + u"ignored.txt", "not a package");
    const std::string driver = "/InstallWDMDriver " + Utf8(Installed(u"Drivers\\WDM\\Win10\\VnWDMDriver.inf"));
    struct Case {
        const char* what;
        bool portable, noDriver;
        std::vector<std::string> runs;
        const char* storedVersion;
        bool silent = false;  // the broken package's failure is logged, not shown
    } cases[] = {
        {"first install", false, false, {"/RegDLL Shell Extensions", driver}, "7"},
        {"driver already there", false, false, {"/RegDLL Shell Extensions"}, "7", true},
        {"no driver", false, true, {"/RegDLL Shell Extensions", "/RemoveWDMDriver"}, "<missing>"},
        {"portable", true, false, {"/RegDLL Shell Extensions"}, "<missing>"},
        {"shell integration off", true, false, {}, "<missing>", true},
    };
    std::unique_ptr<ToolsPropertyStore> properties(Tools().OpenPropertyStore(u"Properties"));
    for (const Case& c : cases) {
        Options().PortableSetup = c.portable;
        Options().NoDriver = c.noDriver;
        Options().FinalizeInstallList.RemoveAll();
        properties->SetNumber(u"General - Enable Shell Integration", c.runs.empty() ? 0 : 1, 0);
        page = RecordingStepPage();
        const size_t before = size_t(Sim().SimProcesses().Starts().GetSize()), boxes = Boxes().size();
        Options().Silent = c.silent;
        InstallComponents(page);
        Options().Silent = false;
        EXPECT_EQ(Boxes().size() - boxes, c.silent ? 0u : 1u) << c.what;
        EXPECT_EQ(PackageInstallerRuns(Sim().SimProcesses().Starts(), before), c.runs) << c.what;
        EXPECT_EQ(ProductValue("Properties", "WDM Driver Installed Version"), c.storedVersion) << c.what;
        // Two packages: (2 - 1) + 2, plus one with the driver.
        const bool driverStep = !c.portable && !c.noDriver;
        EXPECT_NE(std::find(page.events.begin(), page.events.end(),
                            "range 0.." + std::to_string(3 + (driverStep ? 1 : 0))),
                  page.events.end())
            << c.what;
        EXPECT_EQ(ProductValue("Plugins\\System", "Good"), "installed") << c.what;
        EXPECT_EQ(ProductValue("Plugins\\System", "Broken"), "installed") << c.what;
        // The failed package is staged for finalisation, the good one is not.
        ASSERT_EQ(Options().FinalizeInstallList.GetSize(), 1) << c.what;
        EXPECT_NE(Options().FinalizeInstallList[0].Find(u"Broken.pmp"), -1) << c.what;
    }
}
}  // namespace
#endif
