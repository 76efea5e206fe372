// Version.dll, loaded from the system folder on first use and freed with the
// object. The program never links to it, so it starts where it is missing.
#pragma once

#include "VnWin32Api.h"

#include <cstdint>

#include "VnString.h"

class VnWin32VersionLibrary {
public:
    explicit VnWin32VersionLibrary(const VnString& fileName) : fileName_(fileName) {}
    ~VnWin32VersionLibrary();
    VnWin32VersionLibrary(const VnWin32VersionLibrary&) = delete;
    VnWin32VersionLibrary& operator=(const VnWin32VersionLibrary&) = delete;

    // The file version words (VS_FIXEDFILEINFO dwFileVersionMS/LS) of a file.
    // kErrorModNotFound when the library does not load, kErrorProcNotFound
    // when it lacks a function, the Windows error when the file has no version.
    uint32_t ReadFileVersion(const VnString& path, uint32_t& versionMS, uint32_t& versionLS);

private:
    uint32_t Load();

    using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

    VnString fileName_;
    HMODULE module_ = nullptr;
    uint32_t loadError_ = ERROR_SUCCESS;
    SizeFn getSize_ = nullptr;
    InfoFn getInfo_ = nullptr;
    QueryFn query_ = nullptr;
};
