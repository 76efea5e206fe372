// The identities the installation record has written in this run (kind and
// folded path of every file, folder, link and component), kept compactly: an
// install of thousands of files would otherwise hold a string and a tree node
// per path, megabytes at the install's peak. The texts lie length-prefixed
// in 64 KB blocks that never move; an open-addressing table points at them.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class RecordedIdentities {
public:
    // True the first time `identity` is given (compared byte for byte).
    bool Insert(std::string_view identity);
    size_t Size() const { return count_; }

private:
    static std::string_view TextAt(const char* stored);
    size_t SlotOf(std::string_view identity) const;  // its slot, or the empty slot where it belongs
    const char* Store(std::string_view identity);
    void Grow();

    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t blockUsed_ = 0, blockSize_ = 0;
    std::vector<const char*> slots_;  // null: empty
    size_t count_ = 0;
};
