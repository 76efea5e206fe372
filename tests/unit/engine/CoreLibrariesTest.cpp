// The core libraries on the simulated machine: both passes on 64-bit
// Windows, one on 32-bit, the installation record afterwards, and the
// Retry/Cancel box when a library is in use, answered by an answers script.
#ifndef _WIN32

#include <filesystem>
#include <fstream>

#include "CoreLibraries.h"
#include "EngineTestSupport.h"
#include "FileCopy.h"
#include "InstallationRecord.h"
#include "VnFileSystem.h"

namespace {

struct PlainProcessFolders final : ToolsProcessFolders {
    VnString moduleFolder;
    VnString GetProgramFolder() const override { return VnString(); }
    VnString GetModuleFolder() const override { return moduleFolder; }
};

constexpr const char* kProductInfo =
    "<?xml version=\"1.0\"?>\n<ProductInformation version=\"1.0\"><Names><Name Form=\"0\">Tunaro</Name>"
    "<Name Form=\"4\">Tunaro 9933</Name></Names><Version>33.0.44</Version>"
    "<ExecutableName>Tunaro.exe</ExecutableName><LauncherName>Tunaro Launcher.exe</LauncherName>"
    "</ProductInformation>\n";

class CoreLibrariesTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        payload_ = GetInstallerFolder() + u"Playmoor\\";
        folders_.moduleFolder = payload_;
        Tools().SetProcessFolders(&folders_);
        WriteFile(payload_ + u"ProductInfo.xml", kProductInfo);
        Options().DestinationFolder = u"C:\\Program Files (x86)\\Tunaro\\";
        for (int n = 0; n < kCoreLibraryCount; ++n)
            WriteFile(payload_ + CoreLibraryName(n), MakeProgramFile("33.0.44.0") + Utf8(CoreLibraryName(n)));
        for (int n : {0, 4}) WriteFile(payload_ + u"x64\\" + CoreLibraryName(n), MakeProgramFile("33.0.44.0", kX64));
    }
    void TearDown() override {
        Tools().SetProcessFolders(nullptr);
        EngineTest::TearDown();
        std::filesystem::remove(answersFile_);
    }

    VnString Installed(int n, bool x64 = false) {
        return Options().DestinationFolder + (x64 ? u"x64\\" : u"") + CoreLibraryName(n);
    }
    // The "Path" of the installation record; empty when none was written.
    VnString RecordedPath() {
        VnRegKey key = 0;
        VnRegValue value;
        if (Reg().OpenKey(VnRegRoot::LocalMachine, VnString(kInstallationsKey) + u"\\Tunaro 9933", vnwin::kKeyRead,
                          key) != 0)
            return VnString();
        Reg().QueryValue(key, u"Path", value);
        Reg().CloseKey(key);
        return value.text;
    }
    bool RecordWritten() { return !RecordedPath().IsEmpty(); }
    void Answer(const std::string& script) {
        answersFile_ = Sim().MachineFolder() + "-answers.txt";
        std::ofstream(answersFile_) << script;
        std::string error;
        ASSERT_TRUE(Sim().SimShell().LoadAnswers(answersFile_, error)) << error;
    }
    const VnCoreArray<VnSimMessageRecord>& Boxes() { return Sim().SimShell().Messages(); }

    VnString payload_;
    PlainProcessFolders folders_;
    std::string answersFile_;
};

const char16_t kFailureTitle[] = u"Failure Copying System File";

}  // namespace

TEST_F(CoreLibrariesTest, SixtyFourBitWindowsGetsBothPassesAndTheRecord) {
    ASSERT_EQ(Files().SetFileAttributes(payload_ + CoreLibraryName(2), vnwin::kFileAttributeReadOnly), 0u);
    EXPECT_TRUE(InstallCoreLibraries());
    for (int n = 0; n < kCoreLibraryCount; ++n) {
        EXPECT_EQ(ReadFile(Installed(n)), ReadFile(payload_ + CoreLibraryName(n)));
        EXPECT_EQ(Attributes(Installed(n)), vnwin::kFileAttributeNormal);
    }
    EXPECT_TRUE(Exists(Installed(0, true)));
    EXPECT_TRUE(Exists(Installed(4, true)));
    EXPECT_FALSE(Exists(Installed(1, true)));  // no such source: skipped
    EXPECT_TRUE(Boxes().IsEmpty());
    EXPECT_EQ(RecordedPath(), Options().DestinationFolder);
}

TEST_F(CoreLibrariesTest, ThirtyTwoBitWindowsGetsNoX64FolderAndPortableInstallsNoRecord) {
    Facts().is64BitWindows = false;
    Options().PortableSetup = true;
    EXPECT_TRUE(InstallCoreLibraries());
    EXPECT_TRUE(Exists(Installed(6)));
    EXPECT_FALSE(Exists(Options().DestinationFolder + u"x64"));
    EXPECT_FALSE(RecordWritten());
}

TEST_F(CoreLibrariesTest, RetryCopiesAgainAndCancelEndsWithTheCriticalError) {
    WriteFile(Installed(1), "the copy of an earlier install, in use");
    Facts().lockedFiles.Add(Installed(1));
    Answer("OK  # the box's first button, Retry\nCancel\n");
    int boxesShown = 0;
    Tools().beforeButtonsBox = [&] {
        if (++boxesShown > 3) {  // a broken loop must not hang the run
            ADD_FAILURE() << "the box keeps coming back";
            Facts().lockedFiles.RemoveAll();
        }
    };
    EXPECT_FALSE(InstallCoreLibraries());

    ASSERT_EQ(Boxes().GetSize(), 3);
    for (int i : {0, 1}) {
        EXPECT_EQ(Boxes()[i].title, kFailureTitle);
        EXPECT_EQ(Boxes()[i].type & 0xF, vnwin::kMbOkCancel);
        EXPECT_TRUE(Boxes()[i].text.StartsWith(
            VnString(u"Install Wizard could not copy necessary files to the destination folder.\r\n\r\n"
                     u"Please ensure that the file '") +
            Installed(1) + u"' is not in use."))
            << Utf8(Boxes()[i].text);
    }
    EXPECT_EQ(Boxes()[0].answer, vnwin::kIdOk);
    EXPECT_EQ(Boxes()[1].answer, vnwin::kIdCancel);
    EXPECT_EQ(Boxes()[2].title, u"Install Error");
    EXPECT_EQ(Boxes()[2].text, u"Install Wizard encountered a critical error and must close.\r\n\r\n"
                               u"It is recommended that you reboot your computer and install again.\r\n\r\n"
                               u"If this error persists, please uninstall and then install again.");
    EXPECT_TRUE(Exists(Installed(0)));  // copied before the failure, not undone
    EXPECT_FALSE(RecordWritten());
}

TEST_F(CoreLibrariesTest, RetryAfterTheFileWasReleasedFinishesTheInstall) {
    WriteFile(Installed(3), "the copy of an earlier install, in use");
    Facts().lockedFiles.Add(Installed(3));
    Answer("OK\n");
    Tools().beforeButtonsBox = [&] { Facts().lockedFiles.RemoveAll(); };  // the user closed the program
    EXPECT_TRUE(InstallCoreLibraries());
    EXPECT_EQ(Boxes().GetSize(), 1);
    EXPECT_EQ(ReadFile(Installed(3)), ReadFile(payload_ + CoreLibraryName(3)));
    EXPECT_TRUE(RecordWritten());
}

#endif
