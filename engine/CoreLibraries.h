// The seven core libraries of the product, put in place before anything else
// is copied: from the payload's "Playmoor\" into the destination folder and,
// on 64-bit Windows, from "Playmoor\x64\" into its "x64\" folder. A library
// that cannot be copied stops the install unless the user retries.
#pragma once

// Copies the core libraries and then writes the installation record. When a
// copy fails the user is asked to Retry (everything is copied again) or
// Cancel; Cancel shows the critical-error box and returns false.
bool InstallCoreLibraries();
