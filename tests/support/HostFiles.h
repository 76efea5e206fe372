// Files of the computer the tests run on (not of a simulated machine).
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

// The bytes of a host file; empty when it cannot be read.
inline std::string ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteHostFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Text as Windows programs write it to a file: UTF-16 after its byte-order
// mark, little-endian unless `bigEndian`.
inline std::string Utf16FileBytes(std::u16string_view text, bool bigEndian = false) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        const char high = char(c >> 8), low = char(c & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

#ifndef _WIN32
#include <unistd.h>

#include <atomic>
#include <filesystem>

// A path under the host's temporary folder that no other test process and no
// earlier call uses ("<prefix>-<process>-<count>"), with whatever a crashed
// run left there removed. Nothing is created.
inline std::filesystem::path NewHostTempPath(const std::string& prefix) {
    static std::atomic<int> count{0};
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       (prefix + "-" + std::to_string(getpid()) + "-" + std::to_string(++count));
    std::filesystem::remove_all(path);
    return path;
}
#endif
