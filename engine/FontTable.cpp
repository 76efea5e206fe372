#include "FontTable.h"

#if VN_PLATFORM_WIN32
#include <windows.h>
#endif

VnStringArray& FontTableRecord() {
    static VnStringArray record;
    return record;
}

bool AddToFontTable(const VnString& fontFile) {
#if VN_PLATFORM_WIN32
    return AddFontResourceW(reinterpret_cast<const wchar_t*>(fontFile.c_str())) > 0;
#else
    FontTableRecord().Add(fontFile);
    return true;
#endif
}
