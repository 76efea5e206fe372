#include "SimProcesses.h"

#include <cstdio>
#include <fstream>

namespace {
constexpr uintptr_t kFirstWindow = 0x10004, kWindowStep = 0x10;

bool IsUrl(const VnString& target) {
    // A scheme of two or more letters before the colon; "C:" is a drive.
    int32_t colon = target.Find(u':');
    if (colon < 2) return false;
    for (int32_t i = 0; i < colon; ++i) {
        char16_t c = target[i];
        bool schemeChar = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (i > 0 && ((c >= u'0' && c <= u'9') ||
                                                                                           c == u'+' || c == u'-' || c == u'.'));
        if (!schemeChar) return false;
    }
    return true;
}

bool IsProgramFile(const VnString& fileName) {
    for (const char16_t* extension : {u".exe", u".com", u".bat", u".cmd"})
        if (fileName.EndsWithNoCase(extension)) return true;
    return false;
}

std::string Quoted(const VnString& text) {
    std::string quoted = "\"";
    quoted += text.ToUtf8();
    quoted += '"';
    return quoted;
}

std::string Number(uint32_t number) {
    std::string text = "#";
    text += std::to_string(number);
    return text;
}
}  // namespace

struct VnSimProcesses::Process {
    int32_t record = 0;  // index into starts_
    bool neverEnds = false;
    uint64_t waited = 0;  // simulated milliseconds spent in waits that timed out
    std::string output;
    size_t outputRead = 0;
};

VnSimProcesses::VnSimProcesses(const VnSimFacts& facts, const std::string& machineFolder, VnSimFiles& files,
                               IVnPlatform& platform, const VnSimProgramRegistry& programs,
                               const VnSimModuleRegistry& modules)
    : facts_(facts), logFile_(machineFolder + "/programs.log"), files_(files), platform_(platform),
      programs_(programs), modules_(facts, files, modules), named_(facts) {}

VnSimProcesses::~VnSimProcesses() = default;

void VnSimProcesses::Record(std::initializer_list<std::string_view> pieces) {
    std::ofstream log(logFile_, std::ios::app);
    for (std::string_view piece : pieces) log << piece;
    log << '\n';
}

VnHandle VnSimProcesses::NewHandle() {
    nextHandle_ += 4;
    return nextHandle_;
}

VnSimProcesses::Process* VnSimProcesses::ProcessOf(VnHandle handle) {
    auto found = processes_.find(handle);
    return found == processes_.end() ? nullptr : found->second.get();
}

// ---- programs ----

uint32_t VnSimProcesses::LocateProgram(const VnString& program, const VnStartOptions& options, VnSimPath& found) {
    VnSimPaths& paths = files_.Paths();
    if (program.FindOneOf(u"\\/:") >= 0) {
        if (uint32_t error = paths.Resolve(program, found)) return error;
        return found.MissingError();
    }
    // A bare name: the working folder, then the folders of the search path.
    VnStringArray folders;
    if (!options.workingFolder.IsEmpty()) folders.Add(options.workingFolder);
    folders.Add(facts_.windowsFolder + u"\\System32");
    folders.Add(facts_.windowsFolder);
    VnStringArray names{program};
    if (program.Find(u'.') < 0) names.Add(program + u".exe");
    for (const VnString& folder : folders) {
        for (const VnString& name : names) {
            VnString candidate = folder.EndsWith(u"\\") ? folder + name : folder + u"\\" + name;
            if (paths.Resolve(candidate, found) == 0 && found.exists) return 0;
        }
    }
    return vnwin::kErrorFileNotFound;
}

