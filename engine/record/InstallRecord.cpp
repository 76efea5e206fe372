#include "InstallRecord.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// Fields are separated by tabs; a tab, a line break, a control character or
// "%" inside a field is written as "%XX".
bool NeedsEscape(unsigned char c) { return c < 0x20 || c == '%' || c == 0x7F; }

std::string Escape(const VnString& text) {
    std::string utf8 = text.ToUtf8();
    // Most record fields are plain paths with nothing to escape: kept as they are.
    if (std::none_of(utf8.begin(), utf8.end(), [](char c) { return NeedsEscape(static_cast<unsigned char>(c)); }))
        return utf8;
    std::string out;
    for (unsigned char c : utf8) {
        if (NeedsEscape(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool Unescape(std::string_view field, VnString& text) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            out += field[i];
            continue;
        }
        int high = i + 1 < field.size() ? HexDigit(field[i + 1]) : -1;
        int low = i + 2 < field.size() ? HexDigit(field[i + 2]) : -1;
        if (high < 0 || low < 0) return false;
        out += char(high * 16 + low);
        i += 2;
    }
    text = VnString::FromUtf8(out);
    return true;
}

// A string value's data as its text, when the text reads back to the same
// bytes: UTF-16 ending in exactly one zero character.
bool DataAsText(const RecordedValueData& data, VnString& text) {
    if (data.type != vnwin::kRegSz && data.type != vnwin::kRegExpandSz) return false;
    const size_t size = data.bytes.size();
    if (size < 2 || size % 2 || data.bytes[size - 1] || data.bytes[size - 2]) return false;
    std::u16string chars;
    for (size_t i = 0; i + 2 < size; i += 2) {
        const char16_t c = char16_t(data.bytes[i] | data.bytes[i + 1] << 8);
        if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) return false;  // a zero, or a half pair UTF-8 cannot carry
        chars += c;
    }
    text = VnString(std::u16string_view(chars));
    return true;
}

// "-" for an absent value; "<type>=<text>" for a string value; else
// "<type>:<hex bytes>".
std::string FormatData(const RecordedValueData& data) {
    if (!data.present) return "-";
    VnString text;
    if (DataAsText(data, text)) return std::to_string(data.type) + "=" + Escape(text);
    std::string out = std::to_string(data.type) + ":";
    for (uint8_t b : data.bytes) {
        out += kHex[b >> 4];
        out += kHex[b & 15];
    }
    return out;
}

bool ParseNumber(std::string_view text, uint32_t& number) {
    if (text.empty()) return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseData(std::string_view text, RecordedValueData& data) {
    data = {};
    if (text == "-") return true;
    const size_t colon = text.find_first_of(":=");
    if (colon == std::string_view::npos || !ParseNumber(text.substr(0, colon), data.type)) return false;
    if (text[colon] == '=') {
        VnString chars;
        if ((data.type != vnwin::kRegSz && data.type != vnwin::kRegExpandSz) ||
            !Unescape(text.substr(colon + 1), chars))
            return false;
        for (char16_t c : chars.View()) {
            data.bytes += uint8_t(c & 0xFF);
            data.bytes += uint8_t(c >> 8);
        }
        data.bytes += {0, 0};
        data.present = true;
        return true;
    }
    std::string_view hex = text.substr(colon + 1);
    if (hex.size() % 2) return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) return false;
        data.bytes += uint8_t(high * 16 + low);
    }
    data.present = true;
    return true;
}

bool ParseRoot(std::string_view text, VnRegRoot& root) {
    for (VnRegRoot candidate :
         {VnRegRoot::ClassesRoot, VnRegRoot::CurrentUser, VnRegRoot::LocalMachine, VnRegRoot::Users}) {
        if (text == RegistryRootName(candidate)) {
            root = candidate;
            return true;
        }
    }
    return false;
}

bool ParseView(std::string_view text, uint32_t& view) {
    if (text == "0") view = 0;
    else if (text == "32") view = vnwin::kKeyWow64_32Key;
    else if (text == "64") view = vnwin::kKeyWow64_64Key;
    else return false;
    return true;
}

