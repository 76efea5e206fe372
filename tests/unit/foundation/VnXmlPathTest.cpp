#include <gtest/gtest.h>

#include "VnXmlDocument.h"

namespace {

constexpr char16_t kInstall[] =
    u"<VNIC>\r\n"
    u"  <Product Name=\"Tunaro\">\r\n"
    u"    <InstallToPath>C:\\Old</InstallToPath>\r\n"
    u"  </Product>\r\n"
    u"  <Product Name='Tunaro Pro' Edition=\"2\">\r\n"
    u"    <InstallToPath>C:\\Pro</InstallToPath>\r\n"
    u"    <Extra><Deep id=\"d1\">one</Deep></Extra>\r\n"
    u"  </Product>\r\n"
    u"  <Deep id=\"d0\">zero</Deep>\r\n"
    u"</VNIC>\r\n";

// Runs a query from the start and returns the found element's text, or
// "(none)".
std::string Query(VnXmlDocument& doc, std::u16string_view path) {
    doc.ResetPos();
    return doc.FindElem(path) ? doc.GetData().ToUtf8() : "(none)";
}

}  // namespace

TEST(VnXmlPath, StarMatchesAnyRootWhileANamedRootMustMatch) {
    VnXmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(kInstall));
    EXPECT_EQ(Query(doc, u"/*/Product/InstallToPath"), "C:\\Old");
    EXPECT_EQ(Query(doc, u"/VNIC/Product/InstallToPath"), "C:\\Old");
    EXPECT_EQ(Query(doc, u"/PMFA/Product/InstallToPath"), "(none)");
    EXPECT_EQ(Query(doc, u"/vnic/Product/InstallToPath"), "(none)");
    EXPECT_EQ(Query(doc, u"/*/Product/Missing"), "(none)");
    // The found element becomes the main position, so reading goes on there.
    doc.ResetPos();
    ASSERT_TRUE(doc.FindElem(u"/*/Product/InstallToPath"));
    EXPECT_EQ(doc.GetTagName(), u"InstallToPath");
    EXPECT_TRUE(doc.OutOfElem());
    EXPECT_EQ(doc.GetAttrib(u"Name"), u"Tunaro");

    doc.SetIgnoreCase(true);
    EXPECT_EQ(Query(doc, u"/vnic/PRODUCT/installtopath"), "C:\\Old");
}

TEST(VnXmlPath, ConditionsSelectAmongSiblings) {
    VnXmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(kInstall));
    EXPECT_EQ(Query(doc, u"/*/Product[2]/InstallToPath"), "C:\\Pro");
    EXPECT_EQ(Query(doc, u"/*/Product[3]/InstallToPath"), "(none)");
    EXPECT_EQ(Query(doc, u"/*/Product[0]/InstallToPath"), "(none)");
    EXPECT_EQ(Query(doc, u"/*/Product[@Edition]/InstallToPath"), "C:\\Pro");
    EXPECT_EQ(Query(doc, u"/*/Product[@Name='Tunaro Pro']/InstallToPath"), "C:\\Pro");
    EXPECT_EQ(Query(doc, u"/*/Product[@Name=\"Tunaro\"]/InstallToPath"), "C:\\Old");
    EXPECT_EQ(Query(doc, u"/*/Product[@Name=Tunaro Pro]/InstallToPath"), "C:\\Pro");
    EXPECT_EQ(Query(doc, u"/*/Product[@Name=tunaro]/InstallToPath"), "(none)");
    EXPECT_EQ(Query(doc, u"/*/Product[Extra]/InstallToPath"), "C:\\Pro");
    EXPECT_EQ(Query(doc, u"/*/Product[Nothing]/InstallToPath"), "(none)");
    // The first element that matches the whole path, backtracking over steps.
    EXPECT_EQ(Query(doc, u"/*/Product/Extra/Deep"), "one");
    // Malformed paths find nothing.
    EXPECT_EQ(Query(doc, u"/*/Product[2"), "(none)");
    EXPECT_EQ(Query(doc, u"/*/"), "(none)");
    EXPECT_EQ(Query(doc, u"/*/Product[@]"), "(none)");
}

TEST(VnXmlPath, DoubleSlashSearchesAtAnyDepth) {
    VnXmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(kInstall));
    EXPECT_EQ(Query(doc, u"//Deep"), "one");  // document order: inside Product comes first
    EXPECT_EQ(Query(doc, u"//Deep[@id=d0]"), "zero");
    EXPECT_EQ(Query(doc, u"/*//Deep[@id='d0']"), "zero");
    EXPECT_EQ(Query(doc, u"/*/Product//Deep"), "one");
    EXPECT_EQ(Query(doc, u"//Product[2]//Deep"), "one");
    EXPECT_EQ(Query(doc, u"//Extra/Deep"), "one");
    EXPECT_EQ(Query(doc, u"//VNIC/Deep"), "zero");
    EXPECT_EQ(Query(doc, u"//Missing//Deep"), "(none)");
}

TEST(VnXmlPath, RelativeStepsContinueFromTheCurrentPosition) {
    VnXmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(u"<r><i n='1'/><i n='2'><v>x</v></i><j/><i n='3'><v>y</v></i></r>"));
    ASSERT_TRUE(doc.FindElem(u"r"));
    ASSERT_TRUE(doc.IntoElem());
    std::string seen;
    while (doc.FindElem(u"i")) seen += doc.GetAttrib(u"n").ToUtf8();
    EXPECT_EQ(seen, "123");

    doc.ResetMainPos();
    ASSERT_TRUE(doc.FindElem(u"i/v"));
    EXPECT_EQ(doc.GetData(), u"x");
    EXPECT_TRUE(doc.OutOfElem());
    ASSERT_TRUE(doc.FindElem(u"i/v"));  // goes on after the second i
    EXPECT_EQ(doc.GetData(), u"y");
    EXPECT_TRUE(doc.OutOfElem());

    doc.ResetMainPos();
    ASSERT_TRUE(doc.FindElem(u"i[@n='3']"));
    EXPECT_FALSE(doc.FindElem(u"i[@n='1']"));  // only siblings after the current one

    doc.ResetPos();
    ASSERT_TRUE(doc.FindElem(u"r"));
    EXPECT_TRUE(doc.FindChildElem(u"i[2]"));
    EXPECT_EQ(doc.GetChildAttrib(u"n"), u"2");
    EXPECT_TRUE(doc.FindChildElem(u"*"));
    EXPECT_EQ(doc.GetChildTagName(), u"j");
    EXPECT_TRUE(doc.FindChildElem(u"i[v]"));
    EXPECT_EQ(doc.GetChildAttrib(u"n"), u"3");
    EXPECT_FALSE(doc.FindChildElem(u"i/v"));
}

TEST(VnXmlPath, DeepSearchStaysPolynomialOnNestedCandidates) {
    // Every d is a candidate for both "//" steps; failing tails are remembered.
    std::u16string text = u"<r>";
    for (int i = 0; i < 3000; ++i) text += u"<d>";
    for (int i = 0; i < 3000; ++i) text += u"</d>";
    text += u"</r>";
    VnXmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(text));
    EXPECT_EQ(Query(doc, u"//d//d//d/missing"), "(none)");
    EXPECT_EQ(Query(doc, u"//d[2999]"), "(none)");
    doc.ResetPos();
    EXPECT_TRUE(doc.FindElem(u"//d//d//d"));
}
