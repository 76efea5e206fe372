// Files written piece by piece on the simulated machine: created as WriteFile
// creates them (same rules for missing folders, read-only, hidden and locked
// files), then kept open as a host file descriptor.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "SimFiles.h"
#include "SimHostFile.h"

uint32_t VnSimFiles::CreateFileForWriting(const VnString& path, VnHandle& file, bool /*shareRead*/) {
    file = 0;
    // An empty file first: the checks, the attributes and the listing as for WriteFile.
    if (uint32_t error = WriteFile(path, std::string())) return error;
    VnSimPath resolved;
    if (uint32_t error = ResolveExisting(path, resolved)) return error;
    const int descriptor = ::open(resolved.hostPath.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (descriptor < 0) return VnSimErrorFromErrno(errno);
    file = nextFile_++;
    openFiles_[file] = OpenFile{descriptor, resolved.drive};
    return 0;
}

uint32_t VnSimFiles::WriteToFile(VnHandle file, const void* data, uint32_t size) {
    auto open = openFiles_.find(file);
    if (open == openFiles_.end()) return vnwin::kErrorInvalidHandle;
    if (uint32_t error = ReserveSpace(open->second.drive, size, 0)) return error;
    const char* bytes = static_cast<const char*>(data);
    for (uint32_t done = 0; done < size;) {
        const ssize_t written = ::write(open->second.descriptor, bytes + done, size - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            ReleaseSpace(open->second.drive, size - done);
            return VnSimErrorFromErrno(errno);
        }
        done += uint32_t(written);
    }
    return 0;
}

void VnSimFiles::CloseFile(VnHandle file) {
    auto open = openFiles_.find(file);
    if (open == openFiles_.end()) return;
    ::close(open->second.descriptor);
    openFiles_.erase(open);
}
