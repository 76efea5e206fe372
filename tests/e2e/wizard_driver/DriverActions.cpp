#include "DriverActions.h"

#include <cstdio>
#include <functional>

#include "DriverWindows.h"

namespace driver {

int g_timeoutSeconds = 30;

namespace {

// A person does not click within the wizard's 300 ms guard after a page change.
constexpr DWORD kHumanPauseMs = 400;
constexpr DWORD kPollMs = 100;

void Print(const std::wstring& text) {
    const std::string bytes = Utf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

bool Fail(const std::wstring& why) {
    const std::string bytes = Utf8(L"wizard_driver: " + why + L"\n");
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    if (HWND wizard = FindWizard()) {
        std::fputs("the wizard shows:\n", stderr);
        const std::string page = Utf8(Describe(wizard));
        std::fwrite(page.data(), 1, page.size(), stderr);
    }
    return false;
}

// Polls `done` until it holds or the time-out passes.
bool WaitFor(const std::function<bool()>& done, int seconds = -1) {
    const ULONGLONG end = GetTickCount64() + ULONGLONG(seconds < 0 ? g_timeoutSeconds : seconds) * 1000;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(kPollMs);
    }
}

HWND WaitForWizard() {
    HWND wizard = nullptr;
    WaitFor([&] { return (wizard = FindWizard()) != nullptr; });
    return wizard;
}

// The visible, enabled control of that kind and label in the wizard.
HWND FindControl(HWND wizard, ControlKind kind, const std::wstring& label) {
    for (const Control& control : Controls(wizard))
        if (control.kind == kind && IsWindowEnabled(control.hwnd) && SameLabel(TextOf(control.hwnd), label))
            return control.hwnd;
    return nullptr;
}

// Clicks a button, check box or radio button of the wizard as the mouse does.
bool Click(ControlKind kind, const std::wstring& label, HWND& control) {
    HWND wizard = WaitForWizard();
    if (!wizard) return Fail(L"no install wizard window");
    if (!WaitFor([&] { return (control = FindControl(wizard, kind, label)) != nullptr; }))
        return Fail(L"no enabled control \"" + label + L"\"");
    Sleep(kHumanPauseMs);
    return PostMessageW(control, BM_CLICK, 0, 0) || Fail(L"the click could not be posted");
}

bool SaveBitmap(const std::wstring& file, HBITMAP bitmap, int width, int height) {
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = -height;  // top row first
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = DWORD((width * 3 + 3) & ~3);
    std::string pixels(size_t(stride) * height, '\0');
    HDC screen = GetDC(nullptr);
    const int lines = GetDIBits(screen, bitmap, 0, UINT(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                                DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (lines != height) return false;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = DWORD(sizeof(BITMAPFILEHEADER) + sizeof(info));
    header.bfSize = DWORD(header.bfOffBits + pixels.size());
    FILE* out = _wfopen(file.c_str(), L"wb");
    if (!out) return false;
    const bool written = std::fwrite(&header, sizeof(header), 1, out) == 1 && std::fwrite(&info, sizeof(info), 1, out) == 1 &&
                         std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace

bool DescribePage() {
    HWND wizard = WaitForWizard();
    if (!wizard) return Fail(L"no install wizard window");
    Print(Describe(wizard));
    return true;
}

bool WaitForTitle(const std::wstring& title) {
    HWND wizard = WaitForWizard();
    if (!wizard) return Fail(L"no install wizard window");
    if (!WaitFor([&] { return HeaderTitle(wizard) == title; })) return Fail(L"the page \"" + title + L"\" did not come");
    Sleep(kPollMs);  // the frame updates the buttons right after the header
    Print(Describe(wizard));
    return true;
}

bool WaitForCaption(const std::wstring& part) {
    HWND wizard = WaitForWizard();
    if (!wizard) return Fail(L"no install wizard window");
    std::wstring caption;
    if (!WaitFor([&] { return (caption = TextOf(wizard)).find(part) != std::wstring::npos; }))
        return Fail(L"the caption never showed \"" + part + L"\"");
    Print(L"caption \"" + caption + L"\"\n");
    return true;
}

bool WaitForText(const std::wstring& label) {
    HWND wizard = WaitForWizard();
    if (!wizard) return Fail(L"no install wizard window");
    auto shown = [&] {
        for (const Control& control : Controls(wizard))
            if (SameLabel(TextOf(control.hwnd), label)) return true;
        return false;
    };
    if (!WaitFor(shown)) return Fail(L"no control shows \"" + label + L"\"");
    Sleep(kPollMs);
    Print(Describe(wizard));
    return true;
}

bool PressButton(const std::wstring& label) {
    HWND button = nullptr;
    return Click(ControlKind::PushButton, label, button);
}

bool TickBox(const std::wstring& label, bool checked) {
    HWND wizard = WaitForWizard();
    HWND box = wizard ? FindControl(wizard, ControlKind::CheckBox, label) : nullptr;
    if (box && IsChecked(box) == checked) return true;
    if (!Click(ControlKind::CheckBox, label, box)) return false;
    return WaitFor([&] { return IsChecked(box) == checked; }) || Fail(L"the check box did not change");
}

bool ChooseRadio(const std::wstring& label) {
    HWND radio = nullptr;
    if (!Click(ControlKind::Radio, label, radio)) return false;
    return WaitFor([&] { return IsChecked(radio); }) || Fail(L"the radio button was not chosen");
}

bool TypeInto(const std::wstring& label, const std::wstring& text) {
    HWND wizard = WaitForWizard();
    if (!wizard) return Fail(L"no install wizard window");
    HWND edit = nullptr;
    WaitFor([&] {
        bool afterLabel = false;
        for (const Control& control : Controls(wizard)) {
            if (control.kind == ControlKind::Static && SameLabel(TextOf(control.hwnd), label)) afterLabel = true;
            else if (afterLabel && control.kind == ControlKind::Edit) return (edit = control.hwnd) != nullptr;
        }
        return false;
    });
    if (!edit) return Fail(L"no edit box after \"" + label + L"\"");
    DWORD_PTR result = 0;
    SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &result);
    return TextOf(edit) == text || Fail(L"the edit box did not take the text");
}

bool WaitForBox() {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindMessageBox()) != nullptr; })) return Fail(L"no message box came");
    Sleep(kPollMs);  // let the box finish building
    Print(Describe(box));
    return true;
}

