#include "ScanTestSupport.h"

#include "platform/serial/SerialPort.h"
#include "platform/testing/PseudoTerminal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

using namespace scantest;

// The meters behind a pseudo-terminal: the scan opens its slave side as COM5, this device
// answers on the master side.
class SerialDevice {
public:
    SerialDevice() {
        thread_ = std::thread([this] { run(); });
    }
    ~SerialDevice() {
        stop_ = true;
        thread_.join();
    }
    bool quiet(const TMBusScanDecode& scan) const {
        return handled_ == scan.Sent_Count() && sent_ == scan.Received_Count();
    }
    std::vector<Bytes> received() {
        std::lock_guard lock(mutex_);
        return log_;
    }
    Bus bus;

private:
    void run() {
        Bytes input;
        while (!stop_) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 5) <= 0) continue;
            std::uint8_t buf[256];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0) continue;
            input.insert(input.end(), buf, buf + n);
            for (;;) {
                std::size_t size = 0;
                if (input.empty()) break;
                if (input[0] == 0x10)
                    size = 5;
                else if (input[0] == 0x68 && input.size() >= 2)
                    size = std::size_t(input[1]) + 6;
                else if (input[0] != 0x68)
                    size = 1;
                if (size == 0 || input.size() < size) break;
                const Bytes frame(input.begin(), input.begin() + std::ptrdiff_t(size));
                input.erase(input.begin(), input.begin() + std::ptrdiff_t(size));
                {
                    std::lock_guard lock(mutex_);
                    log_.push_back(frame);
                }
                // On the bare bus nobody says that no meter matched.
                const Bytes answer = bus.answer(frame);
                if (!answer.empty() && answer != bytesOf("NO_SLAVE\n\r")) {
                    ++sent_;
                    [[maybe_unused]] ssize_t w = ::write(master_, answer.data(), answer.size());
                }
                ++handled_;
            }
        }
    }
    testpty::PseudoTerminal pty_{5};
    const int master_ = pty_.Master();
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<std::uint64_t> handled_{0}, sent_{0};
    std::mutex mutex_;
    std::vector<Bytes> log_;
};

TEST(SerialScan, MetersAreReadOverTheSerialPortWithoutGatewayCommands) {
    struct Case {
        TScanType type;
        std::vector<int> found;
    };
    const Case cases[] = {
        {saPrimaryAddress, {1, 3}},
        {saSecondaryAddress, {0x11111111, 0x33333333}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        LockstepClock clock;
        SetApplicationClock(&clock);
        List_Slave_MBus.Clear();
        SerialDevice device;
        Meter first{1, 0x11111111, 2};
        Meter second{3, 0x33333333};
        device.bus.meters = {first, second};
        std::vector<int> found;
        {
            TMBusScanDecode scan;
            clock.setQuiet([&] { return device.quiet(scan); });
            scan.Event_Run.SetEvent();
            ASSERT_TRUE(scan.Start_Scan(c.type, shSerial, "\\\\.\\COM5", 2400, 1, false, false, 2,
                                        false, 0, [&](int k, int v, int f, int) {
                                            if (k == 2 && f) found.push_back(v);
                                        }));
            ASSERT_TRUE(pumpUntil([&] { return !scan.InScan(); }));
            EXPECT_EQ(scan.Result(), 1);
            EXPECT_EQ(found, c.found);
            {
                auto lock = List_Slave_MBus.Lock();
                ASSERT_EQ(List_Slave_MBus.Count(), 2);
                EXPECT_EQ(List_Slave_MBus.Items(0)->List_Var.size(), 2u) << "both telegrams";
            }
            const auto log = device.received();
            ASSERT_FALSE(log.empty());
            // No text command: the first frame is already one for the meters.
            EXPECT_EQ(log[0], (Bytes{0x10, 0x40, 0xFF, 0x3F, 0x16}));
            for (const auto& f : log) EXPECT_NE(f[0], 'M');
        }
        clock.setQuiet({});
        SetApplicationClock(nullptr);
        List_Slave_MBus.Clear();
        CheckSynchronize();
    }
}

TEST(SerialScan, PortThatCannotBeOpenedRefusesTheStart) {
    SetSerialPortMapper([](int) { return std::string("/nonexistent/tty"); });
    TMBusScanDecode scan;
    try {
        scan.Start_Scan(saPrimaryAddress, shSerial, "COM9", 2400, 1, false, false, 0, false, 0, {});
        ADD_FAILURE() << "no error";
    } catch (const ECommError& e) {
        EXPECT_EQ(e.Message().rfind("Error accessing specified device", 0), 0u);
    }
    EXPECT_FALSE(scan.InScan());
    SetSerialPortMapper({});
}

} // namespace
