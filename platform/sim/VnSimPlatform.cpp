#include "VnSimPlatform.h"

#include <filesystem>

#include "SimMachineFile.h"
#include "SimPendingRenames.h"

namespace fs = std::filesystem;

namespace {

const char16_t kRunOncePath[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char16_t kRunOncePath32[] = u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char16_t kInternetExplorerPath[] = u"SOFTWARE\\Microsoft\\Internet Explorer";
const char16_t kInternetExplorerPath32[] = u"SOFTWARE\\Wow6432Node\\Microsoft\\Internet Explorer";

// A command line split into the program and its parameters: a quoted
// program ends at its closing quote, an unquoted one at the first blank.
void SplitCommand(const VnString& command, VnString& program, VnString& parameters) {
    VnString text = command;
    text.Trim();
    int32_t end = text.StartsWith(u"\"") ? text.Find(u'"', 1) : text.Find(u' ');
    if (end < 0) end = text.GetLength();
    program = text.StartsWith(u"\"") ? text.Mid(1, end - 1) : text.Left(end);
    parameters = text.Mid(end + 1);
    parameters.Trim();
}

}  // namespace

VnSimPlatform::VnSimPlatform(const std::string& folder, const VnSimFacts& facts) : folder_(folder), facts_(facts) {
    registry_ = std::make_unique<VnSimRegistry>(facts_);
}

VnSimPlatform::~VnSimPlatform() {
    // A machine that failed to open writes nothing: its files stay as they were.
    if (!opened_) return;
    std::string ignored;
    Flush(ignored);
}

std::unique_ptr<VnSimPlatform> VnSimPlatform::OpenMachine(const std::string& hostFolder, std::string& error) {
    if (hostFolder.empty()) {
        error = "no machine folder given";
        return nullptr;
    }
    std::error_code failure;
    fs::path folder(hostFolder);
    bool exists = fs::exists(folder, failure);
    if (exists && !fs::is_directory(folder, failure)) {
        error = hostFolder + " is not a folder";
        return nullptr;
    }
    bool isNew = !exists || fs::is_empty(folder, failure);
    std::string factsFile = (folder / kFactsFileName).string();
    if (!isNew && !fs::exists(factsFile, failure)) {
        error = hostFolder + " is not a machine folder: it is not empty and has no " + kFactsFileName;
        return nullptr;
    }
    fs::create_directories(folder, failure);
    if (failure) {
        error = "cannot create the machine folder " + hostFolder + ": " + failure.message();
        return nullptr;
    }

    VnSimFacts facts;
    if (isNew) {
        facts = VnSimFacts::Defaults();
        if (!facts.Save(factsFile, error)) return nullptr;
    } else if (!VnSimFacts::Load(factsFile, facts, error)) {
        return nullptr;
    }

    std::unique_ptr<VnSimPlatform> machine(new VnSimPlatform(hostFolder, facts));
    std::string registryFile = (folder / kRegistryFileName).string();
    if (fs::exists(registryFile, failure)) {
        if (!machine->registry_->Load(registryFile, error)) return nullptr;
    } else {
        machine->CreateStandardKeys();
    }
    machine->ApplyFactsToRegistry();
    machine->files_ = std::make_unique<VnSimFiles>(machine->facts_, hostFolder, *machine->registry_);
    machine->system_ = std::make_unique<VnSimSystem>(machine->facts_, hostFolder);
    machine->processes_ =
        std::make_unique<VnSimProcesses>(machine->facts_, hostFolder, *machine->files_, *machine);
    machine->shell_ = std::make_unique<VnSimShell>(hostFolder, *machine->files_);
    if (!machine->Flush(error)) return nullptr;
    machine->opened_ = true;
    return machine;
}

// The keys a fresh Windows installation has that installers rely on.
void VnSimPlatform::CreateStandardKeys() {
    const VnRegRoot machine = VnRegRoot::LocalMachine, user = VnRegRoot::CurrentUser;
    const VnString currentVersion = VN_LIT(u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
    const VnString currentVersion32 = VN_LIT(u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion");
    VnRegValue programFiles = VnRegValue::String(u"C:\\Program Files");
    VnRegValue programFilesX86 = VnRegValue::String(u"C:\\Program Files (x86)");
    registry_->WriteMachineValue(machine, currentVersion, u"ProgramFilesDir", &programFiles);
    for (const char16_t* key : {u"\\Uninstall", u"\\Run", u"\\RunOnce"}) registry_->CreateMachineKey(machine, currentVersion + key);
    if (facts_.is64BitWindows) {
        registry_->WriteMachineValue(machine, currentVersion, u"ProgramFilesDir (x86)", &programFilesX86);
        registry_->WriteMachineValue(machine, currentVersion32, u"ProgramFilesDir", &programFilesX86);
        for (const char16_t* key : {u"\\Uninstall", u"\\Run", u"\\RunOnce"})
            registry_->CreateMachineKey(machine, currentVersion32 + key);
    }
    registry_->CreateMachineKey(machine, u"SOFTWARE\\Classes");
    registry_->CreateMachineKey(machine, kVnSessionManagerKey);
    registry_->CreateMachineKey(user, u"Software\\Classes");
    for (const char16_t* key : {u"\\Run", u"\\RunOnce"})
        registry_->CreateMachineKey(user, VnString(u"Software\\Microsoft\\Windows\\CurrentVersion") + key);
}

// The facts that Windows keeps in the registry are written at every opening,
// so that editing machine.ini is enough to change them.
void VnSimPlatform::ApplyFactsToRegistry() {
    VnRegValue version = VnRegValue::String(facts_.ieVersion);
    const VnRegValue* value = facts_.ieVersion.IsEmpty() ? nullptr : &version;
    registry_->WriteMachineValue(VnRegRoot::LocalMachine, kInternetExplorerPath, u"Version", value);
    if (facts_.is64BitWindows)
        registry_->WriteMachineValue(VnRegRoot::LocalMachine, kInternetExplorerPath32, u"Version", value);
}

bool VnSimPlatform::Flush(std::string& error) {
    if (files_) files_->Flush();
    return registry_->Save((fs::path(folder_) / kRegistryFileName).string(), error);
}

void VnSimPlatform::RecordRestart(const std::string& line) {
    std::string ignored;
    VnAppendMachineFile((fs::path(folder_) / kRestartLogName).string(), line + "\n", ignored);
}

bool VnSimPlatform::RunOnceCommands(VnRegRoot root, const VnString& path, VnStringArray* problems) {
    bool allRan = true;
    const char* rootName = root == VnRegRoot::LocalMachine ? "HKLM\\" : "HKCU\\";
    for (const VnSimRegValueData& entry : registry_->ReadMachineValues(root, path)) {
        registry_->WriteMachineValue(root, path, entry.name, nullptr);
        VnRegValue command = VnSimRegDecode(entry.type, entry.data);
        VnString program, parameters;
        SplitCommand(command.text, program, parameters);
        VnHandle process = 0;
        uint32_t result = program.IsEmpty() ? vnwin::kErrorFileNotFound
                                            : processes_->StartProgram(program, parameters, VnStartOptions(), process);
        if (process) {
            processes_->WaitForProcess(process, vnwin::kInfinite);
            processes_->CloseHandle(process);
        }
        std::string where = rootName + path.ToUtf8() + " \"" + entry.name.ToUtf8() + "\"";
        RecordRestart("runonce " + where + ": " + command.text.ToUtf8() +
                      (result ? " (failed, error " + std::to_string(result) + ")" : ""));
        if (result) {
            allRan = false;
            if (problems) problems->Add(VnString::FromUtf8("RunOnce " + where + " failed with error " + std::to_string(result)));
        }
    }
    return allRan;
}

void VnSimPlatform::RecordPendingFileOperations() {
    VnCoreArray<VnPendingRename> renames;
    VnReadPendingRenames(*registry_, renames);
    for (const VnPendingRename& rename : renames) {
        if (rename.target.IsEmpty()) {
            RecordRestart("delete " + rename.source.ToUtf8());
        } else {
            RecordRestart("rename " + rename.source.ToUtf8() + " -> " + rename.target.ToUtf8() +
                          (rename.replaceExisting ? " (replacing)" : ""));
        }
    }
}

bool VnSimPlatform::SimulateRestart(VnStringArray* problems) {
    RecordRestart("restart");
    RecordPendingFileOperations();
    bool ok = files_->ApplyPendingFileOperations(problems);
    facts_.run.wow64FsRedirection = true;
    // The programs that held files open did not survive the restart.
    facts_.lockedFiles.RemoveAll();
    ok = RunOnceCommands(VnRegRoot::LocalMachine, kRunOncePath, problems) && ok;
    if (facts_.is64BitWindows) ok = RunOnceCommands(VnRegRoot::LocalMachine, kRunOncePath32, problems) && ok;
    ok = RunOnceCommands(VnRegRoot::CurrentUser, u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", problems) && ok;
    std::string error;
    return Flush(error) && ok;
}
