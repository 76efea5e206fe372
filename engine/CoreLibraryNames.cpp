#include "FileCopy.h"

#include <string>

namespace {

// The library of index 0 is the product's own; its name is kept scrambled so
// that it does not stand in the program file as text, and is rebuilt here.
constexpr unsigned char kScrambledFirstName[] = {0x0C, 0x33, 0x21, 0x16, 0x02, 0x00,
                                                 0x03, 0x41, 0x16, 0x19, 0x14};

VnString UnscrambledFirstName() {
    VnString name;
    for (size_t i = 0; i < sizeof(kScrambledFirstName); ++i)
        name += char16_t(kScrambledFirstName[i] ^ ((0x5A + 3 * i) & 0xFF));
    return name;
}

}  // namespace

VnString CoreLibraryName(int index) {
    static const char16_t* const kNamedLibraries[] = {u"VnImage.dll",  u"VnReader.dll",    u"VnDisc.dll",
                                                      u"VnPlayer.dll", u"VnWMFactory.dll", u"VnTelevision.dll"};
    static const VnString firstName = UnscrambledFirstName();
    if (index == 0) return firstName;
    if (index < 1 || index >= kCoreLibraryCount) return VnString();
    return kNamedLibraries[index - 1];
}

bool IsExcludedCoreLibrary(const VnString& path) {
    // Asked for every payload file: the names and the folded letters they
    // begin with are found once, and one pass over the path compares whole
    // names only where such a letter stands.
    const VnStringGlobals& g = VnStringGlobals::Get();
    static const VnStringArray names = [] {
        VnStringArray all;
        for (int n = 0; n < kCoreLibraryCount; ++n) all.Add(CoreLibraryName(n));
        return all;
    }();
    static const std::u16string firstLetters = [&g] {
        std::u16string letters;
        for (const VnString& name : names)
            if (letters.find(g.Fold(name[0])) == std::u16string::npos) letters += g.Fold(name[0]);
        return letters;
    }();
    const std::u16string_view text = path.View();
    for (size_t at = 0; at < text.size(); ++at) {
        const char16_t c = g.Fold(text[at]);
        if (firstLetters.find(c) == std::u16string::npos) continue;
        for (const VnString& name : names)
            if (size_t(name.GetLength()) <= text.size() - at &&
                VnString::CompareNoCase(text.substr(at, size_t(name.GetLength())), name.View()) == 0)
                return true;
    }
    return false;
}
