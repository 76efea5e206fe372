// The facts file "machine.ini": UTF-8 text in INI form. Lists are written as
// the same key repeated; sizes accept B, KB, MB, GB and TB (powers of 1024).
#include <cctype>
#include <cstdio>

#include "SimFacts.h"
#include "SimMachineFile.h"
#include "VnPlatform.h"

namespace {

struct NamedNumber {
    const char* name;
    int number;
};

constexpr NamedNumber kFolderNames[] = {
    {"Desktop", vnwin::kCsidlDesktop},
    {"Programs", vnwin::kCsidlPrograms},
    {"Personal", vnwin::kCsidlPersonal},
    {"StartMenu", vnwin::kCsidlStartMenu},
    {"MyMusic", vnwin::kCsidlMyMusic},
    {"MyVideo", vnwin::kCsidlMyVideo},
    {"DesktopDirectory", vnwin::kCsidlDesktopDirectory},
    {"Fonts", vnwin::kCsidlFonts},
    {"CommonStartMenu", vnwin::kCsidlCommonStartMenu},
    {"CommonPrograms", vnwin::kCsidlCommonPrograms},
    {"CommonDesktopDirectory", vnwin::kCsidlCommonDesktopDirectory},
    {"AppData", vnwin::kCsidlAppData},
    {"LocalAppData", vnwin::kCsidlLocalAppData},
    {"CommonAppData", vnwin::kCsidlCommonAppData},
    {"Windows", vnwin::kCsidlWindows},
    {"System", vnwin::kCsidlSystem},
    {"ProgramFiles", vnwin::kCsidlProgramFiles},
    {"MyPictures", vnwin::kCsidlMyPictures},
    {"Profile", VnSimFacts::kCsidlProfile},
    {"SystemX86", vnwin::kCsidlSystemX86},
    {"ProgramFilesX86", vnwin::kCsidlProgramFilesX86},
    {"CommonMusic", vnwin::kCsidlCommonMusic},
    {"CommonPictures", vnwin::kCsidlCommonPictures},
    {"CommonVideo", vnwin::kCsidlCommonVideo},
    {"QuickLaunch", vnwin::kCsidlQuickLaunch},
};

constexpr NamedNumber kKeyNames[] = {
    {"Shift", vnwin::kVkShift}, {"Ctrl", vnwin::kVkControl}, {"Control", vnwin::kVkControl}, {"Alt", 0x12},
};

bool SameAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

bool ParseBool(std::string_view text, bool& value) {
    for (const char* yes : {"yes", "true", "1"})
        if (SameAscii(text, yes)) return value = true;
    for (const char* no : {"no", "false", "0"})
        if (SameAscii(text, no)) return !(value = false);
    return false;
}

bool ParseNumber(std::string_view text, uint64_t& value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 20) return false;
    value = 0;
    for (char c : text) {
        int digit = (c >= '0' && c <= '9') ? c - '0' : (base == 16 && std::isxdigit(static_cast<unsigned char>(c)))
                                                          ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                                                          : -1;
        if (digit < 0) return false;
        uint64_t next = value * uint64_t(base) + uint64_t(digit);
        if (next / uint64_t(base) != value) return false;
        value = next;
    }
    return true;
}

constexpr NamedNumber kSizeUnits[] = {{"TB", 40}, {"GB", 30}, {"MB", 20}, {"KB", 10}, {"B", 0}};

bool ParseSize(std::string_view text, uint64_t& bytes) {
    for (const auto& unit : kSizeUnits) {
        std::string_view suffix = unit.name;
        if (text.size() > suffix.size() && SameAscii(text.substr(text.size() - suffix.size()), suffix)) {
            uint64_t count = 0;
            if (!ParseNumber(Trim(text.substr(0, text.size() - suffix.size())), count)) return false;
            if (unit.number && (count >> (64 - unit.number))) return false;
            bytes = count << unit.number;
            return true;
        }
    }
    return ParseNumber(text, bytes);
}

