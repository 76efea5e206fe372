// The file type catalogue: its lists, gates and queries from one realistic
// text, the product's default lists and input plug-ins, broken files, and the
// shared instance that finds the file and reports a fatal one.
#ifndef _WIN32

#include <string>

#include "FileTypeCatalogue.h"
#include "ShellMachine.h"

namespace {

constexpr const char16_t* kCatalogue = uR"(<?xml version="1.0"?>
<PMFA version="1">
  <DescriptionTypes>
    <Audio>MP3 Audio (mp3);AIFF Audio (AIF;aiff);Data File (DAT);Unplayable (xyz)</Audio>
    <Image>JPEG Image (jpg;jpeg)</Image>
    <Video>Matroska (mkv)</Video>
    <Data>Tunaro Package (pmp)</Data>
    <Playlist>tpl</Playlist>
  </DescriptionTypes>
  <DefaultFileTypes>mp3;;MPP;aif</DefaultFileTypes>
  <PMTypes>mp3;aif;Dat;pmp;tpl</PMTypes>
  <IMGTypes>jpg</IMGTypes>
  <OTTypes>mkv</OTTypes>
  <MimeAssociations>
    <Audio><Type Name="mp3">audio/mpeg;audio/mp3</Type><Type Name="aif">x-aiff</Type></Audio>
    <Playlist><Type Name="tpl">application/x-tpl</Type></Playlist>
  </MimeAssociations>
</PMFA>)";

class FakePlugins final : public IInputPluginNames {
public:
    VnStringArray GetInputPluginNames() override { return {u"APE", u"MP3", u"mpp", u"AudioTest", u"Broken", u"OPUS"}; }
    bool CanReadPluginRecord(const VnString& name) override { return name != u"Broken"; }
};

std::string Joined(const VnStringArray& list) { return list.Join(u",").ToUtf8(); }

TEST(FileTypeCatalogueTest, ListsGatesAndQueriesFollowTheFile) {
    FakePlugins plugins;
    FileTypeCatalogueInputs inputs;
    inputs.plugins = &plugins;
    inputs.hasFeature = [](int feature) { return feature == kFeatureImageTypes; };
    CFileTypeCatalogueData catalogue;
    ASSERT_TRUE(catalogue.Read(kCatalogue, inputs).loaded);

    const struct {
        int index;
        bool respectFeatures;
        const char* expected;
    } lists[] = {
        {kAudioDescriptions, false,
         "MP3 Audio (mp3),AIFF Audio (AIF;aiff),Data File (DAT),Unplayable (xyz),APE (ape),OPUS (opus)"},
        {kPlaylistDescriptions, false, "tpl"},
        {kUnknownDescriptions, false, ""},
        {kDefaultFileTypes, false, "mp3,aif"},  // empty, "dat" and "mpp" never stay
        {kDefaultAssocFileTypes, false, ""},
        {kProgramTypes, false, "mp3,aif,pmp,tpl,ape,opus"},
        {kImageDescriptions, true, "JPEG Image (jpg;jpeg)"},
        {kImageTypes, true, "jpg"},
        {kVideoDescriptions, true, ""},   // feature 19 absent
        {kDataDescriptions, true, ""},    // feature 20 absent
        {kDataDescriptions, false, "Tunaro Package (pmp)"},
        {kOtherTypes, true, ""},          // feature 2 absent
        {kOtherTypes, false, "mkv"},
        {kFileTypeListCount, false, ""},
    };
    for (const auto& list : lists)
        EXPECT_EQ(Joined(catalogue.GetList(list.index, list.respectFeatures)), list.expected) << list.index;
    EXPECT_EQ(catalogue.GetList(kAllDescriptions, false).GetSize(), 10);

    // Descriptions some engine opens, their extensions once each, lookups.
    EXPECT_EQ(Joined(catalogue.GetHandledDescriptions()),
              "MP3 Audio (mp3),AIFF Audio (AIF;aiff),APE (ape),OPUS (opus),JPEG Image (jpg;jpeg),Matroska (mkv),"
              "Tunaro Package (pmp),tpl");
    VnStringArray descriptions = catalogue.GetHandledDescriptions();
    descriptions.Add(u"Again (MP3;mkv)");
    EXPECT_EQ(Joined(CFileTypeCatalogueData::GetExtensions(descriptions)), "mp3,aif,aiff,ape,opus,jpg,jpeg,mkv,pmp,tpl");
    EXPECT_EQ(Joined(CFileTypeCatalogueData::GetDescriptionExtensions(u"Odd (name) (A;b")), "a,b");
    const VnStringArray probe{u"wav", u"MKV"};
    EXPECT_EQ(catalogue.IsInList(probe, kOtherTypes), 1);
    EXPECT_EQ(catalogue.IsInList(probe, kProgramTypes), -1);
    EXPECT_EQ(catalogue.FindMimeInfo(u".MP3").types.ToUtf8(), "audio/mpeg;audio/mp3");
    EXPECT_EQ(catalogue.FindMimeInfo(u"tpl").group.ToUtf8(), "Playlist");
    EXPECT_TRUE(catalogue.FindMimeInfo(u"").name.IsEmpty());
    EXPECT_EQ(Joined(catalogue.GetExtensionMimeTypes(u"mp3", false)), "audio/mpeg,audio/mp3");
    EXPECT_EQ(Joined(catalogue.GetExtensionMimeTypes(u"aif", true)), "x-aiff/*");
    EXPECT_EQ(Joined(catalogue.GetExtensionMimeTypes(u"mp3", true)), "audio/*,audio/*");

    // The product's lists replace the defaults; its first alone sets both.
    inputs.productDefaultFileTypes = u"flac;ogg";
    ASSERT_TRUE(catalogue.Read(kCatalogue, inputs).loaded);
    EXPECT_EQ(Joined(catalogue.GetList(kDefaultAssocFileTypes, false)), "flac,ogg");
    inputs.productDefaultAssocFileTypes = u"ogg";
    ASSERT_TRUE(catalogue.Read(kCatalogue, inputs).loaded);
    EXPECT_EQ(Joined(catalogue.GetList(kDefaultFileTypes, false)), "flac,ogg");
    EXPECT_EQ(Joined(catalogue.GetList(kDefaultAssocFileTypes, false)), "ogg");
}

