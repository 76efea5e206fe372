// GetPrivateProfileStringW as package descriptions are read: names without
// case, the first section and key of a name, blanks and quotes, the default,
// the buffer's limit, and UTF-16 files.
#include "PlatformFixture.h"

namespace {
using ProfileStringConformance = PlatformTest;

TEST_F(ProfileStringConformance, ValuesAreFoundAsWindowsFindsThem) {
    const VnString ini = ScratchFolder() + u"package.ini";
    ASSERT_EQ(Files().WriteFile(ini, "; comment\r\n[Package]\r\n  Name =  Tone Pack  \r\nUrl=\"quoted\"\r\n"
                                     "Name=second\r\n[action]\r\nFile1=a.dll\r\nLong=" + std::string(600, 'x') +
                                     "\r\n[Package]\r\nVersion=2\r\n"),
              0u);
    struct Case {
        const char16_t *section, *key, *expected;
        uint32_t buffer;
    } cases[] = {
        {u"Package", u"Name", u"Tone Pack", 512}, {u"PACKAGE", u"name", u"Tone Pack", 512},
        {u"Package", u"Url", u"quoted", 512},     {u"Action", u"File1", u"a.dll", 512},
        {u"Action", u"File2", u"default", 512},   {u"Nowhere", u"File1", u"default", 512},
        {u"Package", u"Name", u"Ton", 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Files().GetPrivateProfileString(ini, c.section, c.key, u"default", c.buffer), c.expected)
            << VnString(c.key).ToUtf8();
    EXPECT_EQ(Files().GetPrivateProfileString(ini, u"Action", u"Long", u"", 512).GetLength(), 511);
    EXPECT_EQ(Files().GetPrivateProfileString(ScratchFolder() + u"missing.ini", u"Package", u"Name", u"d", 512), u"d");

    const VnString wide = ScratchFolder() + u"wide.ini";
    std::string bytes = "\xFF\xFE";
    for (char16_t c : std::u16string(u"[Package]\r\nName=T\u00FCne\r\n")) bytes += {char(c & 0xFF), char(c >> 8)};
    ASSERT_EQ(Files().WriteFile(wide, bytes), 0u);
    EXPECT_EQ(Files().GetPrivateProfileString(wide, u"Package", u"Name", u"", 512), u"T\u00FCne");
}
}  // namespace
