// A running copy of the program holds its files open. The uninstaller finds
// it as the installer's start-up check does, by its main window's class (the
// product file names it), and asks it to close before anything is removed:
// after the user's Yes, or at once when silent. A copy that will not close
// stops the uninstall with nothing removed, rather than pull the files from
// under a program at work.
#pragma once

#include <cstdint>
#include <functional>

#include "VnString.h"

// How long the program is given to close after the request.
constexpr uint32_t kProgramCloseWaitMilliseconds = 5000;

enum class RunningProgramVerdict {
    NotRunning,    // no window of the class (or the class is unknown): go on
    Closed,        // it was running and closed when asked: go on
    KeptOpen,      // the user chose not to close it
    WouldNotClose  // it was asked and still runs
};

// `askToClose` is asked only when the program runs (silent: always yes).
RunningProgramVerdict CloseRunningProgram(const VnString& windowClass, const std::function<bool()>& askToClose);
