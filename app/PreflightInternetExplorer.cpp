#include "PreflightInternetExplorer.h"

#include "Preflight.h"
#include "RunProgram.h"
#include "VnPlatform.h"

namespace {
constexpr char16_t kInternetExplorerKey[] = u"Software\\Microsoft\\Internet Explorer";

VnString ReadInstalledVersion() {
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    VnString version = CNeedInternetExplorerDlg::kAbsentVersion;
    if (registry.OpenKey(VnRegRoot::LocalMachine, kInternetExplorerKey, vnwin::kKeyRead, key) != vnwin::kErrorSuccess)
        return version;
    VnRegValue value;
    if (registry.QueryValue(key, u"Version", value) == vnwin::kErrorSuccess && value.type == vnwin::kRegSz)
        version = value.text;
    registry.CloseKey(key);
    return version;
}
}  // namespace

FourPartVersion ParseFourPartVersion(const VnString& text) {
    FourPartVersion version{};
    VnStringArray parts = VnStringArray::Split(text.View(), u".");
    for (int32_t i = 0; i < parts.GetSize() && i < 4; ++i) {
        int32_t part = VnString::ParseInt(parts[i].Trim().View());
        version[size_t(i)] = part > 0 ? uint32_t(part) : 0;
    }
    return version;
}

int CompareFourPartVersions(const FourPartVersion& a, const FourPartVersion& b) {
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

CNeedInternetExplorerDlg::CNeedInternetExplorerDlg()
    : webBrowserCreatable_(VnPlatform().System().CanCreateWebBrowser()), installedVersion_(ReadInstalledVersion()) {}

bool CNeedInternetExplorerDlg::IsSufficient(ProductInformation& product) const {
    VnString minimum = product.GetInfoString(u"/*/SpecialFeatures/MinIEVersion", VnString());
    if (minimum.IsEmpty()) minimum = kDefaultMinimumVersion;
    return webBrowserCreatable_ &&
           CompareFourPartVersions(ParseFourPartVersion(installedVersion_), ParseFourPartVersion(minimum)) >= 0;
}

CNeedInternetExplorerDlg::Choice CNeedInternetExplorerDlg::Show(ToolsInterface& tools) {
    const VnString text = Translated(u"Install Wizard did not detect a new enough version of Microsoft Internet "
                                     u"Explorer.  Setup cannot continue.") +
                          u"\r\n\r\n" +
                          Translated(u"Click on 'Download' to download and install the latest version of Internet "
                                     u"Explorer.  Please re-run setup after installing Internet Explorer.");
    int pressed = tools.ShowMessageWithButtons(text, Translated(u"Internet Explorer Warning"), Translated(u"Download"),
                                               Translated(u"Quit Setup"), VnString());
    if (pressed != 0) return Choice::kQuitSetup;
    RunProgramOptions options;
    options.wait = false;
    RunProgram(kDownloadPage, VnStringArray(), options);
    return Choice::kDownload;
}

// Either button ends the install: the user must re-run it after updating.
PreflightOutcome CheckInternetExplorer(PreflightContext& context) {
    CNeedInternetExplorerDlg dialog;
    if (dialog.IsSufficient(context.product)) return PreflightOutcome::kPassed;
    dialog.Show(context.tools);
    return PreflightOutcome::kFailed;
}
