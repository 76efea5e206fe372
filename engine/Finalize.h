// The end of the install: what could not be finished while it ran is written
// as a list for the package installer to carry out after the restart, the
// finish page learns whether to offer a restart or a program start, and the
// product's install counters are updated. Then the user's choice on the
// finish page is carried out: the restart (after confirmation), or the run
// request "Finish.txt" that names the installed program.
//
// The list: HKEY_CURRENT_USER "<product key>\Installer\Finalize", one text
// value per entry, named "Install File (n)", "Delete File (n)" or
// "Register File (n)" with a counter per kind; "PackageInstaller.exe
// /FinishInstall", armed through the user's RunOnce key, works through it.
#pragma once

#include <cstdint>
#include <string>

#include "VnArray.h"
#include "VnString.h"

// The finish page's choices and result codes.
enum FinishChoice : int32_t {
    kFinishNothing = 0,
    kFinishRestart = 1,
    kFinishRunProgram = 2,
};

// What Finalize decided for the finish page.
struct FinishState {
    bool restartNeeded = false;
    int32_t resultCode = kFinishNothing;
    // Something was left for after the restart (a list entry or a
    // registration), whether or not the page offers the restart.
    bool workDeferred = false;
};

constexpr char16_t kFinalizeInstallName[] = u"Install File (%d)";
constexpr char16_t kFinalizeDeleteName[] = u"Delete File (%d)";
constexpr char16_t kFinalizeRegisterName[] = u"Register File (%d)";
constexpr char16_t kFinalizeDeleteMark[] = u"_DELETEFILE";
constexpr char16_t kRunOnceKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char16_t kRunOnceValue[] = u"Install Wizard Completion";
constexpr char16_t kFinishRunRequestName[] = u"Finish.txt";
constexpr char16_t kFinishRunRequestMarker[] = u"VNFI0001\r\n";

// The restart decision: a restart when a font demands it, when an entry of
// the finalisation list is a real "first|second" pair, or when a file waits
// for its replacement at the restart (`replacedAtRestart`, its targets);
// entries and files of the shell extension ("shellext.dll", which works
// without a restart) do not count. Otherwise the program start, or nothing
// with NoRun.
FinishState DecideFinish(const VnStringArray& finalizeList, const VnStringArray& replacedAtRestart,
                         bool restartRequired, bool noRun);

// Runs once, when the finish page is first built: writes the list and the
// RunOnce command, decides, empties FinalizeInstallList, writes the
// "Properties" values, has the program and the service register themselves,
// and writes the "Installer" counters.
FinishState Finalize();

// The RunOnce command: the quoted "PackageInstaller.exe" of the destination
// and the quoted "/FinishInstall".
VnString FinishInstallCommand(const VnString& destinationFolder);

// Carries out the finish page's choice. False keeps the finish page open
// (the user cancelled the restart).
bool ApplyFinishChoice(int32_t choice);

// "Finish.txt" beside the installer: UTF-16LE with its byte-order mark,
// "VNFI0001\r\n" and the program's full path without a line end. The bytes,
// and writing them.
std::string FinishRunRequestBytes(const VnString& programPath);
bool WriteFinishRunRequest(const VnString& programPath);
