#include "FileCopy.h"

#include <string>
#include <vector>

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
    // Asked for every payload file, so the names are built and folded once
    // and the path is read once: a name is compared only where its first
    // character stands.
    static const std::vector<std::u16string> names = [] {
        const VnStringGlobals& g = VnStringGlobals::Get();
        std::vector<std::u16string> folded;
        for (int n = 0; n < kCoreLibraryCount; ++n) {
            std::u16string name(CoreLibraryName(n).View());
            for (char16_t& c : name) c = g.Fold(c);
            folded.push_back(std::move(name));
        }
        return folded;
    }();
    const VnStringGlobals& g = VnStringGlobals::Get();
    const std::u16string_view text = path.View();
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t first = g.Fold(text[i]);
        for (const std::u16string& name : names) {
            if (name[0] != first || i + name.size() > text.size()) continue;
            size_t k = 1;
            while (k < name.size() && g.Fold(text[i + k]) == name[k]) ++k;
            if (k == name.size()) return true;
        }
    }
    return false;
}