std::string FormatSize(uint64_t bytes) {
    for (const auto& unit : kSizeUnits)
        if (unit.number && bytes && bytes % (1ull << unit.number) == 0)
            return std::to_string(bytes >> unit.number) + " " + unit.name;
    return std::to_string(bytes);
}

bool ParseVirtualKey(std::string_view name, int& key) {
    for (const auto& known : kKeyNames)
        if (SameAscii(name, known.name)) return (key = known.number), true;
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return (key = std::toupper(static_cast<unsigned char>(name[0]))), true;
    uint64_t number = 0;
    if ((name.size() == 2 || name.size() == 3) && (name[0] == 'F' || name[0] == 'f') &&
        ParseNumber(name.substr(1), number) && number >= 1 && number <= 24)
        return (key = 0x70 + int(number) - 1), true;
    if (name.starts_with("0x") && ParseNumber(name, number) && number > 0 && number < 256)
        return (key = int(number)), true;
    return false;
}

std::string VirtualKeyName(int key) {
    for (const auto& known : kKeyNames)
        if (known.number == key) return known.name;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, char(key));
    if (key >= 0x70 && key < 0x70 + 24) return "F" + std::to_string(key - 0x70 + 1);
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%02X", unsigned(key));
    return buffer;
}

class FactsReader {
public:
    explicit FactsReader(VnSimFacts& facts) : facts_(facts) {}
    bool Read(const std::string& text, std::string& error);

private:
    enum class Section { None, Windows, Processor, InternetExplorer, Rights, Keyboard, Drive, Folders, Program,
                         Mutexes, Faults };
    bool Fail(const std::string& message) {
        error_ = "line " + std::to_string(line_) + ": " + message;
        return false;
    }
    bool StartSection(std::string_view name);
    bool Assign(std::string_view key, std::string_view value);
    bool AssignWindows(std::string_view key, std::string_view value, const VnString& text);
    bool AssignFault(std::string_view key, std::string_view value, const VnString& text);
    bool AssignProgram(std::string_view key, std::string_view value, const VnString& text);
    bool Number(std::string_view value, uint64_t limit, uint64_t& number) {
        return (ParseNumber(value, number) && number <= limit) || Fail("not a number in range: " + std::string(value));
    }
    bool Bool(std::string_view value, bool& flag) {
        return ParseBool(value, flag) || Fail("expected yes or no: " + std::string(value));
    }

    VnSimFacts& facts_;
    Section section_ = Section::None;
    size_t line_ = 0;
    std::string error_;
};

