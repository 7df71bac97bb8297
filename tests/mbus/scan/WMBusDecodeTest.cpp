#include "mbus/scan/WMBus_Decode.h"

#include "MiniJson.h"
#include "platform/base/SysUtils.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string Examples = std::string(KNX_MBUS_EXAMPLES) + "/wireless/oms_vol2_annex_n.json";

// A datagram as the first radio-module type passes a telegram on: the telegram, one byte of
// its own and the signal byte (L + 3 bytes in all).
Bytes telitDatagram(const Bytes& telegram, std::uint8_t signal = 0x46) {
    Bytes d = telegram;
    d.push_back(0x00);
    d.push_back(signal);
    return d;
}

int decode(TSlave_wMBus_List& list, const Bytes& datagram, TRadioModule module = rmTelit) {
    TWireless_Decoder d;
    d.Module = module;
    d.Load(datagram.data(), int(datagram.size()));
    return d.Decode_Wireless_Frame(list);
}

std::vector<const TVariable_MBus*> realRecords(const TSlave_wMBus& s) {
    std::vector<const TVariable_MBus*> out;
    for (const auto& v : s.List_Var)
        if (v->Real_Wireless_Var) out.push_back(v.get());
    return out;
}

// A plain short-header telegram: L C man id ver type CI=7A acc status config(2) records.
Bytes plainShort(std::uint8_t config = 0x00, std::uint8_t blocks = 0x00) {
    Bytes t{0x00, 0x44, 0x2D, 0x2C, 0x78,   0x56,   0x34, 0x12, 0x01,
            0x07, 0x7A, 0x10, 0x00, blocks, config, 0x01, 0x13, 0x05};
    t[0] = std::uint8_t(t.size() - 1);
    return t;
}

TEST(WirelessTelegrams, PublishedExamplesDecryptWithTheMetersKey) {
    if (!std::filesystem::exists(Examples)) GTEST_SKIP() << "no example telegrams";
    const json::Value doc = json::parseFile(Examples);
    int decrypted = 0;
    for (std::size_t t = 0; t < doc["tests"].size(); ++t) {
        const json::Value& test = doc["tests"][t];
        for (std::size_t g = 0; g < test["telegrams"].size(); ++g) {
            const json::Value& tel = test["telegrams"][g];
            SCOPED_TRACE(test["test"].text);
            const Bytes datagram = telitDatagram(json::hexBytes(tel["telegram_hex"].text));
            TSlave_wMBus_List list;
            ASSERT_EQ(decode(list, datagram), 0);
            TSlave_wMBus& s = *list.Items(0);
            const json::Value& ll = tel["link_layer"];
            EXPECT_EQ(s.LLA_Manufacturer, int(ll["LLA_Manufacturer"].number));
            EXPECT_EQ(s.LLA_Manu_str, ll["LLA_Manu_str"].text);
            EXPECT_EQ(IntToHex(std::uint32_t(s.LLA_Address), 8), ll["LLA_Address_hex"].text);
            const json::Value& al = tel["application_layer_per_part_9_106"];
            if (!al.isNull()) {
                EXPECT_EQ(s.ALA_Manufacturer, int(al["ALA_Manufacturer"].number));
                EXPECT_EQ(IntToHex(std::uint32_t(s.ALA_Address), 8), al["ALA_Address_hex"].text);
                EXPECT_EQ(s.ALA_Version, int(al["ALA_Version"].number));
                EXPECT_EQ(s.ALA_DeviceType, int(al["ALA_DeviceType"].number));
            }
            EXPECT_EQ(s.RSSI, -72);
            // The first telegram of a sender is never decrypted.
            EXPECT_TRUE(s.Cripted);
            EXPECT_TRUE(s.List_Var.empty());
            if (tel["key"].text == "NOKEY" || !tel.has("aes_cbc_mode5")) {
                // Not mode 5: stays encrypted whatever key is given.
                s.Enable_Key = true;
                ASSERT_EQ(decode(list, datagram), 0);
                EXPECT_TRUE(s.Cripted);
                EXPECT_TRUE(s.List_Var.empty());
                continue;
            }
            const Bytes key = json::hexBytes(tel["key"].text);
            std::copy(key.begin(), key.end(), s.Key.begin());
            s.Enable_Key = true;
            ASSERT_EQ(decode(list, datagram), 0);
            EXPECT_FALSE(s.Cripted);
            ++decrypted;
            const auto records = realRecords(s);
            const json::Value& expected = tel["source_record_alignment"]["records"];
            ASSERT_EQ(records.size(), expected.size());
            EXPECT_EQ(s.List_Var.size() - records.size(),
                      std::size_t(tel["expected_placeholders"].number));
            for (std::size_t i = 0; i < records.size(); ++i) {
                const json::Value& e = expected[i];
                const json::Value& rec = e["record"];
                const TVariable_MBus& v = *records[i];
                EXPECT_EQ(v.DIF, "$" + rec["dif"].text);
                EXPECT_EQ(v.totdati, rec["data"].text);
                EXPECT_EQ(v.storage_number, std::int64_t(rec["storage_number"].number));
                EXPECT_EQ(v.tarif, int(rec["tarif"].number));
                EXPECT_EQ(v.device, int(rec["device"].number));
                EXPECT_EQ(v.function_fild, int(rec["function_fild"].number));
                if (e["kind"].text == "number") {
                    EXPECT_NEAR(StrToFloat(v.ValueStr) * e["factor_to_source_unit"].number,
                                e["expected_value"].number, 1e-6)
                        << v.ValueStr;
                } else if (e["kind"].text == "date") {
                    int day = 0, month = 0, year = 0;
                    ASSERT_EQ(std::sscanf(v.ValueStr.c_str(), "%d/%d/%d", &day, &month, &year), 3);
                    EXPECT_EQ(day, int(e["expected_date"]["day"].number));
                    EXPECT_EQ(month, int(e["expected_date"]["month"].number));
                    EXPECT_EQ(year, int(e["expected_date"]["year"].number));
                }
            }

            // The same telegram decrypted by the radio module decodes without a key.
            TSlave_wMBus_List clear;
            const Bytes plain = telitDatagram(json::hexBytes(tel["decrypted_telegram_hex"].text));
            decode(clear, plain);
            decode(clear, plain);
            EXPECT_FALSE(clear.Items(0)->Cripted);
            EXPECT_EQ(realRecords(*clear.Items(0)).size(), records.size());
        }
    }
    EXPECT_GE(decrypted, 2) << "with and without the extended link layer";
}

