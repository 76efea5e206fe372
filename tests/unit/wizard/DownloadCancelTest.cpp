// Cancel on the copy page while a dependency set-up downloads slowly: the
// one moment the page allows it. The wizard asks, ends as cancelled, the
// partial file goes and the copy never starts.
#ifndef _WIN32

#include "CopyAndInstallPpg.h"
#include "InstallExitCodes.h"
#include "LoopbackHttpServer.h"
#include "RunInstallWizard.h"
#include "SimInstallerRun.h"
#include "VnFileSystem.h"
#include "WizardTestFixture.h"

namespace {

class DownloadCancelTest : public WizardTest {};

TEST_F(DownloadCancelTest, CancelDuringASlowDownloadEndsTheWizardAsCancelled) {
    LoopbackHttpServer server([](LoopbackHttpServer::Connection& c) {
        const std::string body(200000, 'x');
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n");
        c.SendSlowly(body, 4096, 20);
    });
    OpenMachine("", {.downloads = "<Download Number=\"54\">" + server.Url("/webview.exe") + "</Download>"});
    WriteFile(u"C:\\Setup\\Playmoor\\Tunaro.exe", "program");
    RegisterStandIns();
    // The user presses Cancel while the third block comes in.
    int pumps = 0;
    SetMessagePump([&] {
        if (++pumps == 3) { EXPECT_TRUE(Ui().Press(u"Cancel")) << Ui().GetLastError().ToUtf8(); }
    });
    Options().Silent = true;
    Options().SupportFolders.Add(u"C:\\Setup\\Support\\");
    OpenWizard(20);
    ASSERT_EQ(Page(), CInstallWizard::kCopyPageIndex);
    Advance(200);
    SetMessagePump(nullptr);

    EXPECT_EQ(pumps, 3);
    EXPECT_EQ(Wizard().GetResultCode(), VnWizardPopupWnd::kResultCancelled);
    EXPECT_EQ(WizardExitCode(Wizard().GetResultCode()), kExitCancelled);
    const std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "Confirm Cancellation: Are you sure you want to cancel Tunaro Test 9933 installation?");
    EXPECT_EQ(boxes[1], "Download Error: Downloading of setup file was canceled.");
    EXPECT_FALSE(VnFileSystem::FileExists(u"C:\\Setup\\Support\\MicrosoftEdgeWebview2Setup.exe"));
    EXPECT_FALSE(VnFileSystem::FileExists(u"C:\\Program Files (x86)\\V Arnel\\Tunaro 9933\\Tunaro.exe"));
    Advance(10000);
    EXPECT_FALSE(VnFileSystem::FileExists(u"C:\\Program Files (x86)\\V Arnel\\Tunaro 9933\\Tunaro.exe"))
        << "the copy never starts";
}

}  // namespace

#endif