bool FactsReader::Read(const std::string& text, std::string& error) {
    size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string_view line = Trim(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;
        ++line_;
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        bool ok = true;
        if (line.front() == '[') {
            ok = line.back() == ']' ? StartSection(Trim(line.substr(1, line.size() - 2)))
                                    : Fail("a section line must end with ]");
        } else {
            size_t equals = line.find('=');
            ok = equals == std::string_view::npos ? Fail("expected key=value or [section]")
                 : section_ == Section::None      ? Fail("a value before the first [section]")
                                                  : Assign(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
        }
        if (!ok) {
            error = error_;
            return false;
        }
    }
    facts_.FillMissingDefaults();
    return true;
}

bool FactsReader::StartSection(std::string_view name) {
    static const std::pair<const char*, Section> kSections[] = {
        {"Windows", Section::Windows},   {"Processor", Section::Processor}, {"InternetExplorer", Section::InternetExplorer},
        {"Rights", Section::Rights},     {"Keyboard", Section::Keyboard},   {"Folders", Section::Folders},
        {"Mutexes", Section::Mutexes},   {"Faults", Section::Faults},
    };
    for (const auto& [known, section] : kSections)
        if (SameAscii(name, known)) return section_ = section, true;
    if (name.size() > 6 && SameAscii(name.substr(0, 6), "Drive ")) {
        std::string_view letter = Trim(name.substr(6));
        if (letter.size() == 2 && letter[1] == ':') letter.remove_suffix(1);
        if (letter.size() != 1 || !std::isalpha(static_cast<unsigned char>(letter[0])))
            return Fail("a drive section is [Drive X] with one letter");
        char16_t upper = char16_t(std::toupper(static_cast<unsigned char>(letter[0])));
        if (facts_.FindDrive(upper)) return Fail("drive " + std::string(1, char(upper)) + ": is described twice");
        facts_.drives.Add({upper, 0, 0, false});
        return section_ = Section::Drive, true;
    }
    if (SameAscii(name.substr(0, 7), "Program")) {
        facts_.runningPrograms.Add({});
        return section_ = Section::Program, true;
    }
    return Fail("unknown section [" + std::string(name) + "]");
}

bool FactsReader::Assign(std::string_view key, std::string_view value) {
    VnString text = VnString::FromUtf8(value);
    switch (section_) {
        case Section::Windows: return AssignWindows(key, value, text);
        case Section::Processor: {
            uint64_t edx = 0;
            if (!SameAscii(key, "CpuidEdx")) break;
            return Number(value, UINT32_MAX, edx) && ((facts_.cpuidEdx = uint32_t(edx)), true);
        }
        case Section::InternetExplorer:
            if (SameAscii(key, "Version")) return (facts_.ieVersion = text), true;
            if (SameAscii(key, "WebBrowserControl")) return Bool(value, facts_.webBrowserCreatable);
            break;
        case Section::Rights:
            if (SameAscii(key, "HKLMWritable")) return Bool(value, facts_.hklmWritable);
            break;
        case Section::Keyboard: {
            if (!SameAscii(key, "KeysDown")) break;
            facts_.keysDown.RemoveAll();
            for (const VnString& name : VnStringArray::Split(text.View(), u"+")) {
                std::string keyName = VnString(name).Trim().ToUtf8();
                int code = 0;
                if (keyName.empty()) continue;
                if (!ParseVirtualKey(keyName, code)) return Fail("unknown key name: " + keyName);
                facts_.keysDown.Add(code);
            }
            return true;
        }
        case Section::Drive: {
            VnSimDrive& drive = facts_.drives[facts_.drives.GetSize() - 1];
            if (SameAscii(key, "Full")) return Bool(value, drive.full);
            uint64_t* size = SameAscii(key, "Free") ? &drive.freeBytes : SameAscii(key, "Total") ? &drive.totalBytes : nullptr;
            if (!size) break;
            return ParseSize(value, *size) || Fail("not a size: " + std::string(value));
        }
        case Section::Folders: {
            for (const auto& folder : kFolderNames) {
                if (!SameAscii(key, folder.name)) continue;
                for (auto& known : facts_.folders)
                    if (known.csidl == folder.number) return (known.path = text), true;
                return facts_.folders.Add({folder.number, text}), true;
            }
            uint64_t csidl = 0;
            if (key.starts_with("0x") && ParseNumber(key, csidl) && csidl < 0x10000)
                return facts_.folders.Add({int(csidl), text}), true;
            break;
        }
        case Section::Program: return AssignProgram(key, value, text);
        case Section::Mutexes:
            if (SameAscii(key, "Held")) return facts_.heldMutexes.Add(text), true;
            if (SameAscii(key, "Denied")) return facts_.deniedMutexes.Add(text), true;
            break;
        case Section::Faults: return AssignFault(key, value, text);
        case Section::None: break;
    }
    return Fail("unknown key " + std::string(key) + " in this section");
}

bool FactsReader::AssignWindows(std::string_view key, std::string_view value, const VnString& text) {
    uint64_t number = 0;
    if (SameAscii(key, "Version")) {
        VnStringArray parts = VnStringArray::Split(text.View(), u".");
        uint64_t numbers[3] = {};
        if (parts.GetSize() != 3) return Fail("Version is major.minor.build, e.g. 10.0.22631");
        for (int i = 0; i < 3; ++i)
            if (!Number(parts[i].ToUtf8(), UINT32_MAX, numbers[i])) return false;
        facts_.osMajor = uint32_t(numbers[0]);
        facts_.osMinor = uint32_t(numbers[1]);
        facts_.osBuild = uint32_t(numbers[2]);
        return true;
    }
    if (SameAscii(key, "ServicePack")) return (facts_.servicePack = text), true;
    if (SameAscii(key, "ProductType")) {
        if (!ParseNumber(value, number) || number < 1 || number > 3) return Fail("ProductType is 1, 2 or 3");
        return (facts_.productType = uint16_t(number)), true;
    }
    if (SameAscii(key, "Bits")) {
        if (value != "32" && value != "64") return Fail("Bits is 32 or 64");
        return (facts_.is64BitWindows = value == "64"), true;
    }
    if (SameAscii(key, "ComputerName")) return (facts_.computerName = text), true;
    if (SameAscii(key, "UserName")) return (facts_.userName = text), true;
    if (SameAscii(key, "WindowsFolder")) return (facts_.windowsFolder = text), true;
    if (SameAscii(key, "InstallerPath")) return (facts_.installerPath = text), true;
    if (SameAscii(key, "InstallerProcessId"))
        return Number(value, UINT32_MAX, number) && ((facts_.installerProcessId = uint32_t(number)), true);
    return Fail("unknown key " + std::string(key) + " in [Windows]");
}

bool FactsReader::AssignProgram(std::string_view key, std::string_view value, const VnString& text) {
    VnSimRunningProgram& program = facts_.runningPrograms[facts_.runningPrograms.GetSize() - 1];
    uint64_t number = 0;
    if (SameAscii(key, "Path")) return (program.path = text), true;
    if (SameAscii(key, "ProcessId"))
        return Number(value, UINT32_MAX, number) && ((program.processId = uint32_t(number)), true);
    if (SameAscii(key, "WindowClass")) return (program.windowClass = text), true;
    if (SameAscii(key, "WindowTitle")) return (program.windowTitle = text), true;
    if (SameAscii(key, "ClosesOnWmClose")) return Bool(value, program.closesOnWmClose);
    return Fail("unknown key " + std::string(key) + " in a [Program] section");
}

bool FactsReader::AssignFault(std::string_view key, std::string_view value, const VnString& text) {
    const std::pair<const char*, VnStringArray*> lists[] = {
        {"LockedFile", &facts_.lockedFiles},          {"ReadOnlyFile", &facts_.readOnlyFiles},
        {"UncreatableFolder", &facts_.uncreatableFolders}, {"MissingLibrary", &facts_.missingLibraries},
        {"MissingExport", &facts_.missingExports},    {"UnreadableFolder", &facts_.unreadableFolders},
        {"DiskFullAt", &facts_.diskFullAt},
    };
    for (const auto& [name, list] : lists) {
        if (!SameAscii(key, name)) continue;
        if (list == &facts_.missingExports && text.Find(u'!') <= 0) return Fail("MissingExport is library.dll!Export");
        return list->Add(text), true;
    }
    if (SameAscii(key, "MoveFileExRefuses")) return Bool(value, facts_.moveFileExRefuses);
    return Fail("unknown key " + std::string(key) + " in [Faults]");
}

// ---- writing ----

class FactsWriter {
public:
    void Section(const std::string& name) { text_ += (text_.empty() ? "[" : "\n[") + name + "]\n"; }
    void Line(const std::string& key, const std::string& value) { text_ += key + "=" + value + "\n"; }
    void Line(const std::string& key, const VnString& value) { Line(key, value.ToUtf8()); }
    void Line(const std::string& key, bool value) { Line(key, std::string(value ? "yes" : "no")); }
    void List(const std::string& key, const VnStringArray& values) {
        for (const VnString& value : values) Line(key, value);
    }
    void Comment(const std::string& text) { text_ += "; " + text + "\n"; }
    std::string& Text() { return text_; }

private:
    std::string text_;
};

std::string Hex32(uint32_t number) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", unsigned(number));
    return buffer;
}

}  // namespace

