// File operations that must behave alike on the simulated machine and on
// Windows: the error codes the installer acts on, attributes, delayed renames.
#include "PlatformFixture.h"

namespace {

using FilesConformance = PlatformTest;

constexpr uint32_t kAttributeBits = vnwin::kFileAttributeReadOnly | vnwin::kFileAttributeHidden |
                                    vnwin::kFileAttributeSystem | vnwin::kFileAttributeDirectory;
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorDirectory = 267;
constexpr uint32_t kErrorResourceDataNotFound = 1812;

VnStringArray Names(const VnCoreArray<VnFindData>& found) {
    VnStringArray names;
    for (const VnFindData& entry : found) names.Add(entry.name);
    return names;
}

std::string NameList(const VnCoreArray<VnFindData>& found) { return Names(found).Join(u"|").ToUtf8(); }

TEST_F(FilesConformance, ReadOnlyFileCannotBeDeletedUntilItsAttributesAreCleared) {
    const VnString file = ScratchFolder() + u"locked.txt";
    ASSERT_EQ(Files().WriteFile(file, "data"), 0u);
    EXPECT_EQ(Files().GetFileAttributes(file) & kAttributeBits, 0u);
    EXPECT_EQ(Files().GetFileAttributes(ScratchFolder()) & kAttributeBits, vnwin::kFileAttributeDirectory);

    ASSERT_EQ(Files().SetFileAttributes(file, vnwin::kFileAttributeReadOnly | vnwin::kFileAttributeHidden), 0u);
    EXPECT_EQ(Files().GetFileAttributes(file) & kAttributeBits,
              vnwin::kFileAttributeReadOnly | vnwin::kFileAttributeHidden);
    EXPECT_EQ(Files().DeleteFile(file), vnwin::kErrorAccessDenied);
    EXPECT_EQ(ReadFile(file), "data");

    ASSERT_EQ(Files().SetFileAttributes(file, vnwin::kFileAttributeNormal), 0u);
    EXPECT_EQ(Files().GetFileAttributes(file) & kAttributeBits, 0u);
    EXPECT_EQ(Files().DeleteFile(file), 0u);
    EXPECT_EQ(Files().GetFileAttributes(file), vnwin::kInvalidFileAttributes);
    EXPECT_EQ(Files().GetAttributesError(file), vnwin::kErrorFileNotFound);
    EXPECT_EQ(Files().GetAttributesError(ScratchFolder() + u"none\\x.txt"), vnwin::kErrorPathNotFound);
    EXPECT_EQ(Files().DeleteFile(file), vnwin::kErrorFileNotFound);
    EXPECT_EQ(Files().DeleteFile(ScratchFolder()), vnwin::kErrorAccessDenied) << "a folder is not a file";
    EXPECT_EQ(Files().SetFileAttributes(file, vnwin::kFileAttributeNormal), vnwin::kErrorFileNotFound);
}

TEST_F(FilesConformance, CopyFileRespectsFailIfExists) {
    const VnString source = ScratchFolder() + u"source.bin";
    const VnString copy = ScratchFolder() + u"copy.bin";
    ASSERT_EQ(Files().WriteFile(source, std::string("first\0second", 12)), 0u);
    ASSERT_EQ(Files().CopyFile(source, copy, true), 0u);
    EXPECT_EQ(ReadFile(copy), std::string("first\0second", 12));

    ASSERT_EQ(Files().WriteFile(source, "changed"), 0u);
    EXPECT_EQ(Files().CopyFile(source, copy, true), vnwin::kErrorFileExists);
    EXPECT_EQ(ReadFile(copy), std::string("first\0second", 12));
    EXPECT_EQ(Files().CopyFile(source, copy, false), 0u);
    EXPECT_EQ(ReadFile(copy), "changed");
    uint64_t size = 0;
    EXPECT_EQ(Files().GetFileSize(copy, size), 0u);
    EXPECT_EQ(size, 7u);

    EXPECT_EQ(Files().CopyFile(source, source, false), vnwin::kErrorSharingViolation);
    EXPECT_EQ(Files().CopyFile(ScratchFolder() + u"missing.bin", copy, false), vnwin::kErrorFileNotFound);
    EXPECT_EQ(Files().CopyFile(source, ScratchFolder() + u"no folder\\copy.bin", false), vnwin::kErrorPathNotFound);
    EXPECT_EQ(Files().CopyFile(ScratchFolder(), copy, false), vnwin::kErrorAccessDenied);
}

TEST_F(FilesConformance, MoveOntoAnExistingFileNeedsReplaceExisting) {
    const VnString from = ScratchFolder() + u"new.dll";
    const VnString to = ScratchFolder() + u"old.dll";
    ASSERT_EQ(Files().WriteFile(from, "new"), 0u);
    ASSERT_EQ(Files().WriteFile(to, "old"), 0u);
    EXPECT_EQ(Files().MoveFile(from, to), vnwin::kErrorAlreadyExists);
    EXPECT_EQ(Files().MoveFileEx(from, to, 0), vnwin::kErrorAlreadyExists);
    EXPECT_EQ(ReadFile(to), "old");

    EXPECT_EQ(Files().MoveFileEx(from, to, vnwin::kMoveFileReplaceExisting), 0u);
    EXPECT_EQ(ReadFile(to), "new");
    EXPECT_EQ(Files().GetAttributesError(from), vnwin::kErrorFileNotFound);
    EXPECT_EQ(Files().MoveFile(from, to), vnwin::kErrorFileNotFound);
    EXPECT_EQ(Files().MoveFile(to, ScratchFolder() + u"no folder\\old.dll"), vnwin::kErrorPathNotFound);

    // A change of case is a rename onto the file itself (Wine keeps the old case).
    EXPECT_EQ(Files().MoveFile(to, ScratchFolder() + u"OLD.DLL"), 0u);
    EXPECT_EQ(ReadFile(to), "new");

    // Folders move with what they hold.
    const VnString folder = ScratchFolder() + u"Folder";
    ASSERT_EQ(Files().CreateDirectory(folder), 0u);
    ASSERT_EQ(Files().WriteFile(folder + u"\\inside.txt", "x"), 0u);
    EXPECT_EQ(Files().MoveFile(folder, ScratchFolder() + u"Moved"), 0u);
    EXPECT_EQ(ReadFile(ScratchFolder() + u"Moved\\inside.txt"), "x");
}

TEST_F(FilesConformance, DelayedOperationsAreRecordedAsWindowsRecordsThem) {
    const VnString session = VN_LIT(u"SYSTEM\\CurrentControlSet\\Control\\Session Manager");
    const VnString valueName = VN_LIT(u"PendingFileRenameOperations");
    VnRegKey key = 0;
    ASSERT_EQ(Reg().CreateKey(VnRegRoot::LocalMachine, session, vnwin::kKeyReadWrite, key), 0u);
    VnRegValue before;
    const bool hadList = Reg().QueryValue(key, valueName, before) == 0;

    const VnString staged = ScratchFolder() + u"Setup\\VnImage.dll";
    const VnString target = ScratchFolder() + u"VnImage.dll";
    EXPECT_EQ(Files().MoveFileEx(ScratchFolder() + u"Setup\\..\\Setup\\VnImage.dll", target,
                                 vnwin::kMoveFileReplaceExisting | vnwin::kMoveFileDelayUntilReboot),
              0u);
    EXPECT_EQ(Files().MoveFileEx(ScratchFolder() + u"obsolete.dll", VnString(), vnwin::kMoveFileDelayUntilReboot), 0u);
    VnRegValue afterDelete;
    ASSERT_EQ(Reg().QueryValue(key, valueName, afterDelete), 0u);
    VnString deletion = u"\\??\\" + ScratchFolder() + u"obsolete.dll";
    deletion += char16_t(0);
    EXPECT_TRUE(afterDelete.text.EndsWith(deletion)) << "a deletion's empty target reads back";
    EXPECT_EQ(Files().MoveFileEx(staged, ScratchFolder() + u"plain.dll", vnwin::kMoveFileDelayUntilReboot), 0u);
    EXPECT_EQ(Files().GetAttributesError(target), vnwin::kErrorFileNotFound) << "nothing moves before the restart";

    VnRegValue after;
    ASSERT_EQ(Reg().QueryValue(key, valueName, after), 0u);
    EXPECT_EQ(after.type, vnwin::kRegMultiSz);
    VnString expected = u"\\??\\" + staged;
    expected += char16_t(0);
    expected += u"!\\??\\" + target;
    expected += char16_t(0);
    expected += u"\\??\\" + ScratchFolder() + u"obsolete.dll";
    expected += char16_t(0);
    expected += char16_t(0);  // the empty target of a deletion
    expected += u"\\??\\" + staged;
    expected += char16_t(0);
    expected += u"\\??\\" + ScratchFolder() + u"plain.dll";
    ASSERT_GE(after.text.GetLength(), expected.GetLength());
    EXPECT_EQ(after.text.Right(expected.GetLength()), expected);
    if (hadList) {
        EXPECT_EQ(after.text.Left(before.text.GetLength()), before.text) << "appended to the earlier list";
        EXPECT_EQ(Reg().SetValue(key, valueName, before), 0u);
    } else {
        EXPECT_EQ(after.text, expected);
        EXPECT_EQ(Reg().DeleteValue(key, valueName), 0u);
    }
    Reg().CloseKey(key);
}

TEST_F(FilesConformance, FindFilesListsMatchingEntriesWithoutDots) {
    ASSERT_EQ(Files().WriteFile(ScratchFolder() + u"Alpha.txt", "12345"), 0u);
    ASSERT_EQ(Files().WriteFile(ScratchFolder() + u"beta.DLL", ""), 0u);
    ASSERT_EQ(Files().CreateDirectory(ScratchFolder() + u"Sub"), 0u);
    ASSERT_EQ(Files().CreateDirectory(ScratchFolder() + u"Empty"), 0u);

    VnCoreArray<VnFindData> found;
    ASSERT_EQ(Files().FindFiles(ScratchFolder() + u"*", found), 0u);
    VnStringArray names = Names(found);
    ASSERT_EQ(names.GetSize(), 4);
    for (const char16_t* name : {u"Alpha.txt", u"beta.DLL", u"Sub", u"Empty"})
        EXPECT_GE(names.Find(name), 0) << VnString(name).ToUtf8();
    for (const VnFindData& entry : found) {
        bool folder = entry.name == u"Sub" || entry.name == u"Empty";
        EXPECT_EQ((entry.attributes & vnwin::kFileAttributeDirectory) != 0, folder) << entry.name.ToUtf8();
        if (entry.name == u"Alpha.txt") {
            EXPECT_EQ(entry.size, 5u);
        }
        EXPECT_NE(entry.lastWriteTime, 0u);
    }

    ASSERT_EQ(Files().FindFiles(ScratchFolder() + u"*.dll", found), 0u);
    EXPECT_EQ(NameList(found), "beta.DLL");
    ASSERT_EQ(Files().FindFiles(ScratchFolder() + u"ALPHA.TXT", found), 0u);
    EXPECT_EQ(NameList(found), "Alpha.txt") << "the stored case";
    EXPECT_EQ(Files().FindFiles(ScratchFolder() + u"*.xyz", found), vnwin::kErrorFileNotFound);
    EXPECT_TRUE(found.IsEmpty());
    EXPECT_EQ(Files().FindFiles(ScratchFolder() + u"Empty\\*", found), 0u) << "only . and .. are there";
    EXPECT_TRUE(found.IsEmpty());
    EXPECT_EQ(Files().FindFiles(ScratchFolder() + u"Missing\\*", found), vnwin::kErrorPathNotFound);
}

TEST_F(FilesConformance, FoldersAreCreatedAndRemovedOnlyWhenEmpty) {
    const VnString folder = ScratchFolder() + u"Folder";
    EXPECT_EQ(Files().CreateDirectory(ScratchFolder() + u"Missing\\Folder"), vnwin::kErrorPathNotFound);
    ASSERT_EQ(Files().CreateDirectory(folder), 0u);
    EXPECT_EQ(Files().CreateDirectory(folder), vnwin::kErrorAlreadyExists);
    ASSERT_EQ(Files().WriteFile(folder + u"\\file.txt", "x"), 0u);
    EXPECT_EQ(Files().CreateDirectory(folder + u"\\file.txt"), vnwin::kErrorAlreadyExists);

    EXPECT_EQ(Files().RemoveDirectory(folder), vnwin::kErrorDirNotEmpty);
    EXPECT_EQ(Files().RemoveDirectory(folder + u"\\file.txt"), kErrorDirectory);
    EXPECT_EQ(Files().RemoveDirectory(ScratchFolder() + u"Missing"), vnwin::kErrorFileNotFound);
    ASSERT_EQ(Files().DeleteFile(folder + u"\\file.txt"), 0u);
    EXPECT_EQ(Files().RemoveDirectory(folder + u"\\"), 0u);
    EXPECT_EQ(Files().GetAttributesError(folder), vnwin::kErrorFileNotFound);
}

// Windows before Vista, and Wine where it has no links, cannot make one.
TEST_F(FilesConformance, LinksListAsReparsePointsAndRemoveWithoutTheirTarget) {
    const VnString target = ScratchFolder() + u"Target", link = ScratchFolder() + u"Tree\\Link";
    ASSERT_EQ(Files().CreateDirectory(target), 0u);
    ASSERT_EQ(Files().CreateDirectory(ScratchFolder() + u"Tree"), 0u);
    ASSERT_EQ(Files().WriteFile(target + u"\\kept.txt", "kept"), 0u);
    const uint32_t made = Files().CreateSymbolicLink(link, target, true);
    if (made != 0) GTEST_SKIP() << "no symbolic links here (error " << made << ")";
    // Wine answers success without making the link.
    if (Files().GetFileAttributes(link) == vnwin::kInvalidFileAttributes) GTEST_SKIP() << "the link was not made";
    EXPECT_EQ(Files().CreateSymbolicLink(ScratchFolder() + u"Tree\\kept.lnk", target + u"\\kept.txt", false), 0u);
    VnCoreArray<VnFindData> found;
    ASSERT_EQ(Files().FindFiles(ScratchFolder() + u"Tree\\*", found), 0u);
    ASSERT_EQ(NameList(found), "kept.lnk|Link");
    EXPECT_EQ(found[1].attributes & (vnwin::kFileAttributeDirectory | vnwin::kFileAttributeReparsePoint),
              vnwin::kFileAttributeDirectory | vnwin::kFileAttributeReparsePoint);
    EXPECT_EQ(found[0].attributes & (vnwin::kFileAttributeDirectory | vnwin::kFileAttributeReparsePoint),
              vnwin::kFileAttributeReparsePoint);
    // Through the link the target is seen; removing the link leaves the target whole.
    EXPECT_EQ(ReadFile(link + u"\\kept.txt"), "kept");
    EXPECT_EQ(Files().DeleteFile(link), vnwin::kErrorAccessDenied);
    EXPECT_EQ(Files().RemoveDirectory(link), 0u);
    EXPECT_EQ(Files().DeleteFile(ScratchFolder() + u"Tree\\kept.lnk"), 0u);
    EXPECT_EQ(ReadFile(target + u"\\kept.txt"), "kept");
    EXPECT_EQ(Files().RemoveDirectory(ScratchFolder() + u"Tree"), 0u);
}

TEST_F(FilesConformance, PathsAreReadLikeWin32ReadsThem) {
    ASSERT_EQ(Files().CreateDirectory(ScratchFolder() + u"Sub"), 0u);
    ASSERT_EQ(Files().WriteFile(ScratchFolder() + u"Mixed Case.TXT", "content"), 0u);
    // Case, forward slashes, "." and "..", trailing dots and spaces of the last name.
    for (const VnString& alias : {ScratchFolder() + u"mixed case.txt", ScratchFolder() + u"Sub/../Mixed Case.TXT",
                                  ScratchFolder() + u".\\Sub\\..\\\\Mixed Case.TXT", ScratchFolder() + u"Mixed Case.TXT. ."})
        EXPECT_EQ(ReadFile(alias), "content") << alias.ToUtf8();
    // "\\?\" paths are taken literally.
    EXPECT_EQ(ReadFile(u"\\\\?\\" + ScratchFolder() + u"Mixed Case.TXT"), "content");
    EXPECT_EQ(Files().GetAttributesError(u"\\\\?\\" + ScratchFolder() + u"Sub/../Mixed Case.TXT"), kErrorInvalidName);
    EXPECT_EQ(Files().GetAttributesError(ScratchFolder() + u"Mixed Case.TXT\\inside"), vnwin::kErrorPathNotFound);
    EXPECT_EQ(Files().GetAttributesError(ScratchFolder() + u"what?.txt"), kErrorInvalidName);
    EXPECT_EQ(Files().WriteFile(ScratchFolder() + u"Missing\\x.txt", "x"), vnwin::kErrorPathNotFound);
}

TEST_F(FilesConformance, LongPathsWorkWithThePrefix) {
    VnString folder = u"\\\\?\\" + ScratchFolder();
    const VnString name = VN_LIT(u"a folder name of forty characters long.");
    for (int level = 0; level < 8; ++level) {
        folder += name;
        ASSERT_EQ(Files().CreateDirectory(folder), 0u) << level;
        folder += u'\\';
    }
    ASSERT_GT(folder.GetLength(), 330);
    const VnString file = folder + u"deep.txt";
    ASSERT_EQ(Files().WriteFile(file, "deep"), 0u);
    EXPECT_EQ(ReadFile(file), "deep");
    EXPECT_EQ(Files().CopyFile(file, folder + u"copy.txt", true), 0u);
    VnCoreArray<VnFindData> found;
    EXPECT_EQ(Files().FindFiles(folder + u"*.txt", found), 0u);
    EXPECT_EQ(found.GetSize(), 2);
    EXPECT_EQ(Files().DeleteFile(file), 0u);
    EXPECT_EQ(Files().DeleteFile(folder + u"copy.txt"), 0u);
    for (int level = 0; level < 8; ++level) {
        folder.Truncate(folder.GetLength() - 1);
        EXPECT_EQ(Files().RemoveDirectory(folder), 0u) << level;
        folder.Truncate(folder.GetLength() - name.GetLength());
    }
}

TEST_F(FilesConformance, ReadingRangesSizesAndFreeSpace) {
    const VnString file = ScratchFolder() + u"range.bin";
    ASSERT_EQ(Files().WriteFile(file, "0123456789"), 0u);
    std::string bytes;
    EXPECT_EQ(Files().ReadFile(file, bytes, 3, 4), 0u);
    EXPECT_EQ(bytes, "3456");
    EXPECT_EQ(Files().ReadFile(file, bytes, 8), 0u);
    EXPECT_EQ(bytes, "89");
    EXPECT_EQ(Files().ReadFile(file, bytes, 20), 0u);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(Files().ReadFile(ScratchFolder() + u"missing", bytes), vnwin::kErrorFileNotFound);
    uint64_t size = 1;
    EXPECT_EQ(Files().GetFileSize(ScratchFolder() + u"missing", size), vnwin::kErrorFileNotFound);
    EXPECT_EQ(size, 0u);

    VnDiskSpace space;
    ASSERT_EQ(Files().GetDiskFreeSpace(ScratchFolder(), space), 0u);
    EXPECT_GT(space.totalFree, 0u);
    EXPECT_GE(space.total, space.totalFree);
    EXPECT_EQ(Files().GetDiskFreeSpace(file, space), kErrorDirectory);

    uint32_t ms = 1, ls = 1;
    EXPECT_EQ(Files().GetFileVersion(file, ms, ls), kErrorResourceDataNotFound) << "not a program file";
    EXPECT_EQ(Files().GetFileVersion(ScratchFolder() + u"missing.dll", ms, ls), vnwin::kErrorFileNotFound);
    EXPECT_EQ(Files().GetPeMachine(file), 0);
}

}  // namespace
