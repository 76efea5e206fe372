#include "DestinationPath.h"

#include <algorithm>

#include "FileListing.h"

namespace {

bool IsDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// Characters no folder name may hold (besides the separators).
bool IsForbiddenInName(char16_t c) { return c < 0x20 || VnString(u"<>:\"|?*").Find(c) >= 0; }

// Splits off the root: "X:\" for a drive, "\\server\share\" for a share.
// False when the text has no root of its own.
bool SplitRoot(const VnString& path, VnString& root, VnString& rest) {
    if (path.GetLength() >= 2 && IsDriveLetter(path[0]) && path[1] == u':') {
        if (path.GetLength() > 2 && path[2] != u'\\') return false;  // "C:Tunaro": relative to that drive
        root = path.Left(2) + u"\\";
        rest = path.Mid(std::min<int32_t>(3, path.GetLength()));
        return true;
    }
    if (!path.StartsWith(u"\\\\")) return false;
    const int32_t serverEnd = path.Find(u'\\', 2);
    if (serverEnd <= 2) return false;
    int32_t shareEnd = path.Find(u'\\', serverEnd + 1);
    if (shareEnd < 0) shareEnd = path.GetLength();
    const VnString server = path.Mid(2, serverEnd - 2);
    const VnString share = path.Mid(serverEnd + 1, shareEnd - serverEnd - 1);
    // "\\?\" and "\\.\" are device forms, not shares.
    if (share.IsEmpty() || server == u"?" || server == u".") return false;
    root = path.Left(shareEnd) + u"\\";
    rest = path.Mid(std::min<int32_t>(shareEnd + 1, path.GetLength()));
    return true;
}

}  // namespace

bool CanonicalDestination(const VnString& typed, VnString& canonical) {
    canonical.Empty();
    VnString path = typed;
    path.Trim();
    if (path.IsEmpty()) return true;
    path.Replace(u'/', u'\\');

    VnString root, rest;
    if (!SplitRoot(path, root, rest)) return false;
    for (int32_t i = 2; i < root.GetLength() - 1; ++i)
        if (root[i] != u'\\' && IsForbiddenInName(root[i])) return false;

    VnStringArray parts;
    for (VnString part : VnStringArray::Split(rest.View(), u"\\")) {
        if (part == u".") continue;
        if (part == u"..") {
            if (!parts.IsEmpty()) parts.RemoveAt(parts.GetSize() - 1);
            continue;
        }
        while (!part.IsEmpty() && (part[part.GetLength() - 1] == u' ' || part[part.GetLength() - 1] == u'.'))
            part = part.Left(part.GetLength() - 1);
        if (part.IsEmpty()) continue;
        for (char16_t c : part.View())
            if (IsForbiddenInName(c)) return false;
        parts.Add(part);
    }
    canonical = root;
    for (const VnString& part : parts) canonical += part + u"\\";
    return true;
}

int32_t LongestPayloadPath(const VnString& payloadFolder) {
    VnCoreArray<VnListedFile> files;
    ListFilesBelow(payloadFolder, files);
    int32_t longest = 0;
    for (const VnListedFile& file : files)
        longest = std::max(longest, file.path.GetLength() - payloadFolder.GetLength());
    return longest;
}
