#include "ToolsProductFile.h"

#include <string>

#include "ToolsText.h"
#include "VnPlatform.h"

namespace {
constexpr char16_t kDefaultMainWindowClass[] = u"PMFrame";
}

bool ToolsProductFile::Load(const VnString& path, VnString& error) {
    std::string bytes;
    uint32_t result = VnPlatform().Files().ReadFile(path, bytes);
    if (result == vnwin::kErrorFileNotFound || result == vnwin::kErrorPathNotFound) {
        error = VnString::Format(u"The product information file is missing:\r\n%s", path);
        return false;
    }
    if (result != vnwin::kErrorSuccess) {
        error = VnString::Format(u"The product information file could not be read (error %u):\r\n%s", result, path);
        return false;
    }
    return Parse(VnXmlDecodeBytes(bytes), path, error);
}

bool ToolsProductFile::Parse(const VnString& text, const VnString& source, VnString& error) {
    std::lock_guard<std::mutex> lock(documentMutex_);
    if (!document_.SetDoc(text)) {
        error = VnString::Format(u"The product information file is damaged:\r\n%s\r\n%s", source,
                                 document_.GetError());
        return false;
    }
    document_.ResetPos();
    document_.FindElem();
    VnString version = ToolsTrimmed(document_.GetAttrib(u"version"));
    if (version.IsEmpty() || VnString::ParseInt(version) != 1) {
        error = VnString::Format(u"The product information file has version \"%s\" where 1.0 is expected:\r\n%s",
                                 version, source);
        return false;
    }
    names_ = ReadNumberedList(u"/*/Names", u"Name", u"Form");
    downloads_ = ReadNumberedList(u"/*/Downloads", u"Download", u"Number");
    features_.RemoveAll();
    for (const VnString& item : VnStringArray::Split(QueryUnlocked(VN_LIT(u"/*/Features")), u";")) {
        int32_t feature;
        if (ToolsParseInt(item, feature)) features_.Add(feature);
    }
    struct Field {
        const char16_t* path;
        VnString* value;
    } fields[] = {{u"/*/Version", &version_},
                  {u"/*/URL", &url_},
                  {u"/*/ExecutableName", &executableName_},
                  {u"/*/LauncherName", &launcherName_},
                  {u"/*/Extension", &extension_},
                  {u"/*/MimeTypes", &mimeTypes_},
                  {u"/*/Protocols", &protocols_},
                  {u"/*/StartMenuFolder", &startMenuFolder_},
                  {u"/*/MainWindowClass", &mainWindowClass_}};
    for (const Field& field : fields) *field.value = QueryUnlocked(field.path);
    if (mainWindowClass_.IsEmpty()) mainWindowClass_ = kDefaultMainWindowClass;
    return true;
}

VnString ToolsProductFile::Name(int form) const {
    const VnString* name = names_.Find(form);
    return name ? *name : VnString();
}

int ToolsProductFile::MajorVersion() const { return VnString::ParseInt(version_); }

VnString ToolsProductFile::DownloadAddress(int number) const {
    const VnString* address = downloads_.Find(number);
    return address ? *address : VnString();
}

VnString ToolsProductFile::Query(const VnString& path) {
    std::lock_guard<std::mutex> lock(documentMutex_);
    return QueryUnlocked(path);
}

VnString ToolsProductFile::QueryUnlocked(const VnString& path) {
    document_.ResetPos();
    return document_.FindElem(path) ? ToolsTrimmed(document_.GetData()) : VnString();
}

VnMap<int, VnString> ToolsProductFile::ReadNumberedList(std::u16string_view listPath, std::u16string_view childName,
                                                        std::u16string_view numberAttribute) {
    VnMap<int, VnString> items;
    document_.ResetPos();
    if (!document_.FindElem(listPath)) return items;
    while (document_.FindChildElem(childName)) {
        int32_t number;
        if (ToolsParseInt(document_.GetChildAttrib(numberAttribute), number))
            items.SetAt(number, ToolsTrimmed(document_.GetChildData()));
    }
    return items;
}
