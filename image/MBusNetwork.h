#pragma once
// The M-Bus network file of a project as the M-Bus image reads it: the enabled nodes with
// their enabled variables, wired and wireless apart, in network order.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Bits of TMBus_Variabile::Conv_Float.
enum : std::uint8_t {
    MBus_Flag_Conv_Float = 1 << 0,
    MBus_Flag_Force_Int32 = 1 << 1,
    MBus_Flag_TP_Mod_Regs = 1 << 2,
};

// The data type of a variable whose value the meter sends as text.
constexpr std::uint8_t MBus_Type_VIF_ASCII = 21;
// The data type that the Modbus register option widens to eight bytes in any variable list.
constexpr std::uint8_t MBus_Type_Eight_Bytes = 20;
// The Dimension whose values are Length bytes long.
constexpr std::uint8_t MBus_Dimension_Variable = 7;

struct TMBus_Variabile {
    std::uint8_t Type_Of_Data = 0;
    std::uint8_t Function_Field = 0;
    std::uint8_t Dimension = 0; // index of the data size chosen in the editor
    std::uint8_t Unita = 0;
    std::uint32_t Storage_Num = 0;
    std::uint32_t Tarif = 0;
    std::uint8_t VIFE = 0;
    std::uint8_t BCDtoINT = 0;
    std::uint8_t Length = 0; // bytes of a variable-length value
    std::uint8_t Len_VIF_ASCII = 0;
    std::uint32_t Address_VIF_ASCII = 0; // stream offset of the text bytes
    std::u32string VIF_ASCII;
    std::uint8_t Position = 1;
    std::uint8_t Post_Ope = 0;
    std::uint8_t Conv_Float = 0; // MBus_Flag_... bits
};

// The meter entry of a wireless node.
struct TwMBus_Meter {
    std::uint16_t Man_ID = 0;
    std::uint32_t Address = 0;
    std::uint8_t Version = 0;
    std::uint8_t Device_Type = 0;
    std::array<std::uint8_t, 16> Key{};
    std::uint8_t Key_Enable = 0;
};

struct TMBus_Nodo {
    std::uint32_t ID = 0; // primary or secondary address, or the wireless meter's address
    std::uint8_t SND_NKE = 0;
    std::uint8_t Reset_App = 0;
    std::uint32_t Add = 0; // stream offset of the node's first variable record
    std::uint8_t Node_State = 0;
    std::uint16_t Add_NS = 0; // data address of the node-state byte
    std::uint8_t Ident_Num = 0;
    std::uint16_t Add_IN = 0; // data address of the identification number
    std::uint8_t BCDtoINT_IN = 0;
    std::uint8_t Swap_IN = 0;
    std::uint8_t ID_Type = 0; // 0 primary, otherwise secondary
    std::uint8_t Var_Type = 0;
    std::uint8_t Cut_After = 0;
    std::vector<TMBus_Variabile> Vars;
    std::int32_t Appoggio_Add_Variabili = 0; // data address of the first variable
    TwMBus_Meter Meter;                      // wireless nodes only
};

// Most characters a variable's text can have: its length is one byte.
constexpr std::size_t MBus_Max_VIF_ASCII = 255;

// Reads the network file at path into wired and wireless: the enabled nodes of the kinds that
// are present (wired_present, wireless_present) that have at least one enabled variable, with
// their enabled variables. A missing file gives no node. A file that is not well-formed, a
// compiled variable without a numeric Type, Fun_Field or Dim, and a text longer than
// MBus_Max_VIF_ASCII raise EImageError naming the file.
void Read_MBus_Network(const std::string& path, bool wired_present, bool wireless_present,
                       std::vector<TMBus_Nodo>& wired, std::vector<TMBus_Nodo>& wireless);