bool VnSimFacts::Parse(const std::string& utf8Text, VnSimFacts& facts, std::string& error) {
    facts = VnSimFacts();
    return FactsReader(facts).Read(utf8Text, error);
}

std::string VnSimFacts::ToText() const {
    FactsWriter out;
    out.Comment("A simulated Windows machine; docs/sim-machine.md describes every key.");
    out.Section("Windows");
    out.Line("Version", std::to_string(osMajor) + "." + std::to_string(osMinor) + "." + std::to_string(osBuild));
    out.Line("ServicePack", servicePack);
    out.Line("ProductType", std::to_string(productType));
    out.Line("Bits", std::string(is64BitWindows ? "64" : "32"));
    out.Line("ComputerName", computerName);
    out.Line("UserName", userName);
    out.Line("WindowsFolder", windowsFolder);
    out.Line("InstallerPath", installerPath);
    out.Line("InstallerProcessId", std::to_string(installerProcessId));
    out.Section("Processor");
    out.Comment("CPUID leaf 1 EDX: bit 23 MMX, bit 26 SSE2");
    out.Line("CpuidEdx", Hex32(cpuidEdx));
    out.Section("InternetExplorer");
    out.Line("Version", ieVersion);
    out.Line("WebBrowserControl", webBrowserCreatable);
    out.Section("Rights");
    out.Line("HKLMWritable", hklmWritable);
    out.Section("Keyboard");
    out.Comment("held while the installer runs, e.g. KeysDown=Ctrl+Shift+F");
    std::string keys;
    for (int key : keysDown) keys += (keys.empty() ? "" : "+") + VirtualKeyName(key);
    out.Line("KeysDown", keys);
    for (const auto& drive : drives) {
        out.Section(std::string("Drive ") + char(drive.letter));
        out.Line("Free", FormatSize(drive.freeBytes));
        out.Line("Total", FormatSize(drive.totalBytes));
        out.Line("Full", drive.full);
    }
    out.Section("Folders");
    for (const auto& folder : folders) {
        std::string name;
        for (const auto& known : kFolderNames)
            if (known.number == folder.csidl) name = known.name;
        char number[12];
        std::snprintf(number, sizeof number, "0x%04X", unsigned(folder.csidl));
        out.Line(name.empty() ? number : name, folder.path);
    }
    for (int i = 0; i < runningPrograms.GetSize(); ++i) {
        const auto& program = runningPrograms[i];
        out.Section("Program " + std::to_string(i + 1));
        out.Line("Path", program.path);
        out.Line("ProcessId", std::to_string(program.processId));
        out.Line("WindowClass", program.windowClass);
        out.Line("WindowTitle", program.windowTitle);
        out.Line("ClosesOnWmClose", program.closesOnWmClose);
    }
    if (runningPrograms.IsEmpty()) {
        out.Comment("Running programs: [Program 1] with Path=, ProcessId=, WindowClass=, WindowTitle=, ClosesOnWmClose=");
    }
    out.Section("Mutexes");
    out.Comment("Held=<name> held by another process; Denied=<name> opening it is refused; repeat for more");
    out.List("Held", heldMutexes);
    out.List("Denied", deniedMutexes);
    out.Section("Faults");
    out.Comment("LockedFile=, ReadOnlyFile=, UncreatableFolder=, UnreadableFolder= (Windows paths), MissingLibrary=<x.dll>,");
    out.Comment("MissingExport=<x.dll>!<Export>, DiskFullAt= (a Windows path); repeat a key for more");
    out.List("LockedFile", lockedFiles);
    out.List("ReadOnlyFile", readOnlyFiles);
    out.List("UncreatableFolder", uncreatableFolders);
    out.List("UnreadableFolder", unreadableFolders);
    out.Line("MoveFileExRefuses", moveFileExRefuses);
    out.List("MissingLibrary", missingLibraries);
    out.List("MissingExport", missingExports);
    out.List("DiskFullAt", diskFullAt);
    return out.Text();
}

bool VnSimFacts::Load(const std::string& hostFile, VnSimFacts& facts, std::string& error) {
    std::string text;
    if (!VnReadMachineFile(hostFile, text, error)) return false;
    if (Parse(text, facts, error)) return true;
    error = hostFile + ", " + error;
    return false;
}

bool VnSimFacts::Save(const std::string& hostFile, std::string& error) const {
    return VnWriteMachineFile(hostFile, ToText(), error);
}
