// Gives each conformance case a fresh backend: a new simulated machine in a
// temporary folder natively, the real Windows API in the Windows build. Cases
// work only inside ScratchFolder() and ScratchKey(), which are new per case.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "VnPlatform.h"

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    IVnPlatform& P() { return *platform_; }
    IVnRegistry& Reg() { return platform_->Registry(); }
    IVnFiles& Files() { return platform_->Files(); }
    // A folder that exists and is empty, ending in a backslash ("C:\...\").
    const VnString& ScratchFolder() const { return scratchFolder_; }
    // A subkey path under HKEY_CURRENT_USER "Software\" that does not exist yet.
    const VnString& ScratchKey() const { return scratchKey_; }
    bool OnWindows() const;

private:
    std::shared_ptr<IVnPlatform> platform_;
    VnString scratchFolder_;
    VnString scratchKey_;
    std::string hostFolder_;  // sim: the machine folder on the Linux side
};
