#include "SimRegFile.h"

#include <cstdio>

namespace {

constexpr char16_t kHeader[] = u"Windows Registry Editor Version 5.00";
// Hex data wraps once a line reaches this many characters, as `reg export` does.
constexpr size_t kMaxHexChars = 77;

// ---- writing ----

std::u16string Escape(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text) {
        switch (c) {
            case u'\\': out += u"\\\\"; break;
            case u'"': out += u"\\\""; break;
            case u'\r': out += u"\\r"; break;
            case u'\n': out += u"\\n"; break;
            default: out += c;
        }
    }
    return out;
}

std::u16string Ascii(const char* text) { return std::u16string(text, text + std::char_traits<char>::length(text)); }

// A REG_SZ is written as quoted text only when that reads back to the very
// same bytes: whole characters, one terminating zero, no zero or line break inside.
bool WritableAsText(const VnSimRegValueData& value, std::u16string& text) {
    if (value.type != vnwin::kRegSz || value.data.size() < 2 || value.data.size() % 2) return false;
    text.clear();
    for (size_t i = 0; i + 1 < value.data.size(); i += 2) text += char16_t(value.data[i] | (value.data[i + 1] << 8));
    if (text.back() != 0) return false;
    text.pop_back();
    return text.find_first_of(std::u16string_view(u"\0\r\n", 3)) == std::u16string::npos;
}

void WriteHex(std::u16string& out, size_t lineLength, const VnSimRegValueData& value) {
    char buffer[24];
    if (value.type == vnwin::kRegBinary)
        std::snprintf(buffer, sizeof buffer, "hex:");
    else
        std::snprintf(buffer, sizeof buffer, "hex(%x):", unsigned(value.type));
    out += Ascii(buffer);
    lineLength += std::char_traits<char>::length(buffer);
    for (size_t i = 0; i < value.data.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, "%02x", unsigned(value.data[i]));
        out += Ascii(buffer);
        if (i + 1 == value.data.size()) break;
        out += u',';
        lineLength += 3;
        if (lineLength >= kMaxHexChars) {
            out += u"\\\r\n  ";
            lineLength = 2;
        }
    }
}

void WriteValue(std::u16string& out, const VnSimRegValueData& value) {
    std::u16string line = u"@=";
    if (!value.name.IsEmpty()) {
        line = u"\"";
        line += Escape(value.name.View());
        line += u"\"=";
    }
    out += line;
    std::u16string text;
    if (WritableAsText(value, text)) {
        out += u'"';
        out += Escape(text);
        out += u'"';
    } else if (value.type == vnwin::kRegDword && value.data.size() == 4) {
        char buffer[20];
        std::snprintf(buffer, sizeof buffer, "dword:%02x%02x%02x%02x", unsigned(value.data[3]), unsigned(value.data[2]),
                      unsigned(value.data[1]), unsigned(value.data[0]));
        out += Ascii(buffer);
    } else {
        WriteHex(out, line.size(), value);
    }
    out += u"\r\n";
}

// ---- reading ----

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view TrimView(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Reads 1 to maxDigits hex digits that make up the whole text.
bool ParseHexNumber(std::u16string_view text, size_t maxDigits, uint32_t& number) {
    if (text.empty() || text.size() > maxDigits) return false;
    number = 0;
    for (char16_t c : text) {
        int digit = HexDigit(c);
        if (digit < 0) return false;
        number = number * 16 + uint32_t(digit);
    }
    return true;
}

std::u16string DecodeText(const std::string& bytes) {
    std::u16string text;
    if (bytes.size() >= 2 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xFE) {
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += char16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8));
        return text;
    }
    size_t start = bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    VnString converted = VnString::FromUtf8(std::string_view(bytes).substr(start));
    return std::u16string(converted.View());
}

class RegFileReader {
public:
    explicit RegFileReader(VnSimRegHive& hive) : hive_(hive) {}
    bool Read(const std::u16string& text, std::string& error);

private:
    bool Fail(const std::string& message) {
        error_ = "line " + std::to_string(lineNumber_) + ": " + message;
        return false;
    }
    bool ReadLine(std::u16string_view line);
    bool ReadSection(std::u16string_view line);
    bool ReadValue(std::u16string_view line);
    bool ReadQuoted(std::u16string_view& rest, std::u16string& text);
    bool ReadData(std::u16string_view data, uint32_t& type, VnSimRegBytes& bytes);

