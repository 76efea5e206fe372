// The install engine's tests run on a fresh backend per case (a new simulated
// machine natively, the real Windows API in the Windows build) with the
// stand-in tools library loaded, its log recorded in memory, the shared
// install state reset, and the copy's registrations and progress recorded.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../platform/PlatformFixture.h"
#include "CopyProgress.h"
#include "InstallOptions.h"
#include "ToolsInterface.h"
#include "ToolsLibrary.h"
#include "VnPlatform.h"

#ifndef _WIN32
#include "VnSimPlatform.h"
#endif

// The stand-in library with its log kept as "source: text" lines.
class RecordingTools final : public ToolsInterface, private ToolsLog {
public:
    RecordingTools();
    std::vector<std::string> lines;
    // Called before each box with buttons of its own is shown.
    std::function<void()> beforeButtonsBox;
    bool Logged(const std::string& line) const;

    void SetProcessFolders(const ToolsProcessFolders* folders) override { library_.SetProcessFolders(folders); }
    ProductInformation* GetProductInformation(VnString& error) override { return library_.GetProductInformation(error); }
    ToolsLanguage* GetLanguage() override { return library_.GetLanguage(); }
    ToolsSkin* GetSkin() override { return library_.GetSkin(); }
    ToolsLog* GetLog() override { return this; }
    ToolsArchive* GetArchive() override { return library_.GetArchive(); }
    int ShowMessage(const VnString& text, const VnString& title) override { return library_.ShowMessage(text, title); }
    int AskQuestion(const VnString& text, const VnString& title) override { return library_.AskQuestion(text, title); }
    int ShowMessageWithButtons(const VnString& text, const VnString& title, const VnString& first,
                               const VnString& second, const VnString& third) override;
    ToolsPropertyStore* OpenPropertyStore(const VnString& name) override { return library_.OpenPropertyStore(name); }
    ToolsPropertyStore* OpenRegistryStore(uint32_t root, const VnString& keyPath, uint32_t view) override {
        return library_.OpenRegistryStore(root, keyPath, view);
    }
    ToolsNamedLock* CreateNamedLock(const VnString& name) override { return library_.CreateNamedLock(name); }

private:
    void Write(const VnString& source, const VnString& text) override;
    uint64_t BeginScope(const VnString& source) override;
    void EndScope(const VnString& source, uint64_t startMark, bool hasResult, int result) override;
    void Flush() override {}
    VnString GetLogFilePath() override { return VnString(); }

    VnToolsLibrary library_;
};

// The progress display of the copy page, recorded.
struct RecordingProgress final : ICopyProgress {
    std::vector<std::pair<int, int>> ranges;
    std::vector<int> positions;
    std::vector<std::string> statusTexts;
    void SetStatusText(const VnString& text) override { statusTexts.push_back(text.ToUtf8()); }
    void SetProgressRange(int minimum, int maximum) override { ranges.emplace_back(minimum, maximum); }
    void SetProgressPosition(int position) override { positions.push_back(position); }
};

// A Windows program file: i386 or x86-64, with a version resource holding
// `version` ("a.b.c.d"), or none when `version` is null.
std::string MakeProgramFile(const char* version, bool x64 = false);
constexpr bool kX64 = true;

class EngineTest : public PlatformTest {
protected:
    void SetUp() override;
    void TearDown() override;

    InstallOptions& Options() { return InstallOptions::Get(); }
    RecordingTools& Tools() { return *tools_; }
    // Inside ScratchFolder(): folders end in a backslash.
    VnString Path(const char16_t* relative) const { return ScratchFolder() + relative; }

    // Writes a file, creating its folders.
    void WriteFile(const VnString& path, const std::string& bytes);
    std::string ReadFile(const VnString& path);
    bool Exists(const VnString& path);
    uint32_t Attributes(const VnString& path);

    // Registrations the copy asked for, as "component path" or "regsvr32-64 path".
    std::vector<std::string> registrations;

#ifndef _WIN32
    VnSimPlatform& Sim() { return dynamic_cast<VnSimPlatform&>(P()); }
    VnSimFacts& Facts() { return Sim().Facts(); }
#endif

private:
    std::unique_ptr<RecordingTools> tools_;
};

// Text helpers for the assertions.
std::string Utf8(const VnString& text);
std::vector<std::string> Utf8(const VnStringArray& list);
