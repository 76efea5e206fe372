// The settings migration on the simulated machine against the same work done
// directly, in the same run.
//
// An earlier version 31 is left behind in a new simulated machine in /tmp: a
// settings tree of 10,000 values in 1,000 keys (texts naming the earlier
// version and its install folder, numbers, binary data) and a "Cover Art"
// cache of 5,000 files and 50 MB in its data folder. Then, each measured
// twice with the best kept (by CPU time), the machine reopened and the output
// removed between runs outside the timing:
//   baseline   the same 10,000 values written directly through the platform's
//              registry (one open key per destination key, the texts already
//              substituted), plus `cp -r` of the cache
//   migration  the whole migration step (MigrateSettings)
// The ratio migration / baseline is printed.
//
//   settings_bench [set-up folder]   (default: ../setup beside the program)
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BenchPayload.h"
#include "InstallOptions.h"
#include "SettingsMigration.h"
#include "ToolsLibrary.h"
#include "ToolsLink.h"
#include "VnSimPlatform.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRepeats = 2;
constexpr int kKeys = 1000;
constexpr int kValuesPerKey = 10;
constexpr int kCacheFiles = 5000;
constexpr int kCacheFileBytes = 10 * 1024;
constexpr char16_t kEarlierKey[] = u"Software\\V. Arnel\\Tunaro 31";

struct Folders final : ToolsProcessFolders {
    VnString GetProgramFolder() const override { return VnString(); }
    VnString GetModuleFolder() const override { return u"C:\\Setup\\Playmoor\\"; }
};

VnString KeyName(int key) { return VnString::Format(u"Group %d\\Key %d", key / 100, key); }

// Value `index` of a key: text, number or bytes, as `substituted` says.
VnRegValue MakeValue(int index, bool substituted) {
    switch (index % 3) {
        case 0:
            return VnRegValue::String(substituted ? VnString::Format(u"C:\\Program Files\\Tunaro\\Item %d (Tunaro 33)", index)
                                                  : VnString::Format(u"C:\\Old Player\\Item %d (Tunaro 31)", index));
        case 1: return VnRegValue::Dword(uint32_t(index));
        default: {
            VnRegValue value;
            value.type = vnwin::kRegBinary;
            value.bytes.assign(32, uint8_t(index));
            return value;
        }
    }
}

void WriteTree(const VnString& root, bool substituted) {
    IVnRegistry& registry = VnPlatform().Registry();
    for (int key = 0; key < kKeys; ++key) {
        VnRegKey handle = 0;
        registry.CreateKey(VnRegRoot::CurrentUser, root + u"\\" + KeyName(key), vnwin::kKeyReadWrite, handle);
        for (int value = 0; value < kValuesPerKey; ++value)
            registry.SetValue(handle, VnString::Format(u"Value %d", value), MakeValue(key * kValuesPerKey + value, substituted));
        registry.CloseKey(handle);
    }
}

class BenchMachine {
public:
    explicit BenchMachine(fs::path folder) : folder_(std::move(folder)) {}
    ~BenchMachine() { Close(); }
    fs::path Drive() const { return folder_ / "drives" / "C"; }
    bool Reopen() {
        Close();
        fs::remove_all(Drive() / "Users" / "User" / "AppData" / "Roaming" / "V. Arnel" / "Tunaro 33");
        fs::remove(folder_ / "attributes.txt");
        std::string error;
        machine_ = VnSimPlatform::OpenMachine(folder_.string(), error);
        if (!machine_) std::fprintf(stderr, "settings_bench: %s\n", error.c_str());
        VnSetPlatform(machine_.get());
        if (!machine_) return false;
        IVnRegistry& registry = VnPlatform().Registry();
        for (const char16_t* key : {u"Software\\V. Arnel\\Tunaro 33", u"Software\\V. Arnel\\Baseline"})
            registry.DeleteTree(VnRegKey(VnRegRoot::CurrentUser), key);
        tools_ = std::make_unique<VnToolsLibrary>();
        tools_->SetProcessFolders(&folders_);
        VnSetTools(tools_.get());
        return true;
    }

private:
    void Close() {
        VnSetTools(nullptr);
        tools_.reset();
        VnSetPlatform(nullptr);
        machine_.reset();
    }
    fs::path folder_;
    Folders folders_;
    std::unique_ptr<VnSimPlatform> machine_;
    std::unique_ptr<VnToolsLibrary> tools_;
};

}  // namespace

