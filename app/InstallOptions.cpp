#include "InstallOptions.h"

InstallOptions& InstallOptions::Get() {
    // Created on first use (safe whatever the order of static construction)
    // and deliberately never freed: the record lives as long as the process.
    static InstallOptions* const instance = new InstallOptions();
    return *instance;
}

namespace {
// Makes sure the record exists before the entry point runs.
[[maybe_unused]] InstallOptions& g_createdAtStart = InstallOptions::Get();
}  // namespace

void InstallOptions::ResetForTests() { Get() = InstallOptions(); }