TEST(WirelessTelegrams, LayoutsDecideWhetherRecordsAreReadable) {
    struct Case {
        const char* what;
        Bytes telegram;
        bool cripted;
        std::size_t records;
    };
    Bytes mode5NoFiller = plainShort(0x05, 0x10);
    Bytes ci78 = plainShort();
    ci78[10] = 0x78;
    Bytes ell78{0x00, 0x44, 0x2D, 0x2C, 0x78, 0x56, 0x34, 0x12, 0x01,
                0x07, 0x8C, 0x20, 0x10, 0x78, 0x01, 0x13, 0x05};
    ell78[0] = std::uint8_t(ell78.size() - 1);
    Bytes ell7A{0x00, 0x44, 0x2D, 0x2C, 0x78, 0x56, 0x34, 0x12, 0x01, 0x07, 0x8C, 0x20, 0x10,
                0x7A, 0x10, 0x00, 0x00, 0x00, 0x01, 0x13, 0x05, 0x02, 0x13, 0x01, 0x00};
    ell7A[0] = std::uint8_t(ell7A.size() - 1);
    Bytes longPlain{0x00, 0x44, 0x2D, 0x2C, 0x78, 0x56, 0x34, 0x12, 0x01, 0x07, 0x72, 0x11, 0x22,
                    0x33, 0x44, 0x93, 0x15, 0x02, 0x03, 0x10, 0x00, 0x00, 0x00, 0x01, 0x13, 0x05};
    longPlain[0] = std::uint8_t(longPlain.size() - 1);
    // A long header naming mode 7 with the records beginning 2F 2F, and without them.
    Bytes longFiller(longPlain.begin(), longPlain.begin() + 23);
    longFiller[22] = 0x07;
    for (std::uint8_t b : {0x2F, 0x2F, 0x01, 0x13, 0x05}) longFiller.push_back(b);
    longFiller[0] = std::uint8_t(longFiller.size() - 1);
    Bytes longMode7 = longPlain;
    longMode7[22] = 0x07;
    const Case cases[] = {
        {"short header, mode 0", plainShort(), false, 1},
        {"short header, mode 5 not decrypted", mode5NoFiller, true, 0},
        {"CI 78 at offset 10", ci78, true, 0},
        {"extended link layer, no header", ell78, false, 1},
        {"extended link layer, short header mode 0", ell7A, false, 2},
        {"long header, mode 0", longPlain, false, 1},
        {"long header, mode 7, records after 2F 2F", longFiller, false, 3},
        {"long header, mode 7, no filler", longMode7, true, 0},
    };
    for (const auto& c : cases) {
        TSlave_wMBus_List list;
        ASSERT_EQ(decode(list, telitDatagram(c.telegram)), 0) << c.what;
        EXPECT_EQ(list.Items(0)->Cripted, c.cripted) << c.what;
        EXPECT_EQ(list.Items(0)->List_Var.size(), c.records) << c.what;
    }
    // The long header names the application-layer sender.
    TSlave_wMBus_List list;
    decode(list, telitDatagram(longPlain));
    EXPECT_EQ(list.Items(0)->ALA_Address, 0x44332211);
    EXPECT_EQ(list.Items(0)->ALA_Manu_str, "ELS");
    EXPECT_EQ(list.Items(0)->LLA_Manu_str, "KAM");
}

