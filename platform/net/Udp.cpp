#include "platform/net/Udp.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in ipv4(const std::string& address, std::uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.c_str(), &a.sin_addr) != 1)
        throw ESocketError(Format("\"%s\" is not an IPv4 address", address));
    return a;
}

std::string errnoText() {
    return std::strerror(errno);
}

} // namespace

TUdpSocket::TUdpSocket() {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) throw ESocketError(Format("Cannot open a UDP socket. %s", errnoText()));
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
        ::close(fd_);
        throw ESocketError(Format("Cannot open a UDP socket. %s", errnoText()));
    }
}

TUdpSocket::~TUdpSocket() {
    StopListening();
    ::close(fd_);
    ::close(wake_[0]);
    ::close(wake_[1]);
}

std::string TUdpSocket::LocalAddressFor(const std::string& address) {
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(9); // any port: connecting a datagram socket only picks the route
    if (::inet_pton(AF_INET, address.c_str(), &remote.sin_addr) != 1) return {};
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return {};
    sockaddr_in local{};
    socklen_t len = sizeof local;
    const bool routed = ::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0 &&
                        ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) == 0;
    ::close(fd);
    char text[INET_ADDRSTRLEN] = {};
    if (!routed || !::inet_ntop(AF_INET, &local.sin_addr, text, sizeof text)) return {};
    return text;
}

void TUdpSocket::Bind(std::uint16_t port, const std::string& address) {
    sockaddr_in a = ipv4(address, port);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
        throw ESocketError(
            Format("Cannot bind a UDP socket to %s:%u. %s", address, unsigned(port), errnoText()));
    bound_ = true;
}

std::uint16_t TUdpSocket::LocalPort() const {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
    return ntohs(a.sin_port);
}

void TUdpSocket::SetBroadcast(bool enabled) {
    int on = enabled ? 1 : 0;
    if (::setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0)
        throw ESocketError(Format("Cannot set broadcast on a UDP socket. %s", errnoText()));
}

void TUdpSocket::SendTo(const std::string& address, std::uint16_t port, std::string_view data) {
    sockaddr_in a = ipv4(address, port);
    ssize_t n =
        ::sendto(fd_, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
    if (n != ssize_t(data.size()))
        throw ESocketError(
            Format("Cannot send a datagram to %s:%u. %s", address, unsigned(port), errnoText()));
}

void TUdpSocket::StartListening(TDatagramEvent onDatagram) {
    if (listener_.joinable()) throw EInvalidOperation("The UDP listener runs already");
    if (!bound_) Bind();
    // Drop a stop request left from an earlier listener.
    char drain[16];
    while (::read(wake_[0], drain, sizeof drain) > 0) {
    }
    onDatagram_ = std::move(onDatagram);
    listener_ = std::thread([this] { listen(); });
}

void TUdpSocket::StopListening() {
    if (!listener_.joinable()) return;
    char one = 1;
    [[maybe_unused]] ssize_t w = ::write(wake_[1], &one, 1);
    if (listener_.get_id() == std::this_thread::get_id()) return;
    listener_.join();
}

void TUdpSocket::listen() {
    std::string buf(65536, '\0');
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        if (!(fds[0].revents & POLLIN)) continue;
        sockaddr_in from{};
        socklen_t len = sizeof from;
        ssize_t n = ::recvfrom(fd_, buf.data(), buf.size(), MSG_DONTWAIT,
                               reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 0) continue;
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
        if (onDatagram_) onDatagram_(buf.substr(0, std::size_t(n)), text, ntohs(from.sin_port));
    }
}
