#include "SimFileAttributes.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {
constexpr const char* kFileName = "attributes.txt";
constexpr const char* kHeader =
    "# Windows file attributes the drive folders cannot hold, one file or folder a line:\n"
    "# <hex attributes> <Windows path>  (1 read-only, 2 hidden, 4 system, 20 archive, 80 normal)\n";
}  // namespace

VnSimFileAttributes::VnSimFileAttributes(std::string machineFolder,
                                         std::function<std::string(const std::string&)> windowsPathOf)
    : file_(machineFolder + "/" + kFileName), windowsPathOf_(std::move(windowsPathOf)) {}

void VnSimFileAttributes::Load() {
    entries_.clear();
    std::ifstream in(file_);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        size_t space = line.find(' ');
        if (space == std::string::npos) continue;
        // One to eight hex digits: no sign, no blank, nothing that wraps.
        if (space == 0 || space > 8 || line.find_first_not_of("0123456789abcdefABCDEF") < space) continue;
        const uint32_t value = uint32_t(std::strtoul(line.substr(0, space).c_str(), nullptr, 16));
        // Back from "C:\dir\file" to the key "drives/C/dir/file".
        std::string path = line.substr(space + 1);
        if (path.size() < 3 || path[1] != ':') continue;
        std::string key = std::string("drives/") + char(std::toupper(static_cast<unsigned char>(path[0])));
        std::string rest = path.substr(2);
        while (!rest.empty() && rest.back() == '\\') rest.pop_back();
        for (char& c : rest)
            if (c == '\\') c = '/';
        entries_[key + rest] = uint32_t(value);
    }
}

bool VnSimFileAttributes::Find(const std::string& key, uint32_t& attributes) const {
    if (entries_.empty()) return false;
    auto found = entries_.find(key);
    if (found == entries_.end()) return false;
    attributes = found->second;
    return true;
}

void VnSimFileAttributes::Set(const std::string& key, uint32_t attributes, uint32_t defaultAttributes) {
    if (attributes == defaultAttributes) {
        Erase(key);
        return;
    }
    auto [entry, added] = entries_.try_emplace(key, attributes);  // one hash of the key, not two
    if (!added && entry->second == attributes) return;
    entry->second = attributes;
    dirty_ = true;
}

void VnSimFileAttributes::Erase(const std::string& key) {
    if (entries_.erase(key)) dirty_ = true;
}

void VnSimFileAttributes::Move(const std::string& fromKey, const std::string& toKey, bool folder) {
    if (entries_.empty()) return;
    if (!folder) {
        auto entry = entries_.find(fromKey);
        if (entry == entries_.end()) return;
        const uint32_t attributes = entry->second;
        entries_.erase(entry);
        entries_[toKey] = attributes;
        dirty_ = true;
        return;
    }
    std::unordered_map<std::string, uint32_t> moved;
    for (auto it = entries_.begin(); it != entries_.end();) {
        const std::string& key = it->first;
        bool below = key.size() > fromKey.size() && key.compare(0, fromKey.size(), fromKey) == 0 &&
                     key[fromKey.size()] == '/';
        if (key == fromKey || below) {
            moved[toKey + key.substr(fromKey.size())] = it->second;
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
    if (moved.empty()) return;
    for (auto& entry : moved) entries_[entry.first] = entry.second;
    dirty_ = true;
}

void VnSimFileAttributes::Flush() {
    if (!dirty_) return;
    Save();
    dirty_ = false;
}

void VnSimFileAttributes::Save() const {
    // Sorted, so that the file reads well and compares between runs.
    std::map<std::string, uint32_t> sorted;
    for (const auto& entry : entries_) sorted[windowsPathOf_(entry.first)] = entry.second;
    std::ostringstream text;
    text << kHeader;
    for (const auto& entry : sorted) {
        char value[16];
        std::snprintf(value, sizeof value, "%x", entry.second);
        text << value << ' ' << entry.first << '\n';
    }
    std::string temporary = file_ + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << text.str();
    }
    std::rename(temporary.c_str(), file_.c_str());
}
