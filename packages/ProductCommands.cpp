#include "ProductCommands.h"

#include "ComponentRegistration.h"
#include "EngineLog.h"
#include "LoadedProduct.h"
#include "ProductCommandLine.h"
#include "VnDllString.h"
#include "VnPlatform.h"

namespace {
VnString Translated(const char16_t* literal) { return VnDllString(VnString(literal)).Get(); }
}  // namespace

void StartInstalledProgram(const VnString& programFolder, const VnString& arguments) {
    ProductInformation* product = LoadedProductInformation();
    if (!product) return;
    StartComponentProgram(programFolder + product->GetExecutableName(), arguments, false);
}

void RestartInstalledProgram(const VnString& programFolder) {
    ToolsInterface* tools = VnTools();
    ProductInformation* product = LoadedProductInformation();
    if (!tools || !product) return;
    const VnString question =
        VnString::Format(Translated(u"%s must be restarted to complete installation of the package.\r\n\r\n"),
                         product->GetProductName(1)) +
        Translated(u"Do you want to restart it now?");
    if (tools->AskQuestion(question, Translated(u"Confirm Action")) != kToolsAnswerYes) return;
    product->CloseProduct();
    for (int i = 0; i < 250 && product->IsProductRunning(); ++i) VnPlatform().System().Sleep(20);
    StartInstalledProgram(programFolder, VnString());
}

bool SendToRunningProgram(const VnString& commandLine) {
    if (VnPlatform().Processes().FindWindow(kProductWindowClass, VnString()) == 0) {
        EngineLog(u"SendToRunningProgram", VnString::Format(u"The program is not running: \"%s\" not sent", commandLine));
        return false;
    }
    return ExecuteProductCommandLine(commandLine);
}

void NotifyRunningProgramOfPlugins() { SendToRunningProgram(VN_LIT(u"/RefreshPlugins")); }
