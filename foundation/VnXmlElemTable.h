// VnXmlElemTable: the element records of a parsed XML document.
//
// A record holds offsets into the document text and the tree links; it is
// addressed by a 32-bit index whose high 16 bits select a segment and whose low
// 16 bits select the record within it. Segments hold up to 65536 records and
// are allocated separately, so growing the table copies at most the one
// partly-filled last segment and never moves any other record.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// Trivially constructible so that a new segment is not cleared twice.
struct VnXmlElemRecord {
    enum Flags : uint32_t {
        kNotEnded = 1,    // the element had no matching end tag
        kEmptyForm = 2,   // written as <name/>
    };
    int32_t start;        // offset of the '<' of the start tag
    int32_t length;       // from the start tag up to the end of the end tag
    int32_t startTagLength;
    uint32_t flags;
    uint32_t parent;
    uint32_t firstChild;   // 0: none
    uint32_t nextSibling;  // 0: none
    uint32_t prevSibling;  // of the first child: the last child (circular)

    int32_t End() const { return start + length; }
    int32_t ContentStart() const { return start + startTagLength; }
};

class VnXmlElemTable {
public:
    static constexpr uint32_t kSegmentBits = 16;
    static constexpr uint32_t kSegmentSize = 1u << kSegmentBits;

    VnXmlElemTable() = default;
    VnXmlElemTable(const VnXmlElemTable& other);
    VnXmlElemTable& operator=(const VnXmlElemTable& other);
    VnXmlElemTable(VnXmlElemTable&&) noexcept = default;
    VnXmlElemTable& operator=(VnXmlElemTable&&) noexcept = default;

    // Drops every record and makes room for `capacity` records; record 0 (the
    // document itself) is in use afterwards.
    void Reset(uint32_t capacity);
    // Adds a zeroed record and returns its index (grows by half when full).
    uint32_t Add() {
        if (count_ == capacity_) Grow();
        uint32_t index = count_++;
        VnXmlElemRecord& r = At(index);
        r = VnXmlElemRecord{};
        return index;
    }
    VnXmlElemRecord& At(uint32_t index) { return segments_[index >> kSegmentBits][index & (kSegmentSize - 1)]; }
    const VnXmlElemRecord& At(uint32_t index) const {
        return segments_[index >> kSegmentBits][index & (kSegmentSize - 1)];
    }
    uint32_t GetCount() const { return count_; }
    uint32_t GetCapacity() const { return capacity_; }
    size_t GetSegmentCount() const { return segments_.size(); }

private:
    void Grow();
    void SetCapacity(uint32_t capacity);

    std::vector<std::unique_ptr<VnXmlElemRecord[]>> segments_;
    std::vector<uint32_t> segmentCapacity_;
    uint32_t count_;
    uint32_t capacity_;
};
