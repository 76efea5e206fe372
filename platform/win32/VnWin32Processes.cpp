#include "VnWin32Processes.h"

#include <algorithm>
#include <string>

#include "VnWin32Text.h"

using vnw32::ResultOf;
using vnw32::W;
using vnw32::WOrNull;

namespace {

constexpr DWORD kOutputPipeSize = 64 * 1024;
constexpr DWORD kOutputBlock = 4096;

HANDLE AsHandle(VnHandle handle) { return reinterpret_cast<HANDLE>(handle); }
VnHandle AsVnHandle(HANDLE handle) { return reinterpret_cast<VnHandle>(handle); }

// ShellExecuteExW may fail without setting a last error; its instance result
// then carries an SE_ERR_ code, turned here into the matching Windows error.
uint32_t ShellExecuteError(HINSTANCE instApp) {
    DWORD error = ::GetLastError();
    if (error) return error;
    auto code = reinterpret_cast<uintptr_t>(instApp);
    switch (code) {
        case SE_ERR_FNF:
        case SE_ERR_PNF:
        case SE_ERR_ACCESSDENIED:
        case SE_ERR_OOM: return uint32_t(code);  // these equal their Windows errors
        case SE_ERR_SHARE: return ERROR_SHARING_VIOLATION;
        case SE_ERR_DLLNOTFOUND: return ERROR_DLL_NOT_FOUND;
        case SE_ERR_NOASSOC:
        case SE_ERR_ASSOCINCOMPLETE: return ERROR_NO_ASSOCIATION;
        default: return ERROR_DDE_FAIL;
    }
}

// The command line CreateProcessW parses: the program quoted, then the parameters.
std::wstring CommandLine(const VnString& program, const VnString& parameters) {
    std::wstring line = W(program);
    if (line.empty() || line.front() != L'"') line = L"\"" + line + L"\"";
    if (!parameters.IsEmpty()) line += L" " + std::wstring(W(parameters));
    return line;
}

}  // namespace

VnWin32Processes::~VnWin32Processes() {
    for (const auto& [process, pipe] : outputPipes_) ::CloseHandle(pipe);
}

uint32_t VnWin32Processes::StartProgram(const VnString& program, const VnString& parameters,
                                        const VnStartOptions& options, VnHandle& process) {
    process = 0;
    if (program.IsEmpty()) return ERROR_INVALID_PARAMETER;
    return options.captureOutput ? CreateProcessWithPipe(program, parameters, options, process)
                                 : ShellExecuteProgram(program, parameters, options, process);
}

uint32_t VnWin32Processes::ShellExecuteProgram(const VnString& program, const VnString& parameters,
                                               const VnStartOptions& options, VnHandle& process) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    // No error boxes from the shell: the caller reports failures itself.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = WOrNull(options.verb);
    info.lpFile = W(program);
    info.lpParameters = WOrNull(parameters);
    info.lpDirectory = WOrNull(options.workingFolder);
    info.nShow = options.hidden ? SW_HIDE : SW_SHOWNORMAL;
    ::SetLastError(ERROR_SUCCESS);
    if (!::ShellExecuteExW(&info)) return ShellExecuteError(info.hInstApp);
    process = AsVnHandle(info.hProcess);
    if (info.hProcess && options.priorityClass && options.priorityClass != NORMAL_PRIORITY_CLASS)
        ::SetPriorityClass(info.hProcess, options.priorityClass);
    return ERROR_SUCCESS;
}

// The child inherits only the write end of an anonymous pipe as its standard
// output; the parent's read end is kept out of the inheritance.
uint32_t VnWin32Processes::CreateProcessWithPipe(const VnString& program, const VnString& parameters,
                                                 const VnStartOptions& options, VnHandle& process) {
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inheritable, kOutputPipeSize)) return ResultOf(FALSE);
    if (!::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0)) {
        uint32_t error = ResultOf(FALSE);
        ::CloseHandle(readEnd);
        ::CloseHandle(writeEnd);
        return error;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES | (options.hidden ? STARTF_USESHOWWINDOW : 0);
    startup.wShowWindow = SW_HIDE;
    // No input (a child that asks for some reads its end at once) and no
    // error output: the parent's own handles are not inheritable, and the
    // installer, a windowed program, has none anyway.
    startup.hStdInput = nullptr;
    startup.hStdOutput = writeEnd;
    startup.hStdError = nullptr;
    DWORD flags = options.priorityClass | (options.hidden ? CREATE_NO_WINDOW : 0);
    std::wstring commandLine = CommandLine(program, parameters);
    PROCESS_INFORMATION started = {};
    BOOL ok = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, flags, nullptr,
                               WOrNull(options.workingFolder), &startup, &started);
    uint32_t error = ResultOf(ok);
    ::CloseHandle(writeEnd);  // the pipe closes when the child (and its heirs) end
    if (!ok) {
        ::CloseHandle(readEnd);
        return error;
    }
    ::CloseHandle(started.hThread);
    process = AsVnHandle(started.hProcess);
    outputPipes_[process] = readEnd;
    return ERROR_SUCCESS;
}

