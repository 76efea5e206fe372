#include "InstallWAPlugin.h"

#include <cstring>
#include <memory>

#include "EngineLog.h"
#include "PackageFileActions.h"
#include "PluginInterfaces.h"
#include "ProductCommands.h"
#include "VnDllString.h"
#include "VnFileSystem.h"
#include "VnLibrary.h"
#include "VnPlatform.h"
#include "VstHost.h"

namespace {
constexpr char16_t kSource[] = u"CInstallWAPlugin::Install";

VnString Translated(const char16_t* literal) { return VnDllString(VnString(literal)).Get(); }

VnString Utf8Text(const char* text) {
    return text ? VnString::FromUtf8(std::string_view(text, strnlen(text, 1024))) : VnString();
}

std::unique_ptr<ToolsPropertyStore> OpenRecord(const VnString& key) {
    ToolsInterface* tools = VnTools();
    return std::unique_ptr<ToolsPropertyStore>(tools ? tools->OpenPropertyStore(key) : nullptr);
}

VnString SystemErrorText(uint32_t error) {
    switch (error) {
        case 2: return VN_LIT(u"The system cannot find the file specified.");
        case 126: return VN_LIT(u"The specified module could not be found.");
        case 193: return VN_LIT(u"The file is not a valid Win32 application.");
        default: return VnString::Format(u"Error %u.", error);
    }
}
}  // namespace

void RecordPluginForUninstall(const VnString& path, const VnString& recordKey) {
    if (auto store = OpenRecord(VN_LIT(u"Plugins\\Uninstall"))) store->SetText(path, recordKey, 0);
}

VnString InputPluginTypeName(const VnString& path) {
    VnString name = FileNameOf(path);
    const int32_t dot = name.ReverseFind(u'.');
    if (dot > 0) name = name.Left(dot);
    if (name.GetLength() > 3 && name.Left(3).EqualsNoCase(u"in_")) name = name.Mid(3);
    name.MakeUpper();
    return name;
}

bool CInstallWAPlugin::WriteInputRecord(const VnString& path, const VnString& name, const VnString& fileDescription,
                                        int version) {
    const VnString type = InputPluginTypeName(path);
    const VnString key = u"Plugins\\Input\\" + type;
    auto store = OpenRecord(key);
    if (!store) return false;
    bool ok = store->SetText(VN_LIT(u"Path"), path, 0);
    ok &= store->SetText(VN_LIT(u"Plugin Description"), name, 0);
    ok &= store->SetText(VN_LIT(u"File Description"), fileDescription, 0);
    ok &= store->SetText(VN_LIT(u"Name"), type, 0);
    ok &= store->SetNumber(VN_LIT(u"IVersion"), version, 0);
    ok &= store->SetText(VN_LIT(u"strPath"), FolderOf(path), 0);
    if (ok) RecordPluginForUninstall(path, key);
    return ok;
}

bool CInstallWAPlugin::WriteDspRecord(const VnString& path, const VnString& description, int version) {
    const VnString key = u"Plugins\\DSP\\" + FileNameOf(path);
    auto store = OpenRecord(key);
    if (!store) return false;
    bool ok = store->SetText(VN_LIT(u"Path"), path, 0);
    ok &= store->SetText(VN_LIT(u"Description"), description, 0);
    ok &= store->SetNumber(VN_LIT(u"IVersion"), version, 0);
    if (ok) RecordPluginForUninstall(path, key);
    return ok;
}

