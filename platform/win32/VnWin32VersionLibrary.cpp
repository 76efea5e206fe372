#include "VnWin32VersionLibrary.h"

#include <vector>

#include "VnWin32Text.h"

namespace {
constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;
}  // namespace

VnWin32VersionLibrary::~VnWin32VersionLibrary() {
    if (module_) ::FreeLibrary(module_);
}

// Loads once; a plain file name is taken from the system folder so that no
// copy beside the installer is picked up instead.
uint32_t VnWin32VersionLibrary::Load() {
    if (module_ || loadError_ != ERROR_SUCCESS) return loadError_;
    VnString path = fileName_;
    if (path.Find(u'\\') < 0) {
        wchar_t system[MAX_PATH + 1] = {};
        UINT length = ::GetSystemDirectoryW(system, MAX_PATH + 1);
        if (length > 0 && length <= MAX_PATH) path = vnw32::FromW(system, length) + u"\\" + fileName_;
    }
    module_ = ::LoadLibraryW(vnw32::W(path));
    if (!module_) return loadError_ = ERROR_MOD_NOT_FOUND;
    getSize_ = vnw32::ResolveFunction<SizeFn>(module_, "GetFileVersionInfoSizeW");
    getInfo_ = vnw32::ResolveFunction<InfoFn>(module_, "GetFileVersionInfoW");
    query_ = vnw32::ResolveFunction<QueryFn>(module_, "VerQueryValueW");
    if (!getSize_ || !getInfo_ || !query_) loadError_ = ERROR_PROC_NOT_FOUND;
    return loadError_;
}

uint32_t VnWin32VersionLibrary::ReadFileVersion(const VnString& path, uint32_t& versionMS, uint32_t& versionLS) {
    versionMS = versionLS = 0;
    if (uint32_t error = Load()) return error;
    DWORD ignored = 0;
    ::SetLastError(ERROR_SUCCESS);
    DWORD size = getSize_(vnw32::W(path), &ignored);
    if (size == 0) return vnw32::ResultOf(FALSE, ERROR_RESOURCE_TYPE_NOT_FOUND);
    std::vector<BYTE> block(size);
    if (!getInfo_(vnw32::W(path), 0, size, block.data())) return vnw32::ResultOf(FALSE, ERROR_RESOURCE_TYPE_NOT_FOUND);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!query_(block.data(), L"\\", reinterpret_cast<LPVOID*>(&fixed), &fixedSize) || !fixed ||
        fixedSize < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != kFixedInfoSignature)
        return ERROR_RESOURCE_DATA_NOT_FOUND;
    versionMS = fixed->dwFileVersionMS;
    versionLS = fixed->dwFileVersionLS;
    return ERROR_SUCCESS;
}
