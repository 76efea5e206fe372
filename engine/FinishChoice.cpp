// The finish page's choice carried out, and the run request it may leave.
#include "EngineLog.h"
#include "Finalize.h"
#include "InstallOptions.h"
#include "LoadedProduct.h"
#include "SystemShutdown.h"
#include "ToolsLink.h"
#include "VnDllString.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {

constexpr char16_t kSource[] = u"ApplyFinishChoice";

VnString Translated(const char16_t* literal) { return VnDllString(VnString(literal)).Get(); }

// The destination folder gets the read-only attribute, which Windows reads on
// a folder as "has a customised view" (its desktop.ini is honoured).
void MarkDestinationReadOnly(const VnString& folder) {
    if (folder.IsEmpty()) return;
    IVnFiles& files = VnPlatform().Files();
    const uint32_t attributes = files.GetFileAttributes(folder);
    if (attributes == vnwin::kInvalidFileAttributes) return;
    files.SetFileAttributes(folder, attributes | vnwin::kFileAttributeReadOnly);
}

// "Restart" pressed on "Confirm Restart".
bool ConfirmRestart() {
    ToolsInterface* tools = VnTools();
    if (!tools) return false;
    const VnString text = Translated(u"Please save your work and close any open programs.\r\n\r\n") +
                          Translated(u"Then click 'Restart' to restart your computer and finish installation.");
    return tools->ShowMessageWithButtons(text, Translated(u"Confirm Restart"), Translated(u"Restart"),
                                         Translated(u"Cancel"), VnString()) == 0;
}

VnString InstalledProgramPath() {
    ProductInformation* product = LoadedProductInformation();
    const VnString executable = product ? product->GetExecutableName() : VnString();
    if (executable.IsEmpty()) return VnString();
    return InstallOptions::Get().DestinationFolder + executable;
}

}  // namespace

std::string FinishRunRequestBytes(const VnString& programPath) {
    const VnString text = VnString(kFinishRunRequestMarker) + programPath;
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text.View()) {
        bytes += char(c & 0xFF);
        bytes += char(c >> 8);
    }
    return bytes;
}

bool WriteFinishRunRequest(const VnString& programPath) {
    const VnString path = GetInstallerFolder() + kFinishRunRequestName;
    const uint32_t error = VnPlatform().Files().WriteFile(path, FinishRunRequestBytes(programPath));
    if (error != vnwin::kErrorSuccess)
        EngineLog(kSource, VnString::Format(u"Error %d writing the run request %s", error, path));
    return error == vnwin::kErrorSuccess;
}

bool ApplyFinishChoice(int32_t choice) {
    ToolsLogScope scope(VnToolsLog(), kSource);
    scope.SetResult(choice);
    const InstallOptions& options = InstallOptions::Get();
    MarkDestinationReadOnly(options.DestinationFolder);
    if (options.Silent) return true;
    if (choice == kFinishRestart) {
        if (!ConfirmRestart()) {
            scope.Write(VN_LIT(u"Restart cancelled: the finish page stays"));
            return false;
        }
        CSystemShutdown().Shutdown(CSystemShutdown::Mode::Restart);
        return true;
    }
    if (choice == kFinishRunProgram) {
        const VnString program = InstalledProgramPath();
        if (!program.IsEmpty() && VnFileSystem::FileExists(program)) WriteFinishRunRequest(program);
    }
    return true;
}
