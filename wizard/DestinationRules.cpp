#include "DestinationRules.h"

#include "DestinationDefaults.h"
#include "DestinationPath.h"
#include "VnDllString.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"
#include "WizardTools.h"

namespace {

class PlatformMachine final : public IDestinationMachine {
public:
    VnString GetWindowsFolder() override { return VnPlatform().System().GetWindowsDirectory(); }
    VnString GetProgramFilesFolder() override { return ProgramFilesFolder(); }
    bool CreateFolderTree(const VnString& folder) override { return VnFileSystem::MakeDirectoryTree(folder); }
    bool GetFreeBytes(const VnString& root, uint64_t& freeBytes) override {
        VnDiskSpace space;
        if (VnPlatform().Files().GetDiskFreeSpace(root, space) != vnwin::kErrorSuccess) return false;
        freeBytes = space.freeToCaller;
        return true;
    }
};

bool HasDriveLetter(const VnString& path) {
    if (path.GetLength() < 2 || path[1] != u':') return false;
    const char16_t letter = path[0];
    return (letter >= u'A' && letter <= u'Z') || (letter >= u'a' && letter <= u'z');
}

// The first characters of `text` equal `prefix`, without regard to case.
bool BeginsWithNoCase(const VnString& text, const VnString& prefix) {
    return text.GetLength() >= prefix.GetLength() &&
           VnString::CompareNoCase(text.View(), prefix.View(), prefix.GetLength()) == 0;
}

bool IsOccupied(const VnString& destination, const VnStringArray& occupied) {
    for (const VnString& folder : occupied) {
        // A folder stored without its trailing backslash still counts as itself.
        if (BeginsWithNoCase(NormaliseFolder(folder), destination)) return true;
    }
    return false;
}

VnString Translated(const VnString& literal) { return VnDllString(literal).Get(); }

}  // namespace

IDestinationMachine& PlatformDestinationMachine() {
    static PlatformMachine machine;
    return machine;
}

DestinationVerdict CheckDestination(const VnString& typed, const VnStringArray& occupied,
                                    int32_t longestPayloadPath, IDestinationMachine& machine) {
    DestinationVerdict verdict;
    auto refuse = [&](DestinationRule rule) {
        verdict.rule = rule;
        return verdict;
    };
    if (!CanonicalDestination(typed, verdict.folder)) return refuse(DestinationRule::NotAbsolute);
    const VnString& destination = verdict.folder;
    if (destination.IsEmpty()) return refuse(DestinationRule::Empty);
    const VnString drive = HasDriveLetter(destination) ? destination.Left(2) : VnString();
    VnString folder = destination.Mid(drive.GetLength());
    folder.TrimLeft(u'\\');
    if (folder.IsEmpty()) return refuse(DestinationRule::DriveRoot);

    const VnString windowsFolder = machine.GetWindowsFolder();
    if (!windowsFolder.IsEmpty() && BeginsWithNoCase(destination, windowsFolder))
        return refuse(DestinationRule::WindowsFolder);
    if (destination.EqualsNoCase(machine.GetProgramFilesFolder())) return refuse(DestinationRule::ProgramFilesRoot);
    if (IsOccupied(destination, occupied)) return refuse(DestinationRule::Occupied);
    verdict.longestInstalledPath = destination.GetLength() + longestPayloadPath;
    if (verdict.longestInstalledPath > kLongestUsablePath) return refuse(DestinationRule::PathTooLong);
    if (!machine.CreateFolderTree(destination)) return refuse(DestinationRule::CannotCreate);

    uint64_t freeBytes = 0;
    if (!drive.IsEmpty() && machine.GetFreeBytes(drive + u"\\", freeBytes) && (freeBytes >> 20) < kMinimumFreeMebibytes)
        return refuse(DestinationRule::LowDiskSpace);
    return verdict;
}

VnStringArray FoldersOfOtherInstallations(const InstallOptions& options, const VnString& installedCopyFolder) {
    VnStringArray others;
    const VnString own = NormaliseFolder(installedCopyFolder);
    for (const VnString& folder : options.OccupiedFolders)
        if (!options.SameVersionInstalled || own.IsEmpty() || !NormaliseFolder(folder).EqualsNoCase(own))
            others.Add(folder);
    return others;
}

DestinationMessage DescribeRejection(const DestinationVerdict& verdict, const VnString& typed) {
    const VnString invalid = Translated(VN_LIT(u"Invalid Destination Folder"));
    const VnString enterNew = Translated(VN_LIT(u"Please enter a new destination folder."));
    const VnString name = wizard_tools::ProductName(0);
    auto invalidFolder = [&](const VnString& reason) {
        return DestinationMessage{invalid, VnString::Format(Translated(reason).View(), name) + enterNew};
    };
    switch (verdict.rule) {
    case DestinationRule::Accepted:
        return {};
    case DestinationRule::Empty:
        return invalidFolder(VN_LIT(u"%s can not be installed to an empty folder.\r\n\r\n"));
    case DestinationRule::NotAbsolute:
        return {invalid, VnString::Format(Translated(VN_LIT(u"%s can not be installed to \"%s\": a destination "
                                                            u"folder must be a full path that begins with a drive "
                                                            u"letter, such as C:\\, or a network share, such as "
                                                            u"\\\\server\\share\\.\r\n\r\n"))
                                              .View(),
                                          name, typed) +
                             enterNew};
    case DestinationRule::DriveRoot:
        return invalidFolder(VN_LIT(u"%s can not be installed to the root of a drive.\r\n\r\n"));
    case DestinationRule::WindowsFolder:
        return invalidFolder(VN_LIT(u"%s can not be installed in the Windows folder.\r\n\r\n"));
    case DestinationRule::ProgramFilesRoot:
        return invalidFolder(VN_LIT(u"%s can not be installed to the root program files folder.\r\n\r\n"));
    case DestinationRule::Occupied:
        return invalidFolder(VN_LIT(u"%s can not be installed where a pre-existing program is installed.\r\n\r\n"));
    case DestinationRule::PathTooLong:
        return {invalid,
                VnString::Format(Translated(VN_LIT(u"The destination folder \"%s\" is too long: the longest path of "
                                                   u"an installed file would be %d characters, and %s can use "
                                                   u"paths of at most %d characters.\r\n\r\n"))
                                     .View(),
                                 verdict.folder, verdict.longestInstalledPath, name, kLongestUsablePath) +
                    Translated(VN_LIT(u"Please enter a shorter destination folder."))};
    case DestinationRule::CannotCreate:
        return {Translated(VN_LIT(u"Error")),
                VnString::Format(Translated(VN_LIT(u"Failed to create %s directory.")).View(),
                                 wizard_tools::ProductName(3))};
    case DestinationRule::LowDiskSpace: {
        const VnString shownName = wizard_tools::ProductName(1);
        return {Translated(VN_LIT(u"Insufficient Disk Space")),
                VnString::Format(
                    Translated(VN_LIT(u"There is not enough free space on this drive to install %s.\r\n\r\n")).View(),
                    shownName) +
                    VnString::Format(
                        Translated(VN_LIT(u"%s installation requires at least 20 MB of free disk space.\r\n\r\n"))
                            .View(),
                        shownName) +
                    Translated(VN_LIT(u"Please select a different drive or free more space on the selected drive."))};
    }
    }
    return {};
}
