#include <gtest/gtest.h>

#include "VnFilename.h"

namespace {

// Reads a stored text, writes it and reads the result again.
VnFilename ReadWrittenAgain(const VnFilename& filename) { return VnFilename::FromText(filename.GetText()); }

void ExpectSame(const VnFilename& a, const VnFilename& b) {
    EXPECT_EQ(a.GetPath(), b.GetPath());
    EXPECT_TRUE(a.GetFields().IsEqual(b.GetFields())) << a.GetFields().Dump().ToUtf8() << "--\n"
                                                      << b.GetFields().Dump().ToUtf8();
}

}  // namespace

TEST(VnFilename, PlainTextWithoutFieldsAndTheXmlFormWithThem) {
    VnFilename read = VnFilename::FromText(u"C:\\Music\\Song & <Friends>.mp3");
    EXPECT_EQ(read.GetPath(), u"C:\\Music\\Song & <Friends>.mp3");
    EXPECT_FALSE(read.HasFields());
    EXPECT_EQ(read.GetText(), u"C:\\Music\\Song & <Friends>.mp3");
    EXPECT_EQ(VnFilename::FromText(std::u16string_view(u"C:\\a.mp3\0;1", 11)).GetPath(), u"C:\\a.mp3");

    VnFilename filename(u"C:\\A&B\\\"Quoted\" <1>.mp3");
    filename.SetField(u"Title", u"Rock 'n' Roll & <More>");
    filename.SetField(u"Track", u"7");
    filename.SetField(u"Empty", u"");  // an empty value removes the field
    EXPECT_EQ(filename.GetText(),
              u"<XMLFN version=\"1.0\"><Item Name=\"Filename\">C:\\A&amp;B\\\"Quoted\" &lt;1&gt;.mp3</Item>"
              u"<Item Name=\"Title\">Rock 'n' Roll &amp; &lt;More&gt;</Item>"
              u"<Item Name=\"Track\">7</Item></XMLFN>");
    ExpectSame(ReadWrittenAgain(filename), filename);

    VnFilename awkward(u"D:\\\x00e9t\x00e9\\\x6771\x4eac\\\xd83c\xdfb5 \t line\r\nbreak.wav");
    awkward.GetFields().SetString(u"Quote\"And'Apos", u"\x01\x1f\x7f \"x\" 'y'");
    awkward.GetFields().SetString(u"EmptyValue", u"");
    awkward.GetFields().SetString(u"", u"empty key");
    awkward.GetFields().SetString(u" padded ", u"  spaces  ");
    ExpectSame(ReadWrittenAgain(awkward), awkward);
}

TEST(VnFilename, ReadingTheXmlForm) {
    // Not the XML form after all: the whole text is the path.
    for (const char16_t* plain : {
             u"<xmlfn VERSION=\"1.0\"><Item Name=\"Filename\">x</Item></xmlfn>",  // prefix matches, root does not
             u"<XMLFN version=\"2.0\"><Item Name=\"Filename\">C:\\a.mp3</Item></XMLFN>",
             u"<XMLFN version=\"1.0\"><Item Name=\"Filename\">C:\\a.mp3</Item>"}) {  // not ended
        const VnFilename read = VnFilename::FromText(plain);
        EXPECT_EQ(read.GetPath(), plain);
        EXPECT_FALSE(read.HasFields()) << VnString(plain).ToUtf8();
    }

    VnFilename read = VnFilename::FromText(
        u"<XMLFN version='1.0'>\r\n <Item Name=\"Artist\">A &amp; B</Item>\r\n"
        u" <Item Name=\"Filename\">C:\\a.mp3</Item><Item>no name</Item></XMLFN>");
    EXPECT_EQ(read.GetPath(), u"C:\\a.mp3");
    EXPECT_EQ(read.GetFields().GetCount(), 1);
    EXPECT_EQ(read.GetField(u"Artist"), u"A & B");

    // No path item: an empty path with the fields.
    read = VnFilename::FromText(u"<XMLFN version=\"1.0\"><Item Name=\"Artist\">A</Item></XMLFN>");
    EXPECT_EQ(read.GetPath(), u"");
    EXPECT_EQ(read.GetField(u"Artist"), u"A");
}

