#include "OperatingSystem.h"

#include <mutex>

namespace {

constexpr uint32_t kPlatformWindows9x = 1;  // VER_PLATFORM_WIN32_WINDOWS
constexpr uint32_t kPlatformWindowsNT = 2;  // VER_PLATFORM_WIN32_NT

int Windows9xCode(uint32_t minor) {
    if (minor == 0) return kOsWindows95;
    if (minor == 10) return kOsWindows98SecondEdition;
    if (minor == 90) return kOsWindowsMe;
    return minor < 90 ? kOsWindows98 : kOsUnknown;
}

int WindowsNTCode(const VnVersionInfo& v) {
    if (v.major < 4) return kOsUnknown;
    if (v.major == 4) return kOsWindowsNT;
    if (v.major == 5) {
        if (v.minor == 0) return kOsWindows2000;
        if (v.minor == 1) return kOsWindowsXP;
        return kOsWindowsServer2003;
    }
    if (v.major == 6) {
        static constexpr int kCodes[] = {kOsWindowsVista, kOsWindows7, kOsWindows8, kOsWindows81};
        return v.minor <= 3 ? kCodes[v.minor] : kOsWindowsNew;
    }
    if (v.major < 10) return kOsWindowsNew;  // 7.x to 9.x never shipped; newer than 8.1 all the same
    if (v.major == 10 && v.minor == 0) return v.build >= kWindows11FirstBuild ? kOsWindows11 : kOsWindows10;
    return kOsWindowsNew;
}

const char16_t* NameOf(int code) {
    switch (code) {
        case kOsWindows95: return u"Microsoft Windows 95";
        case kOsWindows98:
        case kOsWindows98SecondEdition: return u"Microsoft Windows 98";
        case kOsWindowsMe: return u"Microsoft Windows ME";
        case kOsWindowsNT: return u"Microsoft Windows NT";
        case kOsWindows2000: return u"Microsoft Windows 2000";
        case kOsWindowsXP: return u"Microsoft Windows XP";
        case kOsWindowsServer2003: return u"Microsoft Windows Server 2003";
        case kOsWindowsVista: return u"Microsoft Windows Vista";
        case kOsWindows7: return u"Microsoft Windows 7";
        case kOsWindows8: return u"Microsoft Windows 8";
        case kOsWindows81: return u"Microsoft Windows 8.1";
        case kOsWindows10: return u"Microsoft Windows 10";
        case kOsWindows11: return u"Microsoft Windows 11";
        default: return u"Unknown OS";
    }
}

struct ComputedOperatingSystem {
    bool known = false;
    int code = kOsUnknown;
    VnString name;
};

std::mutex g_osMutex;
ComputedOperatingSystem g_os;

const ComputedOperatingSystem& Computed() {
    std::lock_guard<std::mutex> lock(g_osMutex);
    if (!g_os.known) {
        const VnVersionInfo version = VnPlatform().System().GetVersionEx();
        g_os.code = OperatingSystemCodeFor(version);
        g_os.name = OperatingSystemNameFor(version);
        g_os.known = true;
    }
    return g_os;
}

}  // namespace

int OperatingSystemCodeFor(const VnVersionInfo& version) {
    if (version.platformId == kPlatformWindows9x && version.major == 4) return Windows9xCode(version.minor);
    if (version.platformId == kPlatformWindowsNT) return WindowsNTCode(version);
    return kOsUnknown;
}

VnString OperatingSystemNameFor(const VnVersionInfo& version) {
    int code = OperatingSystemCodeFor(version);
    if (code == kOsWindowsNew) return VnString::Format(u"Microsoft Windows New (%d.%d)", version.major, version.minor);
    return VnString(NameOf(code));
}

int GetOperatingSystemCode() { return Computed().code; }

VnString GetOperatingSystemName() { return Computed().name; }

void ForgetOperatingSystem() {
    std::lock_guard<std::mutex> lock(g_osMutex);
    g_os = ComputedOperatingSystem();
}
