// The companion programs, run in-process against a fresh machine: the
// simulated one natively, the real Windows API in the Windows build.
#include "CompanionPrograms.h"
#include "HostFiles.h"
#include "VnPeExports.h"
#include "VnSort.h"
#include "ToolsTestMachine.h"

#ifndef _WIN32
#include "SimPrograms.h"
#include "VnCompanionsSim.h"
#include "VnSimPlatform.h"
#endif

namespace {

// A file of the demo set-up folder, empty when it cannot be read.
std::string DemoFile(const std::string& relative) {
#ifdef VN_COMPANIONS_DEMO_SETUP_DIR
    return ReadHostFile(std::string(VN_COMPANIONS_DEMO_SETUP_DIR) + "/" + relative);
#else
    return {};
#endif
}

class CompanionsTest : public ToolsTest {
protected:
    void SetUp() override {
        ToolsTest::SetUp();
        WriteProductInfo();  // beside the programs: "Playmoor\" is the program folder
    }
    void TearDown() override {
        VnRegKey arnel = 0;
        if (VnPlatform().Registry().OpenKey(VnRegRoot::CurrentUser, u"Software\\V. Arnel", vnwin::kKeyReadWrite,
                                            arnel) == 0) {
            for (const char16_t* key : {u"Demo Starts", u"Demo Companions", u"Demo Registration"})
                VnPlatform().Registry().DeleteTree(arnel, key);
            VnPlatform().Registry().CloseKey(arnel);
        }
        ToolsTest::TearDown();
    }

    uint32_t Run(const char16_t* program, const VnString& parameters) {
        const CompanionProgram* found = FindCompanionProgram(program);
        EXPECT_TRUE(found) << VnString(program).ToUtf8();
        return found ? RunCompanionProgram(*found, {ModuleFolder() + program, parameters}) : 0xFFFFFFFF;
    }
    VnString State(const VnString& name, const VnString& subKey = {}) {
        return StoredValue(subKey.IsEmpty() ? VnString(u"Software\\V. Arnel\\Demo Companions")
                                            : u"Software\\V. Arnel\\Demo Companions\\" + subKey,
                           name)
            .text;
    }
    VnStringArray ValueNames(const VnString& key) {
        VnStringArray names;
        VnRegKey handle = 0;
        if (Registry().OpenKey(VnRegRoot::CurrentUser, key, vnwin::kKeyRead, handle) != 0) return names;
        VnString name;
        for (uint32_t i = 0; Registry().EnumValue(handle, i, name) == 0; ++i) names.Add(name);
        Registry().CloseKey(handle);
        return names;
    }
    void DeleteValue(const VnString& key, const VnString& name) {
        VnRegKey handle = 0;
        ASSERT_EQ(Registry().OpenKey(VnRegRoot::CurrentUser, key, vnwin::kKeyReadWrite, handle), 0u);
        Registry().DeleteValue(handle, name);
        Registry().CloseKey(handle);
    }
    IVnRegistry& Registry() { return VnPlatform().Registry(); }

