#include "ToolsProductInformation.h"

#include "ToolsText.h"
#include "VnPlatform.h"

namespace {
constexpr int kFindTextIgnoreCase = 3;
}

VnString ToolsProductInformation::GetLauncherPath() {
    VnString folder = folders_.GetProgramFolder();
    if (folder.IsEmpty()) folder = folders_.GetModuleFolder();
    if (folder.IsEmpty() || file_->LauncherName().IsEmpty()) return VnString();
    return folder + file_->LauncherName();
}

VnString ToolsProductInformation::GetInfoString(const VnString& path, const VnString& defaultValue) {
    VnString value = file_->Query(path);
    return value.IsEmpty() ? defaultValue : value;
}

int ToolsProductInformation::GetInfoInt(const VnString& path, int defaultValue) {
    int32_t value;
    return ToolsParseInt(file_->Query(path), value) ? value : defaultValue;
}

uintptr_t ToolsProductInformation::GetProductWindow() {
    return VnPlatform().Processes().FindWindow(file_->MainWindowClass(), VnString());
}

bool ToolsProductInformation::CloseProduct() {
    uintptr_t window = GetProductWindow();
    return window && VnPlatform().Processes().PostMessage(window, vnwin::kWmClose, 0, 0);
}

int ToolsProductInformation::FindText(const VnString& text, const VnString& part, int mode) {
    if (part.IsEmpty()) return -1;
    return mode == kFindTextIgnoreCase ? text.FindNoCase(part) : text.Find(part.View());
}
