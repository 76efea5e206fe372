// Reading a value out of the text of an INI file, as GetPrivateProfileStringW
// does: the first section and the first key of that name (compared without
// case), blanks around names and values dropped, one pair of quotes around a
// value dropped. Used by the simulated machine and by the fuzz targets.
#pragma once

#include <functional>
#include <string_view>

#include "VnString.h"

// The file's bytes as text: UTF-16 LE with its byte order mark, UTF-8 (with or
// without its mark), else each byte as one character.
VnString VnProfileTextOf(std::string_view bytes);

// Every "key=value" line with its section, in file order (keys before the
// first section have an empty section name).
void VnForEachProfileValue(const VnString& text,
                           const std::function<void(std::u16string_view section, std::u16string_view key,
                                                    std::u16string_view value)>& visit);

// True with the value when the section holds the key.
bool VnFindProfileValue(const VnString& text, const VnString& section, const VnString& key, VnString& value);