// The MIME lookup answers as a scan of the records in file order would: the
// first record of the name, any case, a leading "." ignored, whatever the
// group; a record without a name is never found.
TEST(FileTypeCatalogueTest, MimeLookupFindsTheFirstRecordOfAName) {
    CFileTypeCatalogueData catalogue;
    ASSERT_TRUE(catalogue.Read(uR"(<PMFA version="1"><MimeAssociations>
      <Audio><Type Name="mp3">a/1</Type><Type Name="MP3">a/2</Type><Type Name="b">a/3</Type><Type Name="aa">a/4</Type></Audio>
      <Video><Type Name="Mp3">v/5</Type><Type Name="a">v/6</Type><Type Name="zz">v/7</Type><Type Name="B">v/8</Type>
      <Type>v/9</Type></Video></MimeAssociations></PMFA>)",
                               FileTypeCatalogueInputs())
                    .loaded);
    const struct {
        const char16_t* name;
        const char* found;
    } lookups[] = {{u"mp3", "a/1 in Audio"}, {u".Mp3", "a/1 in Audio"}, {u"MP3", "a/1 in Audio"},
                   {u"b", "a/3 in Audio"},   {u"B", "a/3 in Audio"},    {u"a", "v/6 in Video"},
                   {u"aa", "a/4 in Audio"},  {u"zz", "v/7 in Video"},   {u"z", "<none>"},
                   {u"c", "<none>"},         {u"", "<none>"},           {u".", "<none>"}};
    for (const auto& lookup : lookups) {
        const CMimeInfo found = catalogue.FindMimeInfo(lookup.name);
        EXPECT_EQ(found.name.IsEmpty() ? "<none>" : found.types.ToUtf8() + " in " + found.group.ToUtf8(), lookup.found)
            << VnString(lookup.name).ToUtf8();
    }
}

// Lists and MIME records whose text holds references, comments, CDATA or
// elements read as their data, like the plain ones do.
TEST(FileTypeCatalogueTest, TextsWithMarkupOrReferencesReadAsTheirData) {
    const VnString text(uR"(<PMFA version="1">
  <DescriptionTypes>
    <Audio>R&amp;B Tune (rnb);Odd (a<!-- c -->b;c)<![CDATA[;Cut (cd)]]></Audio>
    <Video><x/>Nested (nst)</Video>
  </DescriptionTypes>
  <PMTypes>rnb;&#97;b;plain</PMTypes>
  <MimeAssociations><Audio>
    <Type Name="r&amp;b">audio/x-r&amp;b<!-- c -->;audio/rnb</Type>
    <Type Name="plain">a/<![CDATA[b]]></Type>
    <Type Name="kids"><i/></Type>
  </Audio></MimeAssociations>
</PMFA>)");
    CFileTypeCatalogueData catalogue;
    for (int read = 0; read < 2; ++read) {  // a second read replaces the first
        ASSERT_TRUE(catalogue.Read(text, FileTypeCatalogueInputs()).loaded);
        const struct {
            int index;
            const char* expected;
        } lists[] = {
            {kAudioDescriptions, "R&B Tune (rnb),Odd (ab;c),Cut (cd)"},
            {kVideoDescriptions, ""},  // holds an element: no data
            {kProgramTypes, "rnb,ab,plain"},
            {kAllDescriptions, "R&B Tune (rnb),Odd (ab;c),Cut (cd)"},
        };
        for (const auto& list : lists)
            EXPECT_EQ(Joined(catalogue.GetList(list.index, false)), list.expected) << list.index;
        const struct {
            const char16_t* extension;
            const char* types;
        } records[] = {{u"R&B", "audio/x-r&b;audio/rnb"}, {u".plain", "a/b"}, {u"kids", ""}, {u"r&amp;b", ""}};
        for (const auto& record : records)
            EXPECT_EQ(catalogue.FindMimeInfo(record.extension).types.ToUtf8(), record.types) << record.types;
        EXPECT_EQ(catalogue.MimeInfos().GetSize(), 3);
    }
}

