#include "SimRunSummary.h"

#include <cctype>
#include <cstdio>

#include "InstallRunLog.h"
#include "VnPlatform.h"

namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

}  // namespace

SimRunSummary SummariseRun(VnSimPlatform& machine, const SimMachineSnapshot& before, const SimMachineSnapshot& after,
                           const std::vector<std::string>& programLines, const VnString& setupFolder, double seconds) {
    SimRunSummary summary;
    summary.seconds = seconds;
    const std::string setup = setupFolder.ToUtf8();
    // The installer's own log goes to the user's temporary folder.
    const std::string temp =
        (machine.Facts().SpecialFolder(VnSimFacts::kCsidlProfile) + u"\\AppData\\Local\\Temp\\").ToUtf8();
    for (const auto& [path, state] : after.files) {
        if (state.folder || StartsWithNoCase(path, setup) || StartsWithNoCase(path, temp)) continue;
        const auto old = before.files.find(path);
        if (old == before.files.end() || !(old->second == state)) ++summary.filesInstalled;
    }
    for (const auto& [name, data] : after.values) {
        const auto old = before.values.find(name);
        if (old == before.values.end() || old->second != data) ++summary.registryValuesWritten;
    }
    for (const std::string& line : programLines)
        if (line.find(" start ") != std::string::npos) ++summary.programsStarted;

    // The engine reads the pending renames through the platform.
    VnSetPlatform(&machine);
    summary.filesDeferred = ReplacementsWaitingForRestart().GetSize();
    VnSetPlatform(nullptr);
    return summary;
}

void PrintRunSummary(std::ostream& out, const SimRunSummary& summary) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f s", summary.seconds);
    out << "Summary: " << summary.filesInstalled << " files installed, " << summary.filesDeferred
        << " deferred to the restart, " << summary.registryValuesWritten << " registry values written, "
        << summary.programsStarted << " programs started, " << seconds << "\n";
}
