#include "RunProgram.h"

#include "ToolsLink.h"

namespace {

constexpr char16_t kSource[] = u"RunProgram";
constexpr uint32_t kPollWhilePumping = 10;
constexpr uint32_t kPollPlain = 500;

// Waits for the started process as the options say; logs through `scope`.
void WaitForCompletion(IVnProcesses& processes, VnHandle process, const RunProgramOptions& options,
                       ToolsLogScope& scope) {
    scope.Write(VN_LIT(u"Waiting for completion"));
    IVnSystem& system = VnPlatform().System();
    const uint64_t started = system.GetTickCount64();
    const uint32_t interval = options.pumpMessages ? kPollWhilePumping : kPollPlain;
    for (;;) {
        uint32_t result = processes.WaitForProcess(process, interval);
        if (options.output) processes.ReadProcessOutput(process, *options.output);
        if (result == vnwin::kWaitObject0) {
            scope.Write(VN_LIT(u"Finished"));
            uint32_t exitCode = 0;
            if (processes.GetExitCodeProcess(process, exitCode) == vnwin::kErrorSuccess && options.exitCode)
                *options.exitCode = exitCode;
            scope.Write(VN_LIT(u"Done waiting"));
            return;
        }
        if (result != vnwin::kWaitTimeout) {
            scope.Write(VnString::Format(u"Unknown wait code (%d)", result));
            processes.TerminateProcess(process, 1);
            return;
        }
        if (options.cancel && options.cancel->load()) {
            scope.Write(VN_LIT(u"Cancel"));
            processes.TerminateProcess(process, 1);
            return;
        }
        const uint64_t elapsed = system.GetTickCount64() - started;
        if (options.timeLimitMilliseconds > 0 && elapsed > uint64_t(options.timeLimitMilliseconds)) {
            scope.Write(VN_LIT(u"Timeout"));
            processes.TerminateProcess(process, 1);
            return;
        }
        if (options.pumpMessages) options.pumpMessages();
    }
}

}  // namespace

VnString JoinProgramArguments(const VnStringArray& arguments) {
    VnString joined;
    for (const VnString& argument : arguments) {
        if (!joined.IsEmpty()) joined += u' ';
        bool quote = argument.FindOneOf(u" \t") >= 0 && !argument.StartsWith(u"\"");
        if (quote) joined += u'"';
        joined += argument;
        if (quote) joined += u'"';
    }
    return joined;
}

bool RunProgram(const VnString& program, const VnStringArray& arguments, const RunProgramOptions& options) {
    ToolsLogScope scope(VnToolsLog(), kSource);
    const VnString parameters = JoinProgramArguments(arguments);
    scope.Write(VnString::Format(u"Filename: %s / Parameters: %s", program, parameters));
    if (program.IsEmpty()) {
        scope.SetResult(0);
        return false;
    }

    VnStartOptions start;
    start.priorityClass = options.priorityClass;
    start.captureOutput = options.output != nullptr;
    if (!start.captureOutput) scope.Write(VN_LIT(u"Performing ShellExecute..."));
    IVnProcesses& processes = VnPlatform().Processes();
    VnHandle process = 0;
    uint32_t error = processes.StartProgram(program, parameters, start, process);
    if (error != vnwin::kErrorSuccess) {
        scope.Write(VnString::Format(u"Failed to start (error %d)", error));
        scope.SetResult(0);
        return false;
    }
    if (start.captureOutput) scope.Write(VN_LIT(u"Running process..."));

    if (process && options.wait) WaitForCompletion(processes, process, options, scope);
    if (process) {
        if (options.output) processes.ReadProcessOutput(process, *options.output);
        processes.CloseHandle(process);
    }
    scope.SetResult(1);
    return true;
}
