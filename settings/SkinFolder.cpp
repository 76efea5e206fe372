#include "SkinFolder.h"

#include <cmath>
#include <memory>
#include <string>

#include "VnArray.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"
#include "VnXmlDocument.h"
#include "XmlProblemLog.h"

namespace {
constexpr char16_t kSkinRoot[] = u"PMMS";
constexpr double kSkinVersion = 3.0;
constexpr double kVersionTolerance = 0.01;
}  // namespace

bool IsUsableSkinFolder(const VnString& folder, ProductInformation& product) {
    if (folder.IsEmpty()) return false;
    std::string bytes;
    if (VnPlatform().Files().ReadFile(NormaliseFolder(folder) + kSkinDocumentFile, bytes) != 0) return false;
    VnXmlDocument document;
    const bool usable = document.SetDoc(VnXmlDecodeBytes(bytes));
    LogXmlProblems(u"IsUsableSkinFolder", NormaliseFolder(folder) + kSkinDocumentFile, document);
    if (!usable || !document.FindElem() || document.GetTagName() != kSkinRoot) return false;

    VnStringArray allowed;
    for (const VnString& style :
         VnStringArray::Split(product.GetInfoString(u"/*/General/MegaSkinStyles", VnString()).View(), u";"))
        if (!style.IsEmpty()) allowed.Add(style);
    if (allowed.IsEmpty()) allowed.Add(VnString());

    const double version = VnString::ParseDouble(document.GetAttrib(u"version"));
    const bool styleAllowed = allowed.FindNoCase(document.GetAttrib(u"style")) >= 0;
    document.ResetPos();
    const bool hasMainFrame = document.FindElem(u"//MAINFRAME");
    return std::fabs(version - kSkinVersion) < kVersionTolerance && styleAllowed && hasMainFrame;
}

VnString GetStoredSkinFolder(ToolsInterface& tools) {
    VnString error;
    ProductInformation* product = tools.GetProductInformation(error);
    if (!product) return VnString();
    const VnString name = product->GetInfoString(u"/*/General/MegaSkinKey", u"Standard View Skin 2");
    std::unique_ptr<ToolsPropertyStore> properties(tools.OpenPropertyStore(u"Properties"));
    if (!properties) return VnString();
    const VnString folder = NormaliseFolder(properties->GetText(name, VnString()));
    return IsUsableSkinFolder(folder, *product) ? folder : VnString();
}
