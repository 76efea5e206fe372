// Start-up step 5: the product's tools library, loaded through the platform
// from the module folder of the process-information block.
#include <array>

#include "ProcessInformationBlock.h"
#include "VnApp.h"

namespace {

constexpr uint32_t kLoadWithAlteredSearchPath = 0x8;  // its own dependencies are found beside it
constexpr char kScrambleKey = 0x5A;

// The library's file name is kept scrambled so that it does not stand in the
// program as plain text; it is unscrambled when the library is loaded.
template <size_t N>
constexpr std::array<char, N - 1> Scramble(const char (&text)[N]) {
    std::array<char, N - 1> scrambled{};
    for (size_t i = 0; i + 1 < N; ++i) scrambled[i] = char(text[i] ^ kScrambleKey ^ char(i * 7));
    return scrambled;
}
constexpr auto kScrambledToolsFileName = Scramble("VnTools.dll");

VnString ToolsLibraryFileName() {
    VnString name;
    for (size_t i = 0; i < kScrambledToolsFileName.size(); ++i)
        name += char16_t(uint8_t(kScrambledToolsFileName[i] ^ kScrambleKey ^ char(i * 7)));
    return name;
}

}  // namespace

bool VnExecutableApp::LoadTools() {
    if (!tools_) {
        ProcessInformationBlock& block = ProcessInformationBlock::Get();
        IVnProcesses& processes = VnPlatform().Processes();
        uint32_t error = 0;
        VnHandle module =
            processes.LoadLibrary(block.GetModuleFolder() + ToolsLibraryFileName(), kLoadWithAlteredSearchPath, error);
        if (module) {
            LoadedModule loaded;
            loaded.handle = module;
            loaded.uninitialise =
                reinterpret_cast<ReleaseVnToolsDLLFunction>(processes.GetProcAddress(module, kReleaseVnToolsDLLExport));
            modules_.Add(loaded);
            auto entry = reinterpret_cast<GetVnToolsDLLFunction>(processes.GetProcAddress(module, kGetVnToolsDLLExport));
            if (entry) tools_ = entry(kToolsInterfaceVersion);
        }
        if (!tools_) {
            ReportToolsFailure(VN_LIT(u"Failed to load VnTools"));
            return false;
        }
        tools_->SetProcessFolders(&block);
    }
    VnString error;
    product_ = tools_->GetProductInformation(error);
    if (!product_) {
        ReportToolsFailure(error.IsEmpty() ? VN_LIT(u"Unknown error loading product information") : error);
        return false;
    }
    return true;
}

// Nothing of the library can be used here, so the box is the plain Windows one.
void VnExecutableApp::ReportToolsFailure(const VnString& error) {
    constexpr int32_t kModulePathChars = 2080;  // the buffer of GetModuleFileNameW, its zero included
    VnString installerPath = VnPlatform().System().GetModuleFileName().Left(kModulePathChars - 1);
    VnString text = VnString::Format(
        u"The following module has failed to load:\r\n%s\r\n\r\nIt has reported the following error:\r\n\r\n%s"
        u"\r\n\r\nPlease reinstall the latest version of the program.",
        installerPath, error);
    VnPlatform().Shell().MessageBox(text, u"Critical Error", vnwin::kMbOk);
}
