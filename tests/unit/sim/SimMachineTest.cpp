// The simulated machine as a whole: its folder, its facts file, what the
// system and shell parts answer from the facts, and a simulated restart.
#include <gtest/gtest.h>

#include <filesystem>

#include "HostFiles.h"
#include "TestText.h"
#include "VnSimPlatform.h"

namespace {

using namespace vnwin;
namespace fs = std::filesystem;

std::string ReadText(const fs::path& file) { return ReadHostFile(file.string()); }
void WriteText(const fs::path& file, const std::string& text) { WriteHostFile(file.string(), text); }

class SimMachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = NewHostTempPath("vnsim");
    }
    void TearDown() override {
        machine_.reset();
        fs::remove_all(folder_);
    }
    // Opens the machine folder, after writing `facts` as machine.ini when given.
    VnSimPlatform& Open(const std::string& facts = "") {
        if (!facts.empty()) {
            fs::create_directories(folder_);
            WriteText(folder_ / VnSimPlatform::kFactsFileName, facts);
        }
        std::string error;
        machine_ = VnSimPlatform::OpenMachine(folder_.string(), error);
        EXPECT_TRUE(machine_) << error;
        if (!machine_) throw std::runtime_error(error);
        return *machine_;
    }
    std::string OpenError() {
        std::string error;
        EXPECT_FALSE(VnSimPlatform::OpenMachine(folder_.string(), error));
        return error;
    }
    VnString IeVersion(VnSimPlatform& machine, uint32_t view) {
        VnRegKey key = 0;
        VnRegValue value;
        if (machine.Registry().OpenKey(VnRegRoot::LocalMachine, u"Software\\Microsoft\\Internet Explorer",
                                       kKeyRead | view, key))
            return u"(no key)";
        uint32_t status = machine.Registry().QueryValue(key, u"Version", value);
        machine.Registry().CloseKey(key);
        return status ? VnString(u"(no value)") : value.text;
    }

    fs::path folder_;
    std::unique_ptr<VnSimPlatform> machine_;
};

TEST_F(SimMachineTest, NewFolderBecomesADefaultWindows11Machine) {
    VnSimPlatform& machine = Open();
    EXPECT_STREQ(machine.BackendName(), "sim");
    IVnSystem& system = machine.System();
    VnVersionInfo version = system.GetVersionEx();
    EXPECT_EQ(version.major, 10u);
    EXPECT_EQ(version.minor, 0u);
    EXPECT_EQ(version.build, 22631u);
    EXPECT_EQ(version.productType, 1);
    EXPECT_TRUE(system.IsWow64Process());
    EXPECT_EQ(system.CpuidFeaturesEdx() & ((1u << 23) | (1u << 26)), (1u << 23) | (1u << 26));
    EXPECT_TRUE(system.CanCreateWebBrowser());
    EXPECT_EQ(system.GetUserName(), u"User");
    EXPECT_EQ(system.GetSpecialFolder(kCsidlProgramFiles), u"C:\\Program Files (x86)");
    EXPECT_EQ(system.GetSpecialFolder(kCsidlSystemX86), u"C:\\Windows\\SysWOW64");
    EXPECT_EQ(system.GetSpecialFolder(kCsidlAppData | 0x8000), u"C:\\Users\\User\\AppData\\Roaming");
    EXPECT_EQ(system.GetSpecialFolder(0x7E), u"");
    EXPECT_EQ(system.GetSystemDirectory(), u"C:\\Windows\\system32");
    EXPECT_EQ(system.GetKeyState('F'), 0);
    VnDiskSpace space;
    ASSERT_EQ(machine.Files().GetDiskFreeSpace(u"C:\\", space), 0u);
    EXPECT_GE(space.freeToCaller, 100ull << 30);
    EXPECT_EQ(IeVersion(machine, kKeyWow64_32Key), u"9.11.22631.0");
    EXPECT_EQ(IeVersion(machine, kKeyWow64_64Key), u"9.11.22631.0");

    // The facts file written for it reads back to the same facts.
    VnSimFacts reread;
    std::string error;
    ASSERT_TRUE(VnSimFacts::Load((folder_ / VnSimPlatform::kFactsFileName).string(), reread, error)) << error;
    EXPECT_EQ(reread.ToText(), VnSimFacts::Defaults().ToText());
    EXPECT_TRUE(fs::exists(folder_ / VnSimPlatform::kRegistryFileName));
}

