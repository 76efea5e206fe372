// The recording parts of CInstallRecorder: each passes every call to the
// real part and tells the recorder what changed.
#pragma once

#include <map>
#include <memory>

#include "VnPlatform.h"

class CInstallRecorder;

std::unique_ptr<IVnRegistry> MakeRecordingRegistry(IVnRegistry& inner, CInstallRecorder& recorder);
std::unique_ptr<IVnFiles> MakeRecordingFiles(IVnFiles& inner, CInstallRecorder& recorder);
std::unique_ptr<IVnShell> MakeRecordingShell(IVnShell& inner, CInstallRecorder& recorder);
