// The shell registration's two costs against baselines measured in the same
// run (CPU time, best of five):
//   rows       the built-in table plus 2,000 generated rows applied to a new
//              simulated machine by ApplyRegistryTemplates, against the same
//              writes made directly through the platform interface (keys
//              created, values set, keys closed; AutoPlay rows twice, as the
//              applier writes them under WOW64), expanded and split beforehand
//   catalogue  a 10,000-type catalogue read by CFileTypeCatalogueData (parse,
//              fifteen lists, MIME records) from UTF-16 text, against pugixml
//              building a DOM of the same file from its UTF-8 bytes
// `shell_bench rows` or `shell_bench catalogue` runs one of the two (for a
// profiler); no argument runs both.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "BenchPayload.h"
#include "BuiltInRegistryRows.h"
#include "FileTypeCatalogueReader.h"
#include "RegistryRow.h"
#include "RegistryRowApplier.h"
#include "VnSimPlatform.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRepeats = 5;
constexpr int kGeneratedRows = 2000;
constexpr int kCatalogueTypes = 10000;
constexpr int kParsesPerRun = 20;  // one parse is too short for the CPU clock
constexpr int kMachinesPerRun = 10;  // likewise one table

RegistryTokenValues BenchTokens() {
    RegistryTokenValues values;
    values.installFolder = u"C:\\Program Files (x86)\\Tunaro 33\\";
    values.systemFolder = u"C:\\Windows\\system32\\";
    values.installerFolder = u"C:\\Setup\\";
    values.productName = u"Tunaro";
    values.progIdBase = u"Tunaro.33.0.44";
    values.launcherPath = u"C:\\Program Files (x86)\\Tunaro 33\\Tunaro Launcher.exe";
    values.launcherName = u"Tunaro Launcher.exe";
    values.executableName = u"Tunaro.exe";
    values.findArt = [](const VnString& name) { return u"C:\\Program Files (x86)\\Tunaro 33\\Data\\Default Art\\" + name; };
    return values;
}

VnStringArray BenchRows() {
    VnStringArray rows = BuildBuiltInRegistryRows(true);
    rows.Add(u"HKEY_CURRENT_USER");
    for (int i = 0; i < kGeneratedRows; ++i) {
        const VnString key = VnString::Format(u"Software\\Bench\\Group %d\\[PRODUCTNAME] Key %d", i / 50, i);
        rows.Add(i % 4 == 3 ? key + VnString::Format(u"|Number|%d|DWORD|MODIFY", i)
                            : key + VnString::Format(u"|Value %d|\"[INSTALLDIR]File %d.ico\",1|STRING|MODIFY", i, i));
    }
    return rows;
}

struct DirectWrite {
    VnRegRoot root;
    RegistryRow row;
    bool twice;
};

// The writes the rows stand for, worked out outside the timing.
std::vector<DirectWrite> DirectWrites(const VnStringArray& rows, const RegistryTokenValues& values) {
    std::vector<DirectWrite> writes;
    RegistryRowRoot root = RegistryRowRoot::ClassesRoot;
    for (const VnString& text : rows) {
        if (ParseRegistryRootLine(text, root)) continue;
        VnString expanded = text;
        ExpandRegistryTokens(expanded, values);
        DirectWrite write{VnRegRoot(uint32_t(root)), {}, text.Contains(kAutoPlayToken)};
        if (SplitRegistryRow(expanded, write.row)) writes.push_back(write);
    }
    return writes;
}

void WriteDirectly(const std::vector<DirectWrite>& writes) {
    IVnRegistry& registry = VnPlatform().Registry();
    for (const DirectWrite& write : writes) {
        for (int pass = 0; pass < (write.twice ? 2 : 1); ++pass) {
            VnRegKey key = 0;
            if (registry.CreateKey(write.root, write.row.key,
                                   vnwin::kKeyReadWrite | (pass ? vnwin::kKeyWow64_64Key : 0), key) != 0)
                continue;
            registry.SetValue(key, write.row.valueName,
                              write.row.isString ? VnRegValue::String(write.row.data)
                                                 : VnRegValue::Dword(uint32_t(ParseRegistryRowNumber(write.row.data))));
            registry.CloseKey(key);
        }
    }
}

Timing OnNewMachine(const fs::path& folder, const std::function<void()>& work) {
    return MeasureOnNewMachine(folder, work, "shell_bench");
}

