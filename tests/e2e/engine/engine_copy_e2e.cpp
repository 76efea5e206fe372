// engine_copy_e2e.exe: the file engine's own code on real Windows (or Wine),
// for scripts/wine-engine-e2e.sh. It runs beside holdopen.exe.
//
//   engine_copy_e2e.exe before <work folder>
//     A payload library whose destination another program (holdopen.exe)
//     holds open without sharing goes through CopyFileChecked: the copy
//     fails, the file is staged and scheduled with MoveFileExW (replace,
//     delay until reboot), and its registration waits for the restart.
//     Then RunProgram with a 5000 ms time limit on a program that never ends
//     must terminate it and return true.
//     The same for a library in the 32-bit system folder (SysWOW64) held
//     open: its new copy waits beside it, on its own volume, and the rename
//     names SysWOW64 itself.
//   engine_copy_e2e.exe after <work folder>
//     After the restart (`wineboot -r`) both new files are in place and no
//     staged copy is left.
//
// Prints "PASS <check>" or "FAIL <check>: <detail>" per check, then
// "N passed, N failed"; exit code 0 when nothing failed.
#include "VnWin32Platform.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>

#include "FileCopy.h"
#include "InstallOptions.h"
#include "RunProgram.h"
#include "VnFileSystem.h"

