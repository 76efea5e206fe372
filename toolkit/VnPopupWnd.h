// A fixed-size top-level popup window that runs modally: DoModal disables
// the owner, runs the message loop until EndModal and returns its result.
//
// Keyboard: Tab and Shift+Tab move through the tab stops, arrow keys through
// a radio group, Enter presses the default button, Esc sends kVnMsgCommand
// with kVnIdCancel, Alt plus a mnemonic reaches the labelled control. The
// close box, Alt+F4, Esc without a kVnIdCancel control and kVnMsgClose all
// end in OnCloseRequest.
#pragma once

#include "VnWnd.h"

class VnPopupWnd : public VnWnd {
public:
    VnPopupWnd();
    ~VnPopupWnd() override;

    // Creates the window hidden, runs BuildControls and Layout, sizes it to
    // its client size and centres it over the owner (or the screen).
    bool Create(VnWnd* owner = nullptr);
    // Creates (when needed) and shows the window, runs the modal loop until
    // EndModal, then hides and destroys it. Returns the value given to
    // EndModal, or -1 when the window could not be made.
    int32_t DoModal(VnWnd* owner = nullptr);
    // Ends the modal loop with the result; outside one it only records it.
    void EndModal(int32_t result);
    bool IsEnded() const { return ended_; }
    int32_t GetModalResult() const { return modalResult_; }
    bool IsInModalLoop() const { return inModalLoop_; }
    VnWnd* GetOwner() const { return owner_; }

    // The client area in layout units; the window cannot be resized.
    void SetClientSize(int32_t width, int32_t height);
    // Loads an icon file (".ico") as the window's icon: 32 x 32 layout units
    // as the big icon, 16 x 16 as the small one. False, and no icon, when
    // the file cannot be read.
    virtual bool SetIconFile(const VnString& path);
    const VnString& GetIconFile() const { return iconFile_; }

    // The button that Enter presses (Windows: BS_DEFPUSHBUTTON and DM_GETDEFID).
    void SetDefaultButton(VnWnd* button);
    VnWnd* GetDefaultButton() const { return defaultButton_; }

    // The popup a user would act on: the innermost one running modally, else
    // the last created one that is on screen; null when there is none.
    static VnPopupWnd* GetActivePopup();

    intptr_t DefaultWindowProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;

protected:
    // The user asked to close the window; ends the modal loop with kVnIdCancel.
    virtual void OnCloseRequest();
    void OnDestroyed() override;

private:
    friend struct VnBackend;
    VnWnd* owner_ = nullptr;
    VnWnd* defaultButton_ = nullptr;
    VnString iconFile_;
    int32_t modalResult_ = -1;
    bool ended_ = false;
    bool inModalLoop_ = false;
    uint64_t createdOrder_ = 0;
};
