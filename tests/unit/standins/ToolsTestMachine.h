// Each stand-in test gets a fresh machine through the platform conformance
// fixture: a new simulated machine natively, the real Windows API in the
// Windows build. A test product "Tunaro 9933" keeps its settings clear of any
// real installation; its keys are removed after each test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "PlatformFixture.h"
#include "TestProcessFolders.h"
#include "TestText.h"
#include "ToolsInterface.h"
#include "ToolsLibrary.h"
#include "VnPlatform.h"


class ToolsTest : public PlatformTest {
protected:
    // The registry key of the test product's settings, below HKEY_CURRENT_USER.
    static constexpr const char16_t* kProductKey = u"Software\\V. Arnel\\Tunaro 9933";
    static const char* const kProductInfo;  // a complete ProductInfo.xml of the test product

    void SetUp() override;
    void TearDown() override;

    // A new folder for this test, ending in a backslash.
    const VnString& Scratch() const { return ScratchFolder(); }
    // The folder the libraries are loaded from: Scratch() + "Playmoor\".
    VnString ModuleFolder() const { return Scratch() + u"Playmoor\\"; }
    void WriteProductInfo(std::string_view utf8Xml = kProductInfo);
    // A library that reads its folders from `folders` (module folder: ModuleFolder()).
    std::unique_ptr<VnToolsLibrary> NewLibrary();
    // Writes kProductInfo and reads it through a new library into `library` and `product`.
    void LoadTestProduct();
    // The value `name` of `key` below `root`; an empty one of type REG_NONE when the key or value is missing.
    VnRegValue StoredValue(const VnString& key, const VnString& name, VnRegRoot root = VnRegRoot::CurrentUser);
    // Stores `text` as the REG_SZ value `name` of `key` below HKEY_CURRENT_USER, making the key if needed.
    void StoreText(const VnString& key, const VnString& name, const VnString& text);

    TestProcessFolders folders;
    std::unique_ptr<VnToolsLibrary> library;
    ProductInformation* product = nullptr;
};
