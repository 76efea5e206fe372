// The installer's only door to Windows. Every operation is shaped like the
// Windows call it stands for and reports the Windows error code it would set
// (0 = ERROR_SUCCESS) instead of a global last-error value.
//
// Two backends implement it: win32 (the real API) and sim (a Windows machine
// simulated inside a folder). The active backend is installed once at start-up
// with VnSetPlatform and reached everywhere through VnPlatform().
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "VnArray.h"
#include "VnString.h"

// ---- Windows constants the callers use (values as Windows defines them) ----
namespace vnwin {
constexpr uint32_t kErrorSuccess = 0;
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorNotEnoughMemory = 8;
constexpr uint32_t kErrorSharingViolation = 32;
constexpr uint32_t kErrorHandleDiskFull = 39;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorDiskFull = 112;
constexpr uint32_t kErrorModNotFound = 126;
constexpr uint32_t kErrorProcNotFound = 127;
constexpr uint32_t kErrorDirNotEmpty = 145;
constexpr uint32_t kErrorAlreadyExists = 183;
constexpr uint32_t kErrorMoreData = 234;
constexpr uint32_t kErrorNoMoreItems = 259;
constexpr uint32_t kErrorFilenameExcedRange = 206;
constexpr uint32_t kErrorBadPathname = 161;   // a registry path that begins with a backslash
constexpr uint32_t kErrorKeyDeleted = 1018;   // the key behind a registry handle was deleted

// Registry
constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kKeyWrite = 0x20006;
constexpr uint32_t kKeyReadWrite = 0x2001F;
constexpr uint32_t kKeyAllAccess = 0xF003F;
constexpr uint32_t kKeyWow64_64Key = 0x0100;
constexpr uint32_t kKeyWow64_32Key = 0x0200;
constexpr uint32_t kRegNone = 0, kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4, kRegMultiSz = 7,
                   kRegQword = 11;

// Files
constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFF;
constexpr uint32_t kFileAttributeReadOnly = 0x01, kFileAttributeHidden = 0x02, kFileAttributeSystem = 0x04,
                   kFileAttributeDirectory = 0x10, kFileAttributeArchive = 0x20, kFileAttributeNormal = 0x80,
                   kFileAttributeReparsePoint = 0x400;  // a link (symbolic link, junction)
constexpr uint32_t kMoveFileReplaceExisting = 0x1, kMoveFileCopyAllowed = 0x2, kMoveFileDelayUntilReboot = 0x4;

// Processes and waits
constexpr uint32_t kWaitObject0 = 0, kWaitTimeout = 258, kWaitFailed = 0xFFFFFFFF, kInfinite = 0xFFFFFFFF;
constexpr uint32_t kNormalPriorityClass = 0x20;
constexpr uint32_t kStillActive = 259;

// Messages and keys
constexpr uint32_t kWmClose = 0x0010;
constexpr int kVkShift = 0x10, kVkControl = 0x11;
constexpr int kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5, kIdYes = 6, kIdNo = 7;
constexpr uint32_t kMbOk = 0x0, kMbOkCancel = 0x1, kMbYesNo = 0x4, kMbRetryCancel = 0x5, kMbIconError = 0x10,
                   kMbIconQuestion = 0x20, kMbIconWarning = 0x30, kMbIconInformation = 0x40;

// Special folders (CSIDL values)
constexpr int kCsidlDesktop = 0x0000, kCsidlPrograms = 0x0002, kCsidlPersonal = 0x0005, kCsidlStartMenu = 0x000B,
              kCsidlMyMusic = 0x000D, kCsidlMyVideo = 0x000E, kCsidlDesktopDirectory = 0x0010, kCsidlFonts = 0x0014,
              kCsidlCommonStartMenu = 0x0016, kCsidlCommonPrograms = 0x0017, kCsidlCommonDesktopDirectory = 0x0019,
              kCsidlAppData = 0x001A, kCsidlLocalAppData = 0x001C, kCsidlCommonAppData = 0x0023,
              kCsidlWindows = 0x0024, kCsidlSystem = 0x0025, kCsidlProgramFiles = 0x0026, kCsidlMyPictures = 0x0027,
              kCsidlSystemX86 = 0x0029, kCsidlProgramFilesX86 = 0x002A, kCsidlCommonMusic = 0x0035,
              kCsidlCommonPictures = 0x0036, kCsidlCommonVideo = 0x0037, kCsidlQuickLaunch = 0x7F00;

constexpr uint32_t kShcneAssocChanged = 0x08000000;

// Windows sockets (WSAGetLastError values)
constexpr uint32_t kWsaConnReset = 10054, kWsaTimedOut = 10060, kWsaConnRefused = 10061, kWsaHostNotFound = 11001;
}  // namespace vnwin

