// Gives each conformance case a fresh backend: a new simulated machine in a
// temporary folder natively, the real Windows API in the Windows build. Cases
// work only inside ScratchFolder() and ScratchKey(), which are new per case.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "VnPlatform.h"

#ifndef _WIN32
#include "SimTestMachine.h"
#endif

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    IVnPlatform& P() { return VnPlatform(); }
    IVnRegistry& Reg() { return P().Registry(); }
    IVnFiles& Files() { return P().Files(); }
    // A folder that exists and is empty, ending in a backslash ("C:\...\").
    const VnString& ScratchFolder() const { return scratchFolder_; }
    // A subkey path under HKEY_CURRENT_USER "Software\" that does not exist yet.
    const VnString& ScratchKey() const { return scratchKey_; }
    bool OnWindows() const;

    // Files as a test sets them up and reads them back: WriteFile creates the
    // folders; ReadFile reads from outside, so a file another program of the
    // simulated machine holds reads too.
    void WriteFile(const VnString& path, std::string_view bytes);
    std::string ReadFile(const VnString& path);
    bool Exists(const VnString& path) { return Files().GetFileAttributes(path) != vnwin::kInvalidFileAttributes; }

#ifndef _WIN32
    SimTestMachine& SimMachine() { return *sim_; }
    VnSimPlatform& Sim() { return sim_->Machine(); }
    VnSimFacts& Facts() { return sim_->Facts(); }
#endif

private:
#ifdef _WIN32
    std::unique_ptr<IVnPlatform> platform_;
#else
    std::unique_ptr<SimTestMachine> sim_;
#endif
    VnString scratchFolder_;
    VnString scratchKey_;
};
