// Sorting of arrays through a comparison interface, on std::stable_sort.
#pragma once

#include <algorithm>

#include "VnArray.h"

template <class T>
class IVnQSortCompare {
public:
    virtual ~IVnQSortCompare() = default;
    // Negative when a sorts before b, zero when equal, positive after.
    virtual int Compare(const T& a, const T& b) const = 0;
};

template <class T>
class VnQSort {
public:
    static void Sort(VnArrayBase<T>& array, const IVnQSortCompare<T>& compare) {
        std::stable_sort(array.Items().begin(), array.Items().end(),
                         [&compare](const T& a, const T& b) { return compare.Compare(a, b) < 0; });
    }
};

// Sorts strings exactly or case-insensitively, ascending or descending.
class VnStringArraySort : public IVnQSortCompare<VnString> {
public:
    explicit VnStringArraySort(bool ignoreCase = true, bool descending = false)
        : ignoreCase_(ignoreCase), descending_(descending) {}
    int Compare(const VnString& a, const VnString& b) const override {
        int result = ignoreCase_ ? a.CompareNoCase(b.View()) : a.Compare(b.View());
        return descending_ ? -result : result;
    }
    static void Sort(VnStringArray& array, bool ignoreCase = true, bool descending = false) {
        VnQSort<VnString>::Sort(array, VnStringArraySort(ignoreCase, descending));
    }

private:
    bool ignoreCase_;
    bool descending_;
};
