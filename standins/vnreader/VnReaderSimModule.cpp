#include "SimPrograms.h"
#include "VnReaderExports.h"

InternetReader* CreateHttpInternetReader(const char16_t* address);

extern "C" InternetReader* CreateInternetReaderDLL(const char16_t* address) {
    return CreateHttpInternetReader(address);
}

void VnRegisterReaderWithSim() {
    VnSimModuleRegistry::Shared().Register(VN_LIT(u"VnReader.dll"), kCreateInternetReaderExport,
                                           reinterpret_cast<void*>(&CreateInternetReaderDLL));
}
