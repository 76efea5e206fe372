#include "RegistryRow.h"

#include <limits>

#include "VnCharSearch.h"

bool ParseRegistryRootLine(std::u16string_view row, RegistryRowRoot& root) {
    static constexpr struct {
        std::u16string_view name;
        RegistryRowRoot root;
    } kRoots[] = {{u"HKEY_CLASSES_ROOT", RegistryRowRoot::ClassesRoot},
                  {u"HKEY_CURRENT_USER", RegistryRowRoot::CurrentUser},
                  {u"HKEY_LOCAL_MACHINE", RegistryRowRoot::LocalMachine}};
    for (const auto& entry : kRoots) {
        if (row == entry.name) {
            root = entry.root;
            return true;
        }
    }
    return false;
}

bool SplitRegistryRow(std::u16string_view row, RegistryRow& out) {
    constexpr size_t kFields = 5;
    std::u16string_view fields[kFields];
    size_t count = 0;
    size_t start = 0;
    for (;;) {
        const size_t bar = VnFindChar(row, u'|', start);
        const std::u16string_view field = row.substr(start, bar == std::u16string_view::npos ? row.npos : bar - start);
        if (bar == std::u16string_view::npos) {
            // The piece after a trailing "|" is the one empty field a row loses.
            if (!(field.empty() && start > 0)) {
                if (count == kFields) return false;
                fields[count++] = field;
            }
            break;
        }
        if (count == kFields) return false;
        fields[count++] = field;
        start = bar + 1;
    }
    if (count != kFields) return false;

    // Assigned in place: a row reused for the next text keeps its buffers.
    out.key = fields[0];
    if (fields[1] == u"Default") out.valueName.Empty();
    else out.valueName = fields[1];
    out.data = fields[2];
    out.isString = fields[3] == u"STRING";
    out.action = fields[4] == u"DELETE"   ? RegistryRowAction::Delete
                 : fields[4] == u"CREATE" ? RegistryRowAction::Create
                                          : RegistryRowAction::Modify;
    return true;
}

int32_t ParseRegistryRowNumber(std::u16string_view data) {
    size_t i = 0;
    while (i < data.size() && (data[i] == u' ' || (data[i] >= u'\t' && data[i] <= u'\r'))) ++i;
    bool negative = false;
    if (i < data.size() && (data[i] == u'+' || data[i] == u'-')) negative = data[i++] == u'-';
    int64_t value = 0;
    constexpr int64_t kLimit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    for (; i < data.size() && data[i] >= u'0' && data[i] <= u'9'; ++i) {
        value = value * 10 + (data[i] - u'0');
        if (value > kLimit) value = kLimit;
    }
    if (negative) return value >= kLimit ? std::numeric_limits<int32_t>::min() : int32_t(-value);
    return value >= kLimit ? std::numeric_limits<int32_t>::max() : int32_t(value);
}