// Predefined registry roots, with the values Windows gives them.
enum class VnRegRoot : uint32_t {
    ClassesRoot = 0x80000000,
    CurrentUser = 0x80000001,
    LocalMachine = 0x80000002,
    Users = 0x80000003,
};

// An open registry key; 0 is no key. Opened keys must be closed with CloseKey.
using VnRegKey = uintptr_t;
// Any other kernel object (process, mutex, mapping, module); 0 is none.
using VnHandle = uintptr_t;

struct VnRegValue {
    uint32_t type = vnwin::kRegNone;
    VnString text;               // REG_SZ, REG_EXPAND_SZ; REG_MULTI_SZ joined with u'\0'
    uint64_t number = 0;         // REG_DWORD, REG_QWORD
    std::basic_string<uint8_t> bytes;  // REG_BINARY and any other type: the raw data

    static VnRegValue String(const VnString& s, uint32_t type = vnwin::kRegSz) { VnRegValue v; v.type = type; v.text = s; return v; }
    static VnRegValue Dword(uint32_t n) { VnRegValue v; v.type = vnwin::kRegDword; v.number = n; return v; }
    static VnRegValue Qword(uint64_t n) { VnRegValue v; v.type = vnwin::kRegQword; v.number = n; return v; }
};

class IVnRegistry {
public:
    virtual ~IVnRegistry() = default;
    // RegOpenKeyExW / RegCreateKeyExW. `access` carries the WOW64 view bits.
    virtual uint32_t OpenKey(VnRegRoot root, const VnString& subKey, uint32_t access, VnRegKey& key) = 0;
    virtual uint32_t OpenSubKey(VnRegKey parent, const VnString& subKey, uint32_t access, VnRegKey& key) = 0;
    virtual uint32_t CreateKey(VnRegRoot root, const VnString& subKey, uint32_t access, VnRegKey& key,
                               bool* created = nullptr) = 0;
    virtual uint32_t CreateSubKey(VnRegKey parent, const VnString& subKey, uint32_t access, VnRegKey& key,
                                  bool* created = nullptr) = 0;
    virtual void CloseKey(VnRegKey key) = 0;
    // RegQueryValueExW / RegSetValueExW; an empty name is the default value.
    virtual uint32_t QueryValue(VnRegKey key, const VnString& name, VnRegValue& value) = 0;
    virtual uint32_t SetValue(VnRegKey key, const VnString& name, const VnRegValue& value) = 0;
    virtual uint32_t DeleteValue(VnRegKey key, const VnString& name) = 0;
    // The same with the data exactly as Windows keeps it, whatever the type
    // (no terminating zero added or removed), for copying values unchanged.
    virtual uint32_t QueryRawValue(VnRegKey key, const VnString& name, uint32_t& type,
                                   std::basic_string<uint8_t>& data) = 0;
    virtual uint32_t SetRawValue(VnRegKey key, const VnString& name, uint32_t type,
                                 const std::basic_string<uint8_t>& data) = 0;
    // RegDeleteKeyW (the subkey must have no subkeys) and a whole-tree delete.
    virtual uint32_t DeleteKey(VnRegKey parent, const VnString& subKey, uint32_t viewAccess = 0) = 0;
    virtual uint32_t DeleteTree(VnRegKey parent, const VnString& subKey, uint32_t viewAccess = 0) = 0;
    // RegEnumKeyW / RegEnumValueW in index order; kErrorNoMoreItems past the end.
    virtual uint32_t EnumKey(VnRegKey key, uint32_t index, VnString& name) = 0;
    virtual uint32_t EnumValue(VnRegKey key, uint32_t index, VnString& name, VnRegValue* value = nullptr) = 0;
};

