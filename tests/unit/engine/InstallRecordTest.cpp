// The installation record: its lines read back as written, damaged lines are
// left out and named, and the recording platform notes what an install
// changes (and only that) as it goes.
#include <gtest/gtest.h>

#include <string>

#include "InstallRecord.h"
#include "InstallRecorder.h"
#include "PlatformFixture.h"

namespace {

RecordedValueData Data(uint32_t type, std::basic_string<uint8_t> bytes) { return {true, type, std::move(bytes)}; }
RecordedValueData Text(const char16_t* text) {
    std::basic_string<uint8_t> bytes;
    for (const char16_t* c = text; *c; ++c) bytes += {uint8_t(*c & 0xFF), uint8_t(*c >> 8)};
    return Data(vnwin::kRegSz, bytes + std::basic_string<uint8_t>{0, 0});
}

InstallRecordEntry Entry(InstallRecordKind kind, const char16_t* path) {
    InstallRecordEntry entry;
    entry.kind = kind;
    entry.path = path;
    return entry;
}

bool Same(const InstallRecordEntry& a, const InstallRecordEntry& b) {
    return a.kind == b.kind && a.path == b.path && a.detail == b.detail && a.replaced == b.replaced &&
           a.root == b.root && a.view == b.view && a.valueName == b.valueName && a.before == b.before &&
           a.after == b.after;
}

TEST(InstallRecordTest, EveryKindOfLineReadsBackAsWritten) {
    std::vector<InstallRecordEntry> entries;
    entries.push_back(Entry(InstallRecordKind::Install, u"33.0.44"));
    entries.push_back(Entry(InstallRecordKind::Folder, u"C:\\Program Files\\Tab\there 100%"));
    InstallRecordEntry replaced = Entry(InstallRecordKind::File, u"C:\\P\\a.dll");
    replaced.replaced = true;
    replaced.detail = u"1.2.3.4";
    entries.push_back(replaced);
    entries.push_back(Entry(InstallRecordKind::Link, u"C:\\Start\\Line\nbreak.lnk"));
    entries.push_back(Entry(InstallRecordKind::Earlier, u"C:\\Games\\Tunaro\\"));
    InstallRecordEntry component = Entry(InstallRecordKind::Component, u"C:\\P\\b.dll");
    component.detail = kComponentRegSvr32x64;
    entries.push_back(component);
    InstallRecordEntry key = Entry(InstallRecordKind::Key, u"Software\\V. Arnel\\Ünïcode");
    key.root = VnRegRoot::CurrentUser;
    key.view = vnwin::kKeyWow64_64Key;
    entries.push_back(key);
    const struct {
        RecordedValueData before, after;
    } values[] = {
        {{}, Text(u"new text")},
        {Text(u"earlier\towner"), Text(u"")},
        {Data(vnwin::kRegDword, {1, 2, 3, 4}), {}},
        {Data(vnwin::kRegSz, {'a', 0, 0}), Data(vnwin::kRegBinary, {})},  // odd length: kept as bytes
        {Data(vnwin::kRegExpandSz, {'a', 0, 0, 0, 'b', 0, 0, 0}), Text(u"%SystemRoot%")},  // a zero inside
    };
    for (const auto& v : values) {
        InstallRecordEntry value = Entry(InstallRecordKind::Value, u"Mime\\Database\\Content Type\\audio/x");
        value.root = VnRegRoot::ClassesRoot;
        value.valueName = u"Tunaro.33.ContentType.BAK";
        value.before = v.before;
        value.after = v.after;
        entries.push_back(value);
    }
    std::string text = kInstallRecordHeader;
    for (const InstallRecordEntry& entry : entries) text += FormatInstallRecordLine(entry);
    const InstallRecordText read = ParseInstallRecord(text);
    EXPECT_TRUE(read.headerFound);
    EXPECT_TRUE(read.problems.empty()) << read.problems.front();
    ASSERT_EQ(read.entries.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) EXPECT_TRUE(Same(read.entries[i], entries[i])) << "entry " << i;
}

TEST(InstallRecordTest, DamagedLinesAreLeftOutAndNamed) {
    const struct {
        const char* text;
        size_t entries;
        const char* problem;  // the first problem, "" for none
    } cases[] = {
        {"", 0, "line 1: not an installation record"},
        {"VnInstallRecord\t2\nfolder\tC:\\x\n", 0, "line 1: not an installation record"},
        {"VnInstallRecord\t1\nfolder\tC:\\x\n", 1, ""},
        {"VnInstallRecord\t1\nfolder\tC:\\x\r\n\r\n", 1, ""},
        {"VnInstallRecord\t1\nfolder\tC:\\x\nfile\tC:\\y\tcreated\t", 1, "line 3: cut off"},
        {"VnInstallRecord\t1\nremove\tC:\\x\n", 0, "line 2: unknown entry"},
        {"VnInstallRecord\t1\nfolder\tC:\\x\textra\n", 0, "line 2: wrong number of fields"},
        {"VnInstallRecord\t1\nfolder\tC:\\%4\n", 0, "line 2: a field does not read"},
        {"VnInstallRecord\t1\nfile\tC:\\y\tmoved\t\n", 0, "line 2: a field does not read"},
        {"VnInstallRecord\t1\nkey\tHKXX\t0\tSoftware\n", 0, "line 2: a field does not read"},
        {"VnInstallRecord\t1\nkey\tHKLM\t16\tSoftware\n", 0, "line 2: a field does not read"},
        {"VnInstallRecord\t1\nvalue\tHKLM\t0\tSoftware\tx\t-\t4:ABC\n", 0, "line 2: a field does not read"},
        {"VnInstallRecord\t1\nvalue\tHKLM\t0\tSoftware\tx\t-\t4=text\n", 0, "line 2: a field does not read"},
        {"VnInstallRecord\t1\nvalue\tHKLM\t0\tSoftware\tx\t99999999999:\t-\n", 0, "line 2: a field does not read"},
        {"VnInstallRecord\t1\nbad\nlink\tC:\\l.lnk\n", 1, "line 2: unknown entry"},
    };
    for (const auto& c : cases) {
        const InstallRecordText read = ParseInstallRecord(c.text);
        EXPECT_EQ(read.entries.size(), c.entries) << c.text;
        EXPECT_EQ(read.problems.empty() ? std::string() : read.problems.front(), c.problem) << c.text;
    }
}

class InstallRecorderTest : public PlatformTest {};

// Reads the record file now, while the recorder still holds it open.
InstallRecordText ReadRecord(IVnPlatform& platform, const VnString& folder) {
    std::string text;
    platform.Files().ReadFile(folder + kInstallRecordFileName, text);
    return ParseInstallRecord(text);
}

TEST_F(InstallRecorderTest, NotesWhatTheInstallChangesAsItGoes) {
    IVnPlatform& real = VnPlatform();
    const VnString root = ScratchFolder();
    const VnString product = root + u"Product\\", setup = root + u"Setup\\";
    ASSERT_EQ(real.Files().CreateDirectory(setup), 0u);
    ASSERT_EQ(real.Files().WriteFile(root + u"existing.txt", "old"), 0u);
    const VnString testKey = ScratchKey();
    VnRegKey key = 0;
    ASSERT_EQ(real.Registry().CreateKey(VnRegRoot::CurrentUser, testKey, vnwin::kKeyReadWrite, key), 0u);
    ASSERT_EQ(real.Registry().SetValue(key, u"Kept", VnRegValue::String(u"before")), 0u);
    ASSERT_EQ(real.Registry().SetValue(key, u"Gone", VnRegValue::Dword(7)), 0u);
    real.Registry().CloseKey(key);

    VnStringArray excludedFolders, excludedKeys;
    excludedFolders.Add(setup);
    excludedKeys.Add(testKey + u"\\Settings");
    {
        CInstallRecorder recorder(real, excludedFolders, excludedKeys);
        ASSERT_EQ(CInstallRecorder::Active(), &recorder);
        IVnFiles& files = recorder.Files();
        IVnRegistry& registry = recorder.Registry();
        files.CreateDirectory(product);  // before the record is opened: held, then written first
        files.WriteFile(setup + u"launcher.exe", "not the install's");
        ASSERT_EQ(recorder.StartRecordFile(product, u"33.0.44"), 0u);
        EXPECT_EQ(ReadRecord(real, product).entries.size(), 2u) << "install line and the folder, written at once";

        files.WriteFile(product + u"new.txt", "n");
        files.CopyFile(product + u"new.txt", root + u"existing.txt", false);
        files.WriteFile(product + u"new.txt", "again");  // once per path
        RecordInstalledComponent(product + u"new.dll", kComponentInProcess);
        ASSERT_EQ(registry.OpenKey(VnRegRoot::CurrentUser, testKey, vnwin::kKeyReadWrite, key), 0u);
        registry.SetValue(key, u"Kept", VnRegValue::String(u"ours"));
        registry.SetValue(key, u"Kept", VnRegValue::String(u"ours"));  // no change: no line
        registry.DeleteValue(key, u"Gone");
        VnRegKey sub = 0;
        registry.CreateSubKey(key, u"A\\B", vnwin::kKeyReadWrite, sub);
        registry.SetValue(sub, u"", VnRegValue::String(u"x"));
        registry.CloseKey(sub);
        registry.CreateSubKey(key, u"Settings\\Deep", vnwin::kKeyReadWrite, sub);
        registry.SetValue(sub, u"Skin", VnRegValue::String(u"Graphite"));
        registry.CloseKey(sub);
        registry.CloseKey(key);

        const InstallRecordText read = ReadRecord(real, product);
        std::vector<std::string> lines;
        for (const InstallRecordEntry& entry : read.entries) {
            std::string line = FormatInstallRecordLine(entry);
            for (const std::string& base : {root.ToUtf8(), testKey.ToUtf8()})
                for (size_t at; (at = line.find(base)) != std::string::npos;) line.replace(at, base.size(), "~");
            lines.push_back(line);
        }
        const std::vector<std::string> expected = {
            "install\t33.0.44\n",
            "folder\t~Product\n",
            "file\t~Product\\new.txt\tcreated\t\n",
            "file\t~existing.txt\treplaced\t\n",
            "component\t~Product\\new.dll\tin-process\n",
            "value\tHKCU\t0\t~\tKept\t1=before\t1=ours\n",
            "value\tHKCU\t0\t~\tGone\t4:07000000\t-\n",
            "key\tHKCU\t0\t~\\A\n",
            "key\tHKCU\t0\t~\\A\\B\n",
            "value\tHKCU\t0\t~\\A\\B\t\t-\t1=x\n",
        };
        EXPECT_EQ(lines, expected);
    }
    EXPECT_EQ(CInstallRecorder::Active(), nullptr);
}

}  // namespace
