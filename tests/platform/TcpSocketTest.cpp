#include "platform/TcpSocket.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TcpSocketTest, ResolvesDottedAddressesAndLocalhost) {
    uint32_t address = 0;
    ASSERT_TRUE(plat::ResolveIPv4("127.0.0.1", &address));
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&address);
    EXPECT_EQ(bytes[0], 127);
    EXPECT_EQ(bytes[3], 1);
    EXPECT_FALSE(plat::ResolveIPv4("", &address));
}

TEST(TcpSocketTest, ConnectsSendsAndReceivesOnLoopback) {
    plat::TcpListener listener;
    ASSERT_TRUE(listener.Listen());
    uint32_t loopback = 0;
    ASSERT_TRUE(plat::ResolveIPv4("127.0.0.1", &loopback));

    plat::TcpSocket client;
    ASSERT_TRUE(client.Create());
    const plat::TcpSocket::Connect state = client.ConnectTo(loopback, listener.Port());
    ASSERT_NE(state, plat::TcpSocket::Connect::Failed);
    plat::TcpSocket server;
    ASSERT_TRUE(listener.Accept(&server, 5000));
    if (state == plat::TcpSocket::Connect::InProgress) {
        ASSERT_EQ(client.WaitFor(false, true, 5000), plat::TcpSocket::Wait::Ready);
        EXPECT_TRUE(client.ConnectSucceeded());
    }

    EXPECT_EQ(client.Send("ping", 4), 4);
    ASSERT_EQ(server.WaitFor(true, false, 5000), plat::TcpSocket::Wait::Ready);
    char buffer[16];
    EXPECT_EQ(server.Receive(buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer, 4), "ping");
    EXPECT_EQ(server.Receive(buffer, sizeof buffer), plat::TcpSocket::kWouldBlock);

    // After the peer has gone, a send fails instead of raising SIGPIPE.
    server.Close();
    ASSERT_EQ(client.WaitFor(true, false, 5000), plat::TcpSocket::Wait::Ready);
    EXPECT_EQ(client.Receive(buffer, sizeof buffer), 0);
    long result = 0;
    for (int i = 0; i < 10 && result >= 0; ++i) result = client.Send("data", 4);
    EXPECT_EQ(result, -1);
}

TEST(TcpSocketTest, RefusedConnectionIsReported) {
    int port = 0;
    {
        plat::TcpListener closed;
        ASSERT_TRUE(closed.Listen());
        port = closed.Port();
    }
    uint32_t loopback = 0;
    ASSERT_TRUE(plat::ResolveIPv4("127.0.0.1", &loopback));
    plat::TcpSocket client;
    ASSERT_TRUE(client.Create());
    const plat::TcpSocket::Connect state = client.ConnectTo(loopback, port);
    if (state == plat::TcpSocket::Connect::InProgress) {
        const plat::TcpSocket::Wait wait = client.WaitFor(false, true, 5000);
        EXPECT_TRUE(wait == plat::TcpSocket::Wait::Failed || !client.ConnectSucceeded());
    } else {
        EXPECT_EQ(state, plat::TcpSocket::Connect::Failed);
    }
}

}  // namespace
