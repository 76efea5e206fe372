// The typed destination made absolute and canonical before the destination
// rules judge it, so that every rule (the Windows folder, Program Files, an
// occupied folder) compares the folder the install would really use, and the
// engine only ever meets a full path.
#pragma once

#include <cstdint>

#include "VnString.h"

// The canonical form of `typed` in `canonical`: forward slashes become
// backslashes, empty, "." and ".." parts are resolved (".." stops at the
// root), trailing dots and spaces of each part are dropped as Windows drops
// them, and the result ends in one backslash: "C:\Games\Tunaro\" or
// "\\server\share\Tunaro\". A bare drive ("C:") becomes its root.
// False when the text names no drive root or share of its own ("Tunaro",
// "\Tunaro", "C:Tunaro", "\\server") or holds a character a folder name
// cannot have; `canonical` is then empty. An empty text stays empty (true).
bool CanonicalDestination(const VnString& typed, VnString& canonical);

// The longest full path, in characters, that the installed program can use:
// it opens its files with the ordinary calls, which take MAX_PATH (260)
// characters including the terminating null.
constexpr int32_t kLongestUsablePath = 259;

// The length of the longest file path below `payloadFolder` (ending in a
// backslash), relative to it; 0 when it holds no file.
int32_t LongestPayloadPath(const VnString& payloadFolder);
