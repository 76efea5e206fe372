#include "SimSystem.h"

#include "SimMachineFile.h"

namespace {
constexpr uint32_t kInstallerThreadId = 4243;
constexpr int16_t kKeyDownState = int16_t(0xFF80);  // high bit set, as GetKeyState reports a held key
}  // namespace

VnSimSystem::VnSimSystem(VnSimFacts& facts, const std::string& machineFolder)
    : facts_(facts), debugLog_(machineFolder + "/debug.log"), random_(std::random_device{}()) {}

VnVersionInfo VnSimSystem::GetVersionEx() {
    VnVersionInfo info;
    info.major = facts_.osMajor;
    info.minor = facts_.osMinor;
    info.build = facts_.osBuild;
    info.servicePack = facts_.servicePack;
    info.productType = facts_.productType;
    return info;
}

bool VnSimSystem::IsWow64Process() { return facts_.is64BitWindows; }

bool VnSimSystem::EnableWow64FsRedirection(bool enable) {
    if (!facts_.is64BitWindows || facts_.IsExportMissing(u"kernel32.dll", "Wow64EnableWow64FsRedirection"))
        return false;
    facts_.run.wow64FsRedirection = enable;
    return true;
}

uint32_t VnSimSystem::CpuidFeaturesEdx() { return facts_.cpuidEdx; }

int16_t VnSimSystem::GetKeyState(int virtualKey) { return facts_.IsKeyDown(virtualKey) ? kKeyDownState : 0; }

VnString VnSimSystem::GetSpecialFolder(int csidl) { return facts_.SpecialFolder(csidl); }

// A 32-bit process is told "system32" on 64-bit Windows too; the files part
// redirects it to SysWOW64.
VnString VnSimSystem::GetSystemDirectory() { return facts_.windowsFolder + u"\\system32"; }

VnString VnSimSystem::GetWindowsDirectory() { return facts_.windowsFolder; }

VnString VnSimSystem::GetModuleFileName() { return facts_.installerPath; }

VnString VnSimSystem::GetUserName() { return facts_.userName; }

VnString VnSimSystem::GetComputerName() { return facts_.computerName; }

uint32_t VnSimSystem::GetCurrentProcessId() { return facts_.installerProcessId; }

uint32_t VnSimSystem::GetCurrentThreadId() { return kInstallerThreadId; }

uint64_t VnSimSystem::GetTickCount64() { return facts_.TickCount64(); }

uint64_t VnSimSystem::GetSystemTimeAsFileTime() { return facts_.FileTimeNow(); }

void VnSimSystem::Sleep(uint32_t milliseconds) { facts_.LetTimePass(milliseconds); }

bool VnSimSystem::CanCreateWebBrowser() { return facts_.webBrowserCreatable; }

VnString VnSimSystem::CreateGuid() {
    uint64_t high = random_(), low = random_();
    // Version 4 (random) with the RFC 4122 variant, as CoCreateGuid makes them.
    high = (high & ~0xF000ull) | 0x4000ull;
    low = (low & ~(0xC0ull << 56)) | (0x80ull << 56);
    return VnString::Format(u"{%08X-%04X-%04X-%04X-%04X%08X}", unsigned(high >> 32), unsigned((high >> 16) & 0xFFFF),
                            unsigned(high & 0xFFFF), unsigned(low >> 48), unsigned((low >> 32) & 0xFFFF),
                            unsigned(low & 0xFFFFFFFF));
}

void VnSimSystem::OutputDebugString(const VnString& text) {
    std::string ignored;
    std::string line = text.ToUtf8();
    if (line.empty() || line.back() != '\n') line += '\n';
    VnAppendMachineFile(debugLog_, line, ignored);
}
