// The copy rules on the simulated machine: versions in check-version mode,
// the path-substring tests, 64-bit files, files in use replaced at the
// restart or staged, registration, read-only and long destinations, and the
// folder copy with its progress by bytes.
#ifndef _WIN32

#include "EngineTestSupport.h"
#include "FileCopy.h"
#include "FontTable.h"
#include "RuntimeFunctionTables.h"
#include "VnFileSystem.h"

namespace {

class FileCopyTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        Options().DestinationFolder = Path(u"Program\\");
    }
    VnString Source(const VnString& relative) { return Path(u"Setup\\") + relative; }
    VnString Target(const VnString& relative) { return Path(u"Program\\") + relative; }

    // A source and a destination file, each tagged so that a copy shows;
    // a null version writes a file without a version resource, and a null
    // destination version with `destinationExists` false writes none.
    void WritePair(const VnString& name, const char* sourceVersion, const char* destinationVersion,
                   bool destinationExists = true) {
        WriteFile(Source(name), MakeProgramFile(sourceVersion) + "source");
        if (destinationExists) WriteFile(Target(name), MakeProgramFile(destinationVersion) + "destination");
    }
    bool CopiedOver(const VnString& name) {
        const std::string bytes = Exists(Target(name)) ? ReadFile(Target(name)) : std::string();
        return bytes.size() > 6 && bytes.compare(bytes.size() - 6, 6, "source") == 0;
    }
    bool Copy(int mode, const VnString& name) {
        return CopyFileChecked(mode, Source(name), Target(name), &registerList);
    }

    VnStringArray registerList;
};

}  // namespace

TEST_F(FileCopyTest, CheckVersionModeCopiesOnlyOverOlderVersions) {
    struct Case {
        const char16_t* name;
        const char* source;
        const char* destination;
        bool destinationExists;
        bool copied;
    };
    const Case cases[] = {
        {u"Newer.dll", "1.2.0.0", "1.1.9.9", true, true},
        {u"NewerLastPart.dll", "1.0.0.2", "1.0.0.1", true, true},
        {u"Equal.dll", "2.4.1.7", "2.4.1.7", true, false},
        {u"Older.dll", "1.12.0.301", "1.12.1.0", true, false},
        {u"NoDestination.dll", "0.0.0.1", nullptr, false, true},
        {u"UnversionedOverNothing.dll", nullptr, nullptr, false, false},
        {u"UnversionedOverVersioned.dll", nullptr, "1.0.0.0", true, false},
        {u"VersionedOverUnversioned.dll", "0.0.0.1", nullptr, true, true},
    };
    for (const Case& c : cases) {
        WritePair(c.name, c.source, c.destination, c.destinationExists);
        EXPECT_TRUE(Copy(kCopyCheckVersion, c.name));
        EXPECT_EQ(CopiedOver(c.name), c.copied) << Utf8(c.name);
    }
    // Copied or not, every library is collected for registration, in order.
    std::vector<std::string> expected;
    for (const Case& c : cases) expected.push_back(Utf8(Target(c.name)));
    EXPECT_EQ(Utf8(registerList), expected);
    EXPECT_TRUE(registrations.empty());
    EXPECT_TRUE(Options().PendingOperations.IsEmpty());

    // The other modes copy whatever the versions say.
    WritePair(u"Overwrite.dll", "1.0.0.0", "9.0.0.0");
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"Overwrite.dll"));
    EXPECT_TRUE(CopiedOver(u"Overwrite.dll"));
}

TEST_F(FileCopyTest, CheckVersionModeNeverCopiesAnUnversionedProgramButAlwaysOtherFiles) {
    WriteFile(Source(u"Tool.exe"), "no version resource");
    EXPECT_TRUE(Copy(kCopyCheckVersion, u"Tool.exe"));
    EXPECT_FALSE(Exists(Target(u"Tool.exe")));

    WritePair(u"ReadMe.txt", nullptr, "9.9.9.9");
    EXPECT_TRUE(Copy(kCopyCheckVersion, u"ReadMe.txt"));
    EXPECT_TRUE(CopiedOver(u"ReadMe.txt"));
    EXPECT_TRUE(registerList.IsEmpty());  // neither is a component
}

