// Decoding raw deflate streams (the compressed data of a zip entry, with no
// zlib or gzip wrapper) through zlib, with a hard limit on the output so that
// a small entry cannot grow without bound.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class VnInflateResult {
    kOk,
    kCorrupt,    // malformed codes or blocks, a distance before the start, or the input ended early
    kTooLarge,   // the output would grow past the limit
};

// Decodes the stream in `input` and appends the bytes to `output`, at most
// `maxOutput` of them. Decoding stops at the end of the final block; bytes
// after it are ignored. On failure `output` holds what was decoded so far.
VnInflateResult VnInflate(std::string_view input, std::string& output, size_t maxOutput);
