#include "VnZipArchive.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

#include "VnInflate.h"

namespace {

constexpr uint32_t kEndOfDirectorySignature = 0x06054B50;
constexpr uint32_t kDirectoryEntrySignature = 0x02014B50;
constexpr uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr size_t kEndOfDirectorySize = 22;
constexpr size_t kDirectoryEntrySize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagUtf8Names = 0x0800;

uint16_t Read16(std::string_view bytes, size_t at) {
    return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8);
}
uint32_t Read32(std::string_view bytes, size_t at) { return Read16(bytes, at) | uint32_t(Read16(bytes, at + 2)) << 16; }

// Names without the UTF-8 flag are in the DOS code page 437.
constexpr char16_t kCodePage437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC,
    0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2,
    0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310,
    0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C,
    0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF,
    0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2,
    0x25A0, 0x00A0};

VnString FromCodePage437(std::string_view raw) {
    VnString name;
    for (char c : raw) name += uint8_t(c) < 0x80 ? char16_t(uint8_t(c)) : kCodePage437High[uint8_t(c) - 0x80];
    return name;
}

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or
// values past U+10FFFF).
bool IsUtf8(std::string_view raw) {
    for (size_t at = 0; at < raw.size();) {
        uint8_t lead = uint8_t(raw[at]);
        int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || at + extra >= raw.size()) return false;
        uint32_t value = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int i = 1; i <= extra; ++i) {
            uint8_t next = uint8_t(raw[at + i]);
            if ((next & 0xC0) != 0x80) return false;
            value = value << 6 | (next & 0x3F);
        }
        static constexpr uint32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
        if (value < kSmallest[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
        at += extra + 1;
    }
    return true;
}

// Names are UTF-8 when the archive says so. Without the flag, tools on Linux
// still write UTF-8 while older tools wrote code page 437: well-formed UTF-8
// is taken as UTF-8 (code page 437 text is almost never well-formed UTF-8).
VnString DecodeName(std::string_view raw, uint16_t flags) {
    return (flags & kFlagUtf8Names) || IsUtf8(raw) ? VnString::FromUtf8(raw) : FromCodePage437(raw);
}

bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

bool IsAllowedInName(char16_t c) { return c >= 0x20 && std::u16string_view(u"<>:\"|?*").find(c) == std::u16string_view::npos; }

// Windows drops trailing dots and spaces from a name, so "..", ". ." and
// "... " all name the parent folder: a component made only of them is refused.
bool IsOnlyDotsAndSpaces(std::u16string_view component) {
    return component.find_first_not_of(u". ") == std::u16string_view::npos;
}

uint32_t UpdateCrc32(uint32_t crc, std::string_view bytes) {
    for (; bytes.size() > UINT_MAX / 2; bytes.remove_prefix(UINT_MAX / 2))
        crc = uint32_t(crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), UINT_MAX / 2));
    return uint32_t(crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size())));
}

class MemorySource final : public VnZipSource {
public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool Read(uint64_t offset, size_t count, std::string_view& bytes) override {
        if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
        bytes = bytes_.substr(size_t(offset), count);
        return true;
    }

private:
    std::string_view bytes_;
};

}  // namespace

uint32_t VnZipArchive::Crc32(std::string_view bytes) { return UpdateCrc32(0, bytes); }

bool VnZipArchive::Open(std::string_view bytes, VnString& error) {
    ownSource_ = std::make_unique<MemorySource>(bytes);
    return Open(*ownSource_, error);
}

