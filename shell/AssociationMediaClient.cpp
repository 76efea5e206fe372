#include "AssociationMediaClient.h"

namespace {

constexpr int kFirstMediaClientSystem = 1008;  // Windows Vista
constexpr int kLastSystemCode = 1999;

// Opens or creates the key below HKEY_LOCAL_MACHINE and writes the string
// values; false when the key cannot be created.
bool WriteStrings(const VnString& keyPath, std::initializer_list<std::pair<VnString, VnString>> values) {
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    if (registry.CreateKey(VnRegRoot::LocalMachine, keyPath, vnwin::kKeyReadWrite, key) != vnwin::kErrorSuccess)
        return false;
    for (const auto& [name, text] : values) registry.SetValue(key, name, VnRegValue::String(text));
    registry.CloseKey(key);
    return true;
}

}  // namespace

void RegisterMediaClient(const CAssociationWriter& writer, const CFileTypeCatalogueData& catalogue,
                         const MediaClientIdentity& client) {
    if (client.operatingSystemCode < kFirstMediaClientSystem || client.operatingSystemCode > kLastSystemCode ||
        client.clientName.IsEmpty())
        return;
    const VnString clientKey = u"Software\\Clients\\Media\\" + client.clientName;
    const VnString capabilities = clientKey + u"\\Capabilities";
    IVnRegistry& registry = VnPlatform().Registry();

    {
        WriteStrings(clientKey, {{VnString(), client.clientName}});
        WriteStrings(clientKey + u"\\shell\\open\\command", {{VnString(), writer.Product().executablePath}});
        WriteStrings(clientKey + u"\\DefaultIcon", {{VnString(), client.iconPath}});
        VnRegKey key = 0;
        if (registry.CreateKey(VnRegRoot::LocalMachine, capabilities, vnwin::kKeyReadWrite, key) ==
            vnwin::kErrorSuccess) {
            registry.SetValue(key, VN_LIT(u"ApplicationName"), VnRegValue::String(client.clientName));
            registry.SetValue(key, VN_LIT(u"ApplicationDescription"), VnRegValue::String(client.clientName));
            registry.DeleteKey(key, VN_LIT(u"FileAssociations"));
            registry.CloseKey(key);
        }
        if (registry.CreateKey(VnRegRoot::LocalMachine, capabilities + u"\\FileAssociations", vnwin::kKeyReadWrite,
                               key) == vnwin::kErrorSuccess) {
            for (const VnString& extension :
                 CFileTypeCatalogueData::GetExtensions(catalogue.GetHandledDescriptions())) {
                const VnString dotted = u"." + extension;
                registry.SetValue(key, dotted, VnRegValue::String(writer.GetProgIdForExtension(dotted)));
            }
            registry.CloseKey(key);
        }
        WriteStrings(capabilities + u"\\URLAssociations", {});
        WriteStrings(capabilities + u"\\MimeAssociations", {});
    }
    WriteStrings(VN_LIT(u"Software\\RegisteredApplications"), {{client.clientName, capabilities}});
}
