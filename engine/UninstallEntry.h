// The product's entry in the Windows uninstall list ("Add or Remove
// Programs"): HKEY_LOCAL_MACHINE
// "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\<uninstall key name>"
// in the installer's own registry view, all values REG_SZ, written in a fixed
// order. A portable install has none.
#pragma once

#include "InstallOptions.h"
#include "ToolsInterface.h"
#include "VnString.h"

constexpr char16_t kUninstallProgramName[] = u"VnMediaUninstall.exe";
constexpr char16_t kProductPublisher[] = u"Varnel, Inc.";
constexpr char16_t kDisplayIconName[] = u"application.ico";

// The key name the uninstall entry and the installation record use: the one
// the search found for this version, else (a first install) the product name
// in form 4, the name the search recognises next time. Empty only when the
// product has no form-4 name, and then nothing is written.
VnString UninstallKeyNameToWrite(ProductInformation& product, const InstallOptions& options);

// The folder the entry this install is about to take over names
// ("InstallLocation"), before the install rewrites it; empty when there is
// none (a first or portable install).
VnString FolderOfEntryToReplace(ProductInformation& product, const InstallOptions& options);

// Creates or opens the entry and writes "DisplayName", "HelpLink",
// "URLUpdateInfo", "URLInfoAbout", "InstallLocation", "Publisher",
// "DisplayVersion", "DisplayIcon" and "UninstallString", in that order.
// A key that cannot be created receives nothing; no message is shown.
void WriteUninstallEntry(ProductInformation& product, const InstallOptions& options);
// The same with the loaded tools library's product and the shared options.
void WriteUninstallEntry();

// The icon the entry shows: "application.ico" in the installed program's
// "Data\Custom Art\" folder when it exists there, else in "Data\Default Art\";
// empty when neither exists.
VnString FindDisplayIcon(const VnString& destinationFolder);
