#include "SimNetwork.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "SimHostFile.h"

namespace {

// The Windows sockets error a Linux errno stands for.
uint32_t WsaErrorFromErrno(int error) {
    switch (error) {
    case ECONNREFUSED: return vnwin::kWsaConnRefused;
    case ETIMEDOUT: return vnwin::kWsaTimedOut;
    case ECONNRESET:
    case EPIPE: return vnwin::kWsaConnReset;
    default: return 10050;  // WSAENETDOWN
    }
}

// Waits for `events` on the descriptor; kWsaTimedOut when they do not come in time.
uint32_t WaitFor(int descriptor, short events, uint32_t timeoutMs) {
    pollfd entry{descriptor, events, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, int(timeoutMs > 0x7FFFFFFF ? 0x7FFFFFFF : timeoutMs));
        if (ready > 0) return 0;
        if (ready == 0) return vnwin::kWsaTimedOut;
        if (errno != EINTR) return WsaErrorFromErrno(errno);
    }
}

}  // namespace

VnSimNetwork::~VnSimNetwork() {
    for (auto& entry : sockets_) ::close(entry.second);
}

bool VnSimNetwork::IsLoopbackHost(const VnString& host) {
    if (host.EqualsNoCase(u"localhost")) return true;
    in_addr address{};
    return ::inet_pton(AF_INET, host.ToUtf8().c_str(), &address) == 1 && (ntohl(address.s_addr) >> 24) == 127;
}

uint32_t VnSimNetwork::Connect(const VnString& host, uint16_t port, uint32_t timeoutMs, VnSocket& socket) {
    socket = 0;
    if (!IsLoopbackHost(host)) return vnwin::kWsaHostNotFound;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (host.EqualsNoCase(u"localhost")) address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    else ::inet_pton(AF_INET, host.ToUtf8().c_str(), &address.sin_addr);

    const int descriptor = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (descriptor < 0) return WsaErrorFromErrno(errno);
    uint32_t error = 0;
    if (::connect(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS) error = WsaErrorFromErrno(errno);
        else if (!(error = WaitFor(descriptor, POLLOUT, timeoutMs))) {
            int result = 0;
            socklen_t length = sizeof result;
            ::getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &result, &length);
            if (result) error = WsaErrorFromErrno(result);
        }
    }
    if (error) {
        ::close(descriptor);
        return error;
    }
    const int one = 1;
    ::setsockopt(descriptor, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    socket = nextSocket_++;
    sockets_[socket] = descriptor;
    return 0;
}

uint32_t VnSimNetwork::Send(VnSocket socket, const void* data, uint32_t size) {
    auto found = sockets_.find(socket);
    if (found == sockets_.end()) return 10038;  // WSAENOTSOCK
    const char* bytes = static_cast<const char*>(data);
    for (uint32_t done = 0; done < size;) {
        const ssize_t sent = ::send(found->second, bytes + done, size - done, MSG_NOSIGNAL);
        if (sent >= 0) {
            done += uint32_t(sent);
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return WsaErrorFromErrno(errno);
        if (uint32_t error = WaitFor(found->second, POLLOUT, 30000)) return error;
    }
    return 0;
}

uint32_t VnSimNetwork::Receive(VnSocket socket, void* buffer, uint32_t capacity, uint32_t timeoutMs,
                               uint32_t& received) {
    received = 0;
    auto found = sockets_.find(socket);
    if (found == sockets_.end()) return 10038;  // WSAENOTSOCK
    for (;;) {
        const ssize_t got = ::recv(found->second, buffer, capacity, 0);
        if (got >= 0) {
            received = uint32_t(got);
            return 0;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return WsaErrorFromErrno(errno);
        if (uint32_t error = WaitFor(found->second, POLLIN, timeoutMs)) return error;
    }
}

void VnSimNetwork::CloseSocket(VnSocket socket) {
    auto found = sockets_.find(socket);
    if (found == sockets_.end()) return;
    ::close(found->second);
    sockets_.erase(found);
}
