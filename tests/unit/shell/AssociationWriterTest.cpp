// The association writer: registry states before and after each operation
// (ownership, backups, the first foreign owner kept, values of unexpected
// types, names that cannot be keys), the answers of IsAssociatedWithUs, and
// the product registration and media client written by the install.
#ifndef _WIN32

#include <functional>

#include "FileAssociationHelper.h"
#include "InstallSteps.h"
#include "ShellMachine.h"

namespace {

constexpr const char* kProduct = R"(<?xml version="1.0" encoding="UTF-8"?>
<TestProduct version="1.0">
  <Names><Name Form="3">Tunaro</Name><Name Form="4">Tunaro 9933</Name><Name Form="6">Tunaro Player</Name></Names>
  <Version>9933.0.44</Version>
  <ExecutableName>Tunaro.exe</ExecutableName>
  <LauncherName>Tunaro Launcher.exe</LauncherName>
  <Extension>tnp</Extension>
  <MimeTypes>application/x-tunaro;no-slash</MimeTypes>
  <Protocols>tunaro://;tnr</Protocols>
</TestProduct>
)";
constexpr const char16_t* kFileExts = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
constexpr const char16_t* kMime = u"Mime\\Database\\Content Type\\";
constexpr VnRegRoot kClasses = VnRegRoot::ClassesRoot;
constexpr VnRegRoot kUser = VnRegRoot::CurrentUser;

struct Planted {
    VnRegRoot root;
    VnString key;
    VnString name;
    VnRegValue value;
};
struct Expected {
    VnRegRoot root;
    VnString key;
    std::string name;
    std::string shown;  // text, "dword:n", "type n", or "<missing>"
};
struct OwnershipCase {
    const char* name;
    std::vector<Planted> before;
    std::function<bool(CFileAssociationHelper&)> act;
    bool result;
    std::vector<Expected> after;
};

VnRegValue Sz(const char16_t* text) { return VnRegValue::String(text); }
VnRegValue Raw(uint32_t type) {
    VnRegValue value;
    value.type = type;
    value.bytes = {1, 0, 2, 0, 0, 0};
    return value;
}

class AssociationWriterTest : public ShellMachine {
protected:
    void SetUp() override {
        OpenMachine("", kProduct);
        Install();
    }
    void Plant(const Planted& p) {
        IVnRegistry& registry = VnPlatform().Registry();
        VnRegKey key = 0;
        ASSERT_EQ(registry.CreateKey(p.root, p.key, vnwin::kKeyReadWrite, key), 0u);
        if (p.value.type == vnwin::kRegSz || p.value.type == vnwin::kRegDword)
            registry.SetValue(key, p.name, p.value);
        else
            registry.SetRawValue(key, p.name, p.value.type, p.value.bytes);
        registry.CloseKey(key);
    }
    // Values of other types as "type n: " and their bytes in hex.
    std::string Shown(const Expected& e) {
        for (const NamedValue& value : Values(e.root, e.key)) {
            if (value.name != e.name) continue;
            if (value.type == vnwin::kRegSz) return value.text;
            if (value.type == vnwin::kRegDword) return "dword:" + value.text;
            VnRegKey key = 0;
            uint32_t type = 0;
            std::basic_string<uint8_t> raw;
            VnPlatform().Registry().OpenKey(e.root, e.key, vnwin::kKeyRead, key);
            VnPlatform().Registry().QueryRawValue(key, VnString::FromUtf8(e.name), type, raw);
            VnPlatform().Registry().CloseKey(key);
            std::string shown = "type " + std::to_string(type) + ":";
            for (uint8_t byte : raw) shown += " " + std::to_string(byte);
            return shown;
        }
        return "<missing>";
    }
};

