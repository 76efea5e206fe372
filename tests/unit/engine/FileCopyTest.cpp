// The copy rules on the simulated machine: versions in check-version mode,
// the path-substring tests, 64-bit files, files in use replaced at the
// restart or staged, registration, read-only and long destinations, and the
// folder copy with its progress by bytes.
#ifndef _WIN32

#include "EngineTestSupport.h"
#include "FileCopy.h"
#include "FontTable.h"
#include "InstallRunLog.h"
#include "RuntimeFunctionTables.h"
#include "VnFileSystem.h"

namespace {

class FileCopyTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        Options().DestinationFolder = Path(u"Program\\");
    }
    VnString Source(const VnString& name) { return Path(u"Setup\\") + name; }
    VnString Target(const VnString& name) { return Path(u"Program\\") + name; }

    // Source and destination tagged so that a copy shows; a null version
    // writes no version resource, a null destination no destination file.
    void WritePair(const VnString& name, const char* sourceVersion, const char* destinationVersion,
                   bool destination = true) {
        WriteFile(Source(name), MakeProgramFile(sourceVersion) + "source");
        if (destination) WriteFile(Target(name), MakeProgramFile(destinationVersion) + "target");
    }
    bool CopiedOver(const VnString& name) {
        const std::string bytes = Exists(Target(name)) ? ReadFile(Target(name)) : std::string();
        return bytes.size() > 6 && bytes.compare(bytes.size() - 6, 6, "source") == 0;
    }
    bool Copy(int mode, const VnString& name) { return CopyFileChecked(mode, Source(name), Target(name), &registerList); }
    void Lock(const VnString& name) { Facts().lockedFiles.Add(Target(name)); }

    VnStringArray registerList;
};

}  // namespace

TEST_F(FileCopyTest, CheckVersionModeCopiesOnlyWhatIsNewer) {
    struct Case {
        const char16_t* name;
        const char *source, *destination;
        bool destinationExists, copied;
        int mode = kCopyCheckVersion;
        bool withoutVersionLibrary = false;
    } const cases[] = {
        {u"Newer.dll", "1.0.0.2", "1.0.0.1", true, true},
        {u"Equal.dll", "2.4.1.7", "2.4.1.7", true, false},
        {u"Older.dll", "1.12.0.301", "1.12.1.0", true, false},
        {u"NoDestination.dll", "0.0.0.1", nullptr, false, true},
        {u"Unversioned.dll", nullptr, nullptr, false, false},
        {u"OverUnversioned.dll", "0.0.0.1", nullptr, true, true},
        {u"Unversioned.exe", nullptr, nullptr, false, false},
        {u"ReadMe.txt", nullptr, "9.0.0.0", true, true},
        {u"Overwrite.dll", "1.0.0.0", "9.0.0.0", true, true, kCopyAlwaysOverwrite},
        {u"Older2.dll", "1.0.0.0", "2.0.0.0", true, true, kCopyCheckVersion, true},  // no Version.dll: no version test
    };
    std::vector<std::string> libraries;
    for (const Case& c : cases) {
        if (c.withoutVersionLibrary) Facts().missingLibraries.Add(u"version.dll");
        WritePair(c.name, c.source, c.destination, c.destinationExists);
        EXPECT_TRUE(Copy(c.mode, c.name));
        EXPECT_EQ(CopiedOver(c.name), c.copied) << Utf8(c.name);
        if (VnString(c.name).EndsWith(u".dll")) libraries.push_back(Utf8(Target(c.name)));
    }
    // Copied or not, every library is collected for registration, in order.
    EXPECT_EQ(Utf8(registerList), libraries);
    EXPECT_TRUE(registrations.empty());
}

