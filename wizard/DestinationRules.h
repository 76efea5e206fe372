// The rules a program folder must meet, in the order they are checked, and
// the message box that tells the user which one the folder broke.
//
// The typed destination is first made absolute and canonical (see
// DestinationPath.h); the rules then judge that form, split into its drive
// part (the drive letter and colon, empty for a share path) and its folder
// part (the rest, without leading backslashes).
#pragma once

#include <cstdint>

#include "InstallOptions.h"
#include "VnArray.h"
#include "VnString.h"

enum class DestinationRule {
    Accepted = 0,
    Empty,             // 1: no folder at all
    NotAbsolute,       // not a full path of a drive or share ("Tunaro", "C:Tunaro")
    DriveRoot,         // 2: the root of a drive
    WindowsFolder,     // 3: begins with the Windows folder's text
    ProgramFilesRoot,  // 4: the Program Files folder itself
    Occupied,          // 5: an earlier installation's folder, or one of its parents
    PathTooLong,       // an installed file's path would be longer than the program can use
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

// What the rules found: the first rule broken (or Accepted), the canonical
// folder (empty when it could not be made), and, for PathTooLong, the length
// of the longest installed file path the folder would give.
struct DestinationVerdict {
    DestinationRule rule = DestinationRule::Accepted;
    VnString folder;
    int32_t longestInstalledPath = 0;
};

// Judges the typed `destination`; the folder exists afterwards once the
// creation rule was reached and passed. `occupied` holds the folders of
// earlier installations; `longestPayloadPath` is the length of the longest
// file path below the program payload, relative to it.
DestinationVerdict CheckDestination(const VnString& destination, const VnStringArray& occupied,
                                    int32_t longestPayloadPath, IDestinationMachine& machine);

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
// `typed` is the folder as the user gave it (named when it is not absolute).
DestinationMessage DescribeRejection(const DestinationVerdict& verdict, const VnString& typed);
