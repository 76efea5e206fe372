// The library's log: a UTF-8 file opened once per process (shared for
// reading, so that a person can watch it grow) and appended to in batches.
// Lines wait in a small buffer and are handed to the system at the start and
// the end of every scope, before each message box, on Flush, when the
// library is released, once they have waited 100 ms and whenever the buffer
// holds kFlushBytes; so the file is complete up to its last line when the
// process is killed, and the memory the log uses does not grow with it.
//
// The file is "%LOCALAPPDATA%\Temp\Tunaro Install Wizard.log" (the user's
// temporary folder), started afresh by each process. While another process
// writes that file (it holds the named mutex kLogOwnerMutex), this one writes
// "Tunaro Install Wizard (<process id>).log" beside it.
#pragma once

#include <chrono>
#include <mutex>
#include <string>

#include "ToolsInterface.h"
#include "VnPlatform.h"

class ToolsLogFile final : public ToolsLog {
public:
    static constexpr size_t kFlushBytes = 32u << 10;
    static constexpr int kFlushMilliseconds = 100;
    // While the file refuses writes, lines wait up to this much; older ones are then counted and let go.
    static constexpr size_t kMaxWaitingBytes = 1u << 20;

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
    void OpenFileLocked();
    void WriteFileLocked();

    std::mutex mutex_;
    std::string pending_;  // lines not yet handed to the system, UTF-8
    std::chrono::steady_clock::time_point lastWriteAt_;  // when lines were last handed to the system
    uint64_t linesLetGo_ = 0;  // lost while the file refused writes; said in the file once it takes them again
    bool fileChosen_ = false;
    VnString path_;
    VnHandle file_ = 0;
    VnHandle ownerMutex_ = 0;
};
