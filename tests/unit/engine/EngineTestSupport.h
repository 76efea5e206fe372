// The install engine's tests run on a fresh backend per case (a new simulated
// machine natively, the real Windows API in the Windows build) with the
// stand-in tools library loaded, the shared install state reset, and the
// registrations the copy asks for recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <memory>

#include "CopyProgress.h"
#include "InstallOptions.h"
#include "PlatformFixture.h"
#include "ProgramFiles.h"
#include "RegisteredTools.h"
#include "TestText.h"

// A folder below `base` whose path is at least `length` characters long.
inline VnString DeepFolder(const VnString& base, int length) {
    VnString folder = base;
    for (int i = 0; folder.GetLength() < length; ++i) folder += VnString::Format(u"Level %02d of a deep tree\\", i);
    return folder;
}

// The bar of a copy, recorded.
struct RecordingProgress final : ICopyProgress {
    std::vector<int> ranges, positions;  // ranges as maximum values (the minimum is checked to be 0)
    void SetStatusText(const VnString&) override {}
    void SetProgressRange(int minimum, int maximum) override { ranges.push_back(minimum == 0 ? maximum : -1); }
    void SetProgressPosition(int position) override { positions.push_back(position); }
};

class EngineTest : public PlatformTest {
protected:
    void SetUp() override;
    void TearDown() override;

    InstallOptions& Options() { return InstallOptions::Get(); }
    VnString Path(const char16_t* relative) const { return ScratchFolder() + relative; }
    // The platform fixture's file helpers, on long paths too.
    void WriteFile(const VnString& path, const std::string& bytes);
    std::string ReadFile(const VnString& path);
    bool Exists(const VnString& path) { return Attributes(path) != vnwin::kInvalidFileAttributes; }
    uint32_t Attributes(const VnString& path);
    // The tools library's log, and whether it holds the line "<source>: <text>".
    std::string LogText();
    bool Logged(const std::string& line);

    VnToolsLibrary& Tools() { return tools_->Library(); }
    std::vector<std::string> registrations;  // "component <path>" or "regsvr32-64 <path>"

private:
    std::unique_ptr<RegisteredTools> tools_;
};

