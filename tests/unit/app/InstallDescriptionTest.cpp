#include "InstallDescription.h"

#include <gtest/gtest.h>

// A fresh machine (simulated, or real Windows) per case.
#include "PlatformFixture.h"
#include "TestText.h"
#include "VnFileSystem.h"

namespace {
class InstallDescriptionTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        Folder(u"Setup\\Support");
    }
    VnString Folder(std::u16string_view relative) {  // created with its parents
        VnString path = ScratchFolder();
        for (const VnString& part : VnStringArray::Split(relative, u"\\")) {
            Files().CreateDirectory(path += part);
            path += u'\\';
        }
        return path;
    }
    void Write(const VnString& relative, const std::string& bytes) { WriteFile(ScratchFolder() + relative, bytes); }
    void Describe(const char16_t* where, const char16_t* version, const VnString& settings, bool utf16 = false) {
        const VnString text =
            VnString::Format(u"<VNIC version=\"%s\"><Settings>%s</Settings></VNIC>", version, settings);
        std::string bytes = utf16 ? "\xFF\xFE" : text.ToUtf8();  // UTF-16 with its byte-order mark
        if (utf16)
            for (char16_t c : text.View()) bytes += {char(c & 0xFF), char(c >> 8)};
        Write(where, bytes);
    }
    const InstallOptions& Load(bool allowDowngradeBefore = true) {
        InstallOptions::ResetForTests();
        InstallOptions::Get().AllowDowngrade = allowDowngradeBefore;
        EXPECT_TRUE(LoadInstallDescription(ScratchFolder() + u"Setup"));
        return InstallOptions::Get();
    }
    VnStringArray SupportFolders(std::u16string_view extra = {}) {
        VnStringArray folders{ScratchFolder() + u"Setup\\Support\\"};
        if (!extra.empty()) folders.Add(ScratchFolder() + extra);
        return folders;
    }
};
}  // namespace

TEST(FolderValues, ResolveAgainstTheDescriptionsFolder) {
    EXPECT_EQ(ResolveFolderValue(u"C:\\Setup\\Bin\\..\\", u".\\a\\..\\b/c\\\\"), VnString(u"C:\\Setup\\b\\c"));
    EXPECT_EQ(ResolveFolderValue(u"C:\\Setup\\", u"..\\..\\.."), VnString(u"C:\\"));
    EXPECT_EQ(ResolveFolderValue(u"\\\\srv\\share\\Setup\\", u"..\\..\\T"), VnString(u"\\\\srv\\share\\T"));
    // Absolute forms are not combined with it.
    EXPECT_EQ(ResolveFolderValue(u"C:\\Setup\\", u"D:\\Media\\\\"), VnString(u"D:\\Media"));
    EXPECT_EQ(ResolveFolderValue(u"C:\\Setup\\", u"\\\\srv\\x\\"), VnString(u"\\\\srv\\x"));
    EXPECT_EQ(ResolveFolderValue(u"C:\\Setup\\", u"http://host/a/../b"), VnString(u"http://host/a/../b"));
}

TEST_F(InstallDescriptionTest, UnusableDescriptionsLeaveTheDefaults) {
    const VnString forbid = u"<Settings><AllowDowngrade>0</AllowDowngrade><SupportFiles>.</SupportFiles></Settings>";
    for (const VnString& text : {u"<VNIC version=\"1.0\">" + forbid, VnString(u"AllowDowngrade=0"),
                                 u"<VNICX version=\"1.0\">" + forbid + u"</VNICX>",
                                 u"<vnic version=\"1.0\">" + forbid + u"</vnic>", u"<VNIC>" + forbid + u"</VNIC>",
                                 u"<VNIC version=\"1.0\"><Other>" + forbid + u"</Other></VNIC>"}) {
        Write(u"Setup\\Install.xml", text.ToUtf8());
        const InstallOptions& options = Load();
        EXPECT_EQ(options.SupportFolders, SupportFolders()) << text.ToUtf8();
        EXPECT_EQ(options.LibraryFolder, ScratchFolder() + u"Setup\\Library\\");
        EXPECT_TRUE(options.AllowDowngrade && options.BundledMediaFolder.IsEmpty()) << text.ToUtf8();
    }
}

TEST_F(InstallDescriptionTest, VersionAndAllowDowngrade) {
    const struct {
        const char16_t *version, *value;
        int effect;  // 0 forbids, 1 allows, -1 leaves the field as it was
    } cases[] = {{u"1", u"0", 0},  {u"1.0", u" 0 ", 0}, {u"1.0", u"2", 1},
                 {u"0.9", u"0", -1}, {u"1.0", u"", -1}, {u"1.0", u"\r\n", -1}};
    for (const auto& c : cases) {
        Describe(u"Setup\\Install.xml", c.version, VnString::Format(u"<AllowDowngrade>%s</AllowDowngrade>", c.value));
        for (const bool before : {true, false})
            EXPECT_EQ(Load(before).AllowDowngrade, c.effect < 0 ? before : c.effect == 1)
                << VnString(c.version).ToUtf8() << " [" << VnString(c.value).ToUtf8() << "] from " << before;
    }
}

TEST_F(InstallDescriptionTest, ParentDescriptionResolvesAgainstTheParentAndLosesToOneBeside) {
    Folder(u"Extra");
    Folder(u"Setup\\Extra");
    Folder(u"Media");
    Describe(u"Install.xml", u"1.0",
             u"<AllowDowngrade>0</AllowDowngrade><SupportFiles>Extra\\\\</SupportFiles>"
             u"<BundledMedia>Setup\\..\\Media</BundledMedia>");
    const InstallOptions& options = Load();
    EXPECT_FALSE(options.AllowDowngrade);
    EXPECT_EQ(options.SupportFolders, SupportFolders(u"Extra\\"));
    EXPECT_EQ(options.BundledMediaFolder, ScratchFolder() + u"Media\\");

    // Beside the installer: an absolute folder as it is, a missing one skipped.
    Describe(u"Setup\\Install.xml", u"1.0",
             u"<SupportFiles>" + ScratchFolder() + u"Media</SupportFiles><BundledMedia>None</BundledMedia>");
    Load();
    EXPECT_TRUE(options.AllowDowngrade);
    EXPECT_EQ(options.SupportFolders, SupportFolders(u"Media\\"));
    EXPECT_TRUE(options.BundledMediaFolder.IsEmpty());
}

TEST_F(InstallDescriptionTest, FindSupportFilePrefersTheSupportFolder) {
    Folder(u"Extra\\folder.exe");
    Describe(u"Setup\\Install.xml", u"1", u"<SupportFiles>..\\Extra</SupportFiles>", true);
    Write(u"Setup\\Support\\d3dx943.exe", "support");
    Write(u"Extra\\d3dx943.exe", "extra");
    Write(u"Extra\\Edge.exe", "extra");
    Load();
    EXPECT_EQ(FindSupportFile(u"d3dx943.exe"), ScratchFolder() + u"Setup\\Support\\d3dx943.exe");
    EXPECT_EQ(FindSupportFile(u"Edge.exe"), ScratchFolder() + u"Extra\\Edge.exe");
    EXPECT_TRUE(FindSupportFile(u"folder.exe").IsEmpty() && FindSupportFile(u"absent.exe").IsEmpty());
}
