#include "BuiltInRegistryRows.h"

#include "VnDllString.h"

namespace {

constexpr char16_t kProgId[] = u"[PRODUCTWITHVERSION]";
constexpr char16_t kArtIcon[] = u"\"[CUSTOMART]fileimage.ico\"";
constexpr char16_t kPlayCommand[] = u"\"[LAUNCHERPATH]\" /Play \"%L\"";

class RowList {
public:
    void Root(const char16_t* root) { rows_.Add(VnString(root)); }
    void Text(const VnString& key, const VnString& name, const VnString& data) {
        rows_.Add(key + u"|" + name + u"|" + data + u"|STRING|MODIFY");
    }
    void Number(const VnString& key, const VnString& name, const VnString& data) {
        rows_.Add(key + u"|" + name + u"|" + data + u"|DWORD|MODIFY");
    }
    VnStringArray Take() { return std::move(rows_); }

private:
    VnStringArray rows_;
};

// The file ProgID and, with a launcher, the same five rows for the launcher
// under "Applications".
void AddPlayableKey(RowList& rows, const VnString& key) {
    rows.Text(key, u"Default", u"[PRODUCTNAME] file");
    rows.Text(key + u"\\shell", u"Default", u"Play");
    rows.Text(key + u"\\shell\\open\\command", u"Default", kPlayCommand);
    rows.Text(key + u"\\shell\\Play", u"Default", u"&Play in [PRODUCTNAME]");
    rows.Text(key + u"\\shell\\Play\\command", u"Default", kPlayCommand);
}

void AddKindProgIds(RowList& rows) {
    const struct {
        const char16_t* kind;
        const char16_t* contentType;  // null: no Content Type row
        const char16_t* command;
        const char16_t* icon;
    } kinds[] = {
        {u"Pack", u"application/x-playmoor-pmp", u"\"[INSTALLDIR]PackageInstaller.exe\" /Install \"%L\"",
         u"\"[INSTALLDIR]PackageInstaller.exe\",1"},
        {u"Playlist", u"application/x-playmoor-mpl", kPlayCommand, kArtIcon},
        {u"Registration", nullptr, u"\"[INSTALLDIR]PackageInstaller.exe\" /Register \"%L\"", kArtIcon},
        {u"Subscribe", nullptr, u"\"[LAUNCHERPATH]\" /Subscribe \"%L\"", kArtIcon},
        {u"Mime", nullptr, u"\"[LAUNCHERPATH]\" /Mime \"%L\"", kArtIcon},
    };
    for (const auto& kind : kinds) {
        const VnString progId = VnString(kProgId) + u"." + kind.kind;
        rows.Text(progId, u"Default", progId);
        rows.Number(progId, u"BrowserFlags", u"8");
        rows.Number(progId, u"EditFlags", u"65536");
        if (kind.contentType) rows.Text(progId, u"Content Type", kind.contentType);
        rows.Text(progId + u"\\shell\\open\\command", u"Default", kind.command);
        rows.Text(progId + u"\\DefaultIcon", u"Default", kind.icon);
    }
}

void AddExtensionsAndMimeTypes(RowList& rows) {
    // The first two keys are spelled "MIME", the others "Mime", as Windows
    // itself spells the key in different places; the registry ignores case.
    rows.Text(u"MIME\\Database\\Content Type\\application/podcast+xml", u"Extension", u".podcast");
    rows.Text(u"MIME\\Database\\Content Type\\application/rss+xml", u"Extension", u".rss");
    const struct {
        const char16_t* extension;
        const char16_t* kind;
    } extensions[] = {{u".rrg", u"Registration"}, {u".pmr", u"Registration"}, {u".pmp", u"Pack"},
                      {u".mpl", u"Playlist"},     {u".pms", u"Pack"}};
    for (const auto& entry : extensions) rows.Text(entry.extension, u"Default", VnString(kProgId) + u"." + entry.kind);
    for (const char16_t* kind : {u"pmp", u"mpl", u"pmr", u"pma"})
        rows.Text(VnString(u"Mime\\Database\\Content Type\\application/x-playmoor-") + kind, u"Extension",
                  VnString(u".") + kind);
}

void AddAutoPlayHandlers(RowList& rows) {
    rows.Text(u"[AUTOPLAYKEY]CancelAutoplay\\CLSID", u"21369263-6C67-4a4d-9202-B34D2A5CBC85", u"");
    const struct {
        const char16_t* handler;
        std::initializer_list<const char16_t*> events;
        const char16_t* label;
        const char16_t* invokeProgId;  // null: the first handler's shell-execute invocation
        const char16_t* verb;
    } handlers[] = {
        {u"VnMTPHandler", {u"MTPMediaPlayerArrival"}, u"Synchronize media files to this device", nullptr, u"Start"},
        {u"VnBurnCDOnArrival", {u"HandleCDBurningOnArrival"}, u"Burn a CD or DVD", u"BurnCD", u"Burn"},
        {u"VnCDAudioOnArrival", {u"PlayCDAudioOnArrival"}, u"Play an audio CD", u"PlayAudioCD", u"Play"},
        {u"VnRipCDOnArrival", {u"PlayCDAudioOnArrival"}, u"Rip an audio CD", u"Rip", u"Start"},
        {u"VnPlayDVDOnArrival", {u"PlayDVDMovieOnArrival"}, u"Play DVD Video", u"PlayDVDVideo", u"Play"},
        {u"VnPlayBlurayOnArrival", {u"PlayBluRayOnArrival"}, u"Play Blu-ray", u"PlayBluray", u"Play"},
        {u"VnPlayMediaOnArrival",
         {u"PlayMusicFilesOnArrival", u"ShowPicturesOnArrival", u"PlayVideoFilesOnArrival"},
         u"Play Media",
         u"PlayMedia",
         u"Play"},
    };
    for (const auto& entry : handlers) {
        for (const char16_t* event : entry.events)
            rows.Text(VnString(u"[AUTOPLAYKEY]EventHandlers\\") + event, entry.handler, u"");
        const VnString key = VnString(u"[AUTOPLAYKEY]Handlers\\") + entry.handler;
        rows.Text(key, u"Action", VnDllString(entry.label).Get());
        rows.Text(key, u"DefaultIcon", kArtIcon);
        if (!entry.invokeProgId) {
            rows.Text(key, u"ProgID", u"Shell.HWEventHandlerShellExecute");
            rows.Text(key, u"InvokeVerb", entry.verb);
            rows.Text(key, u"Provider", u"[PRODUCTNAME]");
            rows.Text(key, u"InitCmdLine", u"\"[EXEPATH]\"");
        } else {
            rows.Text(key, u"InvokeProgID", VnString(kProgId) + u"." + entry.invokeProgId);
            rows.Text(key, u"InvokeVerb", entry.verb);
            rows.Text(key, u"Provider", u"[PRODUCTNAME]");
        }
    }
}

void AddAutoPlayProgIds(RowList& rows) {
    const struct {
        const char16_t* kind;
        const char16_t* verb;
        const char16_t* arguments;
    } progIds[] = {
        {u"BurnCD", u"Burn", u"/Burn \"%L\""},          {u"Rip", u"Start", u"/Rip \"%L\""},
        {u"PlayAudioCD", u"Play", u"/AudioCD \"%L\""},  {u"PlayDVDVideo", u"Play", u"/DVDVideo \"%L\""},
        {u"PlayBluray", u"Play", u"/Bluray \"%L\""},    {u"Start", u"Start", u"/Start"},
        {u"PlayMedia", u"Start", u"/Play \"%L\""},
    };
    for (const auto& entry : progIds) {
        const VnString progId = VnString(kProgId) + u"." + entry.kind;
        rows.Text(progId + u"\\DefaultIcon", u"Default", u"\"[EXEPATH]\",1");
        rows.Text(progId + u"\\shell\\" + entry.verb + u"\\command", u"Default",
                  VnString(u"\"[LAUNCHERPATH]\" ") + entry.arguments);
    }
}

}  // namespace

