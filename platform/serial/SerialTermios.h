#pragma once
// The translation between a TDCB and termios flags; the bit rate goes through termios2
// (SerialBaud.h) and the modem lines through ioctls, so neither is part of it.
#include "platform/serial/SerialPort.h"

#include <termios.h>

// False for settings the model refuses: 4 data bits, 1.5 stop bits with more than 5 data
// bits, 2 stop bits with 5, unknown parity or control values, rate 0.
bool dcbIsValid(const TDCB& dcb);
// Sets the framing, parity, flow-control and XON/XOFF fields of t from dcb.
void dcbToTermios(const TDCB& dcb, termios& t);
// Reads those fields back into dcb; other fields of dcb stay as they are.
void termiosToDcb(const termios& t, TDCB& dcb);
