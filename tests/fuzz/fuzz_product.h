// A product whose information answers fixed values, for the readers that
// consult the product (the skin check asks for the allowed styles).
#pragma once

#include "ToolsInterface.h"

class FuzzProduct final : public ProductInformation {
public:
    VnString GetProductName(int form) override { return form == 4 ? VnString(u"Tunaro 33") : VnString(u"Tunaro"); }
    VnString GetProductVersion() override { return u"33.0.44"; }
    VnString GetProductURL() override { return VnString(); }
    VnString GetExecutableName() override { return u"Tunaro.exe"; }
    VnString GetLauncherName() override { return u"Tunaro Launcher.exe"; }
    VnString GetLauncherPath() override { return VnString(); }
    VnString GetProductExtension() override { return u"mpl"; }
    VnString GetMimeTypes() override { return VnString(); }
    VnString GetProtocols() override { return VnString(); }
    bool HasFeature(int) override { return false; }
    VnString GetDownloadAddress(int) override { return VnString(); }
    VnString GetStartMenuFolder() override { return u"Tunaro 33"; }
    VnString GetInfoString(const VnString& path, const VnString& defaultValue) override {
        return path == u"/*/General/MegaSkinStyles" ? VnString(u"Graphite;Daylight") : defaultValue;
    }
    int GetInfoInt(const VnString&, int defaultValue) override { return defaultValue; }
    bool IsProductRunning() override { return false; }
    uintptr_t GetProductWindow() override { return 0; }
    bool CloseProduct() override { return false; }
    int FindText(const VnString& text, const VnString& part, int) override { return text.Find(part); }
};