    VnSimRegHive& hive_;
    std::shared_ptr<VnSimRegNode> key_;  // current section; null after "[-...]"
    bool inSection_ = false;
    bool sawHeader_ = false;
    size_t lineNumber_ = 0;
    std::string error_;
};

bool RegFileReader::Read(const std::u16string& text, std::string& error) {
    std::u16string logical;
    size_t logicalStart = 0, physical = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find(u'\n', pos);
        if (end == std::u16string::npos) end = text.size();
        std::u16string_view line(text.data() + pos, end - pos);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        ++physical;
        pos = end + 1;
        if (logical.empty()) logicalStart = physical;
        std::u16string_view trimmed = TrimView(line);
        // A value's hex data continues on the next line after a final backslash.
        bool continues = !trimmed.empty() && trimmed.back() == u'\\' && trimmed.front() != u'[' &&
                         (!logical.empty() || trimmed.front() == u'"' || trimmed.front() == u'@');
        // A continuation promises more bytes: a blank line or the end of the
        // file in their place means the data was cut off.
        const bool cutOff = continues || (!logical.empty() && trimmed.empty());
        if (continues) {
            logical += trimmed.substr(0, trimmed.size() - 1);
            if (pos <= text.size()) continue;
        } else {
            logical += logical.empty() ? line : trimmed;
        }
        lineNumber_ = logicalStart;
        if (cutOff) {
            error = "line " + std::to_string(lineNumber_) + ": hex data cut off after a continuation line";
            return false;
        }
        if (!ReadLine(logical)) {
            error = error_;
            return false;
        }
        logical.clear();
    }
    if (!sawHeader_) {
        error = "not a registry file: the first line must be \"Windows Registry Editor Version 5.00\"";
        return false;
    }
    return true;
}

bool RegFileReader::ReadLine(std::u16string_view line) {
    line = TrimView(line);
    if (line.empty() || line.front() == u';') return true;
    if (!sawHeader_) {
        if (line == kHeader) return sawHeader_ = true;
        if (line == u"REGEDIT4") return Fail("REGEDIT4 files are not read; export in version 5.00 format");
        return Fail("not a registry file: the first line must be \"Windows Registry Editor Version 5.00\"");
    }
    if (line.front() == u'[') return ReadSection(line);
    if (line.front() == u'"' || line.front() == u'@') return ReadValue(line);
    return Fail("neither a [key] nor a \"value\"=data line");
}

bool RegFileReader::ReadSection(std::u16string_view line) {
    if (line.back() != u']') return Fail("a key line must end with ]");
    line = line.substr(1, line.size() - 2);
    bool remove = !line.empty() && line.front() == u'-';
    if (remove) line.remove_prefix(1);
    VnStringArray parts;
    for (const VnString& part : VnStringArray::Split(line, u"\\"))
        if (!part.IsEmpty()) parts.Add(part);
    VnRegRoot root;
    if (parts.IsEmpty() || !VnSimRegHive::RootFromName(parts[0].View(), root))
        return Fail("unknown root key in [" + VnString(line).ToUtf8() + "]");
    parts.RemoveAt(0);
    if (root == VnRegRoot::ClassesRoot) {
        root = VnRegRoot::LocalMachine;
        parts.InsertAt(0, VN_LIT(u"Classes"));
        parts.InsertAt(0, VN_LIT(u"Software"));
    }
    if (parts.GetSize() > kVnSimMostKeyDepth)
        return Fail("a key more than " + std::to_string(kVnSimMostKeyDepth) + " levels deep");
    inSection_ = true;
    if (remove) {
        if (auto node = VnSimRegHive::Find(hive_.Root(root), parts); node && !node->IsRoot())
            node->Parent()->RemoveSubkey(node.get());
        key_ = nullptr;
        return true;
    }
    bool created = false;
    key_ = VnSimRegHive::Create(hive_.Root(root), parts, created);
    return true;
}

