// Any bytes as the licence text or a language's "Language.ini": decoded to
// text whatever they hold; the language code read from it is one trimmed line.
// fuzz-link: vn_platform
#include <cstdlib>
#include <string_view>

// The decoder is built in.
#include "../../wizard/LicenseText.cpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const VnString text = DecodeTextFile(std::string_view(reinterpret_cast<const char*>(data), size));
    const VnString code = LanguageCodeFromIni(text);
    if (code.Contains(u"\n")) std::abort();
    VnString trimmed = code;
    if (trimmed.Trim() != code) std::abort();
    return 0;
}
