#include "HttpResponseParser.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

bool EqualsNoCase(const std::string& a, const char* b) {
    const size_t length = std::strlen(b);
    if (a.size() != length) return false;
    for (size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string Trimmed(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

bool IsTokenCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("!#$%&'*+-.^_`|~", c) != nullptr;
}

// The last entry of a comma-separated list, trimmed.
std::string LastListEntry(const std::string& list) {
    const size_t comma = list.rfind(',');
    return Trimmed(comma == std::string::npos ? list : list.substr(comma + 1));
}

}  // namespace

void HttpResponseParser::Fail(const char* reason) {
    stage_ = Stage::kFailed;
    error_ = reason;
}

bool HttpResponseParser::TakeLine(const char* data, size_t size, size_t& used) {
    if (lineComplete_) {
        line_.clear();
        lineComplete_ = false;
    }
    const char* end = static_cast<const char*>(std::memchr(data + used, '\n', size - used));
    const size_t take = (end ? size_t(end - data) : size) - used;
    if (line_.size() + take > kMaxLineLength) {
        Fail(stage_ == Stage::kHead ? "header line too long" : "chunk line too long");
        return false;
    }
    line_.append(data + used, take);
    used += take;
    if (!end) return false;
    ++used;  // the line feed
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    lineComplete_ = true;
    return true;
}

size_t HttpResponseParser::ParseHead(const char* data, size_t size) {
    size_t used = 0;
    while (stage_ == Stage::kHead && used < size) {
        if (!TakeLine(data, size, used)) break;
        if (++headLines_ > kMaxHeaderLines) {
            Fail("too many header lines");
            break;
        }
        if (!statusSeen_) {
            if (!ParseStatusLine()) break;
        } else if (line_.empty()) {
            // An interim answer (100 Continue) is followed by the real one.
            if (statusCode_ >= 100 && statusCode_ < 200) {
                statusSeen_ = false;
                headers_.clear();
                continue;
            }
            StartBody();
        } else if (!ParseHeaderLine()) {
            break;
        }
    }
    return used;
}

bool HttpResponseParser::ParseStatusLine() {
    // "HTTP/1.x 200 OK"; the reason may be empty.
    const std::string& line = line_;
    const bool shaped = line.size() >= 12 && line.compare(0, 7, "HTTP/1.") == 0 && std::isdigit(uint8_t(line[7])) &&
                        line[8] == ' ' && std::isdigit(uint8_t(line[9])) && std::isdigit(uint8_t(line[10])) &&
                        std::isdigit(uint8_t(line[11])) && (line.size() == 12 || line[12] == ' ');
    if (!shaped || line[9] == '0') {
        Fail("no status line");
        return false;
    }
    statusCode_ = std::stoi(line.substr(9, 3));
    reason_ = line.size() > 13 ? Trimmed(line.substr(13)) : std::string();
    statusSeen_ = true;
    return true;
}

bool HttpResponseParser::ParseHeaderLine() {
    const size_t colon = line_.find(':');
    if (colon == std::string::npos || colon == 0 ||
        !std::all_of(line_.begin(), line_.begin() + colon, IsTokenCharacter)) {
        Fail("malformed header line");
        return false;
    }
    headers_.emplace_back(line_.substr(0, colon), Trimmed(line_.substr(colon + 1)));
    return true;
}

const std::string* HttpResponseParser::FindHeader(const std::string& name) const {
    for (const auto& header : headers_)
        if (EqualsNoCase(header.first, name.c_str())) return &header.second;
    return nullptr;
}

bool HttpResponseParser::StartBody() {
    bool chunked = false;
    for (const auto& header : headers_) {
        if (!EqualsNoCase(header.first, "Transfer-Encoding")) continue;
        if (!EqualsNoCase(LastListEntry(header.second), "chunked")) {
            Fail("unsupported transfer coding");
            return false;
        }
        chunked = true;
    }
    contentLength_ = -1;
    if (!chunked) {
        for (const auto& header : headers_) {
            if (!EqualsNoCase(header.first, "Content-Length")) continue;
            const std::string& value = header.second;
            if (value.empty() || value.size() > size_t(kMaxLengthDigits) ||
                !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
                Fail("invalid Content-Length");
                return false;
            }
            const int64_t length = std::stoll(value);
            if (contentLength_ >= 0 && contentLength_ != length) {
                Fail("conflicting Content-Length");
                return false;
            }
            contentLength_ = length;
        }
    }
    line_.clear();
    lineComplete_ = false;
    stage_ = Stage::kBody;
    if (statusCode_ == 204 || statusCode_ == 304) {
        contentLength_ = 0;
        stage_ = Stage::kDone;
    } else if (chunked) {
        body_ = Body::kChunked;
        chunk_ = Chunk::kSize;
    } else if (contentLength_ >= 0) {
        body_ = Body::kLength;
        remaining_ = uint64_t(contentLength_);
        if (remaining_ == 0) stage_ = Stage::kDone;
    } else {
        body_ = Body::kUntilClose;
    }
    return true;
}

bool HttpResponseParser::ParseChunkSize() {
    // Hex digits, then optional extensions after ";" (ignored).
    const std::string size = Trimmed(line_.substr(0, line_.find(';')));
    if (size.empty() || size.size() > size_t(kMaxLengthDigits) ||
        !std::all_of(size.begin(), size.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); })) {
        Fail("bad chunk size");
        return false;
    }
    remaining_ = std::stoull(size, nullptr, 16);
    chunk_ = remaining_ == 0 ? Chunk::kTrailers : Chunk::kData;
    return true;
}

size_t HttpResponseParser::ParseBody(const char* data, size_t size, char* out, size_t capacity, size_t& produced) {
    produced = 0;
    size_t used = 0;
    while (stage_ == Stage::kBody && used < size) {
        const bool copying = body_ != Body::kChunked || chunk_ == Chunk::kData;
        if (copying) {
            if (produced == capacity) break;
            size_t take = std::min(size - used, capacity - produced);
            if (body_ != Body::kUntilClose) take = size_t(std::min<uint64_t>(take, remaining_));
            std::memcpy(out + produced, data + used, take);
            produced += take;
            used += take;
            if (body_ == Body::kUntilClose) continue;
            remaining_ -= take;
            if (remaining_ == 0) {
                if (body_ == Body::kLength) stage_ = Stage::kDone;
                else chunk_ = Chunk::kDataEnd;
            }
            continue;
        }
        if (!TakeLine(data, size, used)) break;
        switch (chunk_) {
        case Chunk::kSize:
            ParseChunkSize();
            break;
        case Chunk::kDataEnd:
            if (!line_.empty()) Fail("chunk not followed by a line end");
            chunk_ = Chunk::kSize;
            break;
        default:  // trailers, up to the blank line
            if (line_.empty()) stage_ = Stage::kDone;
            else if (++headLines_ > kMaxHeaderLines) Fail("too many header lines");
            break;
        }
    }
    return used;
}

void HttpResponseParser::EndOfInput() {
    if (stage_ == Stage::kBody && body_ == Body::kUntilClose) stage_ = Stage::kDone;
    else if (stage_ == Stage::kHead) Fail(statusSeen_ ? "connection closed within the headers" : "no status line");
    else if (stage_ == Stage::kBody) Fail("connection closed before the end of the body");
}