struct VnFindData {
    VnString name;  // file name only
    uint32_t attributes = 0;
    uint64_t size = 0;
    uint64_t lastWriteTime = 0;  // FILETIME as 100 ns units since 1601
};

struct VnDiskSpace {
    uint64_t freeToCaller = 0;
    uint64_t total = 0;
    uint64_t totalFree = 0;
};

class IVnFiles {
public:
    virtual ~IVnFiles() = default;
    // Paths are Windows paths ("C:\dir\file", "\\?\C:\...", "\\server\share\...").
    virtual uint32_t GetFileAttributes(const VnString& path) = 0;  // kInvalidFileAttributes when missing
    virtual uint32_t GetAttributesError(const VnString& path) = 0;  // the error behind a failed GetFileAttributes
    virtual uint32_t SetFileAttributes(const VnString& path, uint32_t attributes) = 0;
    virtual uint32_t CreateDirectory(const VnString& path) = 0;
    virtual uint32_t RemoveDirectory(const VnString& path) = 0;
    virtual uint32_t DeleteFile(const VnString& path) = 0;
    virtual uint32_t CopyFile(const VnString& from, const VnString& to, bool failIfExists) = 0;
    virtual uint32_t MoveFile(const VnString& from, const VnString& to) = 0;
    // MoveFileExW; with kMoveFileDelayUntilReboot the operation is queued as a
    // pending rename (`to` empty: delete) and carried out at the next restart.
    virtual uint32_t MoveFileEx(const VnString& from, const VnString& to, uint32_t flags) = 0;
    // CreateSymbolicLinkW (`folder`: a folder link). The link lists with
    // kFileAttributeReparsePoint; RemoveDirectory of a folder link (DeleteFile
    // of a file link) removes the link, never what it points to.
    virtual uint32_t CreateSymbolicLink(const VnString& link, const VnString& target, bool folder) = 0;
    // FindFirstFileW/FindNextFileW over a pattern such as "C:\dir\*" (no "." or "..").
    virtual uint32_t FindFiles(const VnString& pattern, VnCoreArray<VnFindData>& found) = 0;
    virtual uint32_t GetFileSize(const VnString& path, uint64_t& size) = 0;
    // Whole-file and ranged access (CreateFileW + ReadFile/WriteFile).
    virtual uint32_t ReadFile(const VnString& path, std::string& bytes, uint64_t offset = 0,
                              uint64_t maxBytes = UINT64_MAX) = 0;
    virtual uint32_t WriteFile(const VnString& path, const std::string& bytes) = 0;
    // A file written piece by piece, so that a long download never has to be
    // held in memory: CreateFileW with GENERIC_WRITE, no sharing (with
    // `shareRead`: FILE_SHARE_READ, so that others may read it meanwhile) and
    // CREATE_ALWAYS; WriteFile of each piece; CloseHandle.
    virtual uint32_t CreateFileForWriting(const VnString& path, VnHandle& file, bool shareRead = false) = 0;
    virtual uint32_t WriteToFile(VnHandle file, const void* data, uint32_t size) = 0;
    virtual void CloseFile(VnHandle file) = 0;
    virtual uint32_t GetDiskFreeSpace(const VnString& rootPath, VnDiskSpace& space) = 0;
    // The file version from the version resource ("VS_FIXEDFILEINFO" words
    // MS, LS), through Version.dll's GetFileVersionInfoW/VerQueryValueW.
    // kErrorModNotFound when Version.dll cannot be loaded.
    virtual uint32_t GetFileVersion(const VnString& path, uint32_t& versionMS, uint32_t& versionLS) = 0;
    // The PE machine of an executable or library (0x14C i386, 0x8664 x64; 0 when not a PE file).
    virtual uint16_t GetPeMachine(const VnString& path) = 0;
    // GetPrivateProfileStringW: the value of `key` in `section` of the INI
    // file at `path` (names compared without case, surrounding blanks and one
    // pair of enclosing quotes dropped), else `defaultValue`; cut to
    // `bufferChars` - 1 characters, as the caller's buffer would.
    virtual VnString GetPrivateProfileString(const VnString& path, const VnString& section, const VnString& key,
                                             const VnString& defaultValue, uint32_t bufferChars) = 0;
};

