#pragma once
// The M-Bus network of the network editor: nodes with their variables, the code tables of their
// numeric fields, the checks of the editor's fields and the count of gateway bytes.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TVariabile {
public:
    bool Enable = true;
    std::string Description;
    std::int32_t Type_Of_Data = 0;   // index into Type_Of_Data_Items, or a decoder code kept as is
    std::int32_t Function_Field = 0; // index into Function_Field_Items
    std::int32_t Dimension = 0;      // index into Dimension_Items
    std::int32_t Unita = 0;          // 0..10
    std::uint32_t Storage_Number = 0;
    std::int32_t Tariff = 0; // 0..1048575
    std::int32_t VIFE = 0;   // index into VIFE_Items, or a decoder code kept as is (-1: reserved)
    bool BCDtoINT = false;
    std::int32_t Length = 0; // bytes of a variable-length value, 0..191
    std::string VIF_ASCII;
    bool Conv_Float = false;
    bool Force_Int32 = false;
    bool TP_Mod_Regs = false;
    std::uint8_t Position = 1; // 1..100
    std::uint8_t Post_Operation = 0;
};

class TNodo {
public:
    bool Enable = true;
    std::string Description;
    std::int32_t Node_ID_Primary = 1;
    std::int32_t Node_ID_Secondary = 1;
    std::uint8_t Send_SNK = 0;
    std::uint8_t Reset_App = 0;
    std::vector<std::unique_ptr<TVariabile>> Var_List;
    std::uint8_t Node_State = 0;
    std::uint8_t Ident_Num = 0;
    std::uint8_t BCDtoINT_IN = 0;
    std::int32_t Swap_Ident = 0;
    std::uint8_t Node_ID_Type = 0; // 0 primary address, otherwise secondary
    std::uint8_t Var_List_Type = 0;
    std::uint8_t Cut_After = 0; // telegrams read from the node, minus one
    std::uint8_t MBus_Type = 1; // 0 wireless, 1 wired
    std::string wMBus_ManID;
    std::string wMBus_Add;
    std::string wMBus_Ver;
    std::string wMBus_DevType;
    std::uint8_t wMBus_En_Key = 0;
    std::array<std::string, 16> wMBus_Key;

    TNodo() = default;
    // A deep copy: the copy owns copies of the variables.
    TNodo(const TNodo& other);
    TNodo& operator=(const TNodo& other);

    bool Is_Wired() const { return MBus_Type != 0; }
    // The address of the node's address type.
    std::int32_t Node_ID() const { return Node_ID_Type != 0 ? Node_ID_Secondary : Node_ID_Primary; }
};

using TNodi_List = std::vector<std::unique_ptr<TNodo>>;

// The editor's drop-down lists; a field holds the index of its item.
extern const std::vector<std::string> Type_Of_Data_Items;
extern const std::vector<std::string> Function_Field_Items;
extern const std::vector<std::string> Dimension_Items;
extern const std::vector<std::string> Unit_Items;
extern const std::vector<std::string> Post_Operation_Items;
extern const std::vector<std::string> Swap_Items;
extern const std::vector<std::string> Var_List_Type_Items;
extern const std::vector<std::string> MBus_Type_Items;
extern const std::vector<std::string> VIFE_Items;
// "1" .. "250".
constexpr std::size_t Cut_After_Count = 250;
std::vector<std::string> Cut_After_Items();

constexpr int Type_Time_Point = 20;
constexpr int Type_VIF_ASCII = 21;
constexpr int Dimension_Variable_Length = 7;
constexpr int Var_List_By_Position = 1;
// Bytes of the gateway's data area; a network may use all of them.
constexpr int MBus_Max_Bytes = 1439;

// Bytes a variable of dimension index Dimension takes (Length for variable length; 2 for an
// index outside the list).
int Dimension_Bytes(int Dimension, int Length);
// Gateway bytes the enabled nodes and their enabled variables use.
int Calcola_Byte_Usati(const TNodi_List& Nodi);

// Tree captions of a node and of a variable.
std::string Node_Caption(const TNodo& Node);
std::string Var_Caption(const TVariabile& Var);

// What the Nodes page shows: texts as typed, check boxes and list indexes.
struct TNode_Fields {
    bool Enable = true;
    std::string Description;
    int MBus_Type = 1; // 0 wireless, 1 wired
    bool Secondary = false;
    std::string ID_Pri = "1", ID_Sec = "1";
    bool Node_State = false, Ident_Num = false, BCDtoINT_IN = false;
    bool SND_NKE = false, Reset_App = false;
    int Swap = 0, Var_List_Type = 0, Cut_After = 0;
    std::string wMBus_ManID, wMBus_Add, wMBus_Ver, wMBus_DevType;
    bool wMBus_En_Key = false;
    std::array<std::string, 16> wMBus_Key;
    // The wireless panel's own copies of the identification settings.
    bool W_Node_State = false, W_Ident_Num = false, W_BCDtoINT_IN = false;
    int W_Swap = 0, W_Var_List_Type = 0;
};

// What the Variables page shows.
struct TVar_Fields {
    bool Enable = true;
    std::string Description;
    int Type_Of_Data = 0, Function_Field = 0, Dimension = 0, Unita = 0, VIFE = 0;
    int Post_Operation = 0;
    std::string VIF_ASCII, Length = "0", Storage_Number = "0", Tariff = "0", Position = "1";
    bool BCDtoINT = false, Conv_Float = false, Force_Int32 = false, TP_Mod_Regs = false;
};

// The range checks of a node's fields: 0 when they pass, else the UI text of the first error.
// Wired nodes check only the address of the chosen type; the duplicate check is apart.
int Check_Node_Fields(const TNode_Fields& F);
// The checks of a variable's fields: 0 or the UI text of the first error.
int Check_Var_Fields(const TVar_Fields& F);
// True when no wired node other than Skip uses Address with the same address type. Wireless
// nodes carry addresses they do not use on the bus, so they never clash.
bool Node_ID_Free(const TNodi_List& Nodi, std::int32_t Address, int Address_Type,
                  const TNodo* Skip);

// Stores the page's fields into a node, keeping its variables. Every number is converted
// before anything is stored, so a text that is not a number (EConvertError) leaves N as it was.
// Both address texts are converted, also the one of the type not chosen.
void Store_Node_Fields(const TNode_Fields& F, TNodo& N);
TNode_Fields Fields_From_Node(const TNodo& N);
// The same for a variable (a length text that is not a number stores 0).
void Store_Var_Fields(const TVar_Fields& F, TVariabile& V);
TVar_Fields Fields_From_Var(const TVariabile& V);

// A field's number as the checks read it: -1 when empty or not a whole number.
long long Field_Number(const std::string& Text);