bool RegFileReader::ReadQuoted(std::u16string_view& rest, std::u16string& text) {
    text.clear();
    for (size_t i = 1; i < rest.size(); ++i) {
        char16_t c = rest[i];
        if (c == u'"') {
            rest.remove_prefix(i + 1);
            return true;
        }
        if (c != u'\\' || i + 1 == rest.size()) {
            text += c;
            continue;
        }
        char16_t next = rest[++i];
        switch (next) {
            case u'\\': text += u'\\'; break;
            case u'"': text += u'"'; break;
            case u'n': text += u'\n'; break;
            case u'r': text += u'\r'; break;
            case u'0': text += u'\0'; break;
            default: text += u'\\'; text += next; break;  // kept as written, as import does
        }
    }
    return false;
}

bool RegFileReader::ReadValue(std::u16string_view line) {
    if (!inSection_) return Fail("a value before the first [key] line");
    std::u16string name;
    std::u16string_view rest = line;
    if (rest.front() == u'@') {
        rest.remove_prefix(1);
    } else if (!ReadQuoted(rest, name)) {
        return Fail("value name without its closing quote");
    }
    rest = TrimView(rest);
    if (rest.empty() || rest.front() != u'=') return Fail("expected = after the value name");
    rest = TrimView(rest.substr(1));
    if (rest == u"-") {
        if (key_) key_->DeleteValue(name);
        return true;
    }
    uint32_t type = 0;
    VnSimRegBytes bytes;
    if (!ReadData(rest, type, bytes)) return false;
    if (key_) key_->SetValue(VnString(std::u16string_view(name)), type, bytes);
    return true;
}

bool RegFileReader::ReadData(std::u16string_view data, uint32_t& type, VnSimRegBytes& bytes) {
    if (!data.empty() && data.front() == u'"') {
        std::u16string text;
        if (!ReadQuoted(data, text)) return Fail("text without its closing quote");
        if (!TrimView(data).empty()) return Fail("unexpected characters after the closing quote");
        type = vnwin::kRegSz;
        bytes = VnSimRegEncode(VnRegValue::String(VnString(std::u16string_view(text))));
        return true;
    }
    if (data.starts_with(u"dword:")) {
        uint32_t number = 0;
        if (!ParseHexNumber(TrimView(data.substr(6)), 8, number)) return Fail("dword: needs 1 to 8 hex digits");
        type = vnwin::kRegDword;
        bytes = VnSimRegEncode(VnRegValue::Dword(number));
        return true;
    }
    if (data.starts_with(u"hex:")) {
        type = vnwin::kRegBinary;
        data.remove_prefix(4);
    } else if (data.starts_with(u"hex(")) {
        size_t close = data.find(u"):");
        if (close == std::u16string_view::npos || !ParseHexNumber(data.substr(4, close - 4), 8, type))
            return Fail("hex( needs a hex type number and ):");
        data.remove_prefix(close + 2);
    } else {
        return Fail("unknown data; expected \"text\", dword: or hex");
    }
    bytes.clear();
    data = TrimView(data);
    if (data.empty()) return true;
    VnStringArray pieces = VnStringArray::Split(data, u",");
    for (int32_t i = 0; i < pieces.GetSize(); ++i) {
        std::u16string_view byteText = TrimView(pieces[i].View());
        if (byteText.empty() && i + 1 == pieces.GetSize()) return Fail("hex data ends in a comma: bytes are missing");
        uint32_t byte = 0;
        if (!ParseHexNumber(byteText, 2, byte)) return Fail("hex data must be bytes of two hex digits, comma-separated");
        bytes.push_back(uint8_t(byte));
    }
    return true;
}

}  // namespace

std::string VnWriteRegFile(const VnSimRegHive& hive) {
    std::u16string text = std::u16string(kHeader) + u"\r\n";
    hive.VisitAll([&text](VnRegRoot root, const VnSimRegNode& node, std::u16string_view path) {
        if (node.IsRoot() && node.Values().empty()) return;
        text += u"\r\n[";
        text += VnSimRegHive::RootName(root);
        if (!path.empty()) {
            text += u'\\';
            text += path;
        }
        text += u"]\r\n";
        for (const auto& value : node.Values()) WriteValue(text, value);
    });
    text += u"\r\n";
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + text.size() * 2);
    for (char16_t c : text) {
        bytes += char(c & 0xFF);
        bytes += char(c >> 8);
    }
    return bytes;
}

bool VnReadRegFile(const std::string& bytes, VnSimRegHive& hive, std::string& error) {
    return RegFileReader(hive).Read(DecodeText(bytes), error);
}
