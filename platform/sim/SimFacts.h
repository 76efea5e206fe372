// The facts of a simulated Windows machine: what it is (version, processor,
// drives, folders, user, running programs, rights) and which faults it shows.
//
// They are kept in "machine.ini" in the machine folder (format in
// docs/sim-machine.md). Every part of the simulated platform is given a
// reference to the one VnSimFacts of its machine and keeps that reference:
// `run` changes while the machine runs and the parts must see it change.
//
// Windows paths in the fault lists compare without regard to case, with a
// "\\?\" prefix and trailing backslashes ignored (see SamePath).
#pragma once

#include <cstdint>
#include <string>

#include "VnArray.h"
#include "VnString.h"

struct VnSimDrive {
    char16_t letter = u'C';  // upper case
    uint64_t freeBytes = 0;
    uint64_t totalBytes = 0;
    // Fault: every write to the drive fails with ERROR_DISK_FULL (112),
    // whatever free space it reports.
    bool full = false;
};

// A program running on the machine before the installer starts.
struct VnSimRunningProgram {
    VnString path;  // Windows path of its executable
    uint32_t processId = 0;
    // Its top-level window; none when both are empty.
    VnString windowClass;
    VnString windowTitle;
    // Whether the program ends when its window receives WM_CLOSE.
    bool closesOnWmClose = true;
};

struct VnSimSpecialFolder {
    int csidl = 0;   // vnwin::kCsidl...
    VnString path;   // no trailing backslash
};

// Run-time state shared by the parts of a running machine; never stored in
// the facts file. Mutable inside VnSimFacts so that parts holding the facts
// as const can still let simulated time pass when they wait.
struct VnSimRunState {
    bool wow64FsRedirection = true;  // Wow64EnableWow64FsRedirection of the installer's thread
    uint64_t elapsedMilliseconds = 0;  // simulated time since the machine was opened
    uint64_t openedFileTime = 0;       // wall clock when opened, 100 ns units since 1601
};

struct VnSimFacts {
    // ---- Windows ----
    uint32_t osMajor = 10, osMinor = 0, osBuild = 22631;
    VnString servicePack;          // e.g. "Service Pack 3"; empty for none
    uint16_t productType = 1;      // 1 workstation, 2 domain controller, 3 server
    bool is64BitWindows = true;    // the installer process is always 32-bit: IsWow64Process = is64BitWindows
    VnString computerName = VN_LIT(u"SIMULATED-PC");
    VnString userName = VN_LIT(u"User");
    VnString windowsFolder = VN_LIT(u"C:\\Windows");
    // The running installer's own path (GetModuleFileName); the runner sets it.
    VnString installerPath = VN_LIT(u"C:\\Setup\\Setup.exe");
    uint32_t installerProcessId = 4242;

    // ---- Processor: CPUID leaf 1, EDX (bit 23 MMX, bit 26 SSE2) ----
    uint32_t cpuidEdx = 0x178BFBFF;

    // ---- Internet Explorer ----
    // Written at every open to HKLM "Software\Microsoft\Internet Explorer"
    // "Version" in both registry views; empty: the value is removed (no IE).
    // Internet Explorer 10 and 11 report "9.1x..." there, as on real Windows.
    VnString ieVersion = VN_LIT(u"9.11.22631.0");
    bool webBrowserCreatable = true;  // CoCreateInstance(CLSID_WebBrowser) succeeds

    // ---- Drives and folders ----
    VnCoreArray<VnSimDrive> drives;            // default: C: with 200 GB free of 500 GB
    VnCoreArray<VnSimSpecialFolder> folders;   // default: the standard folders of userName

    // ---- Input and rights ----
    VnCoreArray<int> keysDown;   // virtual-key codes held down (GetKeyState high bit)
    bool hklmWritable = true;    // false: creating or writing under HKLM gives ERROR_ACCESS_DENIED

    // ---- Other processes ----
    VnCoreArray<VnSimRunningProgram> runningPrograms;
    VnStringArray heldMutexes;    // held by another process: CreateMutex reports ERROR_ALREADY_EXISTS
    VnStringArray deniedMutexes;  // CreateMutex fails with ERROR_ACCESS_DENIED

    // ---- Faults of files and modules ----
    VnStringArray lockedFiles;         // in use: opening, writing, deleting or moving gives ERROR_SHARING_VIOLATION
    // Read-only when the machine opens. The files part keeps attributes
    // itself from then on (SetFileAttributes may clear the flag).
    VnStringArray readOnlyFiles;
    VnStringArray uncreatableFolders;  // CreateDirectory gives ERROR_ACCESS_DENIED
    VnStringArray unreadableFolders;   // listing the folder's entries gives ERROR_ACCESS_DENIED
    bool moveFileExRefuses = false;    // MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT gives ERROR_ACCESS_DENIED
    VnStringArray missingLibraries;    // file names ("version.dll"): LoadLibrary gives ERROR_MOD_NOT_FOUND
    VnStringArray missingExports;      // "library.dll!ExportName": GetProcAddress gives null
    // The drive fills up (another program takes the space) when a write of
    // this file begins, under its own name or one that adds to it ("x.dll.tmp"):
    // that write and every later write to the drive give ERROR_DISK_FULL.
    VnStringArray diskFullAt;

    mutable VnSimRunState run;

    static constexpr int kCsidlProfile = 0x0028;  // the user's profile folder

    // The facts of a new machine: 64-bit Windows 11, drives and folders filled in.
    static VnSimFacts Defaults();
    // Adds drive C: when there is no drive, and every standard folder that is
    // not listed, derived from userName, windowsFolder and is64BitWindows.
    void FillMissingDefaults();

    // Reads the facts file text; keys that are absent keep their defaults
    // (missing drives and folders are filled in afterwards). False with a
    // message naming the line on anything it cannot read.
    static bool Parse(const std::string& utf8Text, VnSimFacts& facts, std::string& error);
    std::string ToText() const;
    static bool Load(const std::string& hostFile, VnSimFacts& facts, std::string& error);
    bool Save(const std::string& hostFile, std::string& error) const;

    // Look-ups used by the parts.
    const VnSimDrive* FindDrive(char16_t letter) const;  // any case; null when absent
    VnString SpecialFolder(int csidl) const;             // empty when unknown
    bool IsKeyDown(int virtualKey) const;
    bool IsFileLocked(const VnString& path) const { return ListHasPath(lockedFiles, path); }
    bool IsReadOnlyAtStart(const VnString& path) const { return ListHasPath(readOnlyFiles, path); }
    bool IsFolderUncreatable(const VnString& path) const { return ListHasPath(uncreatableFolders, path); }
    bool IsFolderUnreadable(const VnString& path) const { return ListHasPath(unreadableFolders, path); }
    bool FillsDiskWhenWritten(const VnString& path) const;
    bool IsLibraryMissing(const VnString& fileName) const;  // compares the file name part only
    bool IsExportMissing(const VnString& fileName, const char* exportName) const;

    // Simulated time: a clock that moves only when a part lets time pass
    // (Sleep, a wait that times out) and by 1 ms at every reading, so that
    // polling loops end.
    uint64_t TickCount64() const;
    uint64_t FileTimeNow() const;
    void LetTimePass(uint64_t milliseconds) const { run.elapsedMilliseconds += milliseconds; }

    // Windows paths equal without regard to case, "\\?\" and trailing backslashes.
    static bool SamePath(const VnString& a, const VnString& b);
    static bool ListHasPath(const VnStringArray& list, const VnString& path);
};
