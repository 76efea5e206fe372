// The preflight checks of start-up, run in this order: administrator rights,
// a running copy of the product, the installed copy's service, Internet
// Explorer, the processor, the Windows version. Each check tells the user why
// it refuses, in the product's language, and the first refusal ends them.
// Holding Ctrl, Shift and F while start-up reaches them skips them all.
#pragma once

#include "InstallOptions.h"
#include "ProcessInformationBlock.h"
#include "ToolsInterface.h"
#include "VnDllString.h"

enum class PreflightOutcome {
    kPassed,
    kFailed,    // the install cannot go on (the user was told why)
    kDeclined,  // the user answered No to a question that stops the install
};

struct PreflightContext {
    ToolsInterface& tools;
    ProductInformation& product;
    InstallOptions& options;
    ProcessInformationBlock& block;
};

// A message literal in the product's language.
inline VnString Translated(const char16_t* literal) { return VnDllString(VnString(literal)).Get(); }

// Whether Ctrl, Shift and F are all held down right now.
bool IsPreflightSkipRequested();

PreflightOutcome RunPreflightChecks(PreflightContext& context);

// The checks, each usable on its own.
PreflightOutcome CheckRights(PreflightContext& context);
PreflightOutcome CheckRunningProduct(PreflightContext& context);
PreflightOutcome StopInstalledService(PreflightContext& context);  // never refuses
PreflightOutcome CheckInternetExplorer(PreflightContext& context);
PreflightOutcome CheckProcessor(PreflightContext& context);
PreflightOutcome CheckWindowsVersion(PreflightContext& context);

// The rights test itself: a value written below HKEY_LOCAL_MACHINE
// "Software\V. Arnel\Rights Check", read back and removed again.
bool HasInstallRights();
