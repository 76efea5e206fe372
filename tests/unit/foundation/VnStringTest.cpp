#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "VnArray.h"
#include "VnCharSearch.h"
#include "VnString.h"

TEST(VnString, CopiesShareUntilOneIsChanged) {
    VnString a(u"Playmoor");
    VnString b = a;
    EXPECT_EQ(a.DataIdentity(), b.DataIdentity());
    EXPECT_EQ(a.GetRefCount(), 2);
    b.Append(u"\\Skins");
    EXPECT_NE(a.DataIdentity(), b.DataIdentity());
    EXPECT_EQ(a, u"Playmoor");
    EXPECT_EQ(b, u"Playmoor\\Skins");
    EXPECT_EQ(a.GetRefCount(), 1);

    VnString c = a;
    c.SetAt(0, u'p');
    c.MakeUpper();
    EXPECT_EQ(a, u"Playmoor");
    EXPECT_EQ(c, u"PLAYMOOR");

    VnString d = a;
    d.Trim();  // nothing to trim: still shared
    EXPECT_EQ(a.DataIdentity(), d.DataIdentity());
}

TEST(VnString, LiteralsAreNeverCountedOrFreed) {
    VnString a = VN_LIT(u"Varnel Installer");
    EXPECT_EQ(a.GetRefCount(), kVnLiteralRefs);
    for (int i = 0; i < 1000; ++i) {
        VnString copy = a;
        EXPECT_EQ(copy.DataIdentity(), a.DataIdentity());
    }
    EXPECT_EQ(a.GetRefCount(), kVnLiteralRefs);
    VnString again = VN_LIT(u"Varnel Installer");
    EXPECT_EQ(again, u"Varnel Installer");
    a.Append(u"!");  // writing copies away from the literal
    EXPECT_EQ(a.GetRefCount(), 1);
    EXPECT_EQ(again.GetRefCount(), kVnLiteralRefs);

    VnString e1, e2;
    EXPECT_EQ(e1.DataIdentity(), e2.DataIdentity());  // the shared empty buffer
}

TEST(VnString, LockedBufferIsNotShared) {
    VnString a(u"abc");
    char16_t* buffer = a.GetBuffer(10);
    EXPECT_EQ(a.GetRefCount(), kVnLockedRefs);
    VnString copy = a;
    EXPECT_NE(copy.DataIdentity(), a.DataIdentity());
    buffer[3] = u'd';
    buffer[4] = 0;
    a.ReleaseBuffer();
    EXPECT_EQ(a, u"abcd");
    EXPECT_EQ(copy, u"abc");
    EXPECT_EQ(a.GetRefCount(), 1);
}

TEST(VnString, CaseFoldingAboveAsciiAndAbove255) {
    EXPECT_EQ(VnString(u"PROGRAM FILES").CompareNoCase(u"program files"), 0);
    EXPECT_EQ(VnString(u"\u00C9T\u00C9").CompareNoCase(u"\u00E9t\u00E9"), 0);    // Latin-1 through the table
    EXPECT_EQ(VnString(u"\u0416\u0410").CompareNoCase(u"\u0436\u0430"), 0);        // Cyrillic, platform lower-case
    EXPECT_NE(VnString(u"\u00D7").CompareNoCase(u"\u00F7"), 0);                    // multiply and divide signs differ
    EXPECT_LT(VnString(u"abc").CompareNoCase(u"ABD"), 0);
    EXPECT_EQ(VnString::CompareNoCase(u"SilentXYZ", u"silent", 6), 0);
    EXPECT_NE(VnString::CompareNoCase(u"Sil", u"silent", 6), 0);
    EXPECT_TRUE(VnString(u"C:\\Programme\\TUNARO").EndsWithNoCase(u"\\tunaro"));
}

TEST(VnString, TrimByCharacterClass) {
    VnString s(u" \t\u00A0value\r\n\u3000");
    s.Trim();
    EXPECT_EQ(s, u"value");
    VnString folder(u"C:\\Dir\\\\\\");
    folder.TrimRight(u'\\');
    EXPECT_EQ(folder, u"C:\\Dir");
    VnString blank(u"   ");
    blank.Trim();
    EXPECT_TRUE(blank.IsEmpty());
}

