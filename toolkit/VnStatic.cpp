#include "VnStatic.h"

#include "VnBackend.h"
#include "VnLayout.h"

bool VnStatic::Create(VnWnd& parent, const VnString& text, const VnRect& rect, uint32_t options, int32_t id) {
    return CreateChild(parent, text, rect, options, id);
}

int32_t VnStatic::GetPreferredHeight(int32_t width) const {
    return VnLayout::TextHeight(GetDisplayText(), width, HasOption(kVnOptBold));
}

void VnStatic::SetBold(bool bold) {
    if (bold == HasOption(kVnOptBold)) return;
    SetOptions(bold ? GetOptions() | kVnOptBold : GetOptions() & ~uint32_t(kVnOptBold));
    if (IsCreated()) VnBackend::ApplyFont(*this);
}

bool VnImageCtrl::Create(VnWnd& parent, const VnString& description, const VnRect& rect, int32_t id) {
    return CreateChild(parent, description, rect, kVnOptCenter, id);
}

bool VnImageCtrl::SetImageFile(const VnString& path) {
    if (!IsCreated() || path.IsEmpty() || !VnBackend::LoadImage(*this, path)) return false;
    imageFile_ = path;
    return true;
}

bool VnSeparator::Create(VnWnd& parent, const VnRect& rect) { return CreateChild(parent, {}, rect); }
