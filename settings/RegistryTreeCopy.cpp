#include "RegistryTreeCopy.h"
#include "VnRegKeyCloser.h"

#include "EngineLog.h"
#include "VnPlatform.h"

namespace {

constexpr char16_t kSource[] = u"CopyRegistryTree";
// Windows allows 512 levels of keys; deeper means something is wrong.
constexpr int kMaxDepth = 512;

using RawData = std::basic_string<uint8_t>;

IVnRegistry& Registry() { return VnPlatform().Registry(); }

using KeyCloser = VnRegKeyCloser;

bool IsText(uint32_t type) { return type == vnwin::kRegSz || type == vnwin::kRegExpandSz; }

// The text of string data: UTF-16LE up to the first zero or the end.
VnString DecodeText(const RawData& data) {
    std::u16string text;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        const char16_t c = char16_t(data[i] | (data[i + 1] << 8));
        if (c == 0) break;
        text.push_back(c);
    }
    return VnString(std::u16string_view(text));
}

class TreeCopier {
public:
    TreeCopier(const TextReplacements& replacements, RegistryTreeCopyResult& result)
        : replacements_(replacements), result_(result) {}

    void CopyKey(VnRegKey source, VnRegKey destination, const VnString& path, const VnStringArray& excluded,
                 int depth) {
        CopyValues(source, destination, path);
        VnStringArray subKeys;
        VnString name;
        for (uint32_t index = 0; Registry().EnumKey(source, index, name) == vnwin::kErrorSuccess; ++index)
            if (excluded.FindNoCase(name) < 0) subKeys.Add(name);
        if (!subKeys.IsEmpty() && depth >= kMaxDepth) {
            Fail(VnString::Format(u"Too deep, subkeys left out: %s", path));
            return;
        }
        for (const VnString& subKey : subKeys) {
            VnRegKey from = 0, to = 0;
            if (Registry().OpenSubKey(source, subKey, vnwin::kKeyRead, from) != vnwin::kErrorSuccess) {
                Fail(VnString::Format(u"Cannot open %s\\%s", path, subKey));
                continue;
            }
            KeyCloser closeFrom(from);
            if (Registry().CreateSubKey(destination, subKey, vnwin::kKeyReadWrite, to) != vnwin::kErrorSuccess) {
                Fail(VnString::Format(u"Cannot create the copy of %s\\%s", path, subKey));
                continue;
            }
            KeyCloser closeTo(to);
            ++result_.keysCopied;
            CopyKey(from, to, path + u"\\" + subKey, VnStringArray(), depth + 1);
        }
    }

private:
    void CopyValues(VnRegKey source, VnRegKey destination, const VnString& path) {
        VnString name;
        uint32_t type = 0;
        RawData data;
        for (uint32_t index = 0; Registry().EnumValue(source, index, name) == vnwin::kErrorSuccess; ++index) {
            if (Registry().QueryRawValue(source, name, type, data) != vnwin::kErrorSuccess) {
                Fail(VnString::Format(u"Cannot read %s: %s", path, name));
                continue;
            }
            uint32_t error;
            VnString text;
            VnString replaced;
            if (IsText(type) && !replacements_.IsEmpty() &&
                (replaced = replacements_.Apply(text = DecodeText(data))) != text) {
                error = Registry().SetValue(destination, name, VnRegValue::String(replaced, type));
            } else {
                error = Registry().SetRawValue(destination, name, type, data);
            }
            if (error == vnwin::kErrorSuccess)
                ++result_.valuesCopied;
            else
                Fail(VnString::Format(u"Error %d writing the copy of %s: %s", error, path, name));
        }
    }

    void Fail(const VnString& text) {
        EngineLog(kSource, text);
        ++result_.failures;
    }

    const TextReplacements& replacements_;
    RegistryTreeCopyResult& result_;
};

}  // namespace

void TextReplacements::Add(const VnString& find, const VnString& replacement) {
    if (find.IsEmpty()) return;
    finds_.Add(find);
    replacements_.Add(replacement);
}

void TextReplacements::Clear() {
    finds_.RemoveAll();
    replacements_.RemoveAll();
}

VnString TextReplacements::Apply(const VnString& text) const {
    VnString result;
    int32_t from = 0;
    for (;;) {
        int32_t best = -1, bestAt = -1;
        for (int32_t i = 0; i < finds_.GetSize(); ++i) {
            const int32_t at = text.FindNoCase(finds_[i].View(), from);
            if (at < 0) continue;
            if (bestAt < 0 || at < bestAt || (at == bestAt && finds_[i].GetLength() > finds_[best].GetLength()))
                best = i, bestAt = at;
        }
        if (best < 0) break;
        result += text.Mid(from, bestAt - from);
        result += replacements_[best];
        from = bestAt + finds_[best].GetLength();
    }
    if (from == 0) return text;
    result += text.Mid(from);
    return result;
}

RegistryTreeCopyResult CopyRegistryTree(const VnString& source, const VnString& destination,
                                        const VnStringArray& excluded, const TextReplacements& replacements) {
    RegistryTreeCopyResult result;
    VnRegKey from = 0, to = 0;
    if (Registry().OpenKey(VnRegRoot::CurrentUser, source, vnwin::kKeyRead, from) != vnwin::kErrorSuccess)
        return result;
    KeyCloser closeFrom(from);
    result.sourceFound = true;
    if (Registry().CreateKey(VnRegRoot::CurrentUser, destination, vnwin::kKeyReadWrite, to) != vnwin::kErrorSuccess) {
        EngineLog(kSource, VnString::Format(u"Cannot create %s", destination));
        ++result.failures;
        return result;
    }
    KeyCloser closeTo(to);
    TreeCopier(replacements, result).CopyKey(from, to, source, excluded, 0);
    return result;
}
