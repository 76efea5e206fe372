// The network of the simulated machine: real TCP connections through the
// host's sockets, limited to the loopback interface, so that tests and
// benchmarks can talk to servers of their own on 127.0.0.1 while the
// simulated machine never reaches out of the host. Any other host name is
// not found (WSAHOST_NOT_FOUND), as on a machine without a name server.
#pragma once

#include <unordered_map>

#include "VnPlatform.h"

class VnSimNetwork : public IVnNetwork {
public:
    ~VnSimNetwork() override;

    uint32_t Connect(const VnString& host, uint16_t port, uint32_t timeoutMs, VnSocket& socket) override;
    uint32_t Send(VnSocket socket, const void* data, uint32_t size) override;
    uint32_t Receive(VnSocket socket, void* buffer, uint32_t capacity, uint32_t timeoutMs,
                     uint32_t& received) override;
    void CloseSocket(VnSocket socket) override;

    // The hosts that reach the loopback interface: "localhost", "127.x.x.x".
    static bool IsLoopbackHost(const VnString& host);

private:
    // Handles are numbers of their own, not the host's descriptors.
    std::unordered_map<VnSocket, int> sockets_;
    VnSocket nextSocket_ = 0x7000;
};
