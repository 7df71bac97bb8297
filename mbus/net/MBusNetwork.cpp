#include "mbus/net/MBusNetwork.h"

#include "platform/base/SysUtils.h"

TNodo::TNodo(const TNodo& other) {
    *this = other;
}

TNodo& TNodo::operator=(const TNodo& other) {
    if (this == &other) return *this;
    Enable = other.Enable;
    Description = other.Description;
    Node_ID_Primary = other.Node_ID_Primary;
    Node_ID_Secondary = other.Node_ID_Secondary;
    Send_SNK = other.Send_SNK;
    Reset_App = other.Reset_App;
    Var_List.clear();
    for (const auto& v : other.Var_List) Var_List.push_back(std::make_unique<TVariabile>(*v));
    Node_State = other.Node_State;
    Ident_Num = other.Ident_Num;
    BCDtoINT_IN = other.BCDtoINT_IN;
    Swap_Ident = other.Swap_Ident;
    Node_ID_Type = other.Node_ID_Type;
    Var_List_Type = other.Var_List_Type;
    Cut_After = other.Cut_After;
    MBus_Type = other.MBus_Type;
    wMBus_ManID = other.wMBus_ManID;
    wMBus_Add = other.wMBus_Add;
    wMBus_Ver = other.wMBus_Ver;
    wMBus_DevType = other.wMBus_DevType;
    wMBus_En_Key = other.wMBus_En_Key;
    wMBus_Key = other.wMBus_Key;
    return *this;
}

const std::vector<std::string> Type_Of_Data_Items = {
    "Energy (Wh)",
    "Energy (J)",
    "Volume (m³)",
    "Mass (Kg)",
    "On Time",
    "Operating Time",
    "Power (W)",
    "Power (J/h)",
    "Volume Flow (m³/h)",
    "Volume Flow Ext. (m³/min)",
    "Volume Flow Ext. (m³/s)",
    "Mass Flow (Kg/h)",
    "Flow Temperature (°C)",
    "Return Temperature (°C)",
    "Temperature Difference (K)",
    "External Temperature (°C)",
    "Pressure (bar)",
    "Averaging Duration ",
    "Actuality Duration",
    "Type of  Data in VIFE",
    "Time Point",
    "VIF is in ASCII",
    "Unit for H.C.A.",
    "Fabrication No",
    "(Enhanced) Identification",
    "Bus Address",
};

const std::vector<std::string> Function_Field_Items = {"Instantaneous Value", "Minimun Value",
                                                       "Maximum Value", "Value During Error State"};

const std::vector<std::string> Dimension_Items = {"8",  "16", "32",      "64",
                                                  "24", "48", "32 Real", "Variable Length"};

const std::vector<std::string> Unit_Items = {"0", "1", "2", "3", "4", "5",
                                             "6", "7", "8", "9", "10"};

const std::vector<std::string> Post_Operation_Items = {
    "None",  " : 10",  " : 100",  " : 1000",  " : 10000",  " : 100000", " : 1000000",
    " * 10", " * 100", " * 1000", " * 10000", " * 100000", " * 1000000"};

const std::vector<std::string> Swap_Items = {"None", "Type 1"};
const std::vector<std::string> Var_List_Type_Items = {"By Type", "By Position"};
const std::vector<std::string> MBus_Type_Items = {"wM-Bus", "M-Bus on wires"};

