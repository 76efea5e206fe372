#include "TestZipWriter.h"

#include <zlib.h>

namespace {
void Put16(std::string& out, uint32_t v) {
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::string RawDeflate(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, uLong(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}
}  // namespace

std::string MakeTestZip(const std::vector<TestZipEntry>& entries) {
    std::string archive, directory;
    for (const TestZipEntry& entry : entries) {
        const std::string packed = entry.deflate ? RawDeflate(entry.data) : entry.data;
        const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()), uInt(entry.data.size())));
        const uint32_t size = entry.declaredSize.value_or(uint32_t(entry.data.size()));
        const uint32_t offset = uint32_t(archive.size());
        auto common = [&](std::string& out) {
            Put16(out, 20);
            Put16(out, entry.flags);
            Put16(out, entry.deflate ? 8 : 0);
            Put32(out, 0);  // time and date
            Put32(out, crc);
            Put32(out, uint32_t(packed.size()));
            Put32(out, size);
            Put16(out, uint32_t(entry.name.size()));
            Put16(out, 0);
        };
        Put32(archive, 0x04034B50);
        common(archive);
        archive += entry.name + packed;

        Put32(directory, 0x02014B50);
        Put16(directory, 20);
        common(directory);
        Put16(directory, 0);  // comment
        Put16(directory, 0);  // disk
        Put16(directory, 0);  // internal attributes
        Put32(directory, 0);  // external attributes
        Put32(directory, offset);
        directory += entry.name;
    }
    const uint32_t directoryOffset = uint32_t(archive.size());
    archive += directory;
    Put32(archive, 0x06054B50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, uint32_t(entries.size()));
    Put16(archive, uint32_t(entries.size()));
    Put32(archive, uint32_t(directory.size()));
    Put32(archive, directoryOffset);
    Put16(archive, 0);
    return archive;
}
