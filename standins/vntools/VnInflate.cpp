#include "VnInflate.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr int kMaxCodeBits = 15;
constexpr int kLiteralLengthCodes = 288;
constexpr int kDistanceCodes = 30;
constexpr int kEndOfBlock = 256;

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                        193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block lists the lengths of its code-length code.
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Bits are taken least significant first, as deflate packs them.
class BitReader {
public:
    explicit BitReader(std::string_view input)
        : next_(reinterpret_cast<const uint8_t*>(input.data())), end_(next_ + input.size()) {}

    // Makes at least `count` (at most 32) bits available; false at the end of the input.
    bool Need(int count) {
        while (available_ < count) {
            if (next_ == end_) return false;
            bits_ |= uint64_t(*next_++) << available_;
            available_ += 8;
        }
        return true;
    }
    uint32_t Peek() const { return uint32_t(bits_); }
    void Drop(int count) {
        bits_ >>= count;
        available_ -= count;
    }
    bool Read(int count, uint32_t& value) {
        if (!Need(count)) return false;
        value = uint32_t(bits_ & ((uint64_t(1) << count) - 1));
        Drop(count);
        return true;
    }
    void SkipToByte() { Drop(available_ % 8); }
    // Copies whole bytes after SkipToByte: first those already in the bit
    // buffer, then straight from the input.
    bool CopyBytes(size_t count, std::string& output) {
        for (; count > 0 && available_ >= 8; --count) {
            output.push_back(char(bits_ & 0xFF));
            Drop(8);
        }
        if (size_t(end_ - next_) < count) return false;
        output.append(reinterpret_cast<const char*>(next_), count);
        next_ += count;
        return true;
    }

private:
    const uint8_t* next_;
    const uint8_t* end_;
    uint64_t bits_ = 0;
    int available_ = 0;
};

// A canonical Huffman code. Codes of up to kFastBits bits are found with one
// table look-up; longer ones are decoded bit by bit from the per-length counts.
class HuffmanCode {
public:
    // False when the lengths over-subscribe the code. An incomplete code is
    // accepted; its unused bit patterns fail when met.
    bool Build(const uint8_t* lengths, int count) {
        std::memset(counts_, 0, sizeof counts_);
        std::memset(fast_, 0, sizeof fast_);
        for (int symbol = 0; symbol < count; ++symbol) ++counts_[lengths[symbol]];
        counts_[0] = 0;
        int left = 1;
        for (int length = 1; length <= kMaxCodeBits; ++length) {
            left = left * 2 - counts_[length];
            if (left < 0) return false;
        }
        uint16_t offsets[kMaxCodeBits + 2] = {};
        for (int length = 1; length <= kMaxCodeBits; ++length) offsets[length + 1] = offsets[length] + counts_[length];
        for (int symbol = 0; symbol < count; ++symbol)
            if (lengths[symbol]) symbols_[offsets[lengths[symbol]]++] = uint16_t(symbol);
        FillFastTable();
        return true;
    }

    // The next symbol, or -1 when the bits form no code (or the input ended).
    int Decode(BitReader& reader) const {
        if (reader.Need(kFastBits)) {
            uint16_t entry = fast_[reader.Peek() & ((1u << kFastBits) - 1)];
            if (entry & kLengthMask) {
                reader.Drop(entry & kLengthMask);
                return entry >> 4;
            }
        }
        int code = 0, first = 0, index = 0;
        for (int length = 1; length <= kMaxCodeBits; ++length) {
            uint32_t bit;
            if (!reader.Read(1, bit)) return -1;
            code |= int(bit);
            int count = counts_[length];
            if (code - first < count) return symbols_[index + code - first];
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return -1;
    }

private:
    static constexpr int kFastBits = 9;
    static constexpr uint16_t kLengthMask = 0xF;

    void FillFastTable() {
        int code = 0, index = 0;
        for (int length = 1; length <= kFastBits; ++length) {
            for (int i = 0; i < counts_[length]; ++i, ++code, ++index) {
                int reversed = 0;
                for (int bit = 0; bit < length; ++bit) reversed |= ((code >> bit) & 1) << (length - 1 - bit);
                for (int fill = reversed; fill < (1 << kFastBits); fill += 1 << length)
                    fast_[fill] = uint16_t(symbols_[index] << 4 | length);
            }
            code <<= 1;
        }
    }

    uint16_t counts_[kMaxCodeBits + 1];
    uint16_t symbols_[kLiteralLengthCodes];
    uint16_t fast_[1 << kFastBits];  // symbol << 4 | code length; 0: not a short code
};

class Inflater {
public:
    Inflater(std::string_view input, std::string& output, size_t maxOutput)
        : reader_(input),
          output_(output),
          start_(output.size()),
          limit_(maxOutput > SIZE_MAX - start_ ? SIZE_MAX : start_ + maxOutput) {}

    VnInflateResult Run() {
        uint32_t last = 0;
        do {
            uint32_t type;
            if (!reader_.Read(1, last) || !reader_.Read(2, type)) return VnInflateResult::kCorrupt;
            VnInflateResult result = type == 0   ? StoredBlock()
                                     : type == 1 ? FixedBlock()
                                     : type == 2 ? DynamicBlock()
                                                 : VnInflateResult::kCorrupt;
            if (result != VnInflateResult::kOk) return result;
        } while (!last);
        return VnInflateResult::kOk;
    }

private:
    VnInflateResult StoredBlock() {
        reader_.SkipToByte();
        uint32_t length, complement;
        if (!reader_.Read(16, length) || !reader_.Read(16, complement)) return VnInflateResult::kCorrupt;
        if (length != (~complement & 0xFFFF)) return VnInflateResult::kCorrupt;
        if (output_.size() + length > limit_) return VnInflateResult::kTooLarge;
        return reader_.CopyBytes(length, output_) ? VnInflateResult::kOk : VnInflateResult::kCorrupt;
    }

