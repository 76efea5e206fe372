#ifndef _WIN32

#include "WizardTestFixture.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "OperatingSystem.h"
#include "ProcessInformationBlock.h"
#include "ToolsLink.h"

namespace {

std::string ProductInfoXml(const WizardProduct& product) {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<TestProduct version="1.0">
  <Names><Name Form="0">Tunaro</Name><Name Form="1">Tunaro Test 9933</Name><Name Form="3">Tunaro</Name><Name Form="4">Tunaro 9933</Name></Names>
  <Version>9933.0.44</Version>
  <ExecutableName>Tunaro.exe</ExecutableName>
  <LauncherName>Tunaro Launcher.exe</LauncherName>
  <Features>)" + product.features + R"(</Features>
  <Product><InstallToPath>)" + product.installToPath + R"(</InstallToPath></Product>
</TestProduct>
)";
}

}  // namespace

void WizardTest::OpenMachine(const std::string& factsText, const WizardProduct& product) {
    static std::atomic<int> caseNumber{0};
    hostFolder_ = (std::filesystem::temp_directory_path() /
                   ("vn-wizard-" + std::to_string(getpid()) + "-" + std::to_string(++caseNumber)))
                      .string();
    std::filesystem::remove_all(hostFolder_);
    if (!factsText.empty()) {
        std::filesystem::create_directories(hostFolder_);
        std::ofstream(hostFolder_ + "/" + VnSimPlatform::kFactsFileName) << factsText;
    }
    std::string error;
    machine_ = VnSimPlatform::OpenMachine(hostFolder_, error);
    ASSERT_TRUE(machine_) << error;
    machine_->Facts().installerPath = VN_LIT(u"C:\\Setup\\Tunaro Install Wizard.exe");
    VnSetPlatform(machine_.get());
    InstallOptions::ResetForTests();
    CLicensePpg::ResetCountdownForTests();
    VnHeadlessUi::Get().Reset();
    ForgetOperatingSystem();

    WriteFile(u"C:\\Setup\\Playmoor\\ProductInfo.xml", ProductInfoXml(product));
    WriteFile(u"C:\\Setup\\License.txt", "Terms of use.\r\nSecond line.\r\n");
    library_ = std::make_unique<VnToolsLibrary>();
    library_->SetProcessFolders(&folders_);
    VnSetTools(library_.get());
}

void WizardTest::CloseMachine() {
    wizard_.reset();
    VnSetTools(nullptr);
    library_.reset();
    ProcessInformationBlock::Close();
    ForgetOperatingSystem();
    VnSetPlatform(nullptr);
    machine_.reset();
    std::filesystem::remove_all(hostFolder_);
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
    for (const VnSimMessageRecord& box : machine_->SimShell().Messages())
        boxes.push_back(box.title.ToUtf8() + ": " + box.text.ToUtf8());
    return boxes;
}

void WizardTest::WriteFile(const VnString& path, const std::string& bytes) {
    VnString folder;
    for (const VnString& part : VnStringArray::Split(path.Left(path.ReverseFind(u'\\')).View(), u"\\")) {
        folder += part + u"\\";
        if (folder.GetLength() > 3) machine_->Files().CreateDirectory(folder);
    }
    ASSERT_EQ(machine_->Files().WriteFile(path, bytes), 0u) << path.ToUtf8();
}

void WizardTest::AddUninstallEntry(const VnString& name, const VnString& location) {
    const VnString path = VnString(u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + name;
    VnRegKey key = 0;
    ASSERT_EQ(machine_->Registry().CreateKey(VnRegRoot::LocalMachine, path, vnwin::kKeyReadWrite, key), 0u);
    machine_->Registry().SetValue(key, u"Publisher", VnRegValue::String(u"Varnel, Inc."));
    machine_->Registry().SetValue(key, u"InstallLocation", VnRegValue::String(location));
    machine_->Registry().CloseKey(key);
}

#endif  // _WIN32