TEST(VnString, FormatsStringsAndIntegers) {
    EXPECT_EQ(VnString::Format(u"Rights Check (%I64d)", 1234567890123LL), u"Rights Check (1234567890123)");
    EXPECT_EQ(VnString::Format(u"Varnel Process v%d (%d)", 1, -42), u"Varnel Process v1 (-42)");
    EXPECT_EQ(VnString::Format(u"%s|%s", VnString(u"a"), u"b"), u"a|b");
    EXPECT_EQ(VnString::Format(u"[%5d][%-4s][%05d][%08X]", 42, u"ab", -3, 0xBEEFu), u"[   42][ab  ][-0003][0000BEEF]");
    EXPECT_EQ(VnString::Format(u"%d%%", 100), u"100%");
    EXPECT_EQ(VnString::Format(u"%d.%d.%d", 33), u"33..");  // missing arguments write nothing
    EXPECT_EQ(VnString::Format(u"%d", 4294967297LL), u"1");  // %d is 32 bits
}

TEST(VnString, SplitKeepsEmptyPieces) {
    VnStringArray parts = VnStringArray::Split(u"/Silent//NoRun/", u"/");
    ASSERT_EQ(parts.GetSize(), 5);
    EXPECT_EQ(parts.Join(u"|"), u"|Silent||NoRun|");
    EXPECT_EQ(VnStringArray::Split(u"", u";").GetSize(), 1);
    EXPECT_EQ(VnStringArray::Split(u"a;;b", u";").Join(u"+"), u"a++b");
}

TEST(VnString, NumbersAndUtf8) {
    EXPECT_EQ(VnString::ParseInt(u"  -17abc"), -17);
    EXPECT_EQ(VnString::ParseInt(u"abc"), 0);
    EXPECT_EQ(VnString::ParseInt(u"99999999999"), 2147483647);
    EXPECT_EQ(VnString::ParseInt64(u"9000000000"), 9000000000LL);
    VnString text = VnString::FromUtf8("Gr\xC3\xBC\xC3\x9F\x65 \xF0\x9F\x8E\xB5");
    EXPECT_EQ(text.GetLength(), 8);
    EXPECT_EQ(text.ToUtf8(), "Gr\xC3\xBC\xC3\x9F\x65 \xF0\x9F\x8E\xB5");
    EXPECT_EQ(VnString::FromUtf8("\xFF\xC3").GetLength(), 2);  // broken bytes become replacement characters
    // A surrogate written as three bytes is broken too, so the text reads back the same.
    const VnString surrogate = VnString::FromUtf8("\xED\xED\xA1\xA1");
    EXPECT_EQ(surrogate.View(), std::u16string(4, u'\uFFFD'));
    EXPECT_EQ(VnString::FromUtf8(surrogate.ToUtf8()), surrogate);
    // Appending keeps what is there; three-byte characters fill the room the writer sets aside,
    // and a lone surrogate at the end is written as a replacement character.
    std::string appended = "x";
    const char16_t euros[] = {0x20AC, 0x20AC, 0xD800};
    VnString(std::u16string_view(euros, 3)).AppendUtf8(appended);
    EXPECT_EQ(appended, "x\xE2\x82\xAC\xE2\x82\xAC\xEF\xBF\xBD");
    EXPECT_TRUE(VnString::FromUtf8("").IsEmpty());
}

