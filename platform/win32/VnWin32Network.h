// Network part of the Windows backend: Windows sockets (ws2_32), started on
// first use.
#pragma once

#include "VnPlatform.h"

class VnWin32Network : public IVnNetwork {
public:
    ~VnWin32Network() override;

    uint32_t Connect(const VnString& host, uint16_t port, uint32_t timeoutMs, VnSocket& socket) override;
    uint32_t Send(VnSocket socket, const void* data, uint32_t size) override;
    uint32_t Receive(VnSocket socket, void* buffer, uint32_t capacity, uint32_t timeoutMs,
                     uint32_t& received) override;
    void CloseSocket(VnSocket socket) override;

private:
    uint32_t Start();
    bool started_ = false;
};
