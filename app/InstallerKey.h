// CInstallerKey: the per-version "Installer" key, HKEY_CURRENT_USER
// "Software\V. Arnel\Tunaro <major version>\Installer", where the installer
// keeps what it needs again on a later run. It is reached through the tools
// library's property store, which opens and closes the key for every access:
// a missing key or value reads as the documented default, and the first write
// creates the key.
//
// Each value has its own typed accessor, so that every reader and writer uses
// the same name and type.
#pragma once

#include <cstdint>
#include <memory>

#include "ToolsInterface.h"
#include "VnString.h"

// The value names, exactly as they are stored.
namespace installer_values {
constexpr char16_t kInstallDirectory[] = u"Install Directory";
constexpr char16_t kDistributorID[] = u"Distributor ID";
constexpr char16_t kRunAutoInstall[] = u"Run Auto Install";
constexpr char16_t kCreateStartMenu[] = u"Create Start Menu";
constexpr char16_t kStartMenuVersion[] = u"Start Menu Version";
constexpr char16_t kInstallCount[] = u"Install - Install Count";
constexpr char16_t kPendingInstall[] = u"Release Channel - Pending Install";
constexpr char16_t kPendingInstallVersion[] = u"Release Channel - Pending Install Version";
constexpr char16_t kPendingInstallRunCount[] = u"Release Channel - Pending Install Run Count";
constexpr char16_t kPendingInstallInstallCount[] = u"Release Channel - Pending Install Install Count";
}  // namespace installer_values

// The store name of the key, and of the subkey holding the operations pending
// for the next start.
constexpr char16_t kInstallerStoreName[] = u"Installer";
constexpr char16_t kInstallerFinalizeStoreName[] = u"Installer\\Finalize";

class CInstallerKey {
public:
    // The current version's key, through the loaded tools library (VnTools()).
    CInstallerKey();
    // The current version's key through `tools`; none when `tools` is null.
    explicit CInstallerKey(ToolsInterface* tools);
    // The key of another version number (an earlier installation's).
    static CInstallerKey ForVersion(ToolsInterface* tools, int majorVersion);

    // False when no tools library or product information was there: every
    // read then gives its default and every write does nothing.
    bool IsAvailable() const { return store_ != nullptr; }
    // "HKEY_CURRENT_USER\Software\..."; empty when not available.
    VnString KeyPath() const;

    // The installation folder of the last install; stored as a folder, with
    // exactly one trailing backslash.
    VnString GetInstallDirectory() const;
    bool SetInstallDirectory(const VnString& folder);

    VnString GetDistributorID() const;
    bool SetDistributorID(const VnString& distributorID);

    // Start the next install by itself once the auto-install countdown ran out.
    bool GetRunAutoInstall() const;
    bool SetRunAutoInstall(bool runAutoInstall);

    // The shortcut page's Start-menu choice; `defaultValue` when none is stored.
    int32_t GetCreateStartMenu(int32_t defaultValue) const;
    bool SetCreateStartMenu(int32_t choice);

    // The version of the Start-menu shortcuts last made; 0 when none.
    int32_t GetStartMenuVersion() const;
    bool SetStartMenuVersion(int32_t version);

    // Finished installs so far; a missing value counts as 0.
    int32_t GetInstallCount() const;
    bool SetInstallCount(int32_t count);

    // The program's pending install of its release channel: two texts and two
    // counters. The counters are deleted rather than emptied.
    VnString GetPendingInstall() const;
    bool SetPendingInstall(const VnString& text);
    VnString GetPendingInstallVersion() const;
    bool SetPendingInstallVersion(const VnString& text);
    bool ReadPendingInstallRunCount(int32_t& count) const;
    bool SetPendingInstallRunCount(int32_t count);
    bool DeletePendingInstallRunCount();
    bool ReadPendingInstallInstallCount(int32_t& count) const;
    bool SetPendingInstallInstallCount(int32_t count);
    bool DeletePendingInstallInstallCount();

private:
    explicit CInstallerKey(std::unique_ptr<ToolsPropertyStore> store) : store_(std::move(store)) {}

    VnString GetText(const char16_t* name) const;
    bool SetText(const char16_t* name, const VnString& text, uint32_t flags = 0);
    int32_t GetNumber(const char16_t* name, int32_t defaultValue) const;
    bool ReadNumber(const char16_t* name, int32_t& value) const;
    bool SetNumber(const char16_t* name, int32_t value);
    bool Delete(const char16_t* name);

    std::unique_ptr<ToolsPropertyStore> store_;
};
