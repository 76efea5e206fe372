#include "PackageFileActions.h"

#include "ComponentRegistration.h"
#include "EngineLog.h"
#include "InstallWAPlugin.h"
#include "LoadedProduct.h"
#include "ProductCommands.h"
#include "VnDllString.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {
constexpr char16_t kSource[] = u"CInstallPackage::RunAction";

VnString Translated(const char16_t* literal) { return VnDllString(VnString(literal)).Get(); }

}  // namespace

uint32_t CopyFolderFiles(const VnString& from, const VnString& to, VnString& failedTarget) {
    IVnFiles& files = VnPlatform().Files();
    VnCoreArray<VnFindData> found;
    files.FindFiles(from + u"*", found);
    if (!VnFileSystem::MakeDirectoryTree(to)) {
        failedTarget = to;
        return vnwin::kErrorAccessDenied;
    }
    for (const VnFindData& item : found) {
        if (item.attributes & vnwin::kFileAttributeDirectory) {
            const uint32_t error = CopyFolderFiles(from + item.name + u"\\", to + item.name + u"\\", failedTarget);
            if (error != vnwin::kErrorSuccess) return error;
            continue;
        }
        const uint32_t error = files.CopyFile(from + item.name, to + item.name, false);
        if (error != vnwin::kErrorSuccess) {
            failedTarget = to + item.name;
            return error;
        }
        files.SetFileAttributes(to + item.name, vnwin::kFileAttributeNormal);
    }
    return vnwin::kErrorSuccess;
}

namespace {
// A COPY_ command: the entry's file (or, for "*.*", its whole folder) into the
// target folder. Returns the path where the file now is, or empty on failure.
VnString CopyEntry(const PackageAction& action, const VnString& source, const VnString& programFolder) {
    IVnFiles& files = VnPlatform().Files();
    const VnString target = PackageTargetFolder(action.command, action.param, programFolder);
    const VnString name = FileNameOf(source);
    VnString failedTarget = target + name;
    uint32_t error = vnwin::kErrorSuccess;
    const uint32_t attributes = files.GetFileAttributes(source);
    if (name == u"*.*") {
        error = CopyFolderFiles(FolderOf(source), target, failedTarget);
    } else if (attributes != vnwin::kInvalidFileAttributes && (attributes & vnwin::kFileAttributeDirectory)) {
        // A folder of the package moves to its place as a whole.
        VnFileSystem::MakeDirectoryTree(target);
        error = files.MoveFile(source, target + name);
        if (error != vnwin::kErrorSuccess) {
            ShowPackageMessage(VnString::Format(Translated(u"Failed to move folder. Error: %d"), int(error)));
            return VnString();
        }
        return target + name;
    } else if (!VnFileSystem::MakeDirectoryTree(target)) {
        error = vnwin::kErrorAccessDenied;
    } else {
        error = files.CopyFile(source, target + name, false);
        if (error == vnwin::kErrorSuccess) files.SetFileAttributes(target + name, vnwin::kFileAttributeNormal);
    }
    if (error != vnwin::kErrorSuccess) {
        EngineLog(kSource, VnString::Format(u"Copying \"%s\" to \"%s\" failed, error: %u", source, failedTarget, error));
        ShowPackageMessage(VnString::Format(Translated(u"Destination file is in use.\r\n%s"), failedTarget));
        return VnString();
    }
    return target + name;
}

uint32_t StartFile(const VnString& file, const VnString& parameters, bool wait) {
    return StartComponentProgram(file, parameters, wait);
}

void RunAction(const PackageAction& action, VnString& current, const PackageActionContext& context) {
    const VnString& command = action.command;
    EngineLog(kSource, VnString::Format(u"%s %s on \"%s\"", command, action.param, current));
    if (command.StartsWith(u"COPY_")) {
        const VnString copied = CopyEntry(action, current, context.programFolder);
        if (!copied.IsEmpty()) current = copied;
    } else if (command == u"DELETE" || command == u"DELETE_ORIGINAL") {
        // DELETE: where the entry's file now is; DELETE_ORIGINAL: the unpacked source.
        VnFileSystem::DeleteFile(command == u"DELETE" ? current : context.unpackFolder + FileNameOf(current));
    } else if (command == u"DELETE_DIRECTORY") {
        if (!action.param.IsEmpty()) DeleteDirectoryTree(context.programFolder + action.param);
    } else if (command == u"REGISTER") {
        if (!RegisterComponent(current) && !CInstallWAPlugin::RegisterGirderPlugin(current))
            ShowPackageMessage(VnString::Format(Translated(u"Failed to register object.\r\n%s"), current));
    } else if (command == u"RUN" || command == u"EXECUTE") {
        const bool dontWait = action.param == u"DONTWAIT";
        const uint32_t error = StartFile(current, dontWait ? VnString() : action.param, !dontWait);
        if (error != vnwin::kErrorSuccess)
            ShowPackageMessage(dontWait || action.param.IsEmpty()
                                   ? VnString::Format(Translated(u"Failed to start process.\r\n%s\r\nError: %d"),
                                                      current, int(error))
                                   : VnString::Format(Translated(u"Failed to start process.\r\n%s %s\r\nError: %d"),
                                                      current, action.param, int(error)));
    } else if (command == u"INSTALL") {
        const VnString parameters = u"/Q /Install " + current;
        const uint32_t error = StartFile(context.programFolder + u"PackageInstaller.exe", parameters, true);
        if (error != vnwin::kErrorSuccess)
            ShowPackageMessage(VnString::Format(
                Translated(u"Failed to install using Package Installer.\r\nParameters: %s\r\nError: %d"), parameters,
                int(error)));
    } else if (command == u"REG_WA_IN" || command == u"REG_WA_DSP" || command == u"REG_WA_VIS" ||
               command == u"REG_WA_PLUGIN" || command == u"REG_PLUGIN") {
        CInstallWAPlugin(false).Install(current);
    } else if (command == u"REGISTRY") {
        RunRegistryAction(action.param, context.programFolder);
    } else if (command == u"CLOSE_TN") {
        if (ProductInformation* product = LoadedProductInformation()) product->CloseProduct();
    } else if (command == u"START_TN") {
        StartInstalledProgram(context.programFolder, VnString());
    } else if (command == u"RESTART_TN") {
        RestartInstalledProgram(context.programFolder);
    } else if (command == u"UPDATE_SERVICELIST") {
        SendToRunningProgram(VN_LIT(u"/ServiceUpdate"));
    } else {
        EngineLog(kSource, VnString::Format(u"Unknown command \"%s\" skipped", command));
    }
}
}  // namespace

