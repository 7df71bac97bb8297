#include "SerialDevice.h"

#include "platform/serial/SerialPort.h"

#include <gtest/gtest.h>

namespace {

using namespace scantest;

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
