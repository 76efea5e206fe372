// Registry behaviour the installer relies on, with the exact Windows error
// codes. The same cases run against the simulated machine and against real
// Windows (Wine), so the two backends cannot drift apart.
#include <deque>
#include <string>

#include "PlatformFixture.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using RegistryConformanceTest = PlatformTest;
using namespace vnwin;

// Wine keeps values sorted by name; Windows and the simulated machine keep
// them in creation order.
bool ValuesEnumerateByName() {
#ifdef _WIN32
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

VnStringArray SubkeyNames(IVnRegistry& reg, VnRegKey key) {
    VnStringArray names;
    VnString name;
    for (uint32_t i = 0; reg.EnumKey(key, i, name) == kErrorSuccess; ++i) names.Add(name);
    return names;
}

VnStringArray ValueNames(IVnRegistry& reg, VnRegKey key) {
    VnStringArray names;
    VnString name;
    for (uint32_t i = 0; reg.EnumValue(key, i, name) == kErrorSuccess; ++i) names.Add(name);
    return names;
}

// Closes the keys a case opened, whatever way it ends.
class KeyCloser {
public:
    explicit KeyCloser(IVnRegistry& reg) : reg_(reg) {}
    ~KeyCloser() {
        for (VnRegKey key : keys_) reg_.CloseKey(key);
    }
    VnRegKey& New() { return keys_.emplace_back(0); }

private:
    IVnRegistry& reg_;
    std::deque<VnRegKey> keys_;  // references stay valid as keys are added
};

TEST_F(RegistryConformanceTest, CreateAndOpenFollowWindowsPathRules) {
    KeyCloser keys(Reg());
    bool created = false;
    VnRegKey& first = keys.New();
    ASSERT_EQ(Reg().CreateKey(VnRegRoot::CurrentUser, ScratchKey() + u"\\Deep\\Er", kKeyReadWrite, first, &created), 0u);
    EXPECT_TRUE(created);
    EXPECT_EQ(Reg().CreateKey(VnRegRoot::CurrentUser, ScratchKey() + u"\\DEEP\\er", kKeyReadWrite, keys.New(), &created), 0u);
    EXPECT_FALSE(created) << "names compare without regard to case";

    EXPECT_EQ(Reg().OpenKey(VnRegRoot::CurrentUser, ScratchKey() + u"\\deep\\\\ER\\", kKeyRead, keys.New()), 0u)
        << "doubled and trailing backslashes are accepted";
    VnRegKey& missing = keys.New();
    EXPECT_EQ(Reg().OpenKey(VnRegRoot::CurrentUser, ScratchKey() + u"\\Missing", kKeyRead, missing), kErrorFileNotFound);
    EXPECT_EQ(missing, 0u);
    EXPECT_EQ(Reg().OpenKey(VnRegRoot::CurrentUser, u"\\" + ScratchKey(), kKeyRead, keys.New()), kErrorBadPathname);
    EXPECT_EQ(Reg().CreateKey(VnRegRoot::CurrentUser, u"\\" + ScratchKey(), kKeyRead, keys.New()), kErrorBadPathname);

    // Relative to an open key; an empty path opens the key itself again.
    VnRegKey& deep = keys.New();
    ASSERT_EQ(Reg().OpenKey(VnRegRoot::CurrentUser, ScratchKey() + u"\\Deep", kKeyRead, deep), 0u);
    EXPECT_EQ(Reg().OpenSubKey(deep, u"er", kKeyRead, keys.New()), 0u);
    VnRegKey& again = keys.New();
    ASSERT_EQ(Reg().OpenSubKey(deep, u"", kKeyRead, again), 0u);
    EXPECT_NE(again, deep);
    EXPECT_EQ(SubkeyNames(Reg(), again).Join(u","), u"Er") << "the spelling of the first creation is kept";
}

TEST_F(RegistryConformanceTest, EveryValueTypeReadsBackAsWritten) {
    KeyCloser keys(Reg());
    VnRegKey& key = keys.New();
    ASSERT_EQ(Reg().CreateKey(VnRegRoot::CurrentUser, ScratchKey(), kKeyReadWrite, key), 0u);

    VnRegValue binary;
    binary.type = kRegBinary;
    binary.bytes = {0x00, 0xFF, 0x10, 0x00};
    VnRegValue none;
    none.type = kRegNone;
    const std::u16string multi(u"first\0second item\0third", 23);
    const struct {
        const char16_t* name;
        VnRegValue value;
    } cases[] = {
        {u"", VnRegValue::String(u"")},
        {u"Text \"quoted\" C:\\path\\", VnRegValue::String(u"C:\\Program Files\\Tunaro\\ \"x\"")},
        {u"Größe", VnRegValue::String(u"Ünïcödé ✓")},
        {u"Expand", VnRegValue::String(u"%SystemRoot%\\system32", kRegExpandSz)},
        {u"Multi", VnRegValue::String(VnString(std::u16string_view(multi)), kRegMultiSz)},
        {u"Dword", VnRegValue::Dword(0xDEADBEEF)},
        {u"Qword", VnRegValue::Qword(0x0123456789ABCDEFull)},
        {u"Binary", binary},
        {u"Empty binary", none},
    };
    for (const auto& item : cases) ASSERT_EQ(Reg().SetValue(key, item.name, item.value), 0u) << VnString(item.name).ToUtf8();
    for (const auto& item : cases) {
        SCOPED_TRACE(VnString(item.name).ToUtf8());
        VnRegValue read;
        ASSERT_EQ(Reg().QueryValue(key, item.name, read), 0u);
        EXPECT_EQ(read.type, item.value.type);
        EXPECT_EQ(read.text.ToUtf8(), item.value.text.ToUtf8());
        EXPECT_EQ(read.number, item.value.number);
        EXPECT_TRUE(read.bytes == item.value.bytes);
    }

    VnRegValue read;
    EXPECT_EQ(Reg().QueryValue(key, u"Absent", read), kErrorFileNotFound);
    EXPECT_EQ(Reg().DeleteValue(key, u"Absent"), kErrorFileNotFound);
    // A value written again under another spelling keeps its first name.
    ASSERT_EQ(Reg().SetValue(key, u"DWORD", VnRegValue::Dword(7)), 0u);
    ASSERT_EQ(Reg().QueryValue(key, u"dword", read), 0u);
    EXPECT_EQ(read.number, 7u);
    EXPECT_GE(ValueNames(Reg(), key).Find(VnString(u"Dword")), 0);
    EXPECT_LT(ValueNames(Reg(), key).Find(VnString(u"DWORD")), 0);
    EXPECT_EQ(Reg().DeleteValue(key, u"GRÖSSE" + VnString()), kErrorFileNotFound) << "ß has no upper case of one letter";
    EXPECT_EQ(Reg().DeleteValue(key, u""), 0u);
    EXPECT_EQ(Reg().QueryValue(key, u"", read), kErrorFileNotFound) << "an unset default value is missing";

    // Raw data stays exactly as written, whatever the type says it should hold.
    using Bytes = std::basic_string<uint8_t>;
    const struct {
        const char16_t* name;
        uint32_t type;
        Bytes data;
    } raw[] = {
        {u"Raw unterminated", kRegSz, Bytes{'a', 0, 'b', 0, 'c'}},
        {u"Raw multi", kRegMultiSz, Bytes{'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
        {u"Raw short dword", kRegDword, Bytes{1, 2}},
        {u"Raw none", kRegNone, Bytes{}},
        {u"Raw custom type", 0x1234, Bytes{9}},
    };
    for (const auto& item : raw) {
        SCOPED_TRACE(VnString(item.name).ToUtf8());
        ASSERT_EQ(Reg().SetRawValue(key, item.name, item.type, item.data), 0u);
        uint32_t type = 0;
        Bytes data;
        ASSERT_EQ(Reg().QueryRawValue(key, item.name, type, data), 0u);
        EXPECT_EQ(type, item.type);
        EXPECT_TRUE(data == item.data);
    }
    ASSERT_EQ(Reg().QueryValue(key, u"Raw unterminated", read), 0u);
    EXPECT_EQ(read.text.ToUtf8(), "ab");
    uint32_t type = 0;
    Bytes data;
    ASSERT_EQ(Reg().QueryRawValue(key, u"Expand", type, data), 0u);
    EXPECT_EQ(data.size(), (std::u16string_view(u"%SystemRoot%\\system32").size() + 1) * 2) << "with its zero";
    EXPECT_EQ(Reg().QueryRawValue(key, u"Absent", type, data), kErrorFileNotFound);
}

TEST_F(RegistryConformanceTest, EnumerationOrderAndEnd) {
    KeyCloser keys(Reg());
    VnRegKey& key = keys.New();
    ASSERT_EQ(Reg().CreateKey(VnRegRoot::CurrentUser, ScratchKey(), kKeyReadWrite, key), 0u);
    const char16_t* names[] = {u"beta", u"Alpha", u"_under", u"zeta", u"a_", u"Z1", u"10", u"9"};
    for (const char16_t* name : names) {
        ASSERT_EQ(Reg().CreateSubKey(key, name, kKeyRead, keys.New()), 0u);
        ASSERT_EQ(Reg().SetValue(key, name, VnRegValue::Dword(1)), 0u);
    }
    // Subkeys come sorted by their names folded to lower case.
    EXPECT_EQ(SubkeyNames(Reg(), key).Join(u","), u"10,9,_under,a_,Alpha,beta,Z1,zeta");
    VnStringArray values = ValueNames(Reg(), key);
    if (ValuesEnumerateByName()) {
        EXPECT_EQ(values.Join(u","), u"10,9,_under,a_,Alpha,beta,Z1,zeta");
    } else {
        EXPECT_EQ(values.Join(u","), u"beta,Alpha,_under,zeta,a_,Z1,10,9") << "values keep their creation order";
    }

    VnString name;
    VnRegValue value;
    EXPECT_EQ(Reg().EnumKey(key, 8, name), kErrorNoMoreItems);
    EXPECT_EQ(Reg().EnumValue(key, 8, name, &value), kErrorNoMoreItems);
    ASSERT_EQ(Reg().EnumValue(key, 0, name, &value), 0u);
    EXPECT_EQ(value.type, kRegDword);
    EXPECT_EQ(value.number, 1u);
}

TEST_F(RegistryConformanceTest, AccessRightsOfAHandleAreEnforced) {
    KeyCloser keys(Reg());
    VnRegKey& writable = keys.New();
    ASSERT_EQ(Reg().CreateKey(VnRegRoot::CurrentUser, ScratchKey(), kKeyReadWrite, writable), 0u);
    ASSERT_EQ(Reg().SetValue(writable, u"Kept", VnRegValue::String(u"yes")), 0u);

    VnRegKey& readOnly = keys.New();
    ASSERT_EQ(Reg().OpenKey(VnRegRoot::CurrentUser, ScratchKey(), kKeyRead, readOnly), 0u);
    VnRegValue value;
    EXPECT_EQ(Reg().QueryValue(readOnly, u"Kept", value), 0u);
    EXPECT_EQ(Reg().SetValue(readOnly, u"New", VnRegValue::Dword(1)), kErrorAccessDenied);
    EXPECT_EQ(Reg().DeleteValue(readOnly, u"Kept"), kErrorAccessDenied);
    // Subkeys are created and deleted through any handle of the parent.
    EXPECT_EQ(Reg().CreateSubKey(readOnly, u"Child", kKeyReadWrite, keys.New()), 0u);
    EXPECT_EQ(Reg().DeleteKey(readOnly, u"Child"), 0u);

    VnRegKey& writeOnly = keys.New();
    ASSERT_EQ(Reg().OpenKey(VnRegRoot::CurrentUser, ScratchKey(), kKeyWrite, writeOnly), 0u);
    EXPECT_EQ(Reg().QueryValue(writeOnly, u"Kept", value), kErrorAccessDenied);
    VnString name;
    EXPECT_EQ(Reg().EnumKey(writeOnly, 0, name), kErrorAccessDenied);
    EXPECT_EQ(Reg().SetValue(writeOnly, u"New", VnRegValue::Dword(1)), 0u);
}

TEST_F(RegistryConformanceTest, DeletingKeysAndTheHandlesLeftBehind) {
    KeyCloser keys(Reg());
    VnRegKey& parent = keys.New();
    ASSERT_EQ(Reg().CreateKey(VnRegRoot::CurrentUser, ScratchKey(), kKeyReadWrite, parent), 0u);
    VnRegKey& child = keys.New();
    ASSERT_EQ(Reg().CreateSubKey(parent, u"Child\\Grandchild", kKeyReadWrite, child), 0u);

    EXPECT_EQ(Reg().DeleteKey(parent, u"Child"), kErrorAccessDenied) << "a key with subkeys is not deleted";
    EXPECT_EQ(Reg().DeleteKey(parent, u"Nothing"), kErrorFileNotFound);
    EXPECT_EQ(Reg().DeleteTree(parent, u"Nothing"), kErrorFileNotFound);
    ASSERT_EQ(Reg().DeleteTree(parent, u"Child"), 0u);
    EXPECT_EQ(Reg().OpenSubKey(parent, u"Child", kKeyRead, keys.New()), kErrorFileNotFound);

    // The handle of the deleted grandchild still closes, but does nothing else.
    VnRegValue value;
    VnString name;
    EXPECT_EQ(Reg().SetValue(child, u"x", VnRegValue::Dword(1)), kErrorKeyDeleted);
    EXPECT_EQ(Reg().QueryValue(child, u"x", value), kErrorKeyDeleted);
    EXPECT_EQ(Reg().EnumKey(child, 0, name), kErrorKeyDeleted);
    EXPECT_EQ(Reg().CreateSubKey(child, u"y", kKeyReadWrite, keys.New()), kErrorKeyDeleted);

    // A key deletes itself through its own handle with an empty name.
    VnRegKey& self = keys.New();
    ASSERT_EQ(Reg().CreateSubKey(parent, u"Self", kKeyReadWrite, self), 0u);
    EXPECT_EQ(Reg().DeleteKey(self, u""), 0u);
    EXPECT_EQ(SubkeyNames(Reg(), parent).GetSize(), 0);
}

TEST_F(RegistryConformanceTest, ClosedHandleIsInvalid) {
    VnRegKey key = 0;
    ASSERT_EQ(Reg().CreateKey(VnRegRoot::CurrentUser, ScratchKey(), kKeyReadWrite, key), 0u);
    Reg().CloseKey(key);
    VnRegValue value;
    EXPECT_EQ(Reg().QueryValue(key, u"", value), kErrorInvalidHandle);
    EXPECT_EQ(Reg().SetValue(key, u"", VnRegValue::Dword(1)), kErrorInvalidHandle);
}

// Both views are named explicitly: the test program is 64-bit under Wine and
// 32-bit on the simulated machine, so only the explicit views agree.
TEST_F(RegistryConformanceTest, ExplicitViewsOfMachineSoftware) {
    const VnString name = VnString::Format(u"VnConformanceView-%d", int(P().System().GetCurrentProcessId()));
    KeyCloser keys(Reg());
    uint32_t status = Reg().CreateKey(VnRegRoot::LocalMachine, u"Software\\" + name, kKeyReadWrite | kKeyWow64_32Key,
                                      keys.New());
    if (status == kErrorAccessDenied) GTEST_SKIP() << "HKEY_LOCAL_MACHINE is not writable here";
    ASSERT_EQ(status, 0u);
    EXPECT_EQ(Reg().OpenKey(VnRegRoot::LocalMachine, u"Software\\Wow6432Node\\" + name, kKeyRead | kKeyWow64_64Key,
                            keys.New()), 0u);
    EXPECT_EQ(Reg().OpenKey(VnRegRoot::LocalMachine, u"Software\\" + name, kKeyRead | kKeyWow64_64Key, keys.New()),
              kErrorFileNotFound);
    EXPECT_EQ(Reg().OpenKey(VnRegRoot::LocalMachine, u"Software\\" + name, kKeyRead | kKeyWow64_32Key, keys.New()), 0u);
    // "Software" itself opened in the 32-bit view is Wow6432Node; below an
    // open key nothing is redirected any more.
    VnRegKey& native = keys.New();
    ASSERT_EQ(Reg().OpenKey(VnRegRoot::LocalMachine, u"Software", kKeyRead | kKeyWow64_64Key, native), 0u);
    EXPECT_EQ(Reg().OpenSubKey(native, name, kKeyRead | kKeyWow64_32Key, keys.New()), kErrorFileNotFound);
    VnRegKey& redirected = keys.New();
    ASSERT_EQ(Reg().OpenKey(VnRegRoot::LocalMachine, u"Software", kKeyRead | kKeyWow64_32Key, redirected), 0u);
    EXPECT_GE(SubkeyNames(Reg(), redirected).FindNoCase(name.View()), 0);
    EXPECT_LT(SubkeyNames(Reg(), redirected).FindNoCase(u"Wow6432Node"), 0);
    EXPECT_EQ(Reg().DeleteKey(redirected, name), 0u);
    EXPECT_EQ(Reg().OpenKey(VnRegRoot::LocalMachine, u"Software\\Wow6432Node\\" + name, kKeyRead | kKeyWow64_64Key,
                            keys.New()), kErrorFileNotFound);
}

TEST_F(RegistryConformanceTest, ClassesRootWritesReachMachineClasses) {
    const VnString name = VnString::Format(u".vnconf%d", int(P().System().GetCurrentProcessId()));
    KeyCloser keys(Reg());
    uint32_t status = Reg().CreateKey(VnRegRoot::ClassesRoot, name, kKeyReadWrite, keys.New());
    if (status == kErrorAccessDenied) GTEST_SKIP() << "HKEY_LOCAL_MACHINE is not writable here";
    ASSERT_EQ(status, 0u);
    EXPECT_EQ(Reg().OpenKey(VnRegRoot::LocalMachine, u"Software\\Classes\\" + name, kKeyRead, keys.New()), 0u);
    EXPECT_EQ(Reg().OpenKey(VnRegRoot::CurrentUser, u"Software\\Classes\\" + name, kKeyRead, keys.New()),
              kErrorFileNotFound);
    VnRegKey& classes = keys.New();
    ASSERT_EQ(Reg().OpenKey(VnRegRoot::LocalMachine, u"Software\\Classes", kKeyRead, classes), 0u);
    EXPECT_EQ(Reg().DeleteKey(classes, name), 0u);
    EXPECT_EQ(Reg().OpenKey(VnRegRoot::LocalMachine, u"Software\\Classes\\" + name, kKeyRead, keys.New()),
              kErrorFileNotFound);
}

}  // namespace
