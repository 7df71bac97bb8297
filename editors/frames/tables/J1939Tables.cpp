#include "editors/frames/tables/J1939Tables.h"

#include "platform/base/SysUtils.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/UITexts.h"

namespace {
constexpr TColor Light_Blue = RGB(224, 250, 254);
constexpr TColor Light_Yellow = RGB(255, 255, 168);
constexpr TColor Light_Green = RGB(202, 255, 202);
constexpr TColor Light_Pink = RGB(252, 214, 244);
constexpr TColor Light_Orange = RGB(255, 216, 176);
} // namespace

const std::vector<TTable_Column> J1939_Rec_Columns = {
    {672, 65, edComboList, "DP", 0, "", Light_Blue},
    {673, 85, edNormal, "PGN", 0, "", Light_Blue},
    {674, 95, edNormal, "SA", 0, "", Light_Blue},
    {675, 113, edDataCheckBox, "TP", 0, "N", Light_Yellow},
    {676, 65, edNormal, "TP_Start", 0, "", Light_Green},
    {677, 55, edNormal, "TP_NByte", 0, "", Light_Green},
    {678, 75, edDataCheckBox, "Delete", 0, "N", Light_Pink},
    {976, 75, edDataCheckBox, "OnRequest", 0, "N", Light_Orange},
    {977, 65, edNormal, "OnReq_Time", 0, "1000", Light_Orange},
    {679, 120, edNormal, "Mnemonic", 0, "", clWhite},
};

const std::vector<TTable_Column> J1939_Send_Columns = {
    {699, 50, edNormal, "Priority", 0, "", Light_Blue},
    {700, 65, edComboList, "DP", 0, "", Light_Blue},
    {701, 85, edNormal, "PGN", 0, "", Light_Blue},
    {702, 95, edNormal, "SA", 0, "", Light_Blue},
    {704, 60, edNormal, "TP_NByte", 0, "", Light_Yellow},
    {705, 55, edDataCheckBox, "On_Request", 0, "N", Light_Green},
    {703, 80, edDataCheckBox, "On_Data_Change", 0, "N", Light_Green},
    {708, 60, edDataCheckBox, "On_Timer", 0, "N", Light_Green},
    {706, 70, edNormal, "SendTimer", 0, "", Light_Green},
    {707, 115, edNormal, "Mnemonic", 0, "", clWhite},
};

const std::vector<std::string> J1939_Data_Page_Items = {"0", "1"};

namespace {

enum {
    Rec_DP = 1,
    Rec_PGN,
    Rec_SA,
    Rec_TP,
    Rec_Start,
    Rec_Count,
    Rec_Delete,
    Rec_Request,
    Rec_Time
};
enum {
    Send_Priority = 1,
    Send_DP,
    Send_PGN,
    Send_SA,
    Send_Count,
    Send_Request,
    Send_Change,
    Send_Timer,
    Send_Timer_Ms
};

const char* const Root = "Receive_J1939";
const char* const Version = "SW_VERSION = 1.100";

} // namespace

TRow_Table New_J1939_Table(const std::vector<TTable_Column>& columns) {
    std::vector<bool> check;
    for (const TTable_Column& c : columns) check.push_back(c.Editor == edDataCheckBox);
    return TRow_Table(J1939_Table_Rows, check);
}

bool Load_J1939_Rec(TRow_Table& table, const std::string& path) {
    return Load_Frame_Table(table, path, [&](const TXmlNode& node, int row) {
        Fill_Frame_Row(table, J1939_Rec_Columns, node, row);
    });
}

bool Load_J1939_Send(TRow_Table& table, const std::string& path) {
    return Load_Frame_Table(table, path, [&](const TXmlNode& node, int row) {
        auto read = [&](int col) {
            const TTable_Column& column = J1939_Send_Columns[std::size_t(col - 1)];
            table.Cell(col, row) = node.GetAttribute(column.Attribute).AsStringDef(column.Default);
        };
        for (int col = Send_Priority; col <= Send_Count; ++col) read(col);
        if (table.Cell(Send_Count, row).empty()) table.Cell(Send_Count, row) = "8";
        for (int col = Send_Request; col <= Send_Timer; ++col) table.Cell(col, row) = "N";
        const TXmlValue type = node.GetAttribute("T_Type");
        if (!type.IsNull()) {
            const std::string mode = UpperCase(type.AsString());
            if (mode == "ON DATA CHANGE") table.Cell(Send_Change, row) = "Y";
            if (mode == "ON TIMER") table.Cell(Send_Timer, row) = "Y";
        } else {
            for (int col = Send_Request; col <= Send_Timer; ++col) read(col);
        }
        read(Send_Timer_Ms);
        read(Send_Timer_Ms + 1);
    });
}

