// Whether a Windows library file (PE32 or PE32+) exports a function by name,
// read from its export table. Any bytes at all may be given: nothing is read
// outside the buffer and every walk is bounded.
#pragma once

#include <string>
#include <string_view>

bool VnPeExportsName(const std::string& fileBytes, std::string_view exportName);
