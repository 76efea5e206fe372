// The description of a plug-in package, read from either encoding: XML with
// the root "PMPF", or INI sections "Package" and "Action". Both give the same
// record; reading never fails half-way, a description that cannot be used is
// refused as a whole with a reason.
#pragma once

#include <cstdint>
#include <functional>

#include "VnArray.h"
#include "VnString.h"

struct PackageAction {
    VnString command;  // as written; commands are matched exactly in upper case
    VnString param;
};

struct PackageFileEntry {
    VnString file;            // relative to the unpack folder, or a download location
    bool isDownload = false;  // "FileType" "URL" (XML) or a value holding "URL" (INI)
    VnCoreArray<PackageAction> actions;
};

struct PackageDescription {
    VnString name, url, version;
    VnString actionWords;    // the package-level action list
    VnString actionOptions;  // "DONT_CLEANUP", "SAVE_DIR_STRUCT"
    bool hasFileActions = false;
    VnCoreArray<PackageFileEntry> files;

    // A word of the action list or the options, without case; words are
    // separated by blanks, commas, semicolons or "|".
    bool HasActionWord(std::u16string_view word) const;
    bool HasOption(std::u16string_view word) const;
};

// Descriptions larger than this many file entries, or entries with more
// actions than this, are refused: nothing of them is run.
constexpr int32_t kMaxPackageFileEntries = 10000;
constexpr int32_t kMaxActionsPerFile = 1000;
// The INI reader's buffer for one value, as GetPrivateProfileStringW gets it.
constexpr uint32_t kPackageIniValueChars = 512;

// The XML encoding. `packageIndex` names the "Package" element (from 0).
bool ReadPackageXml(const VnString& text, int32_t packageIndex, PackageDescription& description, VnString& error);

// The INI encoding: `lookup`(section, key) gives a value or "" when absent.
using PackageIniLookup = std::function<VnString(const VnString& section, const VnString& key)>;
bool ReadPackageIni(const PackageIniLookup& lookup, PackageDescription& description, VnString& error);

// Reads a description file through the platform: XML when its text starts
// with "<" (after blanks and a byte order mark), else INI through
// GetPrivateProfileStringW.
bool ReadPackageDescription(const VnString& path, int32_t packageIndex, PackageDescription& description,
                            VnString& error);
