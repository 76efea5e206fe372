// The PE reader against the real Windows files of the demo set-up folder (both
// machines), and against truncated and damaged copies of them.
#include <gtest/gtest.h>

#include <random>

#include "HostFiles.h"
#include "PeImage.h"

namespace {

#ifdef VN_DEMO_SETUP_DIR
std::string ReadSetupFile(const std::string& relative) {
    return ReadHostFile(std::string(VN_DEMO_SETUP_DIR) + "/" + relative);
}
#endif

uint32_t Get32(const std::string& b, size_t at) {
    return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8 | uint8_t(b[at + 2]) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}
void Put32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char(v >> (8 * i));
}
void Put16(std::string& b, size_t at, uint16_t v) {
    b[at] = char(v), b[at + 1] = char(v >> 8);
}

// Where the structures that the damage cases aim at lie in a file.
struct Layout {
    size_t pe, optional, resourceEntry, resourceData;
};
Layout Locate(const std::string& b) {
    Layout l{};
    l.pe = Get32(b, 0x3C);
    l.optional = l.pe + 24;
    const bool plus = uint8_t(b[l.optional]) == 0x0B && uint8_t(b[l.optional + 1]) == 0x02;
    l.resourceEntry = l.optional + (plus ? 112 : 96) + 2 * 8;
    const uint32_t rva = Get32(b, l.resourceEntry);
    const size_t sections = l.optional + (uint8_t(b[l.pe + 20]) | uint8_t(b[l.pe + 21]) << 8);
    for (size_t s = sections; s + 40 <= b.size(); s += 40) {
        if (Get32(b, s + 12) == rva) return l.resourceData = Get32(b, s + 20), l;
    }
    ADD_FAILURE() << "no section starts at the resource directory";
    return l;
}

struct Version {
    bool ok;
    uint32_t ms, ls;
};
Version Read(const std::string& bytes) {
    Version v{false, 0xDEAD, 0xBEEF};
    v.ok = VnReadPeFileVersion(bytes, v.ms, v.ls);
    return v;
}

}  // namespace

TEST(PeImage, NonPeBytesHaveNoMachineAndNoVersion) {
    for (const std::string& bytes : {std::string(), std::string("MZ"), std::string(64, '\0'),
                                     std::string("<?xml version=\"1.0\"?><VNIC/>"), std::string(4096, '\xFF')}) {
        const Version v = Read(bytes);
        EXPECT_EQ(VnReadPeMachine(bytes), 0);
        EXPECT_FALSE(v.ok);
        EXPECT_EQ(v.ms, 0u);
        EXPECT_EQ(v.ls, 0u);
    }
}

#ifdef VN_DEMO_SETUP_DIR

