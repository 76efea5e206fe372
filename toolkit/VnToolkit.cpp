#include "VnToolkit.h"

#include "VnBackend.h"

bool VnToolkit::Initialize() { return VnBackend::Initialize(); }

void VnToolkit::Shutdown() { VnBackend::Shutdown(); }

uint64_t VnToolkit::GetTickCount() { return VnBackend::TickCount(); }

bool VnToolkit::PumpMessages() { return VnBackend::Pump(); }

int32_t VnToolkit::GetDpi() { return VnBackend::Dpi(); }
