// The simulated registry beyond what real Windows can be asked in the
// conformance cases: its file on disk, the 32-bit process's views on 64-
// and 32-bit Windows, missing rights, and handle bookkeeping.
#include <gtest/gtest.h>

#include <random>

#include "HostFiles.h"
#include "SimRegFile.h"
#include "SimRegistry.h"

namespace {

using namespace vnwin;

std::u16string TextOf(const std::string& utf16Bytes) {
    std::u16string text;
    for (size_t i = 2; i + 1 < utf16Bytes.size(); i += 2)
        text += char16_t(uint8_t(utf16Bytes[i]) | (uint8_t(utf16Bytes[i + 1]) << 8));
    return text;
}

// Every key and value of a hive as one comparable text.
std::string Dump(const VnSimRegHive& hive) {
    std::string out;
    hive.VisitAll([&out](VnRegRoot root, const VnSimRegNode& node, std::u16string_view path) {
        out += VnString(VnSimRegHive::RootName(root)).ToUtf8();
        if (!path.empty()) out += "\\" + VnString(path).ToUtf8();
        out += '\n';
        for (const auto& value : node.Values()) {
            out += value.name.ToUtf8();
            out += " type ";
            out += std::to_string(value.type);
            for (uint8_t byte : value.data) {
                out += ' ';
                out += std::to_string(byte);
            }
            out += '\n';
        }
    });
    return out;
}

class SimRegistryTest : public ::testing::Test {
protected:
    uint32_t Create(VnRegRoot root, const VnString& path, uint32_t access = kKeyReadWrite) {
        VnRegKey key = 0;
        uint32_t status = reg_.CreateKey(root, path, access, key);
        reg_.CloseKey(key);
        return status;
    }
    bool Exists(VnRegRoot root, const VnString& path, uint32_t access = kKeyRead | kKeyWow64_64Key) {
        VnRegKey key = 0;
        uint32_t status = reg_.OpenKey(root, path, access, key);
        reg_.CloseKey(key);
        return status == 0;
    }

