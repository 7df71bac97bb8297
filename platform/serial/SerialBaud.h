#pragma once
// Any bit rate on a tty through the kernel's termios2 interface, which <termios.h> cannot
// be included together with; the port calls these after applying the other settings.
#include <cstdint>

bool setTtyBaudRate(int fd, std::uint32_t baud);
bool getTtyBaudRate(int fd, std::uint32_t& baud);
