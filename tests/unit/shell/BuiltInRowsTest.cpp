// The built-in table as the install writes it, against a golden export of
// the simulated registry (data/builtin-rows.txt, reviewed by hand), and the
// machine and product facts that change what is written.
#ifndef _WIN32

#include <cstdlib>

#include "FileAssociationHelper.h"
#include "HostFiles.h"
#include "InstallSteps.h"
#include "ShellMachine.h"

namespace {

constexpr const char16_t* kAutoPlay = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers";
constexpr const char16_t* kAutoPlay32 =
    u"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers";

class BuiltInRowsTest : public ShellMachine {
protected:
    // What the table writes: the classes, AutoPlay in both views, the per-user entries.
    std::string WrittenTables() {
        return Dump(VnRegRoot::LocalMachine, u"Software\\Classes") + "-- 32-bit AutoPlay\n" +
               Dump(VnRegRoot::LocalMachine, kAutoPlay32, vnwin::kKeyWow64_64Key) + "-- 64-bit AutoPlay\n" +
               Dump(VnRegRoot::LocalMachine, kAutoPlay, vnwin::kKeyWow64_64Key) + "-- user\n" +
               Dump(VnRegRoot::CurrentUser, u"Software\\Netscape") +
               Dump(VnRegRoot::CurrentUser, u"SOFTWARE\\Microsoft\\Keyboard");
    }
};

TEST_F(BuiltInRowsTest, TheInstallWritesTheWholeTableAsTheGoldenExportShows) {
    WriteProgramRegistrySettings();
    const std::string written = WrittenTables();
    if (getenv("VN_WRITE_GOLDEN")) WriteHostFile(getenv("VN_WRITE_GOLDEN"), written);
    EXPECT_EQ(written, ReadHostFile(std::string(VN_SHELL_TEST_DATA) + "/builtin-rows.txt"));
    const std::string notes = ReadHostFile(Machine().MachineFolder() + "/shell.log");
    EXPECT_NE(notes.find("notify event 0x8000000 flags 0x0"), std::string::npos) << notes;
}

TEST_F(BuiltInRowsTest, AutoPlayRowsAreWrittenOncePerViewAndTheLauncherRowsNeedALauncher) {
    // 64-bit Windows: the 32-bit view and the 64-bit view; 32-bit Windows: one view.
    WriteProgramRegistrySettings();
    const std::string handler = "VnPlayMediaOnArrival";
    EXPECT_EQ(Value(VnRegRoot::LocalMachine, VnString(kAutoPlay) + u"\\Handlers\\VnPlayMediaOnArrival", "Provider"),
              "Tunaro");
    EXPECT_EQ(Value(VnRegRoot::LocalMachine, VnString(kAutoPlay) + u"\\Handlers\\VnPlayMediaOnArrival", "Provider",
                    true),
              "Tunaro");

    OpenMachine("[Windows]\nBits=32\n");
    Install();
    WriteProgramRegistrySettings();
    const std::string once = Dump(VnRegRoot::LocalMachine, kAutoPlay);
    EXPECT_NE(once.find(handler), std::string::npos);
    EXPECT_FALSE(KeyExists(VnRegRoot::LocalMachine, kAutoPlay32));
    EXPECT_TRUE(KeyExists(VnRegRoot::ClassesRoot, u"Applications\\Tunaro Launcher.exe\\shell\\Play\\command"));

    // A product without a launcher: no Applications rows, the token expands to nothing.
    std::string withoutLauncher = kProductInfo;
    withoutLauncher.replace(withoutLauncher.find("Tunaro Launcher.exe"), std::string("Tunaro Launcher.exe").size(), "");
    OpenMachine("", withoutLauncher.c_str());
    Install();
    WriteProgramRegistrySettings();
    EXPECT_FALSE(KeyExists(VnRegRoot::ClassesRoot, u"Applications"));
    EXPECT_EQ(Value(VnRegRoot::ClassesRoot, u"Tunaro.9933.0.44.Playlist\\shell\\open\\command", ""),
              "\"\" /Play \"%L\"");

    // Without product information nothing is written (no bare ".File" ProgID).
    OpenMachine("");
    {
        CFileAssociationHelper helper(VnString(), nullptr);
        helper.SetWriteTemplates(true);
    }
    EXPECT_FALSE(KeyExists(VnRegRoot::ClassesRoot, u".File"));
    EXPECT_FALSE(KeyExists(VnRegRoot::ClassesRoot, u".pmp"));
}

}  // namespace

#endif
