// Any bytes as the text of a file type catalogue: the reader must load it or
// refuse it without crashing, hanging or reading out of bounds, and every
// query must hold up on what it loaded (a refused text leaves empty lists).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FileTypeCatalogueReader.h"
#include "fuzz_text_input.h"

namespace {
class FuzzPlugins final : public IInputPluginNames {
public:
    VnStringArray GetInputPluginNames() override {
        VnStringArray names;
        for (const char16_t* name : {u"APE", u"mpp", u"Mp3", u""}) names.Add(name);
        return names;
    }
    bool CanReadPluginRecord(const VnString& name) override { return name.GetLength() % 2 == 1; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const VnString text = FuzzTextFromBytes(data, size);
    FuzzPlugins plugins;
    FileTypeCatalogueInputs inputs;
    inputs.plugins = &plugins;
    inputs.hasFeature = [](int feature) { return feature != 19; };
    CFileTypeCatalogueData catalogue;
    const bool loaded = catalogue.Read(text, inputs).loaded;

    for (int index = -1; index <= kFileTypeListCount; ++index) {
        const VnStringArray list = catalogue.GetList(index, index % 2 == 0);
        if (!loaded && !list.IsEmpty()) std::abort();
        for (const VnString& entry : list)
            if (entry.IsEmpty() || entry.EqualsNoCase(u"dat") || entry.EqualsNoCase(u"mpp")) std::abort();
    }
    const VnStringArray extensions = CFileTypeCatalogueData::GetExtensions(catalogue.GetHandledDescriptions());
    if (catalogue.IsInList(extensions, kProgramTypes) >= extensions.GetSize()) std::abort();
    for (const CMimeInfo& info : catalogue.MimeInfos()) {
        catalogue.GetExtensionMimeTypes(info.name, true);
        catalogue.FindMimeInfo(u"." + info.name);
    }
    return 0;
}
