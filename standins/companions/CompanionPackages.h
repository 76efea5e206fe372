// "PackageInstaller.exe /Install <package>" and "/Q /Install <package>": the
// package is installed by the installer's own CInstallPackage, the same code
// the copy page's component step runs. With "/Q" nothing asks and failures
// are logged instead of shown.
#pragma once

#include <cstdint>
#include <memory>

#include "VnString.h"

class VnToolsLibrary;

// The product's tools library for the installer's code in a program of the
// product's folder, for the object's lifetime. Run in-process by the
// simulated machine, the installer's library is already there and serves; a
// program of its own loads the product of the folder (its "ProductInfo.xml")
// and makes that folder the program and module folder.
class CompanionProductTools {
public:
    explicit CompanionProductTools(const VnString& programFolder);
    ~CompanionProductTools();
    CompanionProductTools(const CompanionProductTools&) = delete;
    CompanionProductTools& operator=(const CompanionProductTools&) = delete;

private:
    std::unique_ptr<VnToolsLibrary> own_;
};

// 0 when the package was installed, 2 when its file is missing, 87 without
// one, 1603 (ERROR_INSTALL_FAILURE) when it was refused, declined or failed.
// The outcome is recorded under "Packages" of the companions' state key
// (value: the package path, data "installed", "quietly installed" or
// "install failed").
uint32_t InstallPackageFile(const VnString& package, const VnString& programFolder, bool quiet);