TEST_F(SimMachineTest, FactsFileDescribesAnOlderMachine) {
    VnSimPlatform& machine = Open(
        "[Windows]\nVersion=5.1.2600\nServicePack=Service Pack 3\nBits=32\nUserName=Ann\n"
        "[Processor]\nCpuidEdx=0x0183F9FF\n"
        "[InternetExplorer]\nVersion=\nWebBrowserControl=no\n"
        "[Keyboard]\nKeysDown = Ctrl + Shift + f\n"
        "[Drive D]\nFree=1 KB\nTotal=2 TB\nFull=yes\n"
        "[Folders]\nDesktop=D:\\Desk\n0x0030=C:\\Elsewhere\n"
        "[Program 1]\nPath=C:\\Tunaro\\Tunaro.exe\nWindowClass=TunaroWnd\nClosesOnWmClose=no\n"
        "[Mutexes]\nHeld=Global\\Varnel Installer\nDenied=Global\\Other\n"
        "[Faults]\nLockedFile=C:\\a.dll\nLockedFile=C:\\b.dll\nMissingExport=kernel32.dll!Wow64EnableWow64FsRedirection\n");
    IVnSystem& system = machine.System();
    EXPECT_EQ(system.GetVersionEx().servicePack, u"Service Pack 3");
    EXPECT_FALSE(system.IsWow64Process());
    EXPECT_FALSE(system.EnableWow64FsRedirection(false));
    EXPECT_EQ(system.CpuidFeaturesEdx() & (1u << 26), 0u);
    EXPECT_FALSE(system.CanCreateWebBrowser());
    for (int key : {int(kVkControl), int(kVkShift), int('F')}) EXPECT_LT(system.GetKeyState(key), 0) << key;
    EXPECT_EQ(system.GetKeyState('G'), 0);
    EXPECT_EQ(system.GetSpecialFolder(kCsidlDesktop), u"D:\\Desk");
    EXPECT_EQ(system.GetSpecialFolder(0x30), u"C:\\Elsewhere");
    EXPECT_EQ(system.GetSpecialFolder(kCsidlProgramFiles), u"C:\\Program Files");
    EXPECT_EQ(system.GetSpecialFolder(kCsidlPersonal), u"C:\\Users\\Ann\\Documents");
    EXPECT_EQ(IeVersion(machine, 0), u"(no value)") << "an empty version removes the value";

    const VnSimFacts& facts = machine.Facts();
    ASSERT_EQ(facts.drives.GetSize(), 1);
    EXPECT_EQ(facts.drives[0].letter, u'D');
    EXPECT_EQ(facts.drives[0].freeBytes, 1024u);
    EXPECT_EQ(facts.drives[0].totalBytes, 2ull << 40);
    EXPECT_TRUE(facts.drives[0].full);
    ASSERT_EQ(facts.runningPrograms.GetSize(), 1);
    EXPECT_FALSE(facts.runningPrograms[0].closesOnWmClose);
    EXPECT_EQ(facts.heldMutexes.Join(u"|"), u"Global\\Varnel Installer");
    EXPECT_TRUE(facts.IsFileLocked(u"\\\\?\\c:\\B.DLL"));
    EXPECT_FALSE(facts.IsFileLocked(u"C:\\c.dll"));
    EXPECT_TRUE(facts.IsExportMissing(u"C:\\Windows\\system32\\KERNEL32", "Wow64EnableWow64FsRedirection"));
    EXPECT_FALSE(facts.IsExportMissing(u"kernel32.dll", "IsWow64Process"));

    // Written out and read again, nothing is lost.
    VnSimFacts reread;
    std::string error;
    ASSERT_TRUE(VnSimFacts::Parse(facts.ToText(), reread, error)) << error;
    EXPECT_EQ(reread.ToText(), facts.ToText());
}

