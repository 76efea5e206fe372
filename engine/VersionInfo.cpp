#include "VersionInfo.h"

#include "VnArray.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

void CVersionInfo::Init() {
    getSizeFunction_ = getInfoFunction_ = queryFunction_ = nullptr;
    if (!VnLoadLibrary(GetSystemFolder() + u"Version.dll", 0, library_)) return;
    getSizeFunction_ = library_.Function("GetFileVersionInfoSizeW");
    getInfoFunction_ = library_.Function("GetFileVersionInfoW");
    queryFunction_ = library_.Function("VerQueryValueW");
}

uint32_t CVersionInfo::Load(const VnString& path) {
    block_.reset();
    fixedInfo_ = nullptr;
    blockSize_ = 0;
    path_ = path;
    if (!HasVersionFunctions() || !VnFileSystem::FileExists(path)) return kVnEFail;
    // The platform reads the record through the same three functions.
    auto block = std::make_unique<VnFixedFileVersion>();
    if (VnPlatform().Files().GetFileVersion(VnFileSystem::LongPathForm(path), block->fileVersionMS,
                                            block->fileVersionLS) != vnwin::kErrorSuccess)
        return kVnEFail;
    block_ = std::move(block);
    fixedInfo_ = block_.get();
    blockSize_ = sizeof(VnFixedFileVersion);
    return 0;
}

uint32_t CVersionInfo::GetVersionText(VnString& text, bool fourParts) const {
    if (path_.IsEmpty() || !fixedInfo_) return kVnEFail;
    const uint32_t ms = fixedInfo_->fileVersionMS, ls = fixedInfo_->fileVersionLS;
    text = fourParts ? VnString::Format(u"%d.%d.%d.%d", ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
                     : VnString::Format(u"%d.%d.%d", ms >> 16, ms & 0xFFFF, ls >> 16);
    return 0;
}

uint32_t CVersionInfo::GetPackedVersion(uint64_t& packed) const {
    VnString text;
    uint32_t result = GetVersionText(text, true);
    packed = ParseVersion(text);
    return result;
}

uint64_t ParseVersion(const VnString& text) {
    if (text.IsEmpty()) return 0;
    VnString points = text;
    if (points.Find(u'.') < 0) points.Replace(u',', u'.');
    const VnStringArray parts = VnStringArray::Split(points.View(), u".");
    uint64_t packed = 0;
    for (int32_t i = 0; i < 4; ++i) {
        const uint64_t part = i < parts.GetSize() ? uint16_t(VnString::ParseInt(parts[i].View())) : 0;
        packed |= part << (48 - 16 * i);
    }
    return packed;
}

uint64_t GetFileVersion(const VnString& path) {
    CVersionInfo info;
    info.Init();
    uint64_t packed = 0;
    info.Load(path);
    info.GetPackedVersion(packed);
    return packed;
}
