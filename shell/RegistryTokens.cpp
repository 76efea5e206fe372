#include "RegistryTokens.h"

namespace {
constexpr std::u16string_view kCustomArtToken = u"[CUSTOMART]";
}

void ExpandRegistryTokens(VnString& row, const RegistryTokenValues& values) {
    if (row.Find(u'[') < 0) return;
    const VnString autoPlayKey(kAutoPlayKey);
    const VnString exePath = values.installFolder + values.executableName;
    const struct {
        std::u16string_view token;
        const VnString& value;
    } tokens[] = {
        {kAutoPlayToken, autoPlayKey},
        {u"[INSTALLDIR]", values.installFolder},
        {u"[SYSTEMDIR]", values.systemFolder},
        {u"[CURRENTDIR]", values.installerFolder},
        {u"[PRODUCTNAME]", values.productName},
        {u"[PRODUCTWITHVERSION]", values.progIdBase},
        {u"[EXEPATH]", exePath},
        {u"[LAUNCHERPATH]", values.launcherPath},
        {u"[LAUNCHERNAME]", values.launcherName},
    };
    for (const auto& token : tokens) row.Replace(token.token, token.value.View());
    ExpandCustomArt(row, values.findArt);
}

void ExpandCustomArt(VnString& row, const std::function<VnString(const VnString&)>& findArt) {
    const int32_t token = row.Find(kCustomArtToken);
    if (token < 0) return;
    const int32_t nameStart = token + int32_t(kCustomArtToken.size());
    int32_t nameEnd = row.Find(u'"', nameStart);
    if (nameEnd < 0) nameEnd = row.GetLength();
    const VnString name = row.Mid(nameStart, nameEnd - nameStart);
    const VnString path = findArt ? findArt(name) : VnString();
    row.Delete(token, nameEnd - token);
    row.Insert(token, path.View());
}