const std::vector<std::string> VIFE_Items = {
    "Not Selected",
    "Credit of the nominal local legal currency units",
    "Debit of the nominal local legal currency units",
    "Access Number (transmission count)",
    "Medium (as in fixed header)",
    "Manufacturer (as in fixed header)",
    "Parameter set identification",
    "Model/Version",
    "Hardware Version #",
    "Firmware Version #",
    "Software Version #",
    "Customer Location",
    "Customer",
    "Access Code User",
    "Access Code Operator",
    "Access Code System Operator",
    "Access Code Developer",
    "Password",
    "Error flags (binary)",
    "Error mask",
    "Digital Output (binary)",
    "Digital Input (binary)",
    "Baudrate [Baud]",
    "response delay time [bittimes]",
    "Retry",
    "First storage # for cyclic storage",
    "Last storage # for cyclic storage",
    "Size of storage block",
    "Storage interval [sec(s)..day(s)]",
    "Storage interval month(s)",
    "Storage interval year(s)",
    "Duration since last readout[sec(s)..day(s)]",
    "Start (date/time) of tariff",
    "Duration of tariff (nn=01..11:min to day)",
    "Period of tariff [sec(s) to day(s)]",
    "Period of tariff months(s)",
    "Period of tariff year(s)",
    "dimensionless/ no VIF",
    "Volts ",
    "Ampere",
    "Reset counter",
    "Comulation counter",
    "Control signal",
    "Day of week",
    "Week number",
    "Time point of day change",
    "State of parameter activation",
    "Special supplier information",
    "Duration since last comulation [hour(s)..year(s)]",
    "Operation time battery [hour(s)..year(s)]",
    "Date and time of battery change",
    "Energy MWh",
    "Energy GJ",
    "Volume ",
    "Mass",
    "Volume 0,1 feet^3",
    "Volume 0,1 american gallon",
    "Volume 1 american gallon",
    "Volume flow 0,001 american gallon/min",
    "Volume flow 1 american gallon/min",
    "Volume flow 1 american gallon/h",
    "Power MW",
    "Power GJ/h",
    "Flow Temperature",
    "Return Temperature",
    "Temperature Difference",
    "External Temperature",
    "Cold/Warm Temperature Limit °F",
    "Cold/Worm Temperature Limit °C",
    "Cumul. count max power",
    "per second",
    "per minute",
    "per hour",
    "per day",
    "per week",
    "per month",
    "per year",
    "per revolution/measurement",
    "increment per input pulse on input channel",
    "increment per output pulse on output channel",
    "per liter",
    "per m^3",
    "per kg",
    "per K (Kelvin)",
    "per kWh",
    "per GJ",
    "per kW",
    "per (K*l)(Kelvin*liter) ",
    "per V (Volt)",
    "per A (Ampere)",
    "multiplied by sek",
    "multiplied by sek/V",
    "multiplied by sek/A",
    "start date(/time) of",
    "VIF contains uncorrected unit instead of corrected unit",
    "Accumulation only if positive contributions",
    "Accumulation of abs value only if negative contributions",
    "upper/lower limit value",
    "# of exceeds of lower/upper limit",
    "Date(/time) of begin/end of first/last lower/upper limit exceed",
    "Duration of limit exceed",
    "Duration of first/last",
    "Date(/time) of first/last begin/end",
    "Multiplicative currection factor",
    "Additive correction constant * unit of VIF (offset)",
    "Moltiplicative correction factor: 10^3",
    "future value",
    "next VIFE's and data of this block are manufacturer specific",
    "None",
    "Too many DIFE's",
    "Storage number not implemented",
    "Unit number not implemented",
    "Tariff number not implemented",
    "Function not implemented",
    "Data class not implemented",
    "Data size not implemented",
    "Too many VIFE's",
    "Illegal VIF-Group",
    "Illegal VIF-Exponent",
    "VIF/DIF mismatch",
    "Unimplemented action",
    "No data available (undefined value)",
    "Data overflow",
    "Data underflow",
    "Data error",
    "Premature end of record ",
};

std::vector<std::string> Cut_After_Items() {
    std::vector<std::string> items;
    for (std::size_t i = 1; i <= Cut_After_Count; ++i) items.push_back(std::to_string(i));
    return items;
}

int Dimension_Bytes(int Dimension, int Length) {
    static constexpr int bytes[] = {1, 2, 4, 8, 3, 6, 4};
    if (Dimension == Dimension_Variable_Length) return Length;
    if (Dimension >= 0 && Dimension < int(std::size(bytes))) return bytes[Dimension];
    return 2;
}

