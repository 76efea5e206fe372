// The bracketed tokens of the registry rows and their expansion, in the fixed
// order of the row language (docs/registry-rows.md). Expansion is plain text
// replacement on the whole row before it is split, so a token value that holds
// "|" changes the row's fields.
#pragma once

#include <functional>

#include "VnString.h"

struct RegistryTokenValues {
    VnString installFolder;    // [INSTALLDIR], ends in a backslash
    VnString systemFolder;     // [SYSTEMDIR], ends in a backslash
    VnString installerFolder;  // [CURRENTDIR], ends in a backslash
    VnString productName;      // [PRODUCTNAME]: the product name in form 3
    VnString progIdBase;       // [PRODUCTWITHVERSION]
    VnString launcherPath;     // [LAUNCHERPATH]
    VnString launcherName;     // [LAUNCHERNAME]
    // [EXEPATH] is installFolder + executableName.
    VnString executableName;
    // The resource lookup of [CUSTOMART]: the full path of an art file, or empty.
    std::function<VnString(const VnString& fileName)> findArt;
};

constexpr char16_t kAutoPlayToken[] = u"[AUTOPLAYKEY]";
constexpr char16_t kAutoPlayKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\";

// Replaces every occurrence of the nine plain tokens in order, then the first
// "[CUSTOMART]" reference.
void ExpandRegistryTokens(VnString& row, const RegistryTokenValues& values);

// Replaces the first "[CUSTOMART]" and the file name after it (up to the next
// double quote, or the end of the row) with the path the lookup gives.
void ExpandCustomArt(VnString& row, const std::function<VnString(const VnString&)>& findArt);
