// Any text read as a filename must write a text that reads back to the same
// path and fields, and that text must write itself again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "VnFilename.h"
#include "fuzz_text_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const VnFilename first = VnFilename::FromText(FuzzTextFromBytes(data, size));
    const VnString written = first.GetText();
    const VnFilename second = VnFilename::FromText(written);
    if (!(second.GetPath() == first.GetPath())) std::abort();
    if (!second.GetFields().IsEqual(first.GetFields())) std::abort();
    if (!(second.GetText() == written)) std::abort();
    return 0;
}
