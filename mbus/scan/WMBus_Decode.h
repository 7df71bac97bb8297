#pragma once
// Decoding of wireless M-Bus telegrams as the gateway's radio module passes them on: the
// sender is identified, encryption mode 5 is decrypted with the sender's key and readable
// records are decoded into the sender's record list.
#include "mbus/scan/Slave_MBus.h"

#include <array>
#include <cstdint>

enum TRadioModule { rmTelit, rmRadioCrafts };

// Receive buffer size of the scan thread; a longer datagram is cut to it.
constexpr int Ans_Array_Size = 2048;

// What Decode_Wireless_Frame returns for a new sender that the full list refuses.
constexpr int Sender_List_Full = -2;

// Whether a datagram of Len bytes is one whole telegram for the module (L + 3 or L + 1).
bool Is_Whole_Telegram(const std::uint8_t* Data, int Len, TRadioModule Module);

// The index of the first sender with this application-layer identity, or -1.
int Find_Wireless_Slave(const TSlave_wMBus_List& List, std::uint16_t Manufacturer, int Address,
                        std::uint8_t Version, std::uint8_t DeviceType);

class TWireless_Decoder {
public:
    // The telegram being decoded; decryption replaces the cipher text in place.
    std::array<std::uint8_t, Ans_Array_Size> Telegram{};
    int Len = 0;
    TRadioModule Module = rmTelit;

    // Copies a telegram into the buffer, at most Ans_Array_Size bytes.
    void Load(const std::uint8_t* Data, int Count);
    // Decodes the telegram into List (a new sender is appended, a known one gets the new
    // records) and returns the sender's index, -1 when the telegram is too short to name a
    // sender, or Sender_List_Full when it names a new one and the list holds
    // Max_Wireless_Senders. Holds the list's lock while it works.
    int Decode_Wireless_Frame(TSlave_wMBus_List& List);
};