TEST(WirelessTelegrams, SendersAreKeptOncePerIdentityWithTheirSignal) {
    TSlave_wMBus_List list;
    EXPECT_EQ(decode(list, telitDatagram(plainShort(), 0x46)), 0);
    EXPECT_EQ(list.Items(0)->RSSI, -72);
    Bytes other = plainShort();
    other[4] = 0x79;
    EXPECT_EQ(decode(list, telitDatagram(other)), 1);
    Bytes radio = plainShort();
    radio.push_back(0xB4); // second module type: L + 1 bytes, the last one the signal
    radio[0] = std::uint8_t(radio.size() - 1);
    EXPECT_EQ(decode(list, radio, rmRadioCrafts), 0);
    EXPECT_EQ(list.Items(0)->RSSI, -37);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(Find_Wireless_Slave(list, 0x2C2D, 0x12345679, 1, 7), 1);
    EXPECT_EQ(Find_Wireless_Slave(list, 0x2C2D, 0x12345679, 2, 7), -1);

    const Bytes whole = telitDatagram(plainShort());
    EXPECT_TRUE(Is_Whole_Telegram(whole.data(), int(whole.size()), rmTelit));
    EXPECT_FALSE(Is_Whole_Telegram(whole.data(), int(whole.size()), rmRadioCrafts));
    EXPECT_FALSE(Is_Whole_Telegram(whole.data(), int(whole.size()) - 1, rmTelit));
}

TEST(WirelessTelegrams, UnsafeLengthsNeverReadPastTheTelegram) {
    TSlave_wMBus_List list;
    const Bytes tooShort{0x0A, 0x44, 0x2D, 0x2C, 0x78, 0x56, 0x34, 0x12, 0x01, 0x07, 0x7A};
    EXPECT_EQ(decode(list, tooShort), -1);
    EXPECT_EQ(list.Count(), 0);

    // Mode 5 announcing fifteen blocks in a telegram that holds one: stays encrypted.
    Bytes t = plainShort(0x05, 0xF0);
    for (int i = 0; i < 13; ++i) t.push_back(0x55);
    t[0] = std::uint8_t(t.size() - 1);
    decode(list, telitDatagram(t));
    list.Items(0)->Enable_Key = true;
    decode(list, telitDatagram(t));
    EXPECT_TRUE(list.Items(0)->Cripted);
    EXPECT_TRUE(list.Items(0)->List_Var.empty());

    // A datagram longer than the buffer is cut to it.
    Bytes huge(5000, 0x2F);
    TWireless_Decoder d;
    d.Load(huge.data(), int(huge.size()));
    EXPECT_EQ(d.Len, Ans_Array_Size);
}

TEST(WirelessTelegrams, ExtendedLinkLayerWithAnUnknownInnerCiKeepsTheLastRecords) {
    Bytes ell{0x00, 0x44, 0x2D, 0x2C, 0x78, 0x56, 0x34, 0x12, 0x01, 0x07, 0x8D, 0x20,
              0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x78, 0x01, 0x13, 0x05};
    ell[0] = std::uint8_t(ell.size() - 1);
    TSlave_wMBus_List list;
    decode(list, telitDatagram(ell));
    EXPECT_FALSE(list.Items(0)->Cripted);
    EXPECT_EQ(list.Items(0)->List_Var.size(), 1u);
    ell[19] = 0x90;
    decode(list, telitDatagram(ell));
    EXPECT_EQ(list.Items(0)->List_Var.size(), 1u) << "ignored";
}

} // namespace
