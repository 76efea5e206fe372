// Shell part of the Windows backend: change notifications, shell links,
// message boxes and the restart.
#pragma once

#include "VnPlatform.h"
#include "VnWin32Api.h"

class VnWin32Shell : public IVnShell {
public:
    void ChangeNotify(uint32_t eventId, uint32_t flags) override;
    // Returns the COM failure as a Windows error: the wrapped Win32 code when
    // there is one, the HRESULT bits otherwise.
    uint32_t CreateShellLink(const VnString& linkPath, const VnShellLink& link) override;
    int MessageBox(const VnString& text, const VnString& title, uint32_t type) override;
    // A dialog built in memory (VnWin32ButtonBox.cpp).
    int MessageBoxWithButtons(const VnString& text, const VnString& title, const VnStringArray& labels) override;
    uint32_t RestartWindows(uint32_t flags, uint32_t reason) override;
};
