#include "PeExportNames.h"

#include <cstdint>

namespace {
constexpr uint16_t kPe32Magic = 0x10B, kPe32PlusMagic = 0x20B;
constexpr uint32_t kMostNames = 1u << 16;  // far more than any real library exports

class PeReader {
public:
    explicit PeReader(const std::string& bytes) : bytes_(bytes) {}

    bool Read16(uint64_t offset, uint16_t& value) const {
        if (offset + 2 > bytes_.size()) return false;
        value = uint16_t(Byte(offset) | Byte(offset + 1) << 8);
        return true;
    }
    bool Read32(uint64_t offset, uint32_t& value) const {
        uint16_t low, high;
        if (!Read16(offset, low) || !Read16(offset + 2, high)) return false;
        value = uint32_t(low) | uint32_t(high) << 16;
        return true;
    }
    // The zero-terminated text at `offset` equals `text`.
    bool TextAt(uint64_t offset, std::string_view text) const {
        if (offset + text.size() + 1 > bytes_.size()) return false;
        return bytes_.compare(size_t(offset), text.size(), text) == 0 && bytes_[size_t(offset + text.size())] == 0;
    }

    // Reads the headers; false when the bytes are not a PE file with an export table.
    bool Open() {
        uint32_t peOffset, signature;
        if (bytes_.size() < 0x40 || bytes_.compare(0, 2, "MZ") != 0 || !Read32(0x3C, peOffset)) return false;
        if (!Read32(peOffset, signature) || signature != 0x00004550) return false;  // "PE\0\0"
        const uint64_t fileHeader = uint64_t(peOffset) + 4, optionalHeader = fileHeader + 20;
        uint16_t optionalSize, magic;
        uint32_t directoryCount;
        if (!Read16(fileHeader + 2, sectionCount_) || !Read16(fileHeader + 16, optionalSize) ||
            !Read16(optionalHeader, magic))
            return false;
        if (magic != kPe32Magic && magic != kPe32PlusMagic) return false;
        const uint64_t directories = optionalHeader + (magic == kPe32Magic ? 96 : 112);
        if (!Read32(directories - 4, directoryCount) || directoryCount < 1) return false;
        if (!Read32(directories, exportRva_) || exportRva_ == 0) return false;
        sections_ = optionalHeader + optionalSize;
        return true;
    }
    uint32_t ExportRva() const { return exportRva_; }

    // The file offset of an address of the loaded image, through the section table.
    bool OffsetOf(uint32_t rva, uint64_t& offset) const {
        for (uint16_t i = 0; i < sectionCount_; ++i) {
            const uint64_t section = sections_ + uint64_t(i) * 40;
            uint32_t address, rawSize, rawOffset;  // only what the file holds can be read
            if (!Read32(section + 12, address) || !Read32(section + 16, rawSize) || !Read32(section + 20, rawOffset))
                return false;
            if (rva >= address && uint64_t(rva) < uint64_t(address) + rawSize) {
                offset = uint64_t(rawOffset) + (rva - address);
                return offset < bytes_.size();
            }
        }
        return false;
    }

private:
    uint32_t Byte(uint64_t offset) const { return uint8_t(bytes_[size_t(offset)]); }

    const std::string& bytes_;
    uint16_t sectionCount_ = 0;
    uint64_t sections_ = 0;
    uint32_t exportRva_ = 0;
};
}  // namespace

bool VnPeExportsName(const std::string& fileBytes, std::string_view exportName) {
    PeReader pe(fileBytes);
    uint64_t directory, names;
    uint32_t nameCount, namesRva;
    if (exportName.empty() || !pe.Open() || !pe.OffsetOf(pe.ExportRva(), directory)) return false;
    if (!pe.Read32(directory + 24, nameCount) || !pe.Read32(directory + 32, namesRva) ||
        !pe.OffsetOf(namesRva, names))
        return false;
    for (uint32_t i = 0; i < nameCount && i < kMostNames; ++i) {
        uint32_t nameRva;
        uint64_t name;
        if (!pe.Read32(names + uint64_t(i) * 4, nameRva)) return false;
        if (pe.OffsetOf(nameRva, name) && pe.TextAt(name, exportName)) return true;
    }
    return false;
}