TEST_F(AssociationWriterTest, OwnershipAndBackupsFromBeforeToAfter) {
    const std::string ours = "Tunaro.9933.0.44.File";
    const auto extension = [](const char16_t* name) {
        return [name](CFileAssociationHelper& h) { return h.RegisterExtension(name, VnString()); };
    };
    const std::vector<OwnershipCase> cases = {
        {"a foreign owner is kept in every backup",
         {{kClasses, u".mp3", u"", Sz(u"Other.mp3")}, {kClasses, u".mp3", u"Content Type", Sz(u"audio/mpeg")},
          {kClasses, u".mp3", u"PerceivedType", Sz(u"audio")}, {kUser, VnString(kFileExts) + u".mp3", u"Progid", Sz(u"Other.mp3")},
          {kClasses, VnString(kMime) + u"audio/mpeg", u"Extension", Sz(u".mpga")},
          {kClasses, VnString(kMime) + u"audio/mpeg", u"CLSID", Sz(u"{CD3AFA76}")}},
         [](CFileAssociationHelper& h) {
             return h.RegisterExtension(u"mp3", VnString()) && h.WritesTemplates() && h.NotifiesShell();
         },
         true,
         {{kClasses, u".mp3", "", ours}, {kClasses, u".mp3", "Tunaro.9933.0.44.Default.BAK", "Other.mp3"},
          {kClasses, u".mp3", "Content Type", ""}, {kClasses, u".mp3", "Tunaro.9933.0.44.ContentType.BAK", "audio/mpeg"},
          {kClasses, u".mp3", "PerceivedType", ""}, {kClasses, u".mp3", "Tunaro.9933.0.44.PerceivedType.BAK", "audio"},
          {kUser, VnString(kFileExts) + u".mp3", "Progid", ours},
          {kUser, VnString(kFileExts) + u".mp3", "Tunaro.9933.0.44.Progid.BAK", "Other.mp3"},
          {kClasses, VnString(kMime) + u"audio/mpeg", "Extension", ".mp3"},
          {kClasses, VnString(kMime) + u"audio/mpeg", "Tunaro.9933.0.44.Extension.BAK", ".mpga"},
          {kClasses, VnString(kMime) + u"audio/mpeg", "CLSID", "<missing>"},
          {kClasses, VnString(kMime) + u"audio/mpeg", "Tunaro.9933.0.44.CLSID.BAK", "{CD3AFA76}"},
          {kClasses, VnString(kMime) + u"audio/x-mp3", "Extension", ".mp3"}}},
        {"one of our own ProgIDs of any kind gets no backup, nor does a missing user choice get made",
         {{kClasses, u".wav", u"", Sz(u"TUNARO.9933.0.44.Playlist")}}, extension(u".WAV"), true,
         {{kClasses, u".WAV", "", ours}, {kClasses, u".wav", "Tunaro.9933.0.44.Default.BAK", "<missing>"},
          {kUser, VnString(kFileExts) + u".wav", "Progid", "<missing>"}}},
        {"a second install keeps the first foreign owner, not the later one nor our own",
         {{kClasses, u".mkv", u"", Sz(u"First.mkv")}},
         [](CFileAssociationHelper& h) {
             h.RegisterExtension(u"mkv", VnString());
             VnRegKey key = 0;
             VnPlatform().Registry().CreateKey(kClasses, u".mkv", vnwin::kKeyReadWrite, key);
             VnPlatform().Registry().SetValue(key, VnString(), Sz(u"Later.mkv"));
             VnPlatform().Registry().CloseKey(key);
             return h.RegisterExtension(u"mkv", VnString()) && h.RegisterExtension(u"mkv", VnString());
         },
         true, {{kClasses, u".mkv", "", ours}, {kClasses, u".mkv", "Tunaro.9933.0.44.Default.BAK", "First.mkv"}}},
        {"foreign values of other types are saved whole with their type",
         {{kClasses, u".wav", u"", VnRegValue::Dword(7)}, {kClasses, u".wav", u"Content Type", Raw(vnwin::kRegBinary)},
          {kClasses, u".wav", u"PerceivedType", Raw(vnwin::kRegMultiSz)}},
         extension(u"wav"), true,
         {{kClasses, u".wav", "", ours}, {kClasses, u".wav", "Tunaro.9933.0.44.Default.BAK", "dword:7"},
          {kClasses, u".wav", "Tunaro.9933.0.44.ContentType.BAK", "type 3: 1 0 2 0 0 0"},
          {kClasses, u".wav", "Tunaro.9933.0.44.PerceivedType.BAK", "type 7: 1 0 2 0 0 0"}}},
        {".dat gets its MIME types but keeps its class key", {{kClasses, u".dat", u"", Sz(u"Disc.Image")}},
         extension(u"DAT"), false,
         {{kClasses, u".dat", "", "Disc.Image"}, {kClasses, VnString(kMime) + u"video/x-dat", "Extension", ".dat"}}},
        {"an explicit ProgID is written as given; the product's extension is a Mime ProgID", {},
         [](CFileAssociationHelper& h) {
             return h.RegisterExtension(u"xyz", u"Tunaro.9933.0.44.Pack") && h.RegisterExtension(u"tnp", VnString());
         },
         true, {{kClasses, u".xyz", "", "Tunaro.9933.0.44.Pack"}, {kClasses, u".tnp", "", "Tunaro.9933.0.44.Mime"}}},
        {"names that cannot be keys fail alone and write nothing", {},
         [](CFileAssociationHelper& h) {
             const VnString longName(u'x', 300);
             return h.RegisterExtension(u"mp\\3", VnString()) || h.RegisterExtension(u"a|b", VnString()) ||
                    h.RegisterExtension(longName, VnString()) || h.RegisterExtension(u"", VnString()) ||
                    h.RegisterMimeType(u"nomime", VnString()) || h.RegisterMimeType(u"a/b\\c", VnString());
         },
         false, {{kClasses, u".mp", "", "<missing>"}, {kClasses, u".a|b", "", "<missing>"},
                 {kClasses, VnString(kMime) + u"nomime", "Extension", "<missing>"}}},
        {"a protocol ending in :// names its key; a foreign command is kept",
         {{kClasses, u"tunaro\\shell\\open\\command", u"", Sz(u"other.exe %1")}},
         [](CFileAssociationHelper& h) { return h.RegisterProtocol(u"tunaro://", u"/Protocol"); }, true,
         {{kClasses, u"tunaro", "", "URL: tunaro Protocol"}, {kClasses, u"tunaro", "URL Protocol", ""},
          {kClasses, u"tunaro\\shell\\open\\command", "",
           "\"C:\\Program Files (x86)\\Tunaro 9933\\Tunaro Launcher.exe\" /Protocol \"%L\""},
          {kClasses, u"tunaro\\shell\\open\\command", "Tunaro.9933.0.44.Default.BAK", "other.exe %1"},
          {kClasses, u"tunaro", "Tunaro.9933.0.44.Default.BAK", "<missing>"}}},
    };
    for (const OwnershipCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        for (const Planted& p : c.before) Plant(p);
        CFileAssociationHelper helper{VnString()};
        EXPECT_EQ(c.act(helper), c.result);
        helper.SetWriteTemplates(false);
        helper.SetNotifyShell(false);
        for (const Expected& e : c.after) EXPECT_EQ(Shown(e), e.shown) << e.key.ToUtf8() << " " << e.name;
    }
}