uint32_t VnSimProcesses::StartProgram(const VnString& program, const VnString& parameters,
                                      const VnStartOptions& options, VnHandle& process) {
    process = 0;
    VnString target = program;
    target.Trim();
    if (target.GetLength() >= 2 && target.StartsWith(u"\"") && target.EndsWith(u"\""))
        target = target.Mid(1, target.GetLength() - 2);
    std::string verb = options.verb.IsEmpty() ? std::string("open") : options.verb.ToUtf8();
    if (IsUrl(target)) {
        Record({"open ", Quoted(target), " verb \"", verb, "\""});
        return 0;
    }
    VnSimPath found;
    uint32_t error = target.IsEmpty() ? vnwin::kErrorFileNotFound : LocateProgram(target, options, found);
    if (error) {
        Record({"start failed ", Quoted(target), " error ", std::to_string(error)});
        return error;
    }
    VnString fileName = VnString::FromUtf8(found.name);
    const VnString path = files_.Paths().WindowsPathOf(found.hostPath);  // as stored: the program's true name
    const VnSimProgram* standIn = found.isFolder ? nullptr : programs_.Find(fileName);
    if (!standIn && (found.isFolder || !IsProgramFile(fileName))) {
        Record({"open ", Quoted(path), " verb \"", verb, "\""});
        return 0;
    }

    VnSimStartRecord record;
    record.number = uint32_t(starts_.GetSize() + 1);
    record.program = path;
    record.parameters = parameters;
    record.standIn = standIn != nullptr;
    auto started = std::make_shared<Process>();
    started->record = starts_.Add(record);
    Record({Number(record.number), standIn ? " start " : " start unknown ", Quoted(path),
            parameters.IsEmpty() ? "" : " ", parameters.ToUtf8()});
    process = NewHandle();
    processes_[process] = started;
    if (standIn) {
        VnSimProgram copy = *standIn;  // the body may change the registry
        RunStandIn(*started, copy, options);
    } else {
        starts_[started->record].ended = true;
        Record({Number(record.number), " exit 0"});
    }
    return 0;
}

void VnSimProcesses::RunStandIn(Process& process, const VnSimProgram& standIn, const VnStartOptions& options) {
    process.neverEnds = standIn.neverEnds;
    uint32_t exitCode = 0;
    if (standIn.main) {
        const VnSimStartRecord& record = starts_[process.record];
        VnSimProgramCall call{record.program, record.parameters, VnSimSplitCommandLine(record.parameters),
                              options.workingFolder, platform_, process.output};
        // A new process starts with file-system redirection on.
        bool redirection = facts_.run.wow64FsRedirection;
        facts_.run.wow64FsRedirection = true;
        exitCode = standIn.main(call);
        facts_.run.wow64FsRedirection = redirection;
    }
    if (standIn.neverEnds) return;
    VnSimStartRecord& record = starts_[process.record];  // the body may have started others
    record.ended = true;
    record.exitCode = exitCode;
    Record({Number(record.number), " exit ", std::to_string(exitCode)});
}

uint32_t VnSimProcesses::WaitForProcess(VnHandle handle, uint32_t milliseconds) {
    Process* process = ProcessOf(handle);
    if (!process) return vnwin::kWaitFailed;
    VnSimStartRecord& record = starts_[process->record];
    if (record.waits.IsEmpty() || record.waits[record.waits.GetSize() - 1] != milliseconds) {
        record.waits.Add(milliseconds);
        bool infinite = milliseconds == vnwin::kInfinite;
        Record({Number(record.number), " wait ", infinite ? "infinite" : std::to_string(milliseconds), infinite ? "" : " ms"});
    }
    if (record.ended) return vnwin::kWaitObject0;
    if (milliseconds == vnwin::kInfinite) {
        // Windows would wait for ever; the simulation refuses to hang.
        Record({Number(record.number), " waits for ever on a program that never ends: wait failed"});
        return vnwin::kWaitFailed;
    }
    facts_.LetTimePass(milliseconds);
    process->waited += milliseconds;
    return vnwin::kWaitTimeout;
}

uint32_t VnSimProcesses::TerminateProcess(VnHandle handle, uint32_t exitCode) {
    Process* process = ProcessOf(handle);
    if (!process) return vnwin::kErrorInvalidHandle;
    VnSimStartRecord& record = starts_[process->record];
    if (record.ended) return vnwin::kErrorAccessDenied;
    record.ended = record.terminated = true;
    record.exitCode = exitCode;
    Record({Number(record.number), " terminate ", std::to_string(exitCode), " after ", std::to_string(process->waited),
            " ms of waiting"});
    return 0;
}