struct VnVersionInfo {
    uint32_t major = 0, minor = 0, build = 0, platformId = 2;
    VnString servicePack;
    uint16_t productType = 1;  // 1 workstation, 2 domain controller, 3 server
};

class IVnSystem {
public:
    virtual ~IVnSystem() = default;
    virtual VnVersionInfo GetVersionEx() = 0;
    virtual bool IsWow64Process() = 0;  // this process is 32-bit on 64-bit Windows
    // Wow64EnableWow64FsRedirection for the calling thread; returns false when unavailable.
    virtual bool EnableWow64FsRedirection(bool enable) = 0;
    virtual uint32_t CpuidFeaturesEdx() = 0;  // CPUID leaf 1, EDX
    virtual int16_t GetKeyState(int virtualKey) = 0;
    virtual VnString GetSpecialFolder(int csidl) = 0;  // no trailing backslash; empty when unknown
    virtual VnString GetSystemDirectory() = 0;          // no trailing backslash
    virtual VnString GetWindowsDirectory() = 0;
    virtual VnString GetModuleFileName() = 0;           // the running installer's own path
    virtual VnString GetUserName() = 0;
    virtual VnString GetComputerName() = 0;
    virtual uint32_t GetCurrentProcessId() = 0;
    virtual uint32_t GetCurrentThreadId() = 0;
    virtual uint64_t GetTickCount64() = 0;      // milliseconds
    virtual uint64_t GetSystemTimeAsFileTime() = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
    virtual bool CanCreateWebBrowser() = 0;  // CoCreateInstance(CLSID_WebBrowser) succeeded and was released
    virtual VnString CreateGuid() = 0;       // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
    virtual void OutputDebugString(const VnString& text) = 0;
};

struct VnStartOptions {
    uint32_t priorityClass = vnwin::kNormalPriorityClass;
    bool captureOutput = false;  // CreateProcessW with a pipe for standard output
    bool hidden = false;
    VnString verb;               // ShellExecuteExW verb; empty = default
    VnString workingFolder;
};

// The exception code CallLibraryEntry reports for a stand-in entry that threw.
constexpr uint32_t kVnCrashedEntry = 0xE0000001u;

class IVnProcesses {
public:
    virtual ~IVnProcesses() = default;
    // ShellExecuteExW (or CreateProcessW when capturing output). On success
    // `process` is a handle to wait on (0 when Windows gave none, e.g. a URL).
    virtual uint32_t StartProgram(const VnString& program, const VnString& parameters, const VnStartOptions& options,
                                  VnHandle& process) = 0;
    // WaitForSingleObject on a process: kWaitObject0, kWaitTimeout or kWaitFailed.
    virtual uint32_t WaitForProcess(VnHandle process, uint32_t milliseconds) = 0;
    virtual uint32_t TerminateProcess(VnHandle process, uint32_t exitCode) = 0;
    virtual uint32_t GetExitCodeProcess(VnHandle process, uint32_t& exitCode) = 0;
    // Reads what the child wrote to its standard output so far (captureOutput only).
    virtual uint32_t ReadProcessOutput(VnHandle process, std::string& appended) = 0;
    virtual void CloseHandle(VnHandle handle) = 0;

