// Files of the computer the tests run on (not of a simulated machine).
#pragma once

#include <fstream>
#include <iterator>
#include <string>

// The bytes of a host file; empty when it cannot be read.
inline std::string ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteHostFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
