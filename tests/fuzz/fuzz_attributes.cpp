// Any bytes as the simulated machine's "attributes.txt": read, written back
// (sorted, by Windows path), and read and written again to the same text.
// fuzz-link: vn_platform
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "SimFileAttributes.h"

namespace {
const std::string& Folder() {
    // Never freed: the exit handler below still needs it.
    static const std::string& folder = *[] {
        auto path = std::filesystem::temp_directory_path() / ("vnfuzz-attributes-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return new std::string(path.string());
    }();
    static const bool removedAtExit = [] {
        return std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(Folder(), ignored);
        }) == 0;
    }();
    (void)removedAtExit;
    return folder;
}

// The inverse of the reader's mapping: "drives/C/dir/file" back to "C:\dir\file".
std::string WindowsPathOf(const std::string& key) {
    std::string path = key.substr(7, 1) + ":" + key.substr(8);
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Loads the file, marks it changed and writes it out again; the text written.
std::string Rewrite() {
    VnSimFileAttributes attributes(Folder(), WindowsPathOf);
    attributes.Load();
    attributes.Set("drives/C/fuzz", 0x1, 0x20);
    attributes.Flush();
    return ReadAll(Folder() + "/attributes.txt");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::ofstream(Folder() + "/attributes.txt", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    const std::string first = Rewrite();
    if (Rewrite() != first) std::abort();
    return 0;
}
