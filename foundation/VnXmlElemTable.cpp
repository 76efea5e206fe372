#include "VnXmlElemTable.h"

#include <algorithm>
#include <cstring>

VnXmlElemTable::VnXmlElemTable(const VnXmlElemTable& other) { *this = other; }

VnXmlElemTable& VnXmlElemTable::operator=(const VnXmlElemTable& other) {
    if (this == &other) return *this;
    segments_.clear();
    segmentCapacity_.clear();
    count_ = 0;
    capacity_ = 0;
    SetCapacity(std::max<uint32_t>(other.count_, 1));
    for (size_t s = 0; s * kSegmentSize < other.count_; ++s) {
        uint32_t inSegment = std::min<uint32_t>(kSegmentSize, other.count_ - uint32_t(s * kSegmentSize));
        std::memcpy(segments_[s].get(), other.segments_[s].get(), inSegment * sizeof(VnXmlElemRecord));
    }
    count_ = other.count_;
    return *this;
}

void VnXmlElemTable::Reset(uint32_t capacity) {
    segments_.clear();
    segmentCapacity_.clear();
    count_ = 0;
    capacity_ = 0;
    SetCapacity(std::max<uint32_t>(capacity, 1));
    Add();
}

void VnXmlElemTable::Grow() {
    uint64_t wanted = uint64_t(capacity_) + std::max<uint32_t>(capacity_ / 2, 1);
    SetCapacity(uint32_t(std::min<uint64_t>(wanted, 0xFFFFFFFFu)));
}

// Fills up the last segment (the only record copy growing makes) and then
// allocates further segments for the rest.
void VnXmlElemTable::SetCapacity(uint32_t capacity) {
    while (capacity_ < capacity) {
        size_t last = segments_.size();
        if (last > 0 && segmentCapacity_[last - 1] < kSegmentSize) {
            uint32_t old = segmentCapacity_[last - 1];
            uint32_t grown = std::min<uint32_t>(kSegmentSize, old + (capacity - capacity_));
            std::unique_ptr<VnXmlElemRecord[]> bigger(new VnXmlElemRecord[grown]);
            uint32_t used = count_ > (last - 1) * kSegmentSize ? count_ - uint32_t((last - 1) * kSegmentSize) : 0;
            std::memcpy(bigger.get(), segments_[last - 1].get(), std::min(used, old) * sizeof(VnXmlElemRecord));
            segments_[last - 1] = std::move(bigger);
            segmentCapacity_[last - 1] = grown;
            capacity_ += grown - old;
        } else {
            uint32_t size = std::min<uint32_t>(kSegmentSize, capacity - capacity_);
            segments_.emplace_back(new VnXmlElemRecord[size]);
            segmentCapacity_.push_back(size);
            capacity_ += size;
        }
    }
}
