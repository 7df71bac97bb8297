#pragma once
// Meters behind a pseudo-terminal, for scans over a serial port.
#include "ScanTestSupport.h"

#include "platform/testing/PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

namespace scantest {

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

} // namespace scantest
