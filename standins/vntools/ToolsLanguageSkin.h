// The language and skin objects. The library speaks English only, so the
// translation hook hands every text back unchanged and the chooser has
// nothing to offer (it only notes in the log that it was asked). The skin
// keeps what the installer gives it and answers it back.
#pragma once

#include <mutex>

#include "ToolsInterface.h"

class ToolsEnglish final : public ToolsLanguage {
public:
    explicit ToolsEnglish(ToolsLog& log) : log_(log) {}
    ~ToolsEnglish() override = default;

    VnString Translate(const VnString& text) override { return text; }
    VnString GetLanguageName() override { return VN_LIT(u"English"); }
    bool ShowChooser() override {
        log_.Write(VN_LIT(u"VnLanguage::ShowChooser"), VN_LIT(u"Language chooser: English is the only language"));
        return true;
    }

private:
    ToolsLog& log_;
};

class ToolsKeptSkin final : public ToolsSkin {
public:
    explicit ToolsKeptSkin(ToolsLog& log) : log_(log) {}
    ~ToolsKeptSkin() override = default;

    void SetTitlebarIcon(const VnString& iconName) override { Keep(titlebarIcon_, iconName, u"Titlebar icon: %s"); }
    VnString GetTitlebarIcon() override { return Read(titlebarIcon_); }
    void SetSkinFolder(const VnString& folder) override { Keep(skinFolder_, folder, u"Skin folder: %s"); }
    VnString GetSkinFolder() override { return Read(skinFolder_); }

private:
    void Keep(VnString& field, const VnString& value, const char16_t* logFormat) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            field = value;
        }
        log_.Write(VN_LIT(u"VnSkin"), VnString::Format(logFormat, value));
    }
    VnString Read(const VnString& field) {
        std::lock_guard<std::mutex> lock(mutex_);
        return field;
    }

    ToolsLog& log_;
    std::mutex mutex_;
    VnString titlebarIcon_;
    VnString skinFolder_;
};