VnString PackageTargetFolder(const VnString& command, const VnString& param, const VnString& programFolder) {
    if (command == u"COPY_PLUGINDIR") return programFolder + u"Plugins\\";
    if (command == u"COPY_HELPDIR") return programFolder + u"Help\\";
    if (command == u"COPY_VISUALIZATIONS") return programFolder + u"Visualizations\\";
    if (command == u"COPY_TRACKINFOS") return programFolder + u"Visualizations\\Track Info\\";
    if (command == u"COPY_VISSTUDIO") return programFolder + u"Visualizations\\Vis Workshop\\";
    if (command == u"COPY_VISSCRIPTS") return programFolder + u"Visualizations\\Vis Workshop\\Scripts\\";
    if (command == u"COPY_SYSDIR") return GetSystemFolder();
    if (command == u"COPY_WINDIR") return GetWindowsFolder();
    // COPY_DIRECTORY: a folder below the program folder; a name that climbs
    // out of it is not followed.
    VnString folder = param;
    folder.Trim();
    folder.Trim(u'\\');
    if (folder.IsEmpty() || folder.Contains(u"..") || folder.Contains(u":")) return programFolder;
    return programFolder + folder + u"\\";
}

void RunPackageFileActions(const PackageDescription& description, const PackageActionContext& context) {
    for (const PackageFileEntry& entry : description.files) {
        VnString current = entry.isDownload ? entry.file : context.unpackFolder + entry.file;
        for (const PackageAction& action : entry.actions) RunAction(action, current, context);
    }
}

namespace {
bool g_quietMessages = false;  // the installer's work runs on one thread
}  // namespace

QuietPackageMessages::QuietPackageMessages(bool quiet) : outer_(g_quietMessages) { g_quietMessages = outer_ || quiet; }
QuietPackageMessages::~QuietPackageMessages() { g_quietMessages = outer_; }

void ShowPackageMessage(const VnString& text) { ShowPackageMessage(text, Translated(u"Information")); }

void ShowPackageMessage(const VnString& text, const VnString& title) {
    EngineLog(kSource, VnString::Format(u"%s: %s%s", title, text, g_quietMessages ? u" (not shown: quiet)" : u""));
    if (g_quietMessages) return;
    if (ToolsInterface* tools = VnTools()) tools->ShowMessage(text, title);
}
