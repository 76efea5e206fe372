#include "FileListing.h"

#include "VnFileSystem.h"
#include "VnPlatform.h"

uint64_t ListFilesBelow(const VnString& folder, VnCoreArray<VnListedFile>& files) {
    VnCoreArray<VnFindData> entries;
    if (VnPlatform().Files().FindFiles(VnFileSystem::LongPathForm(folder + u"*.*"), entries) != vnwin::kErrorSuccess)
        return 0;
    uint64_t total = 0;
    for (const VnFindData& entry : entries) {
        if (entry.attributes & vnwin::kFileAttributeDirectory) {
            total += ListFilesBelow(folder + entry.name + u"\\", files);
        } else {
            files.Add(VnListedFile{folder + entry.name, entry.size});
            total += entry.size;
        }
    }
    return total;
}
