// Any text read as a property map must write a document that reads back to
// the same entries, and that document must write itself again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "VnPropertyMap.h"
#include "fuzz_text_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VnPropertyMap first;
    if (!first.LoadXML(FuzzTextFromBytes(data, size))) return 0;
    first.Dump(u"  ");
    const VnString saved = first.SaveXML();
    VnPropertyMap second;
    if (!second.LoadXML(saved)) std::abort();
    if (!second.IsEqual(first) || !(second.GetKeys() == first.GetKeys())) std::abort();
    if (!(second.SaveXML() == saved)) std::abort();
    return 0;
}
