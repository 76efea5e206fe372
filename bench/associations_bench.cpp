// "Select All" then Next, as the package installer carries it out: 2,000 file
// types registered by the association writer (each with two MIME types from
// the catalogue, backups looked for before every value), against the same
// registry writes made directly through the platform interface (the class
// key and its three values, the MIME keys and their "Extension", the user's
// Explorer key looked for), each side on a new simulated machine, CPU time,
// best of five. `build/native/bin/associations_bench`.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "AssociationWriter.h"
#include "BenchPayload.h"
#include "VnSimPlatform.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRepeats = 5;
constexpr int kTypes = 2000;
constexpr char16_t kFileExts[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";

std::string Catalogue() {
    std::string descriptions, engine, mime;
    for (int i = 0; i < kTypes; ++i) {
        const std::string n = std::to_string(i);
        descriptions += "Media Type " + n + " (t" + n + ");";
        engine += "t" + n + ";";
        mime += "<Type Name=\"t" + n + "\">audio/x-t" + n + ";audio/t" + n + "</Type>";
    }
    return "<PMFA version=\"1\"><DescriptionTypes><Audio>" + descriptions + "</Audio></DescriptionTypes><PMTypes>" +
           engine + "</PMTypes><MimeAssociations><Audio>" + mime + "</Audio></MimeAssociations></PMFA>";
}

void WriteDirectly() {
    IVnRegistry& registry = VnPlatform().Registry();
    for (int i = 0; i < kTypes; ++i) {
        const VnString extension = VnString::Format(u".t%d", i);
        VnRegKey key = 0;
        for (const VnString& type : {VnString::Format(u"audio/x-t%d", i), VnString::Format(u"audio/t%d", i)}) {
            if (registry.CreateKey(VnRegRoot::ClassesRoot, u"Mime\\Database\\Content Type\\" + type,
                                   vnwin::kKeyReadWrite, key) != 0)
                continue;
            registry.SetValue(key, u"Extension", VnRegValue::String(extension));
            registry.CloseKey(key);
        }
        if (registry.CreateKey(VnRegRoot::ClassesRoot, extension, vnwin::kKeyReadWrite, key) != 0) continue;
        registry.SetValue(key, VnString(), VnRegValue::String(u"Tunaro.33.0.44.File"));
        registry.SetValue(key, u"PerceivedType", VnRegValue::String(VnString()));
        registry.SetValue(key, u"Content Type", VnRegValue::String(VnString()));
        registry.CloseKey(key);
        if (registry.OpenKey(VnRegRoot::CurrentUser, kFileExts + extension, vnwin::kKeyReadWrite, key) == 0)
            registry.CloseKey(key);
    }
}

Timing OnNewMachine(const fs::path& folder, const std::function<void()>& work) {
    return MeasureOnNewMachine(folder, work, "associations_bench");
}

}  // namespace

int main() {
    const fs::path work = fs::temp_directory_path() / ("vn-associations-bench-" + std::to_string(getpid()));
    CFileTypeCatalogueData catalogue;
    catalogue.Read(VnString::FromUtf8(Catalogue()), FileTypeCatalogueInputs());
    AssociationProduct product;
    product.progIdBase = u"Tunaro.33.0.44";
    product.productExtension = u".mpl";
    int registered = 0;
    Timing direct, writer;
    for (int run = 0; run < kRepeats; ++run) {
        direct.KeepBest(OnNewMachine(work, WriteDirectly));
        writer.KeepBest(OnNewMachine(work, [&] {
            CAssociationWriter associations(product, catalogue);
            registered = 0;
            for (int i = 0; i < kTypes; ++i)
                registered += associations.RegisterExtension(VnString::Format(u"t%d", i), VnString()) ? 1 : 0;
        }));
    }
    fs::remove_all(work);
    std::printf("%d types registered, each with 2 MIME types\n", registered);
    std::printf("%-34s CPU %8.4f s  1.00x\n", "direct platform writes", direct.cpu);
    std::printf("%-34s CPU %8.4f s  %5.2fx direct\n", "CAssociationWriter", writer.cpu, writer.cpu / direct.cpu);
    return 0;
}
