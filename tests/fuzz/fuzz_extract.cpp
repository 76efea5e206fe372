// Any bytes as a zip archive extracted to disk on a simulated machine, with
// and without its folders: whatever it holds, nothing is written outside the
// target folder, and the target folder is emptied again after each input.
// fuzz-link: vn_tools
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "ToolsArchiveExtractor.h"
#include "fuzz_sim_machine.h"

namespace {

class SilentLog final : public ToolsLog {
public:
    void Write(const VnString&, const VnString&) override {}
    uint64_t BeginScope(const VnString&) override { return 0; }
    void EndScope(const VnString&, uint64_t, bool, int) override {}
    void Flush() override {}
    VnString GetLogFilePath() override { return VnString(); }
};

// Every file and folder of drive C: on the host side, except below the target.
std::set<std::string> DriveOutsideTarget() {
    std::set<std::string> paths;
    const std::filesystem::path drive = std::filesystem::path(FuzzSimFolder()) / "drives" / "C";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(drive)) {
        const std::string relative = std::filesystem::relative(entry.path(), drive).string();
        if (relative.rfind("Out", 0) != 0) paths.insert(relative);
    }
    return paths;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::set<std::string> before = [] {
        FuzzSimMachine().Files().WriteFile(u"C:\\archive.zip", std::string());
        return DriveOutsideTarget();
    }();
    IVnFiles& files = VnPlatform().Files();
    files.WriteFile(u"C:\\archive.zip", std::string(reinterpret_cast<const char*>(data), size));
    SilentLog log;
    ToolsArchiveExtractor extractor(log);
    for (bool keepFolders : {true, false}) {
        extractor.Extract(u"C:\\archive.zip", u"C:\\Out\\Here", keepFolders);
        if (DriveOutsideTarget() != before) std::abort();
        FuzzDeleteTree(u"C:\\Out");
    }
    return 0;
}
