// File part of the Windows backend: the kernel32 file functions, and the
// version resource read through Version.dll loaded at run time.
#pragma once

#include "VnPlatform.h"
#include "VnWin32VersionLibrary.h"

class VnWin32Files : public IVnFiles {
public:
    // The version library's file name is a seam for tests (a name that does
    // not load gives kErrorModNotFound); the installer uses the default.
    explicit VnWin32Files(const VnString& versionLibrary = VN_LIT(u"version.dll")) : version_(versionLibrary) {}

    uint32_t GetFileAttributes(const VnString& path) override;
    uint32_t GetAttributesError(const VnString& path) override;
    uint32_t SetFileAttributes(const VnString& path, uint32_t attributes) override;
    uint32_t CreateDirectory(const VnString& path) override;
    uint32_t RemoveDirectory(const VnString& path) override;
    uint32_t DeleteFile(const VnString& path) override;
    uint32_t CopyFile(const VnString& from, const VnString& to, bool failIfExists) override;
    uint32_t CreateSymbolicLink(const VnString& link, const VnString& target, bool folder) override;
    uint32_t MoveFile(const VnString& from, const VnString& to) override;
    uint32_t MoveFileEx(const VnString& from, const VnString& to, uint32_t flags) override;
    uint32_t FindFiles(const VnString& pattern, VnCoreArray<VnFindData>& found) override;
    uint32_t GetFileSize(const VnString& path, uint64_t& size) override;
    uint32_t ReadFile(const VnString& path, std::string& bytes, uint64_t offset = 0,
                      uint64_t maxBytes = UINT64_MAX) override;
    uint32_t WriteFile(const VnString& path, const std::string& bytes) override;
    uint32_t CreateFileForWriting(const VnString& path, VnHandle& file, bool shareRead = false) override;
    uint32_t WriteToFile(VnHandle file, const void* data, uint32_t size) override;
    void CloseFile(VnHandle file) override;
    uint32_t GetDiskFreeSpace(const VnString& rootPath, VnDiskSpace& space) override;
    uint32_t GetFileVersion(const VnString& path, uint32_t& versionMS, uint32_t& versionLS) override;
    uint16_t GetPeMachine(const VnString& path) override;
    VnString GetPrivateProfileString(const VnString& path, const VnString& section, const VnString& key,
                                     const VnString& defaultValue, uint32_t bufferChars) override;

private:
    VnWin32VersionLibrary version_;
};
