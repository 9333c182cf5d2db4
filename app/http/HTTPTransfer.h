#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace plat {
class TcpSocket;
}

namespace Velm {

// The demo side of transfers: while a demo is recorded every change of a transfer's result
// is written into it, and while one is played the results come from it. The application
// object provides it; a program without one (the crash report program) leaves it unset.
class HTTPTransferDemo {
public:
    virtual ~HTTPTransferDemo() = default;
    // True while a demo is played on this thread.
    virtual bool IsPlayingHere() = 0;
    // True while a demo is played at all (a played run never connects).
    virtual bool IsPlaying() = 0;
    // During playback: takes the result recorded for the transfer when it is due now.
    virtual bool TakeResult(int transferId, int* result, std::string* content) = 0;
    // During recording on this thread: writes the transfer's new result.
    virtual void RecordResult(int transferId, int result, const std::string& content) = 0;
};

void SetHTTPTransferDemo(HTTPTransferDemo* demo);
HTTPTransferDemo* GetHTTPTransferDemo();

// Sends one ready-made HTTP request text to a host on a worker thread and reads the
// response (status line, headers, a plain, sized or chunked body). Other threads poll
// GetResult every 20 ms or so:
//
//   0 done, 1 idle, 2 running, 3 status "404", 4 any other status but "200",
//   5 aborted, 6 socket failure, 7 host name not resolved, 8 no connection,
//   9 sending failed.
//
// While a demo is recorded, every change of the result goes into the demo; while one is
// played back nothing connects and the result comes from the demo (UpdateStatus, on the
// polling thread). Each transfer takes ids from a process-wide counter: one at
// construction, one per Reset and one more per PrepareTransfer, so that a played-back
// demo matches its transfers exactly.
class HTTPTransfer {
public:
    enum Result {
        RESULT_DONE = 0,
        RESULT_NOT_STARTED = 1,
        RESULT_NOT_COMPLETED = 2,
        RESULT_NOT_FOUND = 3,
        RESULT_HTTP_ERROR = 4,
        RESULT_ABORTED = 5,
        RESULT_SOCKET_ERROR = 6,
        RESULT_INVALID_ADDR = 7,
        RESULT_CONNECT_FAIL = 8,
        RESULT_DISCONNECTED = 9,
    };

    HTTPTransfer();
    virtual ~HTTPTransfer();
    HTTPTransfer(const HTTPTransfer&) = delete;
    HTTPTransfer& operator=(const HTTPTransfer&) = delete;

    void Reset();
    void PrepareTransfer(const std::string& url);
    // Sends `request` to the host (and port) of `url`.
    void SendRequestString(const std::string& url, const std::string& request);
    void UpdateStatus();
    // Polls until the worker has ended.
    void WaitFor();
    // Asks the worker to stop; the result becomes 5 (aborted) within about 100 ms.
    void Abort();

    int GetResult() const { return mResult.load(); }
    int GetTransferId() const { return mTransferId; }
    // The response body; read it once the result is no longer 2.
    const std::string& GetContent() const { return mContent; }
    int GetContentLength() const { return mContentLength; }
    const std::string& GetHost() const { return mHost; }
    const std::string& GetPath() const { return mPath; }
    const std::string& GetProto() const { return mProto; }
    int GetPort() const { return mPort; }

    // Written by the pollers: end the worker's loops, and make the outcome "aborted".
    std::atomic<bool> mExiting{false};
    std::atomic<bool> mAborted{false};

protected:
    static void ThreadEntry(HTTPTransfer* transfer);
    void ThreadProc();
    // Waits in 100 ms slices; false (result 6) when the wait fails. A stop request
    // returns true: callers check mExiting themselves.
    bool WaitForSocket(plat::TcpSocket* socket, bool readable, bool writable);

    int mTransferId;
    std::string mSendStr;
    std::string mURL;
    std::string mProto;
    std::string mHost;
    int mPort = 80;
    std::string mPath;
    int mContentLength = 0;
    std::string mContent;
    std::atomic<bool> mTransferPending{false};
    std::atomic<bool> mThreadRunning{false};
    std::atomic<int> mResult{RESULT_NOT_STARTED};
    int mLastRecordedResult = RESULT_NOT_STARTED;
    std::thread mThread;

private:
    void JoinWorker();
};

}  // namespace Velm
