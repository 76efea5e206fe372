// The installation record that later installers and the product family read
// to find this installation: HKEY_LOCAL_MACHINE
// "Software\V. Arnel\Tunacore\Installations" (the installer's own registry
// view), whose default value names the latest installation, and its subkey
// named by the product name in form 4 with "Path", "Version", "OS Version",
// "Launcher Name", "Uninstall Key" and "GUID", written in that order. The
// per-version "Installer" key gets "Distributor ID" and "Install Directory".
#pragma once

#include "InstallOptions.h"
#include "ToolsInterface.h"
#include "VnString.h"

// Writes the record (not for a portable install) and then the "Installer"
// values (for every install): "Distributor ID" only when one was given, so an
// earlier one stays otherwise. An existing non-empty "GUID" is kept; without
// one a new GUID is stored. Values that cannot be written are passed over;
// no message is shown.
void WriteInstallationRecord(ToolsInterface& tools, const InstallOptions& options);
// The same with the loaded tools library and the shared options.
void WriteInstallationRecord();

// The payload main executable's file version as "major.minor.build"; empty
// when it cannot be read.
VnString PayloadVersionText(ProductInformation& product);
