// Version texts packed into 64-bit numbers, and file versions read from the
// version resources of program files.
#include "EngineTestSupport.h"
#include "VersionInfo.h"

TEST(ParseVersion, PacksFourSixteenBitPartsMostSignificantFirst) {
    EXPECT_EQ(ParseVersion(u"1.2.3.4"), 0x0001000200030004u);
    EXPECT_EQ(ParseVersion(u"1.12.0.301"), 0x0001000C0000012Du);
    EXPECT_EQ(ParseVersion(u"65535.65535.65535.65535"), 0xFFFFFFFFFFFFFFFFu);
    // Commas stand for points only when the text has no point at all.
    EXPECT_EQ(ParseVersion(u"1,2,3,4"), ParseVersion(u"1.2.3.4"));
    EXPECT_EQ(ParseVersion(u"1, 2, 3, 4"), ParseVersion(u"1.2.3.4"));
    EXPECT_EQ(ParseVersion(u"1.2,3"), 0x0001000200000000u);
    // Missing parts are 0, extra parts are ignored.
    EXPECT_EQ(ParseVersion(u"5.6"), 0x0005000600000000u);
    EXPECT_EQ(ParseVersion(u"5,6"), 0x0005000600000000u);
    EXPECT_EQ(ParseVersion(u"7"), 0x0007000000000000u);
    EXPECT_EQ(ParseVersion(u"1.2.3.4.5"), ParseVersion(u"1.2.3.4"));
    EXPECT_EQ(ParseVersion(u""), 0u);
    EXPECT_EQ(ParseVersion(u"not a version"), 0u);
    // A part keeps its low 16 bits, as the packed layout holds no more.
    EXPECT_EQ(ParseVersion(u"65536.1"), 0x0000000100000000u);
    // The packed numbers order versions part by part.
    EXPECT_GT(ParseVersion(u"1.10"), ParseVersion(u"1.9.65535.65535"));
    EXPECT_GT(ParseVersion(u"2.0.0.0"), ParseVersion(u"1.65535"));
}

TEST_F(EngineTest, VersionInfoReadsTheFileVersionOfProgramFiles) {
    const VnString library = Path(u"Bridge.dll"), plain = Path(u"Plain.dll"), text = Path(u"Notes.txt");
    WriteFile(library, MakeProgramFile("1.12.0.301"));
    WriteFile(plain, MakeProgramFile(nullptr));
    WriteFile(text, "1.2.3.4");

    CVersionInfo info;
    info.Init();
    ASSERT_TRUE(info.HasVersionFunctions());
    VnString version;
    uint64_t packed = 1;
    EXPECT_EQ(info.GetVersionText(version, true), kVnEFail);  // nothing loaded yet
    ASSERT_EQ(info.Load(library), 0u);
    ASSERT_EQ(info.GetVersionText(version, true), 0u);
    EXPECT_EQ(version, u"1.12.0.301");
    ASSERT_EQ(info.GetVersionText(version, false), 0u);
    EXPECT_EQ(version, u"1.12.0");
    EXPECT_EQ(info.GetPackedVersion(packed), 0u);
    EXPECT_EQ(packed, 0x0001000C0000012Du);

    // A later file without a version drops the earlier record.
    for (const VnString& unversioned : {plain, text, Path(u"Missing.dll"), VnString()}) {
        EXPECT_EQ(info.Load(unversioned), kVnEFail) << Utf8(unversioned);
        EXPECT_EQ(info.GetVersionText(version, true), kVnEFail);
        EXPECT_EQ(info.GetPackedVersion(packed), kVnEFail);
        EXPECT_EQ(packed, 0u);
    }
    EXPECT_EQ(GetFileVersion(library), 0x0001000C0000012Du);
    EXPECT_EQ(GetFileVersion(plain), 0u);

    const VnString x64 = Path(u"x64\\Bridge.dll");
    WriteFile(x64, MakeProgramFile("33.0.44.0", kX64));
    EXPECT_EQ(GetFileVersion(x64), ParseVersion(u"33.0.44.0"));
}

#ifndef _WIN32
TEST_F(EngineTest, VersionInfoWithoutVersionDllHasNoFunctionsAndNoVersions) {
    const VnString library = Path(u"Bridge.dll");
    WriteFile(library, MakeProgramFile("2.4.1.7"));
    Facts().missingExports.Add(u"version.dll!VerQueryValueW");
    CVersionInfo info;
    info.Init();
    EXPECT_FALSE(info.HasVersionFunctions());
    EXPECT_EQ(info.Load(library), kVnEFail);

    Facts().missingExports.RemoveAll();
    Facts().missingLibraries.Add(u"version.dll");
    info.Init();
    EXPECT_FALSE(info.HasVersionFunctions());
    EXPECT_EQ(GetFileVersion(library), 0u);
}
#endif
