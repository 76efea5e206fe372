// Reading zip archives held in memory: the central directory, each entry's
// data (stored or deflated, checked against its size and CRC-32), and the
// test that keeps an entry's path inside the folder it is extracted to.
//
// Only single-part archives without ZIP64 records or encryption are read;
// anything else, and anything malformed, is refused with a reason.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "VnArray.h"
#include "VnString.h"

struct VnZipEntry {
    VnString name;  // as stored, "/" or "\" separated; a folder ends with a separator
    uint16_t flags = 0;
    uint16_t method = 0;  // 0 stored, 8 deflated
    uint32_t crc32 = 0;
    uint32_t compressedSize = 0;
    uint32_t size = 0;
    uint32_t localHeaderOffset = 0;

    bool IsFolder() const { return name.EndsWith(u"/") || name.EndsWith(u"\\"); }
};

class VnZipArchive {
public:
    // Reads the central directory of the archive in `bytes`, which must stay
    // alive while the archive is used. False with a reason when it is not a
    // zip archive this reader can read.
    bool Open(std::string_view bytes, VnString& error);

    const VnCoreArray<VnZipEntry>& Entries() const { return entries_; }

    // Decodes entry `index` into `data`. False with a reason when its data is
    // damaged, its method is unknown, or it is larger than `maxSize` bytes.
    bool ReadEntry(int32_t index, std::string& data, VnString& error, size_t maxSize = kDefaultMaxEntrySize) const;

    // The path of an entry below the folder it is extracted to, as components
    // joined by "\" ("." components and repeated separators dropped). False
    // when the path would leave that folder or cannot name a Windows file: an
    // absolute path, a drive or stream (":"), a component of only dots and
    // spaces (".." and what Windows reads as ".."), or a character Windows
    // does not allow in names.
    static bool RelativePathOf(const VnString& name, VnString& relative);

    static uint32_t Crc32(std::string_view bytes);

    static constexpr size_t kDefaultMaxEntrySize = size_t(1) << 30;

private:
    bool ReadCentralDirectory(uint32_t offset, uint32_t size, uint32_t count, VnString& error);

    std::string_view bytes_;
    VnCoreArray<VnZipEntry> entries_;
};