TEST_F(FileCopyTest, ExtensionTestsAreCaseSensitiveSubstringsOfTheWholePath) {
    const VnString names[] = {u"Plugins.dll\\readme.txt", u"Filters.axis\\notes.txt", u"UPPER.DLL"};
    for (const VnString& name : names) {
        WriteFile(Source(name), "no version");
        EXPECT_TRUE(Copy(kCopyCheckVersion, name));
    }
    EXPECT_FALSE(Exists(Target(names[0])));  // versioned, without a version
    EXPECT_FALSE(Exists(Target(names[1])));
    EXPECT_TRUE(Exists(Target(names[2])));   // neither versioned nor registrable
    EXPECT_EQ(Utf8(registerList), (std::vector<std::string>{Utf8(Target(names[0])), Utf8(Target(names[1]))}));

    // Without a register list a component registers at once; core libraries never pass here.
    WriteFile(Source(u"Codec.ax"), "filter");
    WriteFile(Source(u"vnplayer.DLL"), MakeProgramFile("33.0.44.0"));
    EXPECT_TRUE(CopyFileChecked(kCopyAlwaysOverwrite, Source(u"Codec.ax"), Target(u"Codec.ax"), nullptr));
    EXPECT_TRUE(CopyFileChecked(kCopyAlwaysOverwrite, Source(u"vnplayer.DLL"), Target(u"vnplayer.DLL"), nullptr));
    EXPECT_FALSE(Exists(Target(u"vnplayer.DLL")));
    EXPECT_EQ(registrations, std::vector<std::string>{"component " + Utf8(Target(u"Codec.ax"))});
    EXPECT_TRUE(IsExcludedCoreLibrary(u"C:\\Old\\vntelevision.dll.bak"));
    EXPECT_FALSE(IsExcludedCoreLibrary(u"C:\\Setup\\VnTele.dll"));
    EXPECT_TRUE(IsExcludedCoreLibrary(u"C:\\VnVnAUDIO.DLL"));  // a name right after a false start
    EXPECT_FALSE(IsExcludedCoreLibrary(u"C:\\VnAudio.dl"));    // cut short at the path's end
    EXPECT_FALSE(IsExcludedCoreLibrary(u""));
}

TEST_F(FileCopyTest, SixtyFourBitFilesNeedSixtyFourBitWindows) {
    const VnString library = u"x64\\Engine64.dll", driver = u"Drivers\\VnASIODriver64.dll";
    WriteFile(Source(library), MakeProgramFile("1.0.0.0", kX64));
    WriteFile(Source(driver), MakeProgramFile("1.0.0.0", kX64));
    Facts().is64BitWindows = false;
    EXPECT_FALSE(Copy(kCopyAlwaysOverwrite, library));
    EXPECT_FALSE(Copy(kCopyAlwaysOverwrite, driver));
    FreeRuntimeFunctionTables();  // a 64-bit Windows without IsWow64Process counts as 32-bit
    Facts().is64BitWindows = true;
    Facts().missingExports.Add(u"kernel32.dll!IsWow64Process");
    EXPECT_FALSE(Copy(kCopyAlwaysOverwrite, library));
    EXPECT_FALSE(Exists(Target(library)));
    EXPECT_TRUE(registerList.IsEmpty() && registrations.empty());

    // On 64-bit Windows they register at once through the 64-bit RegSvr32.
    FreeRuntimeFunctionTables();
    Facts().missingExports.RemoveAll();
    EXPECT_TRUE(CopyFileChecked(kCopyAlwaysOverwrite, Source(library), Target(u"X64\\Engine64.dll"), &registerList));
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, driver));
    EXPECT_EQ(registrations, (std::vector<std::string>{"regsvr32-64 " + Utf8(Target(u"X64\\Engine64.dll")),
                                                       "regsvr32-64 " + Utf8(Target(driver))}));
    EXPECT_TRUE(registerList.IsEmpty());
}