TEST_F(SimMachineTest, BrokenFactsAndFoldersAreRefusedClearly) {
    const struct {
        const char* facts;
        const char* expected;
    } broken[] = {
        {"[Windows]\nBits=48\n", "line 2: Bits is 32 or 64"},
        {"[Windows]\nVersion=10.0\n", "line 2: Version is major.minor.build"},
        {"[Drive C]\nFre=1 GB\n", "line 2: unknown key Fre"},
        {"[Drive C]\nFree=lots\n", "line 2: not a size"},
        {"[Drive CC]\n", "line 1: a drive section"},
        {"[Rights]\nHKLMWritable=maybe\n", "line 2: expected yes or no"},
        {"Bits=64\n", "line 1: a value before the first [section]"},
        {"[Windows]\njust words\n", "line 2: expected key=value"},
        {"[Keyboard]\nKeysDown=Ctrl+Hyper\n", "line 2: unknown key name"},
        {"[Faults]\nMissingExport=kernel32.dll\n", "library.dll!Export"},
        {"[Gadgets]\n", "unknown section"},
    };
    for (const auto& item : broken) {
        fs::create_directories(folder_);
        WriteText(folder_ / VnSimPlatform::kFactsFileName, item.facts);
        std::string error = OpenError();
        EXPECT_NE(error.find(item.expected), std::string::npos) << error;
        EXPECT_NE(error.find("machine.ini"), std::string::npos) << error;
    }

    fs::remove_all(folder_);
    fs::create_directories(folder_ / "stuff");
    EXPECT_NE(OpenError().find("not a machine folder"), std::string::npos);
    fs::remove_all(folder_);
    WriteText(folder_, "a file");
    EXPECT_NE(OpenError().find("is not a folder"), std::string::npos);
    fs::remove(folder_);

    Open();
    machine_.reset();
    WriteText(folder_ / VnSimPlatform::kRegistryFileName, "Windows Registry Editor Version 5.00\n[HKCU\\x]\n\"a\"=?\n");
    std::string error = OpenError();
    EXPECT_NE(error.find("registry.reg"), std::string::npos) << error;
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
    // The damaged file is left as it was, for the person who reads the error.
    const std::string text = ReadText(folder_ / VnSimPlatform::kRegistryFileName);
    EXPECT_NE(text.find("\"a\"=?"), std::string::npos) << text;
}

TEST_F(SimMachineTest, RegistryAndFactsPersistAcrossOpenings) {
    {
        VnSimPlatform& machine = Open();
        VnRegKey key = 0;
        ASSERT_EQ(machine.Registry().CreateKey(VnRegRoot::LocalMachine, u"Software\\V. Arnel", kKeyReadWrite, key), 0u);
        ASSERT_EQ(machine.Registry().SetValue(key, u"Kept", VnRegValue::Dword(5)), 0u);
        machine.Registry().CloseKey(key);
        machine_.reset();
    }
    // Edit the facts between openings: no rights, another Internet Explorer.
    std::string facts = ReadText(folder_ / VnSimPlatform::kFactsFileName);
    facts.replace(facts.find("HKLMWritable=yes"), 16, "HKLMWritable=no");
    facts.replace(facts.find("Version=9.11.22631.0"), 20, "Version=6.0.2900.5512");
    WriteText(folder_ / VnSimPlatform::kFactsFileName, facts);

    VnSimPlatform& machine = Open();
    VnRegKey key = 0;
    ASSERT_EQ(machine.Registry().OpenKey(VnRegRoot::LocalMachine, u"Software\\V. Arnel", kKeyRead, key), 0u);
    VnRegValue value;
    EXPECT_EQ(machine.Registry().QueryValue(key, u"Kept", value), 0u);
    EXPECT_EQ(value.number, 5u);
    machine.Registry().CloseKey(key);
    EXPECT_EQ(machine.Registry().CreateKey(VnRegRoot::LocalMachine, u"Software\\V. Arnel\\Rights Check",
                                           kKeyReadWrite, key),
              kErrorAccessDenied);
    EXPECT_EQ(IeVersion(machine, 0), u"6.0.2900.5512");
    EXPECT_NE(ReadText(folder_ / VnSimPlatform::kRegistryFileName).find(std::string("V\0.\0 \0A\0r\0n\0e\0l\0", 16)),
              std::string::npos);
}

