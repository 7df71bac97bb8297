#pragma once
// The failure raised by the network services; the message carries the system's reason.
#include "platform/base/SysUtils.h"

class ESocketError : public Exception {
public:
    using Exception::Exception;
};
