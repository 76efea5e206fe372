// Opening the file associations page with a catalogue of 2,000 file types
// (each row asks the registry whether the product opens it now), against
// opening an empty page of the same wizard frame. Each side is the first page
// of a shown frame made active (built and shown, the messages that follow
// handled); wall clock and CPU time, best of five (by CPU time natively, by
// wall clock on Windows).
// Natively on the headless toolkit and a simulated machine
// (`build/native/bin/association_page_bench`); in the Windows builds on real
// windows and the registry, the product's files in a temporary folder
// (`wine build/win64/bin/association_page_bench.exe`).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "FileAssociationPpg.h"
#include "FileTypeCatalogue.h"
#include "InstallOptions.h"
#include "OperatingSystem.h"
#include "ProcessInformationBlock.h"
#include "RegisteredTools.h"
#include "VnToolkit.h"
#include "VnWizardPopupWnd.h"
#ifdef _WIN32
#include <chrono>
#include <fstream>

#include "VnWin32Platform.h"
#else
#include "BenchPayload.h"
#include "SimTestMachine.h"
#include "VnHeadlessUi.h"
#endif

namespace {

#ifdef _WIN32
// Best by wall clock here: the process's CPU time leaves out the Wine
// server's and comes in steps of 10 ms.
struct Timing {
    double wall = 1e9, cpu = 1e9;
    void KeepBest(const Timing& other) {
        if (other.wall < wall) *this = other;
    }
};
double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](FILETIME t) { return (uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7; };
    return seconds(kernel) + seconds(user);
}
Timing Measure(const std::function<void()>& work) {
    const double cpuStart = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    return Timing{std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                  CpuSeconds() - cpuStart};
}
#endif

constexpr int kRepeats = 5;
constexpr int kTypes = 2000;

// 2,000 types over the six groups; every tenth one a default.
std::string Catalogue() {
    static constexpr const char* kGroups[] = {"Audio", "Image", "Video", "Data", "Playlist", "Unknown"};
    std::string groups[6], defaults;
    for (int i = 0; i < kTypes; ++i) {
        const std::string n = std::to_string(i);
        groups[i % 6] += "Media Type " + n + " (t" + n + ");";
        if (i % 10 == 0) defaults += "t" + n + ";";
    }
    std::string descriptions;
    for (int g = 0; g < 6; ++g)
        descriptions += std::string("<") + kGroups[g] + ">" + groups[g] + "</" + kGroups[g] + ">";
    return "<PMFA version=\"1\"><DescriptionTypes>" + descriptions + "</DescriptionTypes><DefaultAssocFileTypes>" +
           defaults + "</DefaultAssocFileTypes></PMFA>";
}

constexpr char kProduct[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<TestProduct version="1.0">
  <Names><Name Form="0">Tunaro</Name><Name Form="1">Tunaro Bench</Name><Name Form="3">Tunaro</Name><Name Form="4">Tunaro 9933</Name></Names>
  <Version>9933.0.44</Version>
  <ExecutableName>Tunaro.exe</ExecutableName>
  <LauncherName>Tunaro Launcher.exe</LauncherName>
  <Features>2;18;19;20;176</Features>
</TestProduct>
)";

class EmptyPage : public CWizardPropertyPage {
public:
    EmptyPage() : CWizardPropertyPage(nullptr, VN_LIT(u"Empty"), VnString()) {}
    bool IsAnswered() override { return false; }
};

// Makes `page` the active page of a new, shown frame: the timed part is the
// page's build and show, and the messages (paint) that follow.
template <class Page>
Timing OpenPage() {
    VnWizardPopupWnd frame;
    frame.Create();
    frame.Show(true);
    VnToolkit::PumpMessages();
    auto page = std::make_unique<Page>();
    frame.AddPage(*page);
    const Timing timing = Measure([&] {
        frame.SetActivePage(0, true);
        VnToolkit::PumpMessages();
    });
    frame.Destroy();
    return timing;
}

// Where the product's files are: a simulated machine natively, a temporary
// folder on Windows.
class ProductFiles {
public:
#ifdef _WIN32
    ProductFiles() {
        folder_ = std::filesystem::temp_directory_path() / ("vn-association-page-bench-" + std::to_string(GetCurrentProcessId()));
        VnSetPlatform(&platform_);
    }
    ~ProductFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    VnString ProgramFolder() const { return VnString::FromUtf8((folder_ / "").string()); }
    void Write(const std::string& relative, const std::string& bytes) {
        const std::filesystem::path path = folder_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

private:
    std::filesystem::path folder_;
    VnWin32Platform platform_;
#else
    ProductFiles() {
        machine_.Facts().installerPath = VN_LIT(u"C:\\Setup\\Tunaro Install Wizard.exe");
        VnHeadlessUi::Get().Reset();
    }
    VnString ProgramFolder() const { return VN_LIT(u"C:\\Setup\\Playmoor\\"); }
    void Write(const std::string& relative, const std::string& bytes) {
        VnString path = ProgramFolder() + VnString::FromUtf8(relative);
        path.Replace(u'/', u'\\');
        machine_.WriteFile(path, bytes);
    }

private:
    SimTestMachine machine_;
#endif
};

}  // namespace

int main() {
    ProductFiles files;
    files.Write("ProductInfo.xml", kProduct);
    files.Write("Data/Default Resources/FileAssociations.xml", Catalogue());
    const VnString programFolder = files.ProgramFolder();
    InstallOptions::ResetForTests();
    ForgetOperatingSystem();
    ProcessInformationBlock::Get().SetDataFolder(programFolder);
    ResetFileTypeCatalogueForTests();
    SetCatalogueFailureEndingForTests([] {
        std::fprintf(stderr, "association_page_bench: the catalogue did not load\n");
        std::exit(1);
    });
    {
        RegisteredTools tools(programFolder);
        FileTypeCatalogue();  // read once, as the install has before the page
        struct AssociationPage : CFileAssociationPpg {
            AssociationPage() : CFileAssociationPpg(nullptr, VN_LIT(u"File Associations"), VnString()) {}
        };
        const std::vector<FileTypeRow> typeRows = BuildFileTypeRows(FileTypeCatalogue());
        VnStringArray extensions;
        for (const FileTypeRow& row : typeRows) extensions.Add(row.extension);
        Timing empty, associations, owners;
        for (int run = 0; run < kRepeats; ++run) {
            empty.KeepBest(OpenPage<EmptyPage>());
            associations.KeepBest(OpenPage<AssociationPage>());
            // The part of it that asks the registry: each row's current owner.
            owners.KeepBest(Measure([&] { CFileAssociationHelper{VnString()}.AreAssociatedWithUs(extensions); }));
        }
        std::printf("%d rows in six groups\n", int(typeRows.size()));
        std::printf("%-30s wall %7.3f ms  CPU %7.3f ms\n", "empty page", empty.wall * 1e3, empty.cpu * 1e3);
        std::printf("%-30s wall %7.1f ms  CPU %7.1f ms  (%.1f ms more than the empty page)\n",
                    "file associations page", associations.wall * 1e3, associations.cpu * 1e3,
                    (associations.wall - empty.wall) * 1e3);
        std::printf("%-30s wall %7.1f ms  CPU %7.1f ms\n", "  of which the current owners", owners.wall * 1e3,
                    owners.cpu * 1e3);
    }
    ProcessInformationBlock::Close();
    ForgetOperatingSystem();
    return 0;
}