TEST_F(FileCopyTest, AFileInUseIsReplacedAtTheRestartAndRegisteredThen) {
    WritePair(u"Engine.dll", "2.0.0.0", "1.0.0.0");
    Lock(u"Engine.dll");
    EXPECT_TRUE(Copy(kCopyCheckVersion, u"Engine.dll"));
    EXPECT_FALSE(CopiedOver(u"Engine.dll"));
    EXPECT_EQ(ReadFile(StagedCopyPath(Target(u"Engine.dll"))), ReadFile(Source(u"Engine.dll")));
    EXPECT_EQ(Utf8(Options().PendingOperations), std::vector<std::string>{"_REGISTERFILE|" + Utf8(Target(u"Engine.dll"))});
    EXPECT_TRUE(registerList.IsEmpty() && Options().FinalizeInstallList.IsEmpty());
    EXPECT_TRUE(Options().ShellExtensionReady && !Options().RestartRequired);
    ASSERT_TRUE(Sim().SimulateRestart());
    EXPECT_TRUE(CopiedOver(u"Engine.dll"));

    // The shell extension is left to its own step, after the restart.
    WritePair(u"VnShellExt.dll", "2.0.0.0", "1.0.0.0");
    Lock(u"VnShellExt.dll");
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"VnShellExt.dll"));
    EXPECT_FALSE(Options().ShellExtensionReady);
    EXPECT_EQ(Options().PendingOperations.GetSize(), 1);
    EXPECT_TRUE(registerList.IsEmpty());
    EXPECT_FALSE(Options().RestartRequired);  // only a font needs the restart
}

TEST_F(FileCopyTest, AFontInUseNeedsTheRestartAndIsNotAddedNow) {
    const VnString fonts = GetWindowsFolder() + u"Fonts\\";
    WriteFile(Source(u"Fonts\\Locked.ttf"), "new font");
    WriteFile(Source(u"Fonts\\Free.ttf"), "free font");
    WriteFile(fonts + u"Locked.ttf", "old font");
    Facts().lockedFiles.Add(fonts + u"Locked.ttf");
    EXPECT_TRUE(CopyFolder(kCopyFont, nullptr, Source(u"Fonts"), fonts, &registerList));
    EXPECT_TRUE(Options().RestartRequired);
    EXPECT_EQ(ReadFile(fonts + u"Locked.ttf"), "old font");
    EXPECT_EQ(Utf8(FontTableRecord()), std::vector<std::string>{Utf8(fonts + u"Free.ttf")});
}

TEST_F(FileCopyTest, WithoutAScheduledReplacementTheFileIsStaged) {
    for (const char16_t* name : {u"Engine.dll", u"VnShellExt.dll", u"Other.txt"}) {
        WritePair(name, "2.0.0.0", "1.0.0.0");
        Lock(name);
    }
    Facts().moveFileExRefuses = true;
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"Engine.dll"));
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"VnShellExt.dll"));
    Facts().moveFileExRefuses = false;
    Facts().missingExports.Add(u"kernel32.dll!MoveFileExW");
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"Other.txt"));
    auto entry = [&](const char16_t* name) { return Utf8(StagedCopyPath(Target(name)) + u"|" + Target(name)); };
    EXPECT_EQ(Utf8(Options().FinalizeInstallList),
              (std::vector<std::string>{entry(u"Engine.dll"), entry(u"VnShellExt.dll"), entry(u"Other.txt")}));
    // Not deferred: registered with the others, the shell extension still ready.
    EXPECT_EQ(Utf8(registerList), std::vector<std::string>{Utf8(Target(u"Engine.dll"))});
    EXPECT_TRUE(Options().PendingOperations.IsEmpty() && Options().ShellExtensionReady);
    ASSERT_TRUE(Sim().SimulateRestart());
    EXPECT_FALSE(CopiedOver(u"Engine.dll"));
}

