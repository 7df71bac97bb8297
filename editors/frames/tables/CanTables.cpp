#include "editors/frames/tables/CanTables.h"

#include "platform/base/SysUtils.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/UITexts.h"

namespace {
constexpr TColor Light_Blue = RGB(224, 250, 254);
constexpr TColor Mint = RGB(168, 255, 168);
constexpr TColor Light_Pink = RGB(252, 214, 244);
constexpr TColor Light_Orange = RGB(255, 216, 176);
} // namespace

const std::vector<TTable_Column> CAN_Rec_Columns = {
    {1009, 50, edDataCheckBox, "Enable", 1029, "Y", Light_Orange},
    {1010, 90, edNormal, "COBID", 1030, "", Light_Blue},
    {1011, 90, edComboList, "CAN_Type", 1031, "", Light_Blue},
    {1012, 70, edNormal, "Dim", 1032, "", Light_Blue},
    {1013, 75, edNormal, "TimeOut", 1034, "0", Mint},
    {1014, 48, edComboList, "Byte1", 1035, "", Light_Pink},
    {1015, 48, edComboList, "Byte2", 1036, "", Light_Pink},
    {1016, 48, edComboList, "Byte3", 1037, "", Light_Pink},
    {1017, 48, edComboList, "Byte4", 1038, "", Light_Pink},
    {1018, 48, edComboList, "Byte5", 1039, "", Light_Pink},
    {1019, 48, edComboList, "Byte6", 1040, "", Light_Pink},
    {1020, 48, edComboList, "Byte7", 1041, "", Light_Pink},
    {1021, 48, edComboList, "Byte8", 1042, "", Light_Pink},
    {1022, 185, edNormal, "Mnemonic", 1043, "", clWindow},
};

const std::vector<TTable_Column> CAN_Send_Columns = {
    {1109, 50, edDataCheckBox, "Enable", 1131, "Y", Light_Orange},
    {1110, 90, edNormal, "COBID", 1132, "", Light_Blue},
    {1111, 90, edComboList, "CAN_Type", 1133, "2.0A (11 bits)", Light_Blue},
    {1112, 70, edNormal, "Dim", 1134, "", Light_Blue},
    {1113, 65, edDataCheckBox, "OnChange", 1135, "Y", Mint},
    {1162, 50, edDataCheckBox, "OnCMD", 1163, "N", Mint},
    {1114, 55, edDataCheckBox, "OnTimer", 1136, "N", Mint},
    {1115, 70, edNormal, "Time", 1137, "", Mint},
    {1116, 48, edComboList, "Byte1", 1138, "", Light_Pink},
    {1117, 48, edComboList, "Byte2", 1139, "", Light_Pink},
    {1118, 48, edComboList, "Byte3", 1140, "", Light_Pink},
    {1119, 48, edComboList, "Byte4", 1141, "", Light_Pink},
    {1120, 48, edComboList, "Byte5", 1142, "", Light_Pink},
    {1121, 48, edComboList, "Byte6", 1143, "", Light_Pink},
    {1122, 48, edComboList, "Byte7", 1144, "", Light_Pink},
    {1123, 48, edComboList, "Byte8", 1145, "", Light_Pink},
    {1124, 110, edNormal, "Mnemonic", 1146, "", clWindow},
};

const std::vector<std::string> CAN_Type_Items = {"2.0A (11 bits)", "2.0B (29 bits)"};

std::vector<std::string> CAN_Byte_Items() {
    std::vector<std::string> items{"None"};
    for (int i = 0; i < CAN_Max_Byte; ++i) items.push_back(IntToStr(i));
    return items;
}

