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
    VnFilename read = VnFilename::FromText(
        u"<xmlfn VERSION=\"1.0\"><Item Name=\"Filename\">x</Item></xmlfn>");  // prefix matches, root does not
    EXPECT_EQ(read.GetPath(), u"<xmlfn VERSION=\"1.0\"><Item Name=\"Filename\">x</Item></xmlfn>");

    read = VnFilename::FromText(u"<XMLFN version=\"2.0\"><Item Name=\"Filename\">C:\\a.mp3</Item></XMLFN>");
    EXPECT_EQ(read.GetPath(), u"<XMLFN version=\"2.0\"><Item Name=\"Filename\">C:\\a.mp3</Item></XMLFN>");
    EXPECT_FALSE(read.HasFields());

    read = VnFilename::FromText(u"<XMLFN version=\"1.0\"><Item Name=\"Filename\">C:\\a.mp3</Item>");  // not ended
    EXPECT_EQ(read.GetPath(), u"<XMLFN version=\"1.0\"><Item Name=\"Filename\">C:\\a.mp3</Item>");

    read = VnFilename::FromText(
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

TEST(VnFilename, PostExtensionDataIsSplitOffPlainPaths) {
    VnFilename read = VnFilename::FromText(u"C:\\CD\\Track.cda;12");
    EXPECT_EQ(read.GetPath(), u"C:\\CD\\Track.cda");
    EXPECT_EQ(read.GetField(VnFilename::kPostExtensionDataName), u"12");
    ExpectSame(ReadWrittenAgain(read), read);

    // The first ";" after the last "." ends the extension.
    read = VnFilename::FromText(u"C:\\a.b.mp3;1;2");
    EXPECT_EQ(read.GetPath(), u"C:\\a.b.mp3");
    EXPECT_EQ(read.GetField(VnFilename::kPostExtensionDataName), u"1;2");

    // Extension lengths 1 and 5 split; 0 and 6 do not.
    EXPECT_EQ(VnFilename::FromText(u"a.m;1").GetPath(), u"a.m");
    EXPECT_EQ(VnFilename::FromText(u"a.abcde;1").GetPath(), u"a.abcde");
    VnFilename noExtension = VnFilename::FromText(u"a.;1");
    EXPECT_EQ(noExtension.GetPath(), u"a.;1");
    EXPECT_FALSE(noExtension.HasFields());
    VnFilename longExtension = VnFilename::FromText(u"a.abcdef;1");
    EXPECT_EQ(longExtension.GetPath(), u"a.abcdef;1");
    EXPECT_FALSE(longExtension.HasFields());

    // Semicolons before the last dot, or no dot at all, do not split.
    EXPECT_EQ(VnFilename::FromText(u"C:\\a;b\\c.mp3").GetPath(), u"C:\\a;b\\c.mp3");
    EXPECT_EQ(VnFilename::FromText(u"C:\\ab;1").GetPath(), u"C:\\ab;1");

    // Nothing after the ";": the field is present and empty.
    read = VnFilename::FromText(u"a.mp3;");
    EXPECT_EQ(read.GetPath(), u"a.mp3");
    EXPECT_TRUE(read.GetFields().Exists(VnFilename::kPostExtensionDataName));
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
