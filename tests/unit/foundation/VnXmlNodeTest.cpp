#include <gtest/gtest.h>

#include <string>

#include "VnXmlDocument.h"

TEST(VnXmlNode, DataResolvesEntitiesKeepsCDataAndSkipsCommentsAndInstructions) {
    VnXmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(u"<r><a>x &amp; y<!-- no --><![CDATA[<&amp;>]]><?pi no?> &#65;</a><b><c/></b><e></e><f/></r>"));
    ASSERT_TRUE(doc.FindElem(u"r"));
    EXPECT_EQ(doc.GetChildData(u"a"), u"x & y<&amp;> A");
    EXPECT_EQ(doc.GetChildData(u"b"), u"");  // holds an element, not data
    EXPECT_EQ(doc.GetChildData(u"e"), u"");
    EXPECT_EQ(doc.GetChildData(u"f"), u"");
    EXPECT_EQ(doc.GetChildData(u"missing"), u"");
    EXPECT_EQ(doc.GetData(), u"");
}

TEST(VnXmlNode, FindNodeVisitsEveryKindInOrder) {
    VnXmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(u"<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY e \">\">]><!--top-->"
                           u"<r>t1 &lt;<![CDATA[cd]]><?go now?><x>in</x><!--c-->tail</r>"));
    std::string seen;
    auto note = [&](int type) {
        seen += std::to_string(type) + ":" + doc.GetTagName().ToUtf8() + "=" + doc.GetData().ToUtf8() + " ";
    };
    for (int type; (type = doc.FindNode()) != VnXmlDocument::kNodeNone;) note(type);
    EXPECT_EQ(seen, "16:xml=xml version=\"1.0\" 32:r=<!DOCTYPE r [<!ENTITY e \">\">]> 8:#comment=top 1:r= ");

    seen.clear();
    ASSERT_TRUE(doc.IntoElem());
    for (int type; (type = doc.FindNode()) != VnXmlDocument::kNodeNone;) note(type);
    EXPECT_EQ(seen, "2:#text=t1 < 4:#cdata-section=cd 16:go=go now 1:x=in 8:#comment=c 2:#text=tail ");

    // A mask skips other kinds; FindElem goes on after the current node.
    doc.ResetMainPos();
    EXPECT_EQ(doc.FindNode(VnXmlDocument::kNodeComment), VnXmlDocument::kNodeComment);
    EXPECT_FALSE(doc.FindElem());
    doc.ResetMainPos();
    EXPECT_EQ(doc.FindNode(VnXmlDocument::kNodeProcessingInstruction), VnXmlDocument::kNodeProcessingInstruction);
    EXPECT_TRUE(doc.FindElem());
    EXPECT_EQ(doc.GetTagName(), u"x");
}

TEST(VnXmlNode, BrokenMarkupInsideContentReadsAsText) {
    VnXmlDocument doc;
    // "< " is a problem for the parse, but the element and its text remain.
    EXPECT_TRUE(doc.SetDoc(u"<r>1 < 2 &amp; <!-- c --> 3</r>"));
    EXPECT_FALSE(doc.GetError().IsEmpty());
    ASSERT_TRUE(doc.FindElem(u"r"));
    EXPECT_EQ(doc.GetData(), u"1 < 2 &  3");
    EXPECT_EQ(doc.FindNode(), VnXmlDocument::kNodeNone);  // r is the main element: nothing follows it
    ASSERT_TRUE(doc.IntoElem());
    EXPECT_EQ(doc.FindNode(), VnXmlDocument::kNodeText);
    EXPECT_EQ(doc.GetData(), u"1 < 2 & ");
    EXPECT_EQ(doc.FindNode(), VnXmlDocument::kNodeComment);
    EXPECT_EQ(doc.FindNode(), VnXmlDocument::kNodeText);
    EXPECT_EQ(doc.FindNode(), VnXmlDocument::kNodeNone);

    // Unterminated markup to the end: all of it is text, read in one pass.
    std::u16string text = u"<r>";
    for (int i = 0; i < 50000; ++i) text += u"<!-- ";
    EXPECT_FALSE(doc.SetDoc(text));
    ASSERT_TRUE(doc.FindElem(u"r"));
    EXPECT_EQ(doc.GetData().GetLength(), 50000 * 5);
    ASSERT_TRUE(doc.IntoElem());
    EXPECT_EQ(doc.FindNode(), VnXmlDocument::kNodeText);
    EXPECT_EQ(doc.FindNode(), VnXmlDocument::kNodeNone);
}

// The raw and appending reads give what the string reads give: raw texts are
// the pieces of the document as they stand, appended ones the resolved data.
TEST(VnXmlNode, RawAndAppendedReadsAgreeWithTheStringReads) {
    const VnString text(u"<r><a n='1 &amp; 2'>x &amp; y<!-- no --><![CDATA[<&>]]></a><b><c/></b><e></e><f/>"
                        u"<g n=\"plain\">plain</g><h>not ended</r>");
    VnXmlDocument doc;
    doc.SetDoc(text);
    EXPECT_EQ(doc.GetDoc().DataIdentity(), text.DataIdentity());  // shared, not copied
    ASSERT_TRUE(doc.FindElem(u"r"));
    const struct {
        const char16_t* child;
        std::u16string_view raw, attrib;
    } cases[] = {
        {u"a", u"x &amp; y<!-- no --><![CDATA[<&>]]>", u"1 &amp; 2"},
        {u"b", u"<c/>", u""},
        {u"e", u"", u""},
        {u"f", u"", u""},
        {u"g", u"plain", u"plain"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(doc.FindChildElem(c.child));
        EXPECT_EQ(doc.GetChildRawContent(), c.raw);
        std::u16string_view attrib;
        EXPECT_EQ(doc.GetChildRawAttrib(u"n", attrib), !c.attrib.empty());
        EXPECT_EQ(attrib, c.attrib);
        std::u16string appended = u"before|";
        doc.AppendChildData(appended);
        EXPECT_EQ(appended, u"before|" + std::u16string(doc.GetChildData().View()));
        appended.clear();
        VnXmlDocument::AppendUnescaped(attrib, appended);
        EXPECT_EQ(appended, doc.GetChildAttrib(u"n").View());
        doc.ResetChildPos();
    }
}
