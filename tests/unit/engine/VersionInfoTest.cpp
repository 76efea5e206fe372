// Version texts packed into 64-bit numbers, and file versions read from the
// version resources of program files.
#include "EngineTestSupport.h"
#include "VersionInfo.h"

TEST(ParseVersion, PacksFourSixteenBitPartsMostSignificantFirst) {
    EXPECT_EQ(ParseVersion(u"1.12.0.301"), 0x0001000C0000012Du);
    // Commas stand for points only when the text has no point at all.
    EXPECT_EQ(ParseVersion(u"1, 12, 0, 301"), ParseVersion(u"1.12.0.301"));
    EXPECT_EQ(ParseVersion(u"1.2,3"), 0x0001000200000000u);
    // Missing parts are 0, extra parts ignored, a part keeps its low 16 bits.
    EXPECT_EQ(ParseVersion(u"5,6"), 0x0005000600000000u);
    EXPECT_EQ(ParseVersion(u"1.2.3.4.5"), 0x0001000200030004u);
    EXPECT_EQ(ParseVersion(u"65536.1"), 0x0000000100000000u);
    EXPECT_EQ(ParseVersion(u""), 0u);
    EXPECT_GT(ParseVersion(u"1.10"), ParseVersion(u"1.9.65535.65535"));
}

TEST_F(EngineTest, VersionInfoReadsTheFileVersionOfProgramFiles) {
    const VnString library = Path(u"Bridge.dll"), plain = Path(u"Plain.dll");
    WriteFile(library, MakeProgramFile("1.12.0.301"));
    WriteFile(plain, MakeProgramFile(nullptr));
    WriteFile(Path(u"x64.dll"), MakeProgramFile("33.0.44.0", kX64));

    CVersionInfo info;
    info.Init();
    ASSERT_TRUE(info.HasVersionFunctions());
    VnString text;
    uint64_t packed = 1;
    EXPECT_EQ(info.GetVersionText(text, true), kVnEFail);  // nothing loaded yet
    ASSERT_EQ(info.Load(library), 0u);
    EXPECT_EQ(info.GetVersionText(text, true), 0u);
    EXPECT_EQ(text, u"1.12.0.301");
    EXPECT_EQ(info.GetVersionText(text, false), 0u);
    EXPECT_EQ(text, u"1.12.0");
    // A later file without a version drops the earlier record.
    for (const VnString& unversioned : {plain, Path(u"Missing.dll"), VnString()}) {
        EXPECT_EQ(info.Load(unversioned), kVnEFail) << Utf8(unversioned);
        EXPECT_EQ(info.GetPackedVersion(packed), kVnEFail);
        EXPECT_EQ(packed, 0u);
    }
    EXPECT_EQ(GetFileVersion(library), 0x0001000C0000012Du);
    EXPECT_EQ(GetFileVersion(Path(u"x64.dll")), ParseVersion(u"33.0.44.0"));
#ifndef _WIN32
    Facts().missingExports.Add(u"version.dll!VerQueryValueW");
    info.Init();
    EXPECT_FALSE(info.HasVersionFunctions());
    EXPECT_EQ(info.Load(library), kVnEFail);
#endif
}
