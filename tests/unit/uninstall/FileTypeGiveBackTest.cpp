// The file type give-back on its own: which keys get their earlier owner
// back from the product's backup values, and which are left alone.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "AssociationGiveBack.h"
#include "SimTestMachine.h"

namespace {

constexpr char16_t kClasses[] = u"Software\\Classes\\";

struct Value {
    const char16_t* key;  // below HKLM "Software\Classes" (HKCU "...\FileExts\" for keys starting "FileExts\")
    const char16_t* name;
    VnRegValue value;
};

VnRegValue S(const char16_t* text) { return VnRegValue::String(text); }

TEST(FileTypeGiveBackTest, GivesBackWhatStillNamesTheProductAndNothingElse) {
    const VnString feed = u"\"C:\\Apps\\Tunaro\\Tunaro Launcher.exe\" /Protocol \"%L\"";
    const struct {
        const char* what;
        std::vector<Value> before;
        std::vector<Value> after;  // every value the key holds afterwards ("" key: deleted)
        bool givenBack;
    } cases[] = {
        {"an extension with backups",
         {{u".mp3", u"", S(u"Tunaro.33.0.44.File")}, {u".mp3", u"Tunaro.33.0.44.Default.BAK", S(u"Other.mp3")},
          {u".mp3", u"PerceivedType", S(u"")}, {u".mp3", u"Tunaro.33.0.44.PerceivedType.BAK", VnRegValue::Dword(2)},
          {u".mp3", u"Content Type", S(u"")}, {u".mp3", u"Tunaro.33.0.44.ContentType.BAK", S(u"audio/mpeg")}},
         {{u".mp3", u"", S(u"Other.mp3")}, {u".mp3", u"PerceivedType", VnRegValue::Dword(2)},
          {u".mp3", u"Content Type", S(u"audio/mpeg")}},
         true},
        {"an extension nobody owned before: the key goes",
         {{u".ogg", u"", S(u"Tunaro.33.0.44.File")}, {u".ogg", u"PerceivedType", S(u"")},
          {u".ogg", u"Content Type", S(u"")}},
         {},
         true},
        {"an extension another program took since",
         {{u".flac", u"", S(u"Another.flac")}, {u".flac", u"Tunaro.33.0.44.Default.BAK", S(u"Other.flac")}},
         {{u".flac", u"", S(u"Another.flac")}, {u".flac", u"Tunaro.33.0.44.Default.BAK", S(u"Other.flac")}},
         false},
        {"an upgrade's backup of the earlier version: the first foreign owner wins",
         {{u".wav", u"", S(u"Tunaro.33.0.44.File")}, {u".wav", u"Tunaro.33.0.40.Default.BAK", S(u"Other.wav")},
          {u".wav", u"Tunaro.33.0.44.Default.BAK", S(u"Tunaro.33.0.40.File")}},
         {{u".wav", u"", S(u"Other.wav")}},
         true},
        {"a MIME type pointing at an extension of ours",
         {{u".m4a", u"", S(u"Tunaro.33.0.44.File")},
          {u"MIME\\Database\\Content Type\\audio/mp4", u"Extension", S(u".m4a")},
          {u"MIME\\Database\\Content Type\\audio/mp4", u"Tunaro.33.0.44.Extension.BAK", S(u".mp4")},
          {u"MIME\\Database\\Content Type\\audio/mp4", u"Tunaro.33.0.44.CLSID.BAK", S(u"{CD3AFA8F}")}},
         {{u"MIME\\Database\\Content Type\\audio/mp4", u"Extension", S(u".mp4")},
          {u"MIME\\Database\\Content Type\\audio/mp4", u"CLSID", S(u"{CD3AFA8F}")}},
         true},
        {"a MIME type made for an extension of ours",
         {{u".m4b", u"", S(u"Tunaro.33.0.44.File")}, {u"MIME\\Database\\Content Type\\audio/m4b", u"Extension", S(u".m4b")}},
         {},
         true},
        {"a MIME type another program pointed elsewhere",
         {{u"MIME\\Database\\Content Type\\audio/x", u"Extension", S(u".xx")},
          {u"MIME\\Database\\Content Type\\audio/x", u"Tunaro.33.0.44.Extension.BAK", S(u".x")}},
         {{u"MIME\\Database\\Content Type\\audio/x", u"Extension", S(u".xx")},
          {u"MIME\\Database\\Content Type\\audio/x", u"Tunaro.33.0.44.Extension.BAK", S(u".x")}},
         false},
        {"a protocol whose command still starts the program",
         {{u"feed", u"", S(u"URL: feed Protocol")}, {u"feed", u"Tunaro.33.0.44.Default.BAK", S(u"URL:Feed")},
          {u"feed", u"URL Protocol", S(u"")}, {u"feed", u"Tunaro.33.0.44.URLProtocol.BAK", S(u"x")},
          {u"feed\\shell\\open\\command", u"", VnRegValue::String(feed)},
          {u"feed\\shell\\open\\command", u"Tunaro.33.0.44.Default.BAK", S(u"reader.exe %1")}},
         {{u"feed", u"", S(u"URL:Feed")}, {u"feed", u"URL Protocol", S(u"x")},
          {u"feed\\shell\\open\\command", u"", S(u"reader.exe %1")}},
         true},
        {"a protocol another program starts now",
         {{u"pcast", u"", S(u"URL: pcast Protocol")}, {u"pcast", u"Tunaro.33.0.44.Default.BAK", S(u"URL:Pcast")},
          {u"pcast\\shell\\open\\command", u"", S(u"other.exe %1")}},
         {{u"pcast", u"", S(u"URL: pcast Protocol")}, {u"pcast", u"Tunaro.33.0.44.Default.BAK", S(u"URL:Pcast")},
          {u"pcast\\shell\\open\\command", u"", S(u"other.exe %1")}},
         false},
        {"the user's Explorer choice",
         {{u"FileExts\\.aac", u"Progid", S(u"Tunaro.33.0.44.File")},
          {u"FileExts\\.aac", u"Tunaro.33.0.44.Progid.BAK", S(u"Other.aac")}},
         {{u"FileExts\\.aac", u"Progid", S(u"Other.aac")}},
         true},
    };
    for (const auto& c : cases) {
        SimTestMachine sim;
        auto place = [](const Value& v, VnRegRoot& root) {
            const VnString key = v.key;
            if (key.StartsWith(u"FileExts\\")) {
                root = VnRegRoot::CurrentUser;
                return u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\" + key;
            }
            root = VnRegRoot::LocalMachine;
            return VnString(kClasses) + key;
        };
        for (const Value& v : c.before) {
            VnRegRoot root;
            const VnString key = place(v, root);
            sim.SetValue(root, key, v.name, v.value);
        }
        const FileTypeGiveBackResult result = GiveBackFileTypes({u"Tunaro.", u"C:\\Apps\\Tunaro\\", u".pmr"});
        EXPECT_EQ(result.givenBack > 0, c.givenBack) << c.what;
        EXPECT_EQ(result.leftAlone > 0, !c.givenBack) << c.what;
        // Every key of the case holds exactly the expected values.
        std::vector<VnString> keys;
        for (const Value& v : c.before)
            if (std::find(keys.begin(), keys.end(), VnString(v.key)) == keys.end()) keys.push_back(v.key);
        for (const VnString& key : keys) {
            std::vector<NamedValue> expected;
            for (const Value& v : c.after) {
                if (key != v.key) continue;
                expected.push_back({VnString(v.name).ToUtf8(), v.value.type,
                                    v.value.type == vnwin::kRegDword ? std::to_string(v.value.number)
                                                                     : v.value.text.ToUtf8()});
            }
            VnRegRoot root;
            const Value probe{key.c_str(), u"", {}};
            const VnString path = place(probe, root);
            std::vector<NamedValue> actual = sim.Values(root, path);
            std::sort(expected.begin(), expected.end(), [](auto& a, auto& b) { return a.name < b.name; });
            std::sort(actual.begin(), actual.end(), [](auto& a, auto& b) { return a.name < b.name; });
            EXPECT_EQ(actual, expected) << c.what << ": " << key.ToUtf8();
            if (expected.empty() && key.StartsWith(u".")) { EXPECT_FALSE(sim.KeyExists(root, path)) << c.what; }
        }
    }
}

}  // namespace

#endif
