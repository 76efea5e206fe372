// The file-system helpers on both backends: folder strings, creating and
// deleting trees (read-only files, paths beyond the classic limit), the safe
// replace, the write test, library loading and its log lines.
#include <fstream>
#include <sstream>

#include "EngineTestSupport.h"
#include "RuntimeFunctionTables.h"
#include "VnFileSystem.h"
#include "VnLibrary.h"

namespace {

// A folder below `base` whose path is about `length` characters long.
VnString DeepFolder(const VnString& base, int length) {
    VnString folder = base;
    for (int i = 0; folder.GetLength() < length; ++i) folder += VnString::Format(u"Level %02d of a deep tree\\", i);
    return folder;
}

}  // namespace

TEST(FolderStrings, NormaliseFolderAndPathPieces) {
    EXPECT_EQ(NormaliseFolder(u"C:\\Program Files\\Tunaro"), u"C:\\Program Files\\Tunaro\\");
    EXPECT_EQ(NormaliseFolder(u"C:\\Program Files\\Tunaro\\\\\\"), u"C:\\Program Files\\Tunaro\\");
    EXPECT_EQ(NormaliseFolder(u"C:\\"), u"C:\\");
    EXPECT_EQ(NormaliseFolder(u"\\\\"), u"\\\\");
    EXPECT_EQ(NormaliseFolder(u""), u"");

    EXPECT_EQ(FolderOf(u"C:\\Setup\\Playmoor\\Tunaro.exe"), u"C:\\Setup\\Playmoor\\");
    EXPECT_EQ(FolderOf(u"Tunaro.exe"), u"");
    EXPECT_EQ(FileNameOf(u"C:\\Setup\\Playmoor\\Tunaro.exe"), u"Tunaro.exe");
    EXPECT_EQ(FileNameOf(u"Tunaro.exe"), u"Tunaro.exe");

    const VnString deep = DeepFolder(u"C:/Payload/", 300) + u"file.txt";
    VnString expected = deep;
    expected.Replace(u'/', u'\\');
    EXPECT_EQ(VnFileSystem::LongPathForm(deep), u"\\\\?\\" + expected);
    EXPECT_EQ(VnFileSystem::LongPathForm(u"C:\\short.txt"), u"C:\\short.txt");
    EXPECT_EQ(VnFileSystem::ExtendedPathForm(u"C:\\short"), u"\\\\?\\C:\\short");
    EXPECT_EQ(VnFileSystem::ExtendedPathForm(u"\\\\?\\C:\\short"), u"\\\\?\\C:\\short");
}

TEST_F(EngineTest, MakeDirectoryTreeCreatesEveryMissingParentOrSaysWhy) {
    const VnString nested = Path(u"One\\Two\\Three\\");
    EXPECT_TRUE(VnFileSystem::MakeDirectoryTree(nested));
    EXPECT_TRUE(VnFileSystem::FolderExists(nested));
    EXPECT_TRUE(VnFileSystem::MakeDirectoryTree(Path(u"One\\Two")));
    EXPECT_TRUE(Tools().lines.empty());

    // A file where a folder should be.
    WriteFile(Path(u"Blocked"), "a file");
    const VnString blocked = Path(u"Blocked\\Inner\\");
    EXPECT_FALSE(VnFileSystem::MakeDirectoryTree(blocked));
    EXPECT_TRUE(Tools().Logged("VnFileSystem::MakeDirectoryTree: Failed! Path=" + Utf8(blocked)));

    const VnString deep = DeepFolder(ScratchFolder(), 320);
    EXPECT_TRUE(VnFileSystem::MakeDirectoryTree(deep));
    EXPECT_TRUE(VnFileSystem::FolderExists(deep));
}

TEST_F(EngineTest, DeleteFileClearsReadOnlyAndCountsAMissingFileAsDeleted) {
    const VnString file = Path(u"ReadOnly.txt");
    WriteFile(file, "x");
    ASSERT_EQ(Files().SetFileAttributes(file, vnwin::kFileAttributeReadOnly | vnwin::kFileAttributeHidden), 0u);
    EXPECT_TRUE(VnFileSystem::DeleteFile(file));
    EXPECT_FALSE(Exists(file));
    EXPECT_TRUE(VnFileSystem::DeleteFile(file));
    EXPECT_TRUE(VnFileSystem::DeleteFile(VnString()));
    EXPECT_TRUE(Tools().lines.empty());
#ifndef _WIN32
    const VnString locked = Path(u"Locked.dll");
    WriteFile(locked, "in use");
    Facts().lockedFiles.Add(locked);
    EXPECT_FALSE(VnFileSystem::DeleteFile(locked));
    EXPECT_TRUE(Exists(locked));
    EXPECT_TRUE(Tools().Logged("VnFileSystem::DeleteFile: Error 32 deleting existing file: " + Utf8(locked)));
#endif
}

