#include "PromoSlideshow.h"

#include <algorithm>

#include "LicenseText.h"
#include "LoadedProduct.h"
#include "ToolsLink.h"
#include "VnArray.h"
#include "VnFileSystem.h"

namespace {

// Windows' MulDiv for the positive values used here: a * b / c in 64 bits,
// rounded to the nearest, halves up.
int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c <= 0 || a < 0 || b < 0) return 0;
    return int32_t((int64_t(a) * b + c / 2) / c);
}

}  // namespace

PromoTiming PromoTiming::Bounded(int32_t minimumMs, int32_t count) {
    PromoTiming timing;
    timing.minimumMs = std::clamp(minimumMs, kLeastMinimumMs, kMostMinimumMs);
    timing.count = std::clamp(count, 1, kMostCount);
    return timing;
}

PromoTiming PromoTiming::FromProductInformation() {
    ProductInformation* product = LoadedProductInformation();
    if (!product) return Bounded(0, 0);
    return Bounded(product->GetInfoInt(u"/*/Installer/PromoMinimumMilliseconds", 0),
                  product->GetInfoInt(u"/*/Installer/PromoCount", 0));
}

int32_t PromoTiming::CountdownTicks(int32_t index) const {
    return MulDiv(minimumMs, count - index + 1, count) / int32_t(kPromoCountdownTickMs) + 1;
}

VnString FindPromoPicture(const VnString& setupFolder, int32_t index, const VnString& languageCode) {
    const VnString stem = setupFolder + VnString::Format(u"Promo%d", index);
    VnStringArray candidates;
    if (!languageCode.IsEmpty()) {
        candidates.Add(stem + u" - " + languageCode + u".png");
        candidates.Add(stem + u" - " + languageCode + u".jpg");
    }
    candidates.Add(stem + u".png");
    candidates.Add(stem + u".jpg");
    for (int32_t i = 0; i < candidates.GetSize(); ++i)
        if (VnFileSystem::FileExists(candidates[i])) return candidates[i];
    return VnString();
}

VnString UiLanguageCode() {
    ToolsInterface* tools = VnTools();
    ToolsLanguage* language = tools ? tools->GetLanguage() : nullptr;
    if (!language) return VnString();
    const VnString name = language->GetLanguageName();
    if (name.IsEmpty()) return VnString();
    return LanguageCodeFromIni(ReadLicenseText(GetInstallerFolder() + u"Playmoor\\Data\\Languages\\" +
                                               name + u"\\Language.ini"));
}