std::string Check_J1939_Rec(const TRow_Table& table) {
    const int end = Table_Length(table, Rec_PGN, false);
    int total = 0;
    for (int r = 1; r <= end; ++r) {
        auto error = [&](int entry) { return Frame_Row_Error(680, r, UI_Texts[entry]); };
        if (Trim(table.Cell(Rec_DP, r)).empty()) return error(681);
        if (!In_Range(Cell_Number(table, Rec_PGN, r), 0, 0xFFFF)) return error(682);
        if (!In_Range(Cell_Number(table, Rec_SA, r), 0, 239)) return error(683);
        const int start = Cell_Number(table, Rec_Start, r);
        const int count = Cell_Number(table, Rec_Count, r);
        int bytes = 8;
        if (table.Cell(Rec_TP, r) == "Y") {
            if (!In_Range(start, 0, 1785)) return error(684);
            bytes = count;
            if (count < 0 || start + count > 1785) return error(685);
        } else {
            const bool noStart = Trim(table.Cell(Rec_Start, r)).empty();
            const bool noCount = Trim(table.Cell(Rec_Count, r)).empty();
            if (noStart != noCount) return error(688);
            if (!noStart) {
                if (!In_Range(start, 1, 8)) return error(689);
                if (!In_Range(count, 1, 8)) return error(690);
                if (start + count > 8) return error(691);
                bytes = count;
            }
        }
        total += bytes;
        if (total > J1939_Max_Data_Bytes) return UI_Texts[686] + IntToStr(J1939_Max_Data_Bytes);
        // Texts that are no number read as -1 and are refused with the negatives.
        if (table.Cell(Rec_Request, r) == "Y" &&
            !In_Range(Cell_Number(table, Rec_Time, r), 0, 10000000))
            return error(978);
    }
    return Frame_Rows_Lost(table, Rec_PGN, 680, 673);
}

std::string Check_J1939_Send(const TRow_Table& table) {
    const int end = Table_Length(table, Send_PGN, false);
    int total = 0;
    for (int r = 1; r <= end; ++r) {
        auto error = [&](const std::string& text) { return Frame_Row_Error(709, r, text); };
        if (!In_Range(Cell_Number(table, Send_Priority, r), 0, 7)) return error(UI_Texts[710]);
        if (Trim(table.Cell(Send_DP, r)).empty()) return error(UI_Texts[711]);
        if (!In_Range(Cell_Number(table, Send_PGN, r), 0, 0x1FFFF)) return error(UI_Texts[712]);
        if (!In_Range(Cell_Number(table, Send_SA, r), 0, 255)) return error(UI_Texts[713]);
        const int count = Cell_Number(table, Send_Count, r);
        if (!In_Range(count, 1, J1939_Max_Data_Bytes))
            return error(UI_Texts[714] + IntToStr(J1939_Max_Data_Bytes));
        total += count;
        if (total > J1939_Max_Data_Bytes) return UI_Texts[715] + IntToStr(J1939_Max_Data_Bytes);
        if (table.Cell(Send_Timer, r) == "Y" &&
            !In_Range(Cell_Number(table, Send_Timer_Ms, r), 1, 65535))
            return error(UI_Texts[717]);
    }
    return Frame_Rows_Lost(table, Send_PGN, 709, 701);
}

void Save_J1939_Rec(const TRow_Table& table, const std::string& path) {
    Save_Frame_Table(table, J1939_Rec_Columns, Rec_PGN, Root, Version, path);
}

void Save_J1939_Send(const TRow_Table& table, const std::string& path) {
    // Ends at the first empty PGN, where the check ends, so no row is written unchecked.
    Save_Frame_Table(table, J1939_Send_Columns, Send_PGN, Root, Version, path);
}
