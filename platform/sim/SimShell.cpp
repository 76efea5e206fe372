#include "SimShell.h"

#include <cctype>
#include <cstdio>

#include "SimMachineFile.h"

namespace {

struct ButtonName {
    const char* name;
    int id;
};
constexpr ButtonName kButtons[] = {
    {"OK", vnwin::kIdOk},      {"Cancel", vnwin::kIdCancel}, {"Abort", vnwin::kIdAbort},  {"Retry", vnwin::kIdRetry},
    {"Ignore", vnwin::kIdIgnore}, {"Yes", vnwin::kIdYes},    {"No", vnwin::kIdNo},        {"TryAgain", 10},
    {"Continue", 11},
};

// The buttons of each MB_ type (the low four bits), left to right.
VnCoreArray<int> ButtonsOf(uint32_t type) {
    using namespace vnwin;
    switch (type & 0xF) {
        case 1: return {kIdOk, kIdCancel};
        case 2: return {kIdAbort, kIdRetry, kIdIgnore};
        case 3: return {kIdYes, kIdNo, kIdCancel};
        case 4: return {kIdYes, kIdNo};
        case 5: return {kIdRetry, kIdCancel};
        case 6: return {kIdCancel, 10, 11};
        default: return {kIdOk};
    }
}

std::string ButtonLabel(int id) {
    for (const auto& button : kButtons)
        if (button.id == id) return button.name;
    return std::to_string(id);
}

bool SameAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string Quote(const VnString& text) {
    std::string out = "\"";
    for (char c : text.ToUtf8()) {
        switch (c) {
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

std::string Hex(uint32_t number) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%X", unsigned(number));
    return buffer;
}

constexpr const char* kLinkSection = "[ShellLink]";

}  // namespace

VnSimShell::VnSimShell(const std::string& machineFolder, IVnFiles& files)
    : machineFolder_(machineFolder), files_(files) {}

void VnSimShell::Record(const std::string& file, const std::string& line) {
    std::string ignored;
    VnAppendMachineFile(machineFolder_ + "/" + file, line + "\n", ignored);
}

int VnSimShell::MessageBox(const VnString& text, const VnString& title, uint32_t type) {
    const VnCoreArray<int> buttons = ButtonsOf(type);
    std::vector<std::string> names;
    for (int id : buttons) names.push_back(ButtonLabel(id));
    VnSimMessageRecord record{title, text, type, 0, false, {}};
    return Answer(record, buttons, names, int32_t((type >> 8) & 0xF));
}

int VnSimShell::MessageBoxWithButtons(const VnString& text, const VnString& title, const VnStringArray& labels) {
    if (labels.IsEmpty() || labels.GetSize() > 3) return -1;
    const uint32_t type = labels.GetSize() == 1 ? vnwin::kMbOk : labels.GetSize() == 2 ? vnwin::kMbOkCancel : 0x3;
    VnCoreArray<int> buttons = ButtonsOf(type);
    std::vector<std::string> names;
    for (const VnString& label : labels) names.push_back(label.ToUtf8());
    // A queued answer naming a label ("Retry") takes that button: move the
    // standard id of that name to the label's place.
    if (!answers_.empty() && answers_.front() != kAnswerDefault && buttons.Find(answers_.front()) < 0)
        for (int32_t i = 0; i < labels.GetSize(); ++i)
            if (SameAscii(names[i], ButtonLabel(answers_.front()))) answers_.front() = buttons[i];
    VnSimMessageRecord record{title, text, type, 0, false, {}};
    record.labels = labels;
    const int answer = Answer(record, buttons, names, 0);
    return buttons.Find(answer);
}

int VnSimShell::Answer(VnSimMessageRecord record, const VnCoreArray<int>& buttons,
                       const std::vector<std::string>& names, int32_t defaultIndex) {
    int answer = buttons[buttons.IsValidIndex(defaultIndex) ? defaultIndex : 0];
    bool scripted = false;
    std::string note = " (default)";
    if (!answers_.empty()) {
        int queued = answers_.front();
        if (queued == kAnswerDefault || buttons.Find(queued) >= 0) {
            answers_.pop_front();
            if (queued != kAnswerDefault) answer = queued;
            scripted = true;
            note = " (scripted)";
        } else {
            note = " (default; scripted " + ButtonLabel(queued) + " has no button here and stays queued)";
        }
    }
    // An unattended machine answering the same box with its default again and
    // again (Retry on a file that stays locked) would never end: after
    // kMaxDefaultRepeats it takes the box's last button, Cancel or No.
    bool sameAsLast = !messages_.IsEmpty() && !messages_[messages_.GetSize() - 1].scripted &&
                      messages_[messages_.GetSize() - 1].title == record.title &&
                      messages_[messages_.GetSize() - 1].text == record.text;
    defaultRepeats_ = (!scripted && sameAsLast) ? defaultRepeats_ + 1 : 0;
    if (!scripted && defaultRepeats_ >= kMaxDefaultRepeats && buttons.GetSize() > 1) {
        answer = buttons[buttons.GetSize() - 1];
        note = " (default given " + std::to_string(kMaxDefaultRepeats) + " times in a row; giving up)";
    }
    record.answer = answer;
    record.scripted = scripted;
    std::string line = "#";
    line += std::to_string(messages_.GetSize() + 1);
    line += " title=";
    line += Quote(record.title);
    line += " buttons=";
    for (size_t i = 0; i < names.size(); ++i) {
        if (i) line += '/';
        line += names[i];
    }
    line += " answer=";
    line += names[size_t(buttons.Find(answer))];
    line += note;
    line += " text=";
    line += Quote(record.text);
    messages_.Add(std::move(record));
    Record("messages.log", line);
    return answer;
}

bool VnSimShell::ParseAnswers(const std::string& text, VnCoreArray<int>& answers, std::string& error) {
    size_t lineNumber = 0, pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        line = line.substr(0, line.find_first_of("#;"));
        VnString trimmed = VnString::FromUtf8(line).Trim();
        if (trimmed.IsEmpty()) continue;
        std::string word = trimmed.ToUtf8();
        int answer = -1;
        if (SameAscii(word, "Default")) answer = kAnswerDefault;
        for (const auto& button : kButtons)
            if (SameAscii(word, button.name)) answer = button.id;
        for (const auto& button : kButtons)
            if (word == std::to_string(button.id)) answer = button.id;
        if (answer < 0) {
            error = "answers line " + std::to_string(lineNumber) + ": unknown answer \"" + word + "\"";
            return false;
        }
        answers.Add(answer);
    }
    return true;
}

bool VnSimShell::LoadAnswers(const std::string& hostFile, std::string& error) {
    std::string text;
    VnCoreArray<int> answers;
    if (!VnReadMachineFile(hostFile, text, error)) return false;
    if (!ParseAnswers(text, answers, error)) {
        error = hostFile + ", " + error;
        return false;
    }
    for (int answer : answers) answers_.push_back(answer);
    return true;
}

void VnSimShell::ChangeNotify(uint32_t eventId, uint32_t flags) {
    Record("shell.log", "notify event " + Hex(eventId) + " flags " + Hex(flags));
}

std::string VnSimShell::FormatShellLink(const VnShellLink& link) {
    std::string text = std::string(kLinkSection) + "\r\n";
    const std::pair<const char*, const VnString*> fields[] = {
        {"Target", &link.target},           {"Arguments", &link.arguments}, {"WorkingFolder", &link.workingFolder},
        {"Description", &link.description}, {"IconPath", &link.iconPath},
    };
    for (const auto& [name, value] : fields) text += std::string(name) + "=" + value->ToUtf8() + "\r\n";
    text += "IconIndex=" + std::to_string(link.iconIndex) + "\r\n";
    return text;
}

bool VnSimShell::ParseShellLink(const std::string& text, VnShellLink& link) {
    if (text.rfind(kLinkSection, 0) != 0) return false;
    // A link of ours is text that UTF-8 carries exactly (no NUL, no broken or
    // lone-surrogate sequences); anything else would not write back the same.
    const VnString decoded = VnString::FromUtf8(text);
    if (text.find('\0') != std::string::npos || decoded.ToUtf8() != text) return false;
    link = VnShellLink();
    for (const VnString& rawLine : VnStringArray::Split(decoded.View(), u"\n")) {
        VnString line = rawLine;
        line.TrimRight(u'\r');
        int32_t equals = line.Find(u'=');
        if (equals < 0) continue;
        VnString name = line.Left(equals), value = line.Mid(equals + 1);
        if (name == u"Target") link.target = value;
        else if (name == u"Arguments") link.arguments = value;
        else if (name == u"WorkingFolder") link.workingFolder = value;
        else if (name == u"Description") link.description = value;
        else if (name == u"IconPath") link.iconPath = value;
        else if (name == u"IconIndex") link.iconIndex = VnString::ParseInt(value.View());
    }
    return true;
}

uint32_t VnSimShell::CreateShellLink(const VnString& linkPath, const VnShellLink& link) {
    uint32_t error = files_.WriteFile(linkPath, FormatShellLink(link));
    Record("shell.log", "link " + Quote(linkPath) + " target " + Quote(link.target) + " arguments " +
                            Quote(link.arguments) + (error ? " error " + std::to_string(error) : ""));
    return error;
}

uint32_t VnSimShell::RestartWindows(uint32_t flags, uint32_t reason) {
    restartRequested_ = true;
    Record("shell.log", "restart requested flags " + Hex(flags) + " reason " + Hex(reason));
    return vnwin::kErrorSuccess;
}
