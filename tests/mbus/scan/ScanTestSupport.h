#pragma once
// A simulated gateway on 127.0.0.1 with wired meters and a radio module, and a clock that
// moves only when every request has been answered or dropped, so that the scan thread's
// time-outs are decided by the manual clock alone.
#include "mbus/scan/MBusScanDecode.h"
#include "platform/base/Clock.h"
#include "platform/net/Udp.h"
#include "platform/xml/XmlDoc.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace scantest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytesOf(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// Sleep moves the time only once the predicate holds (it is waited for in real time, at most
// a few seconds, so that a broken test fails instead of hanging).
class LockstepClock : public TClock {
public:
    std::uint64_t TickCount() override { return now_.load(); }
    void Sleep(unsigned ms) override {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            std::function<bool()> quiet;
            {
                std::lock_guard lock(mutex_);
                quiet = quiet_;
            }
            if (!quiet || quiet() || std::chrono::steady_clock::now() >= limit) break;
            std::this_thread::yield();
        }
        now_ += ms;
    }
    void setQuiet(std::function<bool()> quiet) {
        std::lock_guard lock(mutex_);
        quiet_ = std::move(quiet);
    }

private:
    std::atomic<std::uint64_t> now_{5000000};
    std::mutex mutex_;
    std::function<bool()> quiet_;
};

// Runs the UI thread's queued calls until pred holds (at most 30 s of real time).
inline bool pumpUntil(const std::function<bool()>& pred) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!pred()) {
        CheckSynchronize();
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::yield();
    }
    CheckSynchronize();
    return true;
}

// The element children of a node (the file's indentation aside).
inline std::vector<TXmlNode> elementsOf(const TXmlNode& Node) {
    std::vector<TXmlNode> out;
    const TXmlNodeList list = Node.ChildNodes();
    for (int i = 0; i < list.Count(); ++i)
        if (list[i].NodeType() == ntElement) out.push_back(list[i]);
    return out;
}

struct Meter {
    int primary = 1;
    std::uint32_t id = 0x12345678; // BCD digits of the secondary address
    int telegrams = 1;             // telegrams before the last one end with DIF 1F
    int dropAnswers = 0;           // first REQ_UD2 answers left unanswered
    int garbleAnswers = 0;         // then REQ_UD2 answers with a wrong checksum
    int dropFrom = 0;              // from this REQ_UD2 on (counted from 1) no answer; 0: never
};

// One meter's RSP_UD: header, one volume record and DIF 1F when more telegrams follow.
inline Bytes rspUd(const Meter& m, int telegram, bool more) {
    Bytes b{0x68,
            0,
            0,
            0x68,
            0x08,
            std::uint8_t(m.primary),
            0x72,
            std::uint8_t(m.id),
            std::uint8_t(m.id >> 8),
            std::uint8_t(m.id >> 16),
            std::uint8_t(m.id >> 24),
            0x2D,
            0x2C,
            0x01,
            0x07,
            0x01,
            0x00,
            0x00,
            0x00,
            0x01,
            0x13,
            std::uint8_t(telegram)};
    if (more) b.push_back(0x1F);
    std::uint8_t sum = 0;
    for (std::size_t i = 4; i < b.size(); ++i) sum = std::uint8_t(sum + b[i]);
    b.push_back(sum);
    b.push_back(0x16);
    b[1] = b[2] = std::uint8_t(b.size() - 6);
    return b;
}

// The meters' side of the wired bus: answers one request frame (empty: no answer).
class Bus {
public:
    std::vector<Meter> meters;
    std::vector<std::uint8_t> requestCFields; // C fields of the REQ_UD2 frames seen

    Bytes answer(const Bytes& f) {
        if (f.size() == 5 && f[0] == 0x10) {
            const std::uint8_t c = f[1], a = f[2];
            if (c == 0x40) { // SND_NKE
                if (a == 0xFF) {
                    selected_ = -1;
                    return {};
                }
                Meter* m = find(a);
                if (a == 0xFD) selected_ = -1;
                return m ? Bytes{0xE5} : Bytes{};
            }
            requestCFields.push_back(c);
            Meter* m = find(a);
            if (!m) return {};
            int& sent = sent_[m->id];
            int& asked = asked_[m->id];
            ++asked;
            if (asked <= m->dropAnswers || (m->dropFrom > 0 && asked >= m->dropFrom)) return {};
            if (asked <= m->dropAnswers + m->garbleAnswers) {
                Bytes b = rspUd(*m, 0, false);
                b[b.size() - 2] ^= 0xFF;
                return b;
            }
            const int t = sent % m->telegrams;
            ++sent;
            return rspUd(*m, t, t + 1 < m->telegrams);
        }
        if (f.size() == 9 && f[0] == 0x68 && f[6] == 0x50) { // application reset
            return find(f[5]) && f[5] != 0xFF ? Bytes{0xE5} : Bytes{};
        }
        if (f.size() == 17 && f[0] == 0x68 && f[6] == 0x52) { // selection
            std::vector<int> matching;
            for (std::size_t i = 0; i < meters.size(); ++i)
                if (matches(meters[i].id, f)) matching.push_back(int(i));
            selected_ = -1;
            if (matching.empty()) return bytesOf("NO_SLAVE\n\r");
            if (matching.size() > 1) return {0xE5, 0x5E, 0xE5}; // several acknowledgements at once
            selected_ = matching[0];
            return {0xE5};
        }
        return {};
    }

private:
    Meter* find(std::uint8_t a) {
        if (a == 0xFD) return selected_ >= 0 ? &meters[std::size_t(selected_)] : nullptr;
        for (auto& m : meters)
            if (m.primary == a) return &m;
        return nullptr;
    }
    static bool matches(std::uint32_t id, const Bytes& f) {
        const std::uint32_t mask = std::uint32_t(f[7]) | std::uint32_t(f[8]) << 8 |
                                   std::uint32_t(f[9]) << 16 | std::uint32_t(f[10]) << 24;
        for (int n = 0; n < 8; ++n) {
            const unsigned want = (mask >> (4 * n)) & 0xF;
            if (want != 0xF && want != ((id >> (4 * n)) & 0xF)) return false;
        }
        return true;
    }
    int selected_ = -1;
    std::map<std::uint32_t, int> sent_, asked_;
};

