#include "VnWin32Files.h"

#include <algorithm>

#include "VnWin32Text.h"

using vnw32::ResultOf;
using vnw32::W;

namespace {

constexpr DWORD kIoChunk = 1u << 20;  // ReadFile/WriteFile take 32-bit sizes

uint64_t FileTimeValue(const FILETIME& time) { return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

// Closes a file handle when the scope ends.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (IsOpen()) ::CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

uint32_t VnWin32Files::GetFileAttributes(const VnString& path) { return ::GetFileAttributesW(W(path)); }

uint32_t VnWin32Files::GetAttributesError(const VnString& path) {
    return ResultOf(::GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES);
}

uint32_t VnWin32Files::SetFileAttributes(const VnString& path, uint32_t attributes) {
    return ResultOf(::SetFileAttributesW(W(path), attributes));
}

uint32_t VnWin32Files::CreateDirectory(const VnString& path) { return ResultOf(::CreateDirectoryW(W(path), nullptr)); }

uint32_t VnWin32Files::RemoveDirectory(const VnString& path) { return ResultOf(::RemoveDirectoryW(W(path))); }

uint32_t VnWin32Files::DeleteFile(const VnString& path) { return ResultOf(::DeleteFileW(W(path))); }

uint32_t VnWin32Files::CopyFile(const VnString& from, const VnString& to, bool failIfExists) {
    return ResultOf(::CopyFileW(W(from), W(to), failIfExists));
}

// Resolved at run time: Windows before Vista has no symbolic links.
uint32_t VnWin32Files::CreateSymbolicLink(const VnString& link, const VnString& target, bool folder) {
    using CreateLink = BOOLEAN(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
    constexpr DWORD kAllowUnprivileged = 0x2;  // developer mode on Windows 10 and later
    const auto create = reinterpret_cast<CreateLink>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "CreateSymbolicLinkW")));
    if (!create) return ERROR_CALL_NOT_IMPLEMENTED;
    const DWORD flags = (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | kAllowUnprivileged;
    if (create(W(link), W(target), flags)) return 0;
    const DWORD error = ::GetLastError();
    // Older Windows 10 refuses the unprivileged flag itself.
    if (error != ERROR_INVALID_PARAMETER) return error;
    return ResultOf(create(W(link), W(target), folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0));
}

uint32_t VnWin32Files::MoveFile(const VnString& from, const VnString& to) {
    return ResultOf(::MoveFileW(W(from), W(to)));
}

// An empty target with MOVEFILE_DELAY_UNTIL_REBOOT queues a delete.
uint32_t VnWin32Files::MoveFileEx(const VnString& from, const VnString& to, uint32_t flags) {
    return ResultOf(::MoveFileExW(W(from), vnw32::WOrNull(to), flags));
}

uint32_t VnWin32Files::FindFiles(const VnString& pattern, VnCoreArray<VnFindData>& found) {
    found.RemoveAll();
    WIN32_FIND_DATAW data;
    HANDLE search = ::FindFirstFileW(W(pattern), &data);
    if (search == INVALID_HANDLE_VALUE) return ResultOf(FALSE, ERROR_FILE_NOT_FOUND);
    do {
        VnString name = vnw32::FromW(data.cFileName);
        if (name == u"." || name == u"..") continue;
        VnFindData entry;
        entry.name = name;
        entry.attributes = data.dwFileAttributes;
        entry.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entry.lastWriteTime = FileTimeValue(data.ftLastWriteTime);
        found.Add(entry);
    } while (::FindNextFileW(search, &data));
    DWORD error = ::GetLastError();
    ::FindClose(search);
    return error == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : error;
}

// From the directory entry, so that a file opened exclusively by another
// program still reports its size.
uint32_t VnWin32Files::GetFileSize(const VnString& path, uint64_t& size) {
    size = 0;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(W(path), GetFileExInfoStandard, &data)) return ResultOf(FALSE, ERROR_FILE_NOT_FOUND);
    size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return ERROR_SUCCESS;
}

