// RunProgram: starts a program through the platform and, when asked, waits
// for it with an optional time limit, logging each stage under the source
// "RunProgram" in the tools library's log.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "VnArray.h"
#include "VnPlatform.h"
#include "VnString.h"

struct RunProgramOptions {
    // Wait for the program to end. A start that gives no process to wait on
    // (a web page, a document) never waits.
    bool wait = true;
    // Called between polls while waiting (the window toolkit's message pump).
    // When set, the poll interval is 10 ms instead of 500 ms.
    std::function<void()> pumpMessages;
    uint32_t priorityClass = vnwin::kNormalPriorityClass;
    // Past this many milliseconds of waiting the program is terminated; 0 or
    // negative: no limit.
    int32_t timeLimitMilliseconds = 0;
    // Checked at every poll: once true, the program is terminated.
    const std::atomic<bool>* cancel = nullptr;
    // When given, the program's standard output is captured into it.
    std::string* output = nullptr;
    // When given, receives the exit code of a program that ended by itself.
    uint32_t* exitCode = nullptr;
};

// The arguments joined by single spaces; an argument holding a space or a tab
// is wrapped in double quotes unless it already starts with one.
VnString JoinProgramArguments(const VnStringArray& arguments);

// True when the program was started and, if waited for, the wait ended (also
// by the time limit or the cancel signal). False for an empty program name or
// a start that failed.
bool RunProgram(const VnString& program, const VnStringArray& arguments, const RunProgramOptions& options = {});
