#include "ToolsLogFile.h"

#include <algorithm>

#include "ToolsFolders.h"

namespace {

constexpr char16_t kLogName[] = u"Tunaro Install Wizard";
constexpr char16_t kLogOwnerMutex[] = u"Varnel Tools Log - Tunaro Install Wizard";

// Appends `value` as exactly `digits` decimal digits (leading zeros).
void AppendDigits(std::string& out, uint64_t value, int digits) {
    char text[20];
    for (int i = digits - 1; i >= 0; --i, value /= 10) text[i] = char('0' + value % 10);
    out.append(text, size_t(digits));
}

// Appends "2024-05-01 09:30:12.345" from a FILETIME (100 ns units since 1601, UTC).
void AppendTimeText(std::string& out, uint64_t fileTime) {
    uint64_t milliseconds = fileTime / 10000;
    int64_t days = int64_t(milliseconds / 86400000) - 134774;  // days since 1970-01-01
    uint64_t inDay = milliseconds % 86400000;
    // Civil date from a day count (proleptic Gregorian calendar).
    days += 719468;
    int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    int64_t dayOfEra = days - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    int day = int(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    int month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    int year = int(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    AppendDigits(out, uint64_t(std::clamp(year, 0, 9999)), 4);
    out += '-';
    AppendDigits(out, uint64_t(month), 2);
    out += '-';
    AppendDigits(out, uint64_t(day), 2);
    out += ' ';
    AppendDigits(out, inDay / 3600000, 2);
    out += ':';
    AppendDigits(out, inDay / 60000 % 60, 2);
    out += ':';
    AppendDigits(out, inDay / 1000 % 60, 2);
    out += '.';
    AppendDigits(out, inDay % 1000, 3);
}

// Appends " [ 1234] ": the thread number right-aligned in five places, as printf's "%5u".
void AppendThread(std::string& out, uint32_t thread) {
    char text[16];
    int length = 0;
    do text[length++] = char('0' + thread % 10), thread /= 10;
    while (thread);
    out += " [";
    out.append(size_t(std::max(0, 5 - length)), ' ');
    while (length) out += text[--length];
    out += "] ";
}

}  // namespace

ToolsLogFile::~ToolsLogFile() {
    if (!VnHasPlatform()) return;  // nothing to write through any more
    Flush();
    if (file_) VnPlatform().Files().CloseFile(file_);
    if (ownerMutex_) VnPlatform().Processes().CloseHandle(ownerMutex_);
}

void ToolsLogFile::Write(const VnString& source, const VnString& text) {
    IVnSystem& system = VnPlatform().System();
    // Built as bytes directly, without printf: this runs for every line of a long install.
    std::string line;
    line.reserve(size_t(40 + source.GetLength() + text.GetLength()));
    AppendTimeText(line, system.GetSystemTimeAsFileTime());
    AppendThread(line, uint32_t(system.GetCurrentThreadId()));
    source.AppendUtf8(line);
    line += ": ";
    text.AppendUtf8(line);
    line += "\r\n";
    std::lock_guard<std::mutex> lock(mutex_);
    pending_ += line;
    // Real time, not the platform's clock: a simulated machine's clock stands still between its events.
    if (pending_.size() >= kFlushBytes ||
        std::chrono::steady_clock::now() - lastWriteAt_ >= std::chrono::milliseconds(kFlushMilliseconds))
        WriteFileLocked();
}

// A scope's start and end are where a phase begins and ends: the file is
// brought up to date at both, so a phase that blocks leaves its start behind.
uint64_t ToolsLogFile::BeginScope(const VnString& source) {
    Write(source, VN_LIT(u"Start"));
    Flush();
    return VnPlatform().System().GetTickCount64();
}

void ToolsLogFile::EndScope(const VnString& source, uint64_t startMark, bool hasResult, int result) {
    int elapsed = int(VnPlatform().System().GetTickCount64() - startMark);
    Write(source, hasResult ? VnString::Format(u"Finish (result: %d) (%d ms)", result, elapsed)
                            : VnString::Format(u"Finish (%d ms)", elapsed));
    Flush();
}

void ToolsLogFile::Flush() {
    std::lock_guard<std::mutex> lock(mutex_);
    WriteFileLocked();
}

VnString ToolsLogFile::GetLogFilePath() {
    std::lock_guard<std::mutex> lock(mutex_);
    ChooseFileLocked();
    return path_;
}

void ToolsLogFile::ChooseFileLocked() {
    if (fileChosen_) return;
    fileChosen_ = true;
    VnString localAppData = VnPlatform().System().GetSpecialFolder(vnwin::kCsidlLocalAppData);
    if (localAppData.IsEmpty()) return;
    VnString folder = ToolsFolderPath(localAppData) + u"Temp\\";
    if (!ToolsMakeFolderTree(folder)) return;
    IVnProcesses& processes = VnPlatform().Processes();
    uint32_t error = 0;
    ownerMutex_ = processes.CreateMutex(kLogOwnerMutex, error);
    if (ownerMutex_ && error == vnwin::kErrorSuccess) {
        path_ = folder + kLogName + u".log";
    } else {
        if (ownerMutex_) processes.CloseHandle(ownerMutex_);
        ownerMutex_ = 0;
        path_ = folder + VnString::Format(u"%s (%u).log", kLogName, VnPlatform().System().GetCurrentProcessId());
    }
}

void ToolsLogFile::WriteFileLocked() {
    lastWriteAt_ = std::chrono::steady_clock::now();
    if (pending_.empty()) return;
    ChooseFileLocked();
    if (path_.IsEmpty()) {
        pending_.clear();  // there is no file to keep the lines for
        return;
    }
    if (!file_) OpenFileLocked();  // again at each write until it opens (a full disk may have refused it)
    if (linesLetGo_ != 0) {
        pending_.insert(0, "[" + std::to_string(linesLetGo_) + " lines could not be written]\r\n");
        linesLetGo_ = 0;
    }
    if (file_ && VnPlatform().Files().WriteToFile(file_, pending_.data(), uint32_t(pending_.size())) == 0) {
        pending_.clear();
        return;
    }
    // The file refuses (a full disk): the lines wait for the next attempt, up to a limit.
    if (pending_.size() > kMaxWaitingBytes) {
        size_t cut = pending_.find('\n', pending_.size() / 2);
        cut = cut == std::string::npos ? pending_.size() : cut + 1;
        linesLetGo_ += uint64_t(std::count(pending_.begin(), pending_.begin() + ptrdiff_t(cut), '\n'));
        pending_.erase(0, cut);
    }
}

void ToolsLogFile::OpenFileLocked() {
    IVnFiles& files = VnPlatform().Files();
    static constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
    if (files.CreateFileForWriting(path_, file_, true) != 0) {
        file_ = 0;
    } else if (files.WriteToFile(file_, kByteOrderMark, sizeof kByteOrderMark - 1) != 0) {
        files.CloseFile(file_);
        file_ = 0;
    }
}
