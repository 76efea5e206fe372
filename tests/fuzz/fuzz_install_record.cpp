// Any bytes as an installation record: the reader must read it or refuse it
// without crashing, hanging or reading out of bounds; every entry it reads
// must write back to a line that reads to the same entry, and the merged plan
// the uninstaller works from must hold up on it.
// fuzz-include: engine/record platform standins/uninstaller
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "InstallRecord.cpp"
#include "UninstallPlan.cpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const InstallRecordText read = ParseInstallRecord(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read.headerFound && !read.entries.empty()) std::abort();
    std::string again = kInstallRecordHeader;
    for (const InstallRecordEntry& entry : read.entries) again += FormatInstallRecordLine(entry);
    const InstallRecordText reread = ParseInstallRecord(again);
    if (!reread.problems.empty() || reread.entries.size() != read.entries.size()) std::abort();
    for (size_t i = 0; i < read.entries.size(); ++i) {
        const InstallRecordEntry &a = read.entries[i], &b = reread.entries[i];
        if (a.kind != b.kind || a.path != b.path || a.detail != b.detail || a.replaced != b.replaced ||
            a.root != b.root || a.view != b.view || a.valueName != b.valueName || !(a.before == b.before) ||
            !(a.after == b.after))
            std::abort();
    }
    const UninstallPlan plan = PlanUninstall(read.entries);
    if (plan.files.size() + plan.folders.size() + plan.links.size() + plan.keys.size() + plan.values.size() +
            plan.components.size() > read.entries.size())
        std::abort();
    return 0;
}
