// CopyFolder: a payload folder copied file by file, with progress by bytes.
#include "FileCopy.h"
#include "FileListing.h"
#include "VnFileSystem.h"

bool CopyFolder(int mode, ICopyProgress* progress, const VnString& sourceFolder, const VnString& destinationFolder,
                VnStringArray* registerList) {
    const VnString source = NormaliseFolder(sourceFolder);
    const VnString destination = NormaliseFolder(destinationFolder);
    VnCoreArray<VnListedFile> files;
    const uint64_t totalBytes = source.IsEmpty() ? 0 : ListFilesBelow(source, files);

    if (progress) {
        progress->SetProgressRange(0, 100);
        progress->SetProgressPosition(0);
    }
    PumpMessages();

    uint64_t copiedBytes = 0;
    int shownPosition = 0;
    VnString folderMade;  // the listing gives a folder's files together: each folder is made once
    DestinationFolder folderState = DestinationFolder::kMissing;
    // Pumping is a round trip to the window system (a server call under
    // Wine): once every few small files, after each large one and whenever
    // the bar moves keeps the window live without paying it twice a file.
    constexpr int kFilesBetweenPumps = 8;
    constexpr uint64_t kLargeFileBytes = 1 << 20;
    int filesSincePump = 0;
    for (const VnListedFile& file : files) {
        const VnString target = destination + file.path.Mid(source.GetLength());
        const VnString folder = FolderOf(target);
        if (folder != folderMade) {
            bool madeNow = false;
            folderState = !VnFileSystem::MakeDirectoryTree(folder, &madeNow) ? DestinationFolder::kMissing
                          : madeNow                                             ? DestinationFolder::kMadeNow
                                                                                : DestinationFolder::kReady;
            folderMade = folder;
        }
        CopyFileIntoFolder(mode, file.path, target, registerList, folderState);
        copiedBytes += file.size;
        // By bytes, so one large file moves the bar in proportion.
        const int position = totalBytes ? int(copiedBytes * 100 / totalBytes) : 0;
        const bool moved = position != shownPosition;
        if (moved) {
            shownPosition = position;
            if (progress) progress->SetProgressPosition(position);
        }
        if (moved || file.size >= kLargeFileBytes || ++filesSincePump >= kFilesBetweenPumps) {
            PumpMessages();
            filesSincePump = 0;
        }
    }
    return true;
}