namespace {

enum { Enable = 1, CobID, Type, Dim };
// The receive TimeOut and the transmit Time.
constexpr int Rec_TimeOut = 5, Rec_Byte1 = 6;
constexpr int Send_OnTimer = 7, Send_Time = 8, Send_Byte1 = 9;

bool ticked(const std::string& cell) {
    return UpperCase(Trim(cell)) == "Y";
}

// The entries of one direction's messages: the row prefix, the two CobID reasons, Dimension,
// the time, Byte1's reason with " or None" behind it (Byte2 .. Byte8 follow " or None").
struct Messages {
    int Prefix, CobID_11, CobID_29, Dim, Time, Byte1;
};

// CobID, Dimension and the bytes of an enabled row; time is checked in between by the caller.
std::string checkFrame(const TRow_Table& table, int r, int byte1, const Messages& m,
                       const std::function<std::string()>& checkTime) {
    auto error = [&](const std::string& text) { return Frame_Row_Error(m.Prefix, r, text); };
    const bool standard = Trim(table.Cell(Type, r)) == CAN_Type_Items[0];
    if (!In_Range(Cell_Number(table, CobID, r), 0, standard ? 2047 : 0x1FFFFFFF))
        return error(UI_Texts[standard ? m.CobID_11 : m.CobID_29]);
    const int dim = Cell_Number(table, Dim, r);
    if (!In_Range(dim, 1, 8)) return error(UI_Texts[m.Dim]);
    const std::string time = checkTime();
    if (!time.empty()) return error(time);
    for (int k = 1; k <= dim; ++k) {
        const int col = byte1 + k - 1;
        const std::string cell = Trim(table.Cell(col, r));
        if (cell.empty() || cell == "None") continue;
        if (!In_Range(Cell_Number(table, col, r), 0, CAN_Max_Byte - 1))
            return error(UI_Texts[k == 1 ? m.Byte1 : m.Byte1 + k] + IntToStr(CAN_Max_Byte - 1) +
                         UI_Texts[m.Byte1 + 1]);
    }
    return {};
}

std::string check(const TRow_Table& table, int byte1, const Messages& m,
                  const std::function<std::string(int)>& checkTime) {
    const int end = Table_Length(table, CobID, true);
    for (int r = 1; r <= end; ++r) {
        if (!ticked(table.Cell(Enable, r))) continue;
        const std::string message = checkFrame(table, r, byte1, m, [&] { return checkTime(r); });
        if (!message.empty()) return message;
    }
    return Frame_Rows_Lost(table, CobID, m.Prefix, m.Prefix == 1044 ? 1010 : 1110, true);
}

std::string version(int product_type) {
    return product_type == 5 ? "SW_VERSION = 1.101" : "";
}

} // namespace

TRow_Table New_CAN_Table(const std::vector<TTable_Column>& columns) {
    std::vector<bool> check_box;
    for (const TTable_Column& c : columns) check_box.push_back(c.Editor == edDataCheckBox);
    return TRow_Table(CAN_Table_Rows, check_box, Enable);
}

bool Load_CAN_Rec(TRow_Table& table, const std::string& path) {
    return Load_Frame_Table(table, path, [&](const TXmlNode& node, int row) {
        Fill_Frame_Row(table, CAN_Rec_Columns, node, row);
    });
}

bool Load_CAN_Send(TRow_Table& table, const std::string& path) {
    return Load_Frame_Table(table, path, [&](const TXmlNode& node, int row) {
        Fill_Frame_Row(table, CAN_Send_Columns, node, row);
        if (node.GetAttribute("Time").IsNull() && table.Cell(Send_OnTimer, row) == "Y")
            table.Cell(Send_Time, row) = "0";
    });
}

std::string Check_CAN_Rec(const TRow_Table& table) {
    return check(table, Rec_Byte1, {1044, 1045, 1046, 1047, 1048, 1049}, [&](int r) {
        return In_Range(Cell_Number(table, Rec_TimeOut, r), 0, 100000000) ? std::string()
                                                                          : UI_Texts[1048];
    });
}

std::string Check_CAN_Send(const TRow_Table& table) {
    return check(table, Send_Byte1, {1147, 1148, 1149, 1150, 1151, 1152}, [&](int r) {
        return !ticked(table.Cell(Send_OnTimer, r)) ||
                       In_Range(Cell_Number(table, Send_Time, r), 0, 100000000)
                   ? std::string()
                   : UI_Texts[1151];
    });
}

void Save_CAN_Rec(const TRow_Table& table, int product_type, const std::string& path) {
    Save_Frame_Table(table, CAN_Rec_Columns, CobID, "Receive_Frames", version(product_type), path,
                     true);
}

void Save_CAN_Send(const TRow_Table& table, int product_type, const std::string& path) {
    Save_Frame_Table(table, CAN_Send_Columns, CobID, "Transmit_Frames", version(product_type), path,
                     true);
}