TEST_F(EngineTest, DeleteDirectoryTreeRemovesEverythingBelowIncludingDeepFolders) {
    WriteFile(Path(u"Tree\\Sub\\ReadOnly.txt"), "r");
    ASSERT_EQ(Files().SetFileAttributes(Path(u"Tree\\Sub\\ReadOnly.txt"), vnwin::kFileAttributeReadOnly), 0u);
    WriteFile(Path(u"Tree\\top.txt"), "t");
    ASSERT_TRUE(VnFileSystem::MakeDirectoryTree(Path(u"Tree\\Empty\\")));
    EXPECT_TRUE(DeleteDirectoryTree(Path(u"Tree")));
    EXPECT_FALSE(Exists(Path(u"Tree")));
    EXPECT_TRUE(DeleteDirectoryTree(Path(u"Tree\\")));  // missing: nothing to do
    EXPECT_FALSE(DeleteDirectoryTree(VnString()));

    // Beyond the classic limit the plain name no longer reaches the folder.
    const VnString top = Path(u"Deep\\");
    const VnString deep = DeepFolder(top, 300);
    WriteFile(deep + u"file.txt", "deep");
    WriteFile(FolderOf(deep.Left(deep.GetLength() - 1)) + u"beside.txt", "beside");
#ifndef _WIN32
    EXPECT_NE(Files().RemoveDirectory(deep.Left(deep.GetLength() - 1)), 0u);
#endif
    EXPECT_TRUE(DeleteDirectoryTree(top));
    EXPECT_FALSE(Exists(top));
}

TEST_F(EngineTest, SafeReplaceFileSwapsInTheNewFileOrPutsTheOriginalBack) {
    const VnString original = Path(u"Tunaro.exe"), replacement = Path(u"Tunaro.new");
    WriteFile(original, "old");
    WriteFile(replacement, "new");
    EXPECT_TRUE(VnFileSystem::SafeReplaceFile(replacement, original));
    EXPECT_EQ(ReadFile(original), "new");
    EXPECT_FALSE(Exists(replacement));
    EXPECT_FALSE(Exists(VnFileSystem::SetAsideName(original)));

    // No original: the new file simply moves in.
    WriteFile(replacement, "first");
    EXPECT_TRUE(VnFileSystem::SafeReplaceFile(replacement, Path(u"Fresh.exe")));
    EXPECT_EQ(ReadFile(Path(u"Fresh.exe")), "first");

    // The new file is missing: the original comes back under its name.
    EXPECT_FALSE(VnFileSystem::SafeReplaceFile(Path(u"Missing.new"), original));
    EXPECT_EQ(ReadFile(original), "new");
    EXPECT_FALSE(Exists(VnFileSystem::SetAsideName(original)));
    EXPECT_TRUE(Tools().Logged("VnFileSystem::SafeReplaceFile: Error moving new file into place of original name"));
#ifndef _WIN32
    WriteFile(replacement, "newer");
    Facts().lockedFiles.Add(original);
    EXPECT_FALSE(VnFileSystem::SafeReplaceFile(replacement, original));
    EXPECT_TRUE(Tools().Logged("VnFileSystem::SafeReplaceFile: Error renaming original file"));
    EXPECT_EQ(ReadFile(replacement), "newer");
#endif
}

