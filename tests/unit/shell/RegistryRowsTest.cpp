// The row language and the applier's rules, one row list per case on a fresh
// machine: splitting, root lines, the three actions, DWORD data, token
// expansion, and rows that fail alone.
#ifndef _WIN32

#include "RegistryRowApplier.h"
#include "RegistryTokens.h"
#include "ShellMachine.h"

namespace {

struct RowCase {
    const char* what;
    std::vector<std::u16string> rows;
    std::string expected;  // "<missing>" when the value must be absent
    // The value read back: "v" of T\A in the classes root unless the case names another.
    VnRegRoot root = VnRegRoot::ClassesRoot;
    const char16_t* key = u"T\\A";
    const char* name = "v";
};

class RegistryRowsTest : public ShellMachine {
protected:
    RegistryTokenValues Values() {
        RegistryTokenValues values;
        values.installFolder = kInstalled;
        values.productName = u"Tunaro";
        values.progIdBase = u"Tunaro.9933.0.44";
        values.launcherPath = u"C:\\Launch|er.exe";  // a token value holding "|"
        values.launcherName = u"Tunaro Launcher.exe";
        values.executableName = u"Tunaro.exe";
        values.findArt = [](const VnString& name) { return name == u"here.ico" ? VnString(u"C:\\Art\\here.ico") : VnString(); };
        return values;
    }
    void Apply(const std::vector<std::u16string>& rows) {
        VnStringArray list;
        for (const auto& row : rows) list.Add(VnString(row));
        ApplyRegistryTemplates(list, Values());
    }
};

TEST_F(RegistryRowsTest, RowsSplitExpandAndApplyByTheirRules) {
    constexpr VnRegRoot kCr = VnRegRoot::ClassesRoot, kCu = VnRegRoot::CurrentUser;
    const std::u16string longName(256, u'k');
    const std::vector<RowCase> cases = {
        {"the default value", {u"T\\A|Default|text|STRING|MODIFY"}, "text", kCr, u"T\\A", ""},
        {"\"default\" is a value name", {u"T\\A|default|x|STRING|MODIFY"}, "x", kCr, u"T\\A", "default"},
        {"a trailing bar loses one empty field", {u"T\\A|v|x|STRING|MODIFY|"}, "x"},
        {"empty fields inside are kept", {u"T\\A|v||STRING|MODIFY"}, ""},
        {"four fields are skipped", {u"T\\A|v|x|STRING"}, "<missing>"},
        {"six fields are skipped", {u"T\\A|v|x|STRING|MODIFY|more"}, "<missing>"},
        {"a root line sets the root", {u"HKEY_CURRENT_USER", u"T\\A|v|x|STRING|MODIFY"}, "x", kCu},
        {"a root with a blank is no root line", {u"HKEY_CURRENT_USER ", u"T\\A|v|x|STRING|MODIFY"}, "x"},
        {"any other type is a DWORD", {u"T\\A|v|-12abc|DWORD|MODIFY"}, "4294967284"},
        {"empty DWORD data is 0", {u"T\\A|v||NUMBER|MODIFY"}, "0"},
        {"DELETE removes only the value", {u"T\\A|v|x|STRING|MODIFY", u"T\\A|v||STRING|DELETE"}, "<missing>"},
        {"DELETE creates the key", {u"T\\B|v||STRING|DELETE", u"T\\B|w|y|STRING|CREATE"}, "y", kCr, u"T\\B", "w"},
        {"CREATE keeps a non-empty text", {u"T\\A|v|old|STRING|MODIFY", u"T\\A|v|new|STRING|CREATE"}, "old"},
        {"CREATE overwrites an empty text", {u"T\\A|v||STRING|MODIFY", u"T\\A|v|new|STRING|CREATE"}, "new"},
        {"CREATE STRING keeps a DWORD", {u"T\\A|v|0|DWORD|MODIFY", u"T\\A|v|new|STRING|CREATE"}, "0"},
        {"CREATE DWORD overwrites a text", {u"T\\A|v|old|STRING|MODIFY", u"T\\A|v|7|DWORD|CREATE"}, "7"},
        {"CREATE DWORD keeps a DWORD", {u"T\\A|v|5|DWORD|MODIFY", u"T\\A|v|7|DWORD|CREATE"}, "5"},
        {"tokens expand in every place",
         {u"[PRODUCTWITHVERSION].File|[PRODUCTNAME]|\"[EXEPATH]\" \"[CUSTOMART]here.ico\"|STRING|MODIFY"},
         "\"C:\\Program Files (x86)\\Tunaro 9933\\Tunaro.exe\" \"C:\\Art\\here.ico\"", kCr,
         u"Tunaro.9933.0.44.File", "Tunaro"},
        {"missing art leaves empty quotes", {u"T\\A|v|\"[CUSTOMART]gone.ico\"|STRING|MODIFY"}, "\"\""},
        {"a token value with a bar skips its row", {u"T\\A|v|[LAUNCHERPATH]|STRING|MODIFY"}, "<missing>"},
        {"an overlong key name fails alone",
         {u"T\\" + longName + u"|v|x|STRING|MODIFY", u"T\\A|v|after|STRING|MODIFY"}, "after"},
    };
    for (const RowCase& c : cases) {
        OpenMachine("");
        Install();
        Apply(c.rows);
        EXPECT_EQ(Value(c.root, c.key, c.name), c.expected) << c.what;
    }
    EXPECT_FALSE(KeyExists(VnRegRoot::ClassesRoot, VnString(u"T\\") + VnString(longName)));
}

// Tokens are replaced one after the other over the whole row, so a value may
// bring in or complete a later token; rows where that cannot happen take a
// one-pass path that must give the same text.
TEST(RegistryTokensTest, ExpansionIsTokenByTokenInOrder) {
    RegistryTokenValues values;
    values.installFolder = u"C:\\P\\";
    values.systemFolder = u"";
    values.installerFolder = u"<[EXEPATH]>";  // a value naming a later token
    values.productName = u"Tunaro";
    values.progIdBase = u"T.33";
    values.executableName = u"T.exe";
    values.launcherPath = u"L.exe";
    values.launcherName = u"LN";
    values.findArt = [](const VnString& name) { return u"C:\\Art\\" + name; };
    std::u16string many, manyExpanded;
    for (int i = 0; i < 20; ++i) many += u"[INSTALLDIR]", manyExpanded += u"C:\\P\\";
    const struct {
        std::u16string row, expected;
    } cases[] = {
        {u"[INSTALLDIR]a|[PRODUCTNAME]|\"[CUSTOMART]x.ico\"", u"C:\\P\\a|Tunaro|\"C:\\Art\\x.ico\""},
        {u"[CURRENTDIR]", u"<C:\\P\\T.exe>"},
        {u"[PRODUCT[SYSTEMDIR]NAME]", u"Tunaro"},
        {u"[LAUNCHERNAME[INSTALLDIR]", u"[LAUNCHERNAMEC:\\P\\"},
        {u"[a] [PRODUCTNAME] [unknown]", u"[a] Tunaro [unknown]"},
        {u"[SYSTEMDIR]", u""},
        {u"[EXEPATH]|[AUTOPLAYKEY]", u"C:\\P\\T.exe|" + std::u16string(kAutoPlayKey)},
        {u"[INSTALLDIR", u"[INSTALLDIR"},
        {many, manyExpanded},
    };
    for (const auto& c : cases) {
        VnString row(c.row);
        ExpandRegistryTokens(row, values);
        EXPECT_EQ(row.ToUtf8(), VnString(c.expected).ToUtf8()) << VnString(c.row).ToUtf8();
    }
}

TEST_F(RegistryRowsTest, KeysThatMayNotBeWrittenFailRowByRow) {
    Machine().Facts().hklmWritable = false;
    Apply({u"HKEY_LOCAL_MACHINE", u"Software\\T|v|x|STRING|MODIFY", u"HKEY_CLASSES_ROOT", u"T\\A|v|x|STRING|MODIFY",
           u"HKEY_CURRENT_USER", u"Software\\T|v|still|STRING|MODIFY"});
    EXPECT_EQ(Value(VnRegRoot::LocalMachine, u"Software\\T", "v"), "<missing>");
    EXPECT_EQ(Value(VnRegRoot::ClassesRoot, u"T\\A", "v"), "<missing>");
    EXPECT_EQ(Value(VnRegRoot::CurrentUser, u"Software\\T", "v"), "still");
}

}  // namespace

#endif
