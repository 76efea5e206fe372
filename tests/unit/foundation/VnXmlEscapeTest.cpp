#include <gtest/gtest.h>

#include "VnXmlDocument.h"

TEST(VnXmlEscape, TextAndAttributeRules) {
    using D = VnXmlDocument;
    EXPECT_EQ(D::Escape(u"a<b>&c\"d'e", D::kEscapeText), u"a&lt;b&gt;&amp;c\"d'e");
    EXPECT_EQ(D::Escape(u"a<b>&c\"d'e", D::kEscapeAttrib), u"a&lt;b&gt;&amp;c&quot;d&apos;e");
    EXPECT_EQ(D::Escape(u"tab\tlf\ncr\r", D::kEscapeAttrib), u"tab\tlf\ncr\r");
    EXPECT_EQ(D::Escape(std::u16string_view(u"\x01\x00\x1f|", 4), D::kEscapeText), u"&#1;&#0;&#31;|");
    EXPECT_EQ(D::Escape(u"plain \u00e9\U0001F600", D::kEscapeAttrib), u"plain \u00e9\U0001F600");
    EXPECT_EQ(D::Escape(u"", D::kEscapeText), u"");
}

TEST(VnXmlEscape, UnescapeResolvesNamedAndNumericReferences) {
    using D = VnXmlDocument;
    EXPECT_EQ(D::Unescape(u"&amp;&lt;&gt;&quot;&apos;"), u"&<>\"'");
    EXPECT_EQ(D::Unescape(u"&#65;&#x42;&#X43;&#0000068;"), u"ABCD");
    EXPECT_EQ(D::Unescape(u"&#x1F600;"), u"\U0001F600");
    EXPECT_EQ(D::Unescape(u"&#1;"), u"\x01");
    // Unknown or malformed references stay as text.
    EXPECT_EQ(D::Unescape(u"&nbsp; &AMP; &#; &#x; &#12a; &#0; &#xD800; &#x110000; & &amp"),
              u"&nbsp; &AMP; &#; &#x; &#12a; &#0; &#xD800; &#x110000; & &amp");
    EXPECT_EQ(D::Unescape(u"&&amp;;"), u"&&;");
    EXPECT_EQ(D::Unescape(u"&#00000000000000000065;"), u"&#00000000000000000065;");
}

TEST(VnXmlEscape, AwkwardTextSurvivesEscapeThenUnescape) {
    using D = VnXmlDocument;
    const std::u16string_view samples[] = {
        u"&amp; is already escaped", u"<tag attr=\"v\">", u"it's \"quoted\"", u"]]> and <![CDATA[",
        std::u16string_view(u"ctl\x01\x02\x1b end", 10), u"\U0001F600 &#65; &lt;", u"&", u";&;"};
    for (std::u16string_view sample : samples) {
        EXPECT_EQ(D::Unescape(D::Escape(sample, D::kEscapeText)), sample);
        EXPECT_EQ(D::Unescape(D::Escape(sample, D::kEscapeAttrib)), sample);
    }
}
