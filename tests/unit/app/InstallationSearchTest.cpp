// The search for earlier installations in the uninstall list, in both registry
// views, and the test whether the installed copy is already current.
#ifndef _WIN32

#include "InstallationSearch.h"

#include "../engine/InstallRecordMachine.h"

namespace {

constexpr const char16_t* kVarnel = u"Varnel, Inc.";
constexpr const char16_t* kVArnel = u"V. Arnel, Inc.";

std::vector<std::string> Names(const UninstallSearchResult& result) {
    std::vector<std::string> names;
    for (const UninstallEntryFound& entry : result.entries)
        names.push_back(entry.keyName.ToUtf8() + (entry.thisVersion ? " *" : ""));
    return names;
}

class InstallationSearchTest : public InstallRecordMachine {};

TEST_F(InstallationSearchTest, EntriesNeedTheFamilyNameAndOneOfTheTwoPublishers) {
    AddUninstallEntry(false, u"Tunaro 9933", kVarnel, u"C:\\Tunaro 9933\\");
    AddUninstallEntry(false, u"Tunaro 20", kVArnel);
    AddUninstallEntry(false, u"Tunaro Clone", u"Clone Makers Ltd.");
    AddUninstallEntry(false, u"Tunaro Lite", u"varnel, inc.");  // the publisher is compared exactly
    AddUninstallEntry(false, u"Tunaro Unsigned", u"");
    AddUninstallEntry(false, u"My Tunaro", kVarnel);  // the family name must start the key name
    AddUninstallEntry(false, u"TUNARO Capitals", kVarnel);

    const UninstallSearchResult result = FindUninstallEntries(Product(), false);
    EXPECT_EQ(Names(result), (std::vector<std::string>{"Tunaro 20", "Tunaro 9933 *", "TUNARO Capitals"}));
    ASSERT_TRUE(result.HasThisVersion());
    EXPECT_EQ(result.entries[result.thisVersionIndex].installLocation.ToUtf8(), "C:\\Tunaro 9933\\");
    EXPECT_TRUE(result.HasOtherVersions());

    // Nothing of the product in the 64-bit view.
    EXPECT_TRUE(FindUninstallEntries(Product(), true).entries.IsEmpty());
}

TEST_F(InstallationSearchTest, The64BitSuffixMarksThisVersionOnlyInThe64BitView) {
    AddUninstallEntry(false, u"Tunaro 9933 (64-bit)", kVarnel);
    AddUninstallEntry(true, u"Tunaro 9933 (64-bit)", kVarnel);
    AddUninstallEntry(true, u"Tunaro 9933", kVarnel);

    const UninstallSearchResult own = FindUninstallEntries(Product(), false);
    EXPECT_EQ(Names(own), (std::vector<std::string>{"Tunaro 9933 (64-bit)"}));
    EXPECT_FALSE(own.HasThisVersion());

    const UninstallSearchResult view64 = FindUninstallEntries(Product(), true);
    EXPECT_EQ(Names(view64), (std::vector<std::string>{"Tunaro 9933", "Tunaro 9933 (64-bit) *"}));
    EXPECT_EQ(view64.thisVersionIndex, 1);
}

// What the search leaves in the options, by machine and entries found.
TEST_F(InstallationSearchTest, DetectionFillsTheOptionsFromTheViewsItSearches) {
    struct Entry {
        bool view64;
        const char16_t *name, *publisher, *location;
    };
    struct Case {
        const char* name;
        const char* facts;
        bool portable, noUninstallList;
        std::vector<Entry> entries;
        bool same, other;
        const char* uninstallKey;
        std::vector<std::string> folders;
    };
    const Case cases[] = {
        // This version in the installer's own view, under another spelling; the 64-bit entries
        // that are not " (64-bit)" are other versions. Trailing backslashes are cut to one; a
        // folder named twice (in any case) and an empty location are not listed again.
        {"64-bit Windows: both views", "", false, false,
         {{false, u"TUNARO 9933", kVarnel, u"C:\\Program Files (x86)\\Tunaro 9933\\\\\\"},
          {true, u"Tunaro 9933 (64-bit)", kVarnel, u"C:\\Program Files\\Tunaro 9933"},
          {true, u"Tunaro 9933 Duplicate", kVarnel, u"c:\\program files (x86)\\tunaro 9933\\"},
          {true, u"Tunaro Empty Location", kVArnel, u""}},
         true, true, "TUNARO 9933",
         {"C:\\Program Files (x86)\\Tunaro 9933\\", "C:\\Program Files\\Tunaro 9933"}},
        // Only an entry in the installer's own view names the uninstall key.
        {"this version in the 64-bit view only", "", false, false,
         {{true, u"Tunaro 9933 (64-bit)", kVarnel, u"C:\\Program Files\\Tunaro 9933\\"}}, false, false, "",
         {"C:\\Program Files\\Tunaro 9933\\"}},
        {"another version beside it", "", false, false,
         {{true, u"Tunaro 9933 (64-bit)", kVarnel, u"C:\\Program Files\\Tunaro 9933\\"},
          {false, u"Tunaro 20", kVArnel, u"D:\\Old Tunaro\\"}},
         false, true, "", {"D:\\Old Tunaro\\", "C:\\Program Files\\Tunaro 9933\\"}},  // the own view first
        // Searching "the 64-bit view" too would meet the entry a second time, as an other version.
        {"32-bit Windows: one list", "[Windows]\nBits=32\n", false, false,
         {{false, u"Tunaro 9933", kVarnel, u"C:\\Program Files\\Tunaro 9933\\"}}, true, false, "Tunaro 9933",
         {"C:\\Program Files\\Tunaro 9933\\"}},
        {"portable: nothing searched", "", true, false,
         {{false, u"Tunaro 9933", kVarnel, u"C:\\Tunaro\\"}, {false, u"Tunaro 20", kVarnel, u"C:\\Tunaro 20\\"}},
         false, false, "", {}},
        {"no uninstall list in either view", "", false, true, {}, false, false, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenMachine(c.facts);
        for (const Entry& e : c.entries) AddUninstallEntry(e.view64, e.name, e.publisher, e.location);
        for (bool view64 : {false, true}) {
            if (!c.noUninstallList) break;
            const uint32_t view = view64 ? vnwin::kKeyWow64_64Key : 0;
            VnRegKey parent = 0;
            ASSERT_EQ(Machine().Registry().OpenKey(VnRegRoot::LocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                                   vnwin::kKeyReadWrite | view, parent),
                      0u);
            Machine().Registry().DeleteTree(parent, u"Uninstall", view);
            Machine().Registry().CloseKey(parent);
        }
        Options().PortableSetup = c.portable;
        DetectExistingInstallations();
        EXPECT_EQ(Options().SameVersionInstalled, c.same);
        EXPECT_EQ(Options().OtherVersionInstalled, c.other);
        EXPECT_EQ(Options().UninstallKeyName.ToUtf8(), c.uninstallKey);
        EXPECT_EQ(Utf8(Options().OccupiedFolders), c.folders);
    }
}

class InstalledVersionTest : public InstallRecordMachine {
protected:
    static constexpr const char16_t* kProgramFolder = u"C:\\Program Files (x86)\\Tunaro 9933\\";

    void SetUp() override {
        InstallRecordMachine::SetUp();
        WriteFile(VnString(kPlaymoor) + u"Tunaro.exe", MakeProgramFile("9933.0.44.0"));
        ProcessInformationBlock::Get().SetProgramFolder(kProgramFolder);
        Options().AllowDowngrade = false;
        Options().SameVersionInstalled = true;
    }
    void Install(const std::string& program) { WriteFile(VnString(kProgramFolder) + u"Tunaro.exe", program); }
};

TEST_F(InstalledVersionTest, AnEqualOrNewerInstalledCopyIsCurrentWhenDowngradesAreRefused) {
    for (const auto& [installed, current] :
         {std::pair{"9933.0.44.0", true}, {"9933.0.44.1", true}, {"9934.0.0.0", true}, {"9933.0.43.65535", false}}) {
        Install(MakeProgramFile(installed));
        EXPECT_EQ(IsInstalledVersionCurrent(), current) << installed;
    }

    // Newer, but downgrades allowed, or this version not installed.
    Install(MakeProgramFile("9934.0.0.0"));
    Options().AllowDowngrade = true;
    EXPECT_FALSE(IsInstalledVersionCurrent());
    Options().AllowDowngrade = false;
    Options().SameVersionInstalled = false;
    EXPECT_FALSE(IsInstalledVersionCurrent());
}

TEST_F(InstalledVersionTest, AnyVersionThatCannotBeReadMeansNotCurrent) {
    EXPECT_FALSE(IsInstalledVersionCurrent());  // nothing installed

    Install("MZ but no program");
    EXPECT_FALSE(IsInstalledVersionCurrent());

    Install(MakeProgramFile("9934.0.0.0"));
    ASSERT_EQ(Machine().Files().DeleteFile(VnString(kPlaymoor) + u"Tunaro.exe"), 0u);
    EXPECT_FALSE(IsInstalledVersionCurrent());  // no payload copy

    WriteFile(VnString(kPlaymoor) + u"Tunaro.exe", MakeProgramFile("9933.0.44.0"));
    EXPECT_TRUE(IsInstalledVersionCurrent());
    Machine().Facts().missingLibraries.Add(u"version.dll");
    EXPECT_FALSE(IsInstalledVersionCurrent());
    Machine().Facts().missingLibraries.RemoveAll();

    ProcessInformationBlock::Get().SetProgramFolder(VnString());  // no installed copy known
    EXPECT_FALSE(IsInstalledVersionCurrent());
}

}  // namespace

#endif  // _WIN32
