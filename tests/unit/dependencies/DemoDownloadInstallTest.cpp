// Whole silent installs of the demo product through the installer's entry on
// a fresh simulated machine, its dependency set-ups served by a server of the
// test on the loopback interface instead of lying in its support folder.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <mutex>

#include "DependencyTestFixture.h"
#include "InstallExitCodes.h"
#include "SilentInstall.h"
#include "SimInstallerRun.h"

namespace {

using Connection = LoopbackHttpServer::Connection;

class DemoDownloadInstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterStandIns();
        setup_ = DefaultSetupFolder(sim_.Machine());
        ASSERT_TRUE(sim_.CopyDemoSetup(setup_)) << "the demo set-up is not built";
        sim_.MakeSystemFolders();
    }
    int Install() { return RunSilentInstall(sim_.Machine(), setup_); }
    int Starts(const char16_t* program) {
        const std::string count = sim_.Value(
            VnRegRoot::CurrentUser, VnString(u"Software\\V. Arnel\\Demo Starts\\") + program, "Start Count");
        return count == "<missing>" ? 0 : std::stoi(count);
    }
    std::vector<std::string> Boxes() {
        std::vector<std::string> boxes;
        for (const VnSimMessageRecord& box : sim_.Machine().SimShell().Messages()) boxes.push_back(box.text.ToUtf8());
        return boxes;
    }

    SimTestMachine sim_;
    VnString setup_;
};

TEST_F(DemoDownloadInstallTest, FirstInstallDownloadsAndRunsBothSetupsASecondNeither) {
    std::vector<std::string> requests;
    std::mutex lock;
    LoopbackHttpServer server([&](Connection& c) {
        {
            std::lock_guard<std::mutex> guard(lock);
            requests.push_back(c.Target());
        }
        c.Send(LoopbackHttpServer::Response("200 OK", "set-up program " + c.Target()));
    });
    PrepareDownloadingSetup(sim_, setup_, server);

    ASSERT_EQ(Install(), kExitCompleted);
    EXPECT_EQ(requests, (std::vector<std::string>{"/d3dx943.exe", "/MicrosoftEdgeWebview2Setup.exe"}));
    EXPECT_TRUE(sim_.ReadFile(setup_ + u"Support\\d3dx943.exe") == "set-up program /d3dx943.exe");
    EXPECT_TRUE(sim_.Exists(setup_ + u"Support\\MicrosoftEdgeWebview2Setup.exe"));
    EXPECT_EQ(Starts(u"d3dx943.exe"), 1);
    EXPECT_EQ(Starts(u"MicrosoftEdgeWebview2Setup.exe"), 1);
    EXPECT_EQ(sim_.Value(VnRegRoot::CurrentUser, u"Software\\V. Arnel\\Demo Starts\\MicrosoftEdgeWebview2Setup.exe",
                         "Command Line"),
              "/silent /install");
    EXPECT_TRUE(sim_.Exists(u"C:\\Program Files (x86)\\V Arnel\\Tunaro 33\\Media\\Playlist.mpl"));
    EXPECT_TRUE(Boxes().empty());

    // The components are there now (and the set-ups in the support folder).
    ASSERT_EQ(Install(), kExitCompleted);
    EXPECT_EQ(requests.size(), 2u);
    EXPECT_EQ(Starts(u"d3dx943.exe"), 1);
    EXPECT_EQ(Starts(u"MicrosoftEdgeWebview2Setup.exe"), 1);
}

TEST_F(DemoDownloadInstallTest, AFailedDownloadIsToldAndTheInstallGoesOn) {
    LoopbackHttpServer server([](Connection& c) { c.Send(LoopbackHttpServer::Response("404 File not found", "")); });
    PrepareDownloadingSetup(sim_, setup_, server);
    ASSERT_EQ(Install(), kExitCompleted);
    const std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "Failed to download from \n" + server.Url("/d3dx943.exe") + "\nServer returned\n404 File not found.");
    EXPECT_TRUE(sim_.Exists(u"C:\\Program Files (x86)\\V Arnel\\Tunaro 33\\Tunaro.exe"));
    EXPECT_EQ(Starts(u"d3dx943.exe") + Starts(u"MicrosoftEdgeWebview2Setup.exe"), 0);
}

}  // namespace

#endif
