// The window toolkit's process-wide parts: start and end, the clock the
// toolkit's timers and stopwatches read, the message pump that long steps
// drain, and the window-message numbers the toolkit shares with Windows.
//
// The toolkit has two implementations behind the same classes: Win32
// (standard controls, real windows) and headless (the same widget model
// without windows, driven by a virtual clock). VN_TOOLKIT_WIN32 or
// VN_TOOLKIT_HEADLESS tells which one a build has.
#pragma once

#include <cstdint>

// Message numbers, equal to the Windows ones so that code written against the
// toolkit reads like window-procedure code on both implementations.
constexpr uint32_t kVnMsgNull = 0x0000;
constexpr uint32_t kVnMsgClose = 0x0010;
constexpr uint32_t kVnMsgCommand = 0x0111;
constexpr uint32_t kVnMsgSysCommand = 0x0112;
constexpr uint32_t kVnMsgTimer = 0x0113;
constexpr uint32_t kVnMsgUser = 0x0400;
constexpr uint32_t kVnMsgApp = 0x8000;

constexpr uintptr_t kVnSysCommandClose = 0xF060;  // SC_CLOSE
constexpr int32_t kVnIdOk = 1;
constexpr int32_t kVnIdCancel = 2;

// Notification codes a control sends with kVnMsgCommand (high word of wParam).
constexpr uint16_t kVnNotifyClicked = 0;       // BN_CLICKED
constexpr uint16_t kVnNotifyChanged = 0x0300;  // EN_CHANGE; also a report row's check box

// wParam and lParam of kVnMsgCommand.
constexpr uintptr_t VnMakeCommandParam(int32_t id, uint16_t code) {
    return (uintptr_t(code) << 16) | (uintptr_t(id) & 0xFFFF);
}
constexpr int32_t VnCommandId(uintptr_t wParam) { return int32_t(wParam & 0xFFFF); }
constexpr uint16_t VnCommandCode(uintptr_t wParam) { return uint16_t((wParam >> 16) & 0xFFFF); }

class VnToolkit {
public:
    // Starts the toolkit (common controls, window classes, fonts). Windows
    // are created only after it succeeded; creating one starts it on demand.
    static bool Initialize();
    // Destroys the fonts and unregisters the window classes. Every toolkit
    // window must be gone by then.
    static void Shutdown();

    // Milliseconds of the toolkit's clock: GetTickCount64 on Windows, the
    // virtual clock headless.
    static uint64_t GetTickCount();

    // Delivers what is waiting without blocking: on Windows every queued
    // message (keyboard navigation of the active popup included); headless
    // the posted messages and the timers due at the current virtual time.
    // Returns false when the application was asked to quit.
    static bool PumpMessages();

    // The system's pixels per inch that layout units are scaled by (96 when
    // there is no screen).
    static int32_t GetDpi();
};