TEST_F(EngineTest, WriteTestSizesAndFolders) {
    EXPECT_TRUE(WriteTest(ScratchFolder()));
    VnCoreArray<VnFindData> left;
    Files().FindFiles(ScratchFolder() + u"*", left);
    EXPECT_TRUE(left.IsEmpty());
    EXPECT_FALSE(WriteTest(Path(u"Missing\\")));

    WriteFile(Path(u"five.txt"), "12345");
    EXPECT_EQ(GetFileSize(Path(u"five.txt")), 5u);
    EXPECT_EQ(GetFileSize(Path(u"none.txt")), 0u);
    EXPECT_EQ(GetFileSize(VnString()), 0u);
    EXPECT_TRUE(VnFileSystem::FileExists(Path(u"five.txt")));
    EXPECT_FALSE(VnFileSystem::FolderExists(Path(u"five.txt")));
    EXPECT_TRUE(VnFileSystem::FolderExists(ScratchFolder()));
    EXPECT_FALSE(VnFileSystem::FileExists(ScratchFolder()));

    EXPECT_EQ(GetInstallerFolder(), FolderOf(P().System().GetModuleFileName()));
    EXPECT_TRUE(GetInstallerFolder().EndsWith(u"\\"));
    EXPECT_EQ(GetSystemFolder(), P().System().GetSystemDirectory() + u"\\");
    EXPECT_EQ(GetWindowsFolder(), P().System().GetWindowsDirectory() + u"\\");
#ifndef _WIN32
    Facts().drives[0].full = true;
    EXPECT_FALSE(WriteTest(ScratchFolder()));
#endif
}

TEST_F(EngineTest, VnLoadLibraryHoldsTheLibraryOrLogsWhyNot) {
    VnLibraryHolder library;
    EXPECT_TRUE(VnLoadLibrary(u"kernel32.dll", 0, library));
    EXPECT_NE(library.Function("MoveFileExW"), nullptr);
    library.Release();
    EXPECT_FALSE(library.IsLoaded());

    const VnString missing = Path(u"Missing.dll");
    EXPECT_FALSE(VnLoadLibrary(missing, 0, library));
    EXPECT_TRUE(Tools().lines.empty());
    EXPECT_FALSE(VnLoadLibrary(missing, kVnLoadLibraryLogFailure, library));
    EXPECT_TRUE(Tools().Logged("VnLoadLibrary: Loading " + Utf8(missing) + " failed, error: 126"));
    EXPECT_FALSE(VnLoadLibrary(VnString(), kVnLoadLibraryLogFailure, library));
    EXPECT_EQ(Tools().lines.size(), 1u);
#ifndef _WIN32
    std::ifstream debugLog(Sim().MachineFolder() + "/debug.log");
    std::stringstream debugText;
    debugText << debugLog.rdbuf();
    EXPECT_NE(debugText.str().find("ERROR in VnLoadLibrary: errno="), std::string::npos);
    EXPECT_NE(debugText.str().find(", file=" + Utf8(missing)), std::string::npos);
#endif
}

#ifndef _WIN32
TEST_F(EngineTest, RuntimeFunctionTablesFollowTheWindowsVersion) {
    EXPECT_NE(Kernel32Functions().Wow64EnableWow64FsRedirection, nullptr);
    EXPECT_NE(Kernel32Functions().GetSystemTimePreciseAsFileTime, nullptr);
    EXPECT_NE(User32Functions().RegisterRawInputDevices, nullptr);
    EXPECT_NE(SetupApiFunctions().SetupDiDestroyDeviceInfoList, nullptr);
    EXPECT_TRUE(RunsUnderWow64());

    // Windows XP SP2, 32-bit: IsWow64Process exists and answers false.
    FreeRuntimeFunctionTables();
    Facts().osMajor = 5, Facts().osMinor = 1, Facts().servicePack = u"Service Pack 2";
    Facts().is64BitWindows = false;
    Facts().missingLibraries.Add(u"setupapi.dll");
    EXPECT_NE(Kernel32Functions().IsWow64Process, nullptr);
    EXPECT_EQ(Kernel32Functions().Wow64EnableWow64FsRedirection, nullptr);
    EXPECT_EQ(Kernel32Functions().GetProcessDEPPolicy, nullptr);
    EXPECT_NE(User32Functions().GetRawInputData, nullptr);
    EXPECT_EQ(SetupApiFunctions().SetupDiGetClassDevsW, nullptr);
    EXPECT_FALSE(RunsUnderWow64());

    // Without IsWow64Process nothing counts as WOW64, whatever the machine is.
    FreeRuntimeFunctionTables();
    Facts().is64BitWindows = true;
    Facts().missingExports.Add(u"kernel32.dll!IsWow64Process");
    EXPECT_FALSE(RunsUnderWow64());
}
#endif
