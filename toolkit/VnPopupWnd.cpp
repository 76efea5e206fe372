#include "VnPopupWnd.h"

#include <algorithm>
#include <vector>

#include "VnBackend.h"

namespace {
// Every popup object, and those running modally, innermost last.
std::vector<VnPopupWnd*>& AllPopups() {
    static std::vector<VnPopupWnd*> popups;
    return popups;
}
std::vector<VnPopupWnd*>& ModalPopups() {
    static std::vector<VnPopupWnd*> popups;
    return popups;
}
uint64_t g_creationCounter = 0;

void Forget(std::vector<VnPopupWnd*>& list, VnPopupWnd* popup) {
    list.erase(std::remove(list.begin(), list.end(), popup), list.end());
}
}  // namespace

VnPopupWnd::VnPopupWnd() : VnWnd(VnWndKind::Popup) {
    Show(false);
    AllPopups().push_back(this);
}

VnPopupWnd::~VnPopupWnd() {
    Destroy();
    Forget(AllPopups(), this);
    Forget(ModalPopups(), this);
}

bool VnPopupWnd::Create(VnWnd* owner) {
    if (IsCreated()) return true;
    if (!VnToolkit::Initialize()) return false;
    owner_ = owner;
    ended_ = false;
    modalResult_ = -1;
    if (!VnBackend::CreateNative(*this)) return false;
    createdOrder_ = ++g_creationCounter;
    FinishCreation();
    VnBackend::FitPopup(*this);
    if (!iconFile_.IsEmpty()) VnBackend::SetPopupIcon(*this, iconFile_);
    if (defaultButton_) VnBackend::ApplyDefaultButton(*this, nullptr);
    return true;
}

int32_t VnPopupWnd::DoModal(VnWnd* owner) {
    if (!IsCreated() && !Create(owner)) return -1;
    Show(true);
    ModalPopups().push_back(this);
    inModalLoop_ = true;
    if (!ended_) VnBackend::RunModal(*this);
    inModalLoop_ = false;
    Forget(ModalPopups(), this);
    Show(false);
    Destroy();
    return modalResult_;
}

void VnPopupWnd::EndModal(int32_t result) {
    modalResult_ = result;
    ended_ = true;
    if (inModalLoop_) VnBackend::WakeModal(*this);
}

void VnPopupWnd::SetClientSize(int32_t width, int32_t height) {
    const bool resized = width != GetRect().Width() || height != GetRect().Height();
    VnWnd::rect_ = VnRect::At(0, 0, width, height);
    if (!IsCreated()) return;
    VnBackend::FitPopup(*this);
    if (resized) Layout();
}

bool VnPopupWnd::SetIconFile(const VnString& path) {
    iconFile_ = path;
    if (!IsCreated()) return true;
    return VnBackend::SetPopupIcon(*this, path);
}

void VnPopupWnd::SetDefaultButton(VnWnd* button) {
    VnWnd* previous = defaultButton_;
    defaultButton_ = button;
    if (IsCreated()) VnBackend::ApplyDefaultButton(*this, previous);
}

VnPopupWnd* VnPopupWnd::GetActivePopup() {
    if (!ModalPopups().empty()) return ModalPopups().back();
    VnPopupWnd* latest = nullptr;
    for (VnPopupWnd* popup : AllPopups())
        if (popup->IsCreated() && popup->IsVisible() && (!latest || popup->createdOrder_ > latest->createdOrder_))
            latest = popup;
    return latest;
}

intptr_t VnPopupWnd::DefaultWindowProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    switch (msg) {
    case kVnMsgSysCommand:
        if ((wParam & 0xFFF0) == kVnSysCommandClose) {
            OnCloseRequest();
            return 0;
        }
        break;
    case kVnMsgClose:
        OnCloseRequest();
        return 0;
    case kVnMsgCommand:
        if (VnCommandId(wParam) == kVnIdCancel && !FindChildById(kVnIdCancel)) {
            OnCloseRequest();
            return 0;
        }
        break;
    default:
        break;
    }
    return VnWnd::DefaultWindowProc(msg, wParam, lParam);
}

void VnPopupWnd::OnCloseRequest() { EndModal(kVnIdCancel); }

void VnPopupWnd::OnDestroyed() { createdOrder_ = 0; }