    VnSimFacts facts_ = VnSimFacts::Defaults();
    VnSimRegistry reg_{facts_};
};

TEST_F(SimRegistryTest, FileRoundTripsEveryTypeAndAwkwardName) {
    VnRegKey key = 0;
    ASSERT_EQ(reg_.CreateKey(VnRegRoot::CurrentUser, u"Software\\Quote\"d [key]\\Ünï", kKeyReadWrite, key), 0u);
    VnRegValue binary;
    binary.type = kRegBinary;
    for (int i = 0; i < 100; ++i) binary.bytes.push_back(uint8_t(i * 7));
    VnRegValue oddType;
    oddType.type = 0x1234;
    oddType.bytes = {1, 2, 3};
    const struct {
        const char16_t* name;
        VnRegValue value;
    } values[] = {
        {u"", VnRegValue::String(u"")},
        {u"a \"quoted\" \\ name", VnRegValue::String(u"C:\\Program Files\\ \"x\" \\")},
        {u"Größe ✓", VnRegValue::String(u"Ünïcödé")},
        {u"Line breaks", VnRegValue::String(u"one\r\ntwo")},
        {u"Expand", VnRegValue::String(u"%SystemRoot%\\system32\\a-long-enough-value-to-wrap.dll", kRegExpandSz)},
        {u"Multi", VnRegValue::String(VnString(std::u16string_view(u"a\0bb\0ccc", 8)), kRegMultiSz)},
        {u"Dword", VnRegValue::Dword(0xA1B2C3D4)},
        {u"Qword", VnRegValue::Qword(0x1122334455667788ull)},
        {u"Binary", binary},
        {u"Odd type", oddType},
    };
    for (const auto& item : values) ASSERT_EQ(reg_.SetValue(key, item.name, item.value), 0u);
    reg_.CloseKey(key);
    // REG_SZ data as some programs write it: without its zero, or half a character.
    std::string error;
    ASSERT_TRUE(reg_.Import("Windows Registry Editor Version 5.00\n[HKLM\\SOFTWARE\\Odd]\n"
                            "\"Unterminated\"=hex(1):41,00\n\"Half\"=hex(1):41\n", error)) << error;

    std::string file = VnWriteRegFile(reg_.Hive());
    std::u16string text = TextOf(file);
    ASSERT_EQ(file.substr(0, 2), "\xFF\xFE");
    EXPECT_TRUE(text.starts_with(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n"));
    EXPECT_NE(text.find(u"[HKEY_CURRENT_USER\\Software\\Quote\"d [key]\\Ünï]\r\n@=\"\"\r\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"\"a \\\"quoted\\\" \\\\ name\"=\"C:\\\\Program Files\\\\ \\\"x\\\" \\\\\"\r\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"\"Dword\"=dword:a1b2c3d4\r\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"\"Qword\"=hex(b):88,77,66,55,44,33,22,11\r\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"\"Line breaks\"=hex(1):6f,00,6e,00,65,00,0d,00,0a,00,74,00"), std::u16string::npos);
    EXPECT_NE(text.find(u"\"Unterminated\"=hex(1):41,00\r\n\"Half\"=hex(1):41\r\n"), std::u16string::npos);
    // Hex data wraps after the comma that reaches column 77, continuing indented.
    EXPECT_NE(text.find(u"\"Binary\"=hex:00,07,0e,15,1c,23,2a,31,38,3f,46,4d,54,5b,62,69,70,77,7e,85,8c,93,\\\r\n  9a,"),
              std::u16string::npos);
    for (const auto& line : VnStringArray::Split(text, u"\r\n")) EXPECT_LE(line.GetLength(), 80) << line.ToUtf8();

    VnSimRegHive hive;
    ASSERT_TRUE(VnReadRegFile(file, hive, error)) << error;
    EXPECT_EQ(Dump(hive), Dump(reg_.Hive()));
    EXPECT_EQ(VnWriteRegFile(hive), file);
}

TEST_F(SimRegistryTest, ReadsWhatWindowsWritesAndWhatPeopleEdit) {
    const std::u16string windowsExport =
        u"Windows Registry Editor Version 5.00\r\n\r\n"
        u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor]\r\n"
        u"\"Path\"=hex(2):43,00,3a,00,5c,00,00,00\r\n"
        u"\"List\"=hex(7):61,00,00,00,62,00,00,00,\\\r\n"
        u"  00,00\r\n"
        u"\"Gone\"=\"soon\"\r\n\r\n"
        u"[HKEY_CLASSES_ROOT\\.vn]\r\n"
        u"@=\"Vn.File\"\r\n\r\n"
        u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Old]\r\n\r\n";
    std::string error;
    ASSERT_TRUE(reg_.Import(Utf16FileBytes(windowsExport), error)) << error;
    // A second file, in UTF-8 as a person would type it, deletes and adds.
    const std::string edit =
        "Windows Registry Editor Version 5.00\n"
        "; a comment\n"
        "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Old]\n"
        "[HKLM\\SOFTWARE\\Vendor]\n"
        "\"Gone\"=-\n"
        "  \"Small\" = dword:1f\n";
    ASSERT_TRUE(reg_.Import(edit, error)) << error;

    VnRegKey key = 0;
    ASSERT_EQ(reg_.OpenKey(VnRegRoot::LocalMachine, u"SOFTWARE\\Vendor", kKeyRead | kKeyWow64_64Key, key), 0u);
    VnRegValue value;
    ASSERT_EQ(reg_.QueryValue(key, u"Path", value), 0u);
    EXPECT_EQ(value.type, kRegExpandSz);
    EXPECT_EQ(value.text, u"C:\\");
    ASSERT_EQ(reg_.QueryValue(key, u"List", value), 0u);
    EXPECT_EQ(value.text, VnString(std::u16string_view(u"a\0b", 3)));
    ASSERT_EQ(reg_.QueryValue(key, u"Small", value), 0u);
    EXPECT_EQ(value.number, 0x1Fu);
    EXPECT_EQ(reg_.QueryValue(key, u"Gone", value), kErrorFileNotFound);
    VnString name;
    EXPECT_EQ(reg_.EnumKey(key, 0, name), kErrorNoMoreItems);
    reg_.CloseKey(key);
    ASSERT_EQ(reg_.OpenKey(VnRegRoot::ClassesRoot, u".vn", kKeyRead, key), 0u);
    ASSERT_EQ(reg_.QueryValue(key, u"", value), 0u);
    EXPECT_EQ(value.text, u"Vn.File");
    reg_.CloseKey(key);
}

TEST_F(SimRegistryTest, DamagedFilesAreRefusedWithTheLine) {
    const struct {
        const char* text;
        const char* expected;
    } damaged[] = {
        {"", "first line"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n", "REGEDIT4"},
        {"Windows Registry Editor Version 5.00\n\"a\"=\"b\"\n", "line 2: a value before"},
        {"Windows Registry Editor Version 5.00\n[HKEY_NOWHERE\\x]\n", "line 2: unknown root"},
        {"Windows Registry Editor Version 5.00\n[HKCU\\x\n", "must end with ]"},
        {"Windows Registry Editor Version 5.00\n[HKCU\\x]\n\"a\"=\"open\n", "line 3: text without"},
        {"Windows Registry Editor Version 5.00\n[HKCU\\x]\n\"a\"=dword:123456789\n", "line 3: dword"},
        {"Windows Registry Editor Version 5.00\n[HKCU\\x]\n\"a\"=hex:01,2g\n", "line 3: hex data"},
        {"Windows Registry Editor Version 5.00\n[HKCU\\x]\n\"a\"=hex:01,\\\n  zz\n", "line 3: hex data"},
        {"Windows Registry Editor Version 5.00\n[HKCU\\x]\n\"a\"=hex(zz):01\n", "line 3: hex("},
        {"Windows Registry Editor Version 5.00\n[HKCU\\x]\n\"a\"=hex:01,\\\n", "line 3: hex data cut off"},
        {"Windows Registry Editor Version 5.00\n[HKCU\\x]\n\"a\"=hex:01,\\\n\n\"b\"=\"c\"\n", "line 3: hex data cut off"},
        {"Windows Registry Editor Version 5.00\n[HKCU\\x]\n\"a\"=hex:01,02,\n", "line 3: hex data ends in a comma"},
        {"Windows Registry Editor Version 5.00\n[HKCU\\x]\n\"a\" \"b\"\n", "line 3: expected ="},
        {"Windows Registry Editor Version 5.00\n[HKCU\\x]\nplain words\n", "line 3: neither"},
        {"Windows Registry Editor Version 5.00\n[HKCU\\x]\n\"a\"=quoted\n", "line 3: unknown data"},
    };
    for (const auto& item : damaged) {
        VnSimRegHive hive;
        std::string error;
        EXPECT_FALSE(VnReadRegFile(item.text, hive, error)) << item.text;
        EXPECT_NE(error.find(item.expected), std::string::npos) << error;
    }

    // Whatever happens to a good file, reading it ends with an answer.
    VnRegKey key = 0;
    ASSERT_EQ(reg_.CreateKey(VnRegRoot::CurrentUser, u"Software\\Fuzz", kKeyReadWrite, key), 0u);
    VnRegValue binary;
    binary.type = kRegBinary;
    binary.bytes.assign(60, 0xAB);
    reg_.SetValue(key, u"Bin", binary);
    reg_.SetValue(key, u"Text", VnRegValue::String(u"a \"b\" \\c"));
    reg_.CloseKey(key);
    const std::string good = VnWriteRegFile(reg_.Hive());
    std::mt19937 random(12345);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = good;
        for (int edits = 1 + int(random() % 4); edits > 0; --edits) {
            size_t at = random() % bytes.size();
            switch (random() % 3) {
                case 0: bytes[at] = char(random()); break;
                case 1: bytes.erase(at, 1 + random() % 8); break;
                default: bytes.insert(at, 1, "\"\\[]=,:\r\n@-"[random() % 12]); break;
            }
            if (bytes.empty()) bytes = "x";
        }
        VnSimRegHive hive;
        std::string error;
        if (!VnReadRegFile(bytes, hive, error)) {
            EXPECT_FALSE(error.empty());
        }
    }

    // As on Windows, a tree grows at most 512 keys deep.
    VnString deep = u"Software";
    for (int level = 2; level <= 512; ++level) deep += u"\\k";
    ASSERT_EQ(reg_.CreateKey(VnRegRoot::CurrentUser, deep, kKeyReadWrite, key), 0u);
    reg_.CloseKey(key);
    EXPECT_EQ(reg_.CreateKey(VnRegRoot::CurrentUser, deep + u"\\k", kKeyReadWrite, key), kErrorInvalidParameter);
}

TEST_F(SimRegistryTest, ThirtyTwoBitViewOnSixtyFourBitWindows) {
    ASSERT_EQ(Create(VnRegRoot::LocalMachine, u"Software\\Vendor\\App"), 0u);
    EXPECT_TRUE(Exists(VnRegRoot::LocalMachine, u"Software\\Wow6432Node\\Vendor\\App"));
    EXPECT_FALSE(Exists(VnRegRoot::LocalMachine, u"Software\\Vendor"));
    EXPECT_TRUE(Exists(VnRegRoot::LocalMachine, u"SOFTWARE\\vendor\\app", kKeyRead | kKeyWow64_32Key));

    ASSERT_EQ(Create(VnRegRoot::LocalMachine, u"Software\\Native", kKeyReadWrite | kKeyWow64_64Key), 0u);
    EXPECT_FALSE(Exists(VnRegRoot::LocalMachine, u"Software\\Native", kKeyRead));
    EXPECT_TRUE(Exists(VnRegRoot::LocalMachine, u"Software\\Native"));

    // Classes are shared, except the COM keys (relative paths below an open
    // key and HKEY_CLASSES_ROOT's writes are checked against Windows).
    ASSERT_EQ(Create(VnRegRoot::ClassesRoot, u"CLSID\\{0}"), 0u);
    EXPECT_TRUE(Exists(VnRegRoot::LocalMachine, u"Software\\Classes\\Wow6432Node\\CLSID\\{0}"));
    EXPECT_TRUE(Exists(VnRegRoot::LocalMachine, u"Software\\Classes\\CLSID\\{0}", kKeyRead));
    EXPECT_FALSE(Exists(VnRegRoot::LocalMachine, u"Software\\Classes\\CLSID\\{0}"));

    // A key in HKCU\Software\Classes is what HKCR shows first.
    ASSERT_EQ(Create(VnRegRoot::CurrentUser, u"Software\\Classes\\.vn"), 0u);
    VnRegKey user = 0;
    ASSERT_EQ(reg_.CreateKey(VnRegRoot::ClassesRoot, u".vn", kKeyReadWrite, user), 0u);
    ASSERT_EQ(reg_.SetValue(user, u"", VnRegValue::String(u"per user")), 0u);
    reg_.CloseKey(user);
    EXPECT_EQ(reg_.OpenKey(VnRegRoot::CurrentUser, u"Software\\Classes\\.vn", kKeyRead, user), 0u);
    VnRegValue value;
    ASSERT_EQ(reg_.QueryValue(user, u"", value), 0u);
    EXPECT_EQ(value.text, u"per user");
    reg_.CloseKey(user);
}

TEST_F(SimRegistryTest, NoRedirectionOnThirtyTwoBitWindows) {
    facts_.is64BitWindows = false;
    ASSERT_EQ(Create(VnRegRoot::LocalMachine, u"Software\\Vendor", kKeyReadWrite | kKeyWow64_32Key), 0u);
    EXPECT_TRUE(Exists(VnRegRoot::LocalMachine, u"Software\\Vendor", kKeyRead));
    EXPECT_FALSE(Exists(VnRegRoot::LocalMachine, u"Software\\Wow6432Node\\Vendor", kKeyRead));
}

TEST_F(SimRegistryTest, WithoutRightsMachineKeysOnlyRead) {
    ASSERT_EQ(Create(VnRegRoot::LocalMachine, u"Software\\Existing"), 0u);
    facts_.hklmWritable = false;

    EXPECT_EQ(Create(VnRegRoot::LocalMachine, u"Software\\V. Arnel"), kErrorAccessDenied);
    EXPECT_EQ(Create(VnRegRoot::LocalMachine, u"Software\\Existing"), kErrorAccessDenied);
    EXPECT_EQ(Create(VnRegRoot::LocalMachine, u"Software\\Existing", kKeyRead), 0u) << "opening as it exists";
    EXPECT_EQ(Create(VnRegRoot::ClassesRoot, u".vn"), kErrorAccessDenied);
    EXPECT_TRUE(Exists(VnRegRoot::LocalMachine, u"Software\\Existing", kKeyRead));
    VnRegKey key = 0;
    EXPECT_EQ(reg_.OpenKey(VnRegRoot::LocalMachine, u"Software\\Existing", kKeyReadWrite, key), kErrorAccessDenied);
    EXPECT_EQ(reg_.SetValue(VnRegKey(VnRegRoot::LocalMachine), u"x", VnRegValue::Dword(1)), kErrorAccessDenied);
    EXPECT_EQ(reg_.DeleteKey(VnRegKey(VnRegRoot::LocalMachine), u"Software\\Existing"), kErrorAccessDenied);
    EXPECT_EQ(Create(VnRegRoot::CurrentUser, u"Software\\V. Arnel"), 0u) << "the user's own keys stay writable";
}

TEST_F(SimRegistryTest, HandlesAreCountedAndRootsCannotBeDeleted) {
    VnRegKey a = 0, b = 0;
    ASSERT_EQ(reg_.CreateKey(VnRegRoot::CurrentUser, u"Software\\A", kKeyReadWrite, a), 0u);
    ASSERT_EQ(reg_.OpenKey(VnRegRoot::CurrentUser, u"Software\\A", kKeyRead, b), 0u);
    EXPECT_NE(a, b);
    EXPECT_EQ(reg_.OpenHandleCount(), 2u);
    reg_.CloseKey(a);
    reg_.CloseKey(b);
    reg_.CloseKey(b);
    reg_.CloseKey(VnRegKey(VnRegRoot::CurrentUser));  // predefined: nothing to close
    EXPECT_EQ(reg_.OpenHandleCount(), 0u);
    EXPECT_EQ(reg_.BadCloseCount(), 1u);

    VnRegKey root = 0;
    ASSERT_EQ(reg_.OpenKey(VnRegRoot::CurrentUser, u"", kKeyAllAccess, root), 0u);
    EXPECT_EQ(reg_.DeleteTree(root, u""), kErrorAccessDenied);
    reg_.CloseKey(root);
    EXPECT_TRUE(Exists(VnRegRoot::CurrentUser, u"Software\\A"));
}

}  // namespace
