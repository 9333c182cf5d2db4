// HTTPTransfer against servers of the test's own on 127.0.0.1.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "app/http/HTTPTransfer.h"
#include "platform/TcpSocket.h"
#include "tests/app/http/LocalHttpServer.h"

namespace {

using velmtest::OneShotServer;

struct ServedCase {
    const char* why;
    std::string response;
    int result;
    const char* content;
};

TEST(HTTPTransferTest, ResultsAndBodiesFromALocalServer) {
    // clang-format off
    const ServedCase kCases[] = {
            {"content length", "HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\nhello world", 0, "hello world"},
            {"chunked",
             "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n", 0,
             "hello world"},
            {"close delimited", "HTTP/1.0 200 OK\r\n\r\n" + std::string(1000, 'z'), 0, nullptr},
            {"not found", "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found", 3, ""},
            {"moved", "HTTP/1.1 301 Moved Permanently\r\nLocation: http://elsewhere/\r\nContent-Length: 4\r\n\r\nmove", 4,
             ""},
    };
    // clang-format on
    for (const ServedCase& c : kCases) {
        SCOPED_TRACE(c.why);
        OneShotServer server(c.response);
        ASSERT_TRUE(server.Listening());
        Velm::HTTPTransfer transfer;
        const std::string request = "GET /path HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 4\r\n\r\nbody";
        transfer.SendRequestString(server.Url(), request);
        EXPECT_EQ(transfer.GetResult(), Velm::HTTPTransfer::RESULT_NOT_COMPLETED);
        transfer.WaitFor();
        EXPECT_EQ(transfer.GetResult(), c.result);
        EXPECT_EQ(transfer.GetContent(), c.content ? std::string(c.content) : std::string(1000, 'z'));
        EXPECT_EQ(server.Request(), request);
    }
}

TEST(HTTPTransferTest, RefusedPortFailsToConnect) {
    int port = 0;
    ASSERT_TRUE(velmtest::ClosedPort(port));
    Velm::HTTPTransfer transfer;
    transfer.SendRequestString("127.0.0.1:" + std::to_string(port), "GET / HTTP/1.0\r\n\r\n");
    transfer.WaitFor();
    EXPECT_EQ(transfer.GetResult(), Velm::HTTPTransfer::RESULT_CONNECT_FAIL);
}

TEST(HTTPTransferTest, AbortEndsAStalledTransferPromptly) {
    // The server answers the status line and then nothing more.
    OneShotServer server("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial", 64, true);
    ASSERT_TRUE(server.Listening());
    Velm::HTTPTransfer transfer;
    transfer.SendRequestString(server.Url(), "GET /path HTTP/1.1\r\n\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(transfer.GetResult(), Velm::HTTPTransfer::RESULT_NOT_COMPLETED);

    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    transfer.Abort();
    transfer.WaitFor();
    const std::chrono::steady_clock::duration took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(transfer.GetResult(), Velm::HTTPTransfer::RESULT_ABORTED);
    // Stop requests are seen between 100 ms waits; allow for a slow machine.
    EXPECT_LT(took, std::chrono::seconds(3));
}

TEST(HTTPTransferTest, DestroyingARunningTransferStopsItsWorker) {
    OneShotServer server("HTTP/1.1 200 OK\r\n", 64, true);
    ASSERT_TRUE(server.Listening());
    {
        Velm::HTTPTransfer transfer;
        transfer.SendRequestString(server.Url(), "GET /path HTTP/1.1\r\n\r\n");
        while (!server.mAccepted.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(transfer.GetResult(), Velm::HTTPTransfer::RESULT_NOT_COMPLETED);
    }
}

TEST(HTTPTransferTest, UrlSplitAndIds) {
    struct Case {
        const char* url;
        const char* proto;
        const char* host;
        int port;
        const char* path;
    };
    const Case kCases[] = {
            {"example.org", "", "example.org", 80, "/"},
            {"example.org:8080", "", "example.org", 8080, "/"},
            {"http://example.org/a/b?c", "http", "example.org", 80, "/a/b?c"},
            {"https://example.org:443/", "https", "example.org", 443, "/"},
            {"example.org:bad/x", "", "example.org", 0, "/x"},
    };
    Velm::HTTPTransfer transfer;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.url);
        const int before = transfer.GetTransferId();
        transfer.PrepareTransfer(c.url);
        EXPECT_EQ(transfer.GetProto(), c.proto);
        EXPECT_EQ(transfer.GetHost(), c.host);
        EXPECT_EQ(transfer.GetPort(), c.port);
        EXPECT_EQ(transfer.GetPath(), c.path);
        EXPECT_EQ(transfer.GetResult(), Velm::HTTPTransfer::RESULT_NOT_COMPLETED);
        // One id for the reset and one for the preparation (no other transfer runs here).
        EXPECT_EQ(transfer.GetTransferId(), before + 2);
    }
    transfer.Reset();
    EXPECT_EQ(transfer.GetResult(), Velm::HTTPTransfer::RESULT_NOT_STARTED);
}

}  // namespace