// A file is never deleted before its replacement is in place; what cannot be
// written at all is left as it was and named, and a file in use is replaced
// at the restart from a copy on its own volume, in its real folder.
TEST_F(FileCopyTest, NothingIsLostAndEveryDeferredCopyHasItsOwnPlace) {
    // Disk full: the installed file stays whole, nothing is scheduled or left behind.
    WritePair(u"Big.exe", "2.0.0.0", "1.0.0.0");
    const std::string old = ReadFile(Target(u"Big.exe"));
    for (VnSimDrive& drive : Facts().drives) drive.full = true;
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"Big.exe"));
    for (VnSimDrive& drive : Facts().drives) drive.full = false;
    EXPECT_EQ(ReadFile(Target(u"Big.exe")), old);
    EXPECT_FALSE(Exists(StagedCopyPath(Target(u"Big.exe"))));
    // A folder that cannot be created is an error, not a file in use.
    WriteFile(Source(u"Skins\\Skin.ini"), "skin");
    Facts().uncreatableFolders.Add(Target(u"Skins"));
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"Skins\\Skin.ini"));
    EXPECT_EQ(Utf8(Options().FilesNotInstalled),
              (std::vector<std::string>{Utf8(Target(u"Big.exe")), Utf8(Target(u"Skins\\Skin.ini"))}));
    EXPECT_TRUE(Logged("CopyFileChecked: Not installed, left as it was: " + Utf8(Target(u"Big.exe")) +
                       ": error 112 writing its new copy beside it (the disk is full)"));
    EXPECT_TRUE(ReplacementsWaitingForRestart().IsEmpty() && Options().FinalizeInstallList.IsEmpty());

    // Two locked files of one name; a locked 32-bit system file on 64-bit Windows.
    WritePair(u"Plug.dll", "2.0.0.0", "1.0.0.0");
    WriteFile(Source(u"x64\\Plug.dll"), MakeProgramFile("2.0.0.0", kX64) + "source64");
    WriteFile(Target(u"x64\\Plug.dll"), MakeProgramFile("1.0.0.0", kX64) + "target");
    Lock(u"Plug.dll");
    Lock(u"x64\\Plug.dll");
    const VnString system32 = GetSystemFolder(), wow64 = GetWindowsFolder() + u"SysWOW64\\";
    WriteFile(wow64 + u"Codec.dll", "old codec");
    Facts().lockedFiles.Add(wow64 + u"Codec.dll");
    WriteFile(Source(u"Codec.dll"), MakeProgramFile("2.0.0.0") + "codec");
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"Plug.dll"));
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"x64\\Plug.dll"));
    EXPECT_TRUE(CopyFileChecked(kCopyCheckVersion, Source(u"Codec.dll"), system32 + u"Codec.dll", &registerList));
    EXPECT_EQ(Utf8(ReplacementsWaitingForRestart()),
              (std::vector<std::string>{Utf8(Target(u"Plug.dll")), Utf8(Target(u"x64\\Plug.dll")),
                                        Utf8(wow64 + u"Codec.dll")}));
    ASSERT_EQ(Options().PendingOperations.GetSize(), 3);
    EXPECT_EQ(Options().PendingOperations[2], u"_REGISTERFILE|" + wow64 + u"Codec.dll");
    ASSERT_TRUE(Sim().SimulateRestart());
    EXPECT_TRUE(CopiedOver(u"Plug.dll"));
    EXPECT_EQ(ReadFile(Target(u"x64\\Plug.dll")), ReadFile(Source(u"x64\\Plug.dll")));
    EXPECT_EQ(ReadFile(wow64 + u"Codec.dll"), ReadFile(Source(u"Codec.dll")));
    Facts().run.wow64FsRedirection = false;
    EXPECT_FALSE(Exists(system32 + u"Codec.dll"));  // nothing landed in the 64-bit folder
}

