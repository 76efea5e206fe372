#ifndef _WIN32

#include "DependencyTestFixture.h"

#include "InstallOptions.h"
#include "InstallSteps.h"
#include "OperatingSystem.h"
#include "ProcessInformationBlock.h"
#include "SimInstallerRun.h"

namespace {
constexpr char16_t kStartsKey[] = u"Software\\V. Arnel\\Demo Starts\\";
}  // namespace

void DependencyTest::OpenMachine(const std::string& factsText) {
    CloseMachine();
    sim_ = std::make_unique<SimTestMachine>(factsText);
    sim_->MakeSystemFolders();
    Sim().Facts().installerPath = VnString(kSetup) + kInstallerFileName;
    ASSERT_TRUE(sim_->CopyDemoSetup(kSetup)) << "the demo set-up is not built";
    RegisterStandIns();
    ForgetOperatingSystem();
    tools_ = std::make_unique<RegisteredTools>(VnString(kSetup) + u"Playmoor\\");
    InstallOptions::ResetForTests();
    InstallOptions& options = InstallOptions::Get();
    options.SupportFolders.Add(kSupport);
    options.DestinationFolder = u"C:\\Program Files (x86)\\V Arnel\\Tunaro 33\\";
}

void DependencyTest::CloseMachine() {
    tools_.reset();
    ProcessInformationBlock::Close();
    ForgetOperatingSystem();
    sim_.reset();
}

void PrepareDownloadingSetup(SimTestMachine& sim, const VnString& setup, const LoopbackHttpServer& server) {
    for (const char16_t* program : {u"d3dx943.exe", u"MicrosoftEdgeWebview2Setup.exe"})
        ASSERT_EQ(sim.Machine().Files().DeleteFile(setup + u"Support\\" + program), 0u);
    const VnString productInfo = setup + u"Playmoor\\ProductInfo.xml";
    std::string xml = sim.ReadFile(productInfo);
    const std::string remote = "https://downloads.tunaro.example/dependencies";
    for (size_t at; (at = xml.find(remote)) != std::string::npos;) xml.replace(at, remote.size(), server.Url(""));
    sim.WriteFile(productInfo, xml);
}

void DependencyTest::ServeDownloadsFrom(const LoopbackHttpServer& server) {
    PrepareDownloadingSetup(*sim_, kSetup, server);
    // The tools library read the product information when it was made; the
    // old one lets go of VnTools() before the new one takes it.
    tools_.reset();
    tools_ = std::make_unique<RegisteredTools>(VnString(kSetup) + u"Playmoor\\");
}

int DependencyTest::Starts(const char16_t* program) {
    const std::string count = sim_->Value(VnRegRoot::CurrentUser, VnString(kStartsKey) + program, "Start Count");
    return count == "<missing>" ? 0 : std::stoi(count);
}

std::string DependencyTest::CommandLine(const char16_t* program) {
    return sim_->Value(VnRegRoot::CurrentUser, VnString(kStartsKey) + program, "Command Line");
}

std::vector<std::string> DependencyTest::Boxes() {
    std::vector<std::string> boxes;
    for (const VnSimMessageRecord& box : sim_->Machine().SimShell().Messages())
        boxes.push_back(box.title.ToUtf8() + ": " + box.text.ToUtf8());
    return boxes;
}

#endif
