// Decoding raw deflate streams (the compressed data of a zip entry, with no
// zlib or gzip wrapper) through zlib, with a hard limit on the output so that
// a small entry cannot grow without bound.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

enum class VnInflateResult {
    kOk,
    kCorrupt,    // malformed codes or blocks, a distance before the start, or the input ended early
    kTooLarge,   // the output would grow past the limit
    kMore,       // (streaming) the stream goes on past the input given so far
    kStopped,    // (streaming) the sink refused a piece
};

// A stream decoded as its input arrives, its output handed on in pieces of
// at most `kOutputPiece` bytes through a buffer of that size.
class VnInflater {
public:
    static constexpr size_t kOutputPiece = size_t(1) << 20;
    using Sink = std::function<bool(std::string_view piece)>;

    explicit VnInflater(size_t maxOutput);
    ~VnInflater();
    VnInflater(const VnInflater&) = delete;
    VnInflater& operator=(const VnInflater&) = delete;

    // Decodes the next part of the input. kOk at the end of the final block
    // (bytes after it are ignored), kMore when the stream needs more input;
    // after any other result the stream is done with.
    VnInflateResult Feed(std::string_view input, const Sink& sink);

private:
    struct Stream;
    std::unique_ptr<Stream> stream_;
    size_t maxOutput_;
    size_t produced_ = 0;
};

// Decodes the stream in `input` and appends the bytes to `output`, at most
// `maxOutput` of them. Decoding stops at the end of the final block; bytes
// after it are ignored. On failure `output` holds what was decoded so far.
VnInflateResult VnInflate(std::string_view input, std::string& output, size_t maxOutput);
