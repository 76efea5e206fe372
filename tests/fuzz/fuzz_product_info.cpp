// Any text as "ProductInfo.xml": it loads or is refused with a reason, and a
// loaded one answers every "/*/" path the installer asks, and the path in the
// input's last line, with trimmed text.
// fuzz-link: vn_tools
#include <cstdlib>

#include "ToolsProductFile.h"
#include "fuzz_text_input.h"

namespace {
const char16_t* const kInstallerPaths[] = {
    u"/*/Installer/ShowLanguageSelection", u"/*/General/MegaSkin", u"/*/SpecialFeatures/MinIEVersion",
    u"/*/Product/InstallToPath", u"/*/Product/ObsoleteFiles", u"/*/Product/DefaultFileTypes",
    u"/*/Product/DefaultAssocFileTypes", u"/*/Installer/PromoCount", u"/*/Installer/PromoMinimumMilliseconds",
    u"/*/DefaultSettings/MAKEDEFAULTPLAYER", u"/*/General/MegaSkinStyles", u"/*/General/MegaSkinKey",
    u"/*/", u"/*/MimeAssociations", u"/*/Package/HasActions", u"*", u"//Name", u"/*/Names/Name"};

void CheckTrimmed(const VnString& value) {
    VnString trimmed = value;
    if (trimmed.Trim() != value) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const VnString text = FuzzTextFromBytes(data, size);
    ToolsProductFile file;
    VnString error;
    if (!file.Parse(text, u"ProductInfo.xml", error)) {
        if (error.IsEmpty()) std::abort();  // a refusal always says why
        return 0;
    }
    for (int form = -1; form <= 7; ++form) (void)file.Name(form);
    (void)file.MajorVersion();
    for (const char16_t* path : kInstallerPaths) CheckTrimmed(file.Query(path));
    const int32_t lastLine = text.ReverseFind(u'\n');
    if (lastLine >= 0) CheckTrimmed(file.Query(text.Mid(lastLine + 1)));
    return 0;
}
