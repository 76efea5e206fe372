#include "InstallRunLog.h"

#include "EngineLog.h"
#include "FileCopy.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {

constexpr char16_t kSessionManagerKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr char16_t kPendingRenamesValue[] = u"PendingFileRenameOperations";
constexpr char16_t kNtPrefix[] = u"\\??\\";
constexpr char16_t kReplaceExistingMark = u'!';

// "\??\C:\x" as "C:\x"; any other text unchanged.
VnString WindowsPathOf(VnString ntPath) {
    if (!ntPath.IsEmpty() && ntPath[0] == kReplaceExistingMark) ntPath = ntPath.Mid(1);
    return ntPath.StartsWith(kNtPrefix) ? ntPath.Mid(VnString(kNtPrefix).GetLength()) : ntPath;
}

// The pending renames as (source, target) pairs of Windows paths; a
// deletion has an empty target. An absent value is an empty list.
VnStringArray ReadPendingRenames() {
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    VnRegValue value;
    if (registry.OpenKey(VnRegRoot::LocalMachine, kSessionManagerKey, vnwin::kKeyRead, key) != vnwin::kErrorSuccess)
        return VnStringArray();
    const uint32_t error = registry.QueryValue(key, kPendingRenamesValue, value);
    registry.CloseKey(key);
    if (error != vnwin::kErrorSuccess || value.type != vnwin::kRegMultiSz) return VnStringArray();
    return VnStringArray::Split(value.text.View(), std::u16string_view(u"\0", 1));
}

}  // namespace

VnString DescribeInstallRun(const InstallOptions& o) {
    return VnString::Format(
        u"Options: Silent=%d Upgrade=%d NoAssociations=%d NoDependencies=%d NoUpgrade=%d NoDriver=%d NoRun=%d "
        u"DistributorID=\"%s\" AllowDowngrade=%d ExpressSetup=%d PortableSetup=%d SameVersionInstalled=%d "
        u"OtherVersionInstalled=%d UninstallKeyName=\"%s\" DestinationFolder=\"%s\"",
        o.Silent, o.Upgrade, o.NoAssociations, o.NoDependencies, o.NoUpgrade, o.NoDriver, o.NoRun, o.DistributorID,
        o.AllowDowngrade, o.ExpressSetup, o.PortableSetup, o.SameVersionInstalled, o.OtherVersionInstalled,
        o.UninstallKeyName, o.DestinationFolder);
}

VnStringArray ReplacementsWaitingForRestart() {
    VnStringArray targets;
    const VnStringArray items = ReadPendingRenames();
    for (int32_t i = 0; i + 1 < items.GetSize(); i += 2) {
        const VnString source = WindowsPathOf(items[i]);
        const VnString target = WindowsPathOf(items[i + 1]);
        if (target.IsEmpty() || !source.EqualsNoCase(target + kStagedCopySuffix)) continue;
        bool listed = false;
        for (const VnString& earlier : targets) listed = listed || earlier.EqualsNoCase(target);
        if (!listed) targets.Add(target);
    }
    return targets;
}

VnStringArray DeletionsWaitingForRestart() {
    VnStringArray files;
    const VnStringArray items = ReadPendingRenames();
    for (int32_t i = 0; i + 1 < items.GetSize(); i += 2) {
        const VnString source = WindowsPathOf(items[i]);
        if (items[i + 1].IsEmpty() && source.EndsWithNoCase(VnFileSystem::SetAsideName(VnString()).View()))
            files.Add(source);
    }
    return files;
}

bool InstallNeedsRestart() {
    const InstallOptions& options = InstallOptions::Get();
    return options.RestartRequired || !options.FinalizeInstallList.IsEmpty() ||
           !options.PendingOperations.IsEmpty() || !ReplacementsWaitingForRestart().IsEmpty() ||
           !DeletionsWaitingForRestart().IsEmpty();
}

void LogWorkWaitingForRestart(const VnString& source) {
    const InstallOptions& options = InstallOptions::Get();
    for (const VnString& target : ReplacementsWaitingForRestart())
        EngineLog(source, VnString::Format(u"Replaced at the next restart (in use, could not be copied now): %s",
                                           target));
    for (const VnString& file : DeletionsWaitingForRestart())
        EngineLog(source, VnString::Format(u"Deleted at the next restart (the replaced file was in use): %s", file));
    for (const VnString& entry : options.FinalizeInstallList) {
        const int32_t bar = entry.Find(u'|');
        if (bar < 0) continue;
        const VnString first = entry.Left(bar), second = entry.Mid(bar + 1);
        if (first == u"_DELETEFILE")
            EngineLog(source, VnString::Format(u"Deleted at finalisation after the restart (in use): %s", second));
        else
            EngineLog(source, VnString::Format(u"Staged for finalisation after the restart (could not be copied, "
                                               u"and its replacement at the restart could not be scheduled): %s "
                                               u"from %s",
                                               second, first));
    }
    for (const VnString& entry : options.PendingOperations)
        EngineLog(source, VnString::Format(u"Registered at finalisation after the restart (replaced at the "
                                           u"restart): %s",
                                           entry.Mid(entry.Find(u'|') + 1)));
    EngineLog(source, VnString::Format(u"Restart needed to finish the install: %s",
                                       InstallNeedsRestart() ? u"yes" : u"no"));
}
