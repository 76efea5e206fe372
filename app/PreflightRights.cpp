// Preflight: administrator rights, tested by writing below HKEY_LOCAL_MACHINE.
#include "Preflight.h"
#include "VnPlatform.h"

namespace {
constexpr char16_t kCompanyKey[] = u"Software\\V. Arnel";
constexpr char16_t kRightsCheckKey[] = u"Software\\V. Arnel\\Rights Check";
constexpr char16_t kRightsCheckName[] = u"Rights Check";
constexpr char16_t kRightsOk[] = u"Rights OK";

// Writes, reads back and deletes the test value in an open "Rights Check" key.
bool ValueRoundTrips(IVnRegistry& registry, VnRegKey key) {
    const VnString name = VnString::Format(u"Rights Check (%I64d)",
                                           static_cast<long long>(VnPlatform().System().GetSystemTimeAsFileTime()));
    bool same = false;
    if (registry.SetValue(key, name, VnRegValue::String(kRightsOk)) == vnwin::kErrorSuccess) {
        VnRegValue back;
        same = registry.QueryValue(key, name, back) == vnwin::kErrorSuccess && back.type == vnwin::kRegSz &&
               back.text == kRightsOk;
    }
    registry.DeleteValue(key, name);
    return same;
}
}  // namespace

bool HasInstallRights() {
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey company = 0;
    if (registry.CreateKey(VnRegRoot::LocalMachine, kCompanyKey, vnwin::kKeyReadWrite, company) != vnwin::kErrorSuccess)
        return false;
    bool passed = false;
    VnRegKey check = 0;
    if (registry.CreateKey(VnRegRoot::LocalMachine, kRightsCheckKey, vnwin::kKeyReadWrite, check) ==
        vnwin::kErrorSuccess) {
        passed = ValueRoundTrips(registry, check);
        registry.CloseKey(check);
        registry.DeleteKey(company, kRightsCheckName);
    }
    registry.CloseKey(company);
    return passed;
}

PreflightOutcome CheckRights(PreflightContext& context) {
    if (HasInstallRights()) return PreflightOutcome::kPassed;
    context.tools.ShowMessage(
        Translated(u"Sorry, but you do not have sufficient rights to install the program.\r\n") +
            Translated(u"Please make sure you have administrative rights before you begin the installation."),
        Translated(u"Information"));
    return PreflightOutcome::kFailed;
}
