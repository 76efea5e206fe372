// Reading zip archives: the central directory, each entry's data (stored or
// deflated, checked against its size and CRC-32) streamed in pieces, and the
// test that keeps an entry's path inside the folder it is extracted to.
//
// Only single-part archives without ZIP64 records or encryption are read;
// anything else, and anything malformed, is refused with a reason.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
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

// Where an archive's bytes come from, read by ranges so that an archive on
// disk is never held whole.
class VnZipSource {
public:
    virtual ~VnZipSource() = default;
    virtual uint64_t Size() const = 0;
    // `count` bytes at `offset` in `bytes`, valid until the next Read; false
    // when they cannot all be read.
    virtual bool Read(uint64_t offset, size_t count, std::string_view& bytes) = 0;
};

// Receives an entry's data piece by piece; false stops the reading.
using VnZipSink = std::function<bool(std::string_view piece)>;

class VnZipArchive {
public:
    // Reads the central directory of the archive in `source`, which must stay
    // alive while the archive is used. False with a reason when it is not a
    // zip archive this reader can read.
    bool Open(VnZipSource& source, VnString& error);
    // The same for an archive held in memory (`bytes` must stay alive).
    bool Open(std::string_view bytes, VnString& error);

    const VnCoreArray<VnZipEntry>& Entries() const { return entries_; }

    // What the central directory alone tells about entry `index`: false with
    // a reason when it is encrypted, uses an unknown method, is larger than
    // `maxSize` bytes or places its data outside the entries' part of the file.
    bool CheckEntry(int32_t index, VnString& error, size_t maxSize = kDefaultMaxEntrySize) const;

    // Decodes entry `index` and hands its data to `sink` in pieces of at most
    // a megabyte. False with a reason when CheckEntry refuses it or its data
    // is damaged (the pieces already handed over are then not to be trusted),
    // false with an empty reason when the sink stopped it.
    bool ReadEntryTo(int32_t index, const VnZipSink& sink, VnString& error,
                     size_t maxSize = kDefaultMaxEntrySize) const;
    // The same, collected into `data`.
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
    // The largest piece read from the source or handed to a sink at once.
    static constexpr size_t kPieceSize = size_t(1) << 20;

private:
    bool ReadCentralDirectory(uint32_t offset, uint32_t size, uint32_t count, VnString& error);

    VnZipSource* source_ = nullptr;
    std::unique_ptr<VnZipSource> ownSource_;
    uint32_t directoryOffset_ = 0;  // where the entries' part of the file ends
    VnCoreArray<VnZipEntry> entries_;
};
