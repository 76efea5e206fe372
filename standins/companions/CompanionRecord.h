// What the companion programs leave in the registry, below HKEY_CURRENT_USER,
// so that tests on the simulated machine and under Wine read it the same way
// (docs/companion-programs.md):
//
// - "Software\V. Arnel\Demo Starts\<file name>": every start of a program, as
//   the demo product's programs record theirs ("Command Line" and
//   "Start Count" for the last start), and for start n "Command Line (n)"
//   and, once it ended, "Exit Code (n)".
// - "Software\V. Arnel\Demo Companions": the state the programs stand in for
//   (components registered, the driver, the services, packages installed,
//   registration files opened).
#pragma once

#include <cstdint>
#include <string_view>

#include "VnString.h"

constexpr const char16_t* kCompanionStartsKey = u"Software\\V. Arnel\\Demo Starts";
constexpr const char16_t* kCompanionStateKey = u"Software\\V. Arnel\\Demo Companions";

// Records the start of `fileName` with its parameter text; returns the start's number (from 1).
uint32_t RecordCompanionStart(const VnString& fileName, const VnString& parameters);
void RecordCompanionExit(const VnString& fileName, uint32_t startNumber, uint32_t exitCode);

// A text value of the state key ("" as `subKey`) or of one of its subkeys.
bool SetCompanionState(std::u16string_view subKey, const VnString& name, const VnString& text);
// True when the value is gone afterwards.
bool DeleteCompanionState(std::u16string_view subKey, const VnString& name);
