#ifndef _WIN32

#include "StartUpFixture.h"

#include <sstream>

#include "InstallOptions.h"
#include "SimInstallerRun.h"
#include "TestFileTypeCatalogue.h"
#include "WizardHandOff.h"

namespace {

constexpr const char* kSkinDocument =
    "<?xml version=\"1.0\"?>\n<PMMS version=\"3.0\" style=\"Graphite\"><MAINFRAME/></PMMS>\n";
constexpr const char* kInstallDescription =
    "<?xml version=\"1.0\"?>\n<VNIC version=\"1.0\"><Settings><AllowDowngrade>1</AllowDowngrade></Settings></VNIC>\n";

std::string ProductInfoXml(const TestProduct& product) {
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TestProduct version=\"1.0\">\n"
        << "  <Names><Name Form=\"0\">" << product.name0 << "</Name><Name Form=\"1\">Tunaro Test</Name>"
        << "<Name Form=\"3\">Tunaro</Name><Name Form=\"4\">Tunaro 9933</Name><Name Form=\"6\">Tunaro</Name></Names>\n"
        << "  <Version>9933.0.44</Version>\n  <ExecutableName>Tunaro.exe</ExecutableName>\n"
        << "  <LauncherName>Tunaro Launcher.exe</LauncherName>\n"
        << "  <StartMenuFolder>Tunaro 9933</StartMenuFolder>\n"
        << "  <Installer><ShowLanguageSelection>" << product.showLanguageSelection
        << "</ShowLanguageSelection></Installer>\n"
        << "  <General><MegaSkin>Standard View\\Graphite</MegaSkin>"
        << "<MegaSkinStyles>Graphite;Daylight</MegaSkinStyles></General>\n"
        << "  <SpecialFeatures><MinIEVersion>" << product.minIEVersion << "</MinIEVersion></SpecialFeatures>\n"
        << "</TestProduct>\n";
    return xml.str();
}

}  // namespace

void StartUpTest::SetUp() {
    sim_ = std::make_unique<SimTestMachine>();
    InstallOptions::ResetForTests();
    ForgetWizardHandOff();

    const VnString setup = kSetupFolder;
    WriteFile(setup + u"Playmoor\\VnTools.dll", "a stand-in: the library itself is linked in");
    WriteProduct(TestProduct());
    WriteFile(setup + u"Playmoor\\Skins\\Standard View\\Graphite\\main.xml", kSkinDocument);
    WriteFile(setup + u"System\\Always Overwrite\\Tunacore Launcher.exe", "launcher");
    WriteFile(setup + u"Install.xml", kInstallDescription);
    WriteFile(setup + u"Playmoor\\Data\\Default Resources\\FileAssociations.xml", kTestFileTypeCatalogue);
}

void StartUpTest::TearDown() {
    sim_.reset();
}

int StartUpTest::Run(std::u16string_view commandLine) {
    CInstallApp app;
    return Run(app, commandLine);
}

int StartUpTest::Run(CInstallApp& app, std::u16string_view commandLine) {
    EXPECT_EQ(VnApp::Current(), &app);
    int exitCode = RunInstallerInMachine(Machine(), kInstallerPath, VnString(commandLine));
    VnSetPlatform(&Machine());  // the tests go on reading the machine
    return exitCode;
}

void StartUpTest::WriteProduct(const TestProduct& product) {
    WriteFile(VnString(kSetupFolder) + u"Playmoor\\ProductInfo.xml", ProductInfoXml(product));
}

void StartUpTest::Delete(const VnString& path) { ASSERT_EQ(Machine().Files().DeleteFile(path), 0u); }


int StartUpTest::MessageCount() const { return sim_->Machine().SimShell().Messages().GetSize(); }

const VnSimMessageRecord& StartUpTest::Message(int index) const { return sim_->Machine().SimShell().Messages()[index]; }

std::string StartUpTest::LogText() {
    std::string bytes;
    Machine().Files().ReadFile(Facts().SpecialFolder(vnwin::kCsidlLocalAppData) + u"\\Temp\\Tunaro Install Wizard.log", bytes);
    return bytes;
}

std::string StartUpTest::ProgramsLog() { return sim_->HostText("programs.log"); }

void StartUpTest::SetInternetExplorerVersion(const VnString& version) {
    VnRegValue value = VnRegValue::String(version);
    for (const char16_t* key : {u"Software\\Microsoft\\Internet Explorer", u"Software\\Wow6432Node\\Microsoft\\Internet Explorer"})
        Machine().SimRegistry().WriteMachineValue(VnRegRoot::LocalMachine, key, u"Version",
                                                 version.IsEmpty() ? nullptr : &value);
}

void StartUpTest::AddRunningProduct(bool closesOnWmClose) {
    VnSimRunningProgram program;
    program.path = u"C:\\Program Files (x86)\\Tunaro\\Tunaro.exe";
    program.processId = 700;
    program.windowClass = u"PMFrame";
    program.windowTitle = u"Tunaro";
    program.closesOnWmClose = closesOnWmClose;
    Facts().runningPrograms.Add(program);
}

#endif
