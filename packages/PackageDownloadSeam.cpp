// Seam: the file loader that fetches web locations is built with the
// dependency installers; until it lands here a package given by its web
// location is not downloaded, and the install says so.
#include "EngineLog.h"
#include "PackageDownload.h"

bool DownloadPackageFile(const VnString& location, const VnString& file, VnString& error) {
    error = VnString::Format(u"Not built yet: the download of \"%s\" is not available", location);
    EngineLog(u"DownloadPackageFile", error);
    return false;
}
