#include "ProgramResourceFiles.h"

#include "InstallOptions.h"
#include "ProcessInformationBlock.h"

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
