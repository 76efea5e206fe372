#include "TestFiles.h"

#include <string>

uint32_t WriteFileCreatingFolders(IVnFiles& files, const VnString& path, std::string_view bytes) {
    VnString folder;
    for (const VnString& part : VnStringArray::Split(path.Left(path.ReverseFind(u'\\')).View(), u"\\")) {
        folder += part + u"\\";
        if (folder.GetLength() > 3) files.CreateDirectory(folder);  // not the drive's root
    }
    return files.WriteFile(path, std::string(bytes));
}
