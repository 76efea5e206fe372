// The response side of HTTP/1.1 as the reader needs it, fed in pieces as they
// arrive: the status line and headers, then the body framed by
// Content-Length, by chunked transfer coding, or by the end of the
// connection. It never holds more than one line of the head and never any of
// the body: body bytes go straight to the caller's buffer.
//
// Anything malformed or beyond the limits ends in kFailed with a short reason
// for the user ("no status line", "header line too long", ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class HttpResponseParser {
public:
    static constexpr size_t kMaxLineLength = 16 * 1024;
    static constexpr size_t kMaxHeaderLines = 256;
    static constexpr int kMaxLengthDigits = 15;  // bodies below 1 PB

    enum class Stage { kHead, kBody, kDone, kFailed };

    // Reads head bytes; returns how many of `size` it used. It stops after the
    // blank line that ends the head: the rest belongs to the body.
    size_t ParseHead(const char* data, size_t size);
    // Reads body bytes from `data` into `out` (at most `capacity`); returns how
    // many bytes of `data` it used and sets `produced`.
    size_t ParseBody(const char* data, size_t size, char* out, size_t capacity, size_t& produced);
    // The other side closed the connection: a body that runs to the close is
    // complete; a head or a framed body that is not is a failure.
    void EndOfInput();

    Stage GetStage() const { return stage_; }
    int GetStatusCode() const { return statusCode_; }
    const std::string& GetReason() const { return reason_; }
    // The value of a header (name without regard to case); null when absent.
    const std::string* FindHeader(const std::string& name) const;
    // The announced body length; -1 when the body is chunked or runs to the close.
    int64_t GetContentLength() const { return contentLength_; }
    const std::string& GetError() const { return error_; }

private:
    enum class Body { kLength, kChunked, kUntilClose };
    enum class Chunk { kSize, kData, kDataEnd, kTrailers };

    // Gathers one line; true when `line_` holds a whole line (without CR LF).
    bool TakeLine(const char* data, size_t size, size_t& used);
    bool ParseStatusLine();
    bool ParseHeaderLine();
    bool StartBody();
    bool ParseChunkSize();
    void Fail(const char* reason);

    Stage stage_ = Stage::kHead;
    bool statusSeen_ = false;
    std::string line_;
    bool lineComplete_ = false;
    size_t headLines_ = 0;
    int statusCode_ = 0;
    std::string reason_;
    std::vector<std::pair<std::string, std::string>> headers_;
    Body body_ = Body::kUntilClose;
    Chunk chunk_ = Chunk::kSize;
    int64_t contentLength_ = -1;
    uint64_t remaining_ = 0;
    std::string error_;
};
