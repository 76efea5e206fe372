#include "HttpInternetReader.h"
#include "VnReaderExports.h"

// A reader for the address over the active platform's network; never null.
InternetReader* CreateHttpInternetReader(const char16_t* address) {
    return new HttpInternetReader(VnPlatform().Network(), VnString(address ? address : u"").ToUtf8(),
                                  DefaultHttpReaderLimits());
}