TEST_F(AssociationWriterTest, IsAssociatedWithUsAnswersFromClassKeysUserChoicesAndDiscCommands) {
    Plant({kClasses, u".mp3", u"", Sz(u"Tunaro.9933.0.44.File")});
    Plant({kClasses, u".wav", u"", Sz(u"Other.wav")});
    Plant({kUser, VnString(kFileExts) + u".WAV", u"Progid", Sz(u"tunaro.9933.0.44.File")});
    Plant({kClasses, u".ogg", u"", Sz(u"Tunaro.9932.0.1.File")});  // an earlier version is not us
    Plant({kClasses, u".mkv", u"", VnRegValue::Dword(1)});
    Plant({kClasses, u"cdaudiodisc\\shell\\play\\command", u"",
           Sz(u"\"c:\\program files (x86)\\tunaro 9933\\tunaro launcher.exe\" /AudioCD \"%L\"")});
    Plant({kClasses, u"dvdvideodisc\\shell\\play\\command", u"", Sz(u"other.exe /dvd")});
    CFileAssociationHelper helper{VnString()};
    const struct {
        const char16_t* extension;
        bool ours;
    } answers[] = {{u"mp3", true},          {u".MP3", true},         {u"wav", true},  {u"ogg", false},
                   {u"mkv", false},         {u"flac", false},        {u"", false},    {u"a\\b", false},
                   {u"CDAudioDisc", true},  {u"dvdvideodisc", false}};
    VnStringArray all;
    for (const auto& answer : answers) {
        EXPECT_EQ(helper.IsAssociatedWithUs(answer.extension), answer.ours) << VnString(answer.extension).ToUtf8();
        all.Add(answer.extension);
    }
    // Asked all at once (the user's choices listed once), the answers are the same.
    const std::vector<bool> together = helper.AreAssociatedWithUs(all);
    ASSERT_EQ(together.size(), std::size(answers));
    for (size_t i = 0; i < together.size(); ++i)
        EXPECT_EQ(together[i], answers[i].ours) << VnString(answers[i].extension).ToUtf8();
    EXPECT_EQ(helper.GetProgIdForExtension(u".MPL"), u"Tunaro.9933.0.44.Playlist");
    EXPECT_EQ(helper.GetProgIdForExtension(u".rss"), u"Tunaro.9933.0.44.Subscribe");
    EXPECT_EQ(helper.GetProgIdForExtension(u".wsz"), u"Tunaro.9933.0.44.Pack");
}

