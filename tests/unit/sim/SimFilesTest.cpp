// What only the simulated machine's files part does: where paths land on the
// host, WOW64 redirection, the attribute store, faults, free space and the
// pending renames carried out at a restart.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "HostFiles.h"
#include "PeImage.h"
#include "SimFileMatch.h"
#include "SimPaths.h"
#include "SimTestMachine.h"

namespace {

constexpr uint32_t kErrorInvalidName = 123, kErrorBadNetPath = 53, kErrorResourceDataNotFound = 1812;


TEST(SimPaths, NormalisationFollowsTheWin32Rules) {
    struct Case {
        const char16_t* path;
        const char16_t* expected;  // null: fails with `error`
        uint32_t error;
        bool wildcards = false;
    } cases[] = {
        {u"C:\\a\\b\\..\\c", u"C:\\a\\c", 0},
        {u"c:/a//b/./c. .", u"c:\\a\\b\\c", 0},
        {u"x.txt", u"C:\\Setup\\x.txt", 0},
        {u"\\Windows", u"C:\\Windows", 0},
        {u"C:rel", u"C:\\Setup\\rel", 0},
        {u"D:rel", u"D:\\rel", 0},
        {u"C:\\..\\..\\x", u"C:\\x", 0},
        {u"C:\\", u"C:\\", 0},
        {u"c:\\Dir.x\\f. g", u"c:\\Dir.x\\f. g", 0},  // already in its final form
        {u"C:\\a.\\b\\", u"C:\\a.\\b", 0},
        {u"C:\\a\\\\b.", u"C:\\a\\b", 0},
        {u"C:\\a\\..", u"C:\\", 0},
        {u"\\\\?\\C:\\a\\b. ", u"C:\\a\\b. ", 0},
        {u"\\\\?\\C:\\a\\..\\b", nullptr, kErrorInvalidName},
        {u"\\\\?\\C:\\a/b", nullptr, kErrorInvalidName},
        {u"\\\\?\\UNC\\server\\share\\x", nullptr, kErrorBadNetPath},
        {u"\\\\server\\share\\x", nullptr, kErrorBadNetPath},
        {u"C:\\a<b", nullptr, kErrorInvalidName},
        {u"C:\\a*", nullptr, kErrorInvalidName},
        {u"", nullptr, vnwin::kErrorPathNotFound},
        // Close to the final form but not in it: each must be read in full.
        {u"C:\\a\\.\\b", u"C:\\a\\b", 0},
        {u"C:\\a\\.b\\..c", u"C:\\a\\.b\\..c", 0},
        {u"C:\\a\\", u"C:\\a", 0},
        {u"C:\\a/b", u"C:\\a\\b", 0},
        {u"C:\\a\\b ", u"C:\\a\\b", 0},
        {u"C:\\a\\b\t", nullptr, kErrorInvalidName},
        {u"C:\\a|b\\c", nullptr, kErrorInvalidName},
        {u"C:\\a\\x?", nullptr, kErrorInvalidName},
        {u"C:\\\u00e9t\u00e9\\\u00c9", u"C:\\\u00e9t\u00e9\\\u00c9", 0},
        {u"C:\\a*\\x?", nullptr, kErrorInvalidName, true},  // wildcards in the last name only
        {u"C:\\a\\x?*", u"C:\\a\\x?*", 0, true},
    };
    for (const Case& c : cases) {
        VnString normalised;
        bool extended = false, trailing = false;
        uint32_t error = VnSimNormalisePath(c.path, u"C:\\Setup", c.wildcards, normalised, extended, trailing);
        SCOPED_TRACE(VnString(c.path).ToUtf8());
        if (c.expected) {
            EXPECT_EQ(error, 0u);
            EXPECT_EQ(normalised.ToUtf8(), VnString(c.expected).ToUtf8());
        } else {
            EXPECT_EQ(error, c.error);
        }
    }
    // MAX_PATH counts the terminating zero; "\\?\" paths have no such limit.
    VnString normalised;
    bool extended = false, trailing = false;
    const VnString longest = u"C:\\" + VnString(u'x', 128) + u"\\" + VnString(u'x', 127);  // 259 characters
    EXPECT_EQ(VnSimNormalisePath(longest, u"C:\\", false, normalised, extended, trailing), 0u);
    EXPECT_EQ(VnSimNormalisePath(longest + u"x", u"C:\\", false, normalised, extended, trailing),
              vnwin::kErrorPathNotFound);
    const VnString longName = u"C:\\" + VnString(u'n', 256);  // one name over the limit, the path under it
    EXPECT_EQ(VnSimNormalisePath(longName, u"C:\\", false, normalised, extended, trailing), kErrorInvalidName);
    EXPECT_EQ(VnSimNormalisePath(longName.Left(258), u"C:\\", false, normalised, extended, trailing), 0u);
    EXPECT_EQ(VnSimNormalisePath(u"\\\\?\\" + longest + u"\\" + VnString(u'y', 200), u"C:\\", false, normalised,
                                 extended, trailing),
              0u);
    EXPECT_TRUE(extended);
}

TEST(SimPaths, MasksMatchLikeFindFirstFile) {
    EXPECT_TRUE(VnSimFileMask(u"*.*").Matches(u"noextension"));
    EXPECT_TRUE(VnSimFileMask(u"readme.*").Matches(u"README"));
    EXPECT_TRUE(VnSimFileMask(u"readme.*").Matches(u"Readme.TXT"));
    EXPECT_FALSE(VnSimFileMask(u"readme.*").Matches(u"readme2"));
    EXPECT_TRUE(VnSimFileMask(u"v?.dll").Matches(u"V1.DLL"));
    EXPECT_FALSE(VnSimFileMask(u"v?.dll").Matches(u"v12.dll"));
    EXPECT_TRUE(VnSimFileMask(u"*a*b*").Matches(u"xxAyyBzz"));
    EXPECT_FALSE(VnSimFileMask(u"*.dll").Matches(u"x.dll.bak"));
}

TEST(SimFiles, NamesResolveWithoutCaseAndKeepTheirCase) {
    SimTestMachine m;
    IVnFiles& files = m.Machine().Files();
    ASSERT_EQ(files.CreateDirectory(u"C:\\Data"), 0u);
    ASSERT_EQ(files.WriteFile(u"c:\\DATA\\Mixed.Txt", "one"), 0u);
    EXPECT_TRUE(m.HostExists("drives/C/Data/Mixed.Txt"));
    ASSERT_EQ(files.WriteFile(u"C:\\data\\MIXED.TXT", "two"), 0u);
    EXPECT_EQ(m.HostText("drives/C/Data/Mixed.Txt"), "two") << "the same file, not a second one";
    EXPECT_EQ(files.CreateDirectory(u"C:\\DATA"), vnwin::kErrorAlreadyExists);

    // Beyond ASCII too: the case folds through the shared table.
    ASSERT_EQ(files.WriteFile(u"C:\\Data\\\u00c9t\u00e9 \u00ff.txt", "three"), 0u);
    EXPECT_EQ(m.ReadFile(u"C:\\data\\\u00c9T\u00c9 \u0178.TXT"), "three");
    EXPECT_TRUE(m.HostExists("drives/C/Data/\u00c9t\u00e9 \u00ff.txt"));

    // Files put on the host side are found in any case.
    std::ofstream(m.Host("drives/C/Data/FromHost.bin")) << "host";
    EXPECT_EQ(m.ReadFile(u"C:\\DATA\\fromhost.BIN"), "host");

    EXPECT_EQ(files.MoveFile(u"C:\\Data\\mixed.txt", u"C:\\Data\\MIXED.txt"), 0u);
    EXPECT_TRUE(m.HostExists("drives/C/Data/MIXED.txt"));
    EXPECT_FALSE(m.HostExists("drives/C/Data/Mixed.Txt"));

    // The classic length limits apply to plain paths only.
    const VnString deep = u"C:\\Data\\" + VnString(u'd', 245);
    EXPECT_EQ(files.CreateDirectory(deep), vnwin::kErrorFilenameExcedRange);
    EXPECT_EQ(files.CreateDirectory(u"\\\\?\\" + deep), 0u);
    const VnString file = deep + u"\\" + VnString(u'f', 20);
    EXPECT_EQ(files.WriteFile(file, "x"), vnwin::kErrorPathNotFound);
    EXPECT_EQ(files.WriteFile(u"\\\\?\\" + file, "x"), 0u);
    EXPECT_EQ(files.GetAttributesError(file), vnwin::kErrorPathNotFound);
    EXPECT_EQ(files.GetAttributesError(u"Q:\\anything"), vnwin::kErrorPathNotFound) << "no such drive";
    EXPECT_EQ(files.GetAttributesError(u"\\\\server\\share\\x"), kErrorBadNetPath);
}

// Folders and listings are remembered between calls: every change made
// through the machine, and a folder gone or a name added on the host side,
// must show at once. Each case first looks at "C:\A\B\f.txt" in another case
// (so the folder is found name by name and remembered), then changes something.
TEST(SimFiles, RememberedFoldersFollowEveryChange) {
    namespace fs = std::filesystem;
    struct Case {
        const char* change;
        std::function<void(SimTestMachine&, IVnFiles&)> make;
        const char16_t* path;
        uint32_t expected;          // GetAttributesError of `path`
        const char* writtenTo = nullptr;  // then writing `path` lands at this host file
    } cases[] = {
        {"folder renamed, old name", [](SimTestMachine&, IVnFiles& f) { f.MoveFile(u"C:\\A", u"C:\\Z"); },
         u"C:\\a\\b\\f.txt", vnwin::kErrorPathNotFound},
        {"folder renamed, new name", [](SimTestMachine&, IVnFiles& f) { f.MoveFile(u"C:\\A", u"C:\\Z"); },
         u"C:\\z\\B\\F.TXT", 0, "drives/C/Z/B/f.txt"},
        {"case of the folder changed", [](SimTestMachine&, IVnFiles& f) { f.MoveFile(u"C:\\A\\B", u"C:\\A\\bb"); f.MoveFile(u"C:\\A\\bb", u"C:\\A\\b"); },
         u"C:\\A\\B\\new.txt", vnwin::kErrorFileNotFound, "drives/C/A/b/new.txt"},
        {"folder removed and made again", [](SimTestMachine&, IVnFiles& f) {
             f.DeleteFile(u"C:\\A\\B\\f.txt"), f.RemoveDirectory(u"C:\\A\\B"), f.CreateDirectory(u"C:\\A\\b"); },
         u"C:\\a\\B\\F.txt", vnwin::kErrorFileNotFound, "drives/C/A/b/F.txt"},
        {"folder removed on the host", [](SimTestMachine& m, IVnFiles&) { fs::remove_all(m.Host("drives/C/A/B")); },
         u"C:\\A\\B\\f.txt", vnwin::kErrorPathNotFound},
        {"a file where the folder was, on the host", [](SimTestMachine& m, IVnFiles&) {
             fs::remove_all(m.Host("drives/C/A/B")), std::ofstream(m.Host("drives/C/A/B")) << "x"; },
         u"C:\\A\\B\\f.txt", vnwin::kErrorPathNotFound},
        {"name added on the host in another case",
         [](SimTestMachine& m, IVnFiles&) { std::ofstream(m.Host("drives/C/A/B/Host.txt")) << "x"; },
         u"C:\\a\\b\\HOST.TXT", 0, "drives/C/A/B/Host.txt"},
        {"file removed", [](SimTestMachine&, IVnFiles& f) { f.DeleteFile(u"C:\\A\\B\\F.TXT"); },
         u"C:\\A\\B\\f.txt", vnwin::kErrorFileNotFound, "drives/C/A/B/f.txt"},
        {"empty folder looked at, then a file written",
         [](SimTestMachine& m, IVnFiles& f) {
             f.CreateDirectory(u"C:\\A\\Empty");
             EXPECT_EQ(f.GetAttributesError(u"C:\\A\\EMPTY\\x.txt"), vnwin::kErrorFileNotFound);
             m.WriteFile(u"C:\\A\\Empty\\X.txt", "x"); },
         u"C:\\a\\empty\\x.TXT", 0, "drives/C/A/Empty/X.txt"},
        {"folder link removed", [](SimTestMachine&, IVnFiles& f) {
             f.CreateSymbolicLink(u"C:\\Link", u"C:\\A", true);
             EXPECT_EQ(f.GetAttributesError(u"C:\\link\\b\\F.txt"), 0u);
             f.RemoveDirectory(u"C:\\Link"); },
         u"C:\\Link\\B\\f.txt", vnwin::kErrorPathNotFound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        SimTestMachine m;
        IVnFiles& files = m.Machine().Files();
        m.WriteFile(u"C:\\A\\B\\f.txt", "f");
        ASSERT_EQ(files.GetAttributesError(u"c:\\a\\b\\F.TXT"), 0u);
        c.make(m, files);
        EXPECT_EQ(files.GetAttributesError(c.path), c.expected);
        if (!c.writtenTo) continue;
        EXPECT_EQ(files.WriteFile(c.path, "written"), 0u);
        EXPECT_EQ(m.HostText(c.writtenTo), "written");
    }
}

TEST(SimFiles, Wow64RedirectsTheSystemFolderUntilSwitchedOff) {
    SimTestMachine m;
    m.MakeSystemFolders();
    IVnFiles& files = m.Machine().Files();
    ASSERT_TRUE(m.Facts().is64BitWindows);
    ASSERT_EQ(files.WriteFile(u"C:\\Windows\\System32\\vn32.dll", "32"), 0u);
    EXPECT_TRUE(m.HostExists("drives/C/Windows/SysWOW64/vn32.dll"));
    ASSERT_EQ(files.WriteFile(u"C:\\Windows\\Sysnative\\vn64.dll", "64"), 0u);
    EXPECT_TRUE(m.HostExists("drives/C/Windows/System32/vn64.dll"));
    ASSERT_EQ(files.CreateDirectory(u"C:\\Windows\\System32\\drivers"), 0u);
    EXPECT_TRUE(m.HostExists("drives/C/Windows/SysWOW64/drivers"));
    EXPECT_EQ(files.CreateDirectory(u"C:\\Windows\\System32\\drivers\\etc"), vnwin::kErrorPathNotFound)
        << "exempt, so it needs the native drivers folder";
    ASSERT_EQ(files.CreateDirectory(u"C:\\Windows\\Sysnative\\drivers"), 0u);
    ASSERT_EQ(files.CreateDirectory(u"C:\\Windows\\System32\\drivers\\etc"), 0u);
    ASSERT_EQ(files.WriteFile(u"C:\\Windows\\System32\\drivers\\etc\\hosts", "h"), 0u);
    EXPECT_TRUE(m.HostExists("drives/C/Windows/System32/drivers/etc/hosts")) << "exempt from redirection";

    // Delayed renames record what the caller wrote, not where it leads.
    ASSERT_EQ(files.MoveFileEx(u"C:\\Windows\\System32\\vn32.dll", VnString(), vnwin::kMoveFileDelayUntilReboot), 0u);
    VnRegKey key = 0;
    VnRegValue list;
    ASSERT_EQ(m.Machine().Registry().OpenKey(VnRegRoot::LocalMachine,
                                             u"SYSTEM\\CurrentControlSet\\Control\\Session Manager", vnwin::kKeyRead, key),
              0u);
    ASSERT_EQ(m.Machine().Registry().QueryValue(key, u"PendingFileRenameOperations", list), 0u);
    m.Machine().Registry().CloseKey(key);
    EXPECT_TRUE(list.text.StartsWith(u"\\??\\C:\\Windows\\System32\\vn32.dll"));

    ASSERT_TRUE(m.Machine().System().EnableWow64FsRedirection(false));
    EXPECT_EQ(m.ReadFile(u"C:\\Windows\\System32\\vn64.dll"), "64");
    EXPECT_EQ(files.GetAttributesError(u"C:\\Windows\\Sysnative\\vn64.dll"), vnwin::kErrorPathNotFound);
    ASSERT_TRUE(m.Machine().System().EnableWow64FsRedirection(true));
    EXPECT_EQ(m.ReadFile(u"C:\\Windows\\System32\\vn32.dll"), "32");

    m.Facts().is64BitWindows = false;  // a 32-bit Windows has one system folder
    EXPECT_EQ(m.ReadFile(u"C:\\Windows\\System32\\vn64.dll"), "64");
    EXPECT_EQ(files.GetAttributesError(u"C:\\Windows\\Sysnative\\vn64.dll"), vnwin::kErrorPathNotFound);
}

TEST(SimFiles, AttributesAreKeptBesideTheDrivesWithTheWindowsRules) {
    SimTestMachine m;
    IVnFiles& files = m.Machine().Files();
    const VnString plain = u"C:\\plain.txt", special = u"C:\\special.txt";
    ASSERT_EQ(files.WriteFile(plain, "plain"), 0u);
    ASSERT_EQ(files.WriteFile(special, "special"), 0u);
    EXPECT_EQ(files.GetFileAttributes(plain), vnwin::kFileAttributeArchive);
    ASSERT_EQ(files.SetFileAttributes(plain, vnwin::kFileAttributeNormal), 0u);
    EXPECT_EQ(files.GetFileAttributes(plain), vnwin::kFileAttributeNormal);
    const uint32_t rhs = vnwin::kFileAttributeReadOnly | vnwin::kFileAttributeHidden | vnwin::kFileAttributeSystem;
    ASSERT_EQ(files.SetFileAttributes(special, rhs), 0u);
    m.Machine().SimFiles().Flush();  // the attributes file is written on flush
    EXPECT_NE(m.HostText("attributes.txt").find("7 C:\\special.txt\n"), std::string::npos) << m.HostText("attributes.txt");

    // Copies take the source's attributes; renames keep them.
    ASSERT_EQ(files.CopyFile(special, u"C:\\copy.txt", false), 0u);
    EXPECT_EQ(files.GetFileAttributes(u"C:\\copy.txt"), rhs | vnwin::kFileAttributeArchive);
    ASSERT_EQ(files.MoveFile(u"C:\\copy.txt", u"C:\\moved.txt"), 0u) << "a read-only file may be renamed";
    EXPECT_EQ(files.GetFileAttributes(u"C:\\moved.txt"), rhs | vnwin::kFileAttributeArchive);
    m.Machine().SimFiles().Flush();
    EXPECT_EQ(m.HostText("attributes.txt").find("copy.txt"), std::string::npos);

    // Overwriting: read-only refuses; hidden or system refuses a copy that is not.
    EXPECT_EQ(files.CopyFile(plain, special, false), vnwin::kErrorAccessDenied);
    EXPECT_EQ(files.WriteFile(special, "x"), vnwin::kErrorAccessDenied);
    EXPECT_EQ(files.MoveFileEx(plain, special, vnwin::kMoveFileReplaceExisting), vnwin::kErrorAccessDenied);
    ASSERT_EQ(files.SetFileAttributes(special, vnwin::kFileAttributeHidden), 0u);
    EXPECT_EQ(files.CopyFile(plain, special, false), vnwin::kErrorAccessDenied);
    EXPECT_EQ(files.CopyFile(u"C:\\moved.txt", special, false), 0u) << "the copy is hidden too";

    ASSERT_EQ(files.CreateDirectory(u"C:\\Kept"), 0u);
    ASSERT_EQ(files.SetFileAttributes(u"C:\\Kept", vnwin::kFileAttributeReadOnly), 0u);
    EXPECT_EQ(files.RemoveDirectory(u"C:\\Kept"), vnwin::kErrorAccessDenied);

    // Another opening of the machine reads them back, and marks the facts'
    // read-only files.
    m.Facts().readOnlyFiles.Add(u"c:\\PLAIN.txt");
    m.Machine().SimFiles().Flush();
    VnSimFiles reopened(m.Facts(), m.Folder(), m.Machine().Registry());
    EXPECT_EQ(reopened.GetFileAttributes(special), rhs | vnwin::kFileAttributeArchive);
    EXPECT_EQ(reopened.GetFileAttributes(plain), vnwin::kFileAttributeReadOnly);
    EXPECT_EQ(reopened.DeleteFile(plain), vnwin::kErrorAccessDenied);
}

TEST(SimFiles, LockedFilesRefuseAllButAttributesUntilTheRestart) {
    SimTestMachine m;
    IVnFiles& files = m.Machine().Files();
    const VnString locked = u"C:\\in use.dll", other = u"C:\\other.dll";
    ASSERT_EQ(files.WriteFile(locked, "old"), 0u);
    ASSERT_EQ(files.WriteFile(other, "new"), 0u);
    m.Facts().lockedFiles.Add(u"C:\\IN USE.dll");

    EXPECT_EQ(files.DeleteFile(locked), vnwin::kErrorSharingViolation);
    EXPECT_EQ(files.CopyFile(other, locked, false), vnwin::kErrorSharingViolation);
    EXPECT_EQ(files.CopyFile(locked, u"C:\\copy.dll", false), vnwin::kErrorSharingViolation);
    EXPECT_EQ(files.MoveFile(locked, u"C:\\moved.dll"), vnwin::kErrorSharingViolation);
    EXPECT_EQ(files.MoveFileEx(other, locked, vnwin::kMoveFileReplaceExisting), vnwin::kErrorSharingViolation);
    EXPECT_EQ(files.WriteFile(locked, "x"), vnwin::kErrorSharingViolation);
    std::string bytes;
    EXPECT_EQ(files.ReadFile(locked, bytes), vnwin::kErrorSharingViolation);
    EXPECT_EQ(files.SetFileAttributes(locked, vnwin::kFileAttributeNormal), 0u);
    EXPECT_EQ(files.GetFileAttributes(locked), vnwin::kFileAttributeNormal);

    // Replaced at the restart, when nothing holds it.
    ASSERT_EQ(files.MoveFileEx(other, locked, vnwin::kMoveFileReplaceExisting | vnwin::kMoveFileDelayUntilReboot), 0u);
    EXPECT_TRUE(m.Files().ApplyPendingFileOperations());
    EXPECT_EQ(m.HostText("drives/C/in use.dll"), "new");
    EXPECT_FALSE(m.HostExists("drives/C/other.dll"));
}

TEST(SimFiles, FreeSpaceShrinksAndRefusesWhatDoesNotFit) {
    SimTestMachine m;
    IVnFiles& files = m.Machine().Files();
    VnSimDrive& drive = m.Facts().drives[0];
    ASSERT_EQ(drive.letter, u'C');
    drive.freeBytes = 1000;
    VnDiskSpace space;
    ASSERT_EQ(files.GetDiskFreeSpace(u"C:\\", space), 0u);
    EXPECT_EQ(space.freeToCaller, 1000u);

    ASSERT_EQ(files.WriteFile(u"C:\\a.bin", std::string(600, 'a')), 0u);
    ASSERT_EQ(files.WriteFile(u"C:\\a.bin", std::string(800, 'a')), 0u) << "replacing 600 bytes needs 200";
    ASSERT_EQ(files.GetDiskFreeSpace(u"C:\\", space), 0u);
    EXPECT_EQ(space.totalFree, 200u);
    EXPECT_EQ(files.WriteFile(u"C:\\b.bin", std::string(300, 'b')), vnwin::kErrorDiskFull);
    EXPECT_EQ(files.CopyFile(u"C:\\a.bin", u"C:\\c.bin", false), vnwin::kErrorDiskFull);
    EXPECT_FALSE(m.HostExists("drives/C/b.bin"));
    EXPECT_FALSE(m.HostExists("drives/C/c.bin"));
    ASSERT_EQ(files.DeleteFile(u"C:\\a.bin"), 0u);
    ASSERT_EQ(files.GetDiskFreeSpace(u"C:\\", space), 0u);
    EXPECT_EQ(space.totalFree, 1000u);

    drive.full = true;
    EXPECT_EQ(files.WriteFile(u"C:\\one.bin", "1"), vnwin::kErrorDiskFull);
    ASSERT_EQ(files.GetDiskFreeSpace(u"C:\\", space), 0u);
    EXPECT_EQ(space.totalFree, 0u);

    m.Facts().uncreatableFolders.Add(u"C:\\Denied");
    EXPECT_EQ(files.CreateDirectory(u"C:\\denied"), vnwin::kErrorAccessDenied);
    EXPECT_EQ(files.CreateDirectory(u"C:\\Denied\\Below"), vnwin::kErrorPathNotFound);
}

TEST(SimFiles, PendingRenamesAreCarriedOutInOrderAtTheRestart) {
    SimTestMachine m;
    IVnFiles& files = m.Machine().Files();
    for (const char16_t* name : {u"C:\\staged.dll", u"C:\\target.dll", u"C:\\obsolete.dll", u"C:\\second.dll",
                                 u"C:\\taken.dll"})
        ASSERT_EQ(files.WriteFile(name, VnString(name).ToUtf8()), 0u);
    ASSERT_EQ(files.SetFileAttributes(u"C:\\obsolete.dll", vnwin::kFileAttributeReadOnly), 0u);
    const uint32_t delay = vnwin::kMoveFileDelayUntilReboot;
    EXPECT_EQ(files.MoveFileEx(u"C:\\staged.dll", u"C:\\target.dll", delay | vnwin::kMoveFileReplaceExisting), 0u);
    EXPECT_EQ(files.MoveFileEx(u"C:\\obsolete.dll", VnString(), delay), 0u);
    EXPECT_EQ(files.MoveFileEx(u"C:\\second.dll", u"C:\\taken.dll", delay), 0u) << "checked only at the restart";
    EXPECT_EQ(files.MoveFileEx(u"C:\\target.dll", u"C:\\final.dll", delay), 0u);
    EXPECT_EQ(files.MoveFileEx(u"C:\\x", u"C:\\y", delay | vnwin::kMoveFileCopyAllowed), vnwin::kErrorInvalidParameter);

    VnStringArray failures;
    EXPECT_FALSE(m.Files().ApplyPendingFileOperations(&failures));
    ASSERT_EQ(failures.GetSize(), 1) << failures.Join(u"\n").ToUtf8();
    EXPECT_TRUE(failures[0].Contains(u"C:\\taken.dll"));
    EXPECT_EQ(m.HostText("drives/C/final.dll"), "C:\\staged.dll") << "renamed, then renamed again";
    EXPECT_FALSE(m.HostExists("drives/C/obsolete.dll")) << "deleted although read-only";
    EXPECT_EQ(m.HostText("drives/C/second.dll"), "C:\\second.dll");
    EXPECT_TRUE(m.Files().ApplyPendingFileOperations()) << "the list is gone";

    m.Facts().moveFileExRefuses = true;
    EXPECT_EQ(files.MoveFileEx(u"C:\\second.dll", VnString(), delay), vnwin::kErrorAccessDenied);
    m.Facts().moveFileExRefuses = false;
    m.Facts().hklmWritable = false;
    EXPECT_EQ(files.MoveFileEx(u"C:\\second.dll", VnString(), delay), vnwin::kErrorAccessDenied);
}

TEST(SimFiles, VersionsComeFromTheProgramFileThroughVersionDll) {
    SimTestMachine m;
    IVnFiles& files = m.Machine().Files();
    uint32_t ms = 0, ls = 0;
#ifdef VN_DEMO_SETUP_DIR
    auto copyIn = [&](const std::string& setupFile, const VnString& path) {
        ASSERT_EQ(files.WriteFile(path, ReadHostFile(std::string(VN_DEMO_SETUP_DIR) + "/" + setupFile)), 0u);
    };
    copyIn("Playmoor/VnImage.dll", u"C:\\VnImage.dll");
    copyIn("Playmoor/x64/VnTelevision.dll", u"C:\\VnTelevision.dll");
    EXPECT_EQ(files.GetFileVersion(u"C:\\vnimage.dll", ms, ls), 0u);
    EXPECT_EQ(ms, 33u << 16);
    EXPECT_EQ(ls, 44u << 16);
    EXPECT_EQ(files.GetPeMachine(u"C:\\VnImage.dll"), kVnPeMachineI386);
    EXPECT_EQ(files.GetPeMachine(u"C:\\VnTelevision.dll"), kVnPeMachineAmd64);
#endif
    ASSERT_EQ(files.WriteFile(u"C:\\text.dll", "text"), 0u);
    EXPECT_EQ(files.GetFileVersion(u"C:\\text.dll", ms, ls), kErrorResourceDataNotFound);
    m.Facts().missingExports.Add(u"version.dll!VerQueryValueW");
    EXPECT_EQ(files.GetFileVersion(u"C:\\text.dll", ms, ls), vnwin::kErrorProcNotFound);
    m.Facts().missingLibraries.Add(u"Version.dll");
    EXPECT_EQ(files.GetFileVersion(u"C:\\text.dll", ms, ls), vnwin::kErrorModNotFound);
}

TEST(SimFiles, ListingsAreSortedLikeNtfs) {
    SimTestMachine m;
    IVnFiles& files = m.Machine().Files();
    ASSERT_EQ(files.CreateDirectory(u"C:\\List"), 0u);
    for (const char16_t* name : {u"c", u"b.TXT", u"A.txt", u"_z"})
        ASSERT_EQ(files.WriteFile(VnString(u"C:\\List\\") + name, ""), 0u);
    VnCoreArray<VnFindData> found;
    ASSERT_EQ(files.FindFiles(u"C:\\List\\*.*", found), 0u);
    VnStringArray names;
    for (const VnFindData& entry : found) names.Add(entry.name);
    EXPECT_EQ(names.Join(u",").ToUtf8(), "A.txt,b.TXT,c,_z");
    ASSERT_EQ(files.FindFiles(u"C:\\List\\c.*", found), 0u);
    EXPECT_EQ(found.GetSize(), 1);
    EXPECT_EQ(files.FindFiles(u"C:\\*.nothing", found), vnwin::kErrorFileNotFound) << "a root has no . or ..";
}

}  // namespace