TEST_F(FileCopyTest, WithoutVersionDllCheckVersionModeCopiesEveryFile) {
    WritePair(u"Older.dll", "1.0.0.0", "2.0.0.0");
    Facts().missingExports.Add(u"version.dll!GetFileVersionInfoSizeW");
    EXPECT_TRUE(Copy(kCopyCheckVersion, u"Older.dll"));
    EXPECT_TRUE(CopiedOver(u"Older.dll"));

    WritePair(u"Unversioned.exe", nullptr, "2.0.0.0");
    Facts().missingExports.RemoveAll();
    Facts().missingLibraries.Add(u"version.dll");
    EXPECT_TRUE(Copy(kCopyCheckVersion, u"Unversioned.exe"));
    EXPECT_TRUE(CopiedOver(u"Unversioned.exe"));
}

TEST_F(FileCopyTest, ExtensionTestsAreCaseSensitiveSubstringsOfTheWholePath) {
    // A text file in a folder named like a library is versioned and registrable.
    WriteFile(Source(u"Plugins.dll\\readme.txt"), "text");
    WriteFile(Source(u"Filters.axis\\notes.txt"), "text");
    WriteFile(Source(u"Control.ocx"), "no version");
    // Upper-case extensions are neither.
    WriteFile(Source(u"UPPER.DLL"), "no version");
    for (const char16_t* name : {u"Plugins.dll\\readme.txt", u"Filters.axis\\notes.txt", u"Control.ocx", u"UPPER.DLL"})
        EXPECT_TRUE(Copy(kCopyCheckVersion, name));
    EXPECT_FALSE(Exists(Target(u"Plugins.dll\\readme.txt")));
    EXPECT_FALSE(Exists(Target(u"Filters.axis\\notes.txt")));
    EXPECT_FALSE(Exists(Target(u"Control.ocx")));
    EXPECT_TRUE(Exists(Target(u"UPPER.DLL")));
    EXPECT_EQ(Utf8(registerList), (std::vector<std::string>{Utf8(Target(u"Plugins.dll\\readme.txt")),
                                                            Utf8(Target(u"Filters.axis\\notes.txt")),
                                                            Utf8(Target(u"Control.ocx"))}));
}

TEST_F(FileCopyTest, SixtyFourBitFilesNeedSixtyFourBitWindows) {
    const VnString x64Library = u"x64\\Engine64.dll", asioDriver = u"Drivers\\VnASIODriver64.dll";
    WriteFile(Source(x64Library), MakeProgramFile("1.0.0.0", kX64));
    WriteFile(Source(asioDriver), MakeProgramFile("1.0.0.0", kX64));

    // 32-bit Windows: neither copied nor registered.
    Facts().is64BitWindows = false;
    EXPECT_FALSE(Copy(kCopyAlwaysOverwrite, x64Library));
    EXPECT_FALSE(Copy(kCopyAlwaysOverwrite, asioDriver));
    EXPECT_FALSE(Exists(Target(x64Library)));
    EXPECT_FALSE(Exists(Target(asioDriver)));
    // A Windows without IsWow64Process counts as 32-bit too.
    FreeRuntimeFunctionTables();
    Facts().is64BitWindows = true;
    Facts().missingExports.Add(u"kernel32.dll!IsWow64Process");
    EXPECT_FALSE(Copy(kCopyAlwaysOverwrite, x64Library));
    EXPECT_TRUE(registerList.IsEmpty());
    EXPECT_TRUE(registrations.empty());

    // 64-bit Windows: copied and registered at once through the 64-bit RegSvr32.
    FreeRuntimeFunctionTables();
    Facts().missingExports.RemoveAll();
    const VnString upperCaseFolder = Target(u"X64\\Engine64.dll");
    EXPECT_TRUE(CopyFileChecked(kCopyAlwaysOverwrite, Source(x64Library), upperCaseFolder, &registerList));
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, asioDriver));
    EXPECT_TRUE(Exists(upperCaseFolder));
    EXPECT_EQ(registrations, (std::vector<std::string>{"regsvr32-64 " + Utf8(upperCaseFolder),
                                                       "regsvr32-64 " + Utf8(Target(asioDriver))}));
    EXPECT_TRUE(registerList.IsEmpty());
}