bool VnZipArchive::Open(VnZipSource& source, VnString& error) {
    source_ = &source;
    entries_.RemoveAll();
    const uint64_t fileSize = source.Size();
    if (fileSize < kEndOfDirectorySize) {
        error = VN_LIT(u"not a zip archive (too short)");
        return false;
    }
    // The end record sits before a comment of at most 65535 bytes.
    const uint64_t tailStart = fileSize > kEndOfDirectorySize + 0xFFFF ? fileSize - kEndOfDirectorySize - 0xFFFF : 0;
    std::string_view tail;
    if (!source.Read(tailStart, size_t(fileSize - tailStart), tail)) {
        error = VN_LIT(u"the archive could not be read");
        return false;
    }
    for (size_t at = tail.size() - kEndOfDirectorySize + 1; at-- > 0;) {
        if (Read32(tail, at) != kEndOfDirectorySignature) continue;
        uint16_t disk = Read16(tail, at + 4), directoryDisk = Read16(tail, at + 6);
        uint16_t entriesHere = Read16(tail, at + 8), entriesTotal = Read16(tail, at + 10);
        uint32_t directorySize = Read32(tail, at + 12), directoryOffset = Read32(tail, at + 16);
        if (entriesTotal == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF) {
            error = VN_LIT(u"ZIP64 archives are not supported");
            return false;
        }
        if (disk != 0 || directoryDisk != 0 || entriesHere != entriesTotal) {
            error = VN_LIT(u"archives in several parts are not supported");
            return false;
        }
        if (uint64_t(directoryOffset) + directorySize > tailStart + at) {
            error = VN_LIT(u"damaged archive: the central directory lies outside the file");
            return false;
        }
        return ReadCentralDirectory(directoryOffset, directorySize, entriesTotal, error);
    }
    error = VN_LIT(u"not a zip archive (no end of central directory)");
    return false;
}

bool VnZipArchive::ReadCentralDirectory(uint32_t offset, uint32_t size, uint32_t count, VnString& error) {
    directoryOffset_ = offset;
    std::string_view view;
    if (!source_->Read(offset, size, view)) {
        error = VN_LIT(u"the archive could not be read");
        return false;
    }
    // The source's view lasts only until its next read.
    const std::string directory(view);
    size_t at = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (at + kDirectoryEntrySize > directory.size() || Read32(directory, at) != kDirectoryEntrySignature) {
            error = VnString::Format(u"damaged archive: central directory entry %d is broken", int(i));
            return false;
        }
        VnZipEntry entry;
        entry.flags = Read16(directory, at + 8);
        entry.method = Read16(directory, at + 10);
        entry.crc32 = Read32(directory, at + 16);
        entry.compressedSize = Read32(directory, at + 20);
        entry.size = Read32(directory, at + 24);
        size_t nameLength = Read16(directory, at + 28), extraLength = Read16(directory, at + 30),
               commentLength = Read16(directory, at + 32);
        entry.localHeaderOffset = Read32(directory, at + 42);
        size_t next = at + kDirectoryEntrySize + nameLength + extraLength + commentLength;
        if (next > directory.size()) {
            error = VnString::Format(u"damaged archive: central directory entry %d is cut short", int(i));
            return false;
        }
        if (entry.compressedSize == 0xFFFFFFFF || entry.size == 0xFFFFFFFF || entry.localHeaderOffset == 0xFFFFFFFF) {
            error = VN_LIT(u"ZIP64 archives are not supported");
            return false;
        }
        std::string_view raw = std::string_view(directory).substr(at + kDirectoryEntrySize, nameLength);
        entry.name = DecodeName(raw, entry.flags);
        entries_.Add(std::move(entry));
        at = next;
    }
    return true;
}

bool VnZipArchive::CheckEntry(int32_t index, VnString& error, size_t maxSize) const {
    if (!entries_.IsValidIndex(index)) {
        error = VN_LIT(u"no such entry");
        return false;
    }
    const VnZipEntry& entry = entries_[index];
    if (entry.flags & kFlagEncrypted) {
        error = VnString::Format(u"%s: encrypted entries are not supported", entry.name);
        return false;
    }
    if (entry.method != 0 && entry.method != 8) {
        error = VnString::Format(u"%s: compression method %d is not supported", entry.name, int(entry.method));
        return false;
    }
    if (entry.method == 0 && entry.compressedSize != entry.size) {
        error = VnString::Format(u"%s: damaged archive: stored sizes differ", entry.name);
        return false;
    }
    if (entry.size > maxSize) {
        error = VnString::Format(u"%s: too large (%u bytes)", entry.name, entry.size);
        return false;
    }
    if (uint64_t(entry.localHeaderOffset) + kLocalHeaderSize + entry.compressedSize > directoryOffset_) {
        error = VnString::Format(u"%s: damaged archive: the data lies outside the file", entry.name);
        return false;
    }
    return true;
}

