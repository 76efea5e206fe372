// CInstallWAPlugin: finds out what kind of plug-in a file is from the entry
// points it exports and registers it with the media program, under the
// product's key "Plugins\Input", "Plugins\DSP" or "Plugins\RemoteControl"
// (one subkey per plug-in: an input plug-in's is the file type it reads, which
// the file type catalogue takes as an extension; DSP records are named by the
// file name, Girder ones by the plug-in's own name), with the file also
// listed under "Plugins\Uninstall". A refusal shows its message, titled
// "Information", and registers nothing.
#pragma once

#include <cstdint>

#include "VnString.h"

enum class PluginKind { kNone, kVst3, kWinampVisualisation, kWinampDsp, kInput, kWinampInput, kVst2 };

class CInstallWAPlugin {
public:
    // `silent`: the version refusal of an input plug-in is not shown.
    explicit CInstallWAPlugin(bool silent) : silent_(silent) {}

    // Detects and registers one file; true when a record was written.
    bool Install(const VnString& path);
    PluginKind GetDetectedKind() const { return kind_; }

    // Girder registration: all twelve "gir_" exports, else false.
    static bool RegisterGirderPlugin(const VnString& path);

    static constexpr int kRequiredInputVersion = 4;

private:
    bool WriteInputRecord(const VnString& path, const VnString& name, const VnString& fileDescription, int version);
    bool WriteDspRecord(const VnString& path, const VnString& description, int version);

    bool silent_;
    PluginKind kind_ = PluginKind::kNone;
};

// The name of an input plug-in's record: the file type it reads, which is
// its file name without the extension and an "in_" prefix, in upper case
// ("in_flac.dll" reads "FLAC" files, listed by the catalogue as "flac").
VnString InputPluginTypeName(const VnString& path);

// Writes the "Plugins\Uninstall" line of a registered file.
void RecordPluginForUninstall(const VnString& path, const VnString& recordKey);
