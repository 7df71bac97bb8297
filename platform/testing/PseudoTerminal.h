#pragma once
// A pseudo-terminal for tests of serial code: its slave side stands for one COM port number
// (through the serial port mapper), and the test plays the device on its master side. Header
// only, so that tests without a window need not link the UI test helpers.
#include "platform/serial/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <unistd.h>

namespace testpty {

class PseudoTerminal {
public:
    // Maps COM<port> to the slave side until the terminal goes.
    explicit PseudoTerminal(int port) {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            if (master_ >= 0) ::close(master_);
            throw std::runtime_error("no pseudo-terminal");
        }
        slavePath_ = ::ptsname(master_);
        SetSerialPortMapper([this, port](int n) { return n == port ? slavePath_ : std::string(); });
    }
    ~PseudoTerminal() {
        SetSerialPortMapper({});
        ::close(master_);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int Master() const { return master_; }
    const std::string& SlavePath() const { return slavePath_; }

    // Reads n bytes from the master side; fewer when nothing more comes within 5 s.
    std::string ReadMaster(std::size_t n) const {
        std::string got;
        char buf[256];
        while (got.size() < n) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0) break;
            const ssize_t r = ::read(master_, buf, sizeof buf);
            if (r <= 0) break;
            got.append(buf, std::size_t(r));
        }
        return got;
    }
    // Writes the bytes as the device; true when all were written.
    bool WriteMaster(const std::string& bytes) const {
        return ::write(master_, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    }

private:
    int master_ = -1;
    std::string slavePath_;
};

} // namespace testpty
