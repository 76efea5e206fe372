// The runner's answers file with lines for the wizard as well as for the
// message boxes. A wizard line acts for the user on the headless wizard; any
// other line answers a message box (VnSimShell::ParseAnswers):
//
//   press LABEL           a push button ("press Next >", "press Accept")
//   tick LABEL            a check box, on
//   untick LABEL          a check box, off
//   choose LABEL          a radio button ("choose Custom")
//   type LABEL = TEXT     the edit box after the static text LABEL
//                         ("type Install to: = D:\Tunaro")
//   browse FOLDER         the folder the next folder picker chooses
//   wait MILLISECONDS     time passing on the wizard's clock ("wait 31000")
//
// Labels are matched as shown, without regard to case. Message boxes take
// their answers in order as they come; wizard lines are carried out in order,
// one each time the wizard waits for its user.
#pragma once

#include <string>
#include <vector>

#include "VnSimPlatform.h"

class SimWizardAnswers {
public:
    // Reads the file: box answers are queued on the machine's shell, wizard
    // lines kept for Install. False with a message naming the line.
    bool Load(const std::string& hostFile, VnSimShell& shell, std::string& error);
    // Makes the wizard lines the headless wizard's user.
    void Install();

    int Count() const { return int(actions_.size()); }
    int Done() const { return done_; }
    // Why the wizard lines stopped early ("line 4: press Next >: ..."), or empty.
    const std::string& Problem() const { return problem_; }

private:
    struct Action {
        int line;
        std::string verb;
        VnString label;
        VnString text;
    };
    bool Parse(const std::string& line, int number, Action& action, std::string& error);
    bool Perform(const Action& action, class VnUiDriver& ui);

    std::vector<Action> actions_;
    int done_ = 0;
    std::string problem_;
};
