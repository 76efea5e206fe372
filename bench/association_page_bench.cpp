// Opening the file associations page with a catalogue of 2,000 file types
// (each row asks the registry whether the product opens it now), against
// opening an empty page of the same wizard frame, on the headless toolkit and
// a simulated machine. Each side is its first page made active (built and
// shown); wall clock and CPU time, best of five.
// `build/native/bin/association_page_bench`.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "BenchPayload.h"
#include "FileAssociationPpg.h"
#include "FileTypeCatalogue.h"
#include "InstallOptions.h"
#include "OperatingSystem.h"
#include "ProcessInformationBlock.h"
#include "RegisteredTools.h"
#include "SimTestMachine.h"
#include "VnHeadlessUi.h"
#include "VnWizardPopupWnd.h"

namespace {

constexpr int kRepeats = 5;
constexpr int kTypes = 2000;
constexpr char16_t kProgramFolder[] = u"C:\\Setup\\Playmoor\\";

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

// Makes `page` the active page of a new frame: the timed part is the page's
// build and show only.
template <class Page>
Timing OpenPage() {
    VnWizardPopupWnd frame;
    frame.Create();
    auto page = std::make_unique<Page>();
    frame.AddPage(*page);
    const Timing timing = Measure([&] { frame.SetActivePage(0, true); });
    frame.Destroy();
    return timing;
}

}  // namespace

int main() {
    SimTestMachine machine;
    machine.Facts().installerPath = VN_LIT(u"C:\\Setup\\Tunaro Install Wizard.exe");
    machine.WriteFile(VnString(kProgramFolder) + u"ProductInfo.xml", kProduct);
    machine.WriteFile(VnString(kProgramFolder) + u"Data\\Default Resources\\FileAssociations.xml", Catalogue());
    InstallOptions::ResetForTests();
    VnHeadlessUi::Get().Reset();
    ForgetOperatingSystem();
    ProcessInformationBlock::Get().SetDataFolder(kProgramFolder);
    ResetFileTypeCatalogueForTests();
    SetCatalogueFailureEndingForTests([] {
        std::fprintf(stderr, "association_page_bench: the catalogue did not load\n");
        std::exit(1);
    });
    int rows = 0;
    {
        RegisteredTools tools(kProgramFolder);
        FileTypeCatalogue();  // read once, as the install has before the page
        rows = int(BuildFileTypeRows(FileTypeCatalogue()).size());
        struct AssociationPage : CFileAssociationPpg {
            AssociationPage() : CFileAssociationPpg(nullptr, VN_LIT(u"File Associations"), VnString()) {}
        };
        Timing empty, associations;
        for (int run = 0; run < kRepeats; ++run) {
            empty.KeepBest(OpenPage<EmptyPage>());
            associations.KeepBest(OpenPage<AssociationPage>());
        }
        std::printf("%d rows in six groups\n", rows);
        std::printf("%-30s wall %7.3f ms  CPU %7.3f ms\n", "empty page", empty.wall * 1e3, empty.cpu * 1e3);
        std::printf("%-30s wall %7.1f ms  CPU %7.1f ms  (%.1f ms more than the empty page)\n",
                    "file associations page", associations.wall * 1e3, associations.cpu * 1e3,
                    (associations.wall - empty.wall) * 1e3);
    }
    ProcessInformationBlock::Close();
    ForgetOperatingSystem();
    return 0;
}
