#include "BenchPayload.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>

#include "VnSimPlatform.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFileCount = 5000;
constexpr uint64_t kTargetBytes = 200ull << 20;

std::string ReadHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Mixed sizes: mostly small files, some medium ones, a few large ones,
// scaled so that the whole comes to about kTargetBytes.
std::vector<uint64_t> FileSizes(std::mt19937_64& random) {
    std::vector<uint64_t> sizes(kFileCount);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    uint64_t total = 0;
    for (uint64_t& size : sizes) {
        const double pick = unit(random);
        size = pick < 0.80   ? 512 + uint64_t(unit(random) * 24 * 1024)
               : pick < 0.98 ? 64 * 1024 + uint64_t(unit(random) * 512 * 1024)
                             : 2 * 1024 * 1024 + uint64_t(unit(random) * 6 * 1024 * 1024);
        total += size;
    }
    const double scale = double(kTargetBytes) / double(total);
    for (uint64_t& size : sizes) size = std::max<uint64_t>(64, uint64_t(double(size) * scale));
    return sizes;
}

}  // namespace

std::vector<std::string> ReadPeTemplates(const fs::path& setupFolder) {
    std::vector<std::string> templates;
    for (const char* name : {"System/Check Version/VnCodecSupport.dll", "System/Check Version/VnDeviceBridge.dll"})
        if (std::string pe = ReadHostFile(setupFolder / name); !pe.empty()) templates.push_back(pe);
    return templates;
}

Payload WritePayload(const fs::path& root, const std::vector<std::string>& templates) {
    std::mt19937_64 random(20240611);
    const std::vector<uint64_t> sizes = FileSizes(random);
    std::string block(1 << 20, '\0');
    for (char& c : block) c = char(random());
    Payload payload;
    for (int i = 0; i < kFileCount; ++i) {
        const fs::path folder = root / ("Folder " + std::to_string(i % 10)) / ("Part " + std::to_string(i % 50));
        fs::create_directories(folder);
        const bool library = i % 2 == 0;
        char name[64];
        std::snprintf(name, sizeof name, library ? "Codec%04d.dll" : "Data%04d.dat", i);
        std::ofstream out(folder / name, std::ios::binary);
        uint64_t left = sizes[size_t(i)];
        if (library) {
            const std::string& pe = templates[size_t(i / 2) % templates.size()];
            out.write(pe.data(), std::streamsize(pe.size()));
            left = left > pe.size() ? left - pe.size() : 0;
        }
        for (uint64_t offset = uint64_t(i) * 4099; left > 0;) {
            const uint64_t start = offset % block.size(), chunk = std::min<uint64_t>(left, block.size() - start);
            out.write(block.data() + start, std::streamsize(chunk));
            left -= chunk, offset += chunk;
        }
        payload.files++;
        payload.bytes += uint64_t(out.tellp());
    }
    return payload;
}

namespace {

// A file of `size` bytes: the PE template first when given, then bytes of the random block.
uint64_t WriteFileOfSize(const fs::path& path, uint64_t size, const std::string* pe, const std::string& block,
                         uint64_t offset) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    uint64_t left = size;
    if (pe) {
        out.write(pe->data(), std::streamsize(pe->size()));
        left = left > pe->size() ? left - pe->size() : 0;
    }
    while (left > 0) {
        const uint64_t start = offset % block.size(), chunk = std::min<uint64_t>(left, block.size() - start);
        out.write(block.data() + start, std::streamsize(chunk));
        left -= chunk, offset += chunk;
    }
    return uint64_t(out.tellp());
}

}  // namespace

Payload WriteRealisticPayload(const fs::path& root, const std::vector<std::string>& templates) {
    std::mt19937_64 random(20261206);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::string block(1 << 20, '\0');
    for (char& c : block) c = char(random());
    Payload payload;
    auto add = [&](const fs::path& path, uint64_t size, const std::string* pe) {
        payload.bytes += WriteFileOfSize(root / path, size, pe, block, payload.bytes * 7 + 13);
        payload.files++;
    };
    // Libraries and programs: most in the program folder, the rest among plug-ins and codecs.
    const char* const places[] = {"", "", "", "Plugins/", "Plugins/Input/", "Codecs/"};
    for (int i = 0; i < 60; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, i % 10 == 9 ? "Tool%02d.exe" : "VnModule%02d.dll", i);
        add(fs::path(places[i % 6]) / name, 100 * 1024 + uint64_t(unit(random) * 4 * 1024 * 1024),
            &templates[size_t(i) % templates.size()]);
    }
    // Data files, small, in many folders.
    const char* const kinds[][2] = {{"Skins/Skin %d/Images", ".png"}, {"Skins/Skin %d", ".xml"},
                                    {"Data/Pictures/Set %d", ".jpg"},  {"Help/Topic %d", ".html"},
                                    {"Data/Languages/Language %d", ".ini"}};
    for (int i = 0; i < 5000; ++i) {
        const auto& kind = kinds[i % 5];
        char folder[80], name[32];
        std::snprintf(folder, sizeof folder, kind[0], (i / 5) % 40);
        std::snprintf(name, sizeof name, "Item%04d%s", i, kind[1]);
        add(fs::path(folder) / name, 1024 + uint64_t(unit(random) * unit(random) * 63 * 1024), nullptr);
    }
    // A few large files: media samples and a database.
    add("Data/Samples/Sample Video.mkv", 80ull << 20, nullptr);
    add("Data/Samples/Sample Music.flac", 45ull << 20, nullptr);
    add("Data/Library.db", 20ull << 20, nullptr);
    return payload;
}

double CpuSeconds(bool userOnly) {
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += double(usage.ru_utime.tv_sec) + double(usage.ru_utime.tv_usec) / 1e6;
        if (!userOnly) total += double(usage.ru_stime.tv_sec) + double(usage.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

Timing Measure(const std::function<void()>& work) {
    const double cpuStart = CpuSeconds(), userStart = CpuSeconds(true);
    const auto start = std::chrono::steady_clock::now();
    work();
    return Timing{std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                  CpuSeconds() - cpuStart, CpuSeconds(true) - userStart};
}

Timing MeasureOnNewMachine(const fs::path& folder, const std::function<void()>& work, const char* program) {
    fs::remove_all(folder);
    std::string error;
    std::unique_ptr<VnSimPlatform> machine = VnSimPlatform::OpenMachine(folder.string(), error);
    if (!machine) {
        std::fprintf(stderr, "%s: %s\n", program, error.c_str());
        std::exit(1);
    }
    VnSetPlatform(machine.get());
    const Timing timing = Measure(work);
    VnSetPlatform(nullptr);
    return timing;
}
