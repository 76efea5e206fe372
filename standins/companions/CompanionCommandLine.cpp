#include "CompanionCommandLine.h"

namespace {
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
}  // namespace

bool CompanionCommandLine::Take(std::u16string_view word) {
    int32_t start = position_;
    while (start < text_.GetLength() && IsBlank(text_[start])) ++start;
    int32_t end = start;
    bool quoted = start < text_.GetLength() && text_[start] == u'"';
    if (quoted) {
        end = text_.Find(u'"', start + 1);
        if (end < 0) return false;
        ++start;
    } else {
        while (end < text_.GetLength() && !IsBlank(text_[end])) ++end;
    }
    if (VnString::CompareNoCase(text_.View().substr(size_t(start), size_t(end - start)), word) != 0) return false;
    position_ = quoted ? end + 1 : end;
    return true;
}

VnString CompanionCommandLine::Rest() const {
    VnString rest = text_.Mid(position_);
    rest.Trim();
    if (rest.GetLength() >= 2 && rest.StartsWith(u"\"") && rest.EndsWith(u"\"")) rest = rest.Mid(1, rest.GetLength() - 2);
    return rest;
}
