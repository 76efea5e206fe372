#include "ProgramResourceFiles.h"

#include "InstallOptions.h"
#include "ProcessInformationBlock.h"
#include "VnFileSystem.h"

VnString FindResourceFile(const VnString& dataFolder, ProgramResourceKind kind, const VnString& name) {
    if (dataFolder.IsEmpty() || name.IsEmpty()) return VnString();
    const char16_t* const artFolders[] = {u"Custom Art\\", u"Default Art\\"};
    const char16_t* const resourceFolders[] = {u"Custom Resources\\", u"Default Resources\\"};
    for (const char16_t* folder : kind == ProgramResourceKind::Art ? artFolders : resourceFolders) {
        const VnString path = dataFolder + folder + name;
        if (VnFileSystem::FileExists(path)) return path;
    }
    return VnString();
}

namespace {
VnString WithBackslash(VnString folder) {
    if (!folder.IsEmpty() && !folder.EndsWith(u"\\")) folder += u'\\';
    return folder;
}
}  // namespace

VnString RecordedInstallationFolder() {
    const VnString recorded = ProcessInformationBlock::Get().GetProgramFolder();
    return WithBackslash(recorded.IsEmpty() ? InstallOptions::Get().DestinationFolder : recorded);
}

VnString RecordedProgramDataFolder() {
    VnString folder = WithBackslash(ProcessInformationBlock::Get().GetDataFolder());
    if (folder.IsEmpty()) folder = RecordedInstallationFolder();
    return folder.IsEmpty() ? VnString() : folder + u"Data\\";
}
