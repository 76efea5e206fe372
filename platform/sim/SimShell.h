// The shell part of the simulated machine: message boxes, shell links,
// change notifications and restart requests.
//
// Message boxes are answered from a queue of scripted answers (see
// ParseAnswers); a box takes the first queued answer when it is one of its
// buttons. Otherwise (nothing queued, or an answer the box has no button
// for, which stays queued for a later box) the box gets its default button,
// the one Enter would press: the first, or the one MB_DEFBUTTON2/3/4 names.
// Every box is recorded in "messages.log" of the machine folder, one line each:
//   #3 title="Information" buttons=OK answer=OK (default) text="Sorry...\r\n"
//
// Shell links are written through the files part as small UTF-8 files (see
// FormatShellLink), so they land where Windows would put the .lnk and obey the
// same faults. Links, notifications and restart requests are recorded in
// "shell.log".
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "SimFacts.h"
#include "VnPlatform.h"

// A box with buttons of its own keeps their labels; its type and answer are
// then those of the standard box of as many buttons (OK; OK and Cancel; Yes,
// No and Cancel) at the same places.
struct VnSimMessageRecord {
    VnString title, text;
    uint32_t type = 0;
    int answer = 0;
    bool scripted = false;
    VnStringArray labels;
};

class VnSimShell : public IVnShell {
public:
    VnSimShell(const std::string& machineFolder, IVnFiles& files);

    void ChangeNotify(uint32_t eventId, uint32_t flags) override;
    uint32_t CreateShellLink(const VnString& linkPath, const VnShellLink& link) override;
    int MessageBox(const VnString& text, const VnString& title, uint32_t type) override;
    // Answered as the standard box of as many buttons would be, where a queued
    // answer may also name a button by its label ("Retry", "Cancel").
    int MessageBoxWithButtons(const VnString& text, const VnString& title, const VnStringArray& labels) override;
    uint32_t RestartWindows(uint32_t flags, uint32_t reason) override;

    // The answers script: one answer per line, a button name (OK, Cancel,
    // Abort, Retry, Ignore, Yes, No, TryAgain, Continue; any case), its
    // number (IDOK = 1 ...), or "Default" for the box's default button.
    // Blank lines and text after "#" or ";" are ignored.
    static bool ParseAnswers(const std::string& text, VnCoreArray<int>& answers, std::string& error);
    bool LoadAnswers(const std::string& hostFile, std::string& error);
    void QueueAnswer(int answer) { answers_.push_back(answer); }  // kAnswerDefault for the default button
    size_t PendingAnswerCount() const { return answers_.size(); }
    static constexpr int kAnswerDefault = 0;

    const VnCoreArray<VnSimMessageRecord>& Messages() const { return messages_; }
    bool RestartRequested() const { return restartRequested_; }

    // The text of a link file and its reading back.
    static std::string FormatShellLink(const VnShellLink& link);
    static bool ParseShellLink(const std::string& text, VnShellLink& link);

private:
    void Record(const std::string& file, const std::string& line);
    // Answers and records a box whose buttons (ids, left to right) have the
    // given names; `defaultIndex` is the button Enter would press.
    int Answer(VnSimMessageRecord record, const VnCoreArray<int>& buttons, const std::vector<std::string>& names,
               int32_t defaultIndex);

    std::string machineFolder_;
    IVnFiles& files_;
    std::deque<int> answers_;
    VnCoreArray<VnSimMessageRecord> messages_;
    bool restartRequested_ = false;
    int defaultRepeats_ = 0;
    static constexpr int kMaxDefaultRepeats = 20;
};
