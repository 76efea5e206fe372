#include "VnInflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace {
constexpr size_t kChunk = size_t(1) << 16;

// zlib counts in 32-bit units: feed it at most this much at a time.
uInt ChunkOf(size_t size) { return uInt(std::min<size_t>(size, UINT_MAX / 2)); }
}  // namespace

VnInflateResult VnInflate(std::string_view input, std::string& output, size_t maxOutput) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return VnInflateResult::kCorrupt;
    const size_t start = output.size();
    size_t consumed = 0;
    VnInflateResult result = VnInflateResult::kCorrupt;
    for (;;) {
        const size_t produced = output.size() - start;
        // One byte past the limit is asked for, so that a stream that would
        // grow further is told apart from one that ends exactly at it.
        const size_t room = std::min(kChunk, maxOutput - produced + 1);
        output.resize(start + produced + room);
        stream.next_out = reinterpret_cast<Bytef*>(output.data() + start + produced);
        stream.avail_out = uInt(room);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data() + consumed));
        stream.avail_in = ChunkOf(input.size() - consumed);
        const uInt offered = stream.avail_in;
        const int status = inflate(&stream, Z_NO_FLUSH);
        consumed += offered - stream.avail_in;
        output.resize(start + produced + (room - stream.avail_out));
        if (output.size() - start > maxOutput) {
            output.resize(start + maxOutput);
            result = VnInflateResult::kTooLarge;
            break;
        }
        if (status == Z_STREAM_END) {
            result = VnInflateResult::kOk;
            break;
        }
        if (status == Z_OK) continue;
        // Z_BUF_ERROR: no progress with all input used, the stream was cut
        // short. Everything else is damage.
        break;
    }
    inflateEnd(&stream);
    return result;
}
