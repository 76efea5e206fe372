// The installation record and the "Installer" values written with it, and the
// typed access to the "Installer" key.
#ifndef _WIN32

#include "InstallationRecordWriter.h"
#include "InstallerKey.h"
#include "InstallRecordMachine.h"

namespace {

constexpr const char16_t* kDestination = u"D:\\My Programs\\Tunaro 9933\\";
constexpr const char16_t* kRecordKey = u"Software\\V. Arnel\\Tunacore\\Installations\\Tunaro 9933";

class InstallationRecordTest : public InstallRecordMachine {
protected:
    void SetUp() override {
        InstallRecordMachine::SetUp();
        WriteFile(VnString(kPlaymoor) + u"Tunaro.exe", MakeProgramFile("9933.0.44.7"));
        Options().DestinationFolder = kDestination;
    }
    std::string Installer(const std::string& name) { return Value(VnRegRoot::CurrentUser, kInstallerKey, name); }
};

TEST_F(InstallationRecordTest, AFirstInstallWritesTheRecordInOrderAndTheInstallerValues) {
    Options().DistributorID = u"ACME-7";
    WriteInstallationRecord();

    EXPECT_EQ(Values(VnRegRoot::LocalMachine, kInstallations),
              (std::vector<NamedValue>{{"", vnwin::kRegSz, "Tunaro 9933"}}));
    std::vector<NamedValue> record = Values(VnRegRoot::LocalMachine, kRecordKey);
    ASSERT_EQ(record.size(), 6u);
    const std::string guid = record[5].text;
    EXPECT_TRUE(LooksLikeGuid(guid)) << guid;
    EXPECT_EQ(record, (std::vector<NamedValue>{
                          {"Path", vnwin::kRegSz, "D:\\My Programs\\Tunaro 9933\\"},
                          {"Version", vnwin::kRegSz, "9933.0.44"},
                          {"OS Version", vnwin::kRegDword, "1013"},  // Windows 11
                          {"Launcher Name", vnwin::kRegSz, "Tunaro Launcher.exe"},
                          {"Uninstall Key", vnwin::kRegSz, "Tunaro 9933"},  // a first install: the form-4 name
                          {"GUID", vnwin::kRegSz, guid},
                      }));
    // The installer's own (32-bit) view only.
    EXPECT_FALSE(KeyExists(VnRegRoot::LocalMachine, kRecordKey, true));

    EXPECT_EQ(Installer("Distributor ID"), "ACME-7");
    EXPECT_EQ(Installer("Install Directory"), "D:\\My Programs\\Tunaro 9933\\");
}

TEST_F(InstallationRecordTest, AReinstallKeepsTheGuidAndTheDistributorAndUpdatesTheRest) {
    Options().DistributorID = u"EARLIER";
    WriteInstallationRecord();
    const std::string guid = Value(VnRegRoot::LocalMachine, kRecordKey, "GUID");
    ASSERT_TRUE(LooksLikeGuid(guid));

    Options().DistributorID.Empty();
    Options().UninstallKeyName = u"Tunaro 9933 Found";
    Options().DestinationFolder = u"E:\\Tunaro\\";
    WriteInstallationRecord();
    EXPECT_EQ(Value(VnRegRoot::LocalMachine, kRecordKey, "GUID"), guid);
    EXPECT_EQ(Value(VnRegRoot::LocalMachine, kRecordKey, "Path"), "E:\\Tunaro\\");
    EXPECT_EQ(Value(VnRegRoot::LocalMachine, kRecordKey, "Uninstall Key"), "Tunaro 9933 Found");
    EXPECT_EQ(Installer("Install Directory"), "E:\\Tunaro\\");
    EXPECT_EQ(Installer("Distributor ID"), "EARLIER");  // an empty one writes nothing

    // An empty GUID counts as none.
    SetValue(VnRegRoot::LocalMachine, kRecordKey, false, u"GUID", VnRegValue::String(VnString()));
    WriteInstallationRecord();
    const std::string renewed = Value(VnRegRoot::LocalMachine, kRecordKey, "GUID");
    EXPECT_TRUE(LooksLikeGuid(renewed)) << renewed;
}

TEST_F(InstallationRecordTest, PortableInstallsAndMachinesWithoutRightsGetOnlyTheUserValues) {
    Options().PortableSetup = true;
    Options().DistributorID = u"ACME-7";
    WriteInstallationRecord();
    EXPECT_FALSE(KeyExists(VnRegRoot::LocalMachine, kInstallations));
    EXPECT_EQ(Installer("Install Directory"), "D:\\My Programs\\Tunaro 9933\\");
    EXPECT_EQ(Installer("Distributor ID"), "ACME-7");

    Options().PortableSetup = false;
    Options().DestinationFolder = u"E:\\Tunaro\\";
    Machine().Facts().hklmWritable = false;
    WriteInstallationRecord();
    EXPECT_FALSE(KeyExists(VnRegRoot::LocalMachine, kInstallations));
    EXPECT_EQ(Installer("Install Directory"), "E:\\Tunaro\\");
    EXPECT_EQ(Machine().SimShell().Messages().GetSize(), 0);
}

TEST_F(InstallationRecordTest, TheVersionIsEmptyWhenThePayloadVersionCannotBeRead) {
    Machine().Facts().missingLibraries.Add(u"version.dll");
    WriteInstallationRecord();
    EXPECT_EQ(Value(VnRegRoot::LocalMachine, kRecordKey, "Version"), "");

    Machine().Facts().missingLibraries.RemoveAll();
    WriteFile(VnString(kPlaymoor) + u"Tunaro.exe", "not a program");
    WriteInstallationRecord();
    EXPECT_EQ(Value(VnRegRoot::LocalMachine, kRecordKey, "Version"), "");
    EXPECT_EQ(Value(VnRegRoot::LocalMachine, kRecordKey, "Path"), "D:\\My Programs\\Tunaro 9933\\");
}

TEST_F(InstallationRecordTest, TheInstallerKeyStoresEachValueUnderItsNameAndType) {
    CInstallerKey key;
    ASSERT_TRUE(key.IsAvailable());
    EXPECT_EQ(key.GetInstallCount(), 0);              // missing counts as 0
    EXPECT_EQ(key.GetCreateStartMenu(-1), -1);        // the caller's default
    EXPECT_FALSE(key.GetRunAutoInstall());

    key.SetInstallDirectory(u"C:\\Tunaro\\\\");
    key.SetDistributorID(u"ACME");
    key.SetRunAutoInstall(true);
    key.SetCreateStartMenu(1);
    key.SetStartMenuVersion(9933);
    key.SetInstallCount(4);
    key.SetPendingInstall(u"C:\\Downloads\\Setup.exe");
    key.SetPendingInstallVersion(u"9933.1.0");
    key.SetPendingInstallRunCount(2);
    key.SetPendingInstallInstallCount(3);
    const uint32_t sz = vnwin::kRegSz, dword = vnwin::kRegDword;
    EXPECT_EQ(Values(VnRegRoot::CurrentUser, kInstallerKey),
              (std::vector<NamedValue>{
                  {"Install Directory", sz, "C:\\Tunaro\\"},
                  {"Distributor ID", sz, "ACME"},
                  {"Run Auto Install", dword, "1"},
                  {"Create Start Menu", dword, "1"},
                  {"Start Menu Version", dword, "9933"},
                  {"Install - Install Count", dword, "4"},
                  {"Release Channel - Pending Install", sz, "C:\\Downloads\\Setup.exe"},
                  {"Release Channel - Pending Install Version", sz, "9933.1.0"},
                  {"Release Channel - Pending Install Run Count", dword, "2"},
                  {"Release Channel - Pending Install Install Count", dword, "3"},
              }));
    EXPECT_EQ(key.GetInstallDirectory().ToUtf8(), "C:\\Tunaro\\");
    EXPECT_EQ(key.GetStartMenuVersion(), 9933);

    EXPECT_TRUE(key.DeletePendingInstallRunCount());
    EXPECT_TRUE(key.DeletePendingInstallInstallCount());
    int32_t count = -1;
    EXPECT_FALSE(key.ReadPendingInstallRunCount(count));
    EXPECT_FALSE(key.ReadPendingInstallInstallCount(count));

    // An earlier version's key is reached by its number.
    SetValue(VnRegRoot::CurrentUser, u"Software\\V. Arnel\\Tunaro 31\\Installer", false, u"Install Directory",
             VnRegValue::String(u"C:\\Tunaro 31\\"));
    EXPECT_EQ(CInstallerKey::ForVersion(&Tools(), 31).GetInstallDirectory().ToUtf8(), "C:\\Tunaro 31\\");
    EXPECT_FALSE(CInstallerKey(nullptr).IsAvailable());
    EXPECT_TRUE(CInstallerKey(nullptr).GetInstallDirectory().IsEmpty());
}

}  // namespace

#endif  // _WIN32