bool AnswerBox(const std::wstring& button) {
    if (!WaitForBox()) return false;
    HWND box = FindMessageBox();
    for (const Control& control : Controls(box)) {
        if (control.kind != ControlKind::PushButton || !SameLabel(TextOf(control.hwnd), button)) continue;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control.hwnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(control.hwnd));
        return WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }) || Fail(L"the box stayed");
    }
    return Fail(L"the box has no button \"" + button + L"\"");
}

bool KeyIntoBox(const std::wstring& key) {
    if (!WaitForBox()) return false;
    HWND box = FindMessageBox();
    // Keys go to the box's focused control, where its dialog manager reads them.
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    HWND target = box;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info) && info.hwndFocus) target = info.hwndFocus;
    UINT virtualKey = 0;
    if (key == L"Enter") virtualKey = VK_RETURN;
    else if (key == L"Esc") virtualKey = VK_ESCAPE;
    else if (key == L"Tab") virtualKey = VK_TAB;
    else if (key.size() != 1) return Fail(L"unknown key \"" + key + L"\"");
    Sleep(kHumanPauseMs);
    if (virtualKey) {
        PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
        PostMessageW(target, WM_KEYUP, virtualKey, LPARAM(0xC0000001));
        if (virtualKey == VK_TAB) return true;  // the box stays
    } else {
        PostMessageW(target, WM_CHAR, WPARAM(key[0]), 1);
    }
    return WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }) || Fail(L"the box stayed");
}

bool NoBoxFor(int seconds) {
    if (!WaitFor([] { return FindMessageBox() != nullptr; }, seconds)) return true;
    Print(Describe(FindMessageBox()));
    return Fail(L"a message box came");
}

bool WaitUntilGone() {
    return WaitFor([] { return FindWizard() == nullptr; }) || Fail(L"the wizard is still open");
}

bool Capture(const std::wstring& bmpFile) {
    // A box before the wizard (a start-up check) is taken alone.
    HWND wizard = FindMessageBox() && !FindWizard() ? nullptr : WaitForWizard();
    if (!wizard && !FindMessageBox()) return Fail(L"no install wizard window");
    // The client area: without a window manager there is no frame to show.
    RECT rect{};
    if (wizard) {
        GetClientRect(wizard, &rect);
        MapWindowPoints(wizard, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    }
    if (HWND box = FindMessageBox()) {  // a box over the wizard belongs in the picture
        RECT boxRect{};
        GetWindowRect(box, &boxRect);
        if (wizard) UnionRect(&rect, &rect, &boxRect);
        else rect = boxRect;
    }
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const bool saved = SaveBitmap(bmpFile, bitmap, width, height);
    DeleteObject(bitmap);
    if (!saved) return Fail(L"cannot write " + bmpFile);
    Print(L"captured " + std::to_wstring(width) + L"x" + std::to_wstring(height) + L"\n");
    return true;
}

}  // namespace driver
