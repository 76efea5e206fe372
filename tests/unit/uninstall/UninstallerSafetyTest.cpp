// Bad input for the uninstaller: a hand-edited record names places outside
// the installation (the Windows folder, a drive root, ".." parts, another
// program's folder and keys, an earlier install's folder that holds no record
// of its own), the uninstaller sits where no product belongs, the record is
// missing, the user cancels, the program runs. Nothing outside what the install
// made is ever removed, and the exit code says what happened.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CompanionPrograms.h"
#include "InstallRecord.h"
#include "SimTestMachine.h"
#include "Uninstaller.h"
#include "UninstallerUi.h"
#include "VnHeadlessUi.h"
#include "VnUiDriver.h"
#include "VnCompanionsSim.h"

namespace {

constexpr char16_t kFolder[] = u"C:\\Apps\\Tunaro\\";

class UninstallerSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim_.reset();  // the old machine uninstalls itself as the platform
        sim_ = std::make_unique<SimTestMachine>();
        sim_->MakeSystemFolders();
    }
    SimTestMachine& Sim() { return *sim_; }
    void WriteRecord(const std::string& lines) {
        sim_->WriteFile(VnString(kFolder) + kInstallRecordFileName, std::string(kInstallRecordHeader) + lines);
    }
    uint32_t RunProgram(const VnString& folder, const VnString& parameters) {
        return RunCompanionProgram(*FindCompanionProgram(u"VnMediaUninstall.exe"),
                                   CompanionStart{folder + u"VnMediaUninstall.exe", parameters});
    }
    std::unique_ptr<SimTestMachine> sim_;
};