uint32_t VnWin32Files::ReadFile(const VnString& path, std::string& bytes, uint64_t offset, uint64_t maxBytes) {
    bytes.clear();
    FileHandle file(::CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return ResultOf(FALSE);
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.Get(), &size)) return ResultOf(FALSE);
    if (offset >= uint64_t(size.QuadPart)) return ERROR_SUCCESS;
    uint64_t wanted = std::min<uint64_t>(uint64_t(size.QuadPart) - offset, maxBytes);
    LARGE_INTEGER position;
    position.QuadPart = LONGLONG(offset);
    if (!::SetFilePointerEx(file.Get(), position, nullptr, FILE_BEGIN)) return ResultOf(FALSE);
    bytes.resize(size_t(wanted));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = DWORD(std::min<size_t>(bytes.size() - done, kIoChunk));
        DWORD read = 0;
        if (!::ReadFile(file.Get(), bytes.data() + done, chunk, &read, nullptr)) {
            bytes.resize(done);
            return ResultOf(FALSE);
        }
        if (read == 0) break;  // the file shrank meanwhile
        done += read;
    }
    bytes.resize(done);
    return ERROR_SUCCESS;
}

uint32_t VnWin32Files::WriteFile(const VnString& path, const std::string& bytes) {
    FileHandle file(::CreateFileW(W(path), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return ResultOf(FALSE);
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = DWORD(std::min<size_t>(bytes.size() - done, kIoChunk));
        DWORD written = 0;
        if (!::WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr)) return ResultOf(FALSE);
        done += written;
    }
    return ERROR_SUCCESS;
}

uint32_t VnWin32Files::CreateFileForWriting(const VnString& path, VnHandle& file, bool shareRead) {
    HANDLE handle = ::CreateFileW(W(path), GENERIC_WRITE, shareRead ? FILE_SHARE_READ : 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    file = handle == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<VnHandle>(handle);
    return file ? ERROR_SUCCESS : ResultOf(FALSE);
}

uint32_t VnWin32Files::WriteToFile(VnHandle file, const void* data, uint32_t size) {
    const char* bytes = static_cast<const char*>(data);
    for (uint32_t done = 0; done < size;) {
        DWORD written = 0;
        if (!::WriteFile(reinterpret_cast<HANDLE>(file), bytes + done, size - done, &written, nullptr))
            return ResultOf(FALSE);
        done += written;
    }
    return ERROR_SUCCESS;
}

void VnWin32Files::CloseFile(VnHandle file) {
    if (file) ::CloseHandle(reinterpret_cast<HANDLE>(file));
}

uint32_t VnWin32Files::GetDiskFreeSpace(const VnString& rootPath, VnDiskSpace& space) {
    space = VnDiskSpace{};
    ULARGE_INTEGER freeToCaller, total, totalFree;
    if (!::GetDiskFreeSpaceExW(W(rootPath), &freeToCaller, &total, &totalFree)) return ResultOf(FALSE);
    space.freeToCaller = freeToCaller.QuadPart;
    space.total = total.QuadPart;
    space.totalFree = totalFree.QuadPart;
    return ERROR_SUCCESS;
}

uint32_t VnWin32Files::GetFileVersion(const VnString& path, uint32_t& versionMS, uint32_t& versionLS) {
    return version_.ReadFileVersion(path, versionMS, versionLS);
}

// The DOS header's e_lfanew (at 0x3C) points at "PE\0\0", followed by the
// COFF header whose first word is the machine.
uint16_t VnWin32Files::GetPeMachine(const VnString& path) {
    std::string dosHeader;
    if (ReadFile(path, dosHeader, 0, 64) != ERROR_SUCCESS || dosHeader.size() < 64 || dosHeader.compare(0, 2, "MZ"))
        return 0;
    auto byte = [](const std::string& text, size_t i) { return uint32_t(uint8_t(text[i])); };
    uint32_t peOffset = byte(dosHeader, 0x3C) | byte(dosHeader, 0x3D) << 8 | byte(dosHeader, 0x3E) << 16 |
                        byte(dosHeader, 0x3F) << 24;
    std::string peHeader;
    if (ReadFile(path, peHeader, peOffset, 6) != ERROR_SUCCESS || peHeader.size() < 6 ||
        peHeader.compare(0, 4, std::string("PE\0\0", 4)))
        return 0;
    return uint16_t(byte(peHeader, 4) | byte(peHeader, 5) << 8);
}

VnString VnWin32Files::GetPrivateProfileString(const VnString& path, const VnString& section, const VnString& key,
                                               const VnString& defaultValue, uint32_t bufferChars) {
    if (bufferChars == 0) return VnString();
    std::u16string buffer(bufferChars, u'\0');
    const DWORD length = ::GetPrivateProfileStringW(W(section), W(key), W(defaultValue),
                                                    reinterpret_cast<wchar_t*>(buffer.data()), bufferChars, W(path));
    return VnString(std::u16string_view(buffer).substr(0, length));
}
