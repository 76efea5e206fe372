// An "http://" address taken apart: host, port (80 unless given) and the
// path with its query ("/" when absent). Other schemes are not read: the
// stand-in reader speaks plain HTTP only, which is all the installer's
// dependency downloads need of it.
#pragma once

#include <cstdint>
#include <string>

struct HttpUrl {
    std::string host;
    uint16_t port = 80;
    std::string target = "/";

    // False for anything that is not a well-formed "http://host[:port][/path]".
    static bool Parse(const std::string& address, HttpUrl& url);
    // A redirect's Location: an absolute address, or a path on the same server.
    bool Resolve(const std::string& location, HttpUrl& next) const;
    // "host" or "host:port", for the Host header.
    std::string HostHeader() const;
};
