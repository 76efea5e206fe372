#include "ProgramFiles.h"

#include <cstdint>
#include <cstdio>

namespace {
void Put(std::string& bytes, size_t at, uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + size_t(i)] = char(value >> (8 * i));
}
}  // namespace

// Headers with what the Windows loader checks, one ".rsrc" section at RVA
// 0x1000 (file offset 0x200) holding the directories RT_VERSION / 1 / neutral,
// each with one entry, and a VS_VERSION_INFO block at offset 96.
std::string MakeProgramFile(const char* version, bool x64) {
    std::string b(0x400, '\0');
    const size_t pe = 0x40, optional = pe + 24, optionalSize = x64 ? 240 : 224, section = optional + optionalSize;
    b[0] = 'M', b[1] = 'Z', b[pe] = 'P', b[pe + 1] = 'E';
    Put(b, 0x3C, pe, 4);
    Put(b, pe + 4, x64 ? 0x8664 : 0x014C, 2);                      // machine
    Put(b, pe + 6, 1, 2);                                            // one section
    Put(b, pe + 20, optionalSize, 2);
    Put(b, pe + 22, x64 ? 0x22 : 0x102, 2);                          // an executable image
    Put(b, optional, x64 ? 0x20B : 0x10B, 2);
    Put(b, optional + 24, x64 ? 0x140000000ull : 0x400000ull << 32, 8);  // image base
    Put(b, optional + 32, 0x20000001000ull, 8);                      // section and file alignment
    Put(b, optional + 40, 5, 2), Put(b, optional + 48, 5, 2);        // Windows and subsystem versions
    Put(b, optional + 56, 0x20000002000ull, 8);                      // image and header sizes
    Put(b, optional + 68, 2, 2);                                     // GUI
    Put(b, optional + (x64 ? 108 : 92), 16, 4);                      // data directories
    b.replace(section, 5, ".rsrc");
    Put(b, section + 8, 0x100000000200ull, 8);                       // virtual size 0x200 at 0x1000
    Put(b, section + 16, 0x20000000200ull, 8);                       // raw size 0x200 at 0x200
    Put(b, section + 36, 0x40000040, 4);
    if (!version) return b;
    Put(b, optional + (x64 ? 112 : 96) + 16, 0x20000001000ull, 8);   // resource directory
    const size_t r = 0x200;
    const uint32_t ids[] = {16, 1, 0};
    for (size_t level = 0; level < 3; ++level) {
        Put(b, r + 24 * level + 12, 1u << 16, 4);                    // one numeric entry
        Put(b, r + 24 * level + 16, ids[level], 4);
        Put(b, r + 24 * level + 20, level < 2 ? (0x80000000u | (24 * (level + 1))) : 80, 4);
    }
    Put(b, r + 80, (92ull << 32) | (0x1000 + 96), 8);                // the block's address and size
    Put(b, r + 96, (52ull << 16) | 92, 4);                           // block and fixed-record lengths
    const char key[] = "VS_VERSION_INFO";
    for (size_t i = 0; key[i]; ++i) Put(b, r + 102 + 2 * i, uint8_t(key[i]), 2);
    unsigned part[4] = {};
    std::sscanf(version, "%u.%u.%u.%u", &part[0], &part[1], &part[2], &part[3]);
    Put(b, r + 136, 0x00010000FEEF04BDull, 8);
    Put(b, r + 144, uint64_t(part[0]) << 16 | part[1] | uint64_t(part[2] << 16 | part[3]) << 32, 8);
    return b;
}

// The export directory at the start of the ".rsrc" section (file offset
// 0x200), the array of name addresses after it, then the names.
std::string MakeLibraryFile(std::initializer_list<const char*> exports) {
    std::string b = MakeProgramFile(nullptr);
    Put(b, 0x40 + 22, 0x2102, 2);  // a library
    if (exports.size() == 0) return b;
    const size_t r = 0x200, names = r + 40;
    size_t text = names + 4 * exports.size();
    Put(b, kExportTableAt, (uint64_t(text - r) << 32) | 0x1000, 8);
    Put(b, r + 24, exports.size(), 4);
    Put(b, r + 32, 0x1000 + 40, 4);
    size_t i = 0;
    for (const char* name : exports) {
        Put(b, names + 4 * i++, 0x1000 + (text - r), 4);
        b.replace(text, std::string(name).size(), name);
        text += std::string(name).size() + 1;
    }
    return b;
}
