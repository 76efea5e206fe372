#include "SimInstallBench.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

#include "SimInstallerRun.h"
#include "VnSimPlatform.h"

namespace fs = std::filesystem;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

namespace {

// The host folder behind a Windows path of the machine ("C:\a\b\" ->
// <machine>/drives/C/a/b).
fs::path HostPathOf(const fs::path& machineFolder, const VnString& windowsPath) {
    const std::string text = windowsPath.ToUtf8();
    fs::path path = machineFolder / "drives" / text.substr(0, 1);
    size_t start = 3;
    while (start < text.size()) {
        const size_t end = std::min(text.find('\\', start), text.size());
        if (end > start) path /= text.substr(start, end - start);
        start = end + 1;
    }
    return path;
}

}  // namespace

InstallRun RunSilentInstallInChild(const std::string& machineFolder, const VnString& installerPath,
                                   const std::function<void()>& inChild) {
    InstallRun run;
    const auto start = std::chrono::steady_clock::now();
    std::fflush(stdout);  // or the child would print this process's buffered lines again
    const pid_t child = fork();
    if (child == 0) {
        if (inChild) inChild();
        std::string error;
        std::unique_ptr<VnSimPlatform> machine = VnSimPlatform::OpenMachine(machineFolder, error);
        if (!machine) _exit(2);
        const int exitCode = RunInstallerInMachine(*machine, installerPath, u"/Silent");
        std::printf("installer exit code: %d\n", exitCode);
        std::fflush(stdout);
        _exit(exitCode == 0 || exitCode == 3010 ? 0 : 1);
    }
    if (child < 0) return run;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return run;
    run.timing.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.timing.user = double(usage.ru_utime.tv_sec) + double(usage.ru_utime.tv_usec) / 1e6;
    run.timing.cpu = run.timing.user + double(usage.ru_stime.tv_sec) + double(usage.ru_stime.tv_usec) / 1e6;
    run.peakKilobytes = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

VnString PrepareMachine(const std::string& machineFolder, const fs::path& setup,
                        const std::vector<std::string>& templates, bool realistic, fs::path& hostPlaymoor,
                        Payload& payload) {
    std::string error;
    std::unique_ptr<VnSimPlatform> machine = VnSimPlatform::OpenMachine(machineFolder, error);
    int filesCopied = 0;
    const VnString setupFolder = machine ? DefaultSetupFolder(*machine) : VnString();
    if (!machine || !CopySetupIntoMachine(*machine, setup.string(), setupFolder, filesCopied, error) ||
        !machine->Flush(error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return VnString();
    }
    hostPlaymoor = HostPathOf(machineFolder, setupFolder) / "Playmoor";
    const fs::path payloadFolder = hostPlaymoor / "Bench Payload";
    payload = realistic ? WriteRealisticPayload(payloadFolder, templates) : WritePayload(payloadFolder, templates);
    return setupFolder + kInstallerFileName;
}

