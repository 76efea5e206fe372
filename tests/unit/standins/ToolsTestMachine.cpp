#include "ToolsTestMachine.h"


const char* const ToolsTest::kProductInfo = R"(<?xml version="1.0" encoding="UTF-8"?>
<TestProduct version="1.0">
  <Names>
    <Name Form="0">Tunaro</Name>
    <Name Form="1">
      Tunaro Test
    </Name>
    <Name Form="3">Tunaro Media</Name>
    <Name Form="4">Tunaro 9933</Name>
    <Name Form="6">Tunaro Müsik</Name>
  </Names>
  <Version>9933.0.44</Version>
  <URL>https://www.tunaro.example/</URL>
  <ExecutableName>Tunaro.exe</ExecutableName>
  <LauncherName>Tunaro Launcher.exe</LauncherName>
  <Extension>mpl</Extension>
  <MimeTypes>application/x-a;application/x-b</MimeTypes>
  <Protocols>tunaro</Protocols>
  <StartMenuFolder>Tunaro 9933</StartMenuFolder>
  <Features>2; 18 ;x;;191</Features>
  <Downloads>
    <Download Number="15">https://downloads.example/d3dx.exe</Download>
    <Download Number="54">https://downloads.example/webview.exe</Download>
    <Download>https://downloads.example/unnumbered.exe</Download>
  </Downloads>
  <Installer>
    <ShowLanguageSelection>1</ShowLanguageSelection>
    <PromoCount>three</PromoCount>
    <PromoMinimumMilliseconds> -200 </PromoMinimumMilliseconds>
  </Installer>
  <General>
    <MegaSkin>Standard View\Graphite</MegaSkin>
    <MegaSkinKey></MegaSkinKey>
  </General>
  <DefaultSettings>
    <START_LOCATION>7</START_LOCATION>
  </DefaultSettings>
</TestProduct>
)";

namespace {
void DeleteKeyTree(VnRegRoot root, const VnString& parent, const VnString& name) {
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    if (registry.OpenKey(root, parent, vnwin::kKeyReadWrite, key) != 0) return;
    registry.DeleteTree(key, name);
    registry.CloseKey(key);
}
}  // namespace

void ToolsTest::SetUp() {
    PlatformTest::SetUp();
    ASSERT_EQ(Files().CreateDirectory(ModuleFolder().Left(ModuleFolder().GetLength() - 1)), 0u);
    folders.moduleFolder = ModuleFolder();
}

void ToolsTest::TearDown() {
    library.reset();  // writes its log while the machine is still there
    DeleteKeyTree(VnRegRoot::CurrentUser, VN_LIT(u"Software\\V. Arnel"), VN_LIT(u"Tunaro 9933"));
    DeleteKeyTree(VnRegRoot::CurrentUser, VN_LIT(u"Software"), VN_LIT(u"VnToolsTest"));
    PlatformTest::TearDown();
}

void ToolsTest::WriteProductInfo(std::string_view utf8Xml) { WriteFile(ModuleFolder() + u"ProductInfo.xml", utf8Xml); }

std::unique_ptr<VnToolsLibrary> ToolsTest::NewLibrary() {
    auto library = std::make_unique<VnToolsLibrary>();
    library->SetProcessFolders(&folders);
    return library;
}

void ToolsTest::LoadTestProduct() {
    WriteProductInfo();
    library = NewLibrary();
    VnString error;
    product = library->GetProductInformation(error);
    ASSERT_NE(product, nullptr) << error.ToUtf8();
}

VnRegValue ToolsTest::StoredValue(const VnString& key, const VnString& name, VnRegRoot root) {
    VnRegValue value;
    VnRegKey handle = 0;
    if (Reg().OpenKey(root, key, vnwin::kKeyRead, handle) != 0) return value;
    if (Reg().QueryValue(handle, name, value) != 0) value = VnRegValue();
    Reg().CloseKey(handle);
    return value;
}

void ToolsTest::StoreText(const VnString& key, const VnString& name, const VnString& text) {
    VnRegKey handle = 0;
    ASSERT_EQ(Reg().CreateKey(VnRegRoot::CurrentUser, key, vnwin::kKeyReadWrite, handle), 0u);
    EXPECT_EQ(Reg().SetValue(handle, name, VnRegValue::String(text)), 0u);
    Reg().CloseKey(handle);
}