TEST_F(FileCopyTest, CoreLibrariesAreLeftToTheirOwnStep) {
    EXPECT_EQ(CoreLibraryName(0), u"VnAudio.dll");
    EXPECT_EQ(CoreLibraryName(6), u"VnTelevision.dll");
    EXPECT_EQ(CoreLibraryName(7), u"");
    EXPECT_EQ(CoreLibraryName(-1), u"");
    EXPECT_TRUE(IsExcludedCoreLibrary(u"C:\\Setup\\Playmoor\\x64\\vnaudio.DLL"));
    EXPECT_TRUE(IsExcludedCoreLibrary(u"C:\\Old\\VnTelevision.dll.bak"));
    EXPECT_FALSE(IsExcludedCoreLibrary(u"C:\\Setup\\Playmoor\\VnTele.dll"));

    WriteFile(Source(u"vnplayer.dll"), MakeProgramFile("33.0.44.0"));
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"vnplayer.dll"));
    EXPECT_FALSE(Exists(Target(u"vnplayer.dll")));
    EXPECT_TRUE(registerList.IsEmpty());
}

TEST_F(FileCopyTest, WithoutARegisterListComponentsRegisterAtOnce) {
    WriteFile(Source(u"Codec.ax"), "filter");
    EXPECT_TRUE(CopyFileChecked(kCopyAlwaysOverwrite, Source(u"Codec.ax"), Target(u"Codec.ax"), nullptr));
    EXPECT_EQ(registrations, std::vector<std::string>{"component " + Utf8(Target(u"Codec.ax"))});
}

TEST_F(FileCopyTest, AFileInUseIsReplacedAtTheNextRestartAndRegisteredThen) {
    WritePair(u"Engine.dll", "2.0.0.0", "1.0.0.0");
    Facts().lockedFiles.Add(Target(u"Engine.dll"));
    EXPECT_TRUE(Copy(kCopyCheckVersion, u"Engine.dll"));
    EXPECT_FALSE(CopiedOver(u"Engine.dll"));
    EXPECT_EQ(ReadFile(Target(u"Setup\\Engine.dll")), ReadFile(Source(u"Engine.dll")));
    EXPECT_EQ(Utf8(Options().PendingOperations),
              std::vector<std::string>{"_REGISTERFILE|" + Utf8(Target(u"Engine.dll"))});
    EXPECT_TRUE(registerList.IsEmpty());
    EXPECT_TRUE(Options().FinalizeInstallList.IsEmpty());
    EXPECT_TRUE(Options().ShellExtensionReady);
    EXPECT_FALSE(Options().RestartRequired);
    EXPECT_TRUE(Tools().Logged("VnFileSystem::DeleteFile: Error 32 deleting existing file: " +
                               Utf8(Target(u"Engine.dll"))));

    ASSERT_TRUE(Sim().SimulateRestart());
    EXPECT_TRUE(CopiedOver(u"Engine.dll"));
    EXPECT_FALSE(Exists(Target(u"Setup\\Engine.dll")));
}

TEST_F(FileCopyTest, ADeferredShellExtensionOrFontChangesTheRestartFlags) {
    WritePair(u"VnShellExt.dll", "2.0.0.0", "1.0.0.0");
    Facts().lockedFiles.Add(Target(u"VnShellExt.dll"));
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"VnShellExt.dll"));
    EXPECT_FALSE(Options().ShellExtensionReady);
    EXPECT_FALSE(Options().RestartRequired);
    EXPECT_TRUE(Options().PendingOperations.IsEmpty());  // registered by its own step
    EXPECT_TRUE(registerList.IsEmpty());

    // A font in use is replaced at the restart and not added to the font table now.
    const VnString fonts = GetWindowsFolder() + u"Fonts\\";
    WriteFile(Source(u"Fonts\\Locked.ttf"), "new font");
    WriteFile(fonts + u"Locked.ttf", "old font");
    Facts().lockedFiles.Add(fonts + u"Locked.ttf");
    WriteFile(Source(u"Fonts\\Free.ttf"), "free font");
    EXPECT_TRUE(CopyFolder(kCopyFont, nullptr, Source(u"Fonts"), fonts, &registerList));
    EXPECT_TRUE(Options().RestartRequired);
    EXPECT_EQ(ReadFile(fonts + u"Locked.ttf"), "old font");
    EXPECT_EQ(Utf8(FontTableRecord()), std::vector<std::string>{Utf8(fonts + u"Free.ttf")});
}

