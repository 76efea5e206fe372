// The file-system helpers on both backends: folder strings, trees made and
// deleted (read-only files, paths beyond the classic limit), the safe
// replace, the write test, library loading with its log lines.
#include "EngineTestSupport.h"
#include "VnFileSystem.h"
#include "VnLibrary.h"

TEST(FolderStrings, NormaliseFolderAndPathPieces) {
    EXPECT_EQ(NormaliseFolder(u"C:\\Tunaro"), u"C:\\Tunaro\\");
    EXPECT_EQ(NormaliseFolder(u"C:\\Tunaro\\\\\\"), u"C:\\Tunaro\\");
    EXPECT_EQ(NormaliseFolder(u"\\\\"), u"\\\\");
    EXPECT_EQ(NormaliseFolder(u""), u"");
    EXPECT_EQ(FolderOf(u"C:\\Setup\\Tunaro.exe"), u"C:\\Setup\\");
    EXPECT_EQ(FolderOf(u"Tunaro.exe"), u"");
    EXPECT_EQ(FileNameOf(u"C:\\Setup\\Tunaro.exe"), u"Tunaro.exe");
    const VnString deep = DeepFolder(u"C:/Payload/", 300);
    VnString expected = deep;
    expected.Replace(u'/', u'\\');
    EXPECT_EQ(VnFileSystem::LongPathForm(deep), u"\\\\?\\" + expected);
    EXPECT_EQ(VnFileSystem::LongPathForm(u"C:\\short.txt"), u"C:\\short.txt");
}

TEST_F(EngineTest, MakeDirectoryTreeCreatesEveryMissingParentOrLogsWhyNot) {
    bool madeNow = false;
    EXPECT_TRUE(VnFileSystem::MakeDirectoryTree(Path(u"One\\Two\\Three"), &madeNow));
    EXPECT_TRUE(madeNow);
    EXPECT_TRUE(VnFileSystem::FolderExists(Path(u"One\\Two\\Three\\")));
    EXPECT_TRUE(VnFileSystem::MakeDirectoryTree(Path(u"One\\Two\\Three"), &madeNow));
    EXPECT_FALSE(madeNow);  // it was there: files in it are looked for
    const VnString deep = DeepFolder(ScratchFolder(), 320);
    EXPECT_TRUE(VnFileSystem::MakeDirectoryTree(deep));
    EXPECT_TRUE(VnFileSystem::FolderExists(deep));

    // The write test leaves nothing behind.
    EXPECT_TRUE(WriteTest(Path(u"One\\")));
    VnCoreArray<VnFindData> left;
    Files().FindFiles(Path(u"One\\*"), left);
    EXPECT_EQ(left.GetSize(), 1);
    EXPECT_FALSE(WriteTest(Path(u"Missing\\")));

    WriteFile(Path(u"Blocked"), "a file where a folder should be");
    EXPECT_FALSE(VnFileSystem::MakeDirectoryTree(Path(u"Blocked\\Inner\\")));
    EXPECT_TRUE(Logged("VnFileSystem::MakeDirectoryTree: Failed! Path=" + Utf8(Path(u"Blocked\\Inner\\"))));
}

