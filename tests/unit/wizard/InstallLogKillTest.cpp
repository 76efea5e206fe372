// A silent install killed while it copies leaves its log complete up to the
// kill: the lines in the file are, in order, the first lines of the log of
// the same install run to its end, and the phase under way has its start
// line. (The simulated machine lives in a folder, so a forked child can run
// the install on it while this process watches the log file.)
#ifndef _WIN32

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "SimInstallerRun.h"
#include "SimTestMachine.h"
#include "WizardTestFixture.h"

namespace {

constexpr char kCopyPhaseStart[] = "CInstallFiles::InstallProgramFiles: Start";

// The log's lines without what differs from run to run (time stamps, thread
// ids, durations and other numbers).
std::vector<std::string> ComparableLines(const std::string& text) {
    static const std::regex stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} \[ *\d+\] )");
    static const std::regex number(R"(\d+)");
    std::vector<std::string> lines;
    size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(std::regex_replace(std::regex_replace(text.substr(start, end - start), stamp, ""), number, "#"));
    if (start != text.size()) lines.push_back("<cut line> " + text.substr(start));
    return lines;
}

VnString LogPath(SimTestMachine& machine) {
    return machine.Facts().SpecialFolder(vnwin::kCsidlLocalAppData) + u"\\Temp\\Tunaro Install Wizard.log";
}

TEST(InstallLogTest, InstallKilledWhileCopyingLeavesItsLogCompleteUpToTheKill) {
    std::vector<std::string> whole;
    {
        SimTestMachine machine;
        ASSERT_TRUE(machine.CopyDemoSetup(DefaultSetupFolder(machine.Machine()))) << "the demo set-up is not built";
        RunSilentInstall(machine.Machine(), DefaultSetupFolder(machine.Machine()));
        whole = ComparableLines(machine.ReadFile(LogPath(machine)));
    }
    ASSERT_GT(whole.size(), 10u);

    SimTestMachine machine;
    ASSERT_TRUE(machine.CopyDemoSetup(DefaultSetupFolder(machine.Machine())));
    std::string error;
    ASSERT_TRUE(machine.Machine().Flush(error)) << error;
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) _exit(RunSilentInstall(machine.Machine(), DefaultSetupFolder(machine.Machine())) == 0 ? 0 : 1);
    ASSERT_GT(child, 0);

    // Kill the child as soon as its log shows the copy under way.
    std::string hostLog = "drives/C/" + LogPath(machine).Mid(3).ToUtf8();
    std::replace(hostLog.begin(), hostLog.end(), '\\', '/');
    std::string seen;
    bool killed = false;
    for (auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
         std::chrono::steady_clock::now() < deadline && waitpid(child, nullptr, WNOHANG) == 0;
         std::this_thread::sleep_for(std::chrono::microseconds(200))) {
        seen = machine.HostText(hostLog);
        if (seen.find(kCopyPhaseStart) != std::string::npos) {
            killed = kill(child, SIGKILL) == 0;
            break;
        }
    }
    if (!killed) kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(killed && WIFSIGNALED(status)) << "the log never showed the copy under way:\n" << seen;

    const std::vector<std::string> cut = ComparableLines(machine.ReadFile(LogPath(machine)));
    ASSERT_LE(cut.size(), whole.size());
    for (size_t i = 0; i < cut.size(); ++i) ASSERT_EQ(cut[i], whole[i]) << "line " << i;
    bool copyStarted = false;
    for (const std::string& line : cut) copyStarted |= line == kCopyPhaseStart;
    EXPECT_TRUE(copyStarted);
}

}  // namespace

#endif
