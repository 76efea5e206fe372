// Package tests: the copy-and-install fixture (demo product, recorded page)
// with helpers that write a package's description and archive and read back
// what it did, and test plug-ins registered in the simulated machine's module
// table with the exports of each kind.
#pragma once

#ifndef _WIN32
#include <string>
#include <vector>

#include "InstallFilesFixture.h"
#include "TestZipWriter.h"

class PackageTest : public InstallFilesTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Writes "<Scratch>Packages\<name>.pmp" (and "<name>.zip" when given).
    VnString WritePackage(const std::string& name, const std::string& description,
                          const std::vector<TestZipEntry>& archive = {});
    // The message boxes shown, as "title|text".
    std::vector<std::string> Boxes();
    std::string ProductValue(const std::string& key, const std::string& name);
    // A file that the simulated machine loads with the exports of `kind`
    // (see PluginDetectionTest.cpp): "dsp", "vis", "input4", "input3",
    // "both", "winamp-in", "vst2", "vst3", "girder", "none", "throws".
    VnString WritePlugin(const VnString& path, const std::string& kind);

private:
    std::vector<VnString> registeredModules_;
};
#endif
