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
    explicit LocalServer(bool answer, std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: "
                                                          "9\r\nX-Gw: 1\r\nConnection: "
                                                          "close\r\n\r\nVER. 2.01")
        : answer_(answer), reply_(std::move(reply)) {
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
            for (std::size_t done = 0; done < reply_.size();) {
                const ssize_t w =
                    ::send(c, reply_.data() + done, reply_.size() - done, MSG_NOSIGNAL);
                if (w <= 0) break; // the client has gone
                done += std::size_t(w);
            }
        } else {
            waitFor(stop_[0]); // hold the connection open without answering
        }
        ::close(c);
    }
    bool answer_;
    std::string reply_;
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

// An answer past the bound ends the request with an error, whether its length is announced or
// not, and nothing the server sends makes an exception cross the HTTP library.
TEST(HttpGet, AnswerLargerThanTheBoundIsRefused) {
    const std::string big(64 * 1024 + 1, 'v');
    struct Case {
        const char* name;
        std::string reply;
        bool refused;
    };
    const Case cases[] = {
        {"announced length",
         "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(big.size()) +
             "\r\nConnection: close\r\n\r\n" + big,
         true},
        {"read to the end", "HTTP/1.0 200 OK\r\n\r\n" + big, true},
        {"endless header", "HTTP/1.1 200 OK\r\nX-Pad: " + big + "\r\n\r\n", true},
        {"exactly the bound", "HTTP/1.0 200 OK\r\n\r\n" + big.substr(1), false},
    };
    for (const Case& c : cases) {
        LocalServer server(true, c.reply);
        THttpRequest q;
        q.Url = server.Url("/");
        q.TimeoutMs = 60000;
        if (c.refused) {
            try {
                HttpGet(q);
                ADD_FAILURE() << c.name << ": the answer was taken";
            } catch (const ESocketError& e) {
                EXPECT_NE(e.Message().find("larger than 65536 bytes"), std::string::npos)
                    << c.name << ": " << e.Message();
            }
        } else {
            EXPECT_EQ(HttpGet(q).Body.size(), 64u * 1024u) << c.name;
        }
    }
}

// The caller's wait hook runs while the answer is awaited; what it raises ends the request.
TEST(HttpGet, WaitHookRunsWhileWaitingAndMayEndTheRequest) {
    LocalServer server(false);
    TManualClock clock;
    SetApplicationClock(&clock);
    THttpRequest q;
    q.Url = server.Url("/slow");
    q.TimeoutMs = 5000;
    int calls = 0;
    q.OnWait = [&] {
        if (++calls == 3) throw EAbort("stopped");
    };
    EXPECT_THROW(HttpGet(q), EAbort);
    SetApplicationClock(nullptr);
    EXPECT_EQ(calls, 3);
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
