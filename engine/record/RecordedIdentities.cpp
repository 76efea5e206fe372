#include "RecordedIdentities.h"

#include <cstring>

namespace {
constexpr size_t kBlockBytes = 64 * 1024;
constexpr size_t kLengthBytes = sizeof(uint32_t);

uint64_t HashOf(std::string_view text) {  // FNV-1a
    uint64_t hash = 14695981039346656037ull;
    for (char c : text) hash = (hash ^ uint8_t(c)) * 1099511628211ull;
    return hash;
}
}  // namespace

std::string_view RecordedIdentities::TextAt(const char* stored) {
    uint32_t length;
    std::memcpy(&length, stored, kLengthBytes);
    return std::string_view(stored + kLengthBytes, length);
}

size_t RecordedIdentities::SlotOf(std::string_view identity) const {
    const size_t mask = slots_.size() - 1;
    size_t slot = size_t(HashOf(identity)) & mask;
    while (slots_[slot] && TextAt(slots_[slot]) != identity) slot = (slot + 1) & mask;
    return slot;
}

const char* RecordedIdentities::Store(std::string_view identity) {
    const size_t needed = kLengthBytes + identity.size();
    if (blocks_.empty() || blockUsed_ + needed > blockSize_) {
        blockSize_ = needed > kBlockBytes ? needed : kBlockBytes;  // a long text gets a block of its own
        blocks_.push_back(std::make_unique<char[]>(blockSize_));
        blockUsed_ = 0;
    }
    char* stored = blocks_.back().get() + blockUsed_;
    const uint32_t length = uint32_t(identity.size());
    std::memcpy(stored, &length, kLengthBytes);
    std::memcpy(stored + kLengthBytes, identity.data(), identity.size());
    blockUsed_ += needed;
    return stored;
}

void RecordedIdentities::Grow() {
    std::vector<const char*> old = std::move(slots_);
    slots_.assign(old.empty() ? 1024 : old.size() * 2, nullptr);
    for (const char* stored : old)
        if (stored) slots_[SlotOf(TextAt(stored))] = stored;
}

bool RecordedIdentities::Insert(std::string_view identity) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();  // at most half full, so probes stay short
    const size_t slot = SlotOf(identity);
    if (slots_[slot]) return false;
    slots_[slot] = Store(identity);
    ++count_;
    return true;
}