TEST_F(AssociationWriterTest, TheInstallRegistersTheProductAndTheMediaClientOnVistaAndLaterOnly) {
    const VnString client = u"Software\\Clients\\Media\\Tunaro Player";
    for (const char* windows : {"10.0.19045", "5.1.2600"}) {
        SCOPED_TRACE(windows);
        OpenMachine(std::string("[Windows]\nVersion=") + windows + "\n", kProduct);
        Install();
        WriteProgramRegistrySettings();
        EXPECT_EQ(Value(kClasses, u".tnp", ""), "Tunaro.9933.0.44.Mime");
        EXPECT_EQ(Value(kClasses, VnString(kMime) + u"application/x-tunaro", "Extension"), ".tnp");
        EXPECT_FALSE(KeyExists(kClasses, VnString(kMime) + u"no-slash"));
        EXPECT_EQ(Value(kClasses, u"tnr\\shell\\open\\command", ""),
                  "\"C:\\Program Files (x86)\\Tunaro 9933\\Tunaro Launcher.exe\" /Protocol \"%L\"");
        const bool vista = windows[0] == '1';
        EXPECT_EQ(KeyExists(VnRegRoot::LocalMachine, client), vista);
        if (!vista) continue;
        EXPECT_EQ(Value(VnRegRoot::LocalMachine, client + u"\\shell\\open\\command", ""),
                  "C:\\Program Files (x86)\\Tunaro 9933\\Tunaro.exe");
        // Handled descriptions only: "zzz" and "dat" are in no engine list.
        const std::vector<NamedValue> handled = Values(VnRegRoot::LocalMachine, client + u"\\Capabilities\\FileAssociations");
        std::string names;
        for (const NamedValue& value : handled) names += value.name + "=" + value.text + ";";
        EXPECT_EQ(names, ".mp3=Tunaro.9933.0.44.File;.wav=Tunaro.9933.0.44.File;.mkv=Tunaro.9933.0.44.File;"
                         ".mpl=Tunaro.9933.0.44.Playlist;");
        EXPECT_EQ(Value(VnRegRoot::LocalMachine, u"Software\\RegisteredApplications", "Tunaro Player"),
                  client.ToUtf8() + "\\Capabilities");
    }
    // HKEY_LOCAL_MACHINE read-only: nothing is written, nothing fails loudly.
    OpenMachine("[Rights]\nHKLMWritable=no\n", kProduct);
    Install();
    WriteProgramRegistrySettings();
    CFileAssociationHelper helper{VnString()};
    EXPECT_FALSE(helper.RegisterExtension(u"mp3", VnString()));
    EXPECT_FALSE(KeyExists(VnRegRoot::LocalMachine, client));
}

}  // namespace

#endif
