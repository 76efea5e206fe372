// Any bytes read as a package description, in both encodings: no crash, no
// read outside the buffer, and a description that is accepted keeps within
// its limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../../packages/PackageDescription.cpp"
#include "../../platform/VnProfileText.cpp"

namespace {
void Check(const PackageDescription& description) {
    if (description.files.GetSize() > kMaxPackageFileEntries) std::abort();
    for (const PackageFileEntry& entry : description.files)
        if (entry.actions.GetSize() > kMaxActionsPerFile) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    PackageDescription description;
    VnString error;
    if (ReadPackageXml(VnXmlDecodeBytes(bytes), int32_t(size % 3), description, error)) Check(description);

    const VnString text = VnProfileTextOf(bytes);
    const auto lookup = [&](const VnString& section, const VnString& key) {
        VnString value;
        VnFindProfileValue(text, section, key, value);
        return value.GetLength() >= int32_t(kPackageIniValueChars) ? value.Left(int32_t(kPackageIniValueChars) - 1)
                                                                    : value;
    };
    if (ReadPackageIni(lookup, description, error)) Check(description);
    description.HasActionWord(u"UNZIPDIR");
    return 0;
}
