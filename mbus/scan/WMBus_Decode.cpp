#include "mbus/scan/WMBus_Decode.h"

#include "mbus/scan/Aes128.h"
#include "mbus/scan/MBus_Decode.h"

#include <algorithm>
#include <cstring>

namespace {

// Where a layout keeps its inner CI, its configuration byte and its records.
struct Layout {
    int innerCI = -1; // offset of the transport-layer CI
    int config = -1;  // offset of the configuration word's high byte; -1 none
    int start = -1;   // first record byte; -1: never readable
    bool longHeader = false;
};

constexpr int Min_Telegram = 12; // up to the CI field and the signal byte

Layout layoutOf(const std::uint8_t* t, int len) {
    Layout l;
    auto inner = [&](int at) {
        if (at >= len) return;
        l.innerCI = at;
        switch (t[at]) {
        case 0x78:
            l.start = at + 1;
            break;
        case 0x7A:
            l.config = at + 4;
            l.start = at + 5;
            break;
        case 0x72:
            l.config = at + 12;
            l.start = at + 13;
            l.longHeader = true;
            break;
        default:
            break;
        }
    };
    switch (t[10]) {
    case 0x7A:
    case 0x72:
        inner(10);
        break;
    case 0x8C:
        inner(13);
        break;
    case 0x8D:
        inner(19);
        break;
    default:
        break;
    }
    // Every byte the layout names lies inside the record area, which ends at the
    // third-last byte.
    if (l.start > len - 2 || l.config >= len - 2) l = Layout{};
    return l;
}

std::uint32_t le32(const std::uint8_t* b) {
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
           std::uint32_t(b[3]) << 24;
}

bool fillerAt(const std::uint8_t* t, int len, int at) {
    return at + 1 < len - 2 && t[at] == 0x2F && t[at + 1] == 0x2F;
}

} // namespace

bool Is_Whole_Telegram(const std::uint8_t* Data, int Len, TRadioModule Module) {
    if (Len < 1) return false;
    return Len == Data[0] + (Module == rmTelit ? 3 : 1);
}

int Find_Wireless_Slave(const TSlave_wMBus_List& List, std::uint16_t Manufacturer, int Address,
                        std::uint8_t Version, std::uint8_t DeviceType) {
    return List.Find(Manufacturer, Address, Version, DeviceType);
}

void TWireless_Decoder::Load(const std::uint8_t* Data, int Count) {
    Len = std::clamp(Count, 0, Ans_Array_Size);
    std::memcpy(Telegram.data(), Data, std::size_t(Len));
}

int TWireless_Decoder::Decode_Wireless_Frame(TSlave_wMBus_List& List) {
    std::uint8_t* t = Telegram.data();
    if (Len < Min_Telegram) return -1;
    const std::uint8_t ci = t[10];

    const std::uint16_t llaMan = std::uint16_t(t[2] | t[3] << 8);
    const int llaId = int(le32(t + 4));
    const std::uint8_t llaVer = t[8], llaType = t[9];
    std::uint16_t alaMan = llaMan;
    int alaId = llaId;
    std::uint8_t alaVer = llaVer, alaType = llaType;
    if (ci != 0x7A && ci != 0x8C && ci != 0x8D && Len >= 19) {
        alaId = int(le32(t + 11));
        alaMan = std::uint16_t(t[15] | t[16] << 8);
        alaVer = t[17];
        alaType = t[18];
    }

    const std::uint8_t signal = t[Len - 1];
    const std::int8_t rssi = Module == rmTelit ? std::int8_t(std::uint8_t(-signal - 2))
                                               : std::int8_t(std::int8_t(signal) / 2 + 1);

    auto lock = List.Lock();
    int index = Find_Wireless_Slave(List, alaMan, alaId, alaVer, alaType);
    const Layout layout = layoutOf(t, Len);
    TSlave_wMBus* sender;
    if (index < 0) {
        if (List.Count() >= Max_Wireless_Senders) return Sender_List_Full;
        auto s = std::make_unique<TSlave_wMBus>();
        s->Message_Type = t[1];
        s->LLA_Manufacturer = llaMan;
        s->LLA_Manu_str = Trova_Man(llaMan);
        s->LLA_Address = llaId;
        s->LLA_Version = llaVer;
        s->LLA_DeviceType = llaType;
        s->ALA_Manufacturer = alaMan;
        s->ALA_Manu_str = Trova_Man(alaMan);
        s->ALA_Address = alaId;
        s->ALA_Version = alaVer;
        s->ALA_DeviceType = alaType;
        s->RSSI = rssi;
        s->RadioCrafts_Ind_Tab_Decript = -1;
        sender = s.get();
        index = List.Add(std::move(s));
    } else {
        sender = List.Items(index);
        // Mode 5: AES-128-CBC over the announced blocks, with or without the extended link
        // layer, unless the radio module decrypted the telegram already.
        const bool cipherLayout = ci == 0x7A || ci == 0x72 || ci == 0x8C;
        if (cipherLayout && layout.config >= 0 && sender->Enable_Key &&
            (t[layout.config] & 0x05) == 0x05 && !fillerAt(t, Len, layout.start)) {
            const int blocks = t[layout.config - 1] >> 4;
            const int cipherLen = 16 * blocks;
            if (blocks > 0 && layout.start + cipherLen <= Len - 2) {
                TAESBuffer iv;
                const int h = layout.innerCI;
                if (layout.longHeader) {
                    const int order[8] = {h + 5, h + 6, h + 1, h + 2, h + 3, h + 4, h + 7, h + 8};
                    for (int i = 0; i < 8; ++i) iv[std::size_t(i)] = t[order[i]];
                    std::fill(iv.begin() + 8, iv.end(), t[h + 9]);
                } else {
                    std::copy(t + 2, t + 10, iv.begin());
                    std::fill(iv.begin() + 8, iv.end(), t[h + 1]);
                }
                TAESKey128 key;
                std::copy(sender->Key.begin(), sender->Key.end(), key.begin());
                Aes_Cbc_Decrypt_Buffer(t + layout.start, std::size_t(cipherLen), key, iv);
            }
        }
        if ((ci == 0x8D || ci == 0x8F) &&
            (Len <= 19 || (t[19] != 0x72 && t[19] != 0x78 && t[19] != 0x7A)))
            return index;
    }

    sender->Cancel_Var();
    sender->DateTime = Now();
    sender->RSSI = rssi;
    bool readable = false;
    if (layout.start >= 0) {
        if (layout.config < 0) {
            readable = true;
        } else {
            // A long header without an extended link layer is read whenever its records begin
            // with the filler, whatever mode it names; the other layouts need mode 5 for that.
            const int mode = t[layout.config] & 0x0F;
            readable = mode == 0 || ((mode == 5 || ci == 0x72) && fillerAt(t, Len, layout.start));
        }
    }
    sender->Cripted = !readable;
    if (readable && layout.start <= Len - 3) {
        TMBus_Decoder decoder(true);
        decoder.Decode_Data_Records(sender->List_Var, Len - 3 - layout.start, t + layout.start);
    }
    return index;
}
