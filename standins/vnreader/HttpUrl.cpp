#include "HttpUrl.h"

#include <cctype>

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    size_t i = 0;
    for (; prefix[i]; ++i)
        if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

bool IsHostCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
}

// Characters that may not travel in a request line unescaped.
bool IsTargetCharacter(char c) { return static_cast<unsigned char>(c) > 0x20 && c != 0x7F; }

}  // namespace

bool HttpUrl::Parse(const std::string& address, HttpUrl& url) {
    constexpr const char* kScheme = "http://";
    if (!StartsWithNoCase(address, kScheme)) return false;
    const size_t hostStart = 7;
    size_t end = address.find_first_of("/?#", hostStart);
    if (end == std::string::npos) end = address.size();
    std::string authority = address.substr(hostStart, end - hostStart);
    if (authority.find('@') != std::string::npos) return false;  // no user names in a download address
    HttpUrl parsed;
    const size_t colon = authority.rfind(':');
    if (colon != std::string::npos) {
        const std::string port = authority.substr(colon + 1);
        if (port.empty() || port.size() > 5) return false;
        unsigned value = 0;
        for (char c : port) {
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
            value = value * 10 + unsigned(c - '0');
        }
        if (value == 0 || value > 65535) return false;
        parsed.port = uint16_t(value);
        authority.resize(colon);
    }
    if (authority.empty() || authority.size() > 253) return false;
    for (char c : authority)
        if (!IsHostCharacter(c)) return false;
    parsed.host = authority;
    std::string target = address.substr(end);
    const size_t fragment = target.find('#');
    if (fragment != std::string::npos) target.resize(fragment);
    if (target.empty() || target[0] == '?') target.insert(0, "/");
    for (char c : target)
        if (!IsTargetCharacter(c)) return false;
    parsed.target = target;
    url = parsed;
    return true;
}

bool HttpUrl::Resolve(const std::string& location, HttpUrl& next) const {
    if (location.empty()) return false;
    if (location.find("://") != std::string::npos) return Parse(location, next);
    if (location.size() >= 2 && location[0] == '/' && location[1] == '/') return Parse("http:" + location, next);
    if (location[0] != '/') return false;  // relative to the path: servers do not send it for downloads
    for (char c : location)
        if (!IsTargetCharacter(c)) return false;
    next = *this;
    next.target = location.substr(0, location.find('#'));
    return true;
}

std::string HttpUrl::HostHeader() const {
    return port == 80 ? host : host + ":" + std::to_string(port);
}
