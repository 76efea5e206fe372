// The program-files part of the sequence: files in use waiting for the
// restart, what the copy must not leave, and the registration rules.
#ifndef _WIN32

#include <algorithm>

#include "InstallFilesFixture.h"
#include "InstallRunLog.h"

namespace {

class InstallFilesProgramTest : public InstallFilesTest {
protected:
    // How often the installed file was registered as a component.
    long Registered(const char16_t* relative) {
        return std::count(registrations.begin(), registrations.end(), "component " + Utf8(Installed(relative)));
    }
};

}  // namespace

TEST_F(InstallFilesProgramTest, AProgramFileInUseIsReplacedAtTheRestart) {
    const std::string earlier = MakeProgramFile("33.0.40.0");
    const char16_t* const inUse[] = {u"Tunaro.exe", u"VnTools.dll"};
    for (const char16_t* name : inUse) {
        WriteFile(Installed(name), earlier);
        Facts().lockedFiles.Add(Installed(name));
    }
    RunCopyAndInstall();

    // Both wait; the sequence went on to the end.
    EXPECT_EQ(ReadFile(Installed(u"Tunaro.exe")), earlier);
    EXPECT_EQ(Utf8(ReplacementsWaitingForRestart()),
              (std::vector<std::string>{Utf8(Installed(u"Tunaro.exe")), Utf8(Installed(u"VnTools.dll"))}));
    EXPECT_EQ(Utf8(Options().PendingOperations),
              std::vector<std::string>{"_REGISTERFILE|" + Utf8(Installed(u"VnTools.dll"))});
    EXPECT_EQ(registrations.size(), 4u);  // the system libraries only
    EXPECT_TRUE(InstallNeedsRestart());
    const std::string source = "CInstallFiles::CopyAndInstall: ";
    EXPECT_TRUE(Logged(source + "Replaced at the next restart (in use, could not be copied now): " +
                               Utf8(Installed(u"Tunaro.exe"))));
    EXPECT_TRUE(Logged(source + "Registered at finalisation after the restart (replaced at the restart): " +
                               Utf8(Installed(u"VnTools.dll"))));
    EXPECT_TRUE(Logged(source + "Restart needed to finish the install: yes"));
    EXPECT_EQ(page.timersStarted, std::vector<int32_t>{kComponentStep});

    Facts().lockedFiles.RemoveAll();
    ASSERT_TRUE(Sim().SimulateRestart());
    for (const char16_t* name : inUse) EXPECT_EQ(ReadFile(Installed(name)), ReadFile(Payload(name))) << Utf8(name);
    EXPECT_TRUE(ReplacementsWaitingForRestart().IsEmpty());
}

