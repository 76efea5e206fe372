// vninstall-sim: runs the installer in a simulated Windows machine and prints
// what happened. docs/runner.md describes the options and the output.
//
//   vninstall-sim --machine DIR --setup DIR [--answers FILE] [--restart] [-- installer command line]
//   vninstall-sim --machine DIR --uninstall [--answers FILE] [--restart] [-- uninstaller command line]
#include <climits>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "InstallExitCodes.h"
#include "SimInstallerRun.h"
#include "SimMachineSnapshot.h"
#include "SimRunSummary.h"
#include "SimUninstallerRun.h"
#include "SimWizardAnswers.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kMachineError = 1;

struct RunnerArguments {
    std::string machine, setup, answers;
    std::vector<std::string> installerArguments;
    bool restart = false;  // simulate the restart and the next logon after the run
    bool uninstall = false;  // run the installed product's uninstaller instead of the installer
};

void PrintUsage(std::ostream& out) {
    out << "usage: vninstall-sim --machine DIR --setup DIR [--answers FILE] [--restart] [-- installer command line]\n"
           "       vninstall-sim --machine DIR --uninstall [--answers FILE] [--restart] [-- uninstaller command line]\n"
           "  --machine DIR   the simulated machine's folder (created as a new machine when missing or empty)\n"
           "  --setup DIR     the set-up folder to install from (e.g. build/native/setup)\n"
           "  --uninstall     run the uninstaller the machine's uninstall entry names (no --setup)\n"
           "  --answers FILE  answers for the message boxes and the wizard, one per line\n"
           "                  (OK, Yes, No, ...; press Next >, choose Custom, type Install to: = D:\\Tunaro, ...)\n";
}

bool ParseArguments(int argc, char** argv, RunnerArguments& parsed, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--") {
            parsed.installerArguments.assign(argv + i + 1, argv + argc);
            break;
        }
        if (argument == "--restart" || argument == "--uninstall") {
            (argument == "--restart" ? parsed.restart : parsed.uninstall) = true;
            continue;
        }
        std::string* target = argument == "--machine" ? &parsed.machine
                              : argument == "--setup" ? &parsed.setup
                              : argument == "--answers" ? &parsed.answers
                                                        : nullptr;
        if (!target) {
            error = "unknown option " + argument;
            return false;
        }
        if (i + 1 >= argc) {
            error = argument + " needs a value";
            return false;
        }
        *target = argv[++i];
    }
    if (parsed.machine.empty()) error = "--machine is required";
    else if (parsed.setup.empty() && !parsed.uninstall) error = "--setup is required";
    else if (!parsed.setup.empty() && parsed.uninstall) error = "--uninstall takes no --setup";
    return error.empty();
}

// Linux refuses a path longer than PATH_MAX or with a name longer than
// NAME_MAX; the runner says so rather than calling the file missing.
bool PathTooLong(const std::string& path, std::string& why) {
    if (path.size() >= PATH_MAX) {
        why = "its path is " + std::to_string(path.size()) + " bytes long, more than this system's " +
              std::to_string(PATH_MAX - 1);
        return true;
    }
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (end - start > NAME_MAX) {
            why = "a name in its path is " + std::to_string(end - start) + " bytes long, more than this system's " +
                  std::to_string(NAME_MAX);
            return true;
        }
        start = end + 1;
    }
    return false;
}

// The arguments as one command-line text; those with blanks or quotes are quoted.
VnString CommandLineText(const std::vector<std::string>& arguments) {
    VnString text;
    for (const std::string& utf8 : arguments) {
        VnString argument = VnString::FromUtf8(utf8);
        if (!text.IsEmpty()) text += u' ';
        if (!argument.IsEmpty() && argument.FindOneOf(u" \t\"") < 0) {
            text += argument;
            continue;
        }
        argument.Replace(u"\"", u"\\\"");
        text += u"\"" + argument + u"\"";
    }
    return text;
}

