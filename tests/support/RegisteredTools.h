// The tools library stand-in as the installer's parts reach it: registered as
// VnTools() while it lives, reading the product from `moduleFolder`, its log
// written out when it is released (release it before the machine goes).
// Header-only: only test programs that link the engine use it.
#pragma once

#include "TestProcessFolders.h"
#include "ToolsLibrary.h"
#include "ToolsLink.h"

class RegisteredTools {
public:
    explicit RegisteredTools(const VnString& moduleFolder = VnString()) {
        folders_.moduleFolder = moduleFolder;
        if (!moduleFolder.IsEmpty()) library_.SetProcessFolders(&folders_);
        VnSetTools(&library_);
    }
    ~RegisteredTools() {
        VnSetTools(nullptr);
        library_.GetLog()->Flush();
    }
    RegisteredTools(const RegisteredTools&) = delete;
    RegisteredTools& operator=(const RegisteredTools&) = delete;

    VnToolsLibrary& Library() { return library_; }

private:
    TestProcessFolders folders_;
    VnToolsLibrary library_;
};
