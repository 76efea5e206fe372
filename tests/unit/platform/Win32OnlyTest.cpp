// Cases only real Windows (or Wine) can answer: what the system itself does
// behind the backend's calls, beyond what the shared conformance cases check.
#ifdef _WIN32

#include <cstring>

#include "PlatformFixture.h"
#include "TestText.h"
#include "VnWin32Platform.h"

namespace {

using Win32OnlyTest = PlatformTest;

TEST_F(Win32OnlyTest, ProgramThatOutlivesTheWaitIsTerminated) {
    VnHandle process = 0;
    VnStartOptions options;
    options.hidden = true;
    const VnString ping = P().System().GetSystemDirectory() + u"\\ping.exe";
    ASSERT_EQ(P().Processes().StartProgram(ping, u"-n 30 127.0.0.1", options, process), 0u);
    ASSERT_NE(process, 0u);
    EXPECT_EQ(P().Processes().WaitForProcess(process, 500), vnwin::kWaitTimeout);
    uint32_t exitCode = 0;
    EXPECT_EQ(P().Processes().GetExitCodeProcess(process, exitCode), 0u);
    EXPECT_EQ(exitCode, vnwin::kStillActive);

    EXPECT_EQ(P().Processes().TerminateProcess(process, 77), 0u);
    EXPECT_EQ(P().Processes().WaitForProcess(process, 10000), vnwin::kWaitObject0);
    EXPECT_EQ(P().Processes().GetExitCodeProcess(process, exitCode), 0u);
    EXPECT_EQ(exitCode, 77u);
    P().Processes().CloseHandle(process);
}

TEST_F(Win32OnlyTest, VersionResourceAndMachineOfRealFiles) {
    const VnString kernel32 = P().System().GetSystemDirectory() + u"\\kernel32.dll";
    uint32_t ms = 0, ls = 0;
    EXPECT_EQ(Files().GetFileVersion(kernel32, ms, ls), 0u);
    EXPECT_GE(ms >> 16, 5u) << "kernel32's major version";
    EXPECT_EQ(Files().GetPeMachine(P().System().GetModuleFileName()), sizeof(void*) == 8 ? 0x8664 : 0x14C);

    VnWin32Files withoutVersionLibrary(u"vn-no-such-version-library.dll");
    EXPECT_EQ(withoutVersionLibrary.GetFileVersion(kernel32, ms, ls), vnwin::kErrorModNotFound);
}

// A 64-bit process writes the 32-bit view, a 32-bit one on 64-bit Windows the
// 64-bit view: the key must be invisible without the view bit, and a tree
// delete with the bit must remove it with its subkeys.
TEST_F(Win32OnlyTest, RegistryViewBitsReachTheOtherView) {
    const bool is64 = sizeof(void*) == 8;
    if (!is64 && !P().System().IsWow64Process()) GTEST_SKIP() << "32-bit Windows has a single registry view";
    const uint32_t otherView = is64 ? vnwin::kKeyWow64_32Key : vnwin::kKeyWow64_64Key;
    const VnString keyName =
        VnString::Format(u"Software\\VnConformance View %u", P().System().GetCurrentProcessId());

    VnRegKey key = 0, child = 0;
    ASSERT_EQ(Reg().CreateKey(VnRegRoot::LocalMachine, keyName + u"\\Child", vnwin::kKeyReadWrite | otherView, child),
              0u);
    EXPECT_EQ(Reg().SetValue(child, u"Kept", VnRegValue::Dword(7)), 0u);
    Reg().CloseKey(child);
    EXPECT_EQ(Reg().OpenKey(VnRegRoot::LocalMachine, keyName, vnwin::kKeyRead, key), vnwin::kErrorFileNotFound);
    ASSERT_EQ(Reg().OpenKey(VnRegRoot::LocalMachine, keyName, vnwin::kKeyRead | otherView, key), 0u);
    Reg().CloseKey(key);

    VnRegKey machine = 0;
    ASSERT_EQ(Reg().OpenKey(VnRegRoot::LocalMachine, VnString(), vnwin::kKeyReadWrite, machine), 0u);
    EXPECT_EQ(Reg().DeleteTree(machine, keyName, otherView), 0u);
    EXPECT_EQ(Reg().OpenKey(VnRegRoot::LocalMachine, keyName, vnwin::kKeyRead | otherView, key),
              vnwin::kErrorFileNotFound);
    Reg().CloseKey(machine);
}

// The kernel's shared data page holds the true version whatever the program's
// manifest says; GetVersionExW alone reports 6.2 on later systems.
TEST_F(Win32OnlyTest, SystemFactsComeFromTheRealMachine) {
    IVnSystem& system = P().System();
    const auto* sharedData = reinterpret_cast<const volatile uint32_t*>(0x7FFE0000);
    VnVersionInfo version = system.GetVersionEx();
    EXPECT_EQ(version.major, sharedData[0x26C / 4]);
    EXPECT_EQ(version.minor, sharedData[0x270 / 4]);
    EXPECT_EQ(version.platformId, 2u);
    EXPECT_NE(version.build, 0u);

    const VnString appData = system.GetSpecialFolder(vnwin::kCsidlAppData);
    ASSERT_FALSE(appData.IsEmpty());
    EXPECT_FALSE(appData.EndsWith(u"\\"));
    EXPECT_EQ(system.GetSpecialFolder(vnwin::kCsidlQuickLaunch),
              appData + u"\\Microsoft\\Internet Explorer\\Quick Launch");
    EXPECT_TRUE(system.GetSpecialFolder(vnwin::kCsidlSystem).EqualsNoCase(system.GetSystemDirectory()));
    EXPECT_TRUE(system.GetSpecialFolder(vnwin::kCsidlWindows).EqualsNoCase(system.GetWindowsDirectory()));
    EXPECT_TRUE(system.GetSpecialFolder(0x00FE).IsEmpty()) << "no such folder";

    const VnString guid = system.CreateGuid();
    EXPECT_TRUE(LooksLikeGuid(guid.ToUtf8())) << guid.ToUtf8();
    EXPECT_NE(system.CreateGuid(), guid);
    EXPECT_FALSE(system.GetUserName().IsEmpty());
    EXPECT_FALSE(system.GetComputerName().IsEmpty());
    if (sizeof(void*) == 8) {
        EXPECT_EQ(system.CpuidFeaturesEdx() & (1u << 26), 1u << 26) << "x86-64 implies SSE2";
    }
}

TEST_F(Win32OnlyTest, ShellLinkIsSavedWithItsArguments) {
    VnShellLink link;
    link.target = ScratchFolder() + u"Program.exe";
    link.arguments = u"/vn-link-arguments";
    link.iconPath = ScratchFolder() + u"application.ico";
    ASSERT_EQ(Files().WriteFile(link.target, "MZ"), 0u);
    const VnString linkPath = ScratchFolder() + u"Program.lnk";
    ASSERT_EQ(P().Shell().CreateShellLink(linkPath, link), 0u);
    std::string bytes;
    ASSERT_EQ(Files().ReadFile(linkPath, bytes), 0u);
    EXPECT_EQ(bytes.compare(0, 4, std::string("L\0\0\0", 4)), 0) << "shell link header";
    const std::u16string arguments = u"/vn-link-arguments";
    EXPECT_NE(bytes.find(std::string(reinterpret_cast<const char*>(arguments.data()), arguments.size() * 2)),
              std::string::npos);

    EXPECT_NE(P().Shell().CreateShellLink(ScratchFolder() + u"Missing\\Program.lnk", link), 0u);
    EXPECT_EQ(P().Shell().CreateShellLink(linkPath, VnShellLink()), vnwin::kErrorInvalidParameter);
}

// Values larger than the first read buffer and names near the 16383-character
// limit must come back whole through both the query and the enumeration.
TEST_F(Win32OnlyTest, LargeValuesAndLongNamesReadBackWhole) {
    VnRegKey key = 0;
    ASSERT_EQ(Reg().CreateKey(VnRegRoot::CurrentUser, ScratchKey(), vnwin::kKeyReadWrite, key), 0u);
    VnRegValue big;
    big.type = vnwin::kRegBinary;
    for (int i = 0; i < 100000; ++i) big.bytes.push_back(uint8_t(i * 7));
    const VnString longName(u'n', 16000);
    const VnRegValue longText = VnRegValue::String(VnString(u'x', 5000));
    ASSERT_EQ(Reg().SetValue(key, u"Big", big), 0u);
    ASSERT_EQ(Reg().SetValue(key, longName, longText), 0u);

    VnRegValue read;
    ASSERT_EQ(Reg().QueryValue(key, u"Big", read), 0u);
    EXPECT_TRUE(read.bytes == big.bytes);
    ASSERT_EQ(Reg().QueryValue(key, longName, read), 0u);
    EXPECT_EQ(read.text, longText.text);
    VnString name;
    bool sawLongName = false;
    for (uint32_t index = 0; Reg().EnumValue(key, index, name, &read) == 0; ++index) {
        if (name != longName) continue;
        sawLongName = true;
        EXPECT_EQ(read.text, longText.text);
    }
    EXPECT_TRUE(sawLongName);
    Reg().CloseKey(key);
}

// A child writing more than the pipe holds blocks until the parent reads, so
// the output is drained while waiting, never only after the end; the pipe
// reports ERROR_BROKEN_PIPE once the child's end is closed and drained.
TEST_F(Win32OnlyTest, OutputLargerThanThePipeIsDrainedWhileWaiting) {
    VnHandle process = 0;
    VnStartOptions options;
    options.captureOutput = true;
    options.hidden = true;
    const VnString command = u"/c for /L %i in (1,1,800) do @echo " + VnString(u'.', 100) + u" output line %i";
    ASSERT_EQ(P().Processes().StartProgram(u"cmd.exe", command, options, process), 0u);
    std::string output;
    uint32_t wait = vnwin::kWaitTimeout;
    for (int polls = 0; polls < 1200 && wait == vnwin::kWaitTimeout; ++polls) {
        wait = P().Processes().WaitForProcess(process, 50);
        P().Processes().ReadProcessOutput(process, output);
    }
    ASSERT_EQ(wait, vnwin::kWaitObject0);
    // Wine may close the child's end a moment after the process object is
    // signalled: poll, as a caller does.
    uint32_t status = 0;
    for (int reads = 0; reads < 500 && (status = P().Processes().ReadProcessOutput(process, output)) == 0; ++reads)
        P().System().Sleep(10);
    EXPECT_EQ(status, 109u);
    EXPECT_GT(output.size(), 64u * 1024);
    EXPECT_NE(output.find("output line 800"), std::string::npos);
    P().Processes().CloseHandle(process);
    EXPECT_EQ(P().Processes().ReadProcessOutput(process, output), vnwin::kErrorInvalidHandle);
}

}  // namespace

#endif  // _WIN32