TEST(PeImage, ReadsMachineAndVersionOfBothKinds) {
    struct Case {
        const char* file;
        uint16_t machine;
        uint32_t ms, ls;
    } cases[] = {
        {"Playmoor/VnImage.dll", kVnPeMachineI386, 33u << 16, 44u << 16},
        {"Playmoor/Tunaro.exe", kVnPeMachineI386, 33u << 16, 44u << 16},
        {"Playmoor/x64/VnTelevision.dll", kVnPeMachineAmd64, 33u << 16, 44u << 16},
        // 16-bit parts above 255 and a non-zero fourth part.
        {"System/Check Version/VnDeviceBridge.dll", kVnPeMachineI386, 1u << 16 | 12, 0u << 16 | 301},
        {"System/Check Version/VnCodecSupport.dll", kVnPeMachineI386, 2u << 16 | 4, 1u << 16 | 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string bytes = ReadSetupFile(c.file);
        ASSERT_GT(bytes.size(), 1024u);
        const Version v = Read(bytes);
        EXPECT_EQ(VnReadPeMachine(bytes), c.machine);
        EXPECT_TRUE(v.ok);
        EXPECT_EQ(v.ms, c.ms);
        EXPECT_EQ(v.ls, c.ls);
    }
}

// Every prefix of a file either yields the true version or none at all.
TEST(PeImage, TruncatedFilesNeverGiveWrongNumbers) {
    for (const char* file : {"Playmoor/VnReader.dll", "Playmoor/x64/VnReader.dll"}) {
        SCOPED_TRACE(file);
        const std::string whole = ReadSetupFile(file);
        const Version truth = Read(whole);
        ASSERT_TRUE(truth.ok);
        const size_t machineEnd = Locate(whole).pe + 24;  // signature and file header
        size_t shortestWithVersion = whole.size();
        for (size_t length = 0; length < whole.size(); ++length) {
            const std::string prefix = whole.substr(0, length);
            const Version v = Read(prefix);
            if (v.ok) {
                EXPECT_EQ(v.ms, truth.ms);
                EXPECT_EQ(v.ls, truth.ls);
                shortestWithVersion = std::min(shortestWithVersion, length);
            }
            EXPECT_EQ(VnReadPeMachine(prefix), length >= machineEnd ? VnReadPeMachine(whole) : 0);
        }
        // The version block sits in the resource data, well past the headers.
        EXPECT_GT(shortestWithVersion, Locate(whole).resourceData);
    }
}

TEST(PeImage, DamagedStructuresAreRefusedWithoutCrashing) {
    const std::string good = ReadSetupFile("Playmoor/x64/VnDisc.dll");
    const Layout l = Locate(good);
    auto damaged = [&](auto change) {
        std::string b = good;
        change(b);
        return b;
    };
    // Headers that point outside the file or make no sense.
    EXPECT_EQ(VnReadPeMachine(damaged([&](std::string& b) { Put32(b, 0x3C, 0xFFFFFFF0); })), 0);
    EXPECT_FALSE(Read(damaged([&](std::string& b) { Put16(b, l.pe + 20, 0xFFFF); })).ok);       // optional size
    EXPECT_FALSE(Read(damaged([&](std::string& b) { Put16(b, l.optional, 0x999); })).ok);       // unknown magic
    EXPECT_FALSE(Read(damaged([&](std::string& b) { Put32(b, l.resourceEntry, 0); })).ok);      // no resources
    EXPECT_FALSE(Read(damaged([&](std::string& b) { Put32(b, l.resourceEntry, 0x7FFFFFF0); })).ok);
    const Version allSections = Read(damaged([&](std::string& b) { Put16(b, l.pe + 6, 0xFFFF); }));
    EXPECT_TRUE(!allSections.ok || allSections.ms == 33u << 16);
    // The resource tree: huge entry counts, an entry that leads back to the
    // root (a cycle if it were followed blindly), a type that is not RT_VERSION.
    for (size_t entry = l.resourceData + 16; entry < l.resourceData + 16 + 8 * 4; entry += 8) {
        if (Get32(good, entry) != 16) continue;
        EXPECT_FALSE(Read(damaged([&](std::string& b) { Put32(b, l.resourceData + 12, 0xFFFFFFFF), Put32(b, entry, 17); })).ok);
        EXPECT_FALSE(Read(damaged([&](std::string& b) { Put32(b, entry + 4, 0x80000000); })).ok);
        EXPECT_FALSE(Read(damaged([&](std::string& b) { Put32(b, entry + 4, 0x8FFFFFF0); })).ok);
    }
    // The fixed record's signature.
    const size_t signature = good.find(std::string("\xBD\x04\xEF\xFE", 4));
    ASSERT_NE(signature, std::string::npos);
    EXPECT_FALSE(Read(damaged([&](std::string& b) { b[signature] = 0; })).ok);
    EXPECT_FALSE(Read(damaged([&](std::string& b) { Put16(b, signature - 40 + 2, 10); })).ok);  // value length

    // Random damage anywhere: never a crash (the sanitizer build watches reads).
    std::mt19937 random(20240601);
    for (int round = 0; round < 3000; ++round) {
        std::string b = good;
        const size_t base = round % 2 ? l.resourceData : 0;  // the headers or the resources
        for (int hits = 1 + round % 8; hits > 0; --hits) b[(base + random() % 1024) % b.size()] ^= char(1 + random() % 255);
        uint32_t ms, ls;
        VnReadPeFileVersion(b, ms, ls);
        VnReadPeMachine(b);
    }
}

#endif  // VN_DEMO_SETUP_DIR
