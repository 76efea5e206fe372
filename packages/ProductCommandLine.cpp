#include "ProductCommandLine.h"

#include <memory>

#include "ComponentRegistration.h"
#include "EngineLog.h"
#include "LoadedProduct.h"
#include "PostString.h"
#include "ProcessInformationBlock.h"
#include "VnPlatform.h"

namespace {
constexpr char16_t kSource[] = u"CTNCommandLine::Execute";
constexpr uint32_t kPollInterval = 20;

uintptr_t WaitForWindow(ProductInformation& product, uint32_t milliseconds) {
    IVnSystem& system = VnPlatform().System();
    const uint64_t end = system.GetTickCount64() + milliseconds;
    for (;;) {
        if (uintptr_t window = product.GetProductWindow()) return window;
        if (system.GetTickCount64() >= end) return 0;
        system.Sleep(kPollInterval);
    }
}
}  // namespace

bool CTNCommandLine::Execute(const VnString& commandLine) {
    ToolsLogScope scope(VnToolsLog(), kSource);
    ToolsInterface* tools = VnTools();
    ProductInformation* product = LoadedProductInformation();
    if (!tools || !product) return false;
    std::unique_ptr<ToolsNamedLock> lock(tools->CreateNamedLock(VN_LIT(u"Varnel File Command Lock")));
    if (!lock || !lock->Lock(kCommandLockWait)) {
        scope.Write(VN_LIT(u"The command lock was not obtained"));
        return false;
    }
    bool handedOver = false;
    uintptr_t window = product->GetProductWindow();
    if (window == 0) {
        VnString command = commandLine;
        if (command.StartsWithNoCase(u"/Play ")) command = u"/PlayReplace " + command.Mid(6);
        const bool onCommandLine = command.GetLength() < kMaxCommandLineChars && !command.Contains(u"TREEPATH=");
        const VnString program = ProcessInformationBlock::Get().GetProgramFolder() + product->GetExecutableName();
        const uint32_t error = StartComponentProgram(program, onCommandLine ? command : VnString(), false);
        window = error == vnwin::kErrorSuccess ? WaitForWindow(*product, kWindowWait) : 0;
        if (onCommandLine) {
            handedOver = error == vnwin::kErrorSuccess;
            scope.Write(VnString::Format(u"Started \"%s\" with \"%s\"", program, command));
        }
        if (!onCommandLine && window == 0) scope.Write(VN_LIT(u"The program's window did not appear"));
        if (onCommandLine || window == 0) {
            lock->Unlock();
            return handedOver;
        }
    }
    CPostString mailbox(product->GetProductName(4) + u" FC_IPC", false);
    if (!mailbox.IsReady()) mailbox.Reset();
    handedOver = mailbox.Post(commandLine, 0, window);
    IVnSystem& system = VnPlatform().System();
    const uint64_t end = system.GetTickCount64() + kTakeWait;
    while (handedOver && !mailbox.IsEmpty()) {
        if (system.GetTickCount64() >= end) {
            outcome_ = VN_LIT(u"Timeout");
            scope.Write(VN_LIT(u"Timeout"));
            break;
        }
        system.Sleep(kPollInterval);
    }
    lock->Unlock();
    scope.SetResult(handedOver ? 1 : 0);
    return handedOver;
}

bool ExecuteProductCommandLine(const VnString& commandLine) { return CTNCommandLine().Execute(commandLine); }
