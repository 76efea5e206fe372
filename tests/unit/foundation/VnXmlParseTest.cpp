#include <gtest/gtest.h>

#include <string>

#include "VnXmlDocument.h"

namespace {

std::string ErrorOf(std::u16string_view text) {
    VnXmlDocument doc;
    doc.SetDoc(text);
    return doc.GetError().ToUtf8();
}

}  // namespace

TEST(VnXmlParse, WellFormedDocumentsParseWithoutError) {
    VnXmlDocument doc;
    EXPECT_TRUE(doc.SetDoc(u"<?xml version=\"1.0\"?>\r\n<!DOCTYPE r [ <!ELEMENT r ANY> ]>\r\n<!-- c -->"
                           u"<r a='1' b=\"x>y\" c=bare d><e/><f x = \"1\" ></f><![CDATA[<no>]]><?pi data?></r >"));
    EXPECT_EQ(doc.GetError(), u"");
    EXPECT_TRUE(doc.IsWellFormed());
    EXPECT_TRUE(doc.FindElem(u"r"));
    EXPECT_EQ(doc.GetAttrib(u"b"), u"x>y");
    EXPECT_EQ(doc.GetAttrib(u"c"), u"bare");
    EXPECT_TRUE(doc.HasAttrib(u"d"));
    EXPECT_FALSE(doc.HasAttrib(u"z"));
    EXPECT_TRUE(doc.FindChildElem(u"f"));
    EXPECT_EQ(doc.GetChildAttrib(u"x"), u"1");
}

// Each problem names its kind and offset; problems are joined in order and
// the scan goes on after each.
TEST(VnXmlParse, ProblemsNameKindAndOffset) {
    const std::pair<std::u16string_view, const char*> cases[] = {
        {u"", "Empty document"},
        {u"<!-- only a comment -->", "No root element"},
        {u"  \r\n", "No root element"},
        {u"<a/><b/>", "Root element has sibling"},
        {u"<a/><b/><c/>", "Root element has sibling"},
        {u"<a>< b</a>", "Incorrect tag name character at offset 3"},
        {u"<a><=</a>", "Incorrect tag name character at offset 3"},
        {u"<a></ x></a>", "Incorrect tag name character at offset 3"},
        {u"<a><!ELEMENT x></a>", "Incorrect ! tag at offset 3"},
        {u"<a><!-x></a>", "Incorrect comment tag at offset 3"},
        {u"<a></a><", "tag at offset 7 unterminated"},
        {u"<a></a><!-", "tag at offset 7 unterminated"},
        {u"<a></a><![CDA", "tag at offset 7 unterminated"},
        {u"<a></a><!-- x", "Comment at offset 7 unterminated"},
        {u"<a></a><?pi x", "Processing instruction at offset 7 unterminated"},
        {u"<!DOCTYPE a [ <!ENTITY x \"]>\"> <a/>", "Doctype at offset 0 unterminated, No root element"},
        {u"<a><![CDATA[ x </a>", "CDATA Section at offset 3 unterminated, Element 'a' at offset 0 not ended"},
        {u"<a><b x=\"1></b></a>", "Element tag at offset 3 unterminated, Element 'a' at offset 0 not ended"},
        {u"<a></a", "Element end tag at offset 3 unterminated, Element 'a' at offset 0 not ended"},
        // A start tag cut short by the next tag: the scan resumes at that tag.
        {u"<a><b <c/></a>", "Element tag at offset 3 unterminated"},
        {u"<a>< <!x <!-y</a>",
         "Incorrect tag name character at offset 3, Incorrect ! tag at offset 5, Incorrect comment tag at offset 9"},
        {u"</x><a/>", "No start tag for end tag 'x' at offset 0"},
        {u"<a><b></a>",
         "End tag 'a' at offset 6 does not match start tag 'b' at offset 3, Element 'b' at offset 3 not ended"},
        {u"<a><b></c></b></a>", "End tag 'c' at offset 6 does not match start tag 'b' at offset 3"},
        {u"<a><b><c>",
         "Element 'c' at offset 6 not ended, Element 'b' at offset 3 not ended, Element 'a' at offset 0 not ended"},
        {u"<a><b>", "Element 'b' at offset 3 not ended, Element 'a' at offset 0 not ended"},
    };
    for (const auto& [text, error] : cases) EXPECT_EQ(ErrorOf(text), error) << VnString(text).ToUtf8();
}

TEST(VnXmlParse, NamesCompareExactlyUnlessCaseIsIgnored) {
    VnXmlDocument doc;
    EXPECT_FALSE(doc.SetDoc(u"<Root></ROOT>"));
    EXPECT_EQ(doc.GetError(), u"End tag 'ROOT' at offset 6 does not match start tag 'Root' at offset 0, "
                              u"Element 'Root' at offset 0 not ended");
    doc.SetIgnoreCase(true);
    EXPECT_TRUE(doc.SetDoc(u"<Root><Item/></ROOT>"));
    EXPECT_TRUE(doc.FindElem(u"rOOt"));
    EXPECT_TRUE(doc.FindChildElem(u"ITEM"));
}

