// The library's log: lines kept in memory and written as one UTF-8 file
// through the platform (which has no append), so the file is rewritten in
// batches: after every kLinesPerWrite lines, before each message box, on
// Flush and when the library is released.
//
// The file is "%LOCALAPPDATA%\Temp\Tunaro Install Wizard.log" (the user's
// temporary folder), started afresh by each process. While another process
// writes that file (it holds the named mutex kLogOwnerMutex), this one writes
// "Tunaro Install Wizard (<process id>).log" beside it.
#pragma once

#include <mutex>
#include <string>

#include "ToolsInterface.h"
#include "VnPlatform.h"

class ToolsLogFile final : public ToolsLog {
public:
    static constexpr int kLinesPerWrite = 32;
    static constexpr size_t kMaxTextBytes = 4u << 20;  // past this the older half is dropped

    ToolsLogFile() = default;
    ~ToolsLogFile() override;
    ToolsLogFile(const ToolsLogFile&) = delete;
    ToolsLogFile& operator=(const ToolsLogFile&) = delete;

    void Write(const VnString& source, const VnString& text) override;
    uint64_t BeginScope(const VnString& source) override;
    void EndScope(const VnString& source, uint64_t startMark, bool hasResult, int result) override;
    void Flush() override;
    VnString GetLogFilePath() override;

private:
    void ChooseFileLocked();
    void WriteFileLocked();

    std::mutex mutex_;
    std::string text_;  // everything this process logged, UTF-8
    int pendingLines_ = 0;
    bool fileChosen_ = false;
    VnString path_;
    VnHandle ownerMutex_ = 0;
};
