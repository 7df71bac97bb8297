#pragma once
// ICMP echo ("ping") to IPv4 addresses.
//
// The socket is a raw ICMP socket when the process may open one (root or CAP_NET_RAW), else
// an unprivileged ICMP datagram socket (allowed by net.ipv4.ping_group_range); when neither
// is allowed, opening raises ESocketError saying so.
#include "platform/net/NetError.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Moves echo packets; the real one uses a socket, tests may put in their own.
// No ICMP socket may be opened by this user; the message says what allows it.
class EIcmpNotPermitted : public ESocketError {
public:
    using ESocketError::ESocketError;
};

class TIcmpTransport {
public:
    virtual ~TIcmpTransport() = default;
    // Sends an echo request with this sequence number and data to an IPv4 address (network
    // order); false when the system refused to send it.
    virtual bool SendEcho(std::uint32_t address, std::uint16_t sequence,
                          const std::string& data) = 0;
    // True when the echo reply for sequence from address has arrived; does not block.
    virtual bool ReplyArrived(std::uint32_t address, std::uint16_t sequence) = 0;
};

// The socket transport; raises ESocketError when no ICMP socket may be opened.
std::unique_ptr<TIcmpTransport> CreateIcmpSocketTransport();

class TIcmpEcho {
public:
    // Opens the socket transport (raises ESocketError), or uses the one given.
    TIcmpEcho();
    explicit TIcmpEcho(std::unique_ptr<TIcmpTransport> transport);
    ~TIcmpEcho();

    // One try: sends an echo request carrying the address text as its data and waits up to
    // timeoutMs, measured on the application
    // clock, for its reply; false at once when the request could not be sent. Between checks it
    // calls onIdle (when set) and sleeps 10 ms on the application clock. Raises ESocketError for
    // text that is not a dotted IPv4 address.
    bool Ping(const std::string& address, unsigned timeoutMs,
              const std::function<void()>& onIdle = {});

private:
    std::unique_ptr<TIcmpTransport> transport_;
    std::uint16_t sequence_ = 0;
};
