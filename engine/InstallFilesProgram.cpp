// The program files: the server product's stop, the program tree, what the
// copy must not leave behind, and the licence texts.
#include "EngineLog.h"
#include "FileCopy.h"
#include "InstallFiles.h"
#include "InstallFilesText.h"
#include "RunProgram.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {

constexpr int32_t kServerStopTimeLimitMilliseconds = 5000;
constexpr char16_t kChineseFolder[] = u"Data\\Languages\\Chinese\\";
constexpr char16_t kChineseSimplifiedFolder[] = u"Data\\Languages\\Chinese (simplified)\\";
const char16_t* const kLicenceTexts[] = {u"License.txt", u"License.LGPL2.1.txt", u"License.LGPL3.txt"};

}  // namespace

// The running server holds its files: ask it to stop (its result and a time
// out do not matter), then drop the old server tree.
void CInstallFiles::StopServerProduct() {
    ToolsLogScope scope(VnToolsLog(), u"CInstallFiles::StopServerProduct");
    const VnString program = destination_ + executableName_;
    if (VnFileSystem::FileExists(program)) {
        RunProgramOptions options;
        options.timeLimitMilliseconds = kServerStopTimeLimitMilliseconds;
        options.pumpMessages = PumpMessages;
        RunProgram(program, VnStringArray{VN_LIT(u"/Stop")}, options);
    }
    DeleteDirectoryTree(destination_ + u"Server\\");
}

void CInstallFiles::InstallProgramFiles() {
    ToolsLogScope scope(VnToolsLog(), u"CInstallFiles::InstallProgramFiles");
    page_->SetProgressPosition(0);
    PumpMessages();
    ShowStatus(VnString::Format(TranslatedMessage(u"Installing %s program files...").View(), productName_));
    CopyFolder(kCopyAlwaysOverwrite, page_, installerFolder_ + u"Playmoor\\", destination_, &RegisterList);
}

void CInstallFiles::RemoveUnwantedProgramFiles() {
    // The simplified-Chinese texts replace the older folder of the same language.
    if (VnFileSystem::FolderExists(destination_ + kChineseFolder) &&
        VnFileSystem::FolderExists(destination_ + kChineseSimplifiedFolder))
        DeleteDirectoryTree(destination_ + kChineseFolder);
    // The driver is installed later from "Drivers\WDM\"; these set-up files
    // must not stay in the program tree.
    DeleteDirectoryTree(destination_ + u"Drivers\\32\\");
    DeleteDirectoryTree(destination_ + u"Drivers\\64\\");
    VnFileSystem::DeleteFile(destination_ + u"Drivers\\VnWDMDriver.cat");
    VnFileSystem::DeleteFile(destination_ + u"Drivers\\VnWDMDriver.inf");
}

// A missing source or a failed copy is passed over.
void CInstallFiles::CopyLicenceTexts() {
    IVnFiles& files = VnPlatform().Files();
    for (const char16_t* name : kLicenceTexts) {
        const uint32_t error = files.CopyFile(VnFileSystem::LongPathForm(installerFolder_ + name),
                                              VnFileSystem::LongPathForm(destination_ + name), false);
        if (error != vnwin::kErrorSuccess)
            EngineLog(u"CInstallFiles::CopyLicenceTexts", VnString::Format(u"%s not copied: error %d", name, error));
    }
}