    // Named objects. CreateMutex reports the last error right after the call
    // (kErrorAlreadyExists when another process holds it).
    virtual VnHandle CreateMutex(const VnString& name, uint32_t& lastError) = 0;
    // CreateFileMappingW + MapViewOfFile of a named block of `size` bytes.
    virtual void* CreateSharedMemory(const VnString& name, uint32_t size, VnHandle& mapping, bool& existed) = 0;
    virtual void* OpenSharedMemory(const VnString& name, uint32_t size, VnHandle& mapping) = 0;
    virtual void CloseSharedMemory(VnHandle mapping, void* view) = 0;

    // Modules: LoadLibraryExW / GetProcAddress / FreeLibrary.
    virtual VnHandle LoadLibrary(const VnString& path, uint32_t flags, uint32_t& error) = 0;
    virtual void* GetProcAddress(VnHandle module, const char* name) = 0;
    virtual void FreeLibrary(VnHandle module) = 0;
    // Calls an entry of a loaded library that takes nothing and returns an
    // HRESULT (DllRegisterServer; stdcall on 32-bit Windows). 0 with the
    // entry's result, or the code of the exception that ended it (0xC0000005
    // for an access violation): a crash inside the library ends the call,
    // not the program. The simulated machine's stand-in entries crash by
    // throwing (kVnCrashedEntry).
    virtual uint32_t CallLibraryEntry(void* entry, int32_t& result);

    // Windows of other programs.
    virtual uintptr_t FindWindow(const VnString& className, const VnString& title) = 0;
    virtual bool PostMessage(uintptr_t window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

struct VnShellLink {
    VnString target, arguments, workingFolder, description, iconPath;
    int iconIndex = 0;
};

class IVnShell {
public:
    virtual ~IVnShell() = default;
    virtual void ChangeNotify(uint32_t eventId, uint32_t flags) = 0;
    // IShellLinkW + IPersistFile::Save.
    virtual uint32_t CreateShellLink(const VnString& linkPath, const VnShellLink& link) = 0;
    // MessageBoxW with no owner: returns the button pressed (kIdOk ...).
    virtual int MessageBox(const VnString& text, const VnString& title, uint32_t type) = 0;
    // A modal box with no owner and one to three buttons of its own labels,
    // left to right: Enter presses the first, Esc and the close box the last.
    // Returns the index of the button pressed; -1 when the box could not be shown.
    virtual int MessageBoxWithButtons(const VnString& text, const VnString& title, const VnStringArray& labels) = 0;
    // ExitWindowsEx after enabling the shutdown privilege.
    virtual uint32_t RestartWindows(uint32_t flags, uint32_t reason) = 0;
};

// A TCP connection (Windows sockets); 0 is none.
using VnSocket = uintptr_t;

class IVnNetwork {
public:
    virtual ~IVnNetwork() = default;
    // getaddrinfo and a connect that gives up after `timeoutMs` (kWsaTimedOut).
    virtual uint32_t Connect(const VnString& host, uint16_t port, uint32_t timeoutMs, VnSocket& socket) = 0;
    // send until every byte is sent.
    virtual uint32_t Send(VnSocket socket, const void* data, uint32_t size) = 0;
    // recv of at most `capacity` bytes, waiting at most `timeoutMs` for them
    // (kWsaTimedOut); `received` 0 means the other side closed the connection.
    virtual uint32_t Receive(VnSocket socket, void* buffer, uint32_t capacity, uint32_t timeoutMs,
                             uint32_t& received) = 0;
    virtual void CloseSocket(VnSocket socket) = 0;
};

class IVnPlatform {
public:
    virtual ~IVnPlatform() = default;
    virtual const char* BackendName() const = 0;  // "win32" or "sim"
    virtual IVnRegistry& Registry() = 0;
    virtual IVnFiles& Files() = 0;
    virtual IVnSystem& System() = 0;
    virtual IVnProcesses& Processes() = 0;
    virtual IVnShell& Shell() = 0;
    virtual IVnNetwork& Network() = 0;
};

// The active backend. VnSetPlatform does not take ownership.
IVnPlatform& VnPlatform();
void VnSetPlatform(IVnPlatform* platform);
bool VnHasPlatform();
