// The licence agreement shown on the welcome page: "license.txt" in the
// installer's own folder, read as a whole text file whose encoding is found
// from its bytes.
#pragma once

#include <string_view>

#include "VnString.h"

constexpr char16_t kLicenseFileName[] = u"license.txt";

// The text of the file at `path`; empty when it is missing or unreadable.
VnString ReadLicenseText(const VnString& path);

// Decodes a text file's bytes: a byte-order mark names UTF-16 (little or big
// endian) or UTF-8; without one, text that is valid UTF-8 is read as UTF-8
// and anything else as Windows-1252, the encoding of an ANSI licence file.
VnString DecodeTextFile(std::string_view bytes);

// The "Code=" value of a language file's text (any section, case ignored).
VnString LanguageCodeFromIni(const VnString& iniText);
