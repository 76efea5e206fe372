// The product's description as kept in "ProductInfo.xml" (format in
// docs/tools-library.md): the fixed fields read once, and the whole document
// kept for queries by "/*/..." path.
#pragma once

#include <mutex>

#include "VnArray.h"
#include "VnMap.h"
#include "VnString.h"
#include "VnXmlDocument.h"

class ToolsProductFile {
public:
    static constexpr const char16_t* kFileName = u"ProductInfo.xml";

    // Reads the file through the platform. False with a reason to show the user.
    bool Load(const VnString& path, VnString& error);
    // Reads the document text; `source` names it in the reason.
    bool Parse(const VnString& text, const VnString& source, VnString& error);

    VnString Name(int form) const;
    const VnString& Version() const { return version_; }
    int MajorVersion() const;  // the first number of Version
    const VnString& Url() const { return url_; }
    const VnString& ExecutableName() const { return executableName_; }
    const VnString& LauncherName() const { return launcherName_; }
    const VnString& Extension() const { return extension_; }
    const VnString& MimeTypes() const { return mimeTypes_; }
    const VnString& Protocols() const { return protocols_; }
    const VnString& StartMenuFolder() const { return startMenuFolder_; }
    const VnString& MainWindowClass() const { return mainWindowClass_; }
    bool HasFeature(int feature) const { return features_.Find(feature) >= 0; }
    VnString DownloadAddress(int number) const;

    // The trimmed text of the element at `path`; empty when it is absent.
    VnString Query(const VnString& path);

private:
    VnString QueryUnlocked(const VnString& path);
    // Texts of the children named `childName` of the element at `listPath`, by their number attribute.
    VnMap<int, VnString> ReadNumberedList(std::u16string_view listPath, std::u16string_view childName,
                                          std::u16string_view numberAttribute);

    VnXmlDocument document_;
    std::mutex documentMutex_;  // queries move the document's position
    VnMap<int, VnString> names_;
    VnMap<int, VnString> downloads_;
    VnCoreArray<int> features_;
    VnString version_, url_, executableName_, launcherName_, extension_, mimeTypes_, protocols_, startMenuFolder_,
        mainWindowClass_;
};