TEST(VnString, ReferenceCountIsSafeAcrossThreads) {
    VnString shared(u"shared between threads");
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t)
        threads.emplace_back([&shared] {
            for (int i = 0; i < 100000; ++i) {
                VnString copy = shared;
                if (i % 1000 == 0) copy.Append(u"x");
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(shared.GetRefCount(), 1);
    EXPECT_EQ(shared, u"shared between threads");
}

#include "VnMap.h"
#include "VnSort.h"

// Find and Replace against the standard library's own search, with matches on
// either side of the eight-character steps the search takes.
TEST(VnString, FindAndReplaceMatchTheStandardSearch) {
    const std::u16string text = u"abcdefg|[X]ijklmno[X]|[X][X]qrstuvw[";
    std::u16string swappedCase = text;
    for (char16_t& c : swappedCase) c = (c >= u'a' && c <= u'z') ? char16_t(c - 32) : (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    const std::u16string needles[] = {u"|", u"[X]", u"[", u"w[", u"[Y]", u"abcdefg|[X]ijklmno[X]|[X][X]qrstuvw[!",
                                      u"a", u"]|["};
    for (const std::u16string& needle : needles) {
        for (size_t from = 0; from <= text.size() + 1; ++from) {
            const size_t expected = text.find(needle, from);
            EXPECT_EQ(VnString(text).Find(needle, int32_t(from)),
                      expected == std::u16string::npos ? -1 : int32_t(expected));
            EXPECT_EQ(VnString(swappedCase).FindNoCase(needle, int32_t(from)),
                      expected == std::u16string::npos ? -1 : int32_t(expected));
            if (needle.size() == 1 && from < text.size()) {
                const size_t one = text.find(needle[0], from);
                EXPECT_EQ(VnString(text).Find(needle[0], int32_t(from)), one == std::u16string::npos ? -1 : int32_t(one));
            }
        }
        if (needle.size() <= 4) {
            std::vector<size_t> expectedPlaces, places;
            for (size_t at = text.find_first_of(needle); at != std::u16string::npos; at = text.find_first_of(needle, at + 1))
                expectedPlaces.push_back(at);
            VnForEachOneOf(text, needle, [&](size_t at) { places.push_back(at); });
            EXPECT_EQ(places, expectedPlaces);
        }
        std::u16string replaced = text;
        int count = 0;
        for (size_t at = replaced.find(needle); at != std::u16string::npos; at = replaced.find(needle, at + 2), ++count)
            replaced.replace(at, needle.size(), u"<>");
        VnString edited(text);
        EXPECT_EQ(edited.Replace(needle, u"<>"), count);
        EXPECT_EQ(edited.View(), replaced);
    }
    // A needle longer than the search's own buffer.
    EXPECT_EQ(VnString(text + text + text).FindNoCase(swappedCase + swappedCase, 1), int32_t(text.size()));
}

TEST(VnContainers, MapsAndListsHonourCaseSensitivity) {
    VnStringMap<int, false> folded;
    folded.SetAt(VnString(u"Silent"), 1);
    folded.SetAt(VnString(u"SILENT"), 2);
    EXPECT_EQ(folded.GetCount(), 1);
    EXPECT_EQ(*folded.Find(VnString(u"silent")), 2);
    VnStringMap<int, true> exact;
    exact.SetAt(VnString(u"\u00C9t\u00E9"), 1);
    EXPECT_EQ(exact.Find(VnString(u"\u00E9t\u00E9")), nullptr);

    VnStringUniqueList unique(true);
    EXPECT_EQ(unique.Add(VnString(u"C:\\A\\")), 0);
    EXPECT_EQ(unique.Add(VnString(u"c:\\a\\")), 0);
    EXPECT_EQ(unique.Add(VnString(u"C:\\B\\")), 1);
    EXPECT_EQ(unique.GetSize(), 2);

    VnStringArray names{VnString(u"beta"), VnString(u"Alpha"), VnString(u"gamma")};
    VnStringArraySort::Sort(names);
    EXPECT_EQ(names.Join(u","), u"Alpha,beta,gamma");
    VnStringArraySort::Sort(names, false);
    EXPECT_EQ(names.Join(u","), u"Alpha,beta,gamma");
    VnStringArraySort::Sort(names, true, true);
    EXPECT_EQ(names.Join(u","), u"gamma,beta,Alpha");

    struct Counted {
        int* deaths;
        ~Counted() { ++*deaths; }
    };
    int deaths = 0;
    {
        VnArray<Counted, true> owned;
        owned.Add(new Counted{&deaths});
        owned.Add(new Counted{&deaths});
        owned.RemoveAt(0);
        EXPECT_EQ(deaths, 1);
        delete owned.Detach(0);
        EXPECT_EQ(deaths, 2);
        owned.Add(new Counted{&deaths});
    }
    EXPECT_EQ(deaths, 3);
}
