// The Windows headers of the Win32 toolkit, included in one place. The
// toolkit's own operations carry names that <windows.h> defines as macros
// for their A/W variants (PostMessage, SendMessage, LoadImage); they are
// undefined here so that every file that includes this header sees the
// toolkit's names, and the Windows calls are made by their W names.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wincodec.h>

#undef PostMessage
#undef SendMessage
#undef LoadImage

#include "VnString.h"

// VnString and Windows wide strings are both UTF-16.
inline const wchar_t* VnWide(const VnString& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline VnString VnFromWide(const wchar_t* text, int length = -1) {
    if (!text) return {};
    return length < 0 ? VnString(reinterpret_cast<const char16_t*>(text))
                      : VnString(reinterpret_cast<const char16_t*>(text), length);
}
