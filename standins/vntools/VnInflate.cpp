#include "VnInflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

struct VnInflater::Stream {
    z_stream z{};
    bool ready = false;
    // Left uninitialised: zlib writes before anything is read.
    std::unique_ptr<char[]> buffer;
    size_t capacity = 0;
};

VnInflater::VnInflater(size_t maxOutput) : stream_(std::make_unique<Stream>()), maxOutput_(maxOutput) {
    stream_->ready = inflateInit2(&stream_->z, -MAX_WBITS) == Z_OK;
}

VnInflater::~VnInflater() {
    if (stream_->ready) inflateEnd(&stream_->z);
}

VnInflateResult VnInflater::Feed(std::string_view input, const Sink& sink) {
    if (!stream_->ready) return VnInflateResult::kCorrupt;
    z_stream& z = stream_->z;
    for (;;) {
        // zlib counts in 32-bit units: input is offered at most this much at a time.
        const uInt offered = uInt(std::min<size_t>(input.size(), UINT_MAX / 2));
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
        z.avail_in = offered;
        // One byte past the limit is asked for, so that a stream that would
        // grow further is told apart from one that ends exactly at it.
        const size_t left = maxOutput_ - produced_;
        const size_t room = left >= kOutputPiece ? kOutputPiece : left + 1;
        if (stream_->capacity < room) {
            stream_->capacity = std::min(kOutputPiece, std::max(room, size_t(1) << 16));
            stream_->buffer.reset(new char[stream_->capacity]);
        }
        char* buffer = stream_->buffer.get();
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = uInt(room);
        const int status = inflate(&z, Z_NO_FLUSH);
        input.remove_prefix(offered - z.avail_in);
        const size_t got = room - z.avail_out;
        produced_ += got;
        if (produced_ > maxOutput_) return VnInflateResult::kTooLarge;
        if (got > 0 && !sink(std::string_view(buffer, got))) return VnInflateResult::kStopped;
        if (status == Z_STREAM_END) return VnInflateResult::kOk;
        // Z_BUF_ERROR: no progress without more input. Anything else is damage.
        if (status != Z_OK && status != Z_BUF_ERROR) return VnInflateResult::kCorrupt;
        if (input.empty() && z.avail_out > 0) return VnInflateResult::kMore;
        if (status == Z_BUF_ERROR && z.avail_out > 0) return VnInflateResult::kCorrupt;
    }
}

VnInflateResult VnInflate(std::string_view input, std::string& output, size_t maxOutput) {
    VnInflater inflater(maxOutput);
    VnInflateResult result = inflater.Feed(input, [&](std::string_view piece) {
        output.append(piece);
        return true;
    });
    // The input ended before the stream did.
    return result == VnInflateResult::kMore ? VnInflateResult::kCorrupt : result;
}
