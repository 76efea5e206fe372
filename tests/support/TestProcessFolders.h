// Process folders given as plain values, as a process-information block would.
#pragma once

#include "ToolsInterface.h"

struct TestProcessFolders final : ToolsProcessFolders {
    VnString programFolder, moduleFolder;
    VnString GetProgramFolder() const override { return programFolder; }
    VnString GetModuleFolder() const override { return moduleFolder; }
};
