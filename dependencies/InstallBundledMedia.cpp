// The sample media of the set-up, copied into the program's "Media" folder;
// a bundled playlist becomes the media the program opens on its first start.
#include "DependenciesText.h"
#include "FileCopy.h"
#include "InstallDependency.h"
#include "InstallOptions.h"
#include "ToolsLink.h"
#include "VnFileSystem.h"

#include <memory>

bool CInstallBundledMedia::Install() {
    const InstallOptions& options = InstallOptions::Get();
    if (options.BundledMediaFolder.IsEmpty()) return true;
    IInstallStepPage& page = worker_.Page();
    page.SetProgressRange(0, 100);
    page.SetStatusText(DependencyText(u"Installing media..."));
    const VnString mediaFolder = options.DestinationFolder + u"Media\\";
    CopyFolder(kCopyCheckVersion, &page, options.BundledMediaFolder, mediaFolder, nullptr);
    const VnString playlist = mediaFolder + u"Playlist.mpl";
    if (!VnFileSystem::FileExists(playlist)) return true;
    if (ToolsInterface* tools = VnTools()) {
        std::unique_ptr<ToolsPropertyStore> properties(tools->OpenPropertyStore(u"Properties"));
        if (properties) properties->SetText(u"Install - Startup Media", playlist, 0);
    }
    return true;
}
