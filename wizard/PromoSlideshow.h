// The promotion slideshow of the copy page: which picture file shows for an
// image number, how long each image stays, and how many 333 ms ticks the
// finishing countdown needs to let the remaining images have their time.
#pragma once

#include <cstdint>

#include "LicenseText.h"
#include "VnString.h"

struct PromoTiming {
    // The product's files choose these values; the bounds keep the wait of
    // a silent install, which lets the slideshow finish, to two minutes at
    // most after the copy, and each image at least 10 ms on the timer.
    static constexpr int32_t kLeastMinimumMs = 1000;
    static constexpr int32_t kMostMinimumMs = 120000;
    static constexpr int32_t kMostCount = 100;

    // Total time the slideshow must stay visible: 1000 to 120000 ms.
    int32_t minimumMs = kLeastMinimumMs;
    // Number of images: 1 to 100.
    int32_t count = 1;

    // "/*/Installer/PromoMinimumMilliseconds" and "/*/Installer/PromoCount"
    // of the product information, brought within their bounds.
    static PromoTiming FromProductInformation();
    static PromoTiming Bounded(int32_t minimumMs, int32_t count);

    // How long each image shows (integer division).
    int32_t PeriodMs() const { return minimumMs / count; }
    // Ticks of the finishing countdown while image `index` shows: the time of
    // the images from `index` to the last, in 333 ms ticks, plus one.
    int32_t CountdownTicks(int32_t index) const;
};

constexpr uint32_t kPromoCountdownTickMs = 333;

// The picture for image `index` in `setupFolder` (the installer's folder +
// "Setup\"): "Promo<n> - <code>.png", "Promo<n> - <code>.jpg", "Promo<n>.png",
// "Promo<n>.jpg", the first that exists; empty when none does. Without a
// language code only the plain names are tried.
VnString FindPromoPicture(const VnString& setupFolder, int32_t index, const VnString& languageCode);

// The code of the user-interface language: the language object of the tools
// library names the language ("English"); its code is the "Code=" line of
// that language's "Language.ini" in the payload's program tree
// ("Playmoor\Data\Languages\<name>\Language.ini" beside the installer).
// Empty when either is missing.
VnString UiLanguageCode();
