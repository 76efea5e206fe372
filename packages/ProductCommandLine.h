// CTNCommandLine: hands a command line to the media program. Whole commands
// from every process are serialised by the lock "Varnel File Command Lock".
// When the program does not run it is started with the command as its
// argument ("/Play " becoming "/PlayReplace "), unless the command is 1024
// characters or longer or holds "TREEPATH=": then it is started bare and the
// command follows through the mailbox once its window is there (5 s at most).
// A running program gets the command through its mailbox
// ("<product name form 4> FC_IPC") and has 10 s to take it.
#pragma once

#include "VnString.h"

class CTNCommandLine {
public:
    // True when the command was handed over.
    bool Execute(const VnString& commandLine);
    // "Timeout" when the running program did not take the command in time.
    const VnString& GetOutcome() const { return outcome_; }

    static constexpr uint32_t kCommandLockWait = 10000;
    static constexpr uint32_t kWindowWait = 5000;
    static constexpr uint32_t kTakeWait = 10000;
    static constexpr int32_t kMaxCommandLineChars = 1024;

private:
    VnString outcome_;
};

bool ExecuteProductCommandLine(const VnString& commandLine);
