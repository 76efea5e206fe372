#include "HttpInternetReader.h"

#include <cstring>

namespace {

constexpr size_t kReceiveBufferSize = 64 * 1024;

// "<text> (<detail>)", built by appending (GCC 12 warns falsely on literal + string).
std::string WithDetail(const char* text, const std::string& detail) {
    std::string joined(text);
    joined.append(" (").append(detail).append(")");
    return joined;
}

std::string SocketProblem(uint32_t error) {
    const std::string number = std::string("error ").append(std::to_string(error));
    switch (error) {
    case vnwin::kWsaTimedOut: return "no answer from server (time-out)";
    case vnwin::kWsaConnRefused: return WithDetail("connection refused", number);
    case vnwin::kWsaHostNotFound: return WithDetail("server not found", number);
    default: return WithDetail("connection failed", number);
    }
}

}  // namespace

HttpReaderLimits& DefaultHttpReaderLimits() {
    static HttpReaderLimits limits;
    return limits;
}

HttpInternetReader::HttpInternetReader(IVnNetwork& network, std::string address, const HttpReaderLimits& limits)
    : network_(network), address_(std::move(address)), limits_(limits), buffer_(new char[kReceiveBufferSize]) {}

HttpInternetReader::~HttpInternetReader() { Disconnect(); }

void HttpInternetReader::Disconnect() {
    if (socket_) network_.CloseSocket(socket_);
    socket_ = 0;
}

void HttpInternetReader::SetFailure(const std::string& text) {
    statusCode_.assign(1, '0');  // (not = "0": GCC 12 warns falsely on it)
    statusText_ = text;
}

bool HttpInternetReader::Open() {
    if (opened_) return parser_.GetStage() != HttpResponseParser::Stage::kFailed && statusCode_[0] == '2';
    opened_ = true;
    HttpUrl url;
    if (!HttpUrl::Parse(address_, url)) {
        SetFailure("unsupported address (only http:// addresses are read)");
        return false;
    }
    for (int redirects = 0;; ++redirects) {
        if (!Request(url)) return false;
        const int status = parser_.GetStatusCode();
        statusCode_ = std::to_string(status);
        statusText_ = parser_.GetReason();
        const std::string* location = parser_.FindHeader("Location");
        const bool redirect = (status == 301 || status == 302 || status == 303 || status == 307 || status == 308);
        if (!redirect || !location) return status >= 200 && status < 300;
        if (redirects >= limits_.maxRedirects) {
            SetFailure(WithDetail("too many redirects", std::string("more than ").append(std::to_string(limits_.maxRedirects))));
            return false;
        }
        HttpUrl next;
        if (!url.Resolve(*location, next)) {
            SetFailure("redirected to an unsupported address");
            return false;
        }
        url = next;
    }
}

bool HttpInternetReader::Request(const HttpUrl& url) {
    Disconnect();
    parser_ = HttpResponseParser();
    bufferStart_ = bufferEnd_ = 0;
    const VnString host = VnString::FromUtf8(url.host);
    if (uint32_t error = network_.Connect(host, url.port, limits_.connectTimeoutMs, socket_)) {
        SetFailure(SocketProblem(error));
        return false;
    }
    std::string request = "GET ";
    request.append(url.target).append(" HTTP/1.1\r\nHost: ").append(url.HostHeader());
    request.append("\r\nUser-Agent: VnReader/1.0\r\nAccept: */*\r\nConnection: close\r\n\r\n");
    if (uint32_t error = network_.Send(socket_, request.data(), uint32_t(request.size()))) {
        SetFailure(SocketProblem(error));
        return false;
    }
    while (parser_.GetStage() == HttpResponseParser::Stage::kHead) {
        if (bufferStart_ == bufferEnd_) {
            bool closed = false;
            std::string problem;
            if (!Receive(closed, problem)) {
                SetFailure(problem);
                return false;
            }
            if (closed) parser_.EndOfInput();
            continue;
        }
        bufferStart_ += parser_.ParseHead(buffer_.get() + bufferStart_, bufferEnd_ - bufferStart_);
    }
    if (parser_.GetStage() == HttpResponseParser::Stage::kFailed) {
        SetFailure(WithDetail("bad response from server", parser_.GetError()));
        return false;
    }
    return true;
}

bool HttpInternetReader::Receive(bool& closed, std::string& problem) {
    closed = false;
    uint32_t received = 0;
    if (uint32_t error =
            network_.Receive(socket_, buffer_.get(), uint32_t(kReceiveBufferSize), limits_.readTimeoutMs, received)) {
        problem = SocketProblem(error);
        return false;
    }
    bufferStart_ = 0;
    bufferEnd_ = received;
    closed = received == 0;
    return true;
}

int32_t HttpInternetReader::GetHeader(const char16_t* name, char16_t* buffer, int32_t capacity) {
    const std::string wanted = VnString(name ? name : u"").ToUtf8();
    std::string value;
    if (wanted == "StatusCode") value = statusCode_;
    else if (wanted == "StatusText") value = statusText_;
    else if (const std::string* header = parser_.FindHeader(wanted)) value = *header;
    else return -1;
    const VnString text = VnString::FromUtf8(value);
    const int32_t length = text.GetLength();
    if (buffer && capacity > 0) {
        const int32_t copied = length < capacity ? length : capacity - 1;
        std::memcpy(buffer, text.c_str(), size_t(copied) * sizeof(char16_t));
        buffer[copied] = 0;
    }
    return length;
}

int32_t HttpInternetReader::Read(void* buffer, int32_t capacity) {
    if (!opened_ || failedRead_ || capacity <= 0) return failedRead_ ? -1 : 0;
    for (;;) {
        switch (parser_.GetStage()) {
        case HttpResponseParser::Stage::kDone: return 0;
        case HttpResponseParser::Stage::kBody: break;
        default: failedRead_ = true; return -1;
        }
        if (bufferStart_ < bufferEnd_) {
            size_t produced = 0;
            bufferStart_ += parser_.ParseBody(buffer_.get() + bufferStart_, bufferEnd_ - bufferStart_,
                                              static_cast<char*>(buffer), size_t(capacity), produced);
            if (produced) return int32_t(produced);
            continue;
        }
        bool closed = false;
        std::string problem;
        if (!Receive(closed, problem)) {
            statusText_ = problem;
            failedRead_ = true;
            return -1;
        }
        if (closed) parser_.EndOfInput();
    }
}

int64_t HttpInternetReader::GetTotalLength() { return opened_ ? parser_.GetContentLength() : -1; }
