// Plug-in detection: one table of exported entry points to outcome (the kind,
// the record written or the refusal shown), and Girder registration.
#ifndef _WIN32
#include <set>
#include <stdexcept>

#include "ComponentRegistration.h"
#include "InputPluginSource.h"
#include "InstallWAPlugin.h"
#include "ToolsLink.h"
#include "PackageTestSupport.h"
#include "ProgramFiles.h"
#include "SimPrograms.h"
#include "VnFileSystem.h"

namespace {
using PluginDetectionTest = PackageTest;

TEST_F(PluginDetectionTest, ExportsDecideTheKindAndTheRecord) {
    struct Case {
        const char* kind;
        const char16_t* file;
        bool registered;
        PluginKind detected;
        const char* recordKey;    // below the product key
        const char* description;  // "Description" (DSP) or "Plugin Description" (input)
        const char* shown;        // the refusal's text, "" for none
    } cases[] = {
        {"dsp", u"dsp_echo.dll", true, PluginKind::kWinampDsp, "Plugins\\DSP\\dsp_echo.dll", "Echo DSP", ""},
        {"vis", u"vis_bars.dll", false, PluginKind::kWinampVisualisation, nullptr, nullptr,
         "Winamp 2.x visualization plug-ins are not supported."},
        {"input4", u"in_tone.dll", true, PluginKind::kInput, "Plugins\\Input\\TONE", "Tone source", ""},
        {"input3", u"in_old.dll", false, PluginKind::kInput, nullptr, nullptr,
         "The input plugin 'Old source' is not the correct version.\r\n\r\nPlugin version: 3\r\nRequired version: 4"},
        {"both", u"in_both.dll", true, PluginKind::kInput, "Plugins\\Input\\BOTH", "Tone source", ""},
        {"winamp-in", u"in_wa.dll", true, PluginKind::kWinampInput, "Plugins\\Input\\WA", "Tone input", ""},
        {"vst2", u"reverb.dll", true, PluginKind::kVst2, "Plugins\\DSP\\reverb.dll", "Warm Reverb (VST Plugin)", ""},
        {"vst3", u"Delay.VST3", true, PluginKind::kVst3, "Plugins\\DSP\\Delay.VST3", "Space Delay (VST Plugin)", ""},
        {"none", u"plain.dll", false, PluginKind::kNone, nullptr, nullptr,
         "Unsupported plugin type.  The plugin can not be installed."},
    };
    for (const Case& c : cases) {
        const VnString path = WritePlugin(Path(u"Plugins\\") + c.file, c.kind);
        const size_t boxesBefore = Boxes().size();
        CInstallWAPlugin plugin(false);
        EXPECT_EQ(plugin.Install(path), c.registered) << c.kind;
        EXPECT_EQ(plugin.GetDetectedKind(), c.detected) << c.kind;
        const std::vector<std::string> boxes = Boxes();
        if (*c.shown) {
            ASSERT_EQ(boxes.size(), boxesBefore + 1) << c.kind;
            EXPECT_EQ(boxes.back(), std::string("Information|") + c.shown);
        } else {
            EXPECT_EQ(boxes.size(), boxesBefore) << c.kind;
        }
        if (!c.recordKey) continue;
        const bool input = std::string(c.recordKey).find("Input") != std::string::npos;
        EXPECT_EQ(ProductValue(c.recordKey, "Path"), path.ToUtf8()) << c.kind;
        EXPECT_EQ(ProductValue(c.recordKey, input ? "Plugin Description" : "Description"), c.description) << c.kind;
        EXPECT_EQ(ProductValue("Plugins\\Uninstall", path.ToUtf8()), c.recordKey) << c.kind;
    }
    // The input records are what the file type catalogue lists as the plug-ins' types.
    RegistryInputPluginSource catalogueSource(VnTools());
    std::set<std::string> types;
    for (const VnString& name : catalogueSource.GetInputPluginNames()) types.insert(name.ToUtf8());
    EXPECT_EQ(types, (std::set<std::string>{"BOTH", "TONE", "WA"}));
    EXPECT_TRUE(catalogueSource.CanReadPluginRecord(u"TONE"));
    // The version refusal stays quiet when asked.
    const size_t boxes = Boxes().size();
    EXPECT_FALSE(CInstallWAPlugin(true).Install(WritePlugin(Path(u"in_quiet.dll"), "input3")));
    EXPECT_EQ(Boxes().size(), boxes);
    // A file that is no program at all cannot be loaded.
    WriteFile(Path(u"broken.dll"), "not a program");
    EXPECT_FALSE(CInstallWAPlugin(false).Install(Path(u"broken.dll")));
    EXPECT_EQ(Boxes().back().rfind("Information|Cannot load plug-in.\r\n\r\n", 0), 0u);
}

TEST_F(PluginDetectionTest, GirderNeedsAllTwelveExports) {
    const VnString path = WritePlugin(Path(u"girder.dll"), "girder");
    ASSERT_TRUE(CInstallWAPlugin::RegisterGirderPlugin(path));
    const std::string key = "Plugins\\RemoteControl\\Remote Eye";
    EXPECT_EQ(ProductValue(key, "GirderPlugin"), path.ToUtf8());
    EXPECT_EQ(ProductValue(key, "Company"), "Girder");
    EXPECT_EQ(ProductValue(key, "Version"), "1.2");
    EXPECT_EQ(ProductValue(key, "Filename"), "girder.dll");
    EXPECT_FALSE(CInstallWAPlugin::RegisterGirderPlugin(WritePlugin(Path(u"dsp.dll"), "dsp")));
}

int registerCalls = 0;
std::string logFileAtCall;  // the log file as it stood when the entry ran, unflushed
int32_t CountedRegister() {
    VnPlatform().Files().ReadFile(VnToolsLog()->GetLogFilePath(), logFileAtCall);
    return ++registerCalls, 0;
}
int32_t FailingRegister() { return ++registerCalls, int32_t(0x80004005); }
int32_t CrashingRegister() { throw std::runtime_error((++registerCalls, "broken component")); }

// A library is loaded (and its start-up code run) only when its export table
// names "DllRegisterServer" or cannot be read; the stand-in entry counts the
// calls. Every outcome is one log line naming the library.
TEST_F(PluginDetectionTest, RegistrationLoadsOnlyLibrariesThatCanRegister) {
    const std::string library = MakeLibraryFile({"DllCanUnloadNow", "DllRegisterServer"});
    std::string tableOutside = library;
    tableOutside[kExportTableAt + 1] = 0x70;  // the table's address past every section
    struct Case {
        const char* what;
        std::string bytes;  // empty: no file
        bool registered;
        int calls;
        const char* logged;  // after the path's opening quote ("%s" the path)
        int32_t (*entry)() = &CountedRegister;
    } cases[] = {
        {"exports the entry", library, true, 1, "Registered \"%s\""},
        {"the entry fails", library, false, 1, "DllRegisterServer of \"%s\" failed (result: 0x80004005)",
         &FailingRegister},
        {"the entry crashes, the install goes on", library, false, 1,
         "DllRegisterServer of \"%s\" crashed (exception 0x", &CrashingRegister},
        {"exports others only", MakeLibraryFile({"DllCanUnloadNow"}), false, 0,
         "\"%s\" has no DllRegisterServer in its export table, not loaded"},
        {"no export table", MakeLibraryFile({}), false, 0, "\"%s\" has no DllRegisterServer in its export table"},
        {"not a program file: loaded as before", "plug-in com", true, 1, "Registered \"%s\""},
        {"table outside the sections: loaded", tableOutside, true, 1, "Registered \"%s\""},
        {"cut short in its names: loaded", library.substr(0, 0x240), true, 1, "Registered \"%s\""},
        {"missing", "", false, 0, "Loading %s failed"},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const VnString path = ScratchFolder() + VnString::Format(u"library%d.dll", ++number);
        if (!c.bytes.empty()) WriteFile(path, c.bytes);
        VnSimModuleRegistry::Shared().Register(FileNameOf(path), "DllRegisterServer",
                                               reinterpret_cast<void*>(c.entry));
        registerCalls = 0;
        logFileAtCall.clear();
        EXPECT_EQ(RegisterComponent(path), c.registered);
        EXPECT_EQ(registerCalls, c.calls);
        if (c.entry == &CountedRegister && c.calls) {  // a hang in the entry would leave its name in the file
            EXPECT_NE(logFileAtCall.find("Registering \"" + Utf8(path) + "\""), std::string::npos) << logFileAtCall;
        }
        const VnString logged = VnString::Format(VnString::FromUtf8(c.logged).View(), path);
        EXPECT_TRUE(LoggedContaining(logged.ToUtf8())) << LogText();
        VnSimModuleRegistry::Shared().Unregister(FileNameOf(path));
    }
}

// The export check reads the file's start once and, for tables beyond it,
// only the page they lie in: a small library costs one read (one open).
TEST_F(PluginDetectionTest, ExportCheckReadsASmallLibraryOnce) {
    constexpr size_t kSectionRawOffset = 0x40 + 24 + 224 + 20;  // the one section's file offset
    const auto movedTo = [](size_t offset) {
        std::string bytes = MakeLibraryFile({"DllCanUnloadNow", "DllRegisterServer"});
        const std::string section = bytes.substr(0x200);
        bytes.resize(offset, '\0');
        bytes += section;
        for (int i = 0; i < 4; ++i) bytes[kSectionRawOffset + size_t(i)] = char(offset >> (8 * i));
        return bytes;
    };
    const struct {
        const char* what;
        std::string bytes;
        int reads;
    } cases[] = {
        {"tables in the first page", movedTo(0x200), 1},
        {"tables further in, within the first read", movedTo(0x9000), 1},
        {"tables past the first read", movedTo(0x30000), 2},
    };
    for (const auto& c : cases) {
        int reads = 0;
        const VnFileRangeReader counted = [&](uint64_t offset, uint32_t size, std::string& bytes) {
            ++reads;
            if (offset < c.bytes.size()) bytes.assign(c.bytes, size_t(offset), size);
            return true;
        };
        EXPECT_EQ(VnFindPeExport(counted, "DllRegisterServer"), VnPeExport::Named) << c.what;
        EXPECT_EQ(VnFindPeExport(counted, "DllUnregisterServer"), VnPeExport::NotNamed) << c.what;
        EXPECT_EQ(reads, 2 * c.reads) << c.what;
    }
}
}  // namespace
#endif
