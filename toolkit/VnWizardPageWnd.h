// VnWizardPageWnd: one page of a wizard (VnWizardPopupWnd). The frame creates
// the page's window the first time it is visited, as a child of its page
// host, and asks the page, through the operations below, what to show,
// whether it may be skipped and whether navigation may go on.
#pragma once

#include "VnWnd.h"

class VnWizardPopupWnd;

class VnWizardPageWnd : public VnWnd {
public:
    VnWizardPageWnd();
    // A page that goes leaves its frame's list.
    ~VnWizardPageWnd() override;

    VnWizardPopupWnd* GetWizardFrame() const { return frame_; }
    // The page's index in its frame's list, or -1.
    int32_t GetPageIndex() const;

    // Whether the frame stops at this page (false: passed over in the
    // direction of travel).
    virtual bool IsShown() { return true; }
    virtual void OnDeactivate() {}
    virtual bool OnLeaveBackward() { return true; }
    virtual bool OnLeaveForward() { return true; }
    virtual void OnCancel() {}
    // The window caption while the page is active (kept when empty), and
    // the header's title and subtitle.
    virtual VnString GetCaption() { return caption_; }
    virtual VnString GetTitle() { return title_; }
    virtual VnString GetSubtitle() { return subtitle_; }
    virtual VnString GetBackText();  // "< Back"
    // "Next >" when a later page exists in the list, else "Finish".
    virtual VnString GetNextText();
    // True when the page's index is greater than 0.
    virtual bool CanGoBack();
    virtual bool CanGoNext() { return true; }
    virtual bool CanCancel() { return true; }
    virtual bool RemoveAfterLeaving() { return false; }
    // The control that takes the keyboard focus when the page is entered:
    // the first enabled tab stop on it, or null.
    virtual VnWnd* GetDefaultControl();

    void SetCaption(const VnString& caption) { caption_ = caption; }
    void SetTitle(const VnString& title) { title_ = title; }
    void SetSubtitle(const VnString& subtitle) { subtitle_ = subtitle; }

    // The usable area of the page in its own coordinates (the frame's page
    // area, 500 x 300 layout units).
    VnRect GetPageArea() const { return GetClientRect(); }

private:
    friend class VnWizardPopupWnd;
    bool CreatePage(VnWnd& host);
    VnWizardPopupWnd* frame_ = nullptr;
    VnString caption_;
    VnString title_;
    VnString subtitle_;
};
