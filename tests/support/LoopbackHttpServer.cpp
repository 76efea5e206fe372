#ifndef _WIN32

#include "LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <vector>

namespace {
constexpr int kPollMs = 20;
}  // namespace

bool LoopbackHttpServer::Connection::Send(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size() && !stopping_) {
        pollfd entry{descriptor_, POLLOUT, 0};
        if (::poll(&entry, 1, kPollMs) <= 0) continue;
        const ssize_t sent = ::send(descriptor_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent <= 0) return false;
        done += size_t(sent);
    }
    return done == bytes.size();
}

std::string LoopbackHttpServer::Connection::Port() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(descriptor_, reinterpret_cast<sockaddr*>(&address), &length);
    return std::to_string(ntohs(address.sin_port));
}

bool LoopbackHttpServer::Connection::SendSlowly(const std::string& bytes, size_t piece, int pauseMs) {
    for (size_t at = 0; at < bytes.size(); at += piece) {
        if (!Send(bytes.substr(at, piece))) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    }
    return true;
}

void LoopbackHttpServer::Connection::Hold(int limitMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    char scratch[256];
    while (!stopping_ && std::chrono::steady_clock::now() < end) {
        pollfd entry{descriptor_, POLLIN, 0};
        if (::poll(&entry, 1, kPollMs) > 0 && ::recv(descriptor_, scratch, sizeof scratch, 0) <= 0) return;
    }
}

bool LoopbackHttpServer::Connection::ReadRequest() {
    std::string head;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        if (stopping_ || std::chrono::steady_clock::now() > end) return false;
        pollfd entry{descriptor_, POLLIN, 0};
        if (::poll(&entry, 1, kPollMs) <= 0) continue;
        char buffer[4096];
        const ssize_t got = ::recv(descriptor_, buffer, sizeof buffer, 0);
        if (got <= 0) return false;
        head.append(buffer, size_t(got));
    }
    const size_t space = head.find(' ');
    const size_t second = space == std::string::npos ? space : head.find(' ', space + 1);
    if (second == std::string::npos) return false;
    target_ = head.substr(space + 1, second - space - 1);
    return true;
}

LoopbackHttpServer::LoopbackHttpServer(Behaviour behaviour) : behaviour_(std::move(behaviour)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::close(listener_);
}

std::string LoopbackHttpServer::Url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + target;
}

std::string LoopbackHttpServer::Response(const std::string& status, const std::string& body,
                                         const std::string& extraHeaders) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + extraHeaders +
           "Connection: close\r\n\r\n" + body;
}

void LoopbackHttpServer::Serve() {
    std::vector<std::thread> workers;
    while (!stopping_) {
        pollfd entry{listener_, POLLIN, 0};
        if (::poll(&entry, 1, kPollMs) <= 0) continue;
        const int descriptor = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (descriptor < 0) continue;
        workers.emplace_back([this, descriptor] {
            Connection connection(descriptor, stopping_);
            if (connection.ReadRequest()) {
                ++requests_;
                behaviour_(connection);
            }
            ::shutdown(descriptor, SHUT_RDWR);
            ::close(descriptor);
        });
    }
    for (std::thread& worker : workers) worker.join();
}

#endif
