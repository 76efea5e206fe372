// VnWizardPopupWnd: the generic wizard frame. A fixed-size popup with the
// header band on top, the page host in the middle (a page area of 500 x 300
// layout units) and the buttons "< Back", "Next >" and "Cancel" at the
// bottom; it shows one page of its list at a time.
//
// Navigation goes only through SetActivePage: it asks the page being left
// (OnLeaveForward or OnLeaveBackward), passes over pages whose IsShown is
// false in the direction of travel, and calls Finish when it runs off the
// list. Back and Next clicks that come within 300 ms of the last page change
// are ignored. The frame also takes three messages: kGoBackCommand and
// kGoNextCommand (as the buttons, without the click guard) and
// kEndWizardCommand (wParam = result code: close with it).
#pragma once

#include "VnArray.h"
#include "VnButton.h"
#include "VnDialogHeaderCtrl.h"
#include "VnPaneWnd.h"
#include "VnPopupWnd.h"
#include "VnStatic.h"
#include "VnTimer.h"
#include "VnWizardPageWnd.h"

struct VnWizardPageInfo {
    VnWizardPageWnd* page;  // not owned
    bool flag;
};

class VnWizardPopupWnd : public VnPopupWnd {
public:
    static constexpr uint32_t kGoBackCommand = 0x889D;
    static constexpr uint32_t kGoNextCommand = 0x889E;
    static constexpr uint32_t kEndWizardCommand = 0x889A;
    static constexpr int32_t kResultRunning = -1;
    static constexpr int32_t kResultFinished = 1;
    static constexpr int32_t kResultCancelled = 2;
    static constexpr int32_t kPageWidth = 500;
    static constexpr int32_t kPageHeight = 300;
    static constexpr uint64_t kClickGuardMs = 300;
    static constexpr int32_t kBackId = 0x3023;
    static constexpr int32_t kNextId = 0x3024;
    static constexpr int32_t kCancelId = kVnIdCancel;

    VnWizardPopupWnd();
    ~VnWizardPopupWnd() override;

    // Appends a page (not owned); returns its index.
    int32_t AddPage(VnWizardPageWnd& page, bool flag = false);
    int32_t GetPageCount() const { return pages_.GetSize(); }
    VnWizardPageWnd* GetPage(int32_t index) const;
    const VnWizardPageInfo* GetPageInfo(int32_t index) const;
    int32_t FindPage(const VnWizardPageWnd* page) const;
    int32_t GetCurrentIndex() const { return current_; }
    VnWizardPageWnd* GetCurrentPage() const { return GetPage(current_); }
    // -1 while running; 1 finished, 2 cancelled, or the value of kEndWizardCommand.
    int32_t GetResultCode() const { return result_; }

    // Makes `target` (or the next shown page beyond it) the current page;
    // false when the page being left refuses or nothing changed.
    bool SetActivePage(int32_t target, bool setFocus);
    // Sets the buttons, the caption and the header from the current page.
    void UpdateFrame();

    VnButton& GetBackButton() { return back_; }
    VnButton& GetNextButton() { return next_; }
    VnButton& GetCancelButton() { return cancel_; }
    VnDialogHeaderCtrl& GetHeader() { return header_; }
    VnWnd& GetPageHost() { return host_; }
    const VnTimer& GetNavigationStopwatch() const { return stopwatch_; }

    // The window icon and the header's icon.
    bool SetIconFile(const VnString& path) override;

    intptr_t DefaultWindowProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;

protected:
    // A derived frame that holds its pages as members calls this in its own
    // destructor, after destroying the window and before its pages go: the
    // frame then lets go of every page while they all still exist, and its
    // own destructor touches none.
    void ReleasePages();
    // Builds the frame: header, page host, lines and buttons, and sizes the
    // popup around the page area. Derived frames call it first, then show
    // their first page.
    void BuildControls() override;
    void Layout() override;
    void OnCommand(VnWnd& control, uint16_t code) override;
    // Close box, Alt+F4 and Esc: cancel, unless the page says it cannot.
    void OnCloseRequest() override;
    // Runs off the end of the list: result 1, close.
    virtual void Finish();
    // The current page's OnCancel and OnDeactivate, result 2, close.
    virtual void Cancel();
    // Stores the result code and ends the modal loop with it.
    void Close(int32_t result);

private:
    friend class VnWizardPageWnd;
    // Takes a page that is going away out of the list.
    void ForgetPage(const VnWizardPageWnd& page);
    void OnBack(bool guarded);
    void OnNext(bool guarded);
    // Makes the page's window on its first visit and asks whether it is shown.
    bool AsksToBeShown(int32_t index);

    VnOwnedPtrArray<VnWizardPageInfo> pages_;
    int32_t current_ = -1;
    int32_t result_ = kResultRunning;
    VnDialogHeaderCtrl header_;
    VnSeparator topLine_;
    VnPaneWnd host_;
    VnSeparator bottomLine_;
    VnButton back_;
    VnButton next_;
    VnButton cancel_;
    VnTimer stopwatch_;
};