uint32_t VnWin32Processes::WaitForProcess(VnHandle process, uint32_t milliseconds) {
    if (!process) return WAIT_FAILED;
    return ::WaitForSingleObject(AsHandle(process), milliseconds);
}

uint32_t VnWin32Processes::TerminateProcess(VnHandle process, uint32_t exitCode) {
    if (!process) return ERROR_INVALID_HANDLE;
    return ResultOf(::TerminateProcess(AsHandle(process), exitCode));
}

uint32_t VnWin32Processes::GetExitCodeProcess(VnHandle process, uint32_t& exitCode) {
    exitCode = 0;
    if (!process) return ERROR_INVALID_HANDLE;
    DWORD code = 0;
    if (!::GetExitCodeProcess(AsHandle(process), &code)) return ResultOf(FALSE);
    exitCode = code;
    return ERROR_SUCCESS;
}

uint32_t VnWin32Processes::ReadProcessOutput(VnHandle process, std::string& appended) {
    auto found = outputPipes_.find(process);
    if (found == outputPipes_.end()) return ERROR_INVALID_HANDLE;
    char block[kOutputBlock];
    for (;;) {
        DWORD available = 0;
        if (!::PeekNamedPipe(found->second, nullptr, 0, nullptr, &available, nullptr)) return ResultOf(FALSE);
        if (available == 0) return ERROR_SUCCESS;
        DWORD read = 0;
        if (!::ReadFile(found->second, block, std::min(available, kOutputBlock), &read, nullptr))
            return ResultOf(FALSE);
        appended.append(block, read);
    }
}

void VnWin32Processes::CloseHandle(VnHandle handle) {
    if (!handle) return;
    auto found = outputPipes_.find(handle);
    if (found != outputPipes_.end()) {
        ::CloseHandle(found->second);
        outputPipes_.erase(found);
    }
    ::CloseHandle(AsHandle(handle));
}

// The last error is cleared first: a new mutex leaves it untouched on some
// systems, and only ERROR_ALREADY_EXISTS right after the call may count.
VnHandle VnWin32Processes::CreateMutex(const VnString& name, uint32_t& lastError) {
    ::SetLastError(ERROR_SUCCESS);
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, WOrNull(name));
    lastError = ::GetLastError();
    return AsVnHandle(mutex);
}

void* VnWin32Processes::CreateSharedMemory(const VnString& name, uint32_t size, VnHandle& mapping, bool& existed) {
    mapping = 0;
    existed = false;
    ::SetLastError(ERROR_SUCCESS);
    HANDLE handle = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, WOrNull(name));
    if (!handle) return nullptr;
    existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    void* view = ::MapViewOfFile(handle, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, size);
    if (!view) {
        ::CloseHandle(handle);
        existed = false;
        return nullptr;
    }
    mapping = AsVnHandle(handle);
    return view;
}

void* VnWin32Processes::OpenSharedMemory(const VnString& name, uint32_t size, VnHandle& mapping) {
    mapping = 0;
    HANDLE handle = ::OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, W(name));
    if (!handle) return nullptr;
    void* view = ::MapViewOfFile(handle, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, size);
    if (!view) {
        ::CloseHandle(handle);
        return nullptr;
    }
    mapping = AsVnHandle(handle);
    return view;
}

void VnWin32Processes::CloseSharedMemory(VnHandle mapping, void* view) {
    if (view) ::UnmapViewOfFile(view);
    if (mapping) ::CloseHandle(AsHandle(mapping));
}

VnHandle VnWin32Processes::LoadLibrary(const VnString& path, uint32_t flags, uint32_t& error) {
    HMODULE module = ::LoadLibraryExW(W(path), nullptr, flags);
    error = module ? ERROR_SUCCESS : ResultOf(FALSE, ERROR_MOD_NOT_FOUND);
    return AsVnHandle(module);
}

void* VnWin32Processes::GetProcAddress(VnHandle module, const char* name) {
    if (!module || !name) return nullptr;
    return reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(module), name));
}

void VnWin32Processes::FreeLibrary(VnHandle module) {
    if (module) ::FreeLibrary(reinterpret_cast<HMODULE>(module));
}

uintptr_t VnWin32Processes::FindWindow(const VnString& className, const VnString& title) {
    return reinterpret_cast<uintptr_t>(::FindWindowW(WOrNull(className), WOrNull(title)));
}

bool VnWin32Processes::PostMessage(uintptr_t window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return ::PostMessageW(reinterpret_cast<HWND>(window), message, wParam, lParam) != FALSE;
}
