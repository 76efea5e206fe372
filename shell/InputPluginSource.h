// The source of installed input plug-ins for the file type catalogue.
//
// Plug-in registration (packages/InstallWAPlugin.h) writes one record per
// input plug-in below the product's own settings key (HKEY_CURRENT_USER
// "Software\V. Arnel\Tunaro <major>") under "Plugins\Input\<name>", with the
// values "Path", "Plugin Description", "File Description", "Name", "IVersion"
// and "strPath". This source reads that key through the tools library: the
// names are the subkeys of "Plugins\Input", and a record counts as readable
// when its key opens and holds a non-empty "Path". It is kept behind the
// IInputPluginNames interface so that the reader stays text only.
#pragma once

#include "FileTypeCatalogueReader.h"
#include "ToolsInterface.h"

class RegistryInputPluginSource final : public IInputPluginNames {
public:
    // `tools` null: no plug-ins.
    explicit RegistryInputPluginSource(ToolsInterface* tools) : tools_(tools) {}
    VnStringArray GetInputPluginNames() override;
    bool CanReadPluginRecord(const VnString& name) override;

private:
    ToolsInterface* tools_;
};

// The key of the input plug-in records below the product's settings key.
constexpr char16_t kInputPluginRecordsKey[] = u"Plugins\\Input";
