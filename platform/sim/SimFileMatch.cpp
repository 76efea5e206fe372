#include "SimFileMatch.h"

#include "SimPaths.h"

VnSimFileMask::VnSimFileMask(const VnString& mask) : mask_(VnSimPaths::FoldName(mask.View())) {
    if (mask_ == u"*.*") mask_.assign(1, u'*');
    if (mask_.size() > 2 && mask_.compare(mask_.size() - 2, 2, u".*") == 0)
        withoutAnyExtension_ = mask_.substr(0, mask_.size() - 2);
}

bool VnSimFileMask::Matches(const VnString& name) const {
    std::u16string folded = VnSimPaths::FoldName(name.View());
    if (Glob(mask_, folded)) return true;
    return !withoutAnyExtension_.empty() && folded.find(u'.') == std::u16string::npos &&
           Glob(withoutAnyExtension_, folded);
}

// Iterative wildcard match with back-tracking to the last "*".
bool VnSimFileMask::Glob(std::u16string_view mask, std::u16string_view name) {
    size_t m = 0, n = 0, starMask = std::u16string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == u'?' || mask[m] == name[n])) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask[m] == u'*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::u16string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*') ++m;
    return m == mask.size();
}