TEST(VnXmlParse, FailedParseCanStillBeNavigated) {
    VnXmlDocument doc;
    EXPECT_FALSE(doc.SetDoc(u"<first><x>1</x></first><second/>"));
    EXPECT_EQ(doc.GetError(), u"Root element has sibling");
    EXPECT_FALSE(doc.IsWellFormed());
    EXPECT_TRUE(doc.FindElem());
    EXPECT_EQ(doc.GetTagName(), u"first");
    EXPECT_EQ(doc.GetChildData(u"x"), u"1");
    EXPECT_TRUE(doc.FindElem());
    EXPECT_EQ(doc.GetTagName(), u"second");

    EXPECT_FALSE(doc.SetDoc(u"<a><b><c>text</c>"));
    EXPECT_TRUE(doc.FindElem(u"a"));
    EXPECT_TRUE(doc.IntoElem());
    EXPECT_TRUE(doc.FindElem(u"b"));
    EXPECT_EQ(doc.GetChildData(u"c"), u"text");
}

TEST(VnXmlParse, DeepNestingAndLargeTablesNeedNoRecursion) {
    constexpr int kDepth = 200000;
    std::u16string text;
    for (int i = 0; i < kDepth; ++i) text += u"<d>";
    text += u"x";
    for (int i = 0; i < kDepth; ++i) text += u"</d>";
    VnXmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(text));
    EXPECT_GT(doc.GetElemTable().GetSegmentCount(), 2u);
    EXPECT_FALSE(doc.FindElem(u"//d[@never]"));
    int depth = 0;
    while (doc.FindChildElem(u"d")) {
        doc.IntoElem();
        ++depth;
    }
    EXPECT_EQ(depth, kDepth - 1);
    EXPECT_EQ(doc.GetData(), u"x");

    // Unclosed at the end: every element is reported, still without recursion.
    text.resize(size_t(kDepth) * 3);
    EXPECT_FALSE(doc.SetDoc(text));
    EXPECT_TRUE(doc.GetError().EndsWith(u", ..."));
}

TEST(VnXmlParse, StrayEndTagsUnderDeepNestingStayCheap) {
    // Each stray end tag looks for a matching open element; the search work is
    // bounded so that this stays linear. The problem list is capped.
    constexpr int kCount = 100000;
    std::u16string text;
    for (int i = 0; i < kCount; ++i) text += u"<a>";
    for (int i = 0; i < kCount; ++i) text += u"</b>";
    for (int i = 0; i < kCount; ++i) text += u"</a>";
    VnXmlDocument doc;
    EXPECT_TRUE(doc.SetDoc(text));  // the root is ended properly
    EXPECT_TRUE(doc.GetError().StartsWith(
        VnString::Format(u"End tag 'b' at offset %d does not match start tag 'a' at offset %d", kCount * 3, kCount * 3 - 3)));
    EXPECT_TRUE(doc.GetError().EndsWith(u", ..."));
    EXPECT_LT(doc.GetError().GetLength(), 200000);
    // The a elements themselves were all closed by their own end tags.
    ASSERT_TRUE(doc.FindElem(u"a"));
    EXPECT_FALSE(doc.GetElemTable().At(doc.GetElemIndex()).flags & VnXmlElemRecord::kNotEnded);
}

TEST(VnXmlParse, ElementTableStartsSmallAndGrowsByHalf) {
    VnXmlElemTable table;
    table.Reset(10);
    EXPECT_EQ(table.GetCapacity(), 10u);
    for (int i = 0; i < 9; ++i) table.Add();
    table.Add();
    EXPECT_EQ(table.GetCapacity(), 15u);
    for (uint32_t i = 0; i < 200000; ++i) table.At(table.Add()).start = int32_t(i);
    EXPECT_EQ(table.At(11).start, 0);
    EXPECT_EQ(table.At(11 + 150000).start, 150000);
    EXPECT_EQ(table.GetSegmentCount(), (table.GetCapacity() + 65535) / 65536);
    VnXmlElemTable copy(table);
    EXPECT_EQ(copy.At(11 + 199999).start, 199999);
}

// Success depends only on one properly ended root; every problem is still in
// the error text.
TEST(VnXmlParse, SucceedsExactlyWithOneProperlyEndedRoot) {
    struct Case {
        std::u16string_view text;
        bool succeeds;
    };
    const Case cases[] = {
        {u"<VNIC><Settings></x></Settings></VNIC>", true},  // a stray end tag inside the root
        {u"<a><b></a>", true},                               // a child never ended
        {u"<a>< b</a>", true},                               // bad markup inside the root
        {u"</x><a/>", true},                                 // a stray end tag before the root
        {u"<a></a><!-- x", true},                            // unterminated markup after the root
        {u"", false},
        {u"<!-- only a comment -->", false},
        {u"<a/><b/>", false},
        {u"<a><b></b>", false},    // the root itself never ended
        {u"<Root></ROOT>", false},  // nor here: the end tag names another element
    };
    for (const Case& c : cases) {
        VnXmlDocument doc;
        EXPECT_EQ(doc.SetDoc(c.text), c.succeeds) << VnString(c.text).ToUtf8();
        EXPECT_EQ(doc.GetError().IsEmpty(), false) << VnString(c.text).ToUtf8();
    }
}
