#include "FileTypeCatalogue.h"

#include <cstdlib>
#include <memory>
#include <mutex>

#include "AssociationProductFacts.h"
#include "EngineLog.h"
#include "InstallExitCodes.h"
#include "InputPluginSource.h"
#include "LoadedProduct.h"
#include "ProgramResourceFiles.h"
#include "VnDllString.h"
#include "VnPlatform.h"
#include "VnXmlDocument.h"

namespace {

constexpr char16_t kCatalogueFile[] = u"FileAssociations.xml";

std::mutex& CatalogueLock() {
    static std::mutex lock;
    return lock;
}
std::unique_ptr<CFileTypeCatalogue>& CatalogueInstance() {
    static std::unique_ptr<CFileTypeCatalogue> instance;
    return instance;
}

// The process ends with 0, as a damaged payload is not an install that failed
// half-way: nothing has been written yet when the catalogue is first read.
void EndProcessAfterCatalogueFailure() {
    if (ToolsLog* log = VnToolsLog()) log->Flush();
    std::_Exit(kExitCompleted);
}
CatalogueFailureEnding& FailureEnding() {
    static CatalogueFailureEnding ending = EndProcessAfterCatalogueFailure;
    return ending;
}

std::unique_ptr<CFileTypeCatalogue> LoadCatalogue() {
    auto catalogue = std::make_unique<CFileTypeCatalogue>();
    const VnString path = FindResourceFile(RecordedProgramDataFolder(), ProgramResourceKind::Resources, kCatalogueFile);
    ProductInformation* product = LoadedProductInformation();
    RegistryInputPluginSource plugins(VnTools());
    FileTypeCatalogueInputs inputs;
    inputs.plugins = &plugins;
    if (product) {
        inputs.productDefaultFileTypes = product->GetInfoString(u"/*/Product/DefaultFileTypes", VnString());
        inputs.productDefaultAssocFileTypes = product->GetInfoString(u"/*/Product/DefaultAssocFileTypes", VnString());
        // Asked when a list is read, of the product loaded then: the catalogue
        // outlives the library it was first read with.
        inputs.hasFeature = [](int feature) {
            ProductInformation* loaded = LoadedProductInformation();
            return loaded && loaded->HasFeature(feature);
        };
    }

    const FileTypeCatalogueReadResult result = ReadFileTypeCatalogueFile(path, inputs, *catalogue);
    if (result.loaded) return catalogue;

    EngineLog(u"CFileTypeCatalogue::Load", VnString::Format(u"Failed: %s (%s)", path, result.problem));
    if (ToolsInterface* tools = VnTools())
        tools->ShowMessage(CatalogueFailureMessage(path, result.versionText), VnDllString(u"Information").Get());
    FailureEnding()();
    return catalogue;
}

}  // namespace

VnString CatalogueFailureMessage(const VnString& path, const VnString& version) {
    return VnDllString(u"Failed to load file associations file.  ").Get() +
           VnDllString(u"This is a fatal error, so the program must close.\r\n\r\n").Get() +
           VnDllString(u"Please reinstall the latest version of the program to fix this problem.\r\n\r\n").Get() +
           VnString::Format(VnDllString(u"Path: %s\r\nVersion: %s").Get(), path, version);
}

const CFileTypeCatalogue& FileTypeCatalogue() {
    std::lock_guard<std::mutex> guard(CatalogueLock());
    std::unique_ptr<CFileTypeCatalogue>& instance = CatalogueInstance();
    if (!instance) instance = LoadCatalogue();
    return *instance;
}

void SetCatalogueFailureEndingForTests(CatalogueFailureEnding ending) {
    FailureEnding() = ending ? ending : EndProcessAfterCatalogueFailure;
}

void ResetFileTypeCatalogueForTests() {
    std::lock_guard<std::mutex> guard(CatalogueLock());
    CatalogueInstance().reset();
}
