#include "WizardTools.h"

#include "LoadedProduct.h"
#include "ToolsLink.h"

namespace wizard_tools {

VnString ProductName(int form) {
    ProductInformation* product = LoadedProductInformation();
    return product ? product->GetProductName(form) : VnString();
}

bool HasFeature(int feature) {
    ProductInformation* product = LoadedProductInformation();
    return product && product->HasFeature(feature);
}

void ShowMessage(const VnString& text, const VnString& title) {
    if (ToolsInterface* tools = VnTools()) tools->ShowMessage(text, title);
}

bool AskYes(const VnString& text, const VnString& title) {
    ToolsInterface* tools = VnTools();
    return !tools || tools->AskQuestion(text, title) == kToolsAnswerYes;
}

}  // namespace wizard_tools