uintmax_t FileSize(const std::string& path) {
    std::error_code error;
    uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

// The lines a record file of the machine gained since it had `fromSize` bytes.
std::vector<std::string> LinesSince(const std::string& path, uintmax_t fromSize) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    if (!in) return lines;
    in.seekg(std::streamoff(fromSize));
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

void PrintSection(const char* title, const std::vector<std::string>& lines) {
    std::cout << title << (lines.empty() ? " none\n" : "\n");
    for (const std::string& line : lines) std::cout << "  " << line << "\n";
}

// The restart the installer asked for (or the user's own), then the next
// logon, with what they changed.
void SimulateRestartAndLogon(VnSimPlatform& machine, const SimMachineSnapshot& before) {
    const std::string restartsLog = machine.MachineFolder() + "/" + VnSimPlatform::kRestartLogName;
    const std::string programsLog = machine.MachineFolder() + "/programs.log";
    const uintmax_t restartsBefore = FileSize(restartsLog), programsBefore = FileSize(programsLog);
    std::cout << "Restart: " << (machine.SimShell().RestartRequested() ? "requested by the installer"
                                                                       : "not requested by the installer; done anyway")
              << "\n";
    RegisterStandIns();
    VnStringArray problems;
    const bool done = machine.SimulateRestart(&problems);
    const SimMachineChanges changes = CompareSnapshots(before, SimMachineSnapshot::Take(machine));
    PrintSection("Restart and logon:", LinesSince(restartsLog, restartsBefore));
    PrintSection("Programs at logon:", LinesSince(programsLog, programsBefore));
    PrintSection("Files changed by the restart:", changes.files);
    PrintSection("Registry changed by the restart:", changes.registry);
    std::vector<std::string> problemLines;
    for (const VnString& problem : problems) problemLines.push_back(problem.ToUtf8());
    PrintSection(done ? "Restart problems:" : "Restart problems (not everything was done):", problemLines);
}

// The uninstaller the machine's uninstall entry names, with the same report.
int RunUninstaller(VnSimPlatform& machine, const RunnerArguments& arguments) {
    const VnString program = FindUninstallerPath(machine);
    if (program.IsEmpty()) {
        std::cerr << "vninstall-sim: the machine has no uninstall entry naming VnMediaUninstall.exe\n";
        return kMachineError;
    }
    const VnString commandLine = CommandLineText(arguments.installerArguments);
    std::cout << "Machine: " << machine.MachineFolder() << "\n"
              << "Uninstaller: \"" << program.ToUtf8() << "\" " << commandLine.ToUtf8() << "\n";
    const std::string messagesLog = machine.MachineFolder() + "/messages.log";
    const std::string programsLog = machine.MachineFolder() + "/programs.log";
    const uintmax_t messagesBefore = FileSize(messagesLog), programsBefore = FileSize(programsLog);
    const SimMachineSnapshot before = SimMachineSnapshot::Take(machine);
    std::string error;
    const int exitCode = RunUninstallerInMachine(machine, program, commandLine, error);
    if (exitCode < 0) {
        std::cerr << "vninstall-sim: " << error << "\n";
        return kMachineError;
    }
    const SimMachineSnapshot after = SimMachineSnapshot::Take(machine);
    const SimMachineChanges changes = CompareSnapshots(before, after);
    PrintSection("Messages:", LinesSince(messagesLog, messagesBefore));
    PrintSection("Programs:", LinesSince(programsLog, programsBefore));
    PrintSection("Files changed:", changes.files);
    PrintSection("Registry changed:", changes.registry);
    std::cout << "Exit code: " << exitCode << " (" << DescribeInstallExitCode(exitCode) << ")\n";
    if (arguments.restart) SimulateRestartAndLogon(machine, after);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    RunnerArguments arguments;
    std::string error;
    if (!ParseArguments(argc, argv, arguments, error)) {
        std::cerr << "vninstall-sim: " << error << "\n";
        PrintUsage(std::cerr);
        return kUsageError;
    }
    for (const auto& [option, path] : {std::pair{"--machine", arguments.machine}, std::pair{"--setup", arguments.setup},
                                       std::pair{"--answers", arguments.answers}}) {
        if (!PathTooLong(path, error)) continue;
        std::cerr << "vninstall-sim: " << option << " " << path.substr(0, 80) << "...: too long for the runner: " << error
                  << "\n";
        return kUsageError;
    }
    if (!arguments.uninstall && !std::filesystem::is_directory(arguments.setup)) {
        std::cerr << "vninstall-sim: the set-up folder " << arguments.setup << " does not exist\n";
        return kUsageError;
    }

    std::unique_ptr<VnSimPlatform> machine = VnSimPlatform::OpenMachine(arguments.machine, error);
    if (!machine) {
        std::cerr << "vninstall-sim: cannot use the machine in " << arguments.machine << ": " << error << "\n";
        return kMachineError;
    }
    SimWizardAnswers wizardAnswers;  // the answers file's lines for the wizard (SimWizardAnswers.h)
    if (!arguments.answers.empty() && !wizardAnswers.Load(arguments.answers, machine->SimShell(), error)) {
        std::cerr << "vninstall-sim: cannot read the answers file " << arguments.answers << ": " << error << "\n";
        return kUsageError;
    }

    if (arguments.uninstall) {
        wizardAnswers.Install();  // "press Uninstall", "press Close" act on the uninstaller's window
        return RunUninstaller(*machine, arguments);
    }

    const VnString setupFolder = DefaultSetupFolder(*machine);
    int filesCopied = 0;
    if (!CopySetupIntoMachine(*machine, arguments.setup, setupFolder, filesCopied, error)) {
        std::cerr << "vninstall-sim: " << error << "\n";
        return kMachineError;
    }
    const VnString installerPath = setupFolder + kInstallerFileName;
    const VnString commandLine = CommandLineText(arguments.installerArguments);
    const VnSimFacts& facts = machine->Facts();
    std::cout << "Machine: " << machine->MachineFolder() << " (Windows " << facts.osMajor << "." << facts.osMinor
              << " build " << facts.osBuild << ", " << (facts.is64BitWindows ? "64" : "32") << "-bit)\n"
              << "Set-up: " << setupFolder.ToUtf8() << " (" << filesCopied << " files from " << arguments.setup
              << ")\n"
              << "Installer: \"" << installerPath.ToUtf8() << "\" " << commandLine.ToUtf8() << "\n";

    const std::string messagesLog = machine->MachineFolder() + "/messages.log";
    const std::string programsLog = machine->MachineFolder() + "/programs.log";
    const uintmax_t messagesBefore = FileSize(messagesLog), programsBefore = FileSize(programsLog);
    const SimMachineSnapshot before = SimMachineSnapshot::Take(*machine);

    const auto started = std::chrono::steady_clock::now();
    wizardAnswers.Install();
    const int exitCode = RunInstallerInMachine(*machine, installerPath, commandLine);
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - started;

    const SimMachineSnapshot after = SimMachineSnapshot::Take(*machine);
    const SimMachineChanges changes = CompareSnapshots(before, after);
    PrintSection("Messages:", LinesSince(messagesLog, messagesBefore));
    if (size_t unused = machine->SimShell().PendingAnswerCount())
        std::cout << "  (" << unused << " answer(s) of the answers file left unused)\n";
    if (wizardAnswers.Count() > 0)
        std::cout << "Wizard: " << wizardAnswers.Done() << " of " << wizardAnswers.Count() << " line(s) carried out"
                  << (wizardAnswers.Problem().empty() ? "" : "; stopped at " + wizardAnswers.Problem()) << "\n";
    const std::vector<std::string> programs = LinesSince(programsLog, programsBefore);
    PrintSection("Programs:", programs);
    PrintSection("Files changed:", changes.files);
    PrintSection("Registry changed:", changes.registry);
    PrintRunSummary(std::cout, SummariseRun(*machine, before, after, programs, setupFolder, taken.count()));
    std::cout << "Exit code: " << exitCode << " (" << DescribeInstallExitCode(exitCode) << ")\n";
    if (arguments.restart) SimulateRestartAndLogon(*machine, after);
    return 0;
}
