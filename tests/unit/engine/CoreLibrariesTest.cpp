// The core libraries on the simulated machine: both passes on 64-bit
// Windows, one on 32-bit, the installation record afterwards, and the
// Retry/Cancel box when a library is in use.
#ifndef _WIN32

#include "CoreLibraries.h"
#include "EngineTestSupport.h"
#include "FileCopy.h"
#include "InstallationRecord.h"
#include "VnFileSystem.h"

namespace {

class CoreLibrariesTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        payload_.moduleFolder = GetInstallerFolder() + u"Playmoor\\";
        Tools().SetProcessFolders(&payload_);
        WriteFile(payload_.moduleFolder + u"ProductInfo.xml",
                  "<ProductInformation version=\"1.0\"><Names><Name Form=\"4\">Tunaro 9933</Name></Names>"
                  "<ExecutableName>Tunaro.exe</ExecutableName></ProductInformation>");
        Options().DestinationFolder = u"C:\\Program Files (x86)\\Tunaro\\";
        for (int n = 0; n < kCoreLibraryCount; ++n)
            WriteFile(payload_.moduleFolder + CoreLibraryName(n), MakeProgramFile("33.0.44.0") + Utf8(CoreLibraryName(n)));
        for (int n : {0, 4}) WriteFile(payload_.moduleFolder + u"x64\\" + CoreLibraryName(n), MakeProgramFile("1.0", kX64));
    }
    void TearDown() override {
        Tools().SetProcessFolders(nullptr);
        EngineTest::TearDown();
    }

    VnString Installed(int n, const char16_t* subfolder = u"") {
        return Options().DestinationFolder + subfolder + CoreLibraryName(n);
    }
    // The "Path" of the installation record; "<missing>" when none was written.
    std::string RecordedPath() {
        return SimMachine().Value(VnRegRoot::LocalMachine, VnString(kInstallationsKey) + u"\\Tunaro 9933", "Path");
    }
    const VnCoreArray<VnSimMessageRecord>& Boxes() { return Sim().SimShell().Messages(); }

    TestProcessFolders payload_;
};

}  // namespace

TEST_F(CoreLibrariesTest, SixtyFourBitWindowsGetsBothPassesThenTheRecord) {
    ASSERT_EQ(Files().SetFileAttributes(payload_.moduleFolder + CoreLibraryName(2), vnwin::kFileAttributeReadOnly), 0u);
    EXPECT_TRUE(InstallCoreLibraries());
    for (int n = 0; n < kCoreLibraryCount; ++n) {
        EXPECT_EQ(ReadFile(Installed(n)), ReadFile(payload_.moduleFolder + CoreLibraryName(n)));
        EXPECT_EQ(Attributes(Installed(n)), vnwin::kFileAttributeNormal);
    }
    EXPECT_TRUE(Exists(Installed(0, u"x64\\")) && Exists(Installed(4, u"x64\\")));
    EXPECT_FALSE(Exists(Installed(1, u"x64\\")));  // no such source: skipped
    EXPECT_TRUE(Boxes().IsEmpty());
    EXPECT_EQ(RecordedPath(), Utf8(Options().DestinationFolder));
}

TEST_F(CoreLibrariesTest, ThirtyTwoBitWindowsGetsNoX64FolderAndPortableInstallsNoRecord) {
    Facts().is64BitWindows = false;
    Options().PortableSetup = true;
    EXPECT_TRUE(InstallCoreLibraries());
    EXPECT_TRUE(Exists(Installed(6)));
    EXPECT_FALSE(Exists(Options().DestinationFolder + u"x64"));
    EXPECT_EQ(RecordedPath(), "<missing>");
}

TEST_F(CoreLibrariesTest, RetryCopiesAgainAndCancelEndsWithTheCriticalError) {
    WriteFile(Installed(1), "the copy of an earlier install, in use");
    Facts().lockedFiles.Add(Installed(1));
    Sim().SimShell().QueueAnswer(vnwin::kIdOk);  // the box's first button, Retry
    Sim().SimShell().QueueAnswer(vnwin::kIdCancel);

    EXPECT_FALSE(InstallCoreLibraries());
    ASSERT_EQ(Boxes().GetSize(), 3);
    for (int i : {0, 1}) {
        EXPECT_EQ(Boxes()[i].title, u"Failure Copying System File");
        EXPECT_EQ(Boxes()[i].type & 0xF, vnwin::kMbOkCancel);
        EXPECT_TRUE(Boxes()[i].text.StartsWith(
            u"Install Wizard could not copy necessary files to the destination folder.\r\n\r\n"
            u"Please ensure that the file '" + Installed(1) + u"' is not in use."))
            << Utf8(Boxes()[i].text);
    }
    EXPECT_EQ(Boxes()[1].answer, vnwin::kIdCancel);
    EXPECT_EQ(Boxes()[2].title, u"Install Error");
    EXPECT_EQ(Boxes()[2].text, u"Install Wizard encountered a critical error and must close.\r\n\r\n"
                               u"It is recommended that you reboot your computer and install again.\r\n\r\n"
                               u"If this error persists, please uninstall and then install again.");
    EXPECT_TRUE(Exists(Installed(0)));  // copied before the failure, not undone
    EXPECT_EQ(RecordedPath(), "<missing>");
}

#endif
