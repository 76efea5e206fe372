// The shortcuts the install makes: the Start Menu folder with its links, the
// Quick Launch link and the desktop link. Links are made through the
// platform's shell link (IShellLinkW, or IShellLinkA on old shells); a link
// whose target is missing is not made, and failures are only logged.
#pragma once

#include "InstallOptions.h"
#include "ToolsInterface.h"
#include "VnArray.h"
#include "VnString.h"

// The page's three flags.
struct ShortcutChoice {
    bool startMenu = false;
    bool desktop = false;
    bool quickLaunch = false;
    bool operator==(const ShortcutChoice&) const = default;
};

// The defaults: a Start Menu for a first install, a portable or an Express
// one, unless one was made for this version number already; desktop and
// Quick Launch links for a first or portable install.
ShortcutChoice DefaultShortcutChoice(const InstallOptions& options, int32_t startMenuVersion, int32_t currentVersion);

// The Quick Launch box is offered before Windows Vista only.
bool OffersQuickLaunch(int operatingSystemCode);

// The product's version number: its version text read as an integer ("33.0.44" is 33).
int32_t CurrentVersionNumber(ProductInformation& product);

// The Start Menu folder name as one folder name: characters Windows forbids
// in a name (and path separators) left out, blanks and dots trimmed at the
// ends; empty when nothing usable is left ("..", a name of dots).
VnString SafeStartMenuFolderName(const VnString& name);

struct ShortcutRow {
    VnString name;  // without ".lnk"
    VnString target;
    VnString arguments;
    VnString icon;  // empty: the target's own
};

// The Start Menu rows whose product condition holds, in their order.
VnCoreArray<ShortcutRow> StartMenuRows(ProductInformation& product, const VnString& destination);

// Makes the link when its target exists; true when it was written.
bool MakeShortcut(const VnString& folder, const ShortcutRow& row);

// The three kinds, as the shortcuts page makes them.
void CreateStartMenuShortcuts(ProductInformation& product, const VnString& destination);
void CreateQuickLaunchShortcut(ProductInformation& product, const VnString& destination);
void CreateDesktopShortcut(ProductInformation& product, const VnString& destination);
