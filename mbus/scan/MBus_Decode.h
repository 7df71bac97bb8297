#pragma once
// Decoding of M-Bus data records (DIF, DIFE, VIF, VIFE, data) into TVariable_MBus items, and
// of a wired RSP_UD answer into a TSlave_MBus. The decoder keeps the bytes of the record it
// is working on in its own context, so it runs without the scan thread.
#include "mbus/scan/Slave_MBus.h"

#include <array>
#include <cstdint>
#include <string>

class TMBus_Decoder {
public:
    // A wireless scan keeps a placeholder record for each 2F filler byte.
    explicit TMBus_Decoder(bool Wireless_Scan = false) : Wireless_Scan(Wireless_Scan) {}

    bool Wireless_Scan;
    // Data bytes and VIFEs of the record being decoded.
    std::array<std::uint8_t, 256> App_Data_Val{};
    std::array<std::uint8_t, 11> App_Vife_Val{};
    int App_Vife_Count = 0;

    // Decodes the records of Area[0..Last] and appends them to List. Returns false when a
    // DIF 1F announced that further telegrams follow.
    bool Decode_Data_Records(TVariable_List& List, int Last, const std::uint8_t* Area);
    // Fills type_data, Type_Data_Vife, Desc_Type_Data and ValueStr of Record from the VIF,
    // the VIFEs in App_Vife_Val and the data bytes in App_Data_Val.
    void Decode_VIF_Value(std::uint8_t VIF, std::uint8_t VIFE, TVariable_MBus& Record, int Data_Len,
                          std::uint8_t LVar, std::uint8_t Data_Field);
    // The first n bytes of App_Data_Val as BCD, least significant byte first; a high nibble F
    // in the last byte makes the value negative.
    std::int64_t BCD_To_Int64(int n) const;

    // Decodes the RSP_UD long frame Frame[0..Len-1] (checked by the caller). Index below 0
    // appends a new slave made from the frame's header to List; otherwise the records are
    // appended to the slave at Index. Returns the slave's index; NoMoreTelegrams is false
    // when the slave announced further telegrams.
    int Add_Wired_Slave(TSlave_MBus_List& List, const std::uint8_t* Frame, int Len, int Index,
                        bool& NoMoreTelegrams);
};

// The three letters of a manufacturer code; "?" for a letter outside A..Z.
std::string Trova_Man(int Code);
// The text of a medium byte.
std::string Medium_Description(int Medium);
// Date texts of the data types G (2 bytes), F (4), J (3) and I (6).
std::string Date_Type_G(const std::uint8_t* b);
std::string Date_Type_F(const std::uint8_t* b);
std::string Time_Type_J(const std::uint8_t* b);
std::string Date_Type_I(const std::uint8_t* b);
