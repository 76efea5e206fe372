// Zip archives made in a test: named entries, deflated (through zlib) or
// stored, with the sizes and CRC-32 that the central directory declares
// optionally overridden to make damaged or hostile archives.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct TestZipEntry {
    TestZipEntry(std::string n, std::string d, bool deflated = true, std::optional<uint32_t> declared = std::nullopt,
                 uint16_t entryFlags = 0)
        : name(std::move(n)), data(std::move(d)), deflate(deflated), declaredSize(declared), flags(entryFlags) {}
    std::string name;  // UTF-8, as stored
    std::string data;
    bool deflate = true;
    std::optional<uint32_t> declaredSize;  // the uncompressed size the archive claims
    uint16_t flags = 0;                    // 1: encrypted
};

std::string MakeTestZip(const std::vector<TestZipEntry>& entries);
