#pragma once

// A non-blocking IPv4 TCP client socket (what the Winsock 1.1 socket was). Sends never
// raise SIGPIPE; waits are poll slices, so a caller can check its own stop flag between
// them. One thread uses a socket at a time.

#include <cstddef>
#include <cstdint>
#include <string>

namespace plat {

// Resolves a dotted address or a host name to an IPv4 address (network byte order).
bool ResolveIPv4(const std::string& host, uint32_t* address);

class TcpSocket {
public:
    enum class Connect { Connected, InProgress, Failed };
    enum class Wait { Ready, Timeout, Failed };
    // Bytes moved by Send or Receive; kWouldBlock when nothing could be moved now.
    static constexpr long kWouldBlock = -2;

    TcpSocket() = default;
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Creates the non-blocking socket; false when it cannot be made.
    bool Create();
    bool IsOpen() const { return mFd >= 0; }
    void Close();

    Connect ConnectTo(uint32_t address, int port);
    // Waits up to timeoutMs for the socket to become readable or writable (as asked).
    // Failed when the wait itself fails or the socket reports an error or a hang-up
    // with nothing left to read.
    Wait WaitFor(bool readable, bool writable, int timeoutMs);
    // After a connect in progress became writable: whether it succeeded.
    bool ConnectSucceeded();
    // -1 on failure.
    long Send(const void* data, size_t size);
    // 0 when the peer closed the connection, -1 on failure.
    long Receive(void* data, size_t size);

private:
    friend class TcpListener;
    int mFd = -1;
};

// A listening socket on 127.0.0.1 at a port the system picks (local servers of tests).
class TcpListener {
public:
    TcpListener() = default;
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    bool Listen();
    int Port() const { return mPort; }
    void Close();
    // Waits up to timeoutMs for a client; the connection comes non-blocking.
    bool Accept(TcpSocket* connection, int timeoutMs);

private:
    int mFd = -1;
    int mPort = 0;
};

}  // namespace plat
