#include "VnArray.h"

#include "VnCharSearch.h"

int32_t VnStringArray::FindNoCase(std::u16string_view value, int32_t start) const {
    for (int32_t i = std::max(start, 0); i < GetSize(); ++i)
        if (GetAt(i).EqualsNoCase(value)) return i;
    return -1;
}

VnString VnStringArray::Join(std::u16string_view separator) const {
    VnString out;
    for (int32_t i = 0; i < GetSize(); ++i) {
        if (i) out.Append(separator);
        out.Append(GetAt(i).View());
    }
    return out;
}

VnStringArray VnStringArray::Split(std::u16string_view text, std::u16string_view separator) {
    VnStringArray pieces;
    if (separator.empty()) {
        pieces.Add(VnString(text));
        return pieces;
    }
    size_t start = 0;
    for (size_t at = VnFindText(text, separator); at != std::u16string_view::npos;
         at = VnFindText(text, separator, start)) {
        pieces.Add(VnString(text.substr(start, at - start)));
        start = at + separator.size();
    }
    pieces.Add(VnString(text.substr(start)));
    return pieces;
}

int32_t VnStringUniqueList::IndexOf(std::u16string_view value) const {
    return ignoreCase_ ? FindNoCase(value) : Find(VnString(value));
}

int32_t VnStringUniqueList::Add(const VnString& value) {
    int32_t existing = IndexOf(value.View());
    return existing >= 0 ? existing : VnStringArray::Add(value);
}
