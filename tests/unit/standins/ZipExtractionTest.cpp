// Zip extraction: archives made by the `zip` tool and by Python's zipfile
// (ZipSamples.h), entries whose paths would leave the target folder, damaged
// archives, and the deflate decoder's refusals.
#include <string>

#include "ToolsTestMachine.h"
#include "VnInflate.h"
#include "VnZipArchive.h"
#include "TestZipWriter.h"
#include "ZipSamples.h"

namespace {

template <size_t N>
std::string Bytes(const unsigned char (&sample)[N]) {
    return std::string(reinterpret_cast<const char*>(sample), N);
}

// The text of "Data/far.txt" (see make_zip_samples.py).
std::string FarRepeatText() {
    std::string block;
    uint32_t x = 1;
    for (int i = 0; i < 4000; ++i) {
        x = (x * 1103515245u + 12345u) % 0x80000000u;
        block += "ACGT"[(x >> 16) & 3];
    }
    return block + std::string(28000, 'x') + block;
}

class ZipTest : public ToolsTest {
protected:
    void SetUp() override {
        ToolsTest::SetUp();
        library = NewLibrary();
    }
    bool Extract(const std::string& archive, const VnString& folder, bool keepFolders) {
        WriteFile(Scratch() + u"package.zip", archive);
        return library->GetArchive()->Extract(Scratch() + u"package.zip", folder, keepFolders);
    }
};

TEST_F(ZipTest, ArchivesOfTheZipToolExtractWithTheirFolders) {
    VnString target = Scratch() + u"Plugins\\New";  // created, with its parent
    ASSERT_TRUE(Extract(Bytes(kZipFromZipTool), target, true));
    std::string playlist = ReadFile(target + u"\\Playlists\\Road Trip.m3u");
    EXPECT_EQ(playlist.size(), 1733u);
    EXPECT_EQ(playlist.substr(0, 21), "#EXTINF:1,Track 1\r\nC:");
    EXPECT_EQ(ReadFile(target + u"\\M\u00FCsik\\\u00C4.txt"), "umlauts\n");  // UTF-8 names without the flag
    EXPECT_EQ(ReadFile(target + u"\\noise.bin").size(), 600u);             // stored, not deflated
}

TEST_F(ZipTest, ArchivesOfPythonZipfileExtractFlatWhenAsked) {
    ASSERT_TRUE(Extract(Bytes(kZipFromZipfile), Scratch() + u"Flat\\", false));
    EXPECT_EQ(ReadFile(Scratch() + u"Flat\\far.txt"), FarRepeatText());  // copies reaching back 32000 bytes
    EXPECT_EQ(ReadFile(Scratch() + u"Flat\\tiny.txt"), "tiny");          // fixed Huffman codes
    EXPECT_EQ(ReadFile(Scratch() + u"Flat\\stored.txt"), "kept as it is");
    EXPECT_EQ(ReadFile(Scratch() + u"Flat\\empty.txt"), "");
    EXPECT_FALSE(Exists(Scratch() + u"Flat\\Data"));
}

TEST_F(ZipTest, EntryLeavingTheFolderIsRefusedBeforeAnythingIsWritten) {
    EXPECT_FALSE(Extract(Bytes(kZipWithTraversal), Scratch() + u"Target", true));
    EXPECT_FALSE(Exists(Scratch() + u"Target\\good.txt"));
    EXPECT_FALSE(Exists(Scratch() + u"evil.txt"));
    // Flattening would make the name harmless, but the archive is refused all the same.
    EXPECT_FALSE(Extract(Bytes(kZipWithTraversal), Scratch() + u"Target", false));
    EXPECT_FALSE(Exists(Scratch() + u"Target\\evil.txt"));
}

TEST_F(ZipTest, DamagedArchivesFail) {
    const std::string good = Bytes(kZipFromZipfile);
    std::string flipped = good, wrongCrc = good;
    flipped[30 + 12 + 100] ^= 0x55;               // inside far.txt's compressed data
    wrongCrc[good.find("PK\x01\x02") + 16] ^= 1;  // the central directory's CRC-32 of far.txt
    const std::string damaged[] = {flipped, wrongCrc, good.substr(0, good.size() - 30),
                                   good.substr(0, good.size() / 2) + good.substr(good.size() / 2 + 40),
                                   "PK\x05\x06 this is not an archive at all", ""};
    for (const std::string& archive : damaged)  // each into a folder of its own
        EXPECT_FALSE(Extract(archive, Scratch() + VnString::Format(u"%d", int(&archive - damaged)), true))
            << &archive - damaged;
    EXPECT_FALSE(library->GetArchive()->Extract(Scratch() + u"missing.zip", Scratch() + u"G", true));
}

TEST_F(ZipTest, HostileArchivesAreRefusedBeforeAnythingIsWritten) {
    const std::string zeros(8 << 20, '\0');  // deflates to about 8 KB
    struct Case {
        const char* what;
        std::vector<TestZipEntry> entries;
    } cases[] = {
        {"inflates past its declared size", {{"bomb.bin", zeros, true, 1000}}},
        {"declares more than an entry may hold", {{"a.bin", "x", false, 0xF0000000u}}},
        {"declares more than an archive may hold",
         {{"a.bin", "x", false, 0x3FFFFFFFu}, {"b.bin", "x", false, 0x3FFFFFFFu}, {"c.bin", "x", false, 0x3FFFFFFFu}}},
        {"is encrypted", {{"ok.txt", "ok"}, {"secret.txt", "text", true, std::nullopt, 1}}},
        {"climbs out", {{"ok.txt", "ok"}, {"..\\evil.txt", "evil"}}},
        {"is absolute", {{"ok.txt", "ok"}, {"/evil.txt", "evil"}}},
        {"names a drive", {{"ok.txt", "ok"}, {"C:\\evil.txt", "evil"}}},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Extract(MakeTestZip(c.entries), Scratch() + u"Target", true)) << c.what;
        EXPECT_FALSE(Exists(Scratch() + u"Target\\ok.txt")) << c.what;
        EXPECT_FALSE(Exists(Scratch() + u"evil.txt")) << c.what;
    }
    // Duplicate names: the later entry wins, as unpacking in archive order gives.
    ASSERT_TRUE(Extract(MakeTestZip({{"same.txt", "first"}, {"same.txt", "second"}}), Scratch() + u"Dup", true));
    EXPECT_EQ(ReadFile(Scratch() + u"Dup\\same.txt"), "second");
}

