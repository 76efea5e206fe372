// The skin and track-info package actions: an unpacked skin goes into the
// program's skin folder of its kind, track-info templates into the program's
// "Visualizations\Track Info\" folder.
#pragma once

#include "VnString.h"

// The skin's kind comes from the root of its "main.xml": "PMFS" a full skin
// ("Skins\FullSkins\"), "PMMS" a mini-view skin ("Skins\Lounge View\"),
// "PMS" a skin ("Skins\"). `miniSkin` (INSTALLMINISKIN) files a skin whose
// "main.xml" names no kind as a mini-view skin. The skin goes into a folder
// named after the package. False when there is no "main.xml" or the copy fails.
bool InstallSkinFolder(const VnString& unpackFolder, const VnString& programFolder, const VnString& packageName,
                       bool miniSkin);
VnString SkinKindFolder(const VnString& mainXmlText, bool miniSkin);

bool InstallTrackInfoFolder(const VnString& unpackFolder, const VnString& programFolder);
