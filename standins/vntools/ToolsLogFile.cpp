#include "ToolsLogFile.h"

#include "ToolsFolders.h"

namespace {

constexpr char16_t kLogName[] = u"Tunaro Install Wizard";
constexpr char16_t kLogOwnerMutex[] = u"Varnel Tools Log - Tunaro Install Wizard";

// "2024-05-01 09:30:12.345" from a FILETIME (100 ns units since 1601, UTC).
std::string TimeText(uint64_t fileTime) {
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
    return VnString::Format(u"%04d-%02d-%02d %02d:%02d:%02d.%03d", year, month, day, int(inDay / 3600000),
                            int(inDay / 60000 % 60), int(inDay / 1000 % 60), int(inDay % 1000))
        .ToUtf8();
}

}  // namespace

ToolsLogFile::~ToolsLogFile() {
    if (!VnHasPlatform()) return;  // nothing to write through any more
    Flush();
    if (ownerMutex_) VnPlatform().Processes().CloseHandle(ownerMutex_);
}

void ToolsLogFile::Write(const VnString& source, const VnString& text) {
    IVnSystem& system = VnPlatform().System();
    std::string line = TimeText(system.GetSystemTimeAsFileTime()) +
                       VnString::Format(u" [%5u] %s: %s\r\n", system.GetCurrentThreadId(), source, text).ToUtf8();
    std::lock_guard<std::mutex> lock(mutex_);
    text_ += line;
    if (text_.size() > kMaxTextBytes) {
        size_t cut = text_.find('\n', text_.size() / 2);
        text_ = "[earlier lines dropped]\r\n" + text_.substr(cut == std::string::npos ? text_.size() : cut + 1);
    }
    if (++pendingLines_ >= kLinesPerWrite) WriteFileLocked();
}

uint64_t ToolsLogFile::BeginScope(const VnString& source) {
    Write(source, VN_LIT(u"Start"));
    return VnPlatform().System().GetTickCount64();
}

void ToolsLogFile::EndScope(const VnString& source, uint64_t startMark, bool hasResult, int result) {
    int elapsed = int(VnPlatform().System().GetTickCount64() - startMark);
    Write(source, hasResult ? VnString::Format(u"Finish (result: %d) (%d ms)", result, elapsed)
                            : VnString::Format(u"Finish (%d ms)", elapsed));
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
        return;
    }
    if (ownerMutex_) processes.CloseHandle(ownerMutex_);
    ownerMutex_ = 0;
    path_ = folder + VnString::Format(u"%s (%u).log", kLogName, VnPlatform().System().GetCurrentProcessId());
}

void ToolsLogFile::WriteFileLocked() {
    if (pendingLines_ == 0) return;
    ChooseFileLocked();
    pendingLines_ = 0;
    if (!path_.IsEmpty()) VnPlatform().Files().WriteFile(path_, "\xEF\xBB\xBF" + text_);
}
