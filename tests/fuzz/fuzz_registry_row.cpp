// Any bytes as one registry row: splitting must give exactly five fields or
// refuse, never crash or read out of bounds, and a row that splits must be
// made of exactly four separators more than its fields' characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "RegistryRow.h"
#include "RegistryTokens.h"
#include "fuzz_text_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VnString text = FuzzTextFromBytes(data, size);
    RegistryRowRoot root;
    ParseRegistryRootLine(text, root);

    RegistryTokenValues values;
    values.installFolder = u"C:\\Program Files\\T|x\\";
    values.launcherPath = u"[LAUNCHERPATH]";  // a value that holds a token is not expanded again
    values.findArt = [](const VnString& name) { return name.IsEmpty() ? VnString() : u"C:\\Art\\" + name; };
    ExpandRegistryTokens(text, values);

    RegistryRow row;
    if (SplitRegistryRow(text, row)) {
        const int32_t nameLength = row.valueName.IsEmpty() ? 0 : row.valueName.GetLength();
        const int32_t fields = row.key.GetLength() + nameLength + row.data.GetLength() + 4;
        if (fields > text.GetLength()) std::abort();
        ParseRegistryRowNumber(row.data);
    }
    return 0;
}
