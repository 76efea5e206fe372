// The rules a program folder must meet, in the order they are checked, and
// the message box that tells the user which one the folder broke.
//
// The destination is split into its drive part (the drive letter and colon,
// empty for a share path) and its folder part (the rest, without leading
// backslashes).
#pragma once

#include <cstdint>

#include "InstallOptions.h"
#include "VnArray.h"
#include "VnString.h"

enum class DestinationRule {
    Accepted = 0,
    Empty,             // 1: no folder at all
    DriveRoot,         // 2: the root of a drive
    WindowsFolder,     // 3: begins with the Windows folder's text
    ProgramFilesRoot,  // 4: the Program Files folder itself
    Occupied,          // 5: an earlier installation's folder, or one of its parents
    CannotCreate,      // 6: the folder cannot be created
    LowDiskSpace,      // 7: less than 30 MiB free on its drive
};

// Below this many whole mebibytes free, a drive is refused (the message
// names 20 MB).
constexpr uint64_t kMinimumFreeMebibytes = 30;

// What the rules ask of the machine.
class IDestinationMachine {
public:
    virtual ~IDestinationMachine() = default;
    // The Windows folder as Windows names it (no trailing backslash).
    virtual VnString GetWindowsFolder() = 0;
    // The Program Files folder, with a trailing backslash.
    virtual VnString GetProgramFilesFolder() = 0;
    // Creates the folder with every missing parent; true when it exists.
    virtual bool CreateFolderTree(const VnString& folder) = 0;
    // Free bytes on the drive whose root is given ("D:\"); false when unknown.
    virtual bool GetFreeBytes(const VnString& root, uint64_t& freeBytes) = 0;
};

// The machine through the platform layer.
IDestinationMachine& PlatformDestinationMachine();

// The first rule `destination` (empty, or a folder ending in one backslash)
// breaks, or Accepted; the folder exists afterwards once rule 6 was reached
// and passed. `occupied` holds the folders of earlier installations.
DestinationRule CheckDestination(const VnString& destination, const VnStringArray& occupied,
                                 IDestinationMachine& machine);

// The occupied folders that count against a destination: those of the
// earlier installations, less the folder of this very version's installed
// copy, so that reinstalling in place is not refused as installing over
// another program.
VnStringArray FoldersOfOtherInstallations(const InstallOptions& options, const VnString& installedCopyFolder);

// The title and text of the message box of a broken rule.
struct DestinationMessage {
    VnString title;
    VnString text;
};
DestinationMessage DescribeRejection(DestinationRule rule);
