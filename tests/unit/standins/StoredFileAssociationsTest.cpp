// "PackageInstaller.exe /RegFileAssociations" on the simulated machine: the
// stored choice, good and bad, as the registry ends up after it.
#ifndef _WIN32

#include "CompanionPrograms.h"
#include "TestFileTypeCatalogue.h"
#include "ToolsTestMachine.h"

namespace {

constexpr const char16_t* kSelected = u"File Associations - Selected Media Types";

class StoredFileAssociationsTest : public ToolsTest {
protected:
    void SetUp() override {
        ToolsTest::SetUp();
        WriteProductInfo();
        WriteFile(ModuleFolder() + u"Data\\Default Resources\\FileAssociations.xml", kTestFileTypeCatalogue);
    }
    // The text of a value, "<missing>" when there is none.
    VnString Text(VnRegRoot root, const VnString& key, const VnString& name) {
        const VnRegValue value = StoredValue(key, name, root);
        return value.type == vnwin::kRegNone ? VnString(u"<missing>") : value.text;
    }
    uint32_t Run() {
        return RunCompanionProgram(*FindCompanionProgram(u"PackageInstaller.exe"),
                                   {ModuleFolder() + u"PackageInstaller.exe", VN_LIT(u"/RegFileAssociations")});
    }
};

TEST_F(StoredFileAssociationsTest, EachChosenTypeIsRegisteredAndEachBadItemFailsAlone) {
    VnString many;
    for (int i = 0; i < 10000; ++i) many += VnString::Format(u"t%d;", i);
    const struct {
        const char* name;
        const char16_t* stored;  // null: no value stored
        uint32_t exitCode;
        const char16_t* failed;
        std::vector<const char16_t*> ours, untouched;
    } cases[] = {
        {"no choice stored", nullptr, 0, u"<missing>", {}, {u".mp3"}},
        {"NONE", u"NONE", 0, u"<missing>", {}, {u".mp3"}},
        {"an empty choice", u"", 0, u"0", {}, {u".mp3", u".mkv"}},
        {"duplicates, empty items, dotless and dotted names", u"mp3;;MP3;.wav;mkv;", 0, u"0",
         {u".mp3", u".wav", u".mkv"}, {u".mpl"}},
        {"names that cannot be keys", u"a\\b;c|d;wav;/x", 13, u"3", {u".wav"}, {u".a", u".c|d"}},
        {"ten thousand types", many.c_str(), 0, u"0", {u".t0", u".t9999"}, {u".mp3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        if (c.stored) StoreText(VnString(kProductKey) + u"\\Properties", kSelected, c.stored);
        EXPECT_EQ(Run(), c.exitCode);
        EXPECT_EQ(Text(VnRegRoot::CurrentUser, u"Software\\V. Arnel\\Demo Companions", u"File Associations Failed"),
                  c.failed);
        for (const char16_t* extension : c.ours)
            EXPECT_EQ(Text(VnRegRoot::ClassesRoot, extension, VnString()), u"TunaroMedia.9933.0.44.File")
                << VnString(extension).ToUtf8();
        for (const char16_t* extension : c.untouched)
            EXPECT_EQ(Text(VnRegRoot::ClassesRoot, extension, VnString()), u"<missing>") << VnString(extension).ToUtf8();
    }
    // The catalogue's MIME types came along.
    TearDown();
    SetUp();
    StoreText(VnString(kProductKey) + u"\\Properties", kSelected, u"mp3");
    EXPECT_EQ(Run(), 0u);
    EXPECT_EQ(Text(VnRegRoot::ClassesRoot, u"Mime\\Database\\Content Type\\audio/mpeg", u"Extension"), u".mp3");
}

}  // namespace

#endif
