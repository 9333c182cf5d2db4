#include "app/http/HTTPTransfer.h"

#include "app/http/HTTPResponseParser.h"
#include "platform/Clock.h"
#include "platform/FaultHandler.h"
#include "platform/TcpSocket.h"

namespace Velm {

namespace {

std::atomic<int> gNextTransferId{0};

std::atomic<HTTPTransferDemo*> gDemo{nullptr};

}  // namespace

void SetHTTPTransferDemo(HTTPTransferDemo* demo) { gDemo.store(demo); }

HTTPTransferDemo* GetHTTPTransferDemo() { return gDemo.load(); }

HTTPTransfer::HTTPTransfer() : mTransferId(gNextTransferId.fetch_add(1)) {}

HTTPTransfer::~HTTPTransfer() {
    mAborted.store(true);
    mExiting.store(true);
    while (mThreadRunning.load()) plat::SleepMs(20);
    JoinWorker();
}

void HTTPTransfer::JoinWorker() {
    if (mThread.joinable()) mThread.join();
}

void HTTPTransfer::Abort() {
    mAborted.store(true);
    mExiting.store(true);
}

void HTTPTransfer::Reset() {
    if (mThreadRunning.load()) {
        Abort();
        WaitFor();
    }
    JoinWorker();
    mTransferId = gNextTransferId.fetch_add(1);
    mResult.store(RESULT_NOT_STARTED);
    mLastRecordedResult = RESULT_NOT_STARTED;
    mTransferPending.store(false);
    mContent.clear();
    mURL.clear();
    mSendStr.clear();
    mPath.clear();
    mExiting.store(false);
    mAborted.store(false);
}

void HTTPTransfer::PrepareTransfer(const std::string& url) {
    Reset();
    mTransferId = gNextTransferId.fetch_add(1);
    mURL = url;
    mExiting.store(false);
    mAborted.store(false);
    mResult.store(RESULT_NOT_COMPLETED);
    mContent.clear();
    mContentLength = 0;
    mPort = 80;
    mProto.clear();

    // "proto://host:port/path"; the protocol and the port are optional, and a URL
    // without a path asks for "/".
    size_t hostStart = 0;
    const size_t slashes = url.find("//");
    if (slashes != std::string::npos) {
        mProto = slashes > 0 ? url.substr(0, slashes - 1) : std::string();
        hostStart = slashes + 2;
    }
    const size_t pathStart = url.find('/', hostStart);
    if (pathStart != std::string::npos) {
        mHost = url.substr(hostStart, pathStart - hostStart);
        mPath = url.substr(pathStart);
    } else {
        mHost = url.substr(hostStart);
        mPath = "/";
    }
    const size_t colon = mHost.find(':');
    if (colon != std::string::npos) {
        int port = 0;
        const std::string digits = mHost.substr(colon + 1);
        bool ok = !digits.empty() && digits.size() <= 5;
        for (char c : digits) {
            if (c < '0' || c > '9')
                ok = false;
            else
                port = port * 10 + (c - '0');
        }
        // A port that is no number connects nowhere (result 8).
        mPort = ok ? port : 0;
        mHost = mHost.substr(0, colon);
    }
}

void HTTPTransfer::SendRequestString(const std::string& url, const std::string& request) {
    PrepareTransfer(url);
    mSendStr = request;
    mTransferPending.store(true);
    HTTPTransferDemo* demo = gDemo.load();
    if (demo != nullptr && demo->IsPlaying()) return;
    mThreadRunning.store(true);
    mThread = std::thread(ThreadEntry, this);
}

void HTTPTransfer::ThreadEntry(HTTPTransfer* transfer) {
    plat::FaultStack faultStack;
    transfer->ThreadProc();
}

bool HTTPTransfer::WaitForSocket(plat::TcpSocket* tcp, bool readable, bool writable) {
    while (!mExiting.load()) {
        const plat::TcpSocket::Wait wait = tcp->WaitFor(readable, writable, 100);
        if (wait == plat::TcpSocket::Wait::Failed) {
            mExiting.store(true);
            mResult.store(RESULT_SOCKET_ERROR);
            return false;
        }
        if (wait == plat::TcpSocket::Wait::Ready) return true;
    }
    return true;
}

void HTTPTransfer::ThreadProc() {
    plat::TcpSocket socket;
    if (!socket.Create()) {
        mResult.store(RESULT_SOCKET_ERROR);
        mExiting.store(true);
    }

    uint32_t address = 0;
    if (!mExiting.load() && !plat::ResolveIPv4(mHost, &address)) {
        mResult.store(RESULT_INVALID_ADDR);
        mExiting.store(true);
    }

    if (!mExiting.load()) {
        const plat::TcpSocket::Connect connect = socket.ConnectTo(address, mPort);
        if (connect == plat::TcpSocket::Connect::Failed) {
            mResult.store(RESULT_CONNECT_FAIL);
            mExiting.store(true);
        } else if (connect == plat::TcpSocket::Connect::InProgress) {
            if (!WaitForSocket(&socket, false, true) || (!mExiting.load() && !socket.ConnectSucceeded())) {
                mResult.store(RESULT_CONNECT_FAIL);
                mExiting.store(true);
            }
        }
    }

    while (!mSendStr.empty() && !mExiting.load()) {
        if (!WaitForSocket(&socket, false, true) || mExiting.load()) break;
        const long sent = socket.Send(mSendStr.data(), mSendStr.size());
        if (sent == plat::TcpSocket::kWouldBlock) continue;
        if (sent < 1) {
            mResult.store(RESULT_DISCONNECTED);
            mExiting.store(true);
            break;
        }
        mSendStr.erase(0, static_cast<size_t>(sent));
    }

    HTTPResponseParser parser;
    if (!mExiting.load()) {
        char piece[256];
        for (;;) {
            if (!WaitForSocket(&socket, true, false) || mExiting.load()) break;
            const long received = socket.Receive(piece, sizeof piece);
            if (received == plat::TcpSocket::kWouldBlock) continue;
            if (received <= 0) break;
            const bool more = parser.Feed(piece, static_cast<size_t>(received));
            if (parser.GetFailure() != 0) {
                mResult.store(parser.GetFailure());
                mExiting.store(true);
            }
            if (!more) break;
        }
    }
    mContentLength = parser.GetContentLength();
    mContent = parser.GetContent();

    socket.Close();
    if (mAborted.load()) {
        mResult.store(RESULT_ABORTED);
        mExiting.store(true);
    } else {
        int running = RESULT_NOT_COMPLETED;
        mResult.compare_exchange_strong(running, RESULT_DONE);
    }
    mThreadRunning.store(false);
    mTransferPending.store(false);
}

void HTTPTransfer::UpdateStatus() {
    HTTPTransferDemo* demo = gDemo.load();
    if (demo == nullptr) return;

    if (demo->IsPlayingHere()) {
        int result = 0;
        std::string content;
        if (demo->TakeResult(mTransferId, &result, &content)) {
            mContent = content;
            mResult.store(result);
            mLastRecordedResult = result;
            if (result != RESULT_NOT_COMPLETED) mTransferPending.store(false);
        }
        return;
    }

    const int result = mResult.load();
    if (result != mLastRecordedResult) {
        demo->RecordResult(mTransferId, result, result == RESULT_NOT_COMPLETED ? std::string() : mContent);
        mLastRecordedResult = result;
    }
}

void HTTPTransfer::WaitFor() {
    while (mTransferPending.load()) {
        UpdateStatus();
        plat::SleepMs(20);
    }
}

}  // namespace Velm