bool CInstallWAPlugin::Install(const VnString& path) {
    ToolsLogScope scope(VnToolsLog(), kSource);
    scope.Write(path);
    kind_ = PluginKind::kNone;
    bool written = false;
    if (path.GetLength() >= 5 && path.Right(5).EqualsNoCase(u".vst3")) {
        // Never loaded as a plain library: the host opens the bundle's module.
        kind_ = PluginKind::kVst3;
        VnString name;
        if (!OpenVst3Module(path, name)) {
            ShowPackageMessage(Translated(u"Unsupported plugin type.  The plugin can not be installed."));
            return false;
        }
        written = WriteDspRecord(path, VnString::Format(u"%s (VST Plugin)", name), 3);
    } else {
        VnLibraryHolder library;
        uint32_t error = vnwin::kErrorSuccess;
        VnHandle handle = VnPlatform().Processes().LoadLibrary(path, 0, error);
        library.Reset(handle);
        if (!library.IsLoaded()) {
            ShowPackageMessage(VnString::Format(Translated(u"Cannot load plug-in.\r\n\r\n%s"), SystemErrorText(error)));
            return false;
        }
        if (library.Function("winampVisGetHeader")) {
            kind_ = PluginKind::kWinampVisualisation;
            ShowPackageMessage(Translated(u"Winamp 2.x visualization plug-ins are not supported."));
            return false;
        }
        if (auto dsp = reinterpret_cast<VnWinampDspGetHeaderFunction>(library.Function("winampDSPGetHeader2"))) {
            kind_ = PluginKind::kWinampDsp;
            const VnWinampDspHeader* header = dsp();
            written = WriteDspRecord(path, header ? Utf8Text(header->description) : VnString(),
                                     header ? header->version : 0);
        } else if (auto input = reinterpret_cast<VnGetInputSourceFunction>(library.Function("GetInputSource"))) {
            kind_ = PluginKind::kInput;
            const VnInputSourceDescription* source = input();
            VnString name = source ? Utf8Text(source->name) : VnString();
            if (name.IsEmpty()) name = VN_LIT(u"Unknown input plug-in");
            const int version = source ? source->interfaceVersion : 0;
            if (version != kRequiredInputVersion) {
                const VnString text = VnString::Format(
                    Translated(u"The input plugin '%s' is not the correct version.\r\n\r\nPlugin version: %d\r\n"
                               u"Required version: %d"),
                    name, version, kRequiredInputVersion);
                if (silent_) scope.Write(text);
                else ShowPackageMessage(text);
                return false;
            }
            written = WriteInputRecord(path, name, source ? Utf8Text(source->fileDescription) : VnString(), version);
        } else if (auto winamp = reinterpret_cast<VnWinampGetInModuleFunction>(library.Function("winampGetInModule2"))) {
            kind_ = PluginKind::kWinampInput;
            const VnWinampInModule* module = winamp();
            const VnString description = module ? Utf8Text(module->description) : VnString();
            written = WriteInputRecord(path, description, description, module ? module->version : 0);
        } else if (library.Function("VSTPluginMain") || library.Function("main")) {
            kind_ = PluginKind::kVst2;
            library.Release();
            VnString name;
            if (!OpenVst2Effect(path, name)) {
                ShowPackageMessage(Translated(u"Unsupported plugin type.  The plugin can not be installed."));
                return false;
            }
            written = WriteDspRecord(path, VnString::Format(u"%s (VST Plugin)", name), 2);
        } else {
            ShowPackageMessage(Translated(u"Unsupported plugin type.  The plugin can not be installed."));
            return false;
        }
    }
    scope.SetResult(written ? 1 : 0);
    if (written) NotifyRunningProgramOfPlugins();
    return written;
}

bool CInstallWAPlugin::RegisterGirderPlugin(const VnString& path) {
    static const char* const kExports[] = {"gir_open",  "gir_requested_api", "gir_devicenum", "gir_config",
                                           "gir_close", "gir_start",         "gir_info",      "gir_stop",
                                           "gir_name",  "gir_description",   "gir_version",   "gir_compare"};
    VnLibraryHolder library;
    if (!VnLoadLibrary(path, 0, library)) return false;
    for (const char* name : kExports)
        if (!library.Function(name)) return false;
    auto text = [&](const char* entry) {
        char buffer[256] = {};
        reinterpret_cast<VnGirderTextFunction>(library.Function(entry))(buffer, int(sizeof buffer) - 1);
        return Utf8Text(buffer);
    };
    const VnString name = text("gir_name"), description = text("gir_description"), version = text("gir_version");
    if (name.IsEmpty()) return false;
    const VnString key = u"Plugins\\RemoteControl\\" + name;
    auto store = OpenRecord(key);
    if (!store) return false;
    bool ok = store->SetText(VN_LIT(u"GirderPlugin"), path, 0);
    ok &= store->SetNumber(VN_LIT(u"IVersion"), 3, 0);
    ok &= store->SetText(VN_LIT(u"Company"), VN_LIT(u"Girder"), 0);
    ok &= store->SetText(VN_LIT(u"Version"), version, 0);
    ok &= store->SetText(VN_LIT(u"URL"), VN_LIT(u"http://www.girder.nl/"), 0);
    ok &= store->SetText(VN_LIT(u"Plugin Author"), description, 0);
    ok &= store->SetText(VN_LIT(u"Copyright"), description, 0);
    ok &= store->SetText(VN_LIT(u"Filename"), FileNameOf(path), 0);
    ok &= store->SetNumber(VN_LIT(u"Configurable"), 1, 0);
    if (ok) RecordPluginForUninstall(path, key);
    EngineLog(u"CInstallWAPlugin::RegisterGirderPlugin", VnString::Format(u"\"%s\" as \"%s\"", path, name));
    return ok;
}
