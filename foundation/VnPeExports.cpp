#include "VnPeExports.h"

#include <array>

namespace {
constexpr uint16_t kPe32Magic = 0x10B, kPe32PlusMagic = 0x20B;
constexpr uint32_t kMostNames = 1u << 16;  // far more than any real library exports
constexpr uint32_t kPageSize = 4096;
// The first read: the headers, and in a library of up to this size its export
// directory and names too, so that most libraries cost one read (one open of
// the file) instead of one per page.
constexpr uint32_t kFirstWindow = 64 * 1024;

// The file's bytes in windows, the last few kept: the first window from the
// start, then a page at a time where the tables lie beyond it.
class WindowedFile {
public:
    explicit WindowedFile(const VnFileRangeReader& read) : read_(read) {}

    // False past the end of the file or when it cannot be read.
    bool Byte(uint64_t offset, uint8_t& value) {
        const Window* window = WindowAt(offset);
        if (!window || offset - window->start >= window->bytes.size()) return false;
        value = uint8_t(window->bytes[size_t(offset - window->start)]);
        return true;
    }

private:
    struct Window {
        uint64_t start = 0, span = 0;  // asked for: a shorter read means the file ends there
        std::string bytes;
        bool readable = false;
    };
    // Null when the window holding `offset` cannot be read.
    const Window* WindowAt(uint64_t offset) {
        for (const Window& window : windows_)
            if (window.span != 0 && offset >= window.start && offset - window.start < window.span)
                return window.readable ? &window : nullptr;
        Window& slot = windows_[next_++ % windows_.size()];
        slot.start = offset < kFirstWindow ? 0 : offset / kPageSize * kPageSize;
        slot.span = slot.start == 0 ? kFirstWindow : kPageSize;
        slot.bytes.clear();
        slot.readable = read_(slot.start, uint32_t(slot.span), slot.bytes);
        return slot.readable ? &slot : nullptr;
    }

    const VnFileRangeReader& read_;
    std::array<Window, 4> windows_;
    size_t next_ = 0;
};

class PeReader {
public:
    explicit PeReader(WindowedFile& file) : file_(file) {}

    bool Read16(uint64_t offset, uint16_t& value) {
        uint8_t low, high;
        if (!file_.Byte(offset, low) || !file_.Byte(offset + 1, high)) return false;
        value = uint16_t(low | high << 8);
        return true;
    }
    bool Read32(uint64_t offset, uint32_t& value) {
        uint16_t low, high;
        if (!Read16(offset, low) || !Read16(offset + 2, high)) return false;
        value = uint32_t(low) | uint32_t(high) << 16;
        return true;
    }
    // The zero-terminated text at `offset` equals `text`; false also when it cannot be read.
    bool TextAt(uint64_t offset, std::string_view text, bool& readable) {
        readable = true;
        for (size_t i = 0; i <= text.size(); ++i) {
            uint8_t byte;
            if (!file_.Byte(offset + i, byte)) return readable = false;
            if (byte != (i < text.size() ? uint8_t(text[i]) : 0)) return false;
        }
        return true;
    }

    // Reads the headers; false when the bytes are not a PE file. `exportRva`
    // is 0 for a file without an export table.
    bool Open(uint32_t& exportRva) {
        uint16_t mz;
        uint32_t peOffset, signature;
        if (!Read16(0, mz) || mz != 0x5A4D || !Read32(0x3C, peOffset)) return false;  // "MZ"
        if (!Read32(peOffset, signature) || signature != 0x00004550) return false;    // "PE\0\0"
        const uint64_t fileHeader = uint64_t(peOffset) + 4, optionalHeader = fileHeader + 20;
        uint16_t optionalSize, magic;
        uint32_t directoryCount;
        if (!Read16(fileHeader + 2, sectionCount_) || !Read16(fileHeader + 16, optionalSize) ||
            !Read16(optionalHeader, magic))
            return false;
        if (magic != kPe32Magic && magic != kPe32PlusMagic) return false;
        const uint64_t directories = optionalHeader + (magic == kPe32Magic ? 96 : 112);
        if (!Read32(directories - 4, directoryCount)) return false;
        exportRva = 0;
        if (directoryCount >= 1 && !Read32(directories, exportRva)) return false;
        sections_ = optionalHeader + optionalSize;
        return true;
    }

    // The file offset of an address of the loaded image, through the section table.
    bool OffsetOf(uint32_t rva, uint64_t& offset) {
        for (uint16_t i = 0; i < sectionCount_; ++i) {
            const uint64_t section = sections_ + uint64_t(i) * 40;
            uint32_t address, rawSize, rawOffset;  // only what the file holds can be read
            if (!Read32(section + 12, address) || !Read32(section + 16, rawSize) || !Read32(section + 20, rawOffset))
                return false;
            if (rva >= address && uint64_t(rva) < uint64_t(address) + rawSize) {
                offset = uint64_t(rawOffset) + (rva - address);
                return true;
            }
        }
        return false;
    }

private:
    WindowedFile& file_;
    uint16_t sectionCount_ = 0;
    uint64_t sections_ = 0;
};
}  // namespace

VnPeExport VnFindPeExport(const VnFileRangeReader& read, std::string_view exportName) {
    WindowedFile file(read);
    PeReader pe(file);
    uint32_t exportRva = 0, nameCount, namesRva;
    uint64_t directory, names;
    if (exportName.empty() || !pe.Open(exportRva)) return VnPeExport::Unknown;
    if (exportRva == 0) return VnPeExport::NotNamed;  // the loader finds nothing in a library without the table
    if (!pe.OffsetOf(exportRva, directory) || !pe.Read32(directory + 24, nameCount)) return VnPeExport::Unknown;
    if (nameCount == 0) return VnPeExport::NotNamed;
    if (nameCount > kMostNames || !pe.Read32(directory + 32, namesRva) || !pe.OffsetOf(namesRva, names))
        return VnPeExport::Unknown;
    bool everyNameRead = true;
    for (uint32_t i = 0; i < nameCount; ++i) {
        uint32_t nameRva;
        uint64_t name;
        bool readable = false;
        if (!pe.Read32(names + uint64_t(i) * 4, nameRva)) return VnPeExport::Unknown;
        if (pe.OffsetOf(nameRva, name) && pe.TextAt(name, exportName, readable)) return VnPeExport::Named;
        everyNameRead = everyNameRead && readable;
    }
    return everyNameRead ? VnPeExport::NotNamed : VnPeExport::Unknown;
}

bool VnPeExportsName(const std::string& fileBytes, std::string_view exportName) {
    const VnFileRangeReader inMemory = [&fileBytes](uint64_t offset, uint32_t size, std::string& bytes) {
        if (offset < fileBytes.size()) bytes.assign(fileBytes, size_t(offset), size);
        return true;
    };
    return VnFindPeExport(inMemory, exportName) == VnPeExport::Named;
}
