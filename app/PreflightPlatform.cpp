// Preflight: the processor (MMX and SSE2) and the Windows version (2000 or later).
#include "OperatingSystem.h"
#include "Preflight.h"
#include "ProcessorFeatures.h"

namespace {
constexpr int kFirstSupportedSystem = kOsWindows2000;
constexpr int kBeyondSystemCodes = 2000;

// Tells the user the platform is not enough; both texts name the product in
// form 1 at each %s.
PreflightOutcome Refuse(PreflightContext& context, const char16_t* title, const char16_t* first,
                        const char16_t* second) {
    const VnString n1 = context.product.GetProductName(1);
    context.tools.ShowMessage(
        VnString::Format(Translated(first).View(), n1) + VnString::Format(Translated(second).View(), n1),
        Translated(title));
    return PreflightOutcome::kFailed;
}
}  // namespace

PreflightOutcome CheckProcessor(PreflightContext& context) {
    ProcessorFeatures features = ProcessorFeatures::Get();
    if (features.mmx && features.sse2) return PreflightOutcome::kPassed;
    return Refuse(context, u"SSE2 Not Available",
                  u"The %s Install Wizard failed to detect an SSE2-capable CPU.\r\n\r\n",
                  u"%s requires SSE2 capabilities to run.  Setup will now abort.");
}

PreflightOutcome CheckWindowsVersion(PreflightContext& context) {
    int code = GetOperatingSystemCode();
    if (code >= kFirstSupportedSystem && code < kBeyondSystemCodes) return PreflightOutcome::kPassed;
    return Refuse(context, u"Operating System Not Supported",
                  u"The %s Install Wizard can not run on this version of Microsoft Windows.\r\n\r\n",
                  u"%s requires Windows 2000 or later.  Setup will now abort.");
}