TEST_F(InstallFilesProgramTest, ExtraPayloadFilesFollowTheLanguageDriverAndPluginRules) {
    WriteFile(Payload(u"Plugins\\IN_Tone.dll"), MakeProgramFile("1.0.0.0"));
    WriteFile(Payload(u"Plugins\\gen_in_tray.dll"), MakeProgramFile("1.0.0.0"));
    WriteFile(Payload(u"Server\\VnServerCore.dll"), MakeProgramFile("1.0.0.0"));
    WriteFile(Payload(u"Data\\Languages\\Chinese\\Language.ini"), "[Language]\r\n");
    WriteFile(Payload(u"Drivers\\32\\VnWDMAudio.dll"), MakeProgramFile("1.0.0.0"));
    WriteFile(Payload(u"Drivers\\64\\VnWDMAudio.sys"), "driver");
    WriteFile(Payload(u"Drivers\\VnWDMDriver.inf"), "[Version]\r\n");
    WriteFile(Payload(u"Drivers\\VnWDMDriver.cat"), "catalogue");
    WriteFile(Installed(u"Data\\Panel\\Root\\Default\\static\\index.html"), "old panel");
    WriteFile(Installed(u"Data\\Panel\\Root\\Default\\kept.html"), "kept");
    RunCopyAndInstall();

    // Only one Chinese folder: kept.
    EXPECT_TRUE(Exists(Installed(u"Data\\Languages\\Chinese\\Language.ini")));
    // The driver's set-up files were copied (the library was collected for
    // registration) and then removed; the WDM folder stays for the driver step.
    EXPECT_GE(Registered(u"Drivers\\32\\VnWDMAudio.dll"), 1);
    for (const char16_t* gone :
         {u"Drivers\\32", u"Drivers\\64", u"Drivers\\VnWDMDriver.inf", u"Drivers\\VnWDMDriver.cat"})
        EXPECT_FALSE(Exists(Installed(gone))) << Utf8(gone);
    EXPECT_TRUE(Exists(Installed(u"Drivers\\WDM\\Win10\\VnWDMDriver.inf")));
    EXPECT_FALSE(Exists(Installed(u"Data\\Panel\\Root\\Default\\static")));
    EXPECT_TRUE(Exists(Installed(u"Data\\Panel\\Root\\Default\\kept.html")));

    // Every collected library is registered (server ones too: this is not the
    // server product, nothing was stopped); only "in_" names, in any case,
    // also as input plug-ins.
    for (const char16_t* name : {u"Plugins\\IN_Tone.dll", u"Plugins\\gen_in_tray.dll", u"Server\\VnServerCore.dll"})
        EXPECT_EQ(Registered(name), 1) << Utf8(name);
    EXPECT_TRUE(Logged("CInstallWAPlugin::Install: " + Utf8(Installed(u"Plugins\\IN_Tone.dll"))));
    EXPECT_FALSE(LoggedContaining("CInstallWAPlugin::Install: " + Utf8(Installed(u"Plugins\\gen_in_tray.dll"))));
    EXPECT_TRUE(Sim().SimProcesses().Starts().IsEmpty());

    // With the simplified-Chinese folder beside it, the old one goes.
    WriteFile(Payload(u"Data\\Languages\\Chinese (simplified)\\Language.ini"), "[Language]\r\n");
    files = CInstallFiles();
    RunCopyAndInstall();
    EXPECT_FALSE(Exists(Installed(u"Data\\Languages\\Chinese")));
    EXPECT_TRUE(Exists(Installed(u"Data\\Languages\\Chinese (simplified)\\Language.ini")));
    EXPECT_TRUE(Exists(Installed(u"Data\\Languages\\English\\Language.ini")));
}

TEST_F(InstallFilesProgramTest, TheServerProductIsStoppedAndItsServerComponentsAreNotRegistered) {
    std::string productInfo = ReadFile(Payload(u"ProductInfo.xml"));
    const std::string executable = "<ExecutableName>Tunaro.exe</ExecutableName>";
    ASSERT_NE(productInfo.find(executable), std::string::npos);
    productInfo.replace(productInfo.find(executable), executable.size(), "<ExecutableName>Orvan.exe</ExecutableName>");
    WriteFile(Payload(u"ProductInfo.xml"), productInfo);
    WriteFile(Payload(u"Server\\VnServerCore.dll"), MakeProgramFile("1.0.0.0"));
    WriteFile(Installed(u"Orvan.exe"), MakeProgramFile("1.0.0.0"));
    WriteFile(Installed(u"Server\\Old Module.dll"), "from an earlier version");
    RunCopyAndInstall();

    const VnCoreArray<VnSimStartRecord>& starts = Sim().SimProcesses().Starts();
    ASSERT_EQ(starts.GetSize(), 1);
    EXPECT_EQ(starts[0].program, Installed(u"Orvan.exe"));
    EXPECT_EQ(starts[0].parameters, u"/Stop");
    EXPECT_FALSE(Exists(Installed(u"Server\\Old Module.dll")));
    EXPECT_TRUE(Exists(Installed(u"Server\\VnServerCore.dll")));  // the new one, copied after the clean-up
    EXPECT_EQ(Registered(u"Server\\VnServerCore.dll"), 0);
    EXPECT_EQ(Registered(u"VnTools.dll"), 1);
}

#endif
