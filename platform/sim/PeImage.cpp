#include "PeImage.h"

#include <algorithm>

namespace {

// Little-endian reads that refuse to step outside the buffer. All offsets are
// 64-bit so that adding two 32-bit file fields can never wrap.
class ByteView {
public:
    explicit ByteView(const std::string& bytes) : bytes_(bytes) {}

    uint64_t Size() const { return bytes_.size(); }
    bool Has(uint64_t offset, uint64_t length) const { return offset <= Size() && length <= Size() - offset; }

    bool U16(uint64_t offset, uint32_t& value) const {
        if (!Has(offset, 2)) return false;
        value = Byte(offset) | Byte(offset + 1) << 8;
        return true;
    }
    bool U32(uint64_t offset, uint32_t& value) const {
        if (!Has(offset, 4)) return false;
        value = Byte(offset) | Byte(offset + 1) << 8 | Byte(offset + 2) << 16 | Byte(offset + 3) << 24;
        return true;
    }

private:
    uint32_t Byte(uint64_t offset) const { return static_cast<unsigned char>(bytes_[offset]); }
    const std::string& bytes_;
};

constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint32_t kOptionalMagicPe32 = 0x10B, kOptionalMagicPe32Plus = 0x20B;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint32_t kRtVersion = 16, kVsVersionInfoId = 1, kLanguageNeutral = 0;
constexpr uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr uint32_t kFixedFileInfoSize = 52;
constexpr uint32_t kSubdirectoryFlag = 0x80000000;

struct PeHeaders {
    uint32_t peOffset = 0;
    uint32_t machine = 0;
    uint32_t sectionCount = 0;
    uint64_t sectionTable = 0;
    uint32_t resourceRva = 0;
    uint32_t resourceSize = 0;
};

bool ReadHeaders(const ByteView& file, PeHeaders& pe) {
    uint32_t mz = 0, signature = 0;
    if (!file.U16(0, mz) || mz != 0x5A4D) return false;
    if (!file.U32(0x3C, pe.peOffset)) return false;
    if (!file.U32(pe.peOffset, signature) || signature != kPeSignature) return false;
    const uint64_t coff = uint64_t(pe.peOffset) + 4;
    uint32_t optionalSize = 0;
    if (!file.Has(coff, 20)) return false;  // the whole file header, or not a PE file
    if (!file.U16(coff, pe.machine) || !file.U16(coff + 2, pe.sectionCount) || !file.U16(coff + 16, optionalSize))
        return false;
    const uint64_t optional = coff + 20;
    pe.sectionTable = optional + optionalSize;

    // The resource directory is optional: a PE file without one has no version.
    uint32_t magic = 0;
    if (!file.U16(optional, magic)) return true;
    uint64_t countField, directories;
    if (magic == kOptionalMagicPe32) {
        countField = 92, directories = 96;
    } else if (magic == kOptionalMagicPe32Plus) {
        countField = 108, directories = 112;
    } else {
        return true;
    }
    uint32_t directoryCount = 0;
    const uint64_t entry = directories + kResourceDirectoryIndex * 8;
    if (!file.U32(optional + countField, directoryCount) || directoryCount <= kResourceDirectoryIndex) return true;
    if (entry + 8 > optionalSize) return true;
    if (!file.U32(optional + entry, pe.resourceRva) || !file.U32(optional + entry + 4, pe.resourceSize)) {
        pe.resourceRva = pe.resourceSize = 0;
    }
    return true;
}

// Maps an address of the loaded image to the file offset that holds it; the
// bytes from there to the end of the section's raw data are available.
bool RvaToOffset(const ByteView& file, const PeHeaders& pe, uint32_t rva, uint64_t& offset, uint64_t& available) {
    for (uint32_t i = 0; i < pe.sectionCount; ++i) {
        const uint64_t header = pe.sectionTable + uint64_t(i) * 40;
        uint32_t virtualSize = 0, virtualAddress = 0, rawSize = 0, rawPointer = 0;
        if (!file.U32(header + 8, virtualSize) || !file.U32(header + 12, virtualAddress) ||
            !file.U32(header + 16, rawSize) || !file.U32(header + 20, rawPointer))
            return false;
        const uint64_t span = virtualSize ? virtualSize : rawSize;
        if (rva < virtualAddress || rva - uint64_t(virtualAddress) >= span) continue;
        const uint64_t delta = rva - uint64_t(virtualAddress);
        if (delta >= rawSize) return false;  // in the section, but not stored in the file
        offset = rawPointer + delta;
        if (offset >= file.Size()) return false;
        available = std::min<uint64_t>(rawSize - delta, file.Size() - offset);
        return true;
    }
    return false;
}

// One resource directory: its entries, each an identifier and the offset (from
// the start of the resource data) of a subdirectory or of a data entry.
struct ResourceDirectory {
    const ByteView& file;
    uint64_t base;   // file offset of the resource data
    uint64_t limit;  // bytes of resource data available from base

