#include "LoadedProduct.h"

#include "ToolsLink.h"

ProductInformation* LoadedProductInformation() {
    ToolsInterface* tools = VnTools();
    VnString error;
    return tools ? tools->GetProductInformation(error) : nullptr;
}