    VnInflateResult FixedBlock() {
        static const FixedCodes fixed;
        return DecodeSymbols(fixed.literals, fixed.distances);
    }

    VnInflateResult DynamicBlock() {
        uint32_t literalCount, distanceCount, codeLengthCount;
        if (!reader_.Read(5, literalCount) || !reader_.Read(5, distanceCount) || !reader_.Read(4, codeLengthCount))
            return VnInflateResult::kCorrupt;
        literalCount += 257;
        distanceCount += 1;
        codeLengthCount += 4;
        if (literalCount > 286 || distanceCount > kDistanceCodes) return VnInflateResult::kCorrupt;

        uint8_t codeLengthLengths[19] = {};
        for (uint32_t i = 0; i < codeLengthCount; ++i) {
            uint32_t length;
            if (!reader_.Read(3, length)) return VnInflateResult::kCorrupt;
            codeLengthLengths[kCodeLengthOrder[i]] = uint8_t(length);
        }
        HuffmanCode codeLengthCode;
        if (!codeLengthCode.Build(codeLengthLengths, 19)) return VnInflateResult::kCorrupt;

        // Literal/length and distance lengths form one sequence; a repeat may cross from one to the other.
        uint8_t lengths[286 + kDistanceCodes] = {};
        uint32_t total = literalCount + distanceCount;
        for (uint32_t i = 0; i < total;) {
            int symbol = codeLengthCode.Decode(reader_);
            if (symbol < 0) return VnInflateResult::kCorrupt;
            if (symbol < 16) {
                lengths[i++] = uint8_t(symbol);
                continue;
            }
            uint32_t repeat;
            uint8_t value = 0;
            if (symbol == 16) {
                if (i == 0 || !reader_.Read(2, repeat)) return VnInflateResult::kCorrupt;
                value = lengths[i - 1];
                repeat += 3;
            } else if (symbol == 17) {
                if (!reader_.Read(3, repeat)) return VnInflateResult::kCorrupt;
                repeat += 3;
            } else {
                if (!reader_.Read(7, repeat)) return VnInflateResult::kCorrupt;
                repeat += 11;
            }
            if (i + repeat > total) return VnInflateResult::kCorrupt;
            while (repeat--) lengths[i++] = value;
        }
        if (lengths[kEndOfBlock] == 0) return VnInflateResult::kCorrupt;

        HuffmanCode literals, distances;
        if (!literals.Build(lengths, int(literalCount)) || !distances.Build(lengths + literalCount, int(distanceCount)))
            return VnInflateResult::kCorrupt;
        return DecodeSymbols(literals, distances);
    }

    VnInflateResult DecodeSymbols(const HuffmanCode& literals, const HuffmanCode& distances) {
        for (;;) {
            int symbol = literals.Decode(reader_);
            if (symbol < 0) return VnInflateResult::kCorrupt;
            if (symbol < 256) {
                if (output_.size() >= limit_) return VnInflateResult::kTooLarge;
                output_.push_back(char(symbol));
                continue;
            }
            if (symbol == kEndOfBlock) return VnInflateResult::kOk;
            symbol -= 257;
            if (symbol >= 29) return VnInflateResult::kCorrupt;
            uint32_t extra;
            if (!reader_.Read(kLengthExtra[symbol], extra)) return VnInflateResult::kCorrupt;
            size_t length = kLengthBase[symbol] + extra;

            int distanceSymbol = distances.Decode(reader_);
            if (distanceSymbol < 0 || distanceSymbol >= kDistanceCodes) return VnInflateResult::kCorrupt;
            if (!reader_.Read(kDistanceExtra[distanceSymbol], extra)) return VnInflateResult::kCorrupt;
            size_t distance = kDistanceBase[distanceSymbol] + extra;

            if (distance > output_.size() - start_) return VnInflateResult::kCorrupt;
            if (output_.size() + length > limit_) return VnInflateResult::kTooLarge;
            // Byte by byte: the copy may overlap the bytes it produces.
            size_t from = output_.size() - distance;
            for (size_t i = 0; i < length; ++i) output_.push_back(output_[from + i]);
        }
    }

    struct FixedCodes {
        HuffmanCode literals, distances;
        FixedCodes() {
            uint8_t lengths[kLiteralLengthCodes];
            for (int i = 0; i < kLiteralLengthCodes; ++i) lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
            literals.Build(lengths, kLiteralLengthCodes);
            uint8_t distanceLengths[kDistanceCodes];
            std::memset(distanceLengths, 5, sizeof distanceLengths);
            distances.Build(distanceLengths, kDistanceCodes);
        }
    };

    BitReader reader_;
    std::string& output_;
    size_t start_;
    size_t limit_;
};

}  // namespace

VnInflateResult VnInflate(std::string_view input, std::string& output, size_t maxOutput) {
    return Inflater(input, output, maxOutput).Run();
}