TEST_F(FileCopyTest, AnotherFileInUseOutsideTheFontsFolderLeavesRestartRequiredAlone) {
    WritePair(u"Fonts\\Data.bin", nullptr, nullptr);
    Facts().lockedFiles.Add(Target(u"Fonts\\Data.bin"));
    EXPECT_TRUE(Copy(kCopyFont, u"Fonts\\Data.bin"));
    EXPECT_FALSE(Options().RestartRequired);
    EXPECT_TRUE(FontTableRecord().IsEmpty());
}

TEST_F(FileCopyTest, WithoutAScheduledReplacementTheFileIsStagedForFinalisation) {
    WritePair(u"Engine.dll", "2.0.0.0", "1.0.0.0");
    WritePair(u"VnShellExt.dll", "2.0.0.0", "1.0.0.0");
    Facts().lockedFiles.Add(Target(u"Engine.dll"));
    Facts().lockedFiles.Add(Target(u"VnShellExt.dll"));
    Facts().moveFileExRefuses = true;
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"Engine.dll"));
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"VnShellExt.dll"));
    const VnString staging = Target(u"Setup\\");
    EXPECT_EQ(StagingFolder(), staging);
    EXPECT_EQ(Utf8(Options().FinalizeInstallList),
              (std::vector<std::string>{Utf8(staging + u"Engine.dll|" + Target(u"Engine.dll")),
                                        Utf8(staging + u"VnShellExt.dll|" + Target(u"VnShellExt.dll"))}));
    EXPECT_EQ(ReadFile(staging + u"Engine.dll"), ReadFile(Source(u"Engine.dll")));
    // Not deferred: registered with the others, flags untouched.
    EXPECT_EQ(Utf8(registerList), std::vector<std::string>{Utf8(Target(u"Engine.dll"))});
    EXPECT_TRUE(Options().PendingOperations.IsEmpty());
    EXPECT_TRUE(Options().ShellExtensionReady);

    // Without MoveFileExW the same.
    Facts().moveFileExRefuses = false;
    Facts().missingExports.Add(u"kernel32.dll!MoveFileExW");
    WritePair(u"Other.txt", nullptr, nullptr);
    Facts().lockedFiles.Add(Target(u"Other.txt"));
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"Other.txt"));
    EXPECT_EQ(Options().FinalizeInstallList.GetSize(), 3);

    // Nothing was scheduled for the restart.
    ASSERT_TRUE(Sim().SimulateRestart());
    EXPECT_FALSE(CopiedOver(u"Engine.dll"));
}

TEST_F(FileCopyTest, WhenEvenStagingFailsTheFileIsLeftAsItWas) {
    WritePair(u"Engine.dll", "2.0.0.0", "1.0.0.0");
    Facts().lockedFiles.Add(Target(u"Engine.dll"));
    Facts().uncreatableFolders.Add(StagingFolder());
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"Engine.dll"));
    EXPECT_FALSE(CopiedOver(u"Engine.dll"));
    EXPECT_TRUE(Options().FinalizeInstallList.IsEmpty());
    EXPECT_TRUE(Options().PendingOperations.IsEmpty());
}

TEST_F(FileCopyTest, ReadOnlyAndLongDestinationsAreReplaced) {
    WritePair(u"Locked Down.txt", nullptr, nullptr);
    ASSERT_EQ(Files().SetFileAttributes(Target(u"Locked Down.txt"),
                                        vnwin::kFileAttributeReadOnly | vnwin::kFileAttributeHidden),
              0u);
    ASSERT_EQ(Files().SetFileAttributes(Source(u"Locked Down.txt"), vnwin::kFileAttributeReadOnly), 0u);
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"Locked Down.txt"));
    EXPECT_TRUE(CopiedOver(u"Locked Down.txt"));
    EXPECT_EQ(Attributes(Target(u"Locked Down.txt")), vnwin::kFileAttributeNormal);

    VnString deep;
    for (int i = 0; deep.GetLength() < 300; ++i) deep += VnString::Format(u"Nested folder number %d\\", i);
    WritePair(u"Short.txt", nullptr, nullptr, false);
    const VnString longTarget = Target(deep + u"Short.txt");
    EXPECT_TRUE(CopyFileChecked(kCopyAlwaysOverwrite, Source(u"Short.txt"), longTarget, &registerList));
    EXPECT_EQ(ReadFile(longTarget), ReadFile(Source(u"Short.txt")));
}

