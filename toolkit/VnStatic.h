// Static texts, pictures and separator lines.
#pragma once

#include "VnWnd.h"

// A text label. Options: kVnOptBold, kVnOptCenter, kVnOptMnemonic (the
// label's "&" marks the access key of the control that follows it; without
// it "&" is shown as written), kVnOptGroupStart (ends a radio group).
// Long texts wrap.
class VnStatic : public VnWnd {
public:
    VnStatic() : VnWnd(VnWndKind::Static) {}
    bool Create(VnWnd& parent, const VnString& text, const VnRect& rect = {}, uint32_t options = kVnOptNone,
                int32_t id = 0);
    int32_t GetPreferredHeight(int32_t width) const override;
    void SetBold(bool bold);
};

// A picture from a PNG or JPEG file, scaled down to fit the control and
// centred, keeping its proportions. Windows decodes it through the Windows
// Imaging Component; headless the control keeps the file name only.
class VnImageCtrl : public VnWnd {
public:
    VnImageCtrl() : VnWnd(VnWndKind::Image) {}
    // `description` is the control's text, what a screen reader announces.
    bool Create(VnWnd& parent, const VnString& description, const VnRect& rect = {}, int32_t id = 0);
    // Shows the picture of the file. When it cannot be read the control keeps
    // what it showed and false comes back.
    bool SetImageFile(const VnString& path);
    // The file shown last, empty while none is.
    const VnString& GetImageFile() const { return imageFile_; }

private:
    friend struct VnBackend;
    VnString imageFile_;
};

// An etched horizontal line.
class VnSeparator : public VnWnd {
public:
    VnSeparator() : VnWnd(VnWndKind::Separator) {}
    bool Create(VnWnd& parent, const VnRect& rect = {});
    int32_t GetPreferredHeight(int32_t width) const override { return 2; }
};