namespace {

constexpr char kNewBytes[] = "the new payload library";
constexpr char kOldBytes[] = "the old library, in use";
constexpr char16_t kSessionManager[] = u"SYSTEM\\CurrentControlSet\\Control\\Session Manager";

int g_passed = 0, g_failed = 0;

void Check(const char* what, bool ok, const std::string& detail = std::string()) {
    if (ok) {
        ++g_passed;
        std::printf("PASS %s\n", what);
    } else {
        ++g_failed;
        std::printf("FAIL %s: %s\n", what, detail.c_str());
    }
}

std::string ReadText(const VnString& path, uint32_t* error = nullptr) {
    std::string bytes;
    uint32_t result = VnPlatform().Files().ReadFile(path, bytes);
    if (error) *error = result;
    return result == 0 ? bytes : std::string("(error ") + std::to_string(result) + ")";
}

VnString PendingRenames() {
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    VnRegValue value;
    if (registry.OpenKey(VnRegRoot::LocalMachine, kSessionManager, vnwin::kKeyRead, key) != 0) return VnString();
    registry.QueryValue(key, u"PendingFileRenameOperations", value);
    registry.CloseKey(key);
    value.text.Replace(u'\0', u'|');
    return value.text;
}

int RunningCopiesOf(const wchar_t* exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (lstrcmpiW(entry.szExeFile, exeName) == 0) ++count;
    CloseHandle(snapshot);
    return count;
}

// The library the system-file case replaces, in the 32-bit system folder.
VnString SystemLibrary() {
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    return NormaliseFolder(VnString(reinterpret_cast<const char16_t*>(windows))) + u"SysWOW64\\VnE2ECodec.dll";
}

// Starts holdopen.exe on `file` and waits until it holds it; 0 on failure.
VnHandle HoldOpen(const VnString& file, const VnString& ready) {
    IVnProcesses& processes = VnPlatform().Processes();
    VnHandle holding = 0;
    VnStartOptions start;
    processes.StartProgram(GetInstallerFolder() + u"holdopen.exe", JoinProgramArguments(VnStringArray{file, ready}),
                           start, holding);
    for (int i = 0; i < 100 && holding && !VnFileSystem::FileExists(ready); ++i) Sleep(100);
    return VnFileSystem::FileExists(ready) ? holding : 0;
}

void Release(VnHandle holding) {
    IVnProcesses& processes = VnPlatform().Processes();
    processes.TerminateProcess(holding, 0);
    processes.WaitForProcess(holding, 10000);
    processes.CloseHandle(holding);
}

// A 32-bit system library held open: replaced at the restart from the copy
// beside it, the rename naming SysWOW64.
void LockedSystemLibrary(const VnString& work) {
    const VnString library = SystemLibrary();
    VnFileSystem::MakeDirectoryTree(FolderOf(library));
    VnPlatform().Files().WriteFile(library, kOldBytes);
    VnPlatform().Files().WriteFile(work + u"Setup\\VnE2ECodec.dll", kNewBytes);
    const VnHandle holding = HoldOpen(library, work + u"codec-ready.txt");
    Check("holdopen.exe holds the system library", holding != 0);
    CopyFileChecked(kCopyAlwaysOverwrite, work + u"Setup\\VnE2ECodec.dll", library, nullptr);
    const VnString staged = StagedCopyPath(library);
    Check("the system library's new copy waits beside it", ReadText(staged) == kNewBytes, ReadText(staged));
    const VnString pending = PendingRenames();
    Check("the rename names SysWOW64", pending.ContainsNoCase((u"\\??\\" + staged + u"|!\\??\\" + library).View()),
          pending.ToUtf8());
    if (holding) Release(holding);
    Check("the system library is still the old one", ReadText(library) == kOldBytes, ReadText(library));
}

void Before(const VnString& work) {
    const VnString source = work + u"Setup\\Payload.dll";
    const VnString destination = work + u"Program\\Payload.dll";
    const VnString ready = work + u"holder-ready.txt";
    const VnString holder = GetInstallerFolder() + u"holdopen.exe";
    DeleteDirectoryTree(work);
    VnFileSystem::MakeDirectoryTree(work + u"Setup\\");
    VnFileSystem::MakeDirectoryTree(work + u"Program\\");
    IVnFiles& files = VnPlatform().Files();
    files.WriteFile(source, kNewBytes);
    files.WriteFile(destination, kOldBytes);
    InstallOptions::Get().DestinationFolder = work + u"Program\\";

    // Another program opens the destination without sharing and keeps it.
    IVnProcesses& processes = VnPlatform().Processes();
    VnHandle holding = 0;
    VnStartOptions start;
    const uint32_t started =
        processes.StartProgram(holder, JoinProgramArguments(VnStringArray{destination, ready}), start, holding);
    Check("holdopen.exe started", started == 0 && holding != 0, "error " + std::to_string(started));
    for (int i = 0; i < 100 && !VnFileSystem::FileExists(ready); ++i) Sleep(100);
    Check("holdopen.exe holds the destination", VnFileSystem::FileExists(ready), "no ready file");
    uint32_t readError = 0;
    ReadText(destination, &readError);
    Check("the held destination cannot be opened", readError == vnwin::kErrorSharingViolation,
          "read error " + std::to_string(readError));

    VnStringArray registerList;
    Check("CopyFileChecked returns true",
          CopyFileChecked(kCopyAlwaysOverwrite, source, destination, &registerList));
    const VnString staged = StagedCopyPath(destination);
    Check("the new file waits beside the old one", ReadText(staged) == kNewBytes, ReadText(staged));
    const InstallOptions& options = InstallOptions::Get();
    Check("its registration waits for the restart",
          options.PendingOperations.GetSize() == 1 &&
              options.PendingOperations[0] == u"_REGISTERFILE|" + destination,
          options.PendingOperations.Join(u", ").ToUtf8());
    Check("nothing for the register list or finalisation",
          registerList.IsEmpty() && options.FinalizeInstallList.IsEmpty());
    const VnString pending = PendingRenames();
    Check("MoveFileExW recorded the rename from the staged file",
          pending.ContainsNoCase((u"\\??\\" + staged + u"|!\\??\\" + destination).View()), pending.ToUtf8());

    processes.TerminateProcess(holding, 0);
    processes.WaitForProcess(holding, 10000);
    processes.CloseHandle(holding);
    Check("the destination still holds the old file", ReadText(destination) == kOldBytes, ReadText(destination));
    LockedSystemLibrary(work);

    // A program that never ends, with a time limit.
    RunProgramOptions limited;
    limited.timeLimitMilliseconds = 5000;
    const ULONGLONG begun = GetTickCount64();
    const bool ran = RunProgram(holder, VnStringArray(), limited);
    const ULONGLONG waited = GetTickCount64() - begun;
    Check("RunProgram with a time limit returns true", ran);
    Check("it waited about 5 s", waited >= 4500 && waited < 20000, std::to_string(waited) + " ms");
    Sleep(500);
    Check("the program was terminated", RunningCopiesOf(L"holdopen.exe") == 0,
          std::to_string(RunningCopiesOf(L"holdopen.exe")) + " still running");
}

void After(const VnString& work) {
    const VnString destination = work + u"Program\\Payload.dll";
    Check("after the restart the new file is in place", ReadText(destination) == kNewBytes,
          ReadText(destination));
    Check("the staged file was moved", !VnFileSystem::FileExists(StagedCopyPath(destination)));
    Check("after the restart the system library is new", ReadText(SystemLibrary()) == kNewBytes,
          ReadText(SystemLibrary()));
    Check("its staged copy was moved", !VnFileSystem::FileExists(StagedCopyPath(SystemLibrary())));
    Check("no rename is pending any more", !PendingRenames().ContainsNoCase(destination.View()),
          PendingRenames().ToUtf8());
}

}  // namespace

int main(int argc, char** argv) {
    static VnWin32Platform platform;
    VnSetPlatform(&platform);
    const std::string phase = argc > 2 ? argv[1] : "";
    const VnString work = NormaliseFolder(argc > 2 ? VnString::FromUtf8(argv[2]) : VnString());
    if (phase == "before" && !work.IsEmpty()) {
        Before(work);
    } else if (phase == "after" && !work.IsEmpty()) {
        After(work);
    } else {
        std::printf("usage: engine_copy_e2e.exe before|after <work folder>\n");
        return 2;
    }
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
