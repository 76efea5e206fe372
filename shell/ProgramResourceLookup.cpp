#include "ProgramResourceLookup.h"

#include "VnPlatform.h"

VnString FindResourceFile(const VnString& dataFolder, ProgramResourceKind kind, const VnString& name) {
    if (dataFolder.IsEmpty() || name.IsEmpty()) return VnString();
    const char16_t* const artFolders[] = {u"Custom Art\\", u"Default Art\\"};
    const char16_t* const resourceFolders[] = {u"Custom Resources\\", u"Default Resources\\"};
    for (const char16_t* folder : kind == ProgramResourceKind::Art ? artFolders : resourceFolders) {
        const VnString path = dataFolder + folder + name;
        const uint32_t attributes = VnPlatform().Files().GetFileAttributes(path);
        if (attributes != vnwin::kInvalidFileAttributes && !(attributes & vnwin::kFileAttributeDirectory)) return path;
    }
    return VnString();
}
