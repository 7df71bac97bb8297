#pragma once
// UDP over IPv4: sending datagrams and a listener thread that delivers the ones received.
#include "platform/net/NetError.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

class TUdpSocket {
public:
    // Called on the listener thread for each datagram, with the sender's dotted address and
    // port; hand work for the UI over with TThread::Synchronize or Queue.
    using TDatagramEvent = std::function<void(
        const std::string& data, const std::string& fromAddress, std::uint16_t fromPort)>;

    TUdpSocket(); // raises ESocketError when no socket can be opened
    // Stops the listener and closes the socket; not to be called from the listener's callback.
    ~TUdpSocket();
    TUdpSocket(const TUdpSocket&) = delete;
    TUdpSocket& operator=(const TUdpSocket&) = delete;

    // The local address of the interface the system sends datagrams for address from; empty
    // when it has no route there (or address is no IPv4 address).
    static std::string LocalAddressFor(const std::string& address);

    // Binds to a local address and port (0: any free port); raises ESocketError.
    void Bind(std::uint16_t port = 0, const std::string& address = "0.0.0.0");
    std::uint16_t LocalPort() const;
    void SetBroadcast(bool enabled);

    // Sends one datagram to a dotted IPv4 address; raises ESocketError when it is refused.
    void SendTo(const std::string& address, std::uint16_t port, std::string_view data);

    // Starts the listener thread (binding to any free port first when not bound yet).
    // Raises EInvalidOperation when it runs already.
    void StartListening(TDatagramEvent onDatagram);
    // Stops the listener and waits until the thread has ended; a call from inside the
    // callback only asks it to stop.
    void StopListening();
    bool Listening() const { return listener_.joinable(); }

private:
    void listen();
    int fd_ = -1;
    int wake_[2] = {-1, -1};
    bool bound_ = false;
    std::thread listener_;
    TDatagramEvent onDatagram_;
};