bool VnZipArchive::ReadEntryTo(int32_t index, const VnZipSink& sink, VnString& error, size_t maxSize) const {
    if (!CheckEntry(index, error, maxSize)) return false;
    const VnZipEntry& entry = entries_[index];
    const uint64_t header = entry.localHeaderOffset;
    std::string_view bytes;
    if (!source_->Read(header, kLocalHeaderSize, bytes) || Read32(bytes, 0) != kLocalHeaderSignature) {
        error = VnString::Format(u"%s: damaged archive: no local header", entry.name);
        return false;
    }
    const uint64_t start = header + kLocalHeaderSize + Read16(bytes, 26) + Read16(bytes, 28);
    if (start + entry.compressedSize > directoryOffset_) {
        error = VnString::Format(u"%s: damaged archive: the data is cut short", entry.name);
        return false;
    }
    uint32_t crc = 0;
    uint64_t size = 0;
    bool stopped = false;
    auto take = [&](std::string_view piece) {
        crc = UpdateCrc32(crc, piece);
        size += piece.size();
        stopped = !sink(piece);
        return !stopped;
    };
    VnInflater inflater(entry.size);
    VnInflateResult result = entry.compressedSize == 0 ? VnInflateResult::kMore : VnInflateResult::kOk;
    for (uint64_t at = start, end = start + entry.compressedSize; at < end;) {
        if (!source_->Read(at, size_t(std::min<uint64_t>(kPieceSize, end - at)), bytes)) {
            error = VnString::Format(u"%s: the archive could not be read", entry.name);
            return false;
        }
        at += bytes.size();
        if (entry.method == 0) {
            if (!take(bytes)) break;
            continue;
        }
        result = inflater.Feed(bytes, take);
        if (result != VnInflateResult::kMore) break;
    }
    if (stopped) {
        error.Empty();
        return false;
    }
    if (entry.method == 8 && result != VnInflateResult::kOk) {
        error = VnString::Format(u"%s: damaged archive: %s", entry.name,
                                 result == VnInflateResult::kTooLarge ? u"more data than declared"
                                 : result == VnInflateResult::kCorrupt ? u"the compressed data is broken"
                                                                      : u"less data than declared");
        return false;
    }
    if (size != entry.size) {
        error = VnString::Format(u"%s: damaged archive: less data than declared", entry.name);
        return false;
    }
    if (crc != entry.crc32) {
        error = VnString::Format(u"%s: damaged archive: CRC-32 mismatch", entry.name);
        return false;
    }
    return true;
}

bool VnZipArchive::ReadEntry(int32_t index, std::string& data, VnString& error, size_t maxSize) const {
    data.clear();
    if (entries_.IsValidIndex(index)) data.reserve(std::min<size_t>(entries_[index].size, size_t(1) << 24));
    return ReadEntryTo(
        index,
        [&](std::string_view piece) {
            data.append(piece);
            return true;
        },
        error, maxSize);
}

bool VnZipArchive::RelativePathOf(const VnString& name, VnString& relative) {
    relative.Empty();
    if (name.IsEmpty() || IsSeparator(name[0])) return false;
    std::u16string_view rest = name.View();
    while (!rest.empty()) {
        size_t end = 0;
        while (end < rest.size() && !IsSeparator(rest[end])) ++end;
        std::u16string_view component = rest.substr(0, end);
        rest.remove_prefix(end < rest.size() ? end + 1 : end);
        if (component.empty() || component == u".") continue;
        if (IsOnlyDotsAndSpaces(component)) return false;
        for (char16_t c : component)
            if (!IsAllowedInName(c)) return false;
        if (!relative.IsEmpty()) relative += u'\\';
        relative += component;
    }
    return true;
}