TEST_F(EngineTest, DeletesClearReadOnlyAndReachDeepFolders) {
    const VnString readOnly = Path(u"Tree\\Sub\\ReadOnly.txt");
    WriteFile(readOnly, "r");
    WriteFile(Path(u"Tree\\top.txt"), "t");
    ASSERT_EQ(Files().SetFileAttributes(readOnly, vnwin::kFileAttributeReadOnly), 0u);
    const VnString deep = DeepFolder(Path(u"Tree\\"), 300);
    WriteFile(deep + u"file.txt", "deep");
#ifndef _WIN32
    EXPECT_NE(Files().RemoveDirectory(deep.Left(deep.GetLength() - 1)), 0u);  // the plain name is too long
#endif
    // A link inside the tree, and a tree that is itself a link: removed, never followed.
    WriteFile(Path(u"Elsewhere\\kept.txt"), "kept");
    const bool links = Files().CreateSymbolicLink(Path(u"Tree\\Sub\\Link"), Path(u"Elsewhere"), true) == 0;
    EXPECT_TRUE(DeleteDirectoryTree(Path(u"Tree")));
    EXPECT_FALSE(Exists(Path(u"Tree")));
    EXPECT_TRUE(DeleteDirectoryTree(Path(u"Tree")));  // missing: nothing to do
    if (links) {
        ASSERT_EQ(Files().CreateSymbolicLink(Path(u"Linked"), Path(u"Elsewhere"), true), 0u);
        EXPECT_TRUE(DeleteDirectoryTree(Path(u"Linked\\")));
        EXPECT_FALSE(Exists(Path(u"Linked")));
        EXPECT_EQ(ReadFile(Path(u"Elsewhere\\kept.txt")), "kept");
    }

    WriteFile(readOnly, "r");
    ASSERT_EQ(Files().SetFileAttributes(readOnly, vnwin::kFileAttributeReadOnly), 0u);
    EXPECT_TRUE(VnFileSystem::DeleteFile(readOnly));
    EXPECT_FALSE(Exists(readOnly));
    EXPECT_TRUE(VnFileSystem::DeleteFile(readOnly));
    EXPECT_EQ(LogText().find("DeleteFile"), std::string::npos);
#ifndef _WIN32
    WriteFile(readOnly, "in use");
    Facts().lockedFiles.Add(readOnly);
    EXPECT_FALSE(VnFileSystem::DeleteFile(readOnly));
    EXPECT_TRUE(Logged("VnFileSystem::DeleteFile: Error 32 deleting existing file: " + Utf8(readOnly)));
#endif
}

TEST_F(EngineTest, SafeReplaceFileSwapsInTheNewFileOrPutsTheOriginalBack) {
    const VnString original = Path(u"Tunaro.exe"), replacement = Path(u"Tunaro.new");
    WriteFile(original, "old");
    WriteFile(replacement, "new");
    EXPECT_TRUE(VnFileSystem::SafeReplaceFile(replacement, original));
    EXPECT_EQ(ReadFile(original), "new");
    EXPECT_FALSE(Exists(replacement));
    EXPECT_FALSE(Exists(VnFileSystem::SetAsideName(original)));

    EXPECT_FALSE(VnFileSystem::SafeReplaceFile(Path(u"Missing.new"), original));
    EXPECT_EQ(ReadFile(original), "new");
    EXPECT_FALSE(Exists(VnFileSystem::SetAsideName(original)));
    EXPECT_TRUE(Logged("VnFileSystem::SafeReplaceFile: Error moving new file into place of original name"));
#ifndef _WIN32
    WriteFile(replacement, "newer");
    Facts().lockedFiles.Add(original);
    EXPECT_FALSE(VnFileSystem::SafeReplaceFile(replacement, original));
    EXPECT_TRUE(Logged("VnFileSystem::SafeReplaceFile: Error renaming original file"));
#endif
}

TEST_F(EngineTest, VnLoadLibraryLogsAFailureOnlyWhenAsked) {
    VnLibraryHolder library;
    EXPECT_TRUE(VnLoadLibrary(u"kernel32.dll", 0, library));
    EXPECT_NE(library.Function("MoveFileExW"), nullptr);
    const VnString missing = Path(u"Missing.dll");
    EXPECT_FALSE(VnLoadLibrary(missing, 0, library));
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_EQ(LogText().find("VnLoadLibrary"), std::string::npos);
    EXPECT_FALSE(VnLoadLibrary(missing, kVnLoadLibraryLogFailure, library));
    EXPECT_TRUE(Logged("VnLoadLibrary: Loading " + Utf8(missing) + " failed, error: 126"));
}