// The gateway: analyzer and configuration mode, the radio module and the bus.
class Gateway {
public:
    enum class Radio { Telit, RadioCrafts };

    explicit Gateway(const std::string& address = "127.0.0.1") : address_(address) {
        socket_.Bind(0, address);
        socket_.StartListening([this](const std::string& d, const std::string& from,
                                      std::uint16_t port) { receive(d, from, port); });
    }
    ~Gateway() { socket_.StopListening(); }

    std::uint16_t port() const { return socket_.LocalPort(); }
    const std::string& address() const { return address_; }

    // Behaviour.
    Bus bus;
    bool analyzerAnswers = true;
    std::string analyzerAnswer = "\n\rAnalyzer_Mode Enabled!\n\r";
    Radio radio = Radio::Telit;
    bool radioAnswers = true;
    std::string oversized; // answered to the next M-Bus frame instead of the bus, once

    // What the gateway received, in order, with the clock time of each.
    std::vector<Bytes> received() {
        std::lock_guard lock(mutex_);
        return log_;
    }
    std::vector<std::uint64_t> times() {
        std::lock_guard lock(mutex_);
        return times_;
    }
    std::uint16_t lastSenderPort() {
        std::lock_guard lock(mutex_);
        return senderPort_;
    }
    // Sends a telegram to the scan, as the radio module passes it on.
    void sendTelegram(const Bytes& datagram) {
        ++sent_;
        std::string from, to;
        std::uint16_t port;
        {
            std::lock_guard lock(mutex_);
            to = senderAddress_;
            port = senderPort_;
        }
        socket_.SendTo(to, port, std::string(datagram.begin(), datagram.end()));
    }
    // Every request handled and every answer received by the scan.
    bool quiet(const TMBusScanDecode& scan) const {
        return handled_ == scan.Sent_Count() && sent_ == scan.Received_Count();
    }
    std::uint64_t handledCount() const { return handled_; }
    std::uint64_t sentCount() const { return sent_; }

private:
    void reply(const std::string& to, std::uint16_t port, const Bytes& b) {
        if (b.empty()) return;
        ++sent_;
        socket_.SendTo(to, port, std::string(b.begin(), b.end()));
    }
    void receive(const std::string& d, const std::string& from, std::uint16_t port) {
        Bytes b(d.begin(), d.end());
        {
            std::lock_guard lock(mutex_);
            log_.push_back(b);
            times_.push_back(GetTickCount64());
            senderAddress_ = from;
            senderPort_ = port;
        }
        reply(from, port, answer(d, b));
        ++handled_;
    }
    Bytes answer(const std::string& d, const Bytes& b) {
        if (d == "Morvik_Enable_Analyzer_Mode")
            return analyzerAnswers ? bytesOf(analyzerAnswer) : Bytes{};
        if (d == "Morvik_Disable_Analyzer_Mode")
            return analyzerAnswers ? bytesOf("\n\rAnalyzer_Mode Disabled!\n\r") : Bytes{};
        if (!radioAnswers) return {};
        if (d == "Morvik_Enable_Configuration_Mode")
            return bytesOf("\n\rConfiguration_Mode Enabled!\n\r");
        if (d == "Morvik_Disable_Configuration_Mode")
            return bytesOf("\n\rConfiguration_Mode Disabled!\n\r");
        if (d == "Morvik_Type_Radio_Module")
            return bytesOf(radio == Radio::Telit ? "\n\rTELIT\n\r" : "\n\rRADIOCRAFTS\n\r");
        if (d == "+++" || (d.size() > 2 && d.compare(0, 2, "AT") == 0)) return bytesOf("OK\r");
        if (!oversized.empty()) {
            Bytes o(oversized.begin(), oversized.end());
            oversized.clear();
            return o;
        }
        if (radio == Radio::RadioCrafts && (b.size() != 5 || b[0] != 0x10) &&
            !(b.size() >= 9 && b[0] == 0x68))
            return radioCrafts(b);
        return bus.answer(b);
    }
    // The second radio module: prompts after its command bytes and blocks.
    Bytes radioCrafts(const Bytes& b) {
        if (b.size() == 1) {
            if (b[0] == '0') {
                Bytes config(256, 0x00);
                config.push_back('>');
                return config;
            }
            if (b[0] == 'X') return {};
        }
        return {'>'};
    }

    std::string address_;
    TUdpSocket socket_;
    std::mutex mutex_;
    std::vector<Bytes> log_;
    std::vector<std::uint64_t> times_;
    std::string senderAddress_;
    std::uint16_t senderPort_ = 0;
    std::atomic<std::uint64_t> handled_{0}, sent_{0};
};

} // namespace scantest