TEST_F(FileCopyTest, ARunningServerIsStoppedBeforeItsProgramIsReplaced) {
    WritePair(u"Server\\OrvanServer.exe", "1.0.0.0", "1.0.0.0");
    WritePair(u"Server\\orvanserver2.exe", "1.0.0.0", "1.0.0.0");
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"Server\\OrvanServer.exe"));
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"Server\\orvanserver2.exe"));
    WriteFile(Source(u"New\\ORVANSERVER.EXE"), "first install: nothing to stop");
    EXPECT_TRUE(Copy(kCopyAlwaysOverwrite, u"New\\ORVANSERVER.EXE"));

    const auto& starts = Sim().SimProcesses().Starts();
    ASSERT_EQ(starts.GetSize(), 1);
    EXPECT_EQ(starts[0].program, Target(u"Server\\OrvanServer.exe"));
    EXPECT_EQ(starts[0].parameters, u"stop");
    EXPECT_TRUE(starts[0].ended);
    EXPECT_TRUE(CopiedOver(u"Server\\OrvanServer.exe"));
}

TEST_F(FileCopyTest, CopyFolderKeepsTheTreeAndMovesTheBarByBytes) {
    WriteFile(Source(u"Payload\\a.txt"), std::string(100, 'a'));
    WriteFile(Source(u"Payload\\a2.txt"), std::string());
    WriteFile(Source(u"Payload\\Sub\\b.dll"), std::string(300, 'b'));
    WriteFile(Source(u"Payload\\Sub\\Deeper\\c.txt"), std::string(600, 'c'));
    RecordingProgress progress;
    EXPECT_TRUE(CopyFolder(kCopyAlwaysOverwrite, &progress, Source(u"Payload"), Path(u"Out\\\\\\"), &registerList));
    EXPECT_EQ(ReadFile(Path(u"Out\\a.txt")), std::string(100, 'a'));
    EXPECT_TRUE(Exists(Path(u"Out\\a2.txt")));
    EXPECT_EQ(ReadFile(Path(u"Out\\Sub\\Deeper\\c.txt")), std::string(600, 'c'));
    EXPECT_EQ(Utf8(registerList), std::vector<std::string>{Utf8(Path(u"Out\\Sub\\b.dll"))});
    EXPECT_EQ(progress.ranges, (std::vector<std::pair<int, int>>{{0, 100}}));
    // Sorted listing: a.txt (10 %), a2.txt (no change, no call), b.dll (40 %), c.txt.
    EXPECT_EQ(progress.positions, (std::vector<int>{0, 10, 40, 100}));

    // A missing or empty folder copies nothing and leaves the bar at 0.
    RecordingProgress empty;
    ASSERT_TRUE(VnFileSystem::MakeDirectoryTree(Source(u"Empty\\")));
    EXPECT_TRUE(CopyFolder(kCopyAlwaysOverwrite, &empty, Source(u"Empty\\"), Path(u"Out2\\"), nullptr));
    EXPECT_TRUE(CopyFolder(kCopyAlwaysOverwrite, &empty, Source(u"Missing\\"), Path(u"Out2\\"), nullptr));
    EXPECT_EQ(empty.positions, (std::vector<int>{0, 0}));
    EXPECT_FALSE(Exists(Path(u"Out2")));
}

TEST_F(FileCopyTest, APackageStagedOnItsOwnTakesItsCompanions) {
    WriteFile(Source(u"Support\\Pack\\Plugin.pmp"), "package");
    WriteFile(Source(u"Support\\Pack\\Plugin.zip"), "archive");
    WriteFile(Source(u"Support\\Pack\\Data\\extra.bin"), "extra");
    StageForFinalize(Source(u"Support\\Pack\\Plugin.pmp"), VnString(), false);
    const VnString staging = StagingFolder();
    EXPECT_EQ(Utf8(Options().FinalizeInstallList), std::vector<std::string>{Utf8(staging + u"Plugin.pmp|")});
    EXPECT_EQ(ReadFile(staging + u"Plugin.zip"), "archive");
    EXPECT_FALSE(Exists(staging + u"Data"));

    StageForFinalize(Source(u"Support\\Pack\\Plugin.pmp"), VnString(), true);
    EXPECT_EQ(ReadFile(staging + u"Data\\extra.bin"), "extra");
    EXPECT_EQ(Options().FinalizeInstallList.GetSize(), 2);
}

#endif
