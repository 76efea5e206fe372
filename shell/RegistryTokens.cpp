#include "RegistryTokens.h"

#include <algorithm>
#include <string_view>

#include "VnCharSearch.h"

namespace {

constexpr std::u16string_view kCustomArtToken = u"[CUSTOMART]";

// Where the "[" of a row stand. Every token begins with one, so tokens are
// looked for at those places only instead of over the whole row, nine times
// for every row. More brackets than it holds: the row is searched whole.
class RowBrackets {
public:
    static constexpr int kMost = 16;
    explicit RowBrackets(std::u16string_view row) { Note(row); }
    void Note(std::u16string_view row) {
        count_ = 0;
        overflow_ = true;
        for (size_t at = VnFindChar(row, u'['); at != std::u16string_view::npos; at = VnFindChar(row, u'[', at + 1)) {
            if (count_ == kMost) return;
            places_[count_++] = at;
        }
        overflow_ = false;
    }
    bool IsEmpty() const { return count_ == 0 && !overflow_; }
    bool IsComplete() const { return !overflow_; }
    int Count() const { return count_; }
    size_t Place(int i) const { return places_[i]; }
    bool Holds(std::u16string_view row, std::u16string_view token) const {
        if (overflow_) return VnFindText(row, token) != std::u16string_view::npos;
        for (int i = 0; i < count_; ++i)
            if (row.compare(places_[i], token.size(), token) == 0) return true;
        return false;
    }

private:
    size_t places_[kMost];
    int count_ = 0;
    bool overflow_ = true;
};

struct Token {
    std::u16string_view token;
    std::u16string_view value;
};

// The nine tokens in their order, with their values.
constexpr int kTokenCount = 9;

// Replaces every token in one pass when that gives what replacing them one
// after the other does: when each "[" of the row begins a token (or
// "[CUSTOMART]", left for later) and no value brought in holds a "[".
// Then no replacement can form or hide another token, so each token found
// in the row is exactly what the one-by-one replacement would replace.
// False, with the row untouched, otherwise.
bool ReplaceInOnePass(VnString& row, const RowBrackets& brackets, const Token (&tokens)[kTokenCount]) {
    if (!brackets.IsComplete()) return false;
    const std::u16string_view text = row.View();
    int found[RowBrackets::kMost];  // the token at each "[", -1 for "[CUSTOMART]"
    int64_t length = int64_t(text.size());
    for (int i = 0; i < brackets.Count(); ++i) {
        const size_t at = brackets.Place(i);
        found[i] = -2;
        for (int t = 0; t < kTokenCount && found[i] == -2; ++t)
            if (text.compare(at, tokens[t].token.size(), tokens[t].token) == 0) found[i] = t;
        if (found[i] == -2 && text.compare(at, kCustomArtToken.size(), kCustomArtToken) == 0) found[i] = -1;
        if (found[i] == -2) return false;
        if (found[i] >= 0) {
            const Token& token = tokens[found[i]];
            if (VnFindChar(token.value, u'[') != std::u16string_view::npos) return false;
            length += int64_t(token.value.size()) - int64_t(token.token.size());
        }
    }
    VnString result;
    char16_t* out = result.GetBuffer(int32_t(length));
    size_t done = 0;
    for (int i = 0; i < brackets.Count(); ++i) {
        if (found[i] < 0) continue;
        const Token& token = tokens[found[i]];
        const size_t at = brackets.Place(i);
        out = std::copy(text.data() + done, text.data() + at, out);
        out = std::copy(token.value.begin(), token.value.end(), out);
        done = at + token.token.size();
    }
    std::copy(text.data() + done, text.data() + text.size(), out);
    result.ReleaseBuffer(int32_t(length));
    row = std::move(result);
    return true;
}

}  // namespace

void ExpandRegistryTokens(VnString& row, const RegistryTokenValues& values) {
    RowBrackets brackets(row);
    if (brackets.IsEmpty()) return;
    // [EXEPATH] is made only for a row that may ask for it.
    VnString exePath;
    if (brackets.Holds(row, u"[EXEPATH]")) exePath = values.installFolder + values.executableName;
    Token tokens[kTokenCount] = {
        {kAutoPlayToken, kAutoPlayKey},
        {u"[INSTALLDIR]", values.installFolder},
        {u"[SYSTEMDIR]", values.systemFolder},
        {u"[CURRENTDIR]", values.installerFolder},
        {u"[PRODUCTNAME]", values.productName},
        {u"[PRODUCTWITHVERSION]", values.progIdBase},
        {u"[EXEPATH]", exePath},
        {u"[LAUNCHERPATH]", values.launcherPath},
        {u"[LAUNCHERNAME]", values.launcherName},
    };
    if (!ReplaceInOnePass(row, brackets, tokens)) {
        // Each token in turn over the whole row, so that text one replacement
        // brings in is open to the tokens after it.
        if (exePath.IsEmpty()) exePath = values.installFolder + values.executableName;
        tokens[6].value = exePath;
        for (const Token& token : tokens) {
            if (!brackets.Holds(row, token.token)) continue;
            row.Replace(token.token, token.value);
            brackets.Note(row);
        }
    }
    ExpandCustomArt(row, values.findArt);
}

void ExpandCustomArt(VnString& row, const std::function<VnString(const VnString&)>& findArt) {
    const int32_t token = row.Find(kCustomArtToken);
    if (token < 0) return;
    const int32_t nameStart = token + int32_t(kCustomArtToken.size());
    int32_t nameEnd = row.Find(u'"', nameStart);
    if (nameEnd < 0) nameEnd = row.GetLength();
    const VnString name = row.Mid(nameStart, nameEnd - nameStart);
    const VnString path = findArt ? findArt(name) : VnString();
    row.Delete(token, nameEnd - token);
    row.Insert(token, path.View());
}