std::string MakeCatalogue() {
    static const char* const kinds[] = {"Audio", "Image", "Video", "Data", "Playlist", "Unknown"};
    static const char* const groups[] = {"PMTypes", "IMGTypes", "DXTypes", "RPTypes", "QTTypes", "OTTypes"};
    std::string descriptions[6], engines[6], mime;
    for (int i = 0; i < kCatalogueTypes; ++i) {
        const std::string n = std::to_string(i);
        descriptions[i % 6] += "Media Type " + n + " (t" + n + "a;t" + n + "b);";
        engines[i % 6] += "t" + n + "a;t" + n + "b;";
        mime += "      <Type Name=\"t" + n + "a\">audio/x-t" + n + ";audio/t" + n + "</Type>\r\n";
    }
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<PMFA version=\"1.0\">\r\n  <DescriptionTypes>\r\n";
    for (int k = 0; k < 6; ++k) text += std::string("    <") + kinds[k] + ">" + descriptions[k] + "</" + kinds[k] + ">\r\n";
    text += "  </DescriptionTypes>\r\n  <DefaultFileTypes>t1a;t2a;t3a</DefaultFileTypes>\r\n";
    for (int g = 0; g < 6; ++g) text += std::string("  <") + groups[g] + ">" + engines[g] + "</" + groups[g] + ">\r\n";
    return text + "  <MimeAssociations>\r\n    <Audio>\r\n" + mime + "    </Audio>\r\n  </MimeAssociations>\r\n</PMFA>\r\n";
}

void Report(const char* name, const Timing& timing, const Timing& baseline, const char* baselineName) {
    std::printf("%-44s CPU %8.4f s  %5.2fx %s\n", name, timing.cpu, timing.cpu / baseline.cpu, baselineName);
}

void RunRows(const fs::path& work) {
    const RegistryTokenValues values = BenchTokens();
    const VnStringArray rows = BenchRows();
    const std::vector<DirectWrite> writes = DirectWrites(rows, values);
    Timing direct, applied;
    for (int run = 0; run < kRepeats; ++run) {
        Timing directRun{0, 0}, appliedRun{0, 0};
        for (int machine = 0; machine < kMachinesPerRun; ++machine) {
            const Timing d = OnNewMachine(work, [&] { WriteDirectly(writes); });
            const Timing a = OnNewMachine(work, [&] { ApplyRegistryTemplates(rows, values); });
            directRun = {directRun.wall + d.wall, directRun.cpu + d.cpu};
            appliedRun = {appliedRun.wall + a.wall, appliedRun.cpu + a.cpu};
        }
        direct.KeepBest(directRun);
        applied.KeepBest(appliedRun);
    }
    fs::remove_all(work);
    std::printf("rows: %d (built-in table and %d generated), %zu writes, %d new machines a run\n", rows.GetSize(),
                kGeneratedRows, writes.size(), kMachinesPerRun);
    Report("direct platform writes", direct, direct, "direct");
    Report("ApplyRegistryTemplates", applied, direct, "direct");
}

void RunCatalogue() {
    const std::string utf8 = MakeCatalogue();
    const VnString utf16 = VnString::FromUtf8(utf8);
    Timing dom, catalogue;
    size_t handled = 0;
    for (int run = 0; run < kRepeats; ++run) {
        dom.KeepBest(Measure([&] {
            for (int i = 0; i < kParsesPerRun; ++i) {
                pugi::xml_document document;
                document.load_buffer(utf8.data(), utf8.size());
            }
        }));
        catalogue.KeepBest(Measure([&] {
            for (int i = 0; i < kParsesPerRun; ++i) {
                CFileTypeCatalogueData data;
                data.Read(utf16, FileTypeCatalogueInputs());
                handled = data.GetList(kAllDescriptions, false).GetSize();
            }
        }));
    }
    std::printf("catalogue: %d types, %.1f MB, %zu descriptions read, %d parses a run\n", kCatalogueTypes,
                double(utf8.size()) / (1 << 20), handled, kParsesPerRun);
    Report("pugixml DOM of the file", dom, dom, "pugixml");
    Report("CFileTypeCatalogueData::Read", catalogue, dom, "pugixml");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : "";
    if (only != "catalogue") RunRows(fs::temp_directory_path() / ("vn-shell-bench-" + std::to_string(getpid())));
    if (only != "rows") RunCatalogue();
    return 0;
}
