#include "VnToolsSimModule.h"

#include "SimPrograms.h"
#include "ToolsSingleton.h"

extern "C" ToolsInterface* GetVnToolsDLL(int interfaceVersion) { return VnToolsAcquire(interfaceVersion, VnString()); }

extern "C" void ReleaseVnToolsDLL() { VnToolsRelease(); }

void VnRegisterToolsWithSim() {
    VnSimModuleRegistry& modules = VnSimModuleRegistry::Shared();
    modules.Register(VN_LIT(u"VnTools.dll"), kGetVnToolsDLLExport, reinterpret_cast<void*>(&GetVnToolsDLL));
    modules.Register(VN_LIT(u"VnTools.dll"), kReleaseVnToolsDLLExport, reinterpret_cast<void*>(&ReleaseVnToolsDLL));
}
