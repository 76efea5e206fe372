#include "VnWin32Network.h"

#include <cstring>

#include <winsock2.h>
#include <ws2tcpip.h>

namespace {

// Waits until the socket can be read (or written); WSAETIMEDOUT when it
// cannot in time. A failed connect shows as an exception on the socket.
uint32_t WaitFor(SOCKET socket, bool forWriting, uint32_t timeoutMs) {
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket, &ready);
    FD_SET(socket, &failed);
    timeval limit{long(timeoutMs / 1000), long(timeoutMs % 1000) * 1000};
    const int count = ::select(0, forWriting ? nullptr : &ready, forWriting ? &ready : nullptr, &failed, &limit);
    if (count == SOCKET_ERROR) return uint32_t(::WSAGetLastError());
    if (count == 0) return WSAETIMEDOUT;
    if (FD_ISSET(socket, &failed)) {
        int error = 0;
        int length = sizeof error;
        ::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
        return error ? uint32_t(error) : uint32_t(WSAECONNREFUSED);
    }
    return 0;
}

// GetAddrInfoW and FreeAddrInfoW are newer than Windows 2000, whose Windows
// Sockets resolves IPv4 names with gethostbyname only: look them up at run
// time so that the installer still starts there.
using GetAddrInfoWFunction = INT(WSAAPI*)(PCWSTR, PCWSTR, const ADDRINFOW*, PADDRINFOW*);
using FreeAddrInfoWFunction = VOID(WSAAPI*)(PADDRINFOW);

template <typename Function>
Function Ws2Function(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ws2_32.dll"), name)));
}

// The addresses of `host` as one IPv4 entry through gethostbyname, shaped like
// GetAddrInfoW's answer; `storage` keeps the address.
bool ResolveIpv4(const VnString& host, uint16_t port, ADDRINFOW& entry, sockaddr_in& storage) {
    const hostent* found = ::gethostbyname(host.ToUtf8().c_str());
    if (!found || found->h_addrtype != AF_INET || !found->h_addr_list[0]) return false;
    storage = sockaddr_in{};
    storage.sin_family = AF_INET;
    storage.sin_port = htons(port);
    memcpy(&storage.sin_addr, found->h_addr_list[0], sizeof storage.sin_addr);
    entry = ADDRINFOW{};
    entry.ai_family = AF_INET;
    entry.ai_socktype = SOCK_STREAM;
    entry.ai_protocol = IPPROTO_TCP;
    entry.ai_addr = reinterpret_cast<sockaddr*>(&storage);
    entry.ai_addrlen = sizeof storage;
    return true;
}

}  // namespace

VnWin32Network::~VnWin32Network() {
    if (started_) ::WSACleanup();
}

uint32_t VnWin32Network::Start() {
    if (started_) return 0;
    WSADATA data;
    if (int error = ::WSAStartup(MAKEWORD(2, 2), &data)) return uint32_t(error);
    started_ = true;
    return 0;
}

uint32_t VnWin32Network::Connect(const VnString& host, uint16_t port, uint32_t timeoutMs, VnSocket& result) {
    result = 0;
    if (uint32_t error = Start()) return error;
    addrinfoW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfoW* found = nullptr;
    static const auto getAddrInfo = Ws2Function<GetAddrInfoWFunction>("GetAddrInfoW");
    static const auto freeAddrInfo = Ws2Function<FreeAddrInfoWFunction>("FreeAddrInfoW");
    ADDRINFOW ipv4Entry;
    sockaddr_in ipv4Address;
    const std::wstring service = std::to_wstring(port);
    if (getAddrInfo && freeAddrInfo) {
        if (getAddrInfo(reinterpret_cast<const wchar_t*>(host.c_str()), service.c_str(), &hints, &found) != 0)
            return uint32_t(::WSAGetLastError() ? ::WSAGetLastError() : WSAHOST_NOT_FOUND);
    } else if (ResolveIpv4(host, port, ipv4Entry, ipv4Address)) {
        found = &ipv4Entry;
    } else {
        return uint32_t(::WSAGetLastError() ? ::WSAGetLastError() : WSAHOST_NOT_FOUND);
    }
    uint32_t error = WSAHOST_NOT_FOUND;
    for (addrinfoW* address = found; address; address = address->ai_next) {
        SOCKET socket = ::socket(address->ai_family, address->ai_socktype, address->ai_protocol);
        if (socket == INVALID_SOCKET) {
            error = uint32_t(::WSAGetLastError());
            continue;
        }
        u_long nonBlocking = 1;
        ::ioctlsocket(socket, FIONBIO, &nonBlocking);
        error = 0;
        if (::connect(socket, address->ai_addr, int(address->ai_addrlen)) == SOCKET_ERROR) {
            error = uint32_t(::WSAGetLastError());
            if (error == WSAEWOULDBLOCK) error = WaitFor(socket, true, timeoutMs);
        }
        if (!error) {
            BOOL noDelay = TRUE;
            ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
            result = VnSocket(socket);
            break;
        }
        ::closesocket(socket);
    }
    if (found != &ipv4Entry) freeAddrInfo(found);
    return error;
}

uint32_t VnWin32Network::Send(VnSocket socket, const void* data, uint32_t size) {
    const char* bytes = static_cast<const char*>(data);
    for (uint32_t done = 0; done < size;) {
        const int sent = ::send(SOCKET(socket), bytes + done, int(size - done), 0);
        if (sent != SOCKET_ERROR) {
            done += uint32_t(sent);
            continue;
        }
        const uint32_t error = uint32_t(::WSAGetLastError());
        if (error != WSAEWOULDBLOCK) return error;
        if (uint32_t waited = WaitFor(SOCKET(socket), true, 30000)) return waited;
    }
    return 0;
}

uint32_t VnWin32Network::Receive(VnSocket socket, void* buffer, uint32_t capacity, uint32_t timeoutMs,
                                 uint32_t& received) {
    received = 0;
    for (;;) {
        const int got = ::recv(SOCKET(socket), static_cast<char*>(buffer), int(capacity), 0);
        if (got != SOCKET_ERROR) {
            received = uint32_t(got);
            return 0;
        }
        const uint32_t error = uint32_t(::WSAGetLastError());
        if (error != WSAEWOULDBLOCK) return error;
        if (uint32_t waited = WaitFor(SOCKET(socket), false, timeoutMs)) return waited;
    }
}

void VnWin32Network::CloseSocket(VnSocket socket) {
    if (socket) ::closesocket(SOCKET(socket));
}
