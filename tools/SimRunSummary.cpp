#include "SimRunSummary.h"

#include <cctype>
#include <cstdio>

#include "InstallOptions.h"
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

// Files staged for finalisation: the "Install File (n)" entries of every
// product's "Installer\Finalize" list, or, before the list is written, those
// still in InstallOptions.
int CountStagedFiles(VnSimPlatform& machine) {
    IVnRegistry& registry = machine.Registry();
    int listed = 0;
    VnRegKey company = 0;
    if (registry.OpenKey(VnRegRoot::CurrentUser, u"Software\\V. Arnel", vnwin::kKeyRead, company) == 0) {
        VnString product, value;
        for (uint32_t i = 0; registry.EnumKey(company, i, product) == 0; ++i) {
            VnRegKey list = 0;
            if (registry.OpenSubKey(company, product + u"\\Installer\\Finalize", vnwin::kKeyRead, list) != 0) continue;
            for (uint32_t j = 0; registry.EnumValue(list, j, value) == 0; ++j)
                if (value.StartsWithNoCase(u"Install File")) ++listed;
            registry.CloseKey(list);
        }
        registry.CloseKey(company);
    }
    for (const VnString& entry : InstallOptions::Get().FinalizeInstallList) {
        const int32_t bar = entry.Find(u'|');
        if (bar > 0 && bar + 1 < entry.GetLength() && entry.Left(bar) != u"_DELETEFILE") ++listed;
    }
    return listed;
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

    // The engine reads the pending renames through the platform; each file
    // once, however many passes deferred it. Staged files wait too.
    VnSetPlatform(&machine);
    summary.filesDeferred = ReplacementsWaitingForRestart().GetSize() + CountStagedFiles(machine);
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
