#include "SimMachineFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {
bool Failed(const std::string& what, const std::string& path, std::string& error) {
    error = "cannot " + what + " " + path + ": " + std::strerror(errno);
    return false;
}
}  // namespace

bool VnReadMachineFile(const std::string& path, std::string& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Failed("read", path, error);
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return Failed("read", path, error);
    bytes = content.str();
    return true;
}

bool VnWriteMachineFile(const std::string& path, const std::string& bytes, std::string& error) {
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out || !out.write(bytes.data(), std::streamsize(bytes.size())) || !out.flush())
            return Failed("write", temporary, error);
    }
    std::error_code failure;
    std::filesystem::rename(temporary, path, failure);
    if (failure) {
        error = "cannot replace " + path + ": " + failure.message();
        return false;
    }
    return true;
}

bool VnAppendMachineFile(const std::string& path, const std::string& bytes, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out || !out.write(bytes.data(), std::streamsize(bytes.size())) || !out.flush())
        return Failed("write", path, error);
    return true;
}