TEST(FileTypeCatalogueTest, BrokenFilesGiveEmptyListsAndHugeOnesLoad) {
    std::u16string huge = u"<PMFA version='2.5'><DescriptionTypes><Audio>";
    std::u16string types;
    for (int i = 0; i < 100000; ++i) {
        const std::u16string name = u"t" + std::u16string(VnString::FromInt(i % 50000).View());
        huge += u"Type (" + name + u");";
        types += name + u";;";
    }
    huge += u"</Audio></DescriptionTypes><PMTypes>" + types + u"</PMTypes><MimeAssociations><G><Type>no name</Type>"
            u"<Type Name='x'/></G></MimeAssociations></PMFA>";
    const struct {
        const char* what;
        std::u16string text;
        bool loads;
        const char* version;
    } cases[] = {
        {"empty", u"", false, "Unknown"},
        {"not XML", u"MP3 Audio (mp3)", false, "Unknown"},
        {"another root", u"<PMFB version='1.0'/>", false, "Unknown"},
        {"version below 1.0", u"<PMFA version='0.9'><PMTypes>mp3</PMTypes></PMFA>", false, "0.9"},
        {"no version", u"<PMFA><PMTypes>mp3</PMTypes></PMFA>", false, "Unknown"},
        {"cut short", u"<PMFA version='1.0'><PMTypes>mp3</PMTypes>", false, "Unknown"},
        {"huge, with duplicates and malformed MIME records", huge, true, "2.5"},
    };
    for (const auto& c : cases) {
        CFileTypeCatalogueData catalogue;
        const FileTypeCatalogueReadResult result = catalogue.Read(VnString(c.text), FileTypeCatalogueInputs());
        EXPECT_EQ(result.loaded, c.loads) << c.what;
        if (!c.loads) {
            EXPECT_EQ(result.versionText.ToUtf8(), c.version) << c.what;
            for (int index = 0; index < kFileTypeListCount; ++index)
                EXPECT_EQ(catalogue.GetList(index, false).GetSize(), 0) << c.what;
        }
    }
    CFileTypeCatalogueData catalogue;
    ASSERT_TRUE(catalogue.Read(VnString(huge), FileTypeCatalogueInputs()).loaded);
    EXPECT_EQ(catalogue.GetList(kProgramTypes, false).GetSize(), 100000);
    EXPECT_EQ(CFileTypeCatalogueData::GetExtensions(catalogue.GetHandledDescriptions()).GetSize(), 50000);
    EXPECT_EQ(catalogue.MimeInfos().GetSize(), 2);
    EXPECT_TRUE(catalogue.GetExtensionMimeTypes(u"x", false).IsEmpty());
}

int failureEndings = 0;

class SharedCatalogueTest : public ShellMachine {
protected:
    void SetUp() override {
        ShellMachine::SetUp();
        failureEndings = 0;
        SetCatalogueFailureEndingForTests([] { ++failureEndings; });
        ResetFileTypeCatalogueForTests();
        ProcessInformationBlock::Get().SetDataFolder(kPlaymoor);
    }
    void TearDown() override {
        ResetFileTypeCatalogueForTests();
        SetCatalogueFailureEndingForTests(nullptr);
        ShellMachine::TearDown();
    }
};

TEST_F(SharedCatalogueTest, CustomResourcesWinAndAFatalFileIsReportedOnce) {
    const VnString resources = VnString(kPlaymoor) + u"Data\\";
    WriteFile(resources + u"Default Resources\\FileAssociations.xml", "<PMFA version='1'><PMTypes>mp3</PMTypes></PMFA>");
    WriteFile(resources + u"Custom Resources\\FileAssociations.xml", "<PMFA version='1'><PMTypes>ogg</PMTypes></PMFA>");
    EXPECT_EQ(Joined(FileTypeCatalogue().GetList(kProgramTypes, false)), "ogg");
    EXPECT_EQ(&FileTypeCatalogue(), &FileTypeCatalogue());  // read once

    ResetFileTypeCatalogueForTests();
    WriteFile(resources + u"Custom Resources\\FileAssociations.xml", "<PMFA version='0.9'/>");
    EXPECT_TRUE(FileTypeCatalogue().GetList(kProgramTypes, false).IsEmpty());
    FileTypeCatalogue();
    EXPECT_EQ(failureEndings, 1);
    ASSERT_EQ(Machine().SimShell().Messages().GetSize(), 1);
    const VnSimMessageRecord& box = Machine().SimShell().Messages()[0];
    EXPECT_EQ(box.title.ToUtf8(), "Information");
    EXPECT_EQ(box.text.ToUtf8(),
              "Failed to load file associations file.  This is a fatal error, so the program must close.\r\n\r\n"
              "Please reinstall the latest version of the program to fix this problem.\r\n\r\n"
              "Path: C:\\Setup\\Playmoor\\Data\\Custom Resources\\FileAssociations.xml\r\nVersion: 0.9");
}

}  // namespace

#endif
