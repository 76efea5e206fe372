#include <gtest/gtest.h>

#include "VnXmlDocument.h"

namespace {

// The document must read back exactly as written.
void ExpectReparses(const VnXmlDocument& doc) {
    VnXmlDocument again;
    EXPECT_TRUE(again.SetDoc(doc.GetDoc())) << again.GetError().ToUtf8() << "\n" << doc.GetDoc().ToUtf8();
    EXPECT_EQ(again.GetDoc(), doc.GetDoc());
}

}  // namespace

TEST(VnXmlWrite, BuildsADocumentWithCrLfLineBreaks) {
    VnXmlDocument doc;
    ASSERT_TRUE(doc.AddElem(u"XMLPH"));
    EXPECT_TRUE(doc.IsWellFormed());
    ASSERT_TRUE(doc.SetAttrib(u"version", u"1.0"));
    ASSERT_TRUE(doc.AddChildElem(u"Item", u"a < b & \"c\""));
    ASSERT_TRUE(doc.SetChildAttrib(u"Name", u"Key <1> \"q\" 'a'"));
    ASSERT_TRUE(doc.AddChildElem(u"Item"));
    ASSERT_TRUE(doc.SetChildAttrib(u"Name", u"Empty"));
    EXPECT_EQ(doc.GetDoc(),
              u"<XMLPH version=\"1.0\">\r\n"
              u"<Item Name=\"Key &lt;1&gt; &quot;q&quot; &apos;a&apos;\">a &lt; b &amp; \"c\"</Item>\r\n"
              u"<Item Name=\"Empty\"/>\r\n"
              u"</XMLPH>\r\n");
    EXPECT_FALSE(doc.AddElem(u"Second"));  // one root only
    ExpectReparses(doc);

    // A copy is edited on its own.
    VnXmlDocument copy(doc);
    const VnString before = doc.GetDoc();
    ASSERT_TRUE(copy.AddChildElem(u"Item", u"only in the copy"));
    EXPECT_EQ(doc.GetDoc(), before);
    EXPECT_NE(copy.GetDoc(), before);
    ExpectReparses(copy);

    VnXmlDocument read;
    ASSERT_TRUE(read.SetDoc(doc.GetDoc()));
    ASSERT_TRUE(read.FindElem(u"XMLPH"));
    EXPECT_EQ(read.GetAttrib(u"version"), u"1.0");
    ASSERT_TRUE(read.FindChildElem(u"Item"));
    EXPECT_EQ(read.GetChildAttrib(u"Name"), u"Key <1> \"q\" 'a'");
    EXPECT_EQ(read.GetChildData(), u"a < b & \"c\"");
}

TEST(VnXmlWrite, EditsKeepTheElementTableInStep) {
    VnXmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(u"<?xml version=\"1.0\"?>\r\n<r a=1 b><x/><y>old</y><z k='v'/></r>"));
    ASSERT_TRUE(doc.FindElem(u"r"));
    ASSERT_TRUE(doc.SetAttrib(u"a", u"one"));       // unquoted value replaced
    ASSERT_TRUE(doc.SetAttrib(u"b", u"two"));       // value added to a bare name
    ASSERT_TRUE(doc.AddAttrib(u"c", u"three"));     // new attribute
    ASSERT_TRUE(doc.FindChildElem(u"y"));
    ASSERT_TRUE(doc.SetChildData(u"new & longer"));
    ASSERT_TRUE(doc.IntoElem());  // y becomes the main element
    doc.ResetMainPos();
    ASSERT_TRUE(doc.FindElem(u"x"));
    ASSERT_TRUE(doc.SetData(u"filled"));            // <x/> opens up
    ASSERT_TRUE(doc.AddElem(u"after-x", u"1"));     // inserted after the main element
    ASSERT_TRUE(doc.FindElem(u"z"));
    ASSERT_TRUE(doc.AddChildElem(u"zc"));           // <z .../> opens up for a child
    ASSERT_TRUE(doc.SetChildData(u"deep"));
    EXPECT_FALSE(doc.SetData(u"text"));             // z now holds an element
    EXPECT_EQ(doc.GetDoc(),
              u"<?xml version=\"1.0\"?>\r\n<r a=\"one\" b=\"two\" c=\"three\"><x>filled</x>\r\n<after-x>1</after-x>"
              u"<y>new &amp; longer</y><z k='v'>\r\n<zc>deep</zc>\r\n</z></r>");
    ExpectReparses(doc);

    // Every recorded element still reads correctly after the edits.
    doc.ResetPos();
    ASSERT_TRUE(doc.FindElem(u"/r/z/zc"));
    EXPECT_EQ(doc.GetData(), u"deep");
    ASSERT_TRUE(doc.FindElem(u"/r/y"));
    EXPECT_EQ(doc.GetData(), u"new & longer");
    ASSERT_TRUE(doc.FindElem(u"/r/z"));
    EXPECT_EQ(doc.GetAttrib(u"k"), u"v");
    doc.ResetPos();
    ASSERT_TRUE(doc.FindElem());
    EXPECT_EQ(doc.GetAttrib(u"c"), u"three");
    EXPECT_EQ(doc.GetAttribName(1), u"b");
}

TEST(VnXmlWrite, RefusesBadNamesAndBrokenTargets) {
    VnXmlDocument doc;
    for (const char16_t* bad : {u"", u"a b", u"a<b"}) EXPECT_FALSE(doc.AddElem(bad)) << VnString(bad).ToUtf8();
    EXPECT_FALSE(doc.SetAttrib(u"x", u"1"));  // no element yet
    EXPECT_FALSE(doc.AddChildElem(u"c"));
    ASSERT_TRUE(doc.AddElem(u"a"));
    for (const char16_t* bad : {u"x=y", u"x\""}) EXPECT_FALSE(doc.SetAttrib(bad, u"1")) << VnString(bad).ToUtf8();
    EXPECT_EQ(doc.GetDoc(), u"<a/>\r\n");

    ASSERT_FALSE(doc.SetDoc(u"<a><b>"));
    ASSERT_TRUE(doc.FindElem(u"a"));
    EXPECT_FALSE(doc.AddChildElem(u"c"));  // a was never ended: no safe place
    EXPECT_FALSE(doc.SetData(u"x"));
}

TEST(VnXmlWrite, StrayCharactersInTagsDoNotBreakTheWrittenText) {
    VnXmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(u"<a //>"));
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.AddChildElem(u"b", u"1"));
    ExpectReparses(doc);
    ASSERT_TRUE(doc.SetDoc(u"<a x=\"1\"  ><b/>text<c/></a>"));
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.SetAttrib(u"y", u"]]>"));
    ASSERT_TRUE(doc.FindChildElem(u"b"));
    ASSERT_TRUE(doc.AddChildElem(u"b2"));
    EXPECT_EQ(doc.GetDoc(), u"<a x=\"1\" y=\"]]&gt;\"  ><b/>\r\n<b2/>text<c/></a>");
    ExpectReparses(doc);
}