uint32_t VnSimProcesses::GetExitCodeProcess(VnHandle handle, uint32_t& exitCode) {
    Process* process = ProcessOf(handle);
    if (!process) return vnwin::kErrorInvalidHandle;
    const VnSimStartRecord& record = starts_[process->record];
    exitCode = record.ended ? record.exitCode : vnwin::kStillActive;
    return 0;
}

uint32_t VnSimProcesses::ReadProcessOutput(VnHandle handle, std::string& appended) {
    Process* process = ProcessOf(handle);
    if (!process) return vnwin::kErrorInvalidHandle;
    appended.append(process->output, process->outputRead, std::string::npos);
    process->outputRead = process->output.size();
    return 0;
}

void VnSimProcesses::CloseHandle(VnHandle handle) {
    if (processes_.erase(handle) == 0) named_.Close(handle);
}

// ---- named objects ----

VnHandle VnSimProcesses::CreateMutex(const VnString& name, uint32_t& lastError) {
    VnHandle handle = NewHandle();
    lastError = named_.CreateMutex(name, handle);
    return lastError == 0 || lastError == vnwin::kErrorAlreadyExists ? handle : 0;
}

void* VnSimProcesses::CreateSharedMemory(const VnString& name, uint32_t size, VnHandle& mapping, bool& existed) {
    VnHandle handle = NewHandle();
    void* view = named_.CreateSharedMemory(name, size, handle, existed);
    mapping = view ? handle : 0;
    return view;
}

void* VnSimProcesses::OpenSharedMemory(const VnString& name, uint32_t size, VnHandle& mapping) {
    VnHandle handle = NewHandle();
    void* view = named_.OpenSharedMemory(name, size, handle);
    mapping = view ? handle : 0;
    return view;
}

void VnSimProcesses::CloseSharedMemory(VnHandle mapping, void* view) { named_.Close(mapping); }

// ---- modules ----

VnHandle VnSimProcesses::LoadLibrary(const VnString& path, uint32_t flags, uint32_t& error) {
    return modules_.Load(path, flags, error);
}

void* VnSimProcesses::GetProcAddress(VnHandle module, const char* name) { return modules_.GetProcAddress(module, name); }

void VnSimProcesses::FreeLibrary(VnHandle module) { modules_.Free(module); }

// ---- windows of the running programs ----

uintptr_t VnSimProcesses::FindWindow(const VnString& className, const VnString& title) {
    const auto& running = facts_.runningPrograms;
    for (int32_t i = 0; i < running.GetSize(); ++i) {
        const VnSimRunningProgram& program = running[i];
        if (IsClosed(i) || (program.windowClass.IsEmpty() && program.windowTitle.IsEmpty())) continue;
        if (!className.IsEmpty() && !program.windowClass.EqualsNoCase(className)) continue;
        if (!title.IsEmpty() && !program.windowTitle.EqualsNoCase(title)) continue;
        return kFirstWindow + uintptr_t(i) * kWindowStep;
    }
    return 0;
}

bool VnSimProcesses::PostMessage(uintptr_t window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const auto& running = facts_.runningPrograms;
    if (window < kFirstWindow || (window - kFirstWindow) % kWindowStep != 0) return false;
    int32_t index = int32_t((window - kFirstWindow) / kWindowStep);
    if (index >= running.GetSize() || IsClosed(index)) return false;
    const VnSimRunningProgram& program = running[index];
    char text[64];
    std::snprintf(text, sizeof text, "post 0x%04x to ", message);
    Record({text, Quoted(program.windowTitle), " (window of ", Quoted(program.path), ") wparam ", std::to_string(wParam),
            " lparam ", std::to_string(lParam)});
    if (message == vnwin::kWmClose && program.closesOnWmClose) {
        closedPrograms_.Add(index);
        Record({"closed ", Quoted(program.path)});
    }
    return true;
}

bool VnSimProcesses::IsClosed(int32_t index) const { return closedPrograms_.Find(index) >= 0; }

bool VnSimProcesses::IsRunning(const VnString& programPath) const {
    const auto& running = facts_.runningPrograms;
    for (int32_t i = 0; i < running.GetSize(); ++i)
        if (!IsClosed(i) && VnSimFacts::SamePath(running[i].path, programPath)) return true;
    return false;
}