const char* ViewName(uint32_t view) {
    return view == vnwin::kKeyWow64_64Key ? "64" : view == vnwin::kKeyWow64_32Key ? "32" : "0";
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

struct KindName {
    InstallRecordKind kind;
    const char* name;
    size_t fields;  // including the kind
};
constexpr KindName kKinds[] = {
    {InstallRecordKind::Install, "install", 2},  {InstallRecordKind::Folder, "folder", 2},
    {InstallRecordKind::File, "file", 4},        {InstallRecordKind::Key, "key", 4},
    {InstallRecordKind::Value, "value", 7},      {InstallRecordKind::Link, "link", 2},
    {InstallRecordKind::Component, "component", 3}, {InstallRecordKind::Earlier, "earlier", 2},
};

// Reads one line into `entry`; false with the reason otherwise.
bool ParseLine(std::string_view line, InstallRecordEntry& entry, std::string& why) {
    const std::vector<std::string_view> fields = SplitFields(line);
    const KindName* kind = nullptr;
    for (const KindName& candidate : kKinds)
        if (fields[0] == candidate.name) kind = &candidate;
    if (!kind) {
        why = "unknown entry";
        return false;
    }
    if (fields.size() != kind->fields) {
        why = "wrong number of fields";
        return false;
    }
    entry = {};
    entry.kind = kind->kind;
    switch (kind->kind) {
        case InstallRecordKind::Install:
        case InstallRecordKind::Folder:
        case InstallRecordKind::Link:
        case InstallRecordKind::Earlier:
            if (!Unescape(fields[1], entry.path)) break;
            return true;
        case InstallRecordKind::File:
            if (!Unescape(fields[1], entry.path) || !Unescape(fields[3], entry.detail)) break;
            if (fields[2] != "created" && fields[2] != "replaced") break;
            entry.replaced = fields[2] == "replaced";
            return true;
        case InstallRecordKind::Component:
            if (!Unescape(fields[1], entry.path) || !Unescape(fields[2], entry.detail)) break;
            return true;
        case InstallRecordKind::Key:
        case InstallRecordKind::Value:
            if (!ParseRoot(fields[1], entry.root) || !ParseView(fields[2], entry.view) ||
                !Unescape(fields[3], entry.path))
                break;
            if (kind->kind == InstallRecordKind::Key) return true;
            if (!Unescape(fields[4], entry.valueName) || !ParseData(fields[5], entry.before) ||
                !ParseData(fields[6], entry.after))
                break;
            return true;
    }
    why = "a field does not read";
    return false;
}

}  // namespace

const char* RegistryRootName(VnRegRoot root) {
    switch (root) {
        case VnRegRoot::ClassesRoot: return "HKCR";
        case VnRegRoot::CurrentUser: return "HKCU";
        case VnRegRoot::LocalMachine: return "HKLM";
        case VnRegRoot::Users: return "HKU";
    }
    return "HKLM";
}

std::string FormatInstallRecordLine(const InstallRecordEntry& entry) {
    std::string line;
    for (const KindName& kind : kKinds)
        if (kind.kind == entry.kind) line = kind.name;
    line += '\t';
    switch (entry.kind) {
        case InstallRecordKind::Install:
        case InstallRecordKind::Folder:
        case InstallRecordKind::Link:
        case InstallRecordKind::Earlier:
            line += Escape(entry.path);
            break;
        case InstallRecordKind::File:
            line += Escape(entry.path) + (entry.replaced ? "\treplaced\t" : "\tcreated\t") + Escape(entry.detail);
            break;
        case InstallRecordKind::Component:
            line += Escape(entry.path) + "\t" + Escape(entry.detail);
            break;
        case InstallRecordKind::Key:
        case InstallRecordKind::Value:
            line += std::string(RegistryRootName(entry.root)) + "\t" + ViewName(entry.view) + "\t" + Escape(entry.path);
            if (entry.kind == InstallRecordKind::Value)
                line += "\t" + Escape(entry.valueName) + "\t" + FormatData(entry.before) + "\t" +
                        FormatData(entry.after);
            break;
    }
    return line + "\n";
}

InstallRecordText ParseInstallRecord(std::string_view text) {
    InstallRecordText result;
    std::string_view header = kInstallRecordHeader;
    if (text.substr(0, header.size()) != header) {
        result.problems.push_back("line 1: not an installation record");
        return result;
    }
    result.headerFound = true;
    size_t position = header.size();
    for (int lineNumber = 2; position < text.size(); ++lineNumber) {
        const size_t end = text.find('\n', position);
        if (end == std::string_view::npos) {
            result.problems.push_back("line " + std::to_string(lineNumber) + ": cut off");
            break;
        }
        std::string_view line = text.substr(position, end - position);
        position = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        InstallRecordEntry entry;
        std::string why;
        if (ParseLine(line, entry, why)) result.entries.push_back(std::move(entry));
        else result.problems.push_back("line " + std::to_string(lineNumber) + ": " + why);
    }
    return result;
}
