#ifndef _WIN32

#include "WizardTestFixture.h"

#include "FileTypeCatalogue.h"
#include "OperatingSystem.h"
#include "ProcessInformationBlock.h"
#include "TestFileTypeCatalogue.h"

std::string WizardProductXml(const WizardProduct& product) {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<TestProduct version="1.0">
  <Names><Name Form="0">Tunaro</Name><Name Form="1">Tunaro Test 9933</Name><Name Form="3">Tunaro</Name><Name Form="4">Tunaro 9933</Name></Names>
  <Version>9933.0.44</Version>
  <ExecutableName>Tunaro.exe</ExecutableName>
  <LauncherName>Tunaro Launcher.exe</LauncherName>
  <Features>)" + product.features + R"(</Features>)" +
           (product.startMenuFolder.empty() ? "" : "\n  <StartMenuFolder>" + product.startMenuFolder + "</StartMenuFolder>") +
           (product.downloads.empty() ? "" : "\n  <Downloads>" + product.downloads + "</Downloads>") + R"(
  <Product><InstallToPath>)" + product.installToPath + R"(</InstallToPath></Product>
  <Installer>)" + product.installer + R"(</Installer>
</TestProduct>
)";
}

void WizardTest::OpenMachine(const std::string& factsText, const WizardProduct& product) {
    if (machine_) CloseMachine();
    machine_ = std::make_unique<SimTestMachine>(factsText);
    Machine().Facts().installerPath = VN_LIT(u"C:\\Setup\\Tunaro Install Wizard.exe");
    InstallOptions::ResetForTests();
    CLicensePpg::ResetCountdownForTests();
    VnHeadlessUi::Get().Reset();
    ForgetOperatingSystem();
    WriteFile(u"C:\\Setup\\Playmoor\\ProductInfo.xml", WizardProductXml(product));
    WriteFile(u"C:\\Setup\\License.txt", "Terms of use.\r\nSecond line.\r\n");
    WriteFile(u"C:\\Setup\\Playmoor\\Data\\Default Resources\\FileAssociations.xml", kTestFileTypeCatalogue);
    ResetFileTypeCatalogueForTests();  // read again on this machine
    tools_ = std::make_unique<RegisteredTools>(u"C:\\Setup\\Playmoor\\");
}

void WizardTest::CloseMachine() {
    wizard_.reset();
    tools_.reset();
    ProcessInformationBlock::Close();
    ForgetOperatingSystem();
    machine_.reset();
}

CInstallWizard& WizardTest::OpenWizard(uint64_t ms) {
    wizard_ = std::make_unique<CInstallWizard>();
    EXPECT_TRUE(wizard_->Create());
    wizard_->Show(true);
    ui_ = VnUiDriver(wizard_.get());
    Advance(ms);
    return *wizard_;
}

void WizardTest::Press(std::u16string_view label) {
    Advance(VnWizardPopupWnd::kClickGuardMs);
    EXPECT_TRUE(ui_.Press(label)) << ui_.GetLastError().ToUtf8();
    Advance(1);
}

void WizardTest::AcceptAndChooseCustom() {
    Press(u"Accept");
    EXPECT_TRUE(ui_.Choose(u"Custom"));
    Press(u"Next >");
}

void WizardTest::WalkToDestination() {
    AcceptAndChooseCustom();
    if (Page() == 2) Press(u"Next >");
    ASSERT_EQ(Page(), 3);
}

std::vector<std::string> WizardTest::Boxes() const {
    std::vector<std::string> boxes;
    for (const VnSimMessageRecord& box : machine_->Machine().SimShell().Messages())
        boxes.push_back(box.title.ToUtf8() + ": " + box.text.ToUtf8());
    return boxes;
}

void WizardTest::AddUninstallEntry(const VnString& name, const VnString& location) {
    const VnString key = VnString(u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + name;
    machine_->SetValue(VnRegRoot::LocalMachine, key, u"Publisher", VnRegValue::String(u"Varnel, Inc."));
    machine_->SetValue(VnRegRoot::LocalMachine, key, u"InstallLocation", VnRegValue::String(location));
}

#endif  // _WIN32