TEST(VnFilename, PathThatLooksLikeTheXmlFormSurvivesWriting) {
    VnFilename filename(u"<XMLFN version=\"1.0\"><Item Name=\"Filename\">inner</Item></XMLFN>");
    ExpectSame(ReadWrittenAgain(filename), filename);
    // A field named like the path's item is not stored.
    VnFilename withPathField(u"C:\\a.mp3");
    withPathField.SetField(u"filename", u"other");
    withPathField.SetField(u"Genre", u"Jazz");
    VnFilename read = ReadWrittenAgain(withPathField);
    EXPECT_EQ(read.GetPath(), u"C:\\a.mp3");
    EXPECT_EQ(read.GetFields().GetCount(), 1);
}

// The first ";" after the last "." ends an extension of 1 to 5 characters;
// what follows is the post-extension data (null: not split).
TEST(VnFilename, PostExtensionDataIsSplitOffPlainPaths) {
    const struct {
        const char16_t *text, *path, *data;
    } cases[] = {
        {u"C:\\CD\\Track.cda;12", u"C:\\CD\\Track.cda", u"12"},
        {u"C:\\a.b.mp3;1;2", u"C:\\a.b.mp3", u"1;2"},
        {u"a.m;1", u"a.m", u"1"},
        {u"a.abcde;1", u"a.abcde", u"1"},
        {u"a.mp3;", u"a.mp3", u""},  // present and empty
        {u"a.;1", u"a.;1", nullptr},
        {u"a.abcdef;1", u"a.abcdef;1", nullptr},
        {u"C:\\a;b\\c.mp3", u"C:\\a;b\\c.mp3", nullptr},  // before the last dot
        {u"C:\\ab;1", u"C:\\ab;1", nullptr},
    };
    for (const auto& c : cases) {
        const VnFilename read = VnFilename::FromText(c.text);
        SCOPED_TRACE(VnString(c.text).ToUtf8());
        EXPECT_EQ(read.GetPath(), c.path);
        EXPECT_EQ(read.GetFields().Exists(VnFilename::kPostExtensionDataName), c.data != nullptr);
        EXPECT_EQ(read.HasFields(), c.data != nullptr);
        if (c.data) {
            EXPECT_EQ(read.GetField(VnFilename::kPostExtensionDataName), c.data);
        }
        ExpectSame(ReadWrittenAgain(read), read);
    }
}

TEST(VnFilename, UrlsKeepTheirSemicolons) {
    VnFilename read = VnFilename::FromText(u"http://example.com/Track.cda;12");
    EXPECT_EQ(read.GetPath(), u"http://example.com/Track.cda;12");
    EXPECT_FALSE(read.HasFields());
    // Also when the path comes from the XML form.
    read = VnFilename::FromText(u"<XMLFN version=\"1.0\"><Item Name=\"Filename\">ftp://h/a.mp3;5</Item>"
                                u"<Item Name=\"Start\">0</Item></XMLFN>");
    EXPECT_EQ(read.GetPath(), u"ftp://h/a.mp3;5");
    EXPECT_EQ(read.GetFields().GetCount(), 1);
    // A path from the XML form that is not a URL is split too; the split data
    // replaces a stored PostExtensionData.
    read = VnFilename::FromText(u"<XMLFN version=\"1.0\"><Item Name=\"Filename\">C:\\a.mp3;5</Item>"
                                u"<Item Name=\"PostExtensionData\">old</Item></XMLFN>");
    EXPECT_EQ(read.GetPath(), u"C:\\a.mp3");
    EXPECT_EQ(read.GetField(VnFilename::kPostExtensionDataName), u"5");
}