TEST_F(FileCopyTest, ReadOnlyLongAndServerDestinations) {
    WritePair(u"Locked Down.txt", nullptr, nullptr);
    ASSERT_EQ(Files().SetFileAttributes(Target(u"Locked Down.txt"), vnwin::kFileAttributeReadOnly), 0u);
    ASSERT_EQ(Files().SetFileAttributes(Source(u"Locked Down.txt"), vnwin::kFileAttributeReadOnly), 0u);
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"Locked Down.txt"));
    EXPECT_TRUE(CopiedOver(u"Locked Down.txt"));
    EXPECT_EQ(Attributes(Target(u"Locked Down.txt")), vnwin::kFileAttributeNormal);

    const VnString deep = DeepFolder(VnString(), 300);
    EXPECT_TRUE(CopyFileChecked(kCopyAlwaysOverwrite, Source(u"Locked Down.txt"), Target(deep + u"x.txt"), nullptr));
    EXPECT_EQ(ReadFile(Target(deep + u"x.txt")), ReadFile(Source(u"Locked Down.txt")));

    // A running server is stopped before its program is replaced; a new one is not.
    WritePair(u"Server\\OrvanServer.exe", "1.0.0.0", "1.0.0.0");
    WritePair(u"New\\ORVANSERVER.EXE", "1.0.0.0", nullptr, false);
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"Server\\OrvanServer.exe"));
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"New\\ORVANSERVER.EXE"));
    const auto& starts = Sim().SimProcesses().Starts();
    ASSERT_EQ(starts.GetSize(), 1);
    EXPECT_EQ(starts[0].program, Target(u"Server\\OrvanServer.exe"));
    EXPECT_EQ(starts[0].parameters, u"stop");
}

TEST_F(FileCopyTest, CopyFolderKeepsTheTreeAndMovesTheBarByBytes) {
    WriteFile(Source(u"Payload\\a.txt"), std::string(100, 'a'));
    WriteFile(Source(u"Payload\\a2.txt"), std::string());
    WriteFile(Source(u"Payload\\Sub\\b.dll"), std::string(300, 'b'));
    WriteFile(Source(u"Payload\\Sub\\Deeper\\c.txt"), std::string(600, 'c'));
    RecordingProgress progress;
    EXPECT_TRUE(CopyFolder(kCopyAlwaysOverwrite, &progress, Source(u"Payload"), Path(u"Out\\\\"), &registerList));
    EXPECT_EQ(ReadFile(Path(u"Out\\Sub\\Deeper\\c.txt")), std::string(600, 'c'));
    EXPECT_EQ(Utf8(registerList), std::vector<std::string>{Utf8(Path(u"Out\\Sub\\b.dll"))});
    // In listing order: a.txt 10 %, a2.txt no change (no call), b.dll 40 %, c.txt 100 %.
    EXPECT_EQ(progress.ranges, std::vector<int>{100});
    EXPECT_EQ(progress.positions, (std::vector<int>{0, 10, 40, 100}));

    RecordingProgress empty;
    EXPECT_TRUE(CopyFolder(kCopyAlwaysOverwrite, &empty, Source(u"Missing\\"), Path(u"Out2\\"), nullptr));
    EXPECT_EQ(empty.positions, std::vector<int>{0});
}

TEST_F(FileCopyTest, APackageStagedOnItsOwnTakesItsCompanions) {
    WriteFile(Source(u"Pack\\Plugin.pmp"), "package");
    WriteFile(Source(u"Pack\\Plugin.zip"), "archive");
    WriteFile(Source(u"Pack\\Data\\extra.bin"), "extra");
    StageForFinalize(Source(u"Pack\\Plugin.pmp"), VnString(), false);
    EXPECT_EQ(Utf8(Options().FinalizeInstallList), std::vector<std::string>{Utf8(StagingFolder() + u"Plugin.pmp|")});
    EXPECT_EQ(ReadFile(StagingFolder() + u"Plugin.zip"), "archive");
    EXPECT_FALSE(Exists(StagingFolder() + u"Data"));
    StageForFinalize(Source(u"Pack\\Plugin.pmp"), VnString(), true);
    EXPECT_EQ(ReadFile(StagingFolder() + u"Data\\extra.bin"), "extra");
}

#endif
