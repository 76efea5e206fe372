#include "SimWizardAnswers.h"

#include <fstream>
#include <sstream>

#include "VnHeadlessUi.h"
#include "VnPopupWnd.h"
#include "VnUiDriver.h"

namespace {

const char* const kVerbs[] = {"press", "tick", "untick", "choose", "type", "browse", "wait"};

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    const size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

}  // namespace

bool SimWizardAnswers::Load(const std::string& hostFile, VnSimShell& shell, std::string& error) {
    std::ifstream in(hostFile, std::ios::binary);
    if (!in) {
        error = "cannot open it";
        return false;
    }
    // Wizard lines become blank lines, so that the box answers keep their line numbers.
    std::ostringstream boxAnswers;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        Action action;
        if (Parse(line, number, action, error)) actions_.push_back(action);
        else if (!error.empty()) return false;
        else boxAnswers << line;
        boxAnswers << "\n";
    }
    VnCoreArray<int> answers;
    if (!VnSimShell::ParseAnswers(boxAnswers.str(), answers, error)) return false;
    for (int answer : answers) shell.QueueAnswer(answer);
    return true;
}

// A wizard line fills `action`; a box answer leaves `error` empty and gives false.
bool SimWizardAnswers::Parse(const std::string& line, int number, Action& action, std::string& error) {
    const std::string text = Trimmed(line.substr(0, line.find_first_of("#;")));
    const std::string verb = text.substr(0, text.find(' '));
    bool known = false;
    for (const char* candidate : kVerbs) known = known || verb == candidate;
    if (!known) return false;
    const std::string rest = Trimmed(text.substr(verb.size()));
    action = Action{number, verb, VnString::FromUtf8(rest), VnString()};
    if (verb == "type") {
        const size_t equals = rest.find(" = ");
        if (equals == std::string::npos) {
            error = "line " + std::to_string(number) + ": type needs \"LABEL = TEXT\"";
            return false;
        }
        action.label = VnString::FromUtf8(Trimmed(rest.substr(0, equals)));
        action.text = VnString::FromUtf8(rest.substr(equals + 3));
    } else if (rest.empty() || (verb == "wait" && rest.find_first_not_of("0123456789") != std::string::npos)) {
        error = "line " + std::to_string(number) + ": " + verb + (verb == "wait" ? " needs milliseconds" : " needs a label");
        return false;
    }
    return true;
}

bool SimWizardAnswers::Perform(const Action& action, VnUiDriver& ui) {
    if (action.verb == "press") return ui.Press(action.label);
    if (action.verb == "tick" || action.verb == "untick") return ui.Tick(action.label, action.verb == "tick");
    if (action.verb == "choose") return ui.Choose(action.label);
    if (action.verb == "type") return ui.Type(action.label, action.text);
    if (action.verb == "browse") {
        VnHeadlessUi::Get().QueueBrowseAnswer(action.label);
        return true;
    }
    VnHeadlessUi::Get().Advance(uint64_t(VnString::ParseInt64(action.label)));  // wait
    return true;
}

void SimWizardAnswers::Install() {
    VnHeadlessUi::Get().SetScript([this](VnPopupWnd& popup) {
        if (done_ >= Count() || !problem_.empty()) return false;
        const Action& action = actions_[size_t(done_)];
        VnUiDriver ui(&popup);
        if (!Perform(action, ui)) {
            problem_ = "line " + std::to_string(action.line) + ": " + action.verb + " " + action.label.ToUtf8() +
                       ": " + ui.GetLastError().ToUtf8();
            return false;
        }
        ++done_;
        return true;
    });
}
