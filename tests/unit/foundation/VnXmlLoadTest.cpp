#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "HostFiles.h"
#include "VnXmlDocument.h"

namespace {

class VnXmlLoad : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("vnxml_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // Writes the bytes to a file and returns its path as text. The name may
    // hold any characters (UTF-8).
    VnString WriteFile(const char* name, std::string_view bytes) {
        std::filesystem::path path = folder_ / std::filesystem::path(reinterpret_cast<const char8_t*>(name));
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        std::u8string text = path.u8string();
        return VnString::FromUtf8(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
    }

    std::filesystem::path folder_;
};

constexpr char16_t kText[] = u"<VNIC><Product><InstallToPath>C:\\Programme \u00e9\u4e2d\U0001F600</InstallToPath></Product></VNIC>";

}  // namespace

TEST_F(VnXmlLoad, ReadsEveryAcceptedEncoding) {
    const std::string utf8 = VnString(kText).ToUtf8();
    const std::pair<const char*, std::string> files[] = {
        {"plain.xml", utf8},
        {"bom8.xml", "\xEF\xBB\xBF" + utf8},
        {"le.xml", Utf16FileBytes(kText, false)},
        {"be.xml", Utf16FileBytes(kText, true)},
        {"le-nobom.xml", Utf16FileBytes(kText, false).substr(2)},
        {"Caf\xC3\xA9 \xE4\xB8\xAD.xml", utf8},  // a name beyond ASCII
    };
    for (const auto& [name, bytes] : files) {
        VnXmlDocument doc;
        ASSERT_TRUE(doc.Load(WriteFile(name, bytes))) << name << ": " << doc.GetError().ToUtf8();
        EXPECT_EQ(doc.GetDoc(), kText) << name;
        ASSERT_TRUE(doc.FindElem(u"/*/Product/InstallToPath")) << name;
        EXPECT_EQ(doc.GetData(), u"C:\\Programme \u00e9\u4e2d\U0001F600") << name;
    }
}

TEST_F(VnXmlLoad, MissingFileOrBadContentFails) {
    VnXmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(u"<old/>"));
    VnString missing = VnString::FromUtf8((folder_ / "missing.xml").string());
    EXPECT_FALSE(doc.Load(missing));
    EXPECT_EQ(doc.GetError(), u"Unable to open file '" + missing + u"'");
    EXPECT_EQ(doc.GetDoc(), u"");
    EXPECT_FALSE(doc.FindElem());

    EXPECT_FALSE(doc.Load(WriteFile("empty.xml", "")));
    EXPECT_EQ(doc.GetError(), u"Empty document");
    // A trailing odd byte of UTF-16 text is dropped.
    EXPECT_TRUE(doc.Load(WriteFile("odd.xml", std::string("\xFF\xFE<\0a\0/\0>\0\n", 11))));
    EXPECT_EQ(doc.GetDoc(), u"<a/>");
    EXPECT_FALSE(doc.Load(VnString::FromUtf8(folder_.string())));  // a folder is not a document
}
