#include "platform/net/Http.h"

#include "platform/base/Clock.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A one-connection HTTP server on 127.0.0.1: records the request and answers it, or stays
// silent until it is destroyed.
class LocalServer {
public:
    explicit LocalServer(bool answer) : answer_(answer) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd_, 4);
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        if (::pipe(stop_) != 0) std::abort();
        thread_ = std::thread([this] { serve(); });
    }
    ~LocalServer() {
        [[maybe_unused]] ssize_t w = ::write(stop_[1], "x", 1);
        thread_.join();
        ::close(fd_);
        ::close(stop_[0]);
        ::close(stop_[1]);
    }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::string request; // read once the client's request is complete

private:
    bool waitFor(int fd) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {stop_[0], POLLIN, 0}};
        return ::poll(fds, 2, -1) > 0 && !fds[1].revents;
    }
    void serve() {
        if (!waitFor(fd_)) return;
        int c = ::accept(fd_, nullptr, nullptr);
        std::string got;
        char buf[4096];
        while (got.find("\r\n\r\n") == std::string::npos && waitFor(c)) {
            ssize_t n = ::read(c, buf, sizeof buf);
            if (n <= 0) break;
            got.append(buf, std::size_t(n));
        }
        request = got;
        if (answer_) {
            std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 9\r\nX-Gw: 1\r\n"
                                "Connection: close\r\n\r\nVER. 2.01";
            [[maybe_unused]] ssize_t w = ::write(c, reply.data(), reply.size());
        } else {
            waitFor(stop_[0]); // hold the connection open without answering
        }
        ::close(c);
    }
    bool answer_;
    int fd_ = -1;
    int stop_[2] = {-1, -1};
    std::uint16_t port_ = 0;
    std::thread thread_;
};

TEST(HttpGet, SendsTheChosenVersionAndHeaders) {
    struct Case {
        THttpVersion version;
        const char* requestLine;
    };
    const Case cases[] = {
        {THttpVersion::Http10, "GET /home/GetversionSW.asp?nomesw=AB HTTP/1.0\r\n"},
        {THttpVersion::Http11, "GET /home/GetversionSW.asp?nomesw=AB HTTP/1.1\r\n"},
    };
    for (const auto& c : cases) {
        THttpResponse r;
        std::string request;
        {
            LocalServer server(true);
            THttpRequest q;
            q.Url = server.Url("/home/GetversionSW.asp?nomesw=AB");
            q.Version = c.version;
            q.Headers = {"Accept: text/html", "User-Agent: KnxConfig"};
            q.TimeoutMs = 10000;
            r = HttpGet(q);
            // The server's thread has stored the request before it answered.
            request = server.request;
        }
        EXPECT_EQ(request.rfind(c.requestLine, 0), 0u) << request;
        EXPECT_NE(request.find("\r\nAccept: text/html\r\n"), std::string::npos) << request;
        EXPECT_NE(request.find("\r\nUser-Agent: KnxConfig\r\n"), std::string::npos) << request;
        EXPECT_EQ(r.StatusCode, 200);
        EXPECT_EQ(r.Body, "VER. 2.01");
        EXPECT_NE(std::find(r.Headers.begin(), r.Headers.end(), "X-Gw: 1"), r.Headers.end());
    }
}

TEST(HttpGet, SilentServerRunsIntoTheTimeOut) {
    LocalServer server(false);
    TManualClock clock;
    SetApplicationClock(&clock);
    THttpRequest q;
    q.Url = server.Url("/slow");
    q.TimeoutMs = 5000;
    std::uint64_t start = clock.TickCount();
    try {
        HttpGet(q);
        ADD_FAILURE() << "no time-out";
    } catch (const ESocketError& e) {
        EXPECT_NE(e.Message().find("timed out"), std::string::npos) << e.Message();
    }
    std::uint64_t waited = clock.TickCount() - start;
    SetApplicationClock(nullptr);
    EXPECT_GE(waited, 5000u);
    EXPECT_LT(waited, 5100u);
}

TEST(HttpGet, RefusedConnectionIsAnError) {
    int port;
    {
        LocalServer server(true);
        port = std::stoi(server.Url("").substr(17));
        // Satisfy the server so that it ends; then nothing listens on the port.
        THttpRequest q;
        q.Url = server.Url("/");
        HttpGet(q);
    }
    THttpRequest q;
    q.Url = "http://127.0.0.1:" + std::to_string(port) + "/";
    EXPECT_THROW(HttpGet(q), ESocketError);
}

} // namespace
