#include "ProductNames.h"

namespace {

// A file name component and a registry key name both stop at 255 characters.
constexpr size_t kMostNameChars = 255;
constexpr std::u16string_view kForbiddenChars = u"<>:\"/\\|?*";
const char16_t* const kDeviceNames[] = {u"CON",  u"PRN",  u"AUX",  u"NUL",  u"COM1", u"COM2", u"COM3", u"COM4",
                                        u"COM5", u"COM6", u"COM7", u"COM8", u"COM9", u"LPT1", u"LPT2", u"LPT3",
                                        u"LPT4", u"LPT5", u"LPT6", u"LPT7", u"LPT8", u"LPT9"};

// Windows reaches the device whatever extension follows its name ("NUL.txt").
bool IsDeviceName(std::u16string_view name) {
    const std::u16string_view stem = name.substr(0, name.find(u'.'));
    VnString trimmed(stem);
    trimmed.TrimRight();
    for (const char16_t* device : kDeviceNames)
        if (trimmed.EqualsNoCase(device)) return true;
    return false;
}

}  // namespace

VnString NameComponentProblem(std::u16string_view name) {
    if (name.empty()) return VN_LIT(u"it is empty");
    if (name.find(u"..") != std::u16string_view::npos) return VN_LIT(u"it holds \"..\"");
    for (char16_t c : name) {
        if (c < 0x20) return VN_LIT(u"it holds a control character");
        if (kForbiddenChars.find(c) != std::u16string_view::npos)
            return VnString::Format(u"it holds the character \"%c\", which Windows does not allow in a name", int(c));
    }
    if (name == u".") return VN_LIT(u"it is \".\"");
    if (name.back() == u'.' || name.back() == u' ') return VN_LIT(u"it ends in a dot or a space, which Windows drops");
    if (name.front() == u' ') return VN_LIT(u"it starts with a space");
    if (name.size() > kMostNameChars) return VN_LIT(u"it is longer than 255 characters");
    if (IsDeviceName(name)) return VN_LIT(u"it is a name Windows keeps for a device");
    return VnString();
}

VnString ProductNamesProblem(ProductInformation& product) {
    const struct {
        const char16_t* what;
        VnString value;
    } names[] = {{u"product name (form 4)", product.GetProductName(4)},
                 {u"product name (form 3)", product.GetProductName(3)},
                 {u"product name (form 6)", product.GetProductName(6)},
                 {u"main executable name", product.GetExecutableName()},
                 {u"launcher name", product.GetLauncherName()},
                 {u"Start Menu folder name", product.GetStartMenuFolder()}};
    for (const auto& name : names) {
        const VnString problem = NameComponentProblem(name.value.View());
        if (!problem.IsEmpty())
            return VnString::Format(
                u"The product information gives the %s \"%s\", which cannot be used as a folder, file or registry "
                u"key name: %s.",
                name.what, name.value, problem);
    }
    return VnString();
}
