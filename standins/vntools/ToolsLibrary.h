// VnToolsLibrary: the ToolsInterface this library hands out. One object per
// process normally (see ToolsSingleton.h); tests make their own.
#pragma once

#include <mutex>

#include "ToolsArchiveExtractor.h"
#include "ToolsInterface.h"
#include "ToolsLanguageSkin.h"
#include "ToolsLogFile.h"
#include "ToolsProductInformation.h"
#include "VnArray.h"

// The process folders as the library uses them: those the caller's block
// gives, else the library's own folder as the module folder.
class ToolsResolvedFolders final : public ToolsProcessFolders {
public:
    explicit ToolsResolvedFolders(const VnString& ownFolder) : ownFolder_(ownFolder) {}
    void SetSource(const ToolsProcessFolders* source) { source_ = source; }
    VnString GetProgramFolder() const override;
    VnString GetModuleFolder() const override;

private:
    VnString ownFolder_;
    const ToolsProcessFolders* source_ = nullptr;
};

class VnToolsLibrary final : public ToolsInterface {
public:
    // `ownFolder`: the folder of the library file; empty when it is linked in.
    explicit VnToolsLibrary(const VnString& ownFolder = VnString());
    ~VnToolsLibrary() override = default;
    VnToolsLibrary(const VnToolsLibrary&) = delete;
    VnToolsLibrary& operator=(const VnToolsLibrary&) = delete;

    void SetProcessFolders(const ToolsProcessFolders* folders) override;
    ProductInformation* GetProductInformation(VnString& error) override;
    ToolsLanguage* GetLanguage() override { return &language_; }
    ToolsSkin* GetSkin() override { return &skin_; }
    ToolsLog* GetLog() override { return &log_; }
    ToolsArchive* GetArchive() override { return &archive_; }

    int ShowMessage(const VnString& text, const VnString& title) override;
    int AskQuestion(const VnString& text, const VnString& title) override;
    int ShowMessageWithButtons(const VnString& text, const VnString& title, const VnString& first,
                               const VnString& second, const VnString& third) override;

    ToolsPropertyStore* OpenPropertyStore(const VnString& name) override;
    ToolsPropertyStore* OpenRegistryStore(uint32_t root, const VnString& keyPath, uint32_t view) override;
    ToolsNamedLock* CreateNamedLock(const VnString& name) override;
    // Keeps no copies of settings (every store reads the registry each
    // time): only logs the call.
    void ReloadSettings(const VnString& storeName) override;

private:
    // Shows a box through the platform, with the log written first and the answer logged.
    int ShowBox(const VnString& text, const VnString& title, uint32_t type);

    ToolsLogFile log_;
    ToolsEnglish language_{log_};
    ToolsKeptSkin skin_{log_};
    ToolsArchiveExtractor archive_{log_};
    ToolsResolvedFolders folders_;
    std::mutex productMutex_;
    // Every product information handed out stays valid for the library's
    // life, even after the module folder changed and another one was read.
    VnOwnedPtrArray<ToolsProductInformation> products_;
    VnStringArray productFolders_;
};
