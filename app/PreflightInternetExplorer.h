// CNeedInternetExplorerDlg: the Internet Explorer check of the preflight and
// the warning shown when it fails.
//
// Constructing the dialog probes what the check needs: whether the web-browser
// control can be created, and the version Internet Explorer records in the
// registry. The check passes when the control exists and that version is not
// lower than the product's minimum ("/*/SpecialFeatures/MinIEVersion", "5.0.0.0"
// when empty).
//
// Show presents the title, the two texts one paragraph apart and the two
// buttons "Download" and "Quit Setup" through the tools library's box with
// buttons of its own (ShowMessageWithButtons), a real dialog that also runs
// before the wizard's frame exists.
#pragma once

#include <array>
#include <cstdint>

#include "ToolsInterface.h"
#include "VnString.h"

// A four-part version: major, minor, build, revision.
using FourPartVersion = std::array<uint32_t, 4>;
// "9.11.22631.0" -> {9, 11, 22631, 0}; missing or unreadable parts are 0.
FourPartVersion ParseFourPartVersion(const VnString& text);
// Negative, zero or positive, part by part from the most significant.
int CompareFourPartVersions(const FourPartVersion& a, const FourPartVersion& b);

class CNeedInternetExplorerDlg {
public:
    static constexpr const char16_t* kDefaultMinimumVersion = u"5.0.0.0";
    static constexpr const char16_t* kAbsentVersion = u"1.0.0.0";
    // Microsoft's download page for Internet Explorer.
    static constexpr const char16_t* kDownloadPage = u"https://www.microsoft.com/en-us/download/internet-explorer.aspx";

    CNeedInternetExplorerDlg();

    bool WebBrowserCreatable() const { return webBrowserCreatable_; }
    const VnString& InstalledVersion() const { return installedVersion_; }
    // Whether the installed Internet Explorer is new enough for the product.
    bool IsSufficient(ProductInformation& product) const;

    enum class Choice { kDownload, kQuitSetup };
    // Shows the warning; "Download" opens the download page in the default browser.
    Choice Show(ToolsInterface& tools);

private:
    bool webBrowserCreatable_ = false;
    VnString installedVersion_;
};
