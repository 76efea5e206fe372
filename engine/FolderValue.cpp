// Folder values read from configuration files, resolved against the folder
// of the file that holds them.
#include "VnArray.h"
#include "VnFileSystem.h"

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool StartsWithDriveRoot(std::u16string_view path) {
    return path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == u':' && IsSeparator(path[2]);
}

bool IsAbsoluteLocation(const VnString& path) {
    return StartsWithDriveRoot(path) || path.StartsWith(u"\\\\") || path.Contains(u"://");
}

// Length of the part ".." may not climb above: "X:\" or "\\server\share\".
int32_t RootLength(std::u16string_view path) {
    if (StartsWithDriveRoot(path)) return 3;
    if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return 0;
    int32_t separatorsSeen = 0;
    for (size_t i = 2; i < path.size(); ++i) {
        if (IsSeparator(path[i]) && ++separatorsSeen == 2) return int32_t(i + 1);
    }
    return int32_t(path.size());
}

VnString CollapseDotSegments(const VnString& path) {
    const int32_t rootLength = RootLength(path);
    VnString root = path.Left(rootLength);
    root.Replace(u'/', u'\\');
    VnStringArray kept;
    VnString segment;
    const VnString rest = path.Mid(rootLength) + u"\\";
    for (int32_t i = 0; i < rest.GetLength(); ++i) {
        if (!IsSeparator(rest[i])) {
            segment += rest[i];
            continue;
        }
        if (segment == u"..") {
            if (!kept.IsEmpty() && kept[kept.GetSize() - 1] != u"..")
                kept.RemoveAt(kept.GetSize() - 1);
            else if (root.IsEmpty())
                kept.Add(segment);  // nothing to climb out of in a relative path
        } else if (!segment.IsEmpty() && segment != u".") {
            kept.Add(segment);
        }
        segment.Empty();
    }
    return root + kept.Join(u"\\");
}

VnString WithoutTrailingBackslashes(VnString path) {
    const int32_t keep = StartsWithDriveRoot(path) ? 3 : 0;
    int32_t length = path.GetLength();
    while (length > keep && path[length - 1] == u'\\') --length;
    path.Truncate(length);
    return path;
}

}  // namespace

VnString ResolveFolderValue(const VnString& baseFolder, const VnString& value) {
    if (IsAbsoluteLocation(value)) return WithoutTrailingBackslashes(value);
    return WithoutTrailingBackslashes(CollapseDotSegments(NormaliseFolder(baseFolder) + value));
}