TEST_F(UninstallerSafetyTest, AHandEditedRecordRemovesOnlyWhatLiesInTheInstallsPlaces) {
    const struct {
        const char* line;       // a record line (without its line end)
        const char16_t* path;   // a file made before the uninstall
        bool removed;
    } cases[] = {
        {"file\tC:\\Apps\\Tunaro\\Tunaro.exe\tcreated\t", u"C:\\Apps\\Tunaro\\Tunaro.exe", true},
        {"file\tc:\\apps\\tunaro\\sub\\data.bin\treplaced\t1.0.0.0", u"C:\\Apps\\Tunaro\\Sub\\data.bin", true},
        {"link\tC:\\Users\\User\\Desktop\\Tunaro.lnk", u"C:\\Users\\User\\Desktop\\Tunaro.lnk", true},
        {"file\tC:\\Windows\\system32\\kernel32.dll\tcreated\t", u"C:\\Windows\\system32\\kernel32.dll", false},
        {"file\tC:\\boot.ini\tcreated\t", u"C:\\boot.ini", false},
        {"file\tC:\\Apps\\Tunaro\\..\\Other\\keep.txt\tcreated\t", u"C:\\Apps\\Other\\keep.txt", false},
        {"file\tC:\\Apps\\Tunaro2\\keep.txt\tcreated\t", u"C:\\Apps\\Tunaro2\\keep.txt", false},
        {"file\tApps\\Tunaro\\relative.txt\tcreated\t", u"C:\\Apps\\Tunaro\\relative.txt", false},
        {"file\t\\\\?\\C:\\Apps\\Tunaro\\prefixed.txt\tcreated\t", u"C:\\Apps\\Tunaro\\prefixed.txt", false},
        {"file\tC:\\Apps\\Tunaro\\*.txt\tcreated\t", u"C:\\Apps\\Tunaro\\wild.txt", false},
        {"file\tC:\\Users\\User\\Desktop\\notes.txt\tcreated\t", u"C:\\Users\\User\\Desktop\\notes.txt", false},
        {"link\tC:\\Users\\User\\Documents\\report.doc", u"C:\\Users\\User\\Documents\\report.doc", false},
        {"folder\tC:\\", u"C:\\Apps\\Other\\keep.txt", false},
        {"folder\tC:\\Windows", u"C:\\Windows\\system32\\kernel32.dll", false},
        {"folder\tC:\\Users\\User\\Desktop", u"C:\\Users\\User\\Desktop\\notes.txt", false},
        // An earlier install's folder counts while it holds its own record.
        {"earlier\tC:\\Apps\\Old\\", u"C:\\Apps\\Old\\VnMediaUninstall.dat", true},
        {"file\tC:\\Apps\\Old\\Tunaro.exe\tcreated\t", u"C:\\Apps\\Old\\Tunaro.exe", true},
        {"earlier\tC:\\Apps\\Other\\", u"C:\\Apps\\Other\\mine.txt", false},
        {"file\tC:\\Apps\\Other\\mine.txt\tcreated\t", u"C:\\Apps\\Other\\mine.txt", false},
        {"earlier\tC:\\Windows", u"C:\\Windows\\win.ini", false},
    };
    std::string record;
    for (const auto& c : cases) {
        Sim().WriteFile(c.path, "bytes");
        record += std::string(c.line) + "\n";
    }
    // Registry: another program's values and keys, named as if the install had made them.
    Sim().SetValue(VnRegRoot::LocalMachine, u"SYSTEM\\Setup", u"Kept", VnRegValue::String(u"system"));
    Sim().SetValue(VnRegRoot::LocalMachine, u"Software\\Other", u"Kept", VnRegValue::String(u"changed since"));
    Sim().SetValue(VnRegRoot::CurrentUser, u"Software\\Microsoft\\Windows\\CurrentVersion\\Run", u"", VnRegValue::String(u""));
    Sim().SetValue(VnRegRoot::LocalMachine, u"Software\\Tunaro", u"Ours", VnRegValue::String(u"x"));
    record += "value\tHKLM\t0\tSYSTEM\\Setup\tKept\t-\t1=system\n";
    record += "value\tHKLM\t0\tSoftware\\Other\tKept\t-\t1=as installed\n";
    record += "value\tHKLM\t0\tSoftware\\Tunaro\tOurs\t-\t1=x\n";
    record += "key\tHKLM\t0\tSoftware\\Tunaro\n";
    record += "key\tHKCU\t0\tSoftware\\Microsoft\\Windows\\CurrentVersion\\Run\n";
    record += "key\tHKLM\t0\tSoftware\n";
    record += "file\tC:\\Apps\\Tunaro\\cut off";  // an interrupted install's last line
    WriteRecord(record);

    UninstallRequest request;
    request.installFolder = kFolder;
    const UninstallOutcome outcome = RunUninstall(request);
    EXPECT_EQ(outcome.exitCode, kUninstallDone);
    for (const auto& c : cases) EXPECT_EQ(!Sim().Exists(c.path), c.removed) << c.line;
    EXPECT_EQ(outcome.refused.GetSize(), 16) << "every refused line is logged";
    EXPECT_EQ(Sim().Value(VnRegRoot::LocalMachine, u"SYSTEM\\Setup", "Kept"), "system");
    EXPECT_EQ(Sim().Value(VnRegRoot::LocalMachine, u"Software\\Other", "Kept"), "changed since");
    EXPECT_TRUE(Sim().KeyExists(VnRegRoot::CurrentUser, u"Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
    EXPECT_TRUE(Sim().KeyExists(VnRegRoot::LocalMachine, u"Software"));
    EXPECT_FALSE(Sim().KeyExists(VnRegRoot::LocalMachine, u"Software\\Tunaro"));
    EXPECT_FALSE(Sim().Exists(VnString(kFolder) + kInstallRecordFileName));
}

// The user's part: the buttons pressed in the uninstaller's window, in
// order ("" when silent), and the answer to the question about the running
// program. A running program (class "PMFrame", the product file's default)
// closes when asked or stays.
TEST_F(UninstallerSafetyTest, ExitCodesAndWhatTheUserIsTold) {
    enum Running { kNotRunning, kCloses, kStays };
    const struct {
        const char16_t* folder;  // where the uninstaller sits
        bool record;             // a record is there
        std::vector<const char16_t*> presses;
        Running running;
        int closeAnswer;         // the answer to "close it?", 0 when not asked
        const char16_t* parameters;
        uint32_t exitCode;
        bool removed;            // the recorded file is gone
        const char* shown = "";  // in the window when the last button is pressed
    } cases[] = {
        {kFolder, true, {}, kNotRunning, 0, u"/Silent", kUninstallDone, true},
        {kFolder, true, {u"Uninstall", u"Close"}, kNotRunning, 0, u"", kUninstallDone, true,
         "progress 0..9 at 9"},
        {kFolder, true, {u"Cancel"}, kNotRunning, 0, u"", kUninstallCancelled, false, "Do you want to remove Tunaro 33"},
        {kFolder, true, {u"Uninstall", u"Close"}, kCloses, vnwin::kIdYes, u"", kUninstallDone, true},
        {kFolder, true, {u"Uninstall", u"Close"}, kCloses, vnwin::kIdNo, u"", kUninstallCancelled, false},
        {kFolder, true, {}, kCloses, 0, u"/Silent", kUninstallDone, true},
        {kFolder, true, {}, kStays, 0, u"/Silent", kUninstallFailed, false},
        {kFolder, true, {u"Uninstall", u"Close"}, kStays, vnwin::kIdYes, u"", kUninstallFailed, false,
         "did not close when asked"},
        {kFolder, false, {}, kNotRunning, 0, u"/Silent", kUninstallFailed, false},
        {kFolder, false, {u"Uninstall", u"Close"}, kNotRunning, 0, u"", kUninstallFailed, false,
         "Tunaro 33 was not removed"},
        {kFolder, true, {}, kNotRunning, 0, u"/Silent /Everything", kUninstallFailed, false},
        {u"C:\\", true, {}, kNotRunning, 0, u"/Silent", kUninstallFailed, false},
        {u"C:\\Windows\\Tunaro\\", true, {}, kNotRunning, 0, u"/S", kUninstallFailed, false},
        {u"C:\\Program Files (x86)\\", true, {}, kNotRunning, 0, u"/Silent", kUninstallFailed, false},
    };
    for (const auto& c : cases) {
        SetUp();
        const std::string what = VnString(c.folder).ToUtf8() + " " + VnString(c.parameters).ToUtf8() + " " +
                                 std::to_string(c.presses.size()) + " presses, running " + std::to_string(c.running);
        const VnString file = VnString(c.folder) + u"Tunaro.exe";
        Sim().WriteFile(file, "program");
        Sim().WriteFile(VnString(c.folder) + u"ProductInfo.xml",
                        "<ProductInformation version=\"1.0\"><Names><Name Form=\"1\">Tunaro 33</Name></Names>"
                        "<Version>33.0.44</Version></ProductInformation>");
        if (c.record)
            Sim().WriteFile(VnString(c.folder) + kInstallRecordFileName,
                            std::string(kInstallRecordHeader) + "file\t" + file.ToUtf8() + "\tcreated\t\n");
        if (c.running != kNotRunning)
            Sim().Facts().runningPrograms.Add({file, 7, u"PMFrame", u"Tunaro 33", c.running == kCloses});
        if (c.closeAnswer) Sim().Machine().SimShell().QueueAnswer(c.closeAnswer);
        size_t pressed = 0;
        std::string shown;
        VnHeadlessUi::Get().Reset();
        VnHeadlessUi::Get().SetScript([&](VnPopupWnd& popup) {
            if (pressed >= c.presses.size()) return false;
            shown = VnUiDriver(&popup).Describe().ToUtf8();
            return VnUiDriver(&popup).Press(c.presses[pressed++]);
        });
        EXPECT_EQ(RunProgram(c.folder, c.parameters), c.exitCode) << what;
        EXPECT_EQ(pressed, c.presses.size()) << what;
        EXPECT_EQ(!Sim().Exists(file), c.removed) << what;
        EXPECT_NE(shown.find(c.shown), std::string::npos) << what << "\n" << shown;
    }
    VnHeadlessUi::Get().SetScript(nullptr);
}

TEST(UninstallerSummaryTest, NamesTheSettingsAndFilesThatStayAndThoseLeftForTheRestart) {
    UninstallOutcome outcome;
    for (int i = 0; i < 12; ++i) outcome.userFiles.Add(VnString::Format(u"C:\\Apps\\Tunaro\\mine %d.txt", i));
    outcome.atRestart.Add(u"C:\\Apps\\Tunaro\\Tunaro.exe");
    UninstallerUi ui;
    ui.SetProductName(u"Tunaro 33");
    ui.SetSettings(false, u"C:\\Users\\User\\AppData\\Roaming\\V. Arnel\\Tunaro 33\\");
    const std::string text = ui.SummaryText(outcome).ToUtf8();
    for (const char* part : {"Tunaro 33 was removed", "settings and your media library are kept in",
                             "Roaming\\V. Arnel\\Tunaro 33\\", "not made by the install; they stay", "mine 9.txt",
                             "and 2 more", "removed when Windows restarts", "Tunaro.exe"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
    EXPECT_EQ(text.find("mine 10.txt"), std::string::npos);
}

}  // namespace

#endif
