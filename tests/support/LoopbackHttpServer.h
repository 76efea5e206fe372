// A small HTTP server of the tests on 127.0.0.1 (a port the system picks),
// answering each connection in its own thread from a scripted behaviour, so
// that the reader meets well-behaved, broken, slow and silent servers. Every
// wait is bounded, and the server stops when it is destroyed, also while a
// behaviour is still sending.
#pragma once

#ifndef _WIN32

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class LoopbackHttpServer {
public:
    // One accepted connection as a behaviour sees it.
    class Connection {
    public:
        Connection(int descriptor, const std::atomic<bool>& stopping) : descriptor_(descriptor), stopping_(stopping) {}
        // The request's target ("/d3dx943.exe"); empty when none came.
        const std::string& Target() const { return target_; }
        // The server's port, for addresses that point back at it.
        std::string Port() const;
        // Sends bytes; false once the client has gone or the server stops.
        bool Send(const std::string& bytes);
        // Sends in pieces with a pause after each.
        bool SendSlowly(const std::string& bytes, size_t piece, int pauseMs);
        // Waits without answering until the client closes, the server stops or `limitMs` pass.
        void Hold(int limitMs);
        bool ReadRequest();

    private:
        int descriptor_;
        const std::atomic<bool>& stopping_;
        std::string target_;
    };
    using Behaviour = std::function<void(Connection&)>;

    explicit LoopbackHttpServer(Behaviour behaviour);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // "http://127.0.0.1:<port><target>"
    std::string Url(const std::string& target) const;
    uint16_t Port() const { return port_; }
    // Requests answered so far.
    int Requests() const { return requests_; }

    // A complete response with Content-Length.
    static std::string Response(const std::string& status, const std::string& body,
                                const std::string& extraHeaders = std::string());

private:
    void Serve();

    Behaviour behaviour_;
    int listener_ = -1;
    uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> requests_{0};
    std::thread thread_;
};

#endif