    bool Read(uint64_t at, uint32_t& value) const { return at + 4 <= limit && file.U32(base + at, value); }

    // Finds the entry with the given numeric identifier, or, with anyEntry, the
    // first entry of the directory. Named entries come first in a directory;
    // only numeric ones can match an identifier.
    bool Find(uint64_t directory, bool wantSubdirectory, uint32_t id, bool anyEntry, uint64_t& target) const {
        uint32_t counts = 0;  // named entries in the low half, numeric ones in the high half
        if (!Read(directory + 12, counts)) return false;
        const uint64_t total = (counts & 0xFFFF) + (counts >> 16);
        for (uint64_t i = 0; i < total; ++i) {  // at most 131070 entries: bounded
            const uint64_t entry = directory + 16 + i * 8;
            uint32_t name = 0, offset = 0;
            if (!Read(entry, name) || !Read(entry + 4, offset)) return false;
            if (!anyEntry && name != id) continue;
            if (((offset & kSubdirectoryFlag) != 0) != wantSubdirectory) return false;
            target = offset & ~kSubdirectoryFlag;
            return true;
        }
        return false;
    }
};

// Locates the version block: type RT_VERSION, name 1, language neutral when
// present, else the first language (the file's only one, in practice).
bool FindVersionBlock(const ByteView& file, const PeHeaders& pe, uint64_t& offset, uint64_t& size) {
    if (pe.resourceRva == 0) return false;
    uint64_t base = 0, available = 0;
    if (!RvaToOffset(file, pe, pe.resourceRva, base, available)) return false;
    if (pe.resourceSize) available = std::min<uint64_t>(available, pe.resourceSize);
    const ResourceDirectory resources{file, base, available};

    uint64_t names = 0, languages = 0, dataEntry = 0;
    if (!resources.Find(0, true, kRtVersion, false, names)) return false;
    if (!resources.Find(names, true, kVsVersionInfoId, false, languages)) return false;
    if (!resources.Find(languages, false, kLanguageNeutral, false, dataEntry) &&
        !resources.Find(languages, false, 0, true, dataEntry))
        return false;

    uint32_t dataRva = 0, dataSize = 0;
    if (!resources.Read(dataEntry, dataRva) || !resources.Read(dataEntry + 4, dataSize)) return false;
    uint64_t dataAvailable = 0;
    if (!RvaToOffset(file, pe, dataRva, offset, dataAvailable)) return false;
    size = std::min<uint64_t>(dataSize, dataAvailable);
    return true;
}

// The fixed record follows the block's header (length, value length, type),
// its NUL-terminated UTF-16 key and padding to a 32-bit boundary of the block.
bool ReadFixedFileInfo(const ByteView& file, uint64_t block, uint64_t blockSize, uint32_t& ms, uint32_t& ls) {
    uint32_t length = 0, valueLength = 0;
    if (blockSize < 6 || !file.U16(block, length) || !file.U16(block + 2, valueLength)) return false;
    const uint64_t end = std::min<uint64_t>(length, blockSize);
    uint64_t at = 6;
    for (uint32_t ch = 1; ch != 0; at += 2) {
        if (at + 2 > end || !file.U16(block + at, ch)) return false;
    }
    at = (at + 3) & ~uint64_t(3);
    uint32_t signature = 0;
    if (valueLength < kFixedFileInfoSize || at + kFixedFileInfoSize > end) return false;
    if (!file.U32(block + at, signature) || signature != kFixedFileInfoSignature) return false;
    return file.U32(block + at + 8, ms) && file.U32(block + at + 12, ls);
}

}  // namespace

uint16_t VnReadPeMachine(const std::string& fileBytes) {
    const ByteView file(fileBytes);
    PeHeaders pe;
    return ReadHeaders(file, pe) ? static_cast<uint16_t>(pe.machine) : 0;
}

bool VnReadPeFileVersion(const std::string& fileBytes, uint32_t& versionMS, uint32_t& versionLS) {
    versionMS = versionLS = 0;
    const ByteView file(fileBytes);
    PeHeaders pe;
    uint64_t block = 0, blockSize = 0;
    uint32_t ms = 0, ls = 0;
    if (!ReadHeaders(file, pe) || !FindVersionBlock(file, pe, block, blockSize) ||
        !ReadFixedFileInfo(file, block, blockSize, ms, ls))
        return false;
    versionMS = ms;
    versionLS = ls;
    return true;
}
