#include "ToolsLink.h"

#include <atomic>

namespace {
std::atomic<ToolsInterface*> g_tools{nullptr};
}

ToolsInterface* VnTools() { return g_tools.load(); }

void VnSetTools(ToolsInterface* tools) { g_tools.store(tools); }

ToolsLog* VnToolsLog() {
    ToolsInterface* tools = g_tools.load();
    return tools ? tools->GetLog() : nullptr;
}
