// What only the simulated machine's processes part does: stand-in programs
// and their record, programs that never end, faults of mutexes and modules,
// and the windows of the programs the facts say are running.
#include <gtest/gtest.h>


#include "HostFiles.h"
#include "SimProcesses.h"
#include "SimTestMachine.h"

namespace {

constexpr uint32_t kErrorBadExeFormat = 193;

// A processes part over the test machine with registries of the test's own.
struct SimProcessesTest : ::testing::Test {
    SimTestMachine m;
    VnSimProgramRegistry programs;
    VnSimModuleRegistry modules;
    VnSimProcesses processes{m.Facts(), m.Folder(), m.Files(), m.Machine(), programs, modules};
    VnStartOptions options;

    void SetUp() override { m.MakeSystemFolders(); }
    void Put(const VnString& path, const std::string& bytes = "program") {
        ASSERT_EQ(m.Machine().Files().WriteFile(path, bytes), 0u) << path.ToUtf8();
    }
    // The exit code GetExitCodeProcess reports (0xDEAD when it fails).
    uint32_t ExitCode(VnHandle process) {
        uint32_t exitCode = 0xDEAD;
        EXPECT_EQ(processes.GetExitCodeProcess(process, exitCode), 0u);
        return exitCode;
    }
    bool Logged(const std::string& line) const {
        std::string log = "\n";
        log += m.HostText("programs.log");
        std::string wanted = "\n";
        wanted += line;
        wanted += '\n';
        return log.find(wanted) != std::string::npos;
    }
};

TEST_F(SimProcessesTest, StandInsRunAgainstTheSameMachineAndAreRecorded) {
    ASSERT_EQ(m.Machine().Files().CreateDirectory(u"C:\\Tools"), 0u);
    Put(u"C:\\Tools\\Helper.exe");
    VnStringArray seenArguments;
    VnString seenPath;
    programs.Register(u"helper.EXE", [&](VnSimProgramCall& call) {
        seenArguments = call.arguments;
        seenPath = call.programPath;
        call.output += "hello";
        EXPECT_EQ(call.platform.Files().WriteFile(u"C:\\Tools\\mark.txt", "ran"), 0u);
        return 7u;
    });
    options.captureOutput = true;
    VnHandle process = 0;
    ASSERT_EQ(processes.StartProgram(u"\"c:\\tools\\helper.exe\"", u"/a \"b c\"", options, process), 0u);
    ASSERT_NE(process, 0u);
    EXPECT_EQ(seenPath.ToUtf8(), "C:\\Tools\\Helper.exe") << "as stored";
    EXPECT_EQ(seenArguments.Join(u"|").ToUtf8(), "/a|b c");
    EXPECT_EQ(m.HostText("drives/C/Tools/mark.txt"), "ran");

    EXPECT_EQ(processes.WaitForProcess(process, 1000), vnwin::kWaitObject0);
    EXPECT_EQ(ExitCode(process), 7u);
    std::string output;
    EXPECT_EQ(processes.ReadProcessOutput(process, output), 0u);
    EXPECT_EQ(processes.ReadProcessOutput(process, output), 0u);
    EXPECT_EQ(output, "hello") << "each byte is read once";
    processes.CloseHandle(process);
    EXPECT_EQ(processes.WaitForProcess(process, 0), vnwin::kWaitFailed);

    ASSERT_EQ(processes.Starts().GetSize(), 1);
    EXPECT_TRUE(processes.Starts()[0].standIn);
    EXPECT_TRUE(Logged("#1 start \"C:\\Tools\\Helper.exe\" /a \"b c\"")) << m.HostText("programs.log");
    EXPECT_TRUE(Logged("#1 exit 7"));
    EXPECT_TRUE(Logged("#1 wait 1000 ms"));
}

TEST_F(SimProcessesTest, OtherTargetsAreOpenedOrFailAsShellExecuteDoes) {
    Put(u"C:\\other.exe");
    Put(u"C:\\readme.txt", "text");
    VnHandle process = 0;
    ASSERT_EQ(processes.StartProgram(u"C:\\other.exe", u"-x", options, process), 0u);
    EXPECT_EQ(processes.WaitForProcess(process, 0), vnwin::kWaitObject0);
    EXPECT_EQ(ExitCode(process), 0u);
    EXPECT_TRUE(Logged("#1 start unknown \"C:\\other.exe\" -x"));

    EXPECT_EQ(processes.StartProgram(u"https://example.com/ie", VnString(), options, process), 0u);
    EXPECT_EQ(process, 0u);
    EXPECT_TRUE(Logged("open \"https://example.com/ie\" verb \"open\""));
    options.verb = u"print";
    EXPECT_EQ(processes.StartProgram(u"C:\\readme.txt", VnString(), options, process), 0u);
    EXPECT_EQ(process, 0u);
    EXPECT_TRUE(Logged("open \"C:\\readme.txt\" verb \"print\""));
    EXPECT_EQ(processes.StartProgram(u"C:\\missing.exe", VnString(), options, process), vnwin::kErrorFileNotFound);
    EXPECT_TRUE(Logged("start failed \"C:\\missing.exe\" error 2"));

    // A bare name is found on the search path, in the 32-bit view of System32.
    Put(u"C:\\Windows\\System32\\RegSvr32.exe");
    programs.Register(u"regsvr32.exe", [](VnSimProgramCall&) { return 0u; });
    EXPECT_EQ(processes.StartProgram(u"regsvr32", u"/s x.dll", options, process), 0u);
    EXPECT_TRUE(Logged("#2 start \"C:\\Windows\\SysWOW64\\RegSvr32.exe\" /s x.dll")) << m.HostText("programs.log");
}

TEST_F(SimProcessesTest, ProgramThatNeverEndsTimesOutAndIsTerminated) {
    Put(u"C:\\Sleeper.exe");
    programs.RegisterNeverEnding(u"Sleeper.exe");
    VnHandle process = 0;
    ASSERT_EQ(processes.StartProgram(u"C:\\Sleeper.exe", VnString(), options, process), 0u);
    EXPECT_EQ(ExitCode(process), vnwin::kStillActive);

    IVnSystem& system = m.Machine().System();
    const uint64_t before = system.GetTickCount64();
    for (int poll = 0; poll < 10; ++poll) EXPECT_EQ(processes.WaitForProcess(process, 500), vnwin::kWaitTimeout);
    EXPECT_GE(system.GetTickCount64() - before, 5000u) << "the waits let simulated time pass";
    EXPECT_EQ(processes.WaitForProcess(process, vnwin::kInfinite), vnwin::kWaitFailed) << "never hangs";

    EXPECT_EQ(processes.TerminateProcess(process, 3), 0u);
    EXPECT_EQ(processes.WaitForProcess(process, 500), vnwin::kWaitObject0);
    EXPECT_EQ(ExitCode(process), 3u);
    EXPECT_EQ(processes.TerminateProcess(process, 4), vnwin::kErrorAccessDenied);
    EXPECT_TRUE(processes.Starts()[0].terminated);
    EXPECT_TRUE(Logged("#1 terminate 3 after 5000 ms of waiting")) << m.HostText("programs.log");
}

TEST_F(SimProcessesTest, StandInsStartWithRedirectionOnAndLeaveTheCallersSetting) {
    Put(u"C:\\Child.exe");
    programs.Register(u"Child.exe", [](VnSimProgramCall& call) {
        return call.platform.Files().WriteFile(u"C:\\Windows\\System32\\child.txt", "child");
    });
    ASSERT_TRUE(m.Machine().System().EnableWow64FsRedirection(false));
    VnHandle process = 0;
    ASSERT_EQ(processes.StartProgram(u"C:\\Child.exe", VnString(), options, process), 0u);
    EXPECT_TRUE(m.HostExists("drives/C/Windows/SysWOW64/child.txt"));
    EXPECT_FALSE(m.Facts().run.wow64FsRedirection);
}

TEST(SimPrograms, ParametersSplitAsCommandLineToArgvW) {
    struct Case {
        const char16_t* text;
        const char* expected;  // arguments joined with "|"
    } cases[] = {
        {u"", ""},
        {u"  /a   b\t", "/a|b"},
        {u"\"C:\\Program Files\\x\" /s", "C:\\Program Files\\x|/s"},
        {u"a\\\\\\\"b", "a\\\"b"},       // 3 backslashes and a quote: one backslash, a quote
        {u"\"a\\\\\" b", "a\\|b"},        // 2 backslashes before a closing quote: one backslash
        {u"a\\b\\\\c", "a\\b\\\\c"},      // backslashes elsewhere are literal
        {u"\"say \"\"hi\"\"\"", "say \"hi\""},
        {u"x\"y z\"w", "xy zw"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VnSimSplitCommandLine(c.text).Join(u"|").ToUtf8(), c.expected) << VnString(c.text).ToUtf8();
}

TEST_F(SimProcessesTest, MutexesHeldOrDeniedByTheFacts) {
    m.Facts().heldMutexes.Add(u"Global\\Varnel Installer");
    m.Facts().deniedMutexes.Add(u"Global\\Denied");
    uint32_t error = 0;
    VnHandle held = processes.CreateMutex(u"Global\\Varnel Installer", error);
    EXPECT_NE(held, 0u);
    EXPECT_EQ(error, vnwin::kErrorAlreadyExists);
    EXPECT_EQ(processes.CreateMutex(u"Global\\Denied", error), 0u);
    EXPECT_EQ(error, vnwin::kErrorAccessDenied);
    VnHandle unnamed = processes.CreateMutex(VnString(), error);
    EXPECT_EQ(error, 0u);
    VnHandle another = processes.CreateMutex(VnString(), error);
    EXPECT_EQ(error, 0u) << "unnamed mutexes are all different";
    for (VnHandle handle : {held, unnamed, another}) processes.CloseHandle(handle);
}

int StandInEntry() { return 200048; }

TEST_F(SimProcessesTest, ModulesLoadByTheRulesOfTheMachine) {
    ASSERT_EQ(m.Machine().Files().CreateDirectory(u"C:\\Setup"), 0u);
    Put(u"C:\\Setup\\VnTools.dll", "stand-in");
    Put(u"C:\\Setup\\Plain.dll", "not a program file");
    modules.Register(u"VnTools.dll", "GetVnToolsDLL", reinterpret_cast<void*>(&StandInEntry));

    uint32_t error = 0;
    VnHandle tools = processes.LoadLibrary(u"C:\\Setup\\vntools.DLL", 0, error);
    ASSERT_NE(tools, 0u) << error;
    EXPECT_EQ(processes.GetProcAddress(tools, "GetVnToolsDLL"), reinterpret_cast<void*>(&StandInEntry));
    EXPECT_EQ(processes.GetProcAddress(tools, "getvntoolsdll"), nullptr) << "export names keep their case";
    EXPECT_EQ(processes.LoadLibrary(u"VnTools.dll", 0, error), tools) << "the program's folder comes first";
    EXPECT_EQ(processes.LoadLibrary(u"C:\\Setup\\Plain.dll", 0, error), 0u);
    EXPECT_EQ(error, kErrorBadExeFormat);
    EXPECT_NE(processes.LoadLibrary(u"C:\\Setup\\Plain.dll", kVnLoadLibraryAsDatafile, error), 0u);

    // System functions follow the Windows version of the facts.
    auto has = [&](const char16_t* library, const char* function) {
        VnHandle module = processes.LoadLibrary(library, 0, error);
        void* address = processes.GetProcAddress(module, function);
        processes.FreeLibrary(module);
        return address != nullptr;
    };
    EXPECT_TRUE(has(u"C:\\Windows\\System32\\kernel32.dll", "IsWow64Process"));
    m.Facts().osMajor = 5, m.Facts().osMinor = 1, m.Facts().servicePack = u"Service Pack 1";
    EXPECT_FALSE(has(u"kernel32.dll", "IsWow64Process"));
    m.Facts().servicePack = u"Service Pack 2";
    EXPECT_TRUE(has(u"kernel32.dll", "IsWow64Process"));
    m.Facts().osMajor = 6;  // Windows 7
    EXPECT_FALSE(has(u"kernel32.dll", "GetSystemTimePreciseAsFileTime"));
    m.Facts().osMinor = 2;
    EXPECT_TRUE(has(u"kernel32.dll", "GetSystemTimePreciseAsFileTime"));

    m.Facts().missingExports.Add(u"kernel32.dll!MoveFileExW");
    EXPECT_FALSE(has(u"kernel32.dll", "MoveFileExW"));
    m.Facts().missingLibraries.Add(u"version.dll");
    EXPECT_EQ(processes.LoadLibrary(u"C:\\Windows\\System32\\Version.dll", 0, error), 0u);
    EXPECT_EQ(error, vnwin::kErrorModNotFound);
#ifdef VN_DEMO_SETUP_DIR
    Put(u"C:\\Setup\\VnTelevision64.dll", ReadHostFile(VN_DEMO_SETUP_DIR "/Playmoor/x64/VnTelevision.dll"));
    EXPECT_EQ(processes.LoadLibrary(u"C:\\Setup\\VnTelevision64.dll", 0, error), 0u) << "64-bit into a 32-bit process";
    EXPECT_EQ(error, kErrorBadExeFormat);
#endif
}

TEST_F(SimProcessesTest, WindowsOfRunningProgramsAndWmClose) {
    VnSimRunningProgram product, stubborn;
    product.path = u"C:\\Program Files\\Tunaro\\Tunaro.exe";
    product.windowClass = u"TunaroMain";
    product.windowTitle = u"Tunaro";
    stubborn.path = u"C:\\Stubborn.exe";
    stubborn.windowClass = u"Stubborn";
    stubborn.closesOnWmClose = false;
    m.Facts().runningPrograms.Add(product);
    m.Facts().runningPrograms.Add(stubborn);

    uintptr_t window = processes.FindWindow(u"tunaromain", VnString());
    ASSERT_NE(window, 0u);
    EXPECT_EQ(processes.FindWindow(VnString(), u"TUNARO"), window);
    EXPECT_EQ(processes.FindWindow(u"Nothing", VnString()), 0u);
    EXPECT_TRUE(processes.PostMessage(window, vnwin::kWmClose, 1, 0));
    EXPECT_FALSE(processes.IsRunning(product.path));
    EXPECT_EQ(processes.FindWindow(u"TunaroMain", VnString()), 0u);
    EXPECT_FALSE(processes.PostMessage(window, vnwin::kWmClose, 1, 0)) << "the window is gone";
    EXPECT_TRUE(Logged("post 0x0010 to \"Tunaro\" (window of \"C:\\Program Files\\Tunaro\\Tunaro.exe\") wparam 1 lparam 0"));
    EXPECT_TRUE(Logged("closed \"C:\\Program Files\\Tunaro\\Tunaro.exe\""));

    uintptr_t other = processes.FindWindow(u"Stubborn", VnString());
    EXPECT_TRUE(processes.PostMessage(other, vnwin::kWmClose, 0, 0));
    EXPECT_TRUE(processes.IsRunning(u"c:\\stubborn.exe"));
}

}  // namespace