int main(int argc, char** argv) {
    const fs::path setup = argc > 1 ? fs::path(argv[1]) : fs::path(argv[0]).parent_path() / ".." / "setup";
    if (!fs::exists(setup / "Playmoor" / "ProductInfo.xml")) {
        std::fprintf(stderr, "settings_bench: no Playmoor\\ProductInfo.xml in %s (build vn_demo_setup)\n",
                     setup.string().c_str());
        return 1;
    }
    const fs::path work = fs::temp_directory_path() / ("vn-settings-bench-" + std::to_string(getpid()));
    fs::remove_all(work);
    int status = 0;
    {
        BenchMachine machine(work / "machine");
        if (!machine.Reopen()) return 1;
        fs::create_directories(machine.Drive() / "Setup" / "Playmoor");
        fs::copy_file(setup / "Playmoor" / "ProductInfo.xml", machine.Drive() / "Setup" / "Playmoor" / "ProductInfo.xml");
        // What version 31 left: its tree, its install folder record, its data folder.
        WriteTree(kEarlierKey, false);
        VnRegKey installer = 0;
        VnPlatform().Registry().CreateKey(VnRegRoot::CurrentUser, VnString(kEarlierKey) + u"\\Installer",
                                          vnwin::kKeyReadWrite, installer);
        VnPlatform().Registry().SetValue(installer, u"Install Directory", VnRegValue::String(u"C:\\Old Player\\"));
        VnPlatform().Registry().CloseKey(installer);
        const fs::path earlierData = machine.Drive() / "Users" / "User" / "AppData" / "Roaming" / "V. Arnel" / "Tunaro 31";
        fs::create_directories(earlierData / "Library");
        std::string content(kCacheFileBytes, 'a');
        for (int file = 0; file < kCacheFiles; ++file) {
            const fs::path folder = earlierData / "Cover Art" / ("Folder " + std::to_string(file % 50));
            fs::create_directories(folder);
            content[0] = char('a' + file % 26);
            std::ofstream(folder / ("Album " + std::to_string(file) + ".jpg"), std::ios::binary) << content;
        }
        std::printf("earlier version: %d values in %d keys, cover art %d files, %.1f MB\n", kKeys * kValuesPerKey,
                    kKeys, kCacheFiles, double(kCacheFiles) * kCacheFileBytes / (1 << 20));

        const std::string copyCommand = "cp -r '" + (earlierData / "Cover Art").string() + "' '" +
                                        (work / "cp-out").string() + "'";
        Timing baseline, migration;
        for (int run = 0; run < kRepeats && status == 0; ++run) {
            fs::remove_all(work / "cp-out");
            if (!machine.Reopen()) return 1;
            baseline.KeepBest(Measure([&] {
                WriteTree(u"Software\\V. Arnel\\Baseline", true);
                if (std::system(copyCommand.c_str()) != 0) status = 1;
            }));
            if (!machine.Reopen()) return 1;
            InstallOptions::ResetForTests();
            InstallOptions::Get().DestinationFolder = u"C:\\Program Files\\Tunaro\\";
            migration.KeepBest(Measure([] { MigrateSettings(); }));
        }
        if (!fs::exists(machine.Drive() / "Users" / "User" / "AppData" / "Roaming" / "V. Arnel" / "Tunaro 33" /
                        "Cover Art" / "Folder 49")) {
            std::fprintf(stderr, "settings_bench: the migration did not copy the cover art\n");
            status = 1;
        }
        std::printf("baseline (registry writes + cp -r)  CPU %7.3f s (wall %7.3f s)\n", baseline.cpu, baseline.wall);
        std::printf("migration (MigrateSettings)         CPU %7.3f s (wall %7.3f s)  %5.2fx baseline\n",
                    migration.cpu, migration.wall, migration.cpu / baseline.cpu);
        std::printf("best of %d runs each (by CPU time)\n", kRepeats);
    }
    fs::remove_all(work);
    return status;
}