VnStringArray BuildBuiltInRegistryRows(bool withLauncherPath) {
    RowList rows;
    rows.Root(u"HKEY_CLASSES_ROOT");
    AddPlayableKey(rows, VnString(kProgId) + u".File");
    rows.Text(VnString(kProgId) + u".File\\DefaultIcon", u"Default", kArtIcon);
    if (withLauncherPath) AddPlayableKey(rows, u"Applications\\[LAUNCHERNAME]");
    AddKindProgIds(rows);
    AddExtensionsAndMimeTypes(rows);

    rows.Root(u"HKEY_CURRENT_USER");
    rows.Text(u"Software\\Netscape\\Netscape Navigator\\User Trusted External Applications", u"[LAUNCHERPATH]", u"Yes");

    rows.Root(u"HKEY_LOCAL_MACHINE");
    AddAutoPlayHandlers(rows);

    rows.Root(u"HKEY_CLASSES_ROOT");
    AddAutoPlayProgIds(rows);

    rows.Root(u"HKEY_CURRENT_USER");
    const VnString mediaPlayers = u"SOFTWARE\\Microsoft\\Keyboard\\Native Media Players\\[PRODUCTNAME]";
    rows.Text(mediaPlayers, u"AppName", u"[PRODUCTNAME]");
    rows.Text(mediaPlayers, u"ExePath", u"[EXEPATH]");
    return rows.Take();
}