// What only the central directory tells (an unknown method, data placed past
// the entries' part of the file) refuses the archive before the first write,
// even when the refused entry comes last.
TEST_F(ZipTest, CentralDirectoryRefusalsComeBeforeAnyWrite) {
    const std::string good = MakeTestZip({{"ok.txt", "ok"}, {"late.txt", "late entry"}});
    const size_t last = good.rfind("PK\x01\x02");  // late.txt's central directory entry
    struct Case {
        const char* what;
        size_t at;  // offset within that entry
        std::string bytes;
    } cases[] = {
        {"compression method 12", 10, std::string("\x0C\x00", 2)},
        {"local header past the directory", 42, std::string("\x00\x00\x00\x7F", 4)},
        {"compressed size past the directory", 20, std::string("\x00\x00\x10\x00", 4)},
    };
    for (const Case& c : cases) {
        std::string archive = good;
        archive.replace(last + c.at, c.bytes.size(), c.bytes);
        EXPECT_FALSE(Extract(archive, Scratch() + u"Target", true)) << c.what;
        EXPECT_FALSE(Exists(Scratch() + u"Target\\ok.txt")) << c.what;
    }
}

// Entries larger than the pieces the archive is read and written in (a
// megabyte) and the window it is read through (4 MB) come out whole; an entry
// found damaged halfway leaves the entries before it and no part of itself.
TEST_F(ZipTest, LargeEntriesStreamWholeAndADamagedOneLeavesNoPart) {
    std::string noise(9 << 20, '\0');
    uint32_t x = 7;
    for (char& c : noise) c = char((x = x * 1103515245u + 12345u) >> 24);
    const std::string archive = MakeTestZip({{"first.txt", "first"},
                                             {"noise.bin", noise},
                                             {"stored.bin", noise.substr(1000, 5 << 20), false},
                                             {"last.txt", std::string(3 << 20, 'z')}});
    ASSERT_TRUE(Extract(archive, Scratch() + u"Whole", true));
    EXPECT_TRUE(ReadFile(Scratch() + u"Whole\\noise.bin") == noise);
    EXPECT_TRUE(ReadFile(Scratch() + u"Whole\\stored.bin") == noise.substr(1000, 5 << 20));
    EXPECT_EQ(ReadFile(Scratch() + u"Whole\\last.txt"), std::string(3 << 20, 'z'));

    std::string damaged = archive;
    damaged[damaged.find("noise.bin") + (6 << 20)] ^= 0x5A;
    EXPECT_FALSE(Extract(damaged, Scratch() + u"Damaged", true));
    EXPECT_EQ(ReadFile(Scratch() + u"Damaged\\first.txt"), "first");
    EXPECT_FALSE(Exists(Scratch() + u"Damaged\\noise.bin"));
    EXPECT_FALSE(Exists(Scratch() + u"Damaged\\stored.bin"));
}

