// The file associations page on the headless toolkit: its starting choice
// (stored, defaults, none), when it is passed over, what it stores, and the
// list's rows, groups, current owners and buttons.
#ifndef _WIN32

#include "FileAssociationHelper.h"
#include "WizardTestFixture.h"

namespace {

constexpr char16_t kProperties[] = u"Software\\V. Arnel\\Tunaro 9933\\Properties";
constexpr char kSelected[] = "File Associations - Selected Media Types";

// A product that lists every kind of file type (features 18, 19, 20).
const WizardProduct kAllKinds{.features = "2;18;19;20;173;176"};

class FileAssociationPageTest : public WizardTest {
protected:
    void SetUp() override { OpenMachine("", kAllKinds); }
    std::string Stored(const char* name) { return Sim().Value(VnRegRoot::CurrentUser, kProperties, name); }
    // A Custom install up to the page; false when the page was passed over.
    bool ReachThePage() {
        OpenWizard();
        if (Options().Silent) {
            Advance(30000);
            return false;
        }
        WalkToDestination();
        Press(u"Next >");
        for (int i = 0; i < 60 && Page() == CInstallWizard::kCopyPageIndex; ++i) Advance(500);
        return Page() == CInstallWizard::kCopyPageIndex + 1;
    }
    std::string Checked() {
        return Wizard().GetFileAssociationPage().GetList().GetCheckedTypes().Join(u";").ToUtf8();
    }
};

TEST_F(FileAssociationPageTest, StartingChoiceSkippingAndWhatIsStored) {
    const struct {
        const char* name;
        const char16_t* stored;  // null: nothing stored
        bool silent, noAssociations;
        bool shown;
        const char* checked;     // when shown
        const char* storedAfter;
        const char* confirmed;
    } cases[] = {
        {"first install: the catalogue's default associated types", nullptr, false, false, true, "mp3;mkv",
         "mp3;mkv", "1"},
        {"NONE counts as no choice", u"NONE", false, false, true, "mp3;mkv", "mp3;mkv", "1"},
        {"a stored choice, not the defaults", u"MPL;wav;;", false, false, true, "wav;mpl", "wav;mpl", "1"},
        {"/NoAssociations: nothing ticked", nullptr, false, true, true, "", "", "1"},
        {"silent: passed over, the defaults stored", nullptr, true, false, false, "", "mp3;mkv", "<missing>"},
        {"silent with /NoAssociations: an empty choice", nullptr, true, true, false, "", "", "<missing>"},
        {"silent over a stored choice keeps it", u"wav", true, false, false, "", "wav", "<missing>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenMachine("", kAllKinds);
        if (c.stored)
            Sim().SetValue(VnRegRoot::CurrentUser, kProperties, VnString::FromUtf8(kSelected),
                           VnRegValue::String(c.stored));
        Options().Silent = c.silent;
        Options().NoAssociations = c.noAssociations;
        const bool shown = ReachThePage();
        EXPECT_EQ(shown, c.shown);
        if (shown) {
            EXPECT_EQ(Checked(), c.checked);
            Press(u"Next >");
            EXPECT_EQ(Page(), CInstallWizard::kCopyPageIndex + 2);
        }
        EXPECT_EQ(Stored(kSelected), c.storedAfter);
        EXPECT_EQ(Stored("File Associations - Set"), c.confirmed);
    }
}

TEST_F(FileAssociationPageTest, RowsGroupsCurrentOwnersButtonsAndTheChoiceTaken) {
    // ".wav" is ours already (".mpl" too, by the built-in rows), ".mp3" belongs to another program.
    for (const auto& [extension, owner] : {std::pair{u".wav", u"Tunaro.9933.0.44.File"}, {u".mp3", u"Other.mp3"}})
        Sim().SetValue(VnRegRoot::ClassesRoot, extension, VnString(), VnRegValue::String(owner));
    ASSERT_TRUE(ReachThePage());
    const VnString shown = Ui().Describe();
    EXPECT_NE(shown.Find(u"Audio"), -1) << shown.ToUtf8();
    VnFileAssociationsReportCtrl& list = Wizard().GetFileAssociationPage().GetList();
    std::string rows;
    for (int32_t item : list.GetDisplayOrder())
        rows += std::to_string(list.GetItemGroup(item)) + " " + list.GetItemText(item).ToUtf8() + " " +
                list.GetItemText(item, 1).ToUtf8() + " [" + list.GetItemText(item, 2).ToUtf8() + "]\n";
    // Audio sorted, video, data without "dat", playlists; no image group rows.
    EXPECT_EQ(rows,
              "1 mp3 MP3 Audio []\n1 wav Wave Audio [Associated]\n3 mkv Matroska Video []\n4 zzz Odd Data []\n"
              "5 mpl Tunaro Playlist [Associated]\n");
    Press(u"Select All");
    EXPECT_EQ(Checked(), "mp3;wav;mkv;zzz;mpl");
    Press(u"Unselect All");
    EXPECT_EQ(Checked(), "");
    Press(u"Select Default");
    EXPECT_EQ(Checked(), "mp3;mkv");
    EXPECT_TRUE(Ui().Tick(u"mkv", false));
    EXPECT_TRUE(Ui().Tick(u"zzz"));
    Press(u"Next >");
    EXPECT_EQ(Stored(kSelected), "mp3;zzz");
    EXPECT_EQ(Stored("File Associations - Set"), "1");
}

}  // namespace

#endif
