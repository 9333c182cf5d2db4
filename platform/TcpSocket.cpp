#include "platform/TcpSocket.h"

#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace plat {

bool ResolveIPv4(const std::string& host, uint32_t* address) {
    in_addr parsed;
    if (inet_pton(AF_INET, host.c_str(), &parsed) == 1) {
        *address = parsed.s_addr;
        return true;
    }
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (host.empty() || getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    bool ok = false;
    for (addrinfo* entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addr) {
            *address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
            ok = true;
            break;
        }
    }
    freeaddrinfo(found);
    return ok;
}

TcpSocket::~TcpSocket() { Close(); }

bool TcpSocket::Create() {
    Close();
    mFd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    return mFd >= 0;
}

void TcpSocket::Close() {
    if (mFd >= 0) close(mFd);
    mFd = -1;
}

TcpSocket::Connect TcpSocket::ConnectTo(uint32_t address, int port) {
    if (mFd < 0 || port <= 0 || port > 65535) return Connect::Failed;
    sockaddr_in target;
    std::memset(&target, 0, sizeof target);
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<uint16_t>(port));
    target.sin_addr.s_addr = address;
    for (;;) {
        if (connect(mFd, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) return Connect::Connected;
        if (errno == EINTR) continue;
        return errno == EINPROGRESS ? Connect::InProgress : Connect::Failed;
    }
}

TcpSocket::Wait TcpSocket::WaitFor(bool readable, bool writable, int timeoutMs) {
    if (mFd < 0) return Wait::Failed;
    pollfd entry;
    entry.fd = mFd;
    entry.events = static_cast<short>((readable ? POLLIN : 0) | (writable ? POLLOUT : 0));
    entry.revents = 0;
    const int n = poll(&entry, 1, timeoutMs);
    if (n < 0) return errno == EINTR ? Wait::Timeout : Wait::Failed;
    if (n == 0) return Wait::Timeout;
    // Data still waiting to be read comes before a hang-up.
    if (readable && (entry.revents & POLLIN)) return Wait::Ready;
    if (entry.revents & (POLLERR | POLLNVAL | POLLHUP)) return Wait::Failed;
    if (writable && (entry.revents & POLLOUT)) return Wait::Ready;
    return Wait::Timeout;
}

bool TcpSocket::ConnectSucceeded() {
    int error = 0;
    socklen_t length = sizeof error;
    if (mFd < 0 || getsockopt(mFd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return false;
    return error == 0;
}

long TcpSocket::Send(const void* data, size_t size) {
    if (mFd < 0) return -1;
    for (;;) {
        const ssize_t n = send(mFd, data, size, MSG_NOSIGNAL);
        if (n >= 0) return static_cast<long>(n);
        if (errno == EINTR) continue;
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? kWouldBlock : -1;
    }
}

long TcpSocket::Receive(void* data, size_t size) {
    if (mFd < 0) return -1;
    for (;;) {
        const ssize_t n = recv(mFd, data, size, 0);
        if (n >= 0) return static_cast<long>(n);
        if (errno == EINTR) continue;
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? kWouldBlock : -1;
    }
}

TcpListener::~TcpListener() { Close(); }

bool TcpListener::Listen() {
    Close();
    mFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (mFd < 0) return false;
    sockaddr_in local;
    std::memset(&local, 0, sizeof local);
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    local.sin_port = 0;
    socklen_t length = sizeof local;
    if (bind(mFd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 || listen(mFd, 8) != 0 ||
        getsockname(mFd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        Close();
        return false;
    }
    mPort = ntohs(local.sin_port);
    return true;
}

void TcpListener::Close() {
    if (mFd >= 0) close(mFd);
    mFd = -1;
}

bool TcpListener::Accept(TcpSocket* connection, int timeoutMs) {
    if (mFd < 0) return false;
    pollfd entry;
    entry.fd = mFd;
    entry.events = POLLIN;
    entry.revents = 0;
    if (poll(&entry, 1, timeoutMs) <= 0) return false;
    const int fd = accept4(mFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return false;
    connection->Close();
    connection->mFd = fd;
    return true;
}

}  // namespace plat
