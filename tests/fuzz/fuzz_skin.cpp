// Any bytes as a skin folder's "main.xml" on a simulated machine, checked for
// the demo product (styles "Graphite;Daylight"): the check never fails to
// answer, answers the same for the folder with or without its trailing
// backslash, leaves the file as it was, and accepts only a text that names
// the skin root and its main frame.
// fuzz-link: vn_tools vn_platform
// fuzz-include: app engine settings standins/vntools
#include <cstdlib>
#include <memory>
#include <string>

#include "ToolsProductInformation.h"
#include "VnXmlDocument.h"
#include "fuzz_sim_machine.h"
// The check and what it logs through are built in.
#include "../../app/XmlProblemLog.cpp"
#include "../../engine/FileSystemPaths.cpp"
#include "../../engine/ToolsLink.cpp"
#include "../../settings/SkinFolder.cpp"

namespace {

constexpr char16_t kSkinFolder[] = u"C:\\Skins\\Graphite";
constexpr char16_t kSkinFile[] = u"C:\\Skins\\Graphite\\main.xml";
constexpr char16_t kProductText[] =
    u"<ProductInformation version=\"1.0\"><Names><Name Form=\"4\">Tunaro 33</Name></Names>"
    u"<General><MegaSkinStyles>Graphite;Daylight</MegaSkinStyles></General></ProductInformation>";

void Require(bool condition) {
    if (!condition) std::abort();
}

struct NoFolders final : ToolsProcessFolders {
    VnString GetProgramFolder() const override { return VnString(); }
    VnString GetModuleFolder() const override { return VnString(); }
};

ProductInformation& DemoProduct() {
    static NoFolders folders;
    static std::unique_ptr<ToolsProductInformation> product = [] {
        auto file = std::make_unique<ToolsProductFile>();
        VnString error;
        if (!file->Parse(kProductText, u"ProductInfo.xml", error)) std::abort();
        return std::make_unique<ToolsProductInformation>(std::move(file), folders);
    }();
    return *product;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool prepared = [] {
        IVnFiles& files = FuzzSimMachine().Files();
        files.CreateDirectory(u"C:\\Skins");
        files.CreateDirectory(kSkinFolder);
        return true;
    }();
    (void)prepared;
    IVnFiles& files = VnPlatform().Files();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Require(files.WriteFile(kSkinFile, bytes) == 0);

    const bool usable = IsUsableSkinFolder(kSkinFolder, DemoProduct());
    Require(IsUsableSkinFolder(VnString(kSkinFolder) + u"\\", DemoProduct()) == usable);
    std::string after;
    Require(files.ReadFile(kSkinFile, after) == 0 && after == bytes);
    if (usable) {
        const VnString text = VnXmlDecodeBytes(bytes);
        Require(text.Find(u"PMMS") >= 0 && text.FindNoCase(u"MAINFRAME") >= 0);
    }
    return 0;
}
