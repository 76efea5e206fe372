#ifndef _WIN32

#include "StartUpFixture.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "InstallOptions.h"
#include "SimInstallerRun.h"
#include "WizardHandOff.h"

namespace {

std::atomic<int> g_caseNumber{0};

constexpr const char* kSkinDocument =
    "<?xml version=\"1.0\"?>\n<PMMS version=\"3.0\" style=\"Graphite\"><MAINFRAME/></PMMS>\n";
constexpr const char* kInstallDescription =
    "<?xml version=\"1.0\"?>\n<VNIC version=\"1.0\"><Settings><AllowDowngrade>1</AllowDowngrade></Settings></VNIC>\n";

std::string ProductInfoXml(const TestProduct& product) {
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TestProduct version=\"1.0\">\n"
        << "  <Names><Name Form=\"0\">" << product.name0 << "</Name><Name Form=\"1\">Tunaro Test</Name>"
        << "<Name Form=\"3\">Tunaro</Name><Name Form=\"4\">Tunaro 9933</Name></Names>\n"
        << "  <Version>9933.0.44</Version>\n  <ExecutableName>Tunaro.exe</ExecutableName>\n"
        << "  <LauncherName>Tunaro Launcher.exe</LauncherName>\n"
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
    hostFolder_ = (std::filesystem::temp_directory_path() /
                   ("vn-startup-" + std::to_string(getpid()) + "-" + std::to_string(++g_caseNumber)))
                      .string();
    std::filesystem::remove_all(hostFolder_);
    std::string error;
    machine_ = VnSimPlatform::OpenMachine(hostFolder_, error);
    ASSERT_TRUE(machine_) << error;
    VnSetPlatform(machine_.get());
    InstallOptions::ResetForTests();
    ForgetWizardHandOff();

    const VnString setup = kSetupFolder;
    machine_->Files().CreateDirectory(u"C:\\Setup");
    WriteFile(setup + u"Playmoor\\VnTools.dll", "a stand-in: the library itself is linked in");
    WriteProduct(TestProduct());
    WriteFile(setup + u"Playmoor\\Skins\\Standard View\\Graphite\\main.xml", kSkinDocument);
    WriteFile(setup + u"System\\Always Overwrite\\Tunacore Launcher.exe", "launcher");
    WriteFile(setup + u"Install.xml", kInstallDescription);
}

void StartUpTest::TearDown() {
    VnSetPlatform(nullptr);
    machine_.reset();
    std::filesystem::remove_all(hostFolder_);
}

int StartUpTest::Run(std::u16string_view commandLine) {
    CInstallApp app;
    return Run(app, commandLine);
}

int StartUpTest::Run(CInstallApp& app, std::u16string_view commandLine) {
    EXPECT_EQ(VnApp::Current(), &app);
    int exitCode = RunInstallerInMachine(*machine_, kInstallerPath, VnString(commandLine));
    VnSetPlatform(machine_.get());  // the tests go on reading the machine
    return exitCode;
}

void StartUpTest::WriteProduct(const TestProduct& product) {
    WriteFile(VnString(kSetupFolder) + u"Playmoor\\ProductInfo.xml", ProductInfoXml(product));
}

void StartUpTest::WriteFile(const VnString& path, std::string_view bytes) {
    VnString folder;
    for (const VnString& part : VnStringArray::Split(path.Left(path.ReverseFind(u'\\')).View(), u"\\")) {
        folder += part + u"\\";
        if (folder.GetLength() > 3) machine_->Files().CreateDirectory(folder);
    }
    ASSERT_EQ(machine_->Files().WriteFile(path, std::string(bytes)), 0u) << path.ToUtf8();
}

bool StartUpTest::Exists(const VnString& path) {
    return machine_->Files().GetFileAttributes(path) != vnwin::kInvalidFileAttributes;
}

void StartUpTest::Delete(const VnString& path) { ASSERT_EQ(machine_->Files().DeleteFile(path), 0u); }

void StartUpTest::SetRegistryText(VnRegRoot root, const VnString& key, const VnString& name, const VnString& text) {
    VnRegValue value = VnRegValue::String(text);
    machine_->SimRegistry().WriteMachineValue(root, key, name, &value);
}

bool StartUpTest::KeyExists(VnRegRoot root, const VnString& key) {
    VnRegKey handle = 0;
    if (machine_->Registry().OpenKey(root, key, vnwin::kKeyRead | vnwin::kKeyWow64_64Key, handle) != 0) return false;
    machine_->Registry().CloseKey(handle);
    return true;
}

int StartUpTest::MessageCount() const { return machine_->SimShell().Messages().GetSize(); }

const VnSimMessageRecord& StartUpTest::Message(int index) const { return machine_->SimShell().Messages()[index]; }

std::string StartUpTest::LogText() {
    std::string bytes;
    VnString localAppData = Facts().SpecialFolder(vnwin::kCsidlLocalAppData);
    machine_->Files().ReadFile(localAppData + u"\\Temp\\Tunaro Install Wizard.log", bytes);
    return bytes;
}

std::string StartUpTest::ProgramsLog() {
    std::ifstream in(machine_->MachineFolder() + "/programs.log");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void StartUpTest::SetInternetExplorerVersion(const VnString& version) {
    VnRegValue value = VnRegValue::String(version);
    for (const char16_t* key : {u"Software\\Microsoft\\Internet Explorer", u"Software\\Wow6432Node\\Microsoft\\Internet Explorer"})
        machine_->SimRegistry().WriteMachineValue(VnRegRoot::LocalMachine, key, u"Version",
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
