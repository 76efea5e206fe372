// The destination page: the default folder and its order of sources, the
// folder's normal form, and each rule with its message.
#ifndef _WIN32

#include "DestinationRules.h"
#include "ProcessInformationBlock.h"
#include "InstallerKey.h"
#include "WizardTestFixture.h"

namespace {

constexpr const char* kFacts =
    "[Drive C]\nFree=200 GB\nTotal=500 GB\n"
    "[Drive D]\nFree=29 MB\nTotal=1 GB\n"
    "[Drive E]\nFree=30 MB\nTotal=1 GB\n"
    "[Faults]\nUncreatableFolder=C:\\Locked\n";

std::string Invalid(const std::string& reason) {
    return "Invalid Destination Folder: Tunaro can not be " + reason +
           ".\r\n\r\nPlease enter a new destination folder.";
}

// A machine where every folder can be made and no drive has room.
struct FakeMachine final : IDestinationMachine {
    int freeSpaceQueries = 0;
    VnString GetWindowsFolder() override { return u"C:\\Windows"; }
    VnString GetProgramFilesFolder() override { return u"C:\\Program Files\\"; }
    bool CreateFolderTree(const VnString&) override { return true; }
    bool GetFreeBytes(const VnString&, uint64_t& freeBytes) override {
        ++freeSpaceQueries;
        freeBytes = 0;
        return true;
    }
};

}  // namespace

TEST_F(WizardTest, EachRuleRefusesWithItsMessageAndKeepsThePage) {
    OpenMachine(kFacts);
    AddUninstallEntry(u"Tunaro 12", u"E:\\Apps\\Old");
    // The payload's longest file path (relative to "Playmoor\") is 200 characters.
    const std::u16string deepFile = u"Skins\\" + std::u16string(190, u'x') + u".png";
    WriteFile(u"C:\\Setup\\Playmoor\\" + VnString(deepFile), "image");
    OpenWizard();
    WalkToDestination();
    const std::u16string longFolder = u"C:\\" + std::u16string(55, u'L') + u"\\";  // 59 + 200 fits
    const std::u16string tooLong = u"C:\\" + std::u16string(56, u'L');                // 60 + 200 does not
    const std::string lowSpace =
        "Insufficient Disk Space: There is not enough free space on this drive to install Tunaro Test 9933.\r\n\r\n"
        "Tunaro Test 9933 installation requires at least 20 MB of free disk space.\r\n\r\n"
        "Please select a different drive or free more space on the selected drive.";
    auto notAbsolute = [](const std::string& typed) {
        return Invalid("installed to \"" + typed +
                       "\": a destination folder must be a full path that begins with a drive letter, such as C:\\, "
                       "or a network share, such as \\\\server\\share\\");
    };
    const std::vector<std::pair<std::u16string, std::string>> refused = {
        {u"", Invalid("installed to an empty folder")},
        {u"Tunaro", notAbsolute("Tunaro")},
        {u"\\Tunaro", notAbsolute("\\Tunaro")},
        {u"C:Tunaro", notAbsolute("C:Tunaro")},
        {u"\\\\server", notAbsolute("\\\\server")},
        {u"C:\\Games\\Tu|naro", notAbsolute("C:\\Games\\Tu|naro")},
        {u"C:\\Games\\..\\..", Invalid("installed to the root of a drive")},
        {u"C:\\", Invalid("installed to the root of a drive")},
        {u"C:", Invalid("installed to the root of a drive")},
        {u"C:\\Windows\\Tunaro", Invalid("installed in the Windows folder")},
        {u"c:\\windowsApps\\Tunaro", Invalid("installed in the Windows folder")},
        {u"C:/Windows/Tunaro", Invalid("installed in the Windows folder")},
        {u"C:\\Games\\..\\Windows\\.\\Tunaro", Invalid("installed in the Windows folder")},
        {u"C:\\program files (x86)", Invalid("installed to the root program files folder")},
        {u"E:\\Apps", Invalid("installed where a pre-existing program is installed")},
        {u"E:\\apps\\old\\\\", Invalid("installed where a pre-existing program is installed")},
        {u"C:\\Locked\\Tunaro", "Error: Failed to create Tunaro directory."},
        {u"D:\\Tunaro", lowSpace},
        {tooLong, "Invalid Destination Folder: The destination folder \"" + VnString(tooLong).ToUtf8() +
                                "\\\" is too long: the longest path of an installed file would be 260 characters, "
                                "and Tunaro can use paths of at most 259 characters.\r\n\r\n"
                                "Please enter a shorter destination folder."},
    };
    for (const auto& [path, message] : refused) {
        const size_t before = Boxes().size();
        ASSERT_TRUE(Ui().Type(u"Install to:", VnString(path)));
        Press(u"Next >");
        EXPECT_EQ(Page(), 3) << VnString(path).ToUtf8();
        ASSERT_EQ(Boxes().size(), before + 1) << VnString(path).ToUtf8();
        EXPECT_EQ(Boxes().back(), message);
    }
    EXPECT_TRUE(Machine().Files().GetFileAttributes(u"D:\\Tunaro\\") & vnwin::kFileAttributeDirectory);  // stays
    // Nothing was made of the folders refused before the creation rule.
    for (const char16_t* never : {u"C:\\Setup\\Tunaro", u"C:\\Tunaro", u"C:\\Windows\\Tunaro"})
        EXPECT_EQ(Machine().Files().GetFileAttributes(never), vnwin::kInvalidFileAttributes) << VnString(never).ToUtf8();

    // Accepted folders are installed into in their canonical form.
    const std::vector<std::pair<std::u16string, std::u16string>> accepted = {
        {u"E:\\Apps\\Other", u"E:\\Apps\\Other\\"},
        {u"C:\\Program Files (x86)\\V Arnel", u"C:\\Program Files (x86)\\V Arnel\\"},
        {u"C:/Games/Tunaro", u"C:\\Games\\Tunaro\\"},
        {u" C:\\Games\\.\\Old\\..\\\\Tunaro. \\", u"C:\\Games\\Tunaro\\"},
        {longFolder, longFolder},
    };
    for (const auto& [typed, canonical] : accepted) {
        Wizard().SetActivePage(3, false);  // back from the copy page, which a user cannot do
        ASSERT_TRUE(Ui().Type(u"Install to:", VnString(typed)));
        Press(u"Next >");
        EXPECT_EQ(Page(), CInstallWizard::kCopyPageIndex) << VnString(typed).ToUtf8();
        EXPECT_EQ(Options().DestinationFolder, VnString(canonical));
    }
}

