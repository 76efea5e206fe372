// The install steps that the copy page and the copy-and-install sequence call
// in their places, each built in the module that owns its work.
//
// docs/copy-and-install.md lists them with where each is built.
#pragma once

#include "InstallStepPage.h"
#include "VnString.h"

// ---- Phases of the copy-and-install sequence ----

// Removes the files, folders and registry entries of earlier versions that
// this version no longer wants ("Cleaning installation directory...").
void CleanObsoleteFiles();

// Installs the default library and the program's default settings
// ("Loading default library and settings...").
void InstallDefaultLibraryAndSettings();

// Carries the settings of an earlier version over ("Upgrading from previous
// version...").
void MigrateSettingsFromEarlierVersion();

// The shell-registration object built with an empty argument, both switches
// on (write the registry row templates; notify the shell), and released at
// once: its release writes the program's registry settings ("Creating
// registry settings...").
void WriteProgramRegistrySettings();

// Registers one copied file whose name begins with "in_" with the media
// program as an input plug-in. The sequence passes `silent` true.
void InstallWinampInputPlugin(const VnString& path, bool silent);

// ---- Steps of the copy page ----
// Step workers: each ends by handing control back to the page with
// ScheduleNextInstallStep, so the page's chain goes on.

// Step 0: the dependency installers (web-view runtime, DirectX components,
// sample media).
void InstallDependencies(IInstallStepPage& page);

// Step 2: the shell extension, the plug-in packages, the audio driver or the
// server service.
void InstallComponents(IInstallStepPage& page);