    const VnString finalizeKey = VnString(kProductKey) + u"\\Installer\\Finalize";
};

TEST_F(CompanionsTest, FinishInstallCarriesOutTheListInOrderAndKeepsWhatFailed) {
    const std::string library = DemoFile("Playmoor/VnImage.dll");
    if (library.empty()) GTEST_SKIP() << "the demo set-up folder is not readable here";
    const VnString staged = Scratch() + u"Setup\\", target = Scratch() + u"Program Files\\Tunaro\\";
    ASSERT_EQ(Files().CreateDirectory(staged.Left(staged.GetLength() - 1)), 0u);
    WriteFile(staged + u"first.txt", "first");
    WriteFile(staged + u"second.txt", "second");
    WriteFile(staged + u"VnImage.dll", library);
    WriteFile(Scratch() + u"old.txt", "obsolete");
    Files().SetFileAttributes(Scratch() + u"old.txt", vnwin::kFileAttributeReadOnly);

    // Written out of counter order: within a kind the counters decide, not the registry's order.
    StoreText(finalizeKey, u"Delete File (0)", u"_DELETEFILE|" + Scratch() + u"old.txt");
    StoreText(finalizeKey, u"Delete File (1)", u"_DELETEFILE|" + Scratch() + u"never-there.txt");
    StoreText(finalizeKey, u"Install File (1)", staged + u"second.txt|" + target + u"same.txt");
    StoreText(finalizeKey, u"Install File (0)", staged + u"first.txt|" + target + u"same.txt");
    StoreText(finalizeKey, u"Install File (2)", staged + u"missing.txt|" + target + u"missing.txt");
    StoreText(finalizeKey, u"Register File (0)", u"_REGISTERFILE|" + target + u"VnImage.dll");  // installed below
    StoreText(finalizeKey, u"Install File (3)", staged + u"VnImage.dll|" + target + u"VnImage.dll");
    StoreText(finalizeKey, u"Register File (1)", u"_REGISTERFILE|" + target + u"NotThere.dll");
    StoreText(finalizeKey, u"Unreadable", u"no bar in here");
    // Named to list after the file kinds also where values list sorted (Wine), so the first failure is the same.
    StoreText(finalizeKey, u"Unknown kind", u"_DELETEFILE|" + Scratch() + u"keep.txt");  // not a kind we write
    StoreText(finalizeKey, u"Install File (4)", u"_DELETEFILE|" + Scratch() + u"keep.txt");  // name and data disagree
    WriteFile(Scratch() + u"keep.txt", "kept");

    // The first failure is the missing staged file; what failed stays listed.
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"\"/FinishInstall\""), vnwin::kErrorFileNotFound);
    VnStringArray left = ValueNames(finalizeKey);
    VnStringArraySort::Sort(left);  // Wine lists values sorted, Windows in the order written
    EXPECT_EQ(left, (VnStringArray{u"Install File (2)", u"Install File (4)", u"Register File (1)", u"Unknown kind",
                                   u"Unreadable"}));
    EXPECT_EQ(ReadFile(Scratch() + u"keep.txt"), "kept");
    EXPECT_FALSE(Exists(Scratch() + u"old.txt"));
    EXPECT_EQ(ReadFile(target + u"same.txt"), "second");  // created its folder; (0) then (1)
    EXPECT_FALSE(Exists(staged + u"first.txt"));
    EXPECT_TRUE(Exists(target + u"VnImage.dll"));
    EXPECT_EQ(State(target + u"VnImage.dll", u"Components"), u"registered");
    EXPECT_EQ(State(target + u"NotThere.dll", u"Components"), u"registration failed (error 126)");
    if (OnWindows()) {  // the library's own code ran
        EXPECT_EQ(StoredValue(u"Software\\V. Arnel\\Demo Registration", u"VnImage.dll").text, target + u"VnImage.dll");
    }

    // Once the rest can be done, the list and its key are gone; the "Installer" key stays.
    WriteFile(staged + u"missing.txt", "late");
    WriteFile(target + u"NotThere.dll", library);
    for (const char16_t* name : {u"Unreadable", u"Unknown kind", u"Install File (4)"}) DeleteValue(finalizeKey, name);
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/finishinstall"), 0u);
    EXPECT_EQ(ReadFile(target + u"missing.txt"), "late");
    VnRegKey key = 0;
    EXPECT_EQ(Registry().OpenKey(VnRegRoot::CurrentUser, finalizeKey, vnwin::kKeyRead, key), vnwin::kErrorFileNotFound);
    EXPECT_EQ(Registry().OpenKey(VnRegRoot::CurrentUser, VnString(kProductKey) + u"\\Installer", vnwin::kKeyRead, key), 0u);
    Registry().CloseKey(key);
}

TEST_F(CompanionsTest, FinishInstallWithoutListOrProductInformation) {
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/FinishInstall"), 0u);  // nothing to do
    EXPECT_TRUE(ValueNames(finalizeKey).IsEmpty());

    // Without "ProductInfo.xml" the program cannot know its key: the list stays untouched.
    WriteFile(Scratch() + u"a.txt", "a");
    StoreText(finalizeKey, u"Delete File (0)", u"_DELETEFILE|" + Scratch() + u"a.txt");
    ASSERT_EQ(Files().DeleteFile(ModuleFolder() + u"ProductInfo.xml"), 0u);
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/FinishInstall"), vnwin::kErrorFileNotFound);
    EXPECT_TRUE(Exists(Scratch() + u"a.txt"));
    EXPECT_EQ(ValueNames(finalizeKey).GetSize(), 1);
}

