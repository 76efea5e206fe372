#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "VnPropertyMap.h"

TEST(VnPropertyMap, TypedGettersFallBackToTheDefaultAndReadBadTextAsZero) {
    VnPropertyMap map;
    EXPECT_EQ(map.GetString(u"Volume", u"fallback"), u"fallback");
    EXPECT_EQ(map.GetInt(u"Volume", -7), -7);
    EXPECT_EQ(map.GetLong(u"Volume", 9), 9);
    EXPECT_EQ(map.GetInt64(u"Volume", 1LL << 40), 1LL << 40);
    EXPECT_EQ(map.GetDouble(u"Volume", 0.25), 0.25);
    EXPECT_EQ(map.GetFloat(u"Volume", 1.5f), 1.5f);

    for (const char16_t* bad : {u"abc", u""}) {  // present but unparsable, or empty: not missing
        map.SetString(u"Volume", bad);
        EXPECT_EQ(map.GetString(u"Volume", u"fallback"), bad);
        EXPECT_EQ(map.GetInt(u"Volume", 42), 0);
        EXPECT_EQ(map.GetLong(u"Volume", 42), 0);
        EXPECT_EQ(map.GetInt64(u"Volume", 42), 0);
        EXPECT_EQ(map.GetDouble(u"Volume", 2.5), 0.0);
        EXPECT_EQ(map.GetFloat(u"Volume", 2.5f), 0.0f);
    }
    map.SetString(u"Huge", u"99999999999");
    EXPECT_EQ(map.GetInt(u"Huge"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(map.GetInt64(u"Huge"), 99999999999LL);
    map.SetDouble(u"BeyondFloat", 1e300);
    EXPECT_EQ(map.GetFloat(u"BeyondFloat", 3.0f), 0.0f);
    map.SetDouble(u"Infinite", std::numeric_limits<double>::infinity());
    EXPECT_EQ(map.GetDouble(u"Infinite", 3.0), 0.0);
}

TEST(VnPropertyMap, TypedSettersStoreDecimalText) {
    VnPropertyMap map;
    map.SetInt(u"Width", -640);
    map.SetLong(u"Height", 480);
    map.SetInt64(u"Size", std::numeric_limits<int64_t>::min());
    map.SetDouble(u"Gain", 1.0);
    map.SetDouble(u"Ratio", 0.1);
    map.SetDouble(u"Big", 1e300);
    map.SetFloat(u"Balance", -0.75f);
    const std::pair<const char16_t*, const char16_t*> stored[] = {
        {u"Width", u"-640"}, {u"Height", u"480"}, {u"Size", u"-9223372036854775808"}, {u"Gain", u"1.0"},
        {u"Ratio", u"0.1"},  {u"Big", u"1e+300"}, {u"Balance", u"-0.75"}};
    for (const auto& [key, text] : stored) EXPECT_EQ(map.GetString(key), text) << VnString(key).ToUtf8();
    EXPECT_EQ(map.GetInt64(u"Size"), std::numeric_limits<int64_t>::min());

    // Every finite value reads back exactly, the extremes included.
    for (float f : {std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest(),
                    std::numeric_limits<float>::denorm_min()}) {
        map.SetFloat(u"f", f);
        EXPECT_EQ(map.GetFloat(u"f"), f) << map.GetString(u"f").ToUtf8();
    }
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        uint64_t bits = random();
        double d;
        float f;
        std::memcpy(&d, &bits, sizeof d);
        std::memcpy(&f, &bits, sizeof f);
        if (std::isfinite(d)) {
            map.SetDouble(u"d", d);
            ASSERT_EQ(map.GetDouble(u"d"), d) << map.GetString(u"d").ToUtf8();
        }
        if (std::isfinite(f)) {
            map.SetFloat(u"f", f);
            ASSERT_EQ(map.GetFloat(u"f"), f) << map.GetString(u"f").ToUtf8();
        }
    }
}

TEST(VnPropertyMap, KeysIgnoreCaseAndEmptyValuesRemoveOnlyWithTheFlag) {
    // Counts removals to show that the flag removes through RemoveKey.
    struct CountingMap : VnPropertyMap {
        int removals = 0;
        bool RemoveKey(const VnString& key) override {
            ++removals;
            return VnPropertyMap::RemoveKey(key);
        }
    } map;
    map.SetString(u"Skin", u"Standard View");
    map.SetString(u"SKIN", u"Compact");
    EXPECT_EQ(map.GetCount(), 1);
    EXPECT_EQ(map.GetString(u"skin"), u"Compact");
    EXPECT_EQ(map.GetKeys()[0], u"Skin");  // the first spelling stays

    map.SetString(u"skin", u"", false);
    EXPECT_TRUE(map.Exists(u"Skin"));
    map.SetString(u"sKiN", u"", true);
    EXPECT_FALSE(map.Exists(u"Skin"));
    EXPECT_EQ(map.removals, 1);
    map.SetString(u"Never", u"", true);  // removing a missing key is harmless
    EXPECT_EQ(map.GetCount(), 0);
    EXPECT_FALSE(map.RemoveKey(u"Skin"));
}

TEST(VnPropertyMap, EnumerationMergeCopyAndComparison) {
    VnPropertyMap a;
    a.SetString(u"beta", u"2");
    a.SetString(u"Alpha", u"1");
    a.SetString(u"gamma", u"3");
    VnString visited;
    a.ForEachEntry([&](const VnString& key, const VnString& value) { visited += key + u"=" + value + u";"; });
    EXPECT_EQ(visited, u"Alpha=1;beta=2;gamma=3;");

    VnPropertyMap b;
    b.SetString(u"ALPHA", u"one");
    b.SetString(u"delta", u"4");
    VnPropertyMap keep = a, replace = a;
    EXPECT_EQ(keep.Merge(b, false), 1);
    EXPECT_EQ(keep.GetString(u"alpha"), u"1");
    EXPECT_EQ(keep.GetString(u"delta"), u"4");
    EXPECT_EQ(replace.Merge(b), 2);
    EXPECT_EQ(replace.GetString(u"alpha"), u"one");

    VnPropertyMap copy;
    copy.SetString(u"stale", u"x");
    copy.CopyFrom(a);
    EXPECT_TRUE(copy.IsEqual(a));
    copy.SetString(u"beta", u"two");
    EXPECT_FALSE(copy.IsEqual(a));
    EXPECT_EQ(a.GetString(u"beta"), u"2");  // copies do not share entries
    copy.RemoveAll();
    EXPECT_TRUE(copy.IsEqual(VnPropertyMap()));
}

TEST(VnPropertyMap, DumpWritesOneLinePerEntryInKeyOrder) {
    VnPropertyMap map;
    EXPECT_EQ(map.Dump(), u"");
    map.SetString(u"Skin", u"Standard View");
    map.SetInt(u"AutoPlay", 1);
    map.SetString(u"Empty", u"");
    EXPECT_EQ(map.Dump(u"  "), u"  AutoPlay: 1\r\n  Empty: \r\n  Skin: Standard View\r\n");
}

TEST(VnPropertyMap, XmlFormHasTheDocumentedShape) {
    VnPropertyMap map;
    EXPECT_EQ(map.SaveXML(), u"<XMLPH version=\"1.0\"></XMLPH>");
    map.SetString(u"Key \"1\" <'&'>", u"Value \"1\" <'&'>\x01");
    map.SetInt(u"Count", 3);
    EXPECT_EQ(map.SaveXML(u"Settings"),
              u"<Settings version=\"1.0\"><Item Name=\"Count\">3</Item>"
              u"<Item Name=\"Key &quot;1&quot; &lt;&apos;&amp;&apos;&gt;\">Value \"1\" &lt;'&amp;'&gt;&#1;</Item>"
              u"</Settings>");
}

TEST(VnPropertyMap, XmlFormRoundTripsAwkwardText) {
    VnPropertyMap map;
    map.SetString(u"Quotes \"double\" 'single'", u"\"double\" 'single'");
    map.SetString(u"Markup <&>", u"a < b && c > d; &amp; is literal");
    map.SetString(u"Controls\x01\t\r\n", u"\x01\x02\x1f tab\t lf\n cr\r crlf\r\n");
    map.SetString(u"Non-ASCII \x00e9\x4eac", u"\x00e9t\x00e9 \x6771\x4eac \xd83c\xdfb5 \xfffd");
    map.SetString(u"Empty", u"");
    map.SetString(u"", u"value of the empty key");
    map.SetString(u"  Padded  ", u"  leading and trailing  ");
    map.SetString(u"Entity-like", u"&#65; &lt; &unknown; & ]]> <![CDATA[ x ]]> <!-- c -->");
    VnPropertyMap read;
    read.SetString(u"Stale", u"replaced by the load");
    ASSERT_TRUE(read.LoadXML(map.SaveXML(u"Other"))) << map.SaveXML().ToUtf8();
    EXPECT_TRUE(read.IsEqual(map)) << read.Dump().ToUtf8();
    EXPECT_EQ(read.GetLoadedVersion(), 1.0);
}

TEST(VnPropertyMap, LoadXmlReadsItemsAndRejectsBrokenText) {
    VnPropertyMap map;
    ASSERT_TRUE(map.LoadXML(u"<?xml version=\"1.0\"?>\r\n<XMLPH version=\"2.5\">\r\n"
                            u"  <Item Name=\"A\">1</Item>\r\n"
                            u"  <Item>no name: skipped</Item>\r\n"
                            u"  <Other Name=\"B\">not an item</Other>\r\n"
                            u"  <Item Name=\"a\">2</Item>\r\n"  // same key in another case: the later value
                            u"  <Item Name=\"C\"/>\r\n"
                            u"  <Item Name=\"D\"><![CDATA[<raw & text>]]></Item>\r\n"
                            u"</XMLPH>"));
    EXPECT_EQ(map.GetLoadedVersion(), 2.5);
    EXPECT_EQ(map.Dump(), u"A: 2\r\nC: \r\nD: <raw & text>\r\n");

    using namespace std::string_view_literals;
    for (std::u16string_view broken : {u""sv, u"<XMLPH version=\"1.0\"><Item Name=\"A\">1</Item>"sv,
                                       u"<XMLPH version=\"1.0\"></XMLPH><XMLPH/>"sv, u"plain text"sv,
                                       u"<XMLPH version=\"1.0\">\0</XMLPH>"sv}) {  // the text ends at a NUL
        EXPECT_FALSE(map.LoadXML(VnString(broken))) << VnString(broken).ToUtf8();
        EXPECT_EQ(map.GetCount(), 3);  // left as it was
    }
    ASSERT_TRUE(map.LoadXML(u"<R/>"));  // no version, no items
    EXPECT_EQ(map.GetCount(), 0);
    EXPECT_EQ(map.GetLoadedVersion(), 0.0);
}
