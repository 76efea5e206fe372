// What package actions and plug-in registration ask of the installed media
// program: start it, restart it, and hand a command line to it while it runs.
#pragma once

#include "VnString.h"

// Starts "<programFolder><main executable>" with the arguments, not waiting.
void StartInstalledProgram(const VnString& programFolder, const VnString& arguments);
// Asks, titled "Confirm Action", whether to restart the program; on Yes the
// running program is closed and started again.
void RestartInstalledProgram(const VnString& programFolder);
// When the program runs (a window of class "PMFrame"), hands it the command
// line; true when it was handed over.
bool SendToRunningProgram(const VnString& commandLine);
// After a plug-in was registered: a running program reloads its plug-in list.
void NotifyRunningProgramOfPlugins();

constexpr char16_t kProductWindowClass[] = u"PMFrame";
