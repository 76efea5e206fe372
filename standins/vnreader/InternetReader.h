// The internet reader of the product's reader library "VnReader.dll", as the
// installer uses it: the exported factory "CreateInternetReaderDLL" takes an
// address and returns a reader; the reader opens the connection, answers
// header queries by name ("StatusCode", "StatusText" or a response header),
// reads the body in blocks into the caller's buffer, tells the total length
// when it is known, and is released by the caller.
//
// Only plain characters and numbers cross the library boundary, so the
// installer and the library need not share a heap or a string type.
#pragma once

#include <cstdint>

class InternetReader {
public:
    // Connects, sends the request and reads the response up to its body,
    // following redirects. False when the request failed: no usable
    // response, or a status other than 2xx; the status headers say why.
    virtual bool Open() = 0;
    // Copies the header's text (without a terminating zero beyond
    // `capacity`) and returns its full length; -1 when there is no such
    // header. "StatusCode" and "StatusText" are always there after Open.
    virtual int32_t GetHeader(const char16_t* name, char16_t* buffer, int32_t capacity) = 0;
    // Reads the next block of the body: the number of bytes (1 to
    // `capacity`), 0 at its end, -1 on a read error (the connection broke,
    // timed out, or the body does not match its framing).
    virtual int32_t Read(void* buffer, int32_t capacity) = 0;
    // The body's length in bytes; -1 when the response does not say.
    virtual int64_t GetTotalLength() = 0;
    // Closes the connection and frees the reader.
    virtual void Release() = 0;

protected:
    ~InternetReader() = default;
};

// The factory's exported name and type.
constexpr const char* kCreateInternetReaderExport = "CreateInternetReaderDLL";
using CreateInternetReaderFn = InternetReader* (*)(const char16_t* address);
