// The uninstall entry: its key name, its nine values in order, and the
// installs that write none.
#ifndef _WIN32

#include "UninstallEntry.h"

#include "InstallRecordMachine.h"

namespace {

constexpr const char16_t* kDestination = u"C:\\Program Files (x86)\\Tunaro 9933\\";
constexpr const char16_t* kEntryKey = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tunaro 9933";

NamedValue Text(const std::string& name, const std::string& text) { return {name, vnwin::kRegSz, text}; }

class UninstallEntryTest : public InstallRecordMachine {
protected:
    void SetUp() override {
        InstallRecordMachine::SetUp();
        Options().DestinationFolder = kDestination;
        WriteFile(VnString(kDestination) + u"Data\\Default Art\\application.ico", "icon");
    }
};

TEST_F(UninstallEntryTest, AFirstInstallWritesEveryValueInOrderUnderTheVersionName) {
    WriteUninstallEntry();

    const std::string destination = "C:\\Program Files (x86)\\Tunaro 9933\\";
    const std::string url = "https://www.tunaro.example/";
    EXPECT_EQ(Values(VnRegRoot::LocalMachine, kEntryKey),
              (std::vector<NamedValue>{
                  Text("DisplayName", "Tunaro Test 9933"),
                  Text("HelpLink", url),
                  Text("URLUpdateInfo", url),
                  Text("URLInfoAbout", url),
                  Text("InstallLocation", destination),
                  Text("Publisher", "Varnel, Inc."),
                  Text("DisplayVersion", "9933.0.44"),
                  Text("DisplayIcon", destination + "Data\\Default Art\\application.ico"),
                  Text("UninstallString", destination + "VnMediaUninstall.exe"),  // unquoted despite the spaces
              }));
    // The installer's own (32-bit) view only; the list key itself gets nothing.
    EXPECT_FALSE(KeyExists(VnRegRoot::LocalMachine, kEntryKey, true));
    EXPECT_TRUE(Values(VnRegRoot::LocalMachine, kUninstallList).empty());
    EXPECT_TRUE(Options().UninstallKeyName.IsEmpty());  // the shared state is left as the search set it
}

TEST_F(UninstallEntryTest, AFoundEntryIsRewrittenUnderItsOwnNameAndCustomArtWinsOverDefaultArt) {
    const VnString found = u"TUNARO 9933";
    AddUninstallEntry(false, found, u"V. Arnel, Inc.", u"D:\\Old\\");
    Options().UninstallKeyName = found;
    WriteFile(VnString(kDestination) + u"Data\\Custom Art\\application.ico", "custom icon");

    WriteUninstallEntry();

    const VnString key = VnString(kUninstallList) + u"\\" + found;
    EXPECT_EQ(Value(VnRegRoot::LocalMachine, key, "Publisher"), "Varnel, Inc.");
    EXPECT_EQ(Value(VnRegRoot::LocalMachine, key, "InstallLocation"), "C:\\Program Files (x86)\\Tunaro 9933\\");
    EXPECT_EQ(Value(VnRegRoot::LocalMachine, key, "DisplayIcon"),
              "C:\\Program Files (x86)\\Tunaro 9933\\Data\\Custom Art\\application.ico");
    EXPECT_EQ(UninstallKeyNameToWrite(Product(), Options()).ToUtf8(), "TUNARO 9933");

    // Without any icon the value is written empty.
    for (const char16_t* art : {u"Data\\Custom Art\\application.ico", u"Data\\Default Art\\application.ico"})
        ASSERT_EQ(Machine().Files().DeleteFile(VnString(kDestination) + art), 0u);
    WriteUninstallEntry();
    EXPECT_EQ(Value(VnRegRoot::LocalMachine, key, "DisplayIcon"), "");
}

TEST_F(UninstallEntryTest, NothingIsWrittenForPortableInstallsOrWithoutRights) {
    Options().PortableSetup = true;
    WriteUninstallEntry();
    EXPECT_FALSE(KeyExists(VnRegRoot::LocalMachine, kEntryKey));

    Options().PortableSetup = false;
    Machine().Facts().hklmWritable = false;
    WriteUninstallEntry();
    EXPECT_FALSE(KeyExists(VnRegRoot::LocalMachine, kEntryKey));
    EXPECT_EQ(Machine().SimShell().Messages().GetSize(), 0);

    // Without the tools library nothing can be named, so nothing is written.
    Machine().Facts().hklmWritable = true;
    VnSetTools(nullptr);
    WriteUninstallEntry();
    EXPECT_FALSE(KeyExists(VnRegRoot::LocalMachine, kEntryKey));
}

}  // namespace

#endif  // _WIN32