int Calcola_Byte_Usati(const TNodi_List& Nodi) {
    int used = 0;
    for (const auto& n : Nodi) {
        if (!n->Enable) continue;
        if (n->Node_State == 1) used += 1;
        if (n->Ident_Num == 1) used += 4;
        for (const auto& v : n->Var_List) {
            if (!v->Enable) continue;
            if (v->TP_Mod_Regs &&
                (n->Var_List_Type == Var_List_By_Position || v->Type_Of_Data == Type_Time_Point))
                used += 8;
            else if (v->Force_Int32 || v->Conv_Float)
                used += 4;
            else
                used += Dimension_Bytes(v->Dimension, v->Length);
        }
    }
    return used;
}

std::string Node_Caption(const TNodo& Node) {
    if (!Node.Is_Wired())
        return "wM-Bus Node - Address " + Node.wMBus_Add + " - " + Node.Description;
    return "ID " + std::to_string(Node.Node_ID()) + " - " + Node.Description;
}

std::string Var_Caption(const TVariabile& Var) {
    return "VAR - " + Var.Description;
}

long long Field_Number(const std::string& Text) {
    long long v;
    return TryStrToInt64(Text, v) ? v : -1;
}

namespace {

bool inRange(const std::string& text, long long lo, long long hi) {
    const long long v = Field_Number(text);
    return v >= lo && v <= hi;
}

} // namespace

int Check_Node_Fields(const TNode_Fields& F) {
    if (F.MBus_Type == 0) {
        if (!inRange(F.wMBus_ManID, 0, 65535)) return 829;
        if (!inRange(F.wMBus_Ver, 0, 255)) return 831;
        if (!inRange(F.wMBus_DevType, 0, 255)) return 832;
        if (F.wMBus_En_Key)
            for (int k = 0; k < 16; ++k)
                if (!inRange(F.wMBus_Key[k], 0, 255)) return 833 + k;
        return 0;
    }
    if (!F.Secondary) return inRange(F.ID_Pri, 0, 255) ? 0 : 787;
    return inRange(F.ID_Sec, 0, 99999999) ? 0 : 788;
}

int Check_Var_Fields(const TVar_Fields& F) {
    if (!inRange(F.Storage_Number, 0, 4294967295LL)) return 783;
    if (!inRange(F.Tariff, 0, 1048575)) return 784;
    if (F.Dimension == Dimension_Variable_Length && !inRange(F.Length, 0, 191)) return 785;
    if (!inRange(F.Position, 1, 100)) return 786;
    return 0;
}

bool Node_ID_Free(const TNodi_List& Nodi, std::int32_t Address, int Address_Type,
                  const TNodo* Skip) {
    for (const auto& n : Nodi) {
        if (n.get() == Skip || !n->Is_Wired()) continue;
        if ((n->Node_ID_Type != 0) == (Address_Type != 0) && n->Node_ID() == Address) return false;
    }
    return true;
}

void Store_Node_Fields(const TNode_Fields& F, TNodo& N) {
    const std::int32_t primary = StrToInt(F.ID_Pri);
    const std::int32_t secondary = StrToInt(F.ID_Sec);
    N.Enable = F.Enable;
    N.Description = F.Description;
    N.Node_ID_Primary = primary;
    N.Node_ID_Secondary = secondary;
    N.Node_State = F.Node_State;
    N.Ident_Num = F.Ident_Num;
    N.BCDtoINT_IN = F.BCDtoINT_IN;
    N.Send_SNK = F.SND_NKE;
    N.Reset_App = F.Reset_App;
    N.Swap_Ident = F.Swap;
    N.Node_ID_Type = F.Secondary ? 1 : 0;
    N.Var_List_Type = std::uint8_t(F.Var_List_Type);
    N.Cut_After = std::uint8_t(F.Cut_After);
    N.MBus_Type = std::uint8_t(F.MBus_Type);
    N.wMBus_ManID = F.wMBus_ManID;
    N.wMBus_Add = F.wMBus_Add;
    N.wMBus_Ver = F.wMBus_Ver;
    N.wMBus_DevType = F.wMBus_DevType;
    N.wMBus_En_Key = F.wMBus_En_Key;
    N.wMBus_Key = F.wMBus_Key;
    if (F.MBus_Type == 0) {
        // A wireless node takes its identification settings from the wireless panel.
        N.Node_State = F.W_Node_State;
        N.Ident_Num = F.W_Ident_Num;
        N.BCDtoINT_IN = F.W_BCDtoINT_IN;
        N.Swap_Ident = F.W_Swap;
        N.Var_List_Type = std::uint8_t(F.W_Var_List_Type);
    }
}

