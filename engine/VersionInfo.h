// File versions: CVersionInfo reads a file's version record through
// "Version.dll" (loaded from the system folder), and versions are compared as
// packed 64-bit numbers, four 16-bit parts, most significant first.
#pragma once

#include <cstdint>
#include <memory>

#include "VnLibrary.h"
#include "VnString.h"

constexpr uint32_t kVnEFail = 0x80004005u;  // E_FAIL
constexpr uint32_t kVnFixedFileInfoSignature = 0xFEEF04BDu;

// The file-version words of a version record (VS_FIXEDFILEINFO's
// dwSignature, dwFileVersionMS, dwFileVersionLS).
struct VnFixedFileVersion {
    uint32_t signature = kVnFixedFileInfoSignature;
    uint32_t fileVersionMS = 0;
    uint32_t fileVersionLS = 0;
};

class CVersionInfo {
public:
    CVersionInfo() = default;
    virtual ~CVersionInfo() = default;
    CVersionInfo(const CVersionInfo&) = delete;
    CVersionInfo& operator=(const CVersionInfo&) = delete;

    // Loads "Version.dll" from the system folder and resolves its three
    // functions. Callers check HasVersionFunctions before comparing versions.
    void Init();
    bool HasVersionFunctions() const { return getSizeFunction_ && getInfoFunction_ && queryFunction_; }

    // Reads the version record of `path`: 0 on success, kVnEFail otherwise
    // (no Version.dll, a missing file, a file without a version), when any
    // earlier record is dropped too.
    uint32_t Load(const VnString& path);

    // "%d.%d.%d.%d" (four parts) or "%d.%d.%d"; kVnEFail when no file was
    // named or it has no version record.
    uint32_t GetVersionText(VnString& text, bool fourParts) const;
    // The four-part version packed; 0 for a file without a version.
    uint32_t GetPackedVersion(uint64_t& packed) const;

private:
    VnString path_;
    std::unique_ptr<VnFixedFileVersion> block_;
    const VnFixedFileVersion* fixedInfo_ = nullptr;  // into block_
    uint32_t blockSize_ = 0;
    VnLibraryHolder library_;
    void* getSizeFunction_ = nullptr;   // GetFileVersionInfoSizeW
    void* getInfoFunction_ = nullptr;   // GetFileVersionInfoW
    void* queryFunction_ = nullptr;     // VerQueryValueW
};

// "a.b.c.d" packed; commas stand for points when the text has no point.
// Missing parts are 0, parts after the fourth are ignored, empty text is 0.
uint64_t ParseVersion(const VnString& text);
// The packed version of a file: Init, Load, GetPackedVersion; 0 without one.
uint64_t GetFileVersion(const VnString& path);