TEST_F(CompanionsTest, RegDllAndUnRegDllCallTheLibrarysEntries) {
    const std::string library = DemoFile("Playmoor/VnImage.dll"), program = DemoFile("Playmoor/Tunaro.exe");
    if (library.empty() || program.empty()) GTEST_SKIP() << "the demo set-up folder is not readable here";
    const VnString folder = Scratch() + u"With Space\\";
    ASSERT_EQ(Files().CreateDirectory(folder.Left(folder.GetLength() - 1)), 0u);
    WriteFile(folder + u"VnImage.dll", library);
    WriteFile(ModuleFolder() + u"Tunaro.exe", program);

    // The installer passes the path unquoted after the switch.
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/RegDLL " + folder + u"VnImage.dll"), 0u);
    EXPECT_EQ(State(folder + u"VnImage.dll", u"Components"), u"registered");
    const VnString mark = u"Software\\V. Arnel\\Demo Registration";
    if (OnWindows()) {
        EXPECT_EQ(StoredValue(mark, u"VnImage.dll").text, folder + u"VnImage.dll");
    }
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/UnRegDLL \"" + folder + u"VnImage.dll\""), 0u);
    EXPECT_EQ(State(folder + u"VnImage.dll", u"Components"), u"unregistered");
    if (OnWindows()) {
        EXPECT_EQ(StoredValue(mark, u"VnImage.dll").type, vnwin::kRegNone);
    }

    // A relative name and "Shell Extensions" are looked for in the program's folder.
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/RegDLL Tunaro.exe"), vnwin::kErrorProcNotFound);
    EXPECT_EQ(State(ModuleFolder() + u"Tunaro.exe", u"Components"), u"registration failed (error 127)");
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/RegDLL Shell Extensions"), vnwin::kErrorModNotFound);
    EXPECT_EQ(State(ModuleFolder() + u"VnShellExt.dll", u"Components"), u"registration failed (error 126)");
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/RegDLL"), vnwin::kErrorInvalidParameter);
}

TEST_F(CompanionsTest, EachProgramRecordsItsStartsAndTheStateItStandsFor) {
    const VnString setupFile = Scratch() + u"VnWDMDriver.inf", package = Scratch() + u"Skin.pmp";
    WriteFile(setupFile, "[Version]\r\n");
    WriteFile(package, "[Package]\r\nName=Skin\r\nAction=NONE\r\n");
    const VnString notAPackage = Scratch() + u"Broken.pmp";
    WriteFile(notAPackage, "PK");
    StoreText(VnString(kProductKey) + u"\\Properties", u"File Associations - Selected Media Types", u"mp3;wav");

    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/InstallWDMDriver " + Scratch() + u"Missing.inf"), vnwin::kErrorFileNotFound);
    EXPECT_EQ(State(u"WDM Driver"), u"");
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/InstallWDMDriver " + setupFile), 0u);
    EXPECT_EQ(State(u"WDM Driver"), u"installed");
    EXPECT_EQ(State(u"WDM Driver Setup File"), setupFile);
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/RemoveWDMDriver"), 0u);
    EXPECT_EQ(State(u"WDM Driver"), u"removed");
    EXPECT_EQ(StoredValue(u"Software\\V. Arnel\\Demo Companions", u"WDM Driver Setup File").type, vnwin::kRegNone);
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/RegFileAssociations"), 0u);
    EXPECT_EQ(State(u"File Associations Requested"), u"mp3;wav");
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/Q /Install " + package), 0u);
    EXPECT_EQ(State(package, u"Packages"), u"quietly installed");
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/Install " + notAPackage), 1603u);
    EXPECT_EQ(State(notAPackage, u"Packages"), u"install failed");
    const VnString registration = Scratch() + u"Key.pmr", emptyRegistration = Scratch() + u"Empty.pmr";
    WriteFile(registration, "registration text");
    WriteFile(emptyRegistration, "");
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/Register " + registration), 0u);
    EXPECT_EQ(State(registration, u"Registration Files"), u"opened, 17 bytes");
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/Register " + emptyRegistration), 13u);
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/Register " + Scratch() + u"Missing.pmr"), vnwin::kErrorFileNotFound);
    EXPECT_EQ(State(emptyRegistration, u"Registration Files"), u"");
    EXPECT_EQ(Run(u"PackageInstaller.exe", u"/Q /Uninstall " + package), vnwin::kErrorInvalidParameter);

    EXPECT_EQ(Run(u"VnService.exe", u"/Register"), 0u);
    EXPECT_EQ(State(u"VnService"), u"registered");
    EXPECT_EQ(Run(u"VnService.exe", u"/STOP"), 0u);
    EXPECT_EQ(State(u"VnService"), u"stopped");
    EXPECT_EQ(Run(u"OrvanControl.exe", u"/Install"), 0u);
    EXPECT_EQ(State(u"Orvan Server Service"), u"installed");
    EXPECT_EQ(Run(u"OrvanControl.exe", u"/Remove"), vnwin::kErrorInvalidParameter);
    EXPECT_EQ(Run(u"VnMediaUninstall.exe", u"/Silent"), 1603u);  // no installation record beside it

    // Every start: the last command line, the count, and each start's command line and exit code.
    const VnString starts = u"Software\\V. Arnel\\Demo Starts\\PackageInstaller.exe";
    EXPECT_EQ(StoredValue(starts, u"Start Count").number, 10u);
    EXPECT_EQ(StoredValue(starts, u"Command Line").text, u"/Q /Uninstall " + package);
    EXPECT_EQ(StoredValue(starts, u"Command Line (1)").text, u"/InstallWDMDriver " + Scratch() + u"Missing.inf");
    EXPECT_EQ(StoredValue(starts, u"Exit Code (1)").number, vnwin::kErrorFileNotFound);
    EXPECT_EQ(StoredValue(starts, u"Exit Code (2)").number, 0u);
    EXPECT_EQ(StoredValue(u"Software\\V. Arnel\\Demo Starts\\OrvanControl.exe", u"Exit Code (2)").number, 87u);
    EXPECT_EQ(StoredValue(u"Software\\V. Arnel\\Demo Starts\\VnMediaUninstall.exe", u"Start Count").number, 1u);
}