#ifndef _WIN32
// A disk that fills up while an entry is written: the extraction ends with
// false, the entries before it stay, and no part of the entry is left behind
// to hold the space.
TEST_F(ZipTest, AFullDiskStopsAnEntryAndLeavesNoPartOfIt) {
    WriteFile(Scratch() + u"package.zip", MakeTestZip({{"small.txt", "small"}, {"big.bin", std::string(6 << 20, 'b')}}));
    VnDiskSpace space;
    ASSERT_EQ(Files().GetDiskFreeSpace(u"C:\\", space), 0u);
    for (VnSimDrive& drive : Facts().drives)
        if (drive.letter == u'C') drive.freeBytes -= space.freeToCaller - (2 << 20);  // 2 MB left
    EXPECT_FALSE(library->GetArchive()->Extract(Scratch() + u"package.zip", Scratch() + u"Out", true));
    EXPECT_EQ(ReadFile(Scratch() + u"Out\\small.txt"), "small");
    EXPECT_FALSE(Exists(Scratch() + u"Out\\big.bin"));
    ASSERT_EQ(Files().GetDiskFreeSpace(u"C:\\", space), 0u);
    EXPECT_GT(space.freeToCaller, uint64_t(1) << 20);  // the partial file's space is free again (the log takes a little)
}
#endif

TEST(ZipPaths, OnlyPathsInsideTheFolderAreAccepted) {
    struct Case {
        const char16_t* name;
        const char16_t* relative;  // null: refused
    } cases[] = {
        {u"a/b.txt", u"a\\b.txt"},      {u"./a//b\\c", u"a\\b\\c"},  {u"dir/", u"dir"},
        {u"a/..b/c..", u"a\\..b\\c.."}, {u"../x", nullptr},          {u"a/../../x", nullptr},
        {u"a/../b", nullptr},           {u"/abs.txt", nullptr},      {u"\\\\server\\share\\x", nullptr},
        {u"C:/x", nullptr},             {u"C:x", nullptr},           {u"a/.. /x", nullptr},
        {u"a/.../x", nullptr},          {u"file.txt:stream", nullptr}, {u"a/b?.txt", nullptr},
        {u"a/\x01.txt", nullptr},       {u"", nullptr},
    };
    for (const Case& c : cases) {
        VnString relative;
        bool accepted = VnZipArchive::RelativePathOf(c.name, relative);
        EXPECT_EQ(accepted, c.relative != nullptr) << VnString(c.name).ToUtf8();
        if (accepted && c.relative) {
            EXPECT_EQ(relative, c.relative);
        }
    }
}

TEST(Inflate, BrokenStreamsAndLimitsAreRefused) {
    std::string out;
    // A stored block "hello".
    EXPECT_EQ(VnInflate(std::string("\x01\x05\x00\xFA\xFFhello", 10), out, 100), VnInflateResult::kOk);
    EXPECT_EQ(out, "hello");
    out.clear();
    EXPECT_EQ(VnInflate(std::string("\x01\x05\x00\xFA\xFFhello", 10), out, 4), VnInflateResult::kTooLarge);
    EXPECT_EQ(VnInflate(std::string("\x01\x05\x00\xFB\xFFhello", 10), out, 100), VnInflateResult::kCorrupt);
    EXPECT_EQ(VnInflate(std::string("\x01\x05\x00\xFA\xFFhel", 8), out, 100), VnInflateResult::kCorrupt);
    // A fixed-code block that copies from before its start.
    EXPECT_EQ(VnInflate(std::string("\x03\x02\x00", 3), out, 100), VnInflateResult::kCorrupt);
    // Block type 3 does not exist; an empty stream has no final block.
    EXPECT_EQ(VnInflate(std::string("\x07", 1), out, 100), VnInflateResult::kCorrupt);
    EXPECT_EQ(VnInflate(std::string(), out, 100), VnInflateResult::kCorrupt);

    // Fed a byte at a time, the stream asks for more until its final block ends.
    VnInflater inflater(100);
    std::string pieces;
    const std::string stream("\x01\x05\x00\xFA\xFFhello", 10);
    for (size_t i = 0; i < stream.size(); ++i) {
        VnInflateResult result = inflater.Feed(stream.substr(i, 1), [&](std::string_view piece) {
            pieces.append(piece);
            return true;
        });
        EXPECT_EQ(result, i + 1 < stream.size() ? VnInflateResult::kMore : VnInflateResult::kOk) << i;
    }
    EXPECT_EQ(pieces, "hello");
    VnInflater refused(100);
    EXPECT_EQ(refused.Feed(stream, [](std::string_view) { return false; }), VnInflateResult::kStopped);
}

}  // namespace
