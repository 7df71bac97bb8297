#include "platform/net/Ping.h"

#include "platform/base/Clock.h"

#include <gtest/gtest.h>

namespace {

// A transport whose replies never come: the echo runs into its time-out.
class SilentTransport : public TIcmpTransport {
public:
    bool SendEcho(std::uint32_t, std::uint16_t, const std::string& data) override {
        lastData = data;
        ++sent;
        return true;
    }
    bool ReplyArrived(std::uint32_t, std::uint16_t) override {
        ++checks;
        return false;
    }
    int sent = 0;
    std::string lastData;
    int checks = 0;
};

TEST(IcmpEcho, LoopbackAnswers) {
    std::unique_ptr<TIcmpEcho> echo;
    try {
        echo = std::make_unique<TIcmpEcho>();
    } catch (const ESocketError& e) {
        GTEST_SKIP() << e.Message();
    }
    EXPECT_TRUE(echo->Ping("127.0.0.1", 2000));
    EXPECT_TRUE(echo->Ping("127.0.0.1", 2000)) << "a second try gets its own reply";
}

TEST(IcmpEcho, SilentAddressTimesOutAtItsBound) {
    TManualClock clock;
    SetApplicationClock(&clock);
    auto transport = std::make_unique<SilentTransport>();
    SilentTransport* t = transport.get();
    TIcmpEcho echo(std::move(transport));
    int idles = 0;
    std::uint64_t start = clock.TickCount();
    EXPECT_FALSE(echo.Ping("10.1.2.3", 400, [&] { ++idles; }));
    std::uint64_t waited = clock.TickCount() - start;
    SetApplicationClock(nullptr);
    EXPECT_GE(waited, 400u);
    EXPECT_LT(waited, 420u);
    EXPECT_EQ(t->sent, 1);
    EXPECT_EQ(t->lastData, "10.1.2.3") << "the request carries the address text";
    EXPECT_EQ(idles, 40) << "idle handler every 10 ms";
}

TEST(IcmpEcho, RefusesTextThatIsNoAddress) {
    TIcmpEcho echo(std::make_unique<SilentTransport>());
    for (const char* text : {"", "192.168.2", "192.168.2.256", "host.example"})
        EXPECT_THROW(echo.Ping(text, 10), ESocketError) << text;
}

} // namespace