TEST(DestinationRulesTest, SharePathSkipsTheDiskSpaceRule) {
    FakeMachine machine;
    const DestinationVerdict share = CheckDestination(u"\\\\server\\share/./Tunaro", {}, 0, machine);
    EXPECT_EQ(share.rule, DestinationRule::Accepted);
    EXPECT_EQ(share.folder, u"\\\\server\\share\\Tunaro\\");
    EXPECT_EQ(machine.freeSpaceQueries, 0);
    EXPECT_EQ(CheckDestination(u"D:\\Tunaro\\", {}, 0, machine).rule, DestinationRule::LowDiskSpace);
}

TEST_F(WizardTest, DefaultFolderComesFromTheFirstSourceThatHasOne) {
    WizardProduct product;
    bool storeDirectory = false, otherVersion = false;
    auto defaultShown = [&]() {
        OpenMachine("", product);
        if (storeDirectory) CInstallerKey().SetInstallDirectory(u"D:\\Last\\");
        if (otherVersion) AddUninstallEntry(u"Tunaro 12", u"D:\\Old\\");
        OpenWizard();
        WalkToDestination();
        return Wizard().GetSelectPathPage().GetPathBox().GetPath().ToUtf8();
    };
    EXPECT_EQ(defaultShown(), kDefaultDestination);
    product.installToPath = "D:\\Product\\";
    EXPECT_EQ(defaultShown(), "D:\\Product\\");
    storeDirectory = true;
    EXPECT_EQ(defaultShown(), "D:\\Last\\");
    otherVersion = true;  // the last install's folder may belong to the other version
    EXPECT_EQ(defaultShown(), "D:\\Product\\");

    // The same version installed: its folder, where the page (answered) is passed over.
    OpenMachine("");
    AddUninstallEntry(u"Tunaro 9933", u"C:\\Installed\\");
    ProcessInformationBlock::Get().SetProgramFolder(u"C:\\Installed\\");
    OpenWizard();
    AcceptAndChooseCustom();
    Press(u"Next >");
    EXPECT_EQ(Page(), CInstallWizard::kCopyPageIndex);
    EXPECT_EQ(Options().DestinationFolder.ToUtf8(), "C:\\Installed\\");
}

#endif  // _WIN32