TNode_Fields Fields_From_Node(const TNodo& N) {
    TNode_Fields F;
    F.Enable = N.Enable;
    F.Description = N.Description;
    F.MBus_Type = N.MBus_Type;
    F.Secondary = N.Node_ID_Type != 0;
    F.ID_Pri = std::to_string(N.Node_ID_Primary);
    F.ID_Sec = std::to_string(N.Node_ID_Secondary);
    F.Node_State = F.W_Node_State = N.Node_State == 1;
    F.Ident_Num = F.W_Ident_Num = N.Ident_Num == 1;
    F.BCDtoINT_IN = F.W_BCDtoINT_IN = N.BCDtoINT_IN == 1;
    F.SND_NKE = N.Send_SNK == 1;
    F.Reset_App = N.Reset_App == 1;
    F.Swap = F.W_Swap = N.Swap_Ident;
    F.Var_List_Type = F.W_Var_List_Type = N.Var_List_Type;
    F.Cut_After = N.Cut_After;
    F.wMBus_ManID = N.wMBus_ManID;
    F.wMBus_Add = N.wMBus_Add;
    F.wMBus_Ver = N.wMBus_Ver;
    F.wMBus_DevType = N.wMBus_DevType;
    F.wMBus_En_Key = N.wMBus_En_Key == 1;
    F.wMBus_Key = N.wMBus_Key;
    return F;
}

void Store_Var_Fields(const TVar_Fields& F, TVariabile& V) {
    const std::uint32_t storage = std::uint32_t(StrToInt64(F.Storage_Number));
    const std::int32_t tariff = StrToInt(F.Tariff);
    const std::int32_t position = StrToInt(F.Position);
    V.Enable = F.Enable;
    V.Description = F.Description;
    V.Type_Of_Data = F.Type_Of_Data;
    V.Function_Field = F.Function_Field;
    V.Dimension = F.Dimension;
    V.Unita = F.Unita;
    V.Storage_Number = storage;
    V.Tariff = tariff;
    V.VIFE = F.VIFE;
    V.BCDtoINT = F.BCDtoINT;
    V.Length = StrToIntDef(F.Length, 0);
    V.VIF_ASCII = F.VIF_ASCII;
    V.Conv_Float = F.Conv_Float;
    V.Force_Int32 = F.Force_Int32;
    V.TP_Mod_Regs = F.TP_Mod_Regs;
    V.Position = std::uint8_t(position);
    V.Post_Operation = std::uint8_t(F.Post_Operation);
}

TVar_Fields Fields_From_Var(const TVariabile& V) {
    TVar_Fields F;
    F.Enable = V.Enable;
    F.Description = V.Description;
    F.Type_Of_Data = V.Type_Of_Data;
    F.Function_Field = V.Function_Field;
    F.Dimension = V.Dimension;
    F.Unita = V.Unita;
    F.VIFE = V.VIFE;
    F.Post_Operation = V.Post_Operation;
    F.VIF_ASCII = V.VIF_ASCII;
    F.Length = std::to_string(V.Length);
    F.Storage_Number = std::to_string(V.Storage_Number);
    F.Tariff = std::to_string(V.Tariff);
    F.Position = std::to_string(V.Position);
    F.BCDtoINT = V.BCDtoINT;
    F.Conv_Float = V.Conv_Float;
    F.Force_Int32 = V.Force_Int32;
    F.TP_Mod_Regs = V.TP_Mod_Regs;
    return F;
}
