// Attributes of the simulated machine's files, which Linux cannot hold: kept
// in memory and written to "attributes.txt" in the machine folder by Flush
// (and on destruction): writing the whole file at every change would make a
// copy of many files cost the square of their number. Only entries that differ from the default (archive for a file,
// none for a folder) are kept, keyed by the host path inside the machine
// folder ("drives/C/dir/file"); the file shows them as Windows paths.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

class VnSimFileAttributes {
public:
    // `windowsPathOf` turns a key into the Windows path shown in the file.
    VnSimFileAttributes(std::string machineFolder, std::function<std::string(const std::string&)> windowsPathOf);
    ~VnSimFileAttributes() { Flush(); }
    VnSimFileAttributes(const VnSimFileAttributes&) = delete;
    VnSimFileAttributes& operator=(const VnSimFileAttributes&) = delete;

    // Reads the file; a missing or unreadable file means no entries.
    void Load();
    // The attributes kept for the key; false when it has none (the default).
    bool Find(const std::string& key, uint32_t& attributes) const;
    // Keeps `attributes` for the key, or drops the entry when they equal
    // `defaultAttributes`.
    void Set(const std::string& key, uint32_t attributes, uint32_t defaultAttributes);
    void Erase(const std::string& key);
    // A file moved: its entry follows. A folder moved: its entry and every
    // entry below it follow (a look at every entry; a file's move is one).
    void Move(const std::string& fromKey, const std::string& toKey, bool folder);

    // Writes the file when something changed since the last write.
    void Flush();

private:
    void Save() const;

    std::string file_;
    std::function<std::string(const std::string&)> windowsPathOf_;
    std::unordered_map<std::string, uint32_t> entries_;
    bool dirty_ = false;
};
