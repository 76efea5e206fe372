// The process-level parts start-up relies on, on the simulated machine: the
// process-information block in named shared memory, RunProgram with its time
// limit and log lines, and the runner's copy of the set-up and its report.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "HostFiles.h"
#include "ProcessInformationBlock.h"
#include "RegisteredTools.h"
#include "RunProgram.h"
#include "SimInstallerRun.h"
#include "SimMachineSnapshot.h"
#include "SimPrograms.h"
#include "StartUpFixture.h"

namespace {

class StartUpProcessPartsTest : public StartUpTest {
protected:
    void TearDown() override {
        ProcessInformationBlock::Close();
        tools_.reset();
        StartUpTest::TearDown();
    }
    // A tools library of our own whose log RunProgram writes to.
    void UseTools() { tools_ = std::make_unique<RegisteredTools>(); }
    std::string FlushedLog() {
        tools_->Library().GetLog()->Flush();
        return LogText();
    }

private:
    std::unique_ptr<RegisteredTools> tools_;
};

TEST_F(StartUpProcessPartsTest, BlockIsNamedSharedMemoryThatOthersCanRead) {
    ProcessInformationBlock& block = ProcessInformationBlock::Get();
    EXPECT_TRUE(block.IsShared());
    EXPECT_EQ(block.Name(), u"Varnel Process v1 (4242)");
    EXPECT_FALSE(block.IsInstaller());
    block.MarkAsInstaller();
    block.SetProgramFolder(u"C:\\Program Files\\Tunaro\\\\\\");
    block.SetModuleFolder(u"C:\\Setup\\Playmoor\\");
    block.SetDataFolder(u"D:\\");
    EXPECT_EQ(block.GetProgramFolder(), u"C:\\Program Files\\Tunaro\\");
    EXPECT_EQ(block.GetModuleFolder(), u"C:\\Setup\\Playmoor\\");
    EXPECT_EQ(block.GetDataFolder(), u"D:\\");

    // Another reader of the block by its name sees the flag and the folders.
    VnHandle mapping = 0;
    constexpr uint32_t kFieldsOffset = 8, kFieldBytes = ProcessInformationBlock::kFolderFieldChars * 2;
    auto* view = static_cast<const uint8_t*>(
        Machine().Processes().OpenSharedMemory(block.Name(), kFieldsOffset + 3 * kFieldBytes, mapping));
    ASSERT_NE(view, nullptr);
    uint32_t version = 0, flags = 0;
    std::memcpy(&version, view, 4);
    std::memcpy(&flags, view + 4, 4);
    EXPECT_EQ(version, ProcessInformationBlock::kBlockVersion);
    EXPECT_EQ(flags & 1u, 1u);
    std::u16string program(reinterpret_cast<const char16_t*>(view + kFieldsOffset));
    EXPECT_EQ(program, u"C:\\Program Files\\Tunaro\\");
    std::u16string module(reinterpret_cast<const char16_t*>(view + kFieldsOffset + 2 * kFieldBytes));
    EXPECT_EQ(module, u"C:\\Setup\\Playmoor\\");
    Machine().Processes().CloseSharedMemory(mapping, const_cast<uint8_t*>(view));
}

TEST_F(StartUpProcessPartsTest, BlockFoldersKeepOneTrailingBackslashAndAtMost260Characters) {
    EXPECT_EQ(ProcessInformationBlock::StoredForm(u"C:\\A\\\\\\"), u"C:\\A\\");
    EXPECT_EQ(ProcessInformationBlock::StoredForm(u"C:\\A"), u"C:\\A");  // a missing one is not added
    EXPECT_EQ(ProcessInformationBlock::StoredForm(u"\\"), u"\\");
    const VnString longFolder = u"C:\\" + VnString(u'x', 400) + u"\\";
    ProcessInformationBlock::Get().SetProgramFolder(longFolder);
    EXPECT_EQ(ProcessInformationBlock::Get().GetProgramFolder(),
              longFolder.Left(ProcessInformationBlock::kFolderFieldChars - 1));
}

TEST_F(StartUpProcessPartsTest, RunProgramEndsAProgramPastItsTimeLimit) {
    UseTools();
    VnSimProgramRegistry::Shared().RegisterNeverEnding(u"Hangs.exe");
    WriteFile(u"C:\\Tools\\Hangs.exe", "program");
    RunProgramOptions options;
    options.timeLimitMilliseconds = 5000;
    const uint64_t before = Facts().run.elapsedMilliseconds;
    EXPECT_TRUE(RunProgram(u"C:\\Tools\\Hangs.exe", VnStringArray{u"/a", u"two words"}, options));
    const uint64_t waited = Facts().run.elapsedMilliseconds - before;
    VnSimProgramRegistry::Shared().Unregister(u"Hangs.exe");
    EXPECT_GE(waited, 5000u);
    EXPECT_LT(waited, 6000u);  // polled every 500 ms

    const std::string log = FlushedLog();
    for (const char* line : {"Filename: C:\\Tools\\Hangs.exe / Parameters: /a \"two words\"",
                             "Performing ShellExecute...", "Waiting for completion", "Timeout"})
        EXPECT_TRUE(Contains(log, std::string("RunProgram: ") + line + "\r\n")) << line;
    EXPECT_FALSE(Contains(log, "RunProgram: Finished"));
    EXPECT_TRUE(Contains(ProgramsLog(), "terminate"));
}

TEST_F(StartUpProcessPartsTest, RunProgramFailsOnAnEmptyNameOrAFailedStartAndReportsExitCodes) {
    UseTools();
    EXPECT_FALSE(RunProgram(VnString(), VnStringArray()));
    EXPECT_FALSE(RunProgram(u"C:\\Missing\\Nothing.exe", VnStringArray()));
    EXPECT_TRUE(Contains(FlushedLog(), "RunProgram: Failed to start (error 3)"));

    VnSimProgramRegistry::Shared().Register(u"Answers.exe", [](VnSimProgramCall&) { return 42u; });
    WriteFile(u"C:\\Tools\\Answers.exe", "program");
    uint32_t exitCode = 0;
    RunProgramOptions options;
    options.exitCode = &exitCode;
    EXPECT_TRUE(RunProgram(u"C:\\Tools\\Answers.exe", VnStringArray(), options));
    VnSimProgramRegistry::Shared().Unregister(u"Answers.exe");
    EXPECT_EQ(exitCode, 42u);
    const std::string log = FlushedLog();
    for (const char* line : {"Finished\r\n", "Done waiting\r\n", "Finish (result: 1)"})
        EXPECT_TRUE(Contains(log, std::string("RunProgram: ") + line)) << line;
}

TEST_F(StartUpProcessPartsTest, RunnerCopiesTheSetUpAndReportsWhatTheRunChanged) {
    const std::filesystem::path host = NewHostTempPath("vn-setup");
    std::filesystem::create_directories(host / "Playmoor" / "Data");
    std::ofstream(host / "Playmoor" / "Data" / "note.txt") << "hello";
    int copied = 0;
    std::string error;
    const VnString target = DefaultSetupFolder(Machine());
    EXPECT_EQ(target, u"C:\\Users\\User\\Downloads\\Tunaro Setup\\");
    EXPECT_TRUE(CopySetupIntoMachine(Machine(), host.string(), target, copied, error)) << error;
    std::filesystem::remove_all(host);
    EXPECT_EQ(copied, 1);
    std::string bytes;
    EXPECT_EQ(Machine().Files().ReadFile(target + u"Playmoor\\Data\\note.txt", bytes), 0u);
    EXPECT_EQ(bytes, "hello");
    EXPECT_FALSE(CopySetupIntoMachine(Machine(), host.string(), target, copied, error));

    const SimMachineSnapshot before = SimMachineSnapshot::Take(Machine());
    EXPECT_EQ(Run(), 1604);
    const SimMachineChanges changes = CompareSnapshots(before, SimMachineSnapshot::Take(Machine()));
    auto has = [](const std::vector<std::string>& lines, const std::string& start) {
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
    };
    EXPECT_TRUE(has(changes.files, "+ C:\\Setup\\Playmoor\\Tunaro Launcher.exe ("));
    EXPECT_TRUE(has(changes.files, "- C:\\Setup\\System\\Always Overwrite\\Tunacore Launcher.exe ("));
    EXPECT_TRUE(has(changes.registry, "+ [HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\V. Arnel]"));
    EXPECT_FALSE(has(changes.registry, "+ [HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\V. Arnel\\Rights Check]"));
}

}  // namespace

#endif
