// The registry-backed property stores of the product's settings.
#include <memory>

#include "ToolsTestMachine.h"

namespace {

class PropertyStoreTest : public ToolsTest {
protected:
    void SetUp() override {
        ToolsTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(LoadTestProduct());
    }
    std::unique_ptr<ToolsPropertyStore> Open(const VnString& name) {
        return std::unique_ptr<ToolsPropertyStore>(library->OpenPropertyStore(name));
    }
};

TEST_F(PropertyStoreTest, ValuesRoundTripUnderTheVersionKey) {
    auto properties = Open(u"Properties");
    ASSERT_TRUE(properties);
    EXPECT_EQ(properties->GetKeyPath(), u"HKEY_CURRENT_USER\\Software\\V. Arnel\\Tunaro 9933\\Properties");

    // Nothing stored yet: the defaults, and no key made by reading.
    EXPECT_EQ(properties->GetText(u"Library", u"none"), u"none");
    EXPECT_EQ(properties->GetNumber(u"Install - First Install", -1), -1);
    EXPECT_FALSE(properties->HasValue(u"Install - First Install"));

    ASSERT_TRUE(properties->SetText(u"Install - First Install Date", u"2026-12-05 16:00", 0));
    ASSERT_TRUE(properties->SetNumber(u"Install - First Install", 1, 0));
    ASSERT_TRUE(properties->SetNumber(u"Offset", -7, 0));
    ASSERT_TRUE(properties->SetText(u"Count As Text", u" 12", 0));

    VnRegValue date = StoredValue(VnString(kProductKey) + u"\\Properties", u"Install - First Install Date");
    EXPECT_EQ(date.type, vnwin::kRegSz);
    EXPECT_EQ(date.text, u"2026-12-05 16:00");
    EXPECT_EQ(StoredValue(VnString(kProductKey) + u"\\Properties", u"Install - First Install").type, vnwin::kRegDword);

    // A second store on the same key sees them; numbers and texts convert.
    auto again = Open(u"Properties");
    EXPECT_EQ(again->GetNumber(u"Install - First Install", 0), 1);
    EXPECT_EQ(again->GetNumber(u"Offset", 0), -7);
    EXPECT_EQ(again->GetText(u"Offset", u""), u"-7");
    EXPECT_EQ(again->GetNumber(u"Count As Text", 0), 12);
    EXPECT_EQ(again->GetNumber(u"Install - First Install Date", 99), 2026);
    EXPECT_EQ(again->GetValueType(u"Offset"), vnwin::kRegDword);
    EXPECT_EQ(again->GetValueType(u"Missing"), 0u);

    EXPECT_TRUE(again->DeleteValue(u"Offset"));
    EXPECT_FALSE(properties->HasValue(u"Offset"));
    EXPECT_TRUE(again->DeleteValue(u"Offset"));  // already gone counts as done
}

TEST_F(PropertyStoreTest, FolderFlagStoresOneTrailingBackslash) {
    auto installer = Open(u"Installer");
    ASSERT_TRUE(installer->SetText(u"Install Directory", u"C:\\Program Files\\Tunaro", kToolsStoreFlagFolder));
    EXPECT_EQ(installer->GetText(u"Install Directory", u""), u"C:\\Program Files\\Tunaro\\");
    ASSERT_TRUE(installer->SetText(u"Install Directory", u"D:\\Tunaro\\\\\\", kToolsStoreFlagFolder));
    EXPECT_EQ(installer->GetText(u"Install Directory", u""), u"D:\\Tunaro\\");
    ASSERT_TRUE(installer->SetText(u"Empty Folder", u"", kToolsStoreFlagFolder));
    EXPECT_EQ(installer->GetText(u"Empty Folder", u"x"), u"");
    ASSERT_TRUE(installer->SetText(u"Plain", u"D:\\Tunaro\\\\", 0));
    EXPECT_EQ(installer->GetText(u"Plain", u""), u"D:\\Tunaro\\\\");
}

TEST_F(PropertyStoreTest, RootStoreDeletesSubkeysAndEnumerates) {
    auto root = Open(VnString());
    auto dlna = Open(u"DLNA\\Servers\\Kitchen");
    auto server = Open(u"Library Server");
    ASSERT_TRUE(dlna->SetText(u"Address", u"192.0.2.1", 0));
    ASSERT_TRUE(server->SetText(u"UUID", u"{1}", 0));
    ASSERT_TRUE(server->SetText(u"Registered Access Key", u"k", 0));
    ASSERT_TRUE(root->SetNumber(u"Top", 3, 0));
    EXPECT_EQ(root->GetKeyPath(), u"HKEY_CURRENT_USER\\Software\\V. Arnel\\Tunaro 9933");

    VnStringArray subkeys;
    for (int i = 0; !root->GetSubKeyName(i).IsEmpty(); ++i) subkeys.Add(root->GetSubKeyName(i));
    EXPECT_GE(subkeys.FindNoCase(u"DLNA"), 0);
    EXPECT_GE(subkeys.FindNoCase(u"Library Server"), 0);
    EXPECT_EQ(root->GetValueName(0), u"Top");
    EXPECT_EQ(root->GetValueName(1), u"");

    // A subkey goes with everything below it; a missing one counts as deleted.
    EXPECT_TRUE(Open(u"DLNA")->DeleteSubKey(u"Servers"));
    EXPECT_FALSE(dlna->HasValue(u"Address"));
    EXPECT_TRUE(Open(u"DLNA")->DeleteSubKey(u"Servers"));
    EXPECT_TRUE(Open(u"Missing")->DeleteSubKey(u"Anything"));
    EXPECT_FALSE(root->DeleteSubKey(VnString()));
    EXPECT_TRUE(server->HasValue(u"UUID"));
}

TEST_F(PropertyStoreTest, CopyValueKeepsTypeAndBytes) {
    VnRegKey key = 0;
    ASSERT_EQ(VnPlatform().Registry().CreateKey(VnRegRoot::CurrentUser, u"Software\\VnToolsTest\\Old",
                                                vnwin::kKeyReadWrite, key),
              0u);
    VnRegValue binary;
    binary.type = vnwin::kRegBinary;
    binary.bytes = {0x00, 0xFF, 0x10};
    ASSERT_EQ(VnPlatform().Registry().SetValue(key, u"Window Position", binary), 0u);
    VnPlatform().Registry().CloseKey(key);

    std::unique_ptr<ToolsPropertyStore> old(
        library->OpenRegistryStore(uint32_t(VnRegRoot::CurrentUser), u"Software\\VnToolsTest\\Old", 0));
    std::unique_ptr<ToolsPropertyStore> current(
        library->OpenRegistryStore(uint32_t(VnRegRoot::CurrentUser), u"Software\\VnToolsTest\\New", 0));
    ASSERT_TRUE(old && current);
    EXPECT_EQ(old->GetValueType(u"Window Position"), vnwin::kRegBinary);
    VnString text;
    EXPECT_FALSE(old->ReadText(u"Window Position", text));
    ASSERT_TRUE(old->CopyValue(u"Window Position", *current));
    VnRegValue copied = StoredValue(u"Software\\VnToolsTest\\New", u"Window Position");
    EXPECT_EQ(copied.type, vnwin::kRegBinary);
    EXPECT_EQ(copied.bytes, binary.bytes);
    EXPECT_FALSE(old->CopyValue(u"Missing", *current));

    EXPECT_EQ(library->OpenRegistryStore(0x80000005, u"Software", 0), nullptr);
}

}  // namespace
