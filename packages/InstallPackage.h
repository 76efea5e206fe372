// CInstallPackage: installs one plug-in package. It reads the description,
// asks the user (unless silent) when per-file actions follow, unpacks the
// package's archive into a fresh folder below "<temp>\InstallPackage\", runs
// the package-level action and the per-file actions, and cleans up unless
// the options say "DONT_CLEANUP".
//
// A package's archive is the zip file beside its description with the same
// name and the extension ".zip" ("Skin.pmp" and "Skin.zip"); a package given
// as a ".zip" file is its own archive with the description beside it as
// ".pmp". A description given as a web or FTP location is downloaded first.
#pragma once

#include <cstdint>

#include "CopyProgress.h"
#include "PackageDescription.h"
#include "VnString.h"

struct PackageInstallContext {
    VnString programFolder;          // the installed program's folder, one trailing backslash
    bool silent = false;             // no question before the per-file actions
    ICopyProgress* display = nullptr;  // shows "Working..." while unpacking; may be null
};

class CInstallPackage {
public:
    // Reads the description from a file or a web location. False, with the
    // reason, when it cannot be used; a failed download is also shown under
    // the title "Install Package".
    bool Load(const VnString& source, int32_t packageIndex = 0);
    const VnString& GetLoadError() const { return loadError_; }
    const PackageDescription& Description() const { return description_; }
    const VnString& GetName() const { return description_.name; }

    // True when the package was installed or had nothing to do; false when
    // the user declined or the package-level action failed (shown, titled
    // "Information").
    bool Install(const PackageInstallContext& context);
    // After a successful install: the package is recorded under the
    // program's "Plugins\Uninstall" settings.
    void RunPostInstall();

    // The folder the last install unpacked into (kept with "DONT_CLEANUP").
    const VnString& GetUnpackFolder() const { return unpackFolder_; }

private:
    bool RunPackageAction(const PackageInstallContext& context, VnString& failure);
    bool InstallSkin(const PackageInstallContext& context, VnString& failure);
    void CleanUp();

    PackageDescription description_;
    VnString descriptionPath_, archivePath_, downloadedFile_, unpackFolder_, loadError_;
    bool unpacked_ = false;
};

// Web and FTP locations are told by their prefix (case-sensitive).
bool IsWebLocation(const VnString& source);
