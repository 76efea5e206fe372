// A package given by its web location is fetched by the dependency step's
// loader (the reader library "VnReader.dll", block by block to disk); its
// failure text comes back to the package, which shows it its own way.
#include "PackageDownload.h"

#include "InstallDependency.h"

bool DownloadPackageFile(const VnString& location, const VnString& file, VnString& error) {
    QuietInstallStepPage page;
    CInstallDependencies loader(page);
    loader.SetMessageSink([&error](const VnString& text) { error = text; });
    return loader.DownloadFile(location, file);
}
