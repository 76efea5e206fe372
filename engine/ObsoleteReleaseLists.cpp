// Release data: what earlier versions installed that this one no longer
// ships. Old plug-ins of the product (television control, web, remote
// server, two archive readers, two media servers, podcasts), three
// visualisations, the DLNA container backgrounds, the scrobbler, a
// video-type DirectShow filter and, last, a small fix library.
#include "ObsoleteFiles.h"

const VnStringArray& ObsoleteReleaseFiles() {
    static const VnStringArray files{
        u"Plugins\\General\\VnTVControl.dll",
        u"Plugins\\General\\VnWebAccess.dll",
        u"Plugins\\General\\VnRemoteServer.dll",
        u"Plugins\\Input\\in_vnzip.dll",
        u"Plugins\\Input\\in_vnrar.dll",
        u"Plugins\\General\\VnUPnPServer.dll",
        u"Plugins\\General\\VnLibraryServer.dll",
        u"Plugins\\General\\VnPodcasts.dll",
        u"Plugins\\Visualization\\vis_vnspectrum.dll",
        u"Plugins\\Visualization\\vis_vnscope.dll",
        u"Plugins\\Visualization\\vis_vnmilkdrop.dll",
        u"Data\\Default Art\\DLNA Audio Background.jpg",
        u"Data\\Default Art\\DLNA Video Background.jpg",
        u"Data\\Default Art\\DLNA Image Background.jpg",
        u"Data\\Default Art\\DLNA Playlist Background.jpg",
        u"Plugins\\General\\VnScrobbler.dll",
        u"Plugins\\VnVideoTypeFilter.ax",
        u"VnFix.dll",
    };
    return files;
}

const VnStringArray& ObsoleteReleaseFolders() {
    static const VnStringArray folders{
        u"Web\\",
        u"Skins\\Lounge View\\Themes\\Classic\\",
        u"Plugins\\DirectShow\\VnSplitter\\",
        u"Plugins\\DirectShow\\VnDecoder\\",
    };
    return folders;
}