TEST_F(SimMachineTest, MessageBoxesFollowTheAnswersScriptAndAreRecorded) {
    VnSimPlatform& machine = Open();
    WriteText(folder_ / "answers.txt", "# answers\nYes\nno ; second question\n\n2\nDefault\n");
    std::string error;
    ASSERT_TRUE(machine.SimShell().LoadAnswers((folder_ / "answers.txt").string(), error)) << error;
    IVnShell& shell = machine.Shell();

    EXPECT_EQ(shell.MessageBox(u"Close it?", u"Tunaro Open", kMbYesNo | kMbIconQuestion), kIdYes);
    // An OK box cannot take the scripted "No": it gets OK and "No" waits.
    EXPECT_EQ(shell.MessageBox(u"Line one\r\nLine \"two\"", u"Information", kMbOk), kIdOk);
    EXPECT_EQ(shell.MessageBox(u"Again?", u"Q", kMbYesNo), kIdNo);
    EXPECT_EQ(shell.MessageBox(u"Retry?", u"Q", kMbRetryCancel), kIdCancel);
    EXPECT_EQ(shell.MessageBox(u"Default?", u"Q", kMbYesNo | 0x100), kIdNo) << "scripted Default takes MB_DEFBUTTON2";
    EXPECT_EQ(shell.MessageBox(u"Nothing left", u"Q", kMbRetryCancel), kIdRetry);
    EXPECT_EQ(machine.SimShell().PendingAnswerCount(), 0u);
    // Unattended, the same box answered by default without end gives up with its last button.
    int answer = kIdRetry, shown = 1;
    while (answer == kIdRetry && shown < 100) answer = shell.MessageBox(u"Nothing left", u"Q", kMbRetryCancel), ++shown;
    EXPECT_EQ(answer, kIdCancel);
    EXPECT_EQ(shown, 21);

    ASSERT_EQ(machine.SimShell().Messages().GetSize(), 26);
    EXPECT_TRUE(machine.SimShell().Messages()[0].scripted);
    EXPECT_FALSE(machine.SimShell().Messages()[1].scripted);
    const std::string log = ReadText(folder_ / "messages.log");
    EXPECT_NE(log.find("#1 title=\"Tunaro Open\" buttons=Yes/No answer=Yes (scripted) text=\"Close it?\"\n"),
              std::string::npos) << log;
    EXPECT_NE(log.find("#2 title=\"Information\" buttons=OK answer=OK (default; scripted No has no button here and "
                       "stays queued) text=\"Line one\\r\\nLine \\\"two\\\"\"\n"),
              std::string::npos) << log;

    VnCoreArray<int> answers;
    EXPECT_FALSE(VnSimShell::ParseAnswers("Yes\nPerhaps\n", answers, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(machine.SimShell().LoadAnswers((folder_ / "none.txt").string(), error));
}

TEST_F(SimMachineTest, ShellLinksNotificationsAndRestartRequests) {
    VnSimPlatform& machine = Open();
    VnShellLink link;
    link.target = u"C:\\Program Files (x86)\\Tunaro\\Tunaro.exe";
    link.arguments = u"/Start \"x\"";
    link.description = u"Tunaro ✓";
    link.iconIndex = 3;
    ASSERT_EQ(machine.Files().CreateDirectory(u"C:\\Links"), 0u);
    ASSERT_EQ(machine.Shell().CreateShellLink(u"C:\\Links\\Tunaro.lnk", link), 0u);
    std::string bytes;
    ASSERT_EQ(machine.Files().ReadFile(u"C:\\Links\\Tunaro.lnk", bytes), 0u);
    VnShellLink read;
    ASSERT_TRUE(VnSimShell::ParseShellLink(bytes, read));
    EXPECT_EQ(read.target, link.target);
    EXPECT_EQ(read.arguments, link.arguments);
    EXPECT_EQ(read.description, link.description);
    EXPECT_EQ(read.iconIndex, 3);
    EXPECT_NE(machine.Shell().CreateShellLink(u"C:\\No such folder\\Tunaro.lnk", link), 0u);

    machine.Shell().ChangeNotify(kShcneAssocChanged, 0);
    EXPECT_FALSE(machine.SimShell().RestartRequested());
    EXPECT_EQ(machine.Shell().RestartWindows(2, 0x80020003), 0u);
    EXPECT_TRUE(machine.SimShell().RestartRequested());
    const std::string log = ReadText(folder_ / "shell.log");
    EXPECT_NE(log.find("notify event 0x8000000 flags 0x0"), std::string::npos) << log;
    EXPECT_NE(log.find("restart requested flags 0x2 reason 0x80020003"), std::string::npos) << log;
    EXPECT_NE(log.find("link \"C:\\\\No such folder\\\\Tunaro.lnk\""), std::string::npos) << log;
}

TEST_F(SimMachineTest, SimulatedTimeAndGuids) {
    VnSimPlatform& machine = Open();
    IVnSystem& system = machine.System();
    uint64_t tick = system.GetTickCount64();
    uint64_t time = system.GetSystemTimeAsFileTime();
    system.Sleep(5000);
    EXPECT_GE(system.GetTickCount64() - tick, 5000u);
    EXPECT_LT(system.GetTickCount64() - tick, 5100u);
    EXPECT_GE(system.GetSystemTimeAsFileTime() - time, 5000u * 10000u);
    EXPECT_GT(system.GetTickCount64(), system.GetTickCount64() - 1) << "the clock never stands still";

    const VnString guid = system.CreateGuid();
    ASSERT_TRUE(LooksLikeGuid(guid.ToUtf8())) << guid.ToUtf8();
    EXPECT_EQ(guid[15], u'4');  // a random (version 4) GUID
    EXPECT_NE(system.CreateGuid(), guid);
}

TEST_F(SimMachineTest, RestartAppliesPendingRenamesAndRunOnceCommands) {
    VnSimPlatform& machine = Open();
    ASSERT_EQ(machine.Files().WriteFile(u"C:\\staged.dll", "new"), 0u);
    ASSERT_EQ(machine.Files().MoveFileEx(u"C:\\staged.dll", u"C:\\final.dll", kMoveFileDelayUntilReboot), 0u);
    EXPECT_TRUE(machine.System().EnableWow64FsRedirection(false));

    for (const char16_t* folder : {u"C:\\Prog Files", u"C:\\tools"}) ASSERT_EQ(machine.Files().CreateDirectory(folder), 0u);
    ASSERT_EQ(machine.Files().WriteFile(u"C:\\Prog Files\\Finisher.exe", "MZ"), 0u);
    ASSERT_EQ(machine.Files().WriteFile(u"C:\\tools\\user.exe", "MZ"), 0u);

    IVnRegistry& reg = machine.Registry();
    VnRegKey key = 0;
    const VnString runOnce = VN_LIT(u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    ASSERT_EQ(reg.CreateKey(VnRegRoot::LocalMachine, runOnce, kKeyReadWrite, key), 0u);  // the 32-bit key
    ASSERT_EQ(reg.SetValue(key, u"Finish", VnRegValue::String(u"\"C:\\Prog Files\\Finisher.exe\" /FinishInstall")), 0u);
    reg.CloseKey(key);
    ASSERT_EQ(reg.CreateKey(VnRegRoot::CurrentUser, runOnce, kKeyReadWrite, key), 0u);
    ASSERT_EQ(reg.SetValue(key, u"User", VnRegValue::String(u"C:\\tools\\user.exe -x")), 0u);
    reg.CloseKey(key);

    VnStringArray problems;
    EXPECT_TRUE(machine.SimulateRestart(&problems)) << problems.Join(u"; ").ToUtf8();
    EXPECT_EQ(machine.Files().GetFileAttributes(u"C:\\staged.dll"), kInvalidFileAttributes);
    std::string bytes;
    EXPECT_EQ(machine.Files().ReadFile(u"C:\\final.dll", bytes), 0u);
    EXPECT_EQ(bytes, "new");
    EXPECT_TRUE(machine.Facts().run.wow64FsRedirection);

    for (VnRegRoot root : {VnRegRoot::LocalMachine, VnRegRoot::CurrentUser}) {
        ASSERT_EQ(reg.OpenKey(root, runOnce, kKeyRead, key), 0u);
        VnString name;
        EXPECT_EQ(reg.EnumValue(key, 0, name), kErrorNoMoreItems) << "RunOnce values are deleted";
        reg.CloseKey(key);
    }
    const std::string restarts = ReadText(folder_ / VnSimPlatform::kRestartLogName);
    size_t machineRun = restarts.find("Finisher.exe\" /FinishInstall");
    size_t userRun = restarts.find("user.exe -x");
    ASSERT_NE(machineRun, std::string::npos) << restarts;
    ASSERT_NE(userRun, std::string::npos) << restarts;
    EXPECT_LT(machineRun, userRun) << "machine commands run before the user's";
    EXPECT_LT(restarts.find("rename C:\\staged.dll -> C:\\final.dll\n"), machineRun) << restarts;
    const std::string programs = ReadText(folder_ / "programs.log");
    EXPECT_NE(programs.find("Finisher.exe"), std::string::npos) << programs;
}

}  // namespace
