// The stand-in reader: a plain HTTP/1.1 client over the platform's network
// (Windows sockets on Windows, the simulated machine's loopback network
// natively). One GET per address with "Connection: close", redirects
// followed up to a limit, a connect and a read time-out. HTTPS is not
// spoken: the stand-in only has to fetch the dependency set-ups from
// servers of the tests, and reports any other address as unsupported.
#pragma once

#include <memory>
#include <string>

#include "HttpResponseParser.h"
#include "HttpUrl.h"
#include "InternetReader.h"
#include "VnPlatform.h"

struct HttpReaderLimits {
    uint32_t connectTimeoutMs = 15000;
    uint32_t readTimeoutMs = 30000;
    int maxRedirects = 10;
};

// The limits new readers get; tests shorten the time-outs.
HttpReaderLimits& DefaultHttpReaderLimits();

class HttpInternetReader final : public InternetReader {
public:
    HttpInternetReader(IVnNetwork& network, std::string address, const HttpReaderLimits& limits);
    ~HttpInternetReader();

    bool Open() override;
    int32_t GetHeader(const char16_t* name, char16_t* buffer, int32_t capacity) override;
    int32_t Read(void* buffer, int32_t capacity) override;
    int64_t GetTotalLength() override;
    void Release() override { delete this; }

private:
    // One request to `url`: connect, send, read the head. False with the
    // status set to why when no usable head came.
    bool Request(const HttpUrl& url);
    // More bytes from the connection into the receive buffer; false on an
    // error or time-out (the status text says which), `closed` at the end.
    bool Receive(bool& closed, std::string& problem);
    void Disconnect();
    void SetFailure(const std::string& text);

    IVnNetwork& network_;
    std::string address_;
    HttpReaderLimits limits_;
    VnSocket socket_ = 0;
    HttpResponseParser parser_;
    std::unique_ptr<char[]> buffer_;
    size_t bufferStart_ = 0, bufferEnd_ = 0;
    std::string statusCode_ = "0";
    std::string statusText_;
    bool opened_ = false;
    bool failedRead_ = false;
};
