#pragma once

// A server of the test's own on 127.0.0.1 that answers one connection with a canned
// response.

#include <atomic>
#include <string>
#include <thread>

#include "platform/TcpSocket.h"

namespace velmtest {

// A port on 127.0.0.1 that was listened on and closed again, so a connection to it is
// refused. False when no port could be had.
inline bool ClosedPort(int& port) {
    plat::TcpListener listener;
    if (!listener.Listen()) return false;
    port = listener.Port();
    return true;
}

inline bool SendAll(plat::TcpSocket& socket, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        if (socket.WaitFor(false, true, 5000) != plat::TcpSocket::Wait::Ready) return false;
        const long n = socket.Send(bytes.data() + sent, bytes.size() - sent);
        if (n == plat::TcpSocket::kWouldBlock) continue;
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

// Serves one connection: reads the request (headers and a body of Content-Length),
// answers `response` in pieces of `piece` bytes, then closes, or with `hold` waits until
// the client goes away.
class OneShotServer {
public:
    OneShotServer(std::string response, size_t piece = 7, bool hold = false)
            : mResponse(std::move(response)), mPiece(piece), mHold(hold) {
        mListening = mListener.Listen();
        if (mListening) mThread = std::thread([this] { Serve(); });
    }
    ~OneShotServer() {
        mStop.store(true);
        if (mThread.joinable()) mThread.join();
    }
    bool Listening() const { return mListening; }
    int Port() const { return mListener.Port(); }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(Port()) + "/path"; }
    // The request as received; complete once the transfer has ended.
    std::string Request() {
        if (mThread.joinable()) mThread.join();
        return mRequest;
    }

private:
    void Serve() {
        plat::TcpSocket connection;
        while (!mListener.Accept(&connection, 100)) {
            if (mStop.load()) return;
        }
        mAccepted.store(true);
        char buffer[512];
        size_t expected = std::string::npos;
        while (!mStop.load()) {
            const size_t end = mRequest.find("\r\n\r\n");
            if (end != std::string::npos && expected == std::string::npos) {
                const size_t at = mRequest.find("Content-Length: ");
                const size_t length = at != std::string::npos && at < end ? std::stoul(mRequest.substr(at + 16)) : 0;
                expected = end + 4 + length;
            }
            if (expected != std::string::npos && mRequest.size() >= expected) break;
            if (connection.WaitFor(true, false, 100) != plat::TcpSocket::Wait::Ready) continue;
            const long n = connection.Receive(buffer, sizeof buffer);
            if (n == 0 || n == -1) return;
            if (n > 0) mRequest.append(buffer, static_cast<size_t>(n));
        }
        for (size_t at = 0; at < mResponse.size(); at += mPiece) {
            if (!SendAll(connection, mResponse.substr(at, mPiece))) return;
        }
        while (mHold && !mStop.load()) {
            if (connection.WaitFor(true, false, 50) == plat::TcpSocket::Wait::Ready &&
                connection.Receive(buffer, sizeof buffer) <= 0)
                break;
        }
    }

    plat::TcpListener mListener;
    bool mListening = false;
    std::string mResponse;
    size_t mPiece;
    bool mHold;
    std::string mRequest;
    std::atomic<bool> mStop{false};
    std::thread mThread;

public:
    std::atomic<bool> mAccepted{false};
};

}  // namespace velmtest
