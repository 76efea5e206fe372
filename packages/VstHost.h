// The little VST host that plug-in detection needs: open an effect and tell
// its name. VST 2 effects come from "VSTPluginMain" (or "main"); a VST 3
// bundle ("Name.vst3" folder with "Contents\<arch>-win\Name.vst3", or a
// single ".vst3" file) from "InitDll" and "GetPluginFactory", and must have
// at least one class.
#pragma once

#include "VnString.h"

// The name of the VST 2 effect in the library; false when it gives no effect.
bool OpenVst2Effect(const VnString& path, VnString& name);
// The name of the first class of the VST 3 module; false when the module
// cannot be opened or its factory has no class.
bool OpenVst3Module(const VnString& path, VnString& name);
// The module file inside a VST 3 bundle folder (the path itself for a file).
VnString Vst3ModulePath(const VnString& path);
