#include "platform/net/Ping.h"

#include "platform/base/Clock.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <set>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::uint16_t checksum(const unsigned char* p, std::size_t n) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < n; i += 2) sum += std::uint32_t(p[i] << 8 | p[i + 1]);
    if (n & 1) sum += std::uint32_t(p[n - 1] << 8);
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return std::uint16_t(~sum);
}

class SocketTransport : public TIcmpTransport {
public:
    SocketTransport() {
        fd_ = ::socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
        raw_ = fd_ >= 0;
        if (!raw_) {
            int rawErr = errno;
            fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
            if (fd_ < 0) {
                int err = errno;
                if (err == EACCES || err == EPERM || rawErr == EPERM || rawErr == EACCES)
                    throw EIcmpNotPermitted(
                        "ICMP echo is not allowed for this user: it needs root (or the "
                        "CAP_NET_RAW capability) or a group within net.ipv4.ping_group_range");
                throw ESocketError(Format("Cannot open an ICMP socket. %s", std::strerror(err)));
            }
        }
        // The kernel replaces the identifier of a datagram socket with its own port.
        id_ = std::uint16_t(::getpid() ^ reinterpret_cast<std::uintptr_t>(this));
    }
    ~SocketTransport() override { ::close(fd_); }

    bool SendEcho(std::uint32_t address, std::uint16_t sequence, const std::string& data) override {
        std::vector<unsigned char> packet(8 + std::min<std::size_t>(data.size(), 1016));
        packet[0] = 8; // echo request, code 0
        packet[4] = std::uint8_t(id_ >> 8);
        packet[5] = std::uint8_t(id_);
        packet[6] = std::uint8_t(sequence >> 8);
        packet[7] = std::uint8_t(sequence);
        std::copy_n(data.begin(), packet.size() - 8, packet.begin() + 8);
        std::uint16_t sum = checksum(packet.data(), packet.size());
        packet[2] = std::uint8_t(sum >> 8);
        packet[3] = std::uint8_t(sum);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = address;
        return ::sendto(fd_, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&to),
                        sizeof to) == ssize_t(packet.size());
    }

    bool ReplyArrived(std::uint32_t address, std::uint16_t sequence) override {
        unsigned char buf[1500];
        for (;;) {
            sockaddr_in from{};
            socklen_t len = sizeof from;
            ssize_t n =
                ::recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n < 0) break;
            const unsigned char* icmp = buf;
            std::size_t size = std::size_t(n);
            if (raw_) { // a raw socket hands over the IP header as well
                std::size_t ihl = std::size_t(buf[0] & 0x0F) * 4;
                if (size < ihl + 8) continue;
                icmp += ihl;
                size -= ihl;
            }
            if (size < 8 || icmp[0] != 0 || icmp[1] != 0) continue; // echo replies only
            std::uint16_t id = std::uint16_t(icmp[4] << 8 | icmp[5]);
            if (raw_ && id != id_) continue;
            std::uint16_t seq = std::uint16_t(icmp[6] << 8 | icmp[7]);
            replies_.insert({from.sin_addr.s_addr, seq});
        }
        return replies_.erase({address, sequence}) > 0;
    }

private:
    int fd_ = -1;
    bool raw_ = false;
    std::uint16_t id_ = 0;
    std::set<std::pair<std::uint32_t, std::uint16_t>> replies_;
};

} // namespace

std::unique_ptr<TIcmpTransport> CreateIcmpSocketTransport() {
    return std::make_unique<SocketTransport>();
}

TIcmpEcho::TIcmpEcho() : transport_(CreateIcmpSocketTransport()) {}

TIcmpEcho::TIcmpEcho(std::unique_ptr<TIcmpTransport> transport)
    : transport_(std::move(transport)) {}

TIcmpEcho::~TIcmpEcho() = default;

bool TIcmpEcho::Ping(const std::string& address, unsigned timeoutMs,
                     const std::function<void()>& onIdle) {
    in_addr addr{};
    if (::inet_pton(AF_INET, address.c_str(), &addr) != 1)
        throw ESocketError(Format("\"%s\" is not an IPv4 address", address));
    std::uint16_t seq = ++sequence_;
    if (!transport_->SendEcho(addr.s_addr, seq, address)) return false;
    TClock& clock = ApplicationClock();
    std::uint64_t start = clock.TickCount();
    for (;;) {
        if (transport_->ReplyArrived(addr.s_addr, seq)) return true;
        if (clock.TickCount() - start >= timeoutMs) return false;
        if (onIdle) onIdle();
        clock.Sleep(10);
    }
}
