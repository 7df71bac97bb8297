#include "platform/net/Udp.h"

#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace {

struct Received {
    std::string data, from;
    std::uint16_t port;
};

TEST(UdpSocket, DatagramsRoundTripThroughTheListener) {
    std::mutex m;
    std::condition_variable cv;
    std::vector<Received> got;

    TUdpSocket gateway;
    gateway.Bind(0, "127.0.0.1");
    gateway.StartListening([&](const std::string& d, const std::string& from, std::uint16_t p) {
        // Answer like a gateway, then record what came in.
        gateway.SendTo(from, p, "ACK " + d);
        std::lock_guard lock(m);
        got.push_back({d, from, p});
        cv.notify_all();
    });

    TUdpSocket client;
    client.Bind(0, "127.0.0.1");
    std::vector<std::string> answers;
    client.StartListening([&](const std::string& d, const std::string&, std::uint16_t p) {
        EXPECT_EQ(p, gateway.LocalPort());
        std::lock_guard lock(m);
        answers.push_back(d);
        cv.notify_all();
    });
    const std::string binary("\x68\x00\xFF\x16", 4);
    client.SendTo("127.0.0.1", gateway.LocalPort(), "ANALYZER");
    client.SendTo("127.0.0.1", gateway.LocalPort(), binary);

    std::unique_lock lock(m);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(10),
                            [&] { return got.size() == 2 && answers.size() == 2; }));
    EXPECT_EQ(got[0].data, "ANALYZER");
    EXPECT_EQ(got[1].data, binary);
    EXPECT_EQ(got[0].from, "127.0.0.1");
    EXPECT_EQ(got[0].port, client.LocalPort());
    EXPECT_EQ(answers[0], "ACK ANALYZER");
    lock.unlock();

    client.StopListening();
    EXPECT_FALSE(client.Listening());
    EXPECT_THROW(gateway.StartListening({}), EInvalidOperation);
}

TEST(UdpSocket, ErrorsAreRaised) {
    TUdpSocket a;
    a.Bind(0, "127.0.0.1");
    TUdpSocket b;
    EXPECT_THROW(b.Bind(a.LocalPort(), "127.0.0.1"), ESocketError) << "port in use";
    EXPECT_THROW(b.SendTo("not-an-ip", 1, "x"), ESocketError);
}

} // namespace
