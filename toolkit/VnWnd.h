// VnWnd: one window of the toolkit, the model that both implementations
// share. It keeps the window's place in the tree, its id, text, state and
// rectangle; the implementation mirrors them into a real window (Win32) or
// keeps them as they are (headless). Getters ask the real control while it
// exists, because the user may have changed it.
//
// Messages follow the Windows pattern: WindowProc sees every message first
// (override it to intercept one) and passes the rest to DefaultWindowProc,
// the toolkit's normal handling, which turns timers into OnTimer and child
// notifications into OnCommand.
#pragma once

#include <cstdint>
#include <vector>

#include "VnRect.h"
#include "VnString.h"
#include "VnToolkit.h"

class VnPopupWnd;
struct VnBackend;

enum class VnWndKind : uint8_t {
    Pane,       // a plain child window that holds other windows (pages, composite controls)
    Popup,      // a top-level popup window
    Button,
    Checkbox,
    Radio,
    Static,     // a text label
    Image,      // a picture
    Edit,
    Progress,
    Report,     // a report list
    Separator,  // an etched horizontal line
};

// Options of a window, given at creation; which apply depends on the kind.
enum VnWndOption : uint32_t {
    kVnOptNone = 0,
    kVnOptGroupStart = 1u << 0,    // first of a radio group; also ends the group before it
    kVnOptTabStop = 1u << 1,       // reached with Tab (buttons, edits and lists always are)
    kVnOptDefaultButton = 1u << 2, // pressed by Enter
    kVnOptBold = 1u << 3,          // bold font
    kVnOptMnemonic = 1u << 4,      // a static text whose "&" marks the access key
    kVnOptReadOnly = 1u << 5,
    kVnOptMultiLine = 1u << 6,
    kVnOptWhiteBackground = 1u << 7,  // a pane in window colour (the header band)
    kVnOptCheckBoxes = 1u << 8,    // report list rows with check boxes
    kVnOptCenter = 1u << 9,        // centred text or picture
};

class VnWnd {
public:
    explicit VnWnd(VnWndKind kind);
    virtual ~VnWnd();
    VnWnd(const VnWnd&) = delete;
    VnWnd& operator=(const VnWnd&) = delete;

    VnWndKind GetKind() const { return kind_; }
    int32_t GetId() const { return id_; }
    uint32_t GetOptions() const { return options_; }
    bool HasOption(VnWndOption option) const { return (options_ & option) != 0; }
    VnWnd* GetParent() const { return parent_; }
    // Children in creation order, which is also their Z order and tab order.
    const std::vector<VnWnd*>& GetChildren() const { return children_; }
    VnWnd* FindChildById(int32_t id) const;
    // The popup this window lives in (itself for a popup), or null.
    VnPopupWnd* GetPopup();

    bool IsCreated() const { return native_ != nullptr; }
    // Destroys the real window and those of all children. The objects stay
    // and can be created again.
    void Destroy();

    void SetText(const VnString& text);
    VnString GetText() const;
    // The text as shown: without mnemonic markers ("&&" shows one "&").
    VnString GetDisplayText() const;
    static VnString StripMnemonic(std::u16string_view text);

    void Enable(bool enable = true);
    bool IsEnabled() const;
    void Show(bool show = true);
    bool IsVisible() const { return visible_; }
    // Visible itself and inside visible parents: what a user can see.
    bool IsVisibleOnScreen() const;
    // Position in the parent's client area, in layout units.
    void SetRect(const VnRect& rect);
    const VnRect& GetRect() const { return rect_; }
    VnRect GetClientRect() const { return VnRect::At(0, 0, rect_.Width(), rect_.Height()); }
    void SetFocus();
    bool HasFocus() const;
    // Suspends (false) and resumes (true) redrawing; resuming repaints.
    void SetRedraw(bool redraw);

    // Timers numbered per window, delivered to OnTimer until killed. Setting
    // a running number restarts it with the new period.
    bool SetTimer(uint32_t id, uint32_t milliseconds);
    bool KillTimer(uint32_t id);

    bool PostMessage(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);
    intptr_t SendMessage(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);
    virtual intptr_t WindowProc(uint32_t msg, uintptr_t wParam, intptr_t lParam);
    virtual intptr_t DefaultWindowProc(uint32_t msg, uintptr_t wParam, intptr_t lParam);

    // Height the window wants at the given width (layout units).
    virtual int32_t GetPreferredHeight(int32_t width) const;

    // HWND on Windows; an opaque non-null token headless while created.
    void* GetNativeHandle() const { return native_; }

    // Reached with Tab: buttons, check boxes, edits and lists always, other
    // kinds with kVnOptTabStop.
    bool IsTabStop() const;
    // Begins a keyboard group (Windows: WS_GROUP): with kVnOptGroupStart, and
    // every tab stop that is not a radio button.
    bool StartsGroup() const;

protected:
    // Creates the window as a child of `parent`, which must exist. An id of
    // 0 takes the parent's next free number. Then BuildControls and Layout run.
    bool CreateChild(VnWnd& parent, const VnString& text, const VnRect& rect, uint32_t options = kVnOptNone,
                     int32_t id = 0);

    // Creates the child windows (after the window itself exists).
    virtual void BuildControls() {}
    // Places the child windows; runs after BuildControls and on resizing.
    virtual void Layout() {}
    virtual void OnTimer(uint32_t id) {}
    // A child control's notification (kVnNotifyClicked, kVnNotifyChanged).
    virtual void OnCommand(VnWnd& control, uint16_t code) {}
    // This control's own notification, before its parent's OnCommand sees it.
    virtual void OnNotify(uint16_t code) {}
    // Runs after the real window is gone (Destroy or the parent's end).
    virtual void OnDestroyed() {}

    void SetOptions(uint32_t options) { options_ = options; }

    // State kept by the model; the implementations read and write it.
    VnString text_;
    bool checked_ = false;

private:
    friend struct VnBackend;
    friend class VnPopupWnd;

    void AssignText(const VnString& text);
    void AttachTo(VnWnd& parent);
    void Detach();
    void ForgetNative();  // the real window is gone: this and all children
    void FinishCreation();

    VnWndKind kind_;
    VnWnd* parent_ = nullptr;
    std::vector<VnWnd*> children_;
    int32_t id_ = 0;
    int32_t nextChildId_ = 1000;
    uint32_t options_ = kVnOptNone;
    bool enabled_ = true;
    bool visible_ = true;
    VnRect rect_;
    void* native_ = nullptr;
};
