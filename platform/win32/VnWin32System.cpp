#include "VnWin32System.h"

#include <cpuid.h>

#include "VnWin32Text.h"

using vnw32::FromW;
using vnw32::SystemFunction;

namespace {

// The web-browser control {8856F961-340A-11D0-A96B-00C04FD705A2}.
constexpr CLSID kClsidWebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
constexpr DWORD kLongestPath = 32768;  // the longest "\\?\" path plus its zero

// Calls a "fill this buffer" function with a growing buffer until the text fits.
// `fill` returns the length written, or a length >= capacity when too small.
template <class Fill>
VnString GrowingText(Fill fill) {
    for (DWORD capacity = MAX_PATH + 1; capacity <= kLongestPath; capacity *= 2) {
        VnString text;
        wchar_t* buffer = reinterpret_cast<wchar_t*>(text.GetBuffer(int32_t(capacity)));
        DWORD length = fill(buffer, capacity);
        if (length == 0) return VnString();
        if (length < capacity) {
            text.ReleaseBuffer(int32_t(length));
            return text;
        }
        text.ReleaseBuffer(0);
    }
    return VnString();
}

}  // namespace

// GetVersionExW reports 6.2 on Windows 8.1 and later to a program without a
// compatibility manifest; RtlGetVersion (ntdll) always tells the truth, so it
// is asked first and GetVersionExW is only the fallback.
VnVersionInfo VnWin32System::GetVersionEx() {
    OSVERSIONINFOEXW os = {};
    os.dwOSVersionInfoSize = sizeof(os);
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    static const auto rtlGetVersion = SystemFunction<RtlGetVersionFn>(L"ntdll.dll", "RtlGetVersion");
    bool known = rtlGetVersion && rtlGetVersion(&os) == 0;
    if (!known) {
        os = {};
        os.dwOSVersionInfoSize = sizeof(os);
        known = ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&os));
    }
    if (!known) {  // systems before NT 4 SP6 know only the short form
        os = {};
        os.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        known = ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&os));
    }
    VnVersionInfo info;
    if (!known) return info;
    info.major = os.dwMajorVersion;
    info.minor = os.dwMinorVersion;
    info.build = os.dwBuildNumber;
    info.platformId = os.dwPlatformId;
    info.servicePack = FromW(os.szCSDVersion);
    if (os.dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXW) && os.wProductType) info.productType = os.wProductType;
    return info;
}

bool VnWin32System::IsWow64Process() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    static const auto isWow64 = SystemFunction<IsWow64ProcessFn>(L"kernel32.dll", "IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
}

bool VnWin32System::EnableWow64FsRedirection(bool enable) {
    using EnableFn = BOOLEAN(WINAPI*)(BOOLEAN);
    static const auto enableRedirection = SystemFunction<EnableFn>(L"kernel32.dll", "Wow64EnableWow64FsRedirection");
    return enableRedirection && enableRedirection(enable ? TRUE : FALSE);
}

uint32_t VnWin32System::CpuidFeaturesEdx() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) ? edx : 0;
}

int16_t VnWin32System::GetKeyState(int virtualKey) { return ::GetKeyState(virtualKey); }

// Quick Launch has no CSIDL of its own: it lives in the roaming application
// data folder.
VnString VnWin32System::GetSpecialFolder(int csidl) {
    if (csidl == vnwin::kCsidlQuickLaunch) {
        VnString appData = GetSpecialFolder(vnwin::kCsidlAppData);
        return appData.IsEmpty() ? appData : appData + u"\\Microsoft\\Internet Explorer\\Quick Launch";
    }
    wchar_t path[MAX_PATH + 1] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return VnString();
    return vnw32::WithoutTrailingBackslash(FromW(path));
}

VnString VnWin32System::GetSystemDirectory() {
    return GrowingText([](wchar_t* buffer, DWORD capacity) { return DWORD(::GetSystemDirectoryW(buffer, capacity)); });
}

VnString VnWin32System::GetWindowsDirectory() {
    return GrowingText([](wchar_t* buffer, DWORD capacity) { return DWORD(::GetWindowsDirectoryW(buffer, capacity)); });
}

// GetModuleFileNameW returns the capacity itself when it had to truncate.
VnString VnWin32System::GetModuleFileName() {
    return GrowingText([](wchar_t* buffer, DWORD capacity) { return ::GetModuleFileNameW(nullptr, buffer, capacity); });
}

VnString VnWin32System::GetUserName() {
    return GrowingText([](wchar_t* buffer, DWORD capacity) {
        DWORD size = capacity;
        if (::GetUserNameW(buffer, &size)) return size - 1;  // the size counts the zero
        return ::GetLastError() == ERROR_INSUFFICIENT_BUFFER ? capacity : DWORD(0);
    });
}

VnString VnWin32System::GetComputerName() {
    return GrowingText([](wchar_t* buffer, DWORD capacity) {
        DWORD size = capacity;
        if (::GetComputerNameW(buffer, &size)) return size;  // here the size leaves the zero out
        return ::GetLastError() == ERROR_BUFFER_OVERFLOW ? capacity : DWORD(0);
    });
}

uint32_t VnWin32System::GetCurrentProcessId() { return ::GetCurrentProcessId(); }

uint32_t VnWin32System::GetCurrentThreadId() { return ::GetCurrentThreadId(); }

// GetTickCount64 exists from Vista on; before that the 32-bit count is
// widened by counting its wrap-arounds (every 49.7 days).
uint64_t VnWin32System::GetTickCount64() {
    using TickCount64Fn = ULONGLONG(WINAPI*)();
    static const auto tickCount64 = SystemFunction<TickCount64Fn>(L"kernel32.dll", "GetTickCount64");
    if (tickCount64) return tickCount64();
    static uint32_t last = 0, wraps = 0;
    uint32_t now = ::GetTickCount();
    if (now < last) ++wraps;
    last = now;
    return (uint64_t(wraps) << 32) | now;
}

uint64_t VnWin32System::GetSystemTimeAsFileTime() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

void VnWin32System::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

bool VnWin32System::CanCreateWebBrowser() {
    vnw32::ComScope com;
    if (!com.Usable()) return false;
    IUnknown* browser = nullptr;
    HRESULT hr = ::CoCreateInstance(kClsidWebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                    reinterpret_cast<void**>(&browser));
    if (FAILED(hr) || !browser) return false;
    browser->Release();
    return true;
}

VnString VnWin32System::CreateGuid() {
    GUID guid;
    if (FAILED(::CoCreateGuid(&guid))) return VnString();
    wchar_t text[40] = {};
    int length = ::StringFromGUID2(guid, text, 40);  // "{...}" in capitals, with its zero
    return length > 1 ? FromW(text, size_t(length - 1)) : VnString();
}

void VnWin32System::OutputDebugString(const VnString& text) { ::OutputDebugStringW(vnw32::W(text)); }
