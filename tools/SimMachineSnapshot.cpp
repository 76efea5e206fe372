#include "SimMachineSnapshot.h"

#include <cstdio>
#include <filesystem>

#include "VnSimPlatform.h"

namespace fs = std::filesystem;

namespace {

// "drives/C/Program Files/x" below the machine folder -> "C:\Program Files\x".
std::string WindowsPathOf(const fs::path& relative) {
    auto part = relative.begin();
    std::string path = part->string();
    path += ':';
    for (++part; part != relative.end(); ++part) {
        path += '\\';
        path += part->string();
    }
    if (path.size() == 2) path += "\\";
    return path;
}

std::string Quoted(const VnString& text) {
    VnString escaped = text;
    escaped.Replace(u"\\", u"\\\\");
    escaped.Replace(u"\"", u"\\\"");
    escaped.Replace(u"\r", u"\\r");
    escaped.Replace(u"\n", u"\\n");
    std::string quoted = "\"";
    quoted += escaped.ToUtf8();
    quoted += '"';
    return quoted;
}

std::string RenderValue(const VnSimRegValueData& data) {
    VnRegValue value = VnSimRegDecode(data.type, data.data);
    char prefix[32];
    switch (value.type) {
        case vnwin::kRegSz: return Quoted(value.text);
        case vnwin::kRegExpandSz: return "expand:" + Quoted(value.text);
        case vnwin::kRegMultiSz: return "multi:" + Quoted(value.text);
        case vnwin::kRegDword:
            std::snprintf(prefix, sizeof prefix, "dword:%08x", unsigned(value.number));
            return prefix + (" (" + std::to_string(value.number) + ")");
        case vnwin::kRegQword:
            std::snprintf(prefix, sizeof prefix, "qword:%016llx", static_cast<unsigned long long>(value.number));
            return prefix;
        default: break;
    }
    std::snprintf(prefix, sizeof prefix, "hex(%x):", unsigned(data.type));
    std::string text = prefix;
    for (size_t i = 0; i < data.data.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, i ? ",%02x" : "%02x", data.data[i]);
        text += byte;
    }
    return text;
}

template <class Map, class Describe>
void CompareMaps(const Map& before, const Map& after, std::vector<std::string>& lines, Describe describe) {
    for (const auto& [name, state] : after) {
        auto old = before.find(name);
        if (old == before.end()) lines.push_back("+ " + describe(name, state));
        else if (!(old->second == state)) lines.push_back("~ " + describe(name, state));
    }
    for (const auto& [name, state] : before)
        if (!after.count(name)) lines.push_back("- " + describe(name, state));
}

}  // namespace

SimMachineSnapshot SimMachineSnapshot::Take(VnSimPlatform& machine) {
    SimMachineSnapshot snapshot;
    const fs::path drives = fs::path(machine.MachineFolder()) / "drives";
    std::error_code error;
    for (fs::recursive_directory_iterator it(drives, error), end; !error && it != end; it.increment(error)) {
        FileState state;
        state.folder = it->is_directory(error);
        if (!state.folder) {
            state.size = it->file_size(error);
            state.writeTime = int64_t(it->last_write_time(error).time_since_epoch().count());
        }
        snapshot.files[WindowsPathOf(it->path().lexically_relative(drives))] = state;
    }

    machine.SimRegistry().Hive().VisitAll([&](VnRegRoot root, const VnSimRegNode& node, std::u16string_view below) {
        VnString path = VnSimRegHive::RootName(root);
        if (!below.empty()) path += u"\\" + VnString(below);
        const std::string key = path.ToUtf8();
        snapshot.keys.insert(key);
        for (const VnSimRegValueData& value : node.Values())
            snapshot.values[key + " : " + (value.name.IsEmpty() ? std::string("@") : Quoted(value.name))] =
                RenderValue(value);
    });
    return snapshot;
}

SimMachineChanges CompareSnapshots(const SimMachineSnapshot& before, const SimMachineSnapshot& after) {
    SimMachineChanges changes;
    CompareMaps(before.files, after.files, changes.files, [](const std::string& path, const SimMachineSnapshot::FileState& state) {
        return state.folder ? path + "\\" : path + " (" + std::to_string(state.size) + " bytes)";
    });

    for (const std::string& key : after.keys)
        if (!before.keys.count(key)) changes.registry.push_back("+ [" + key + "]");
    for (const std::string& key : before.keys)
        if (!after.keys.count(key)) changes.registry.push_back("- [" + key + "]");
    CompareMaps(before.values, after.values, changes.registry,
                [](const std::string& name, const std::string& data) { return name + " = " + data; });
    return changes;
}
