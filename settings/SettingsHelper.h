// CSettingsHelper: the installer's view of the program's settings. Reading a
// setting gives the value stored in the program's "Properties" store, else its
// default; a default is the install description's preset
// ("/*/DefaultSettings/<install key>") when there is one, else the built-in
// value of the schema (SettingsSchema.h).
#pragma once

#include <cstdint>
#include <memory>

#include "ToolsInterface.h"
#include "VnString.h"

class CSettingsHelper {
public:
    // On the "Properties" store of `tools` (the loaded tools library when
    // null). Without a library or product information there is no store:
    // number reads give 0 and writes fail.
    explicit CSettingsHelper(ToolsInterface* tools = nullptr);
    virtual ~CSettingsHelper();
    CSettingsHelper(const CSettingsHelper&) = delete;
    CSettingsHelper& operator=(const CSettingsHelper&) = delete;

    // The stored text, else GetDefaultText; an id without a property name
    // gives the default alone.
    virtual VnString GetText(int id);
    // The stored number, else GetDefaultNumber; 0 without a property name or store.
    virtual int32_t GetNumber(int id, uint32_t flags);
    // Stores a number; for the shell-integration setting first registers or
    // unregisters the shell extension when the wish differs from the present
    // state. The store's answer; false without a property name.
    virtual bool SetNumber(int id, int32_t value, uint32_t flags);
    // Stores a text; false without a property name or store.
    virtual bool SetText(int id, const VnString& value, uint32_t flags);
    virtual int32_t GetDefaultNumber(int id);
    virtual VnString GetDefaultText(int id);
    virtual VnString GetPropertyName(int id);  // empty for an unknown id
    virtual VnString GetInstallKey(int id);    // empty where presets cannot change the setting
    // The preset text or number of the install description, else `defaultValue`.
    virtual VnString GetInstallText(int id, const VnString& defaultValue);
    virtual int32_t GetInstallNumber(int id, int32_t defaultValue);

private:
    ToolsInterface* tools_;
    ProductInformation* product_ = nullptr;
    std::unique_ptr<ToolsPropertyStore> store_;
};

// Whether the shell extension is to be registered: the stored
// "General - Enable Shell Integration", else its default (the install
// description's "ENABLESHELLINTEGRATION" preset, else whether the extension is
// registered now). Register when the result is not 0.
int32_t GetShellIntegrationSetting();
