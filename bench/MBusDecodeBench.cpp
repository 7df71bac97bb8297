// Decoding throughput of the M-Bus decoders: wired RSP_UD telegrams and wireless telegrams of
// encryption mode 5 (AES-128-CBC), each 100,000 times; the "telegrams/s" counter is the rate.
#include "mbus/scan/MBus_Decode.h"
#include "mbus/scan/WMBus_Decode.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

constexpr int Telegrams = 100000;

std::vector<std::uint8_t> hexBytes(const std::string& hex) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(std::uint8_t(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return out;
}

// A heat meter's answer: energy, volume, power, flow, temperatures, a date and a storage record.
std::vector<std::uint8_t> wiredTelegram() {
    // Header: 68 L L 68, C A CI, identification, manufacturer, version, medium, access number,
    // status, signature; then the records.
    std::vector<std::uint8_t> f = hexBytes("68000068080572785634122D2C0104010000000"
                                           "4060300000004131531000005"
                                           "2B0000803F0B3B2301000A5A5102025E8801046D2D0EAF16"
                                           "4406010000008401FD1700000000");
    std::uint8_t sum = 0;
    for (std::size_t i = 4; i < f.size(); ++i) sum = std::uint8_t(sum + f[i]);
    f.push_back(sum);
    f.push_back(0x16);
    f[1] = f[2] = std::uint8_t(f.size() - 6);
    return f;
}

void WiredTelegrams(benchmark::State& state) {
    const std::vector<std::uint8_t> frame = wiredTelegram();
    std::size_t records = 0;
    for (auto _ : state) {
        for (int i = 0; i < Telegrams; ++i) {
            TSlave_MBus_List list;
            TMBus_Decoder decoder;
            bool noMore = true;
            decoder.Add_Wired_Slave(list, frame.data(), int(frame.size()), -1, noMore);
            records += list.Items(0)->List_Var.size();
        }
    }
    benchmark::DoNotOptimize(records);
    state.counters["telegrams/s"] = benchmark::Counter(
        double(Telegrams) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["records"] = double(records) / double(state.iterations()) / Telegrams;
}

void EncryptedWirelessTelegrams(benchmark::State& state) {
    // A short-header telegram of encryption mode 5 (two blocks) with its key, and two bytes the
    // radio module appends.
    std::vector<std::uint8_t> datagram =
        hexBytes("2E4493157856341233037A2A0020255923C95AAA26D1B2E7493B013EC4A6F6D3529B520EDFF0"
                 "EA6DEFC99D6D69EBF30046");
    const std::vector<std::uint8_t> key = hexBytes("0102030405060708090A0B0C0D0E0F11");
    TSlave_wMBus_List list;
    TWireless_Decoder decoder;
    decoder.Load(datagram.data(), int(datagram.size()));
    decoder.Decode_Wireless_Frame(list); // the first telegram makes the sender
    std::copy(key.begin(), key.end(), list.Items(0)->Key.begin());
    list.Items(0)->Enable_Key = true;
    std::size_t decrypted = 0;
    for (auto _ : state) {
        for (int i = 0; i < Telegrams; ++i) {
            decoder.Load(datagram.data(), int(datagram.size()));
            decoder.Decode_Wireless_Frame(list);
            decrypted += list.Items(0)->Cripted ? 0 : 1;
        }
    }
    if (decrypted != std::size_t(Telegrams) * state.iterations())
        state.SkipWithError("a telegram was not decrypted");
    state.counters["telegrams/s"] = benchmark::Counter(
        double(Telegrams) * double(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(WiredTelegrams)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(EncryptedWirelessTelegrams)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
