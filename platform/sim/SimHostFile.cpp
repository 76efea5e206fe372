#include "SimHostFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "VnPlatform.h"

namespace {
constexpr uint32_t kErrorGenFailure = 31;
constexpr uint32_t kErrorNotSameDevice = 17;
constexpr size_t kCopyBlock = 1 << 20;

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= size_t(written);
    }
    return true;
}

// Copies with copy_file_range, falling back to a buffer where the kernel or
// the file system cannot.
bool CopyBytes(int in, int out, uint64_t size) {
    uint64_t left = size;
    while (left > 0) {
        ssize_t copied = copy_file_range(in, nullptr, out, nullptr, left, 0);
        if (copied > 0) {
            left -= uint64_t(copied);
            continue;
        }
        if (copied == 0) return true;  // the source became shorter
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) return false;
        break;
    }
    if (left == 0) return true;
    std::unique_ptr<char[]> buffer(new char[kCopyBlock]);
    for (;;) {
        ssize_t got = read(in, buffer.get(), kCopyBlock);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        if (!WriteAll(out, buffer.get(), size_t(got))) return false;
    }
}
}  // namespace

uint32_t VnSimErrorFromErrno(int error) {
    switch (error) {
        case ENOENT: return vnwin::kErrorFileNotFound;
        case ENOTDIR: return vnwin::kErrorPathNotFound;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS: return vnwin::kErrorAccessDenied;
        case ENOSPC:
        case EDQUOT: return vnwin::kErrorDiskFull;
        case EEXIST: return vnwin::kErrorAlreadyExists;
        case ENOTEMPTY: return vnwin::kErrorDirNotEmpty;
        case ENAMETOOLONG: return vnwin::kErrorFilenameExcedRange;
        case EXDEV: return kErrorNotSameDevice;
        case EBUSY:
        case ETXTBSY: return vnwin::kErrorSharingViolation;
        case ENOMEM: return vnwin::kErrorNotEnoughMemory;
        default: return kErrorGenFailure;
    }
}

uint32_t VnSimCopyHostFile(const std::string& from, const struct stat& info, const std::string& to) {
    Descriptor in(open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.valid()) return VnSimErrorFromErrno(errno);
    Descriptor out(open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!out.valid()) return VnSimErrorFromErrno(errno);
    if (!CopyBytes(in.get(), out.get(), uint64_t(info.st_size))) return VnSimErrorFromErrno(errno);
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    futimens(out.get(), times);
    return 0;
}

uint32_t VnSimReadHostFile(const std::string& path, std::string& bytes, uint64_t offset, uint64_t maxBytes) {
    bytes.clear();
    Descriptor in(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.valid()) return VnSimErrorFromErrno(errno);
    // A read of a small window (a program file's headers, a first page)
    // usually asks for more than the file holds (64 KB of a 15 KB library):
    // it goes straight to the bytes, into room that is not cleared first, and
    // only what was read is copied out. A regular file reads short only at its
    // end. Only a larger read asks the file's size first, so that it sets
    // aside no more room than the file holds.
    constexpr uint64_t kWindowWithoutSize = 1 << 20;
    if (maxBytes <= kWindowWithoutSize) {
        std::unique_ptr<char[]> room(new char[size_t(maxBytes)]);
        ssize_t got;
        do got = pread(in.get(), room.get(), size_t(maxBytes), off_t(offset));
        while (got < 0 && errno == EINTR);
        if (got < 0) return VnSimErrorFromErrno(errno);
        bytes.assign(room.get(), size_t(got));
        return 0;
    }
    struct stat info {};
    if (fstat(in.get(), &info) != 0) return VnSimErrorFromErrno(errno);
    const uint64_t size = uint64_t(info.st_size);
    if (offset >= size) return 0;
    const uint64_t wanted = std::min(size - offset, maxBytes);
    bytes.resize(size_t(wanted));
    uint64_t done = 0;
    while (done < wanted) {
        ssize_t got = pread(in.get(), bytes.data() + done, size_t(wanted - done), off_t(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return VnSimErrorFromErrno(errno);
        if (got == 0) break;
        done += uint64_t(got);  // reads over 2 GB come back in parts
    }
    bytes.resize(size_t(done));
    return 0;
}

uint32_t VnSimWriteHostFile(const std::string& path, const std::string& bytes) {
    Descriptor out(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!out.valid()) return VnSimErrorFromErrno(errno);
    if (!WriteAll(out.get(), bytes.data(), bytes.size())) return VnSimErrorFromErrno(errno);
    return 0;
}

void VnSimListHostFolder(const std::string& folder,
                         const std::function<void(const std::string& name, const struct stat& info, bool isLink)>& visit) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        // One status call for what is not a link; a link's target is read too.
        struct stat info {};
        if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
        const bool isLink = S_ISLNK(info.st_mode);
        if (!isLink || fstatat(dirfd(dir), entry->d_name, &info, 0) == 0) visit(name, info, isLink);
    }
    closedir(dir);
}
