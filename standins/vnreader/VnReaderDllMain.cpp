// The Windows library VnReader.dll: its exported factory and the real
// Windows platform it runs on (its own copy of the platform layer, installed
// on first use rather than in DllMain, and never freed).
#include "VnReaderExports.h"
#include "VnWin32Platform.h"

InternetReader* CreateHttpInternetReader(const char16_t* address);

extern "C" InternetReader* CreateInternetReaderDLL(const char16_t* address) {
    if (!VnHasPlatform()) VnSetPlatform(new VnWin32Platform());
    return CreateHttpInternetReader(address);
}
