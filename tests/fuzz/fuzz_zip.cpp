// Any bytes read as a zip archive, and as a raw deflate stream: no read
// outside the buffer, no output past the limit, and answers that agree with
// each other (an entry that reads back has its declared size and CRC-32, and
// an accepted path never climbs out of its folder).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// The fuzz targets link only the foundation library, so the reader is built in.
#include "../../standins/vntools/VnInflate.cpp"
#include "../../standins/vntools/VnZipArchive.cpp"

namespace {
constexpr size_t kLimit = 1 << 20;

void CheckRelativePath(const VnZipEntry& entry) {
    VnString relative;
    if (!VnZipArchive::RelativePathOf(entry.name, relative) || relative.IsEmpty()) return;  // empty: the folder itself
    if (relative.StartsWith(u"\\") || relative.Contains(u":")) std::abort();
    for (const VnString& part : VnStringArray::Split(relative, u"\\"))
        if (part.IsEmpty() || part.View().find_first_not_of(u". ") == std::u16string_view::npos) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    std::string inflated;
    VnInflate(bytes, inflated, kLimit);
    if (inflated.size() > kLimit) std::abort();

    VnZipArchive archive;
    VnString error;
    if (!archive.Open(bytes, error)) return 0;
    for (int32_t i = 0; i < archive.Entries().GetSize(); ++i) {
        const VnZipEntry& entry = archive.Entries()[i];
        CheckRelativePath(entry);
        std::string content;
        if (!archive.ReadEntry(i, content, error, kLimit)) continue;
        if (content.size() != entry.size || VnZipArchive::Crc32(content) != entry.crc32) std::abort();
    }
    return 0;
}