TEST(PeExportNamesTest, FindsNamedExportsAndSurvivesDamage) {
    const std::string library32 = DemoFile("Playmoor/VnImage.dll"), library64 = DemoFile("Playmoor/x64/VnImage.dll");
    if (library32.empty() || library64.empty()) GTEST_SKIP() << "the demo set-up folder is not readable here";
    for (const std::string* library : {&library32, &library64}) {
        EXPECT_TRUE(VnPeExportsName(*library, "DllRegisterServer"));
        EXPECT_TRUE(VnPeExportsName(*library, "DllUnregisterServer"));
        EXPECT_FALSE(VnPeExportsName(*library, "DllRegister"));  // a prefix is not a name
        EXPECT_FALSE(VnPeExportsName(*library, ""));
    }
    // Cut short anywhere, the reader answers without reading past the end and
    // never says the entry is missing; a page read that fails is not knowing either.
    for (size_t length = 0; length < library32.size(); length += 7) {
        const std::string cut = library32.substr(0, length);
        EXPECT_NE(VnFindPeExport([&](uint64_t offset, uint32_t size, std::string& bytes) {
                      if (offset < cut.size()) bytes.assign(cut, size_t(offset), size);
                      return true;
                  }, "DllRegisterServer"), VnPeExport::NotNamed) << length;
    }
    EXPECT_EQ(VnFindPeExport([](uint64_t, uint32_t, std::string&) { return false; }, "DllRegisterServer"),
              VnPeExport::Unknown);
    for (size_t offset = 0; offset < std::min<size_t>(library32.size(), 4096); ++offset) {
        std::string damaged = library32;
        damaged[offset] = char(0xFF);
        VnPeExportsName(damaged, "DllRegisterServer");
    }
}

#ifndef _WIN32
// Inside the simulated machine the programs run by file name, also from the
// RunOnce command the installer arms for the restart.
TEST_F(CompanionsTest, SimulatedMachineRunsTheProgramsByFileName) {
    VnRegisterCompanionsWithSim();
    const VnString program = ModuleFolder() + u"PackageInstaller.exe";
    WriteFile(program, "stands for the program");
    WriteFile(Scratch() + u"obsolete.txt", "x");
    StoreText(finalizeKey, u"Delete File (0)", u"_DELETEFILE|" + Scratch() + u"obsolete.txt");
    StoreText(u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", u"Install Wizard Completion",
            u"\"" + program + u"\" \"/FinishInstall\"");

    ASSERT_TRUE(Sim().SimulateRestart());
    EXPECT_FALSE(Exists(Scratch() + u"obsolete.txt"));
    const VnString starts = u"Software\\V. Arnel\\Demo Starts\\PackageInstaller.exe";
    EXPECT_EQ(StoredValue(starts, u"Command Line").text, u"\"/FinishInstall\"");
    EXPECT_EQ(StoredValue(starts, u"Exit Code (1)").number, 0u);

    // A stand-in module's entry really runs; a failing HRESULT is the exit code.
    VnSimModuleRegistry::Shared().Register(u"Failing.dll", "DllRegisterServer",
                                           reinterpret_cast<void*>(+[]() -> int32_t { return int32_t(0x80004005); }));
    WriteFile(Scratch() + u"Failing.dll", "MZ");
    VnHandle process = 0;
    ASSERT_EQ(P().Processes().StartProgram(program, u"/RegDLL " + Scratch() + u"Failing.dll", {}, process), 0u);
    uint32_t exitCode = 0;
    EXPECT_EQ(P().Processes().GetExitCodeProcess(process, exitCode), 0u);
    EXPECT_EQ(exitCode, 0x80004005u);
    P().Processes().CloseHandle(process);
    EXPECT_EQ(State(Scratch() + u"Failing.dll", u"Components"), u"registration failed (HRESULT 0x80004005)");
    VnSimModuleRegistry::Shared().Unregister(u"Failing.dll");
}
#endif

}  // namespace
