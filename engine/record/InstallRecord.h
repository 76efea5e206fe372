// The installation record: what an install did to the machine, enough for the
// uninstaller to undo it. One UTF-8 text file, "VnMediaUninstall.dat" in the
// installation folder, written line by line while the install runs (so an
// install that stops half-way still leaves every line it got to), appended to
// by a later install into the same folder. docs/uninstall-record.md has the
// format; this file turns entries into lines and lines back into entries.
//
// Text only (foundation and the platform's header), so the fuzz target can
// build the reader without the rest of the project.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "VnPlatform.h"
#include "VnString.h"

constexpr char16_t kInstallRecordFileName[] = u"VnMediaUninstall.dat";
constexpr char kInstallRecordHeader[] = "VnInstallRecord\t1\n";

// Earlier: an install of the product into another folder (the entry's path)
// that a later install took over; the lines of its record follow, and the
// uninstaller removes what they name in that folder too.
enum class InstallRecordKind { Install, Folder, File, Key, Value, Link, Component, Earlier };

// The data of a registry value at one moment: absent, or a type and its raw bytes.
struct RecordedValueData {
    bool present = false;
    uint32_t type = 0;
    std::basic_string<uint8_t> bytes;
    bool operator==(const RecordedValueData&) const = default;
};

struct InstallRecordEntry {
    InstallRecordKind kind = InstallRecordKind::Install;
    // Install: the product version. Folder, File, Link, Component, Earlier:
    // a Windows path. Key, Value: the key path below the root.
    VnString path;
    // File: the version text of the file that was replaced ("" when it had
    // none); Component: how it was registered (the kComponent... texts).
    VnString detail;
    bool replaced = false;  // File: a file was there before
    // Key, Value.
    VnRegRoot root = VnRegRoot::LocalMachine;
    uint32_t view = 0;  // 0, or kKeyWow64_32Key / kKeyWow64_64Key
    VnString valueName;
    RecordedValueData before, after;
};

// How a component was registered, so that it is unregistered the same way.
constexpr char16_t kComponentInProcess[] = u"in-process";
constexpr char16_t kComponentRegSvr32[] = u"regsvr32";
constexpr char16_t kComponentRegSvr32x64[] = u"regsvr32-64";
constexpr char16_t kComponentPackageInstaller[] = u"package-installer";

// One line, ending in "\n".
std::string FormatInstallRecordLine(const InstallRecordEntry& entry);

struct InstallRecordText {
    bool headerFound = false;
    std::vector<InstallRecordEntry> entries;
    std::vector<std::string> problems;  // "line N: why", one per line that was left out
};

// Reads a whole record. A missing or wrong header leaves `entries` empty; a
// line without its ending (the last one of an interrupted install) and lines
// that do not read as an entry are left out and named in `problems`.
InstallRecordText ParseInstallRecord(std::string_view text);

// "HKLM", "HKCU", "HKCR", "HKU".
const char* RegistryRootName(VnRegRoot root);
