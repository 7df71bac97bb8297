#include "editors/frames/tables/NmeaTables.h"

#include "platform/base/SysUtils.h"
#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/ProjectXml.h"
#include "shell/state/UITexts.h"

namespace {

// Cell colours of the column groups.
constexpr TColor Light_Blue = RGB(224, 250, 254);
constexpr TColor Light_Yellow = RGB(255, 255, 168);
constexpr TColor Light_Green = RGB(202, 255, 202);
constexpr TColor Light_Pink = RGB(252, 214, 244);

} // namespace

const std::vector<TTable_Column> NMEA_Rec_Columns = {
    {1615, 80, edNormal, "PGN", 1623, "", Light_Blue},
    {1616, 95, edNormal, "SA", 1624, "", Light_Blue},
    {1617, 113, edDataCheckBox, "TP", 1625, "N", Light_Yellow},
    {1618, 73, edDataCheckBox, "FP", 1626, "N", Light_Yellow},
    {1619, 65, edNormal, "TP_Start", 1627, "", Light_Green},
    {1620, 50, edNormal, "TP_NByte", 1628, "", Light_Green},
    {1621, 74, edDataCheckBox, "Delete", 1629, "N", Light_Pink},
    {1622, 195, edNormal, "Mnemonic", 1630, "", clWhite},
};

const std::vector<TTable_Column> NMEA_Send_Columns = {
    {1715, 50, edNormal, "Priority", 1725, "", Light_Blue},
    {1716, 75, edNormal, "PGN", 1726, "", Light_Blue},
    {1717, 95, edNormal, "SA", 1727, "", Light_Blue},
    {1718, 75, edDataCheckBox, "FP", 1728, "N", Light_Pink},
    {1719, 60, edNormal, "TP_NByte", 1729, "", Light_Yellow},
    {1720, 55, edDataCheckBox, "On_Request", 1730, "N", Light_Green},
    {1721, 80, edDataCheckBox, "On_Data_Change", 1731, "N", Light_Green},
    {1722, 64, edDataCheckBox, "On_Timer", 1732, "N", Light_Green},
    {1723, 75, edNormal, "SendTimer", 1733, "", Light_Green},
    {1724, 116, edNormal, "Mnemonic", 1734, "", clWhite},
};

namespace {

constexpr int Rec_PGN = 1;
constexpr int Send_PGN = 2;

int keyColumn(const std::vector<TTable_Column>& columns) {
    return &columns == &NMEA_Send_Columns ? Send_PGN : Rec_PGN;
}

} // namespace

TRow_Table New_NMEA_Table(const std::vector<TTable_Column>& columns) {
    std::vector<bool> check;
    for (const TTable_Column& c : columns) check.push_back(c.Editor == edDataCheckBox);
    TRow_Table table(NMEA_Table_Rows, check);
    return table;
}

bool Load_Frame_Table(TRow_Table& table, const std::string& path,
                      const std::function<void(const TXmlNode&, int)>& fill) {
    table.Reset();
    if (!FileExists(path)) return false;
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    doc.LoadFromFile(path);
    const TXmlNode root = doc.DocumentElement();
    if (!root) return true;
    TRow_Load load(path);
    load.Fill(table, Element_Children(root), fill);
    load.Finish();
    return true;
}

void Fill_Frame_Row(TRow_Table& table, const std::vector<TTable_Column>& columns,
                    const TXmlNode& node, int row) {
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const TXmlValue value = node.GetAttribute(columns[c].Attribute);
        table.Cell(int(c) + 1, row) = value.AsStringDef(columns[c].Default);
    }
}

void Fill_Required_Row(TRow_Table& table, const std::vector<TTable_Column>& columns,
                       const TXmlNode& node, int row, const std::string& path,
                       const std::string& what) {
    for (std::size_t c = 0; c < columns.size(); ++c)
        table.Cell(int(c) + 1, row) =
            Row_Attribute(node, columns[c].Attribute, nullptr, path, what, row);
}

bool Load_NMEA_Table(TRow_Table& table, const std::vector<TTable_Column>& columns,
                     const std::string& path) {
    return Load_Frame_Table(table, path, [&](const TXmlNode& node, int row) {
        Fill_Frame_Row(table, columns, node, row);
    });
}

std::string Frame_Row_Error(int prefix, int row, const std::string& text) {
    return UI_Texts[prefix] + IntToStr(row) + text;
}

std::string Frame_Rows_Lost(const TRow_Table& table, int key_col, int prefix, int header,
                            bool trim) {
    const int row = Row_Lost_After_End(table, key_col, trim);
    return row == 0 ? std::string()
                    : Frame_Row_Error(prefix, row, "!! " + UI_Texts[header] + UI_Texts[1745]);
}

std::string Check_NMEA_Rec(const TRow_Table& table) {
    enum { PGN = 1, SA, TP, FP, Start, Count };
    const int end = Table_Length(table, PGN, false);
    int total = 0;
    for (int r = 1; r <= end; ++r) {
        if (!In_Range(Cell_Number(table, PGN, r), 0, 0x1FFFF))
            return Frame_Row_Error(1631, r, UI_Texts[1632]);
        if (!In_Range(Cell_Number(table, SA, r), 0, 239))
            return Frame_Row_Error(1631, r, UI_Texts[1633]);
        const int start = Cell_Number(table, Start, r);
        const int count = Cell_Number(table, Count, r);
        int bytes = 8;
        if (table.Cell(TP, r) == "Y" || table.Cell(FP, r) == "Y") {
            // A transport-protocol message carries up to 1785 bytes, a fast packet 223.
            const bool tp = table.Cell(TP, r) == "Y";
            const int limit = tp ? 1785 : 223;
            if (!In_Range(start, 0, limit))
                return Frame_Row_Error(1631, r, UI_Texts[tp ? 1634 : 1636]);
            bytes = count;
            if (count < 0 || start + count > limit)
                return Frame_Row_Error(1631, r, UI_Texts[tp ? 1635 : 1637]);
        } else {
            const bool noStart = Trim(table.Cell(Start, r)).empty();
            const bool noCount = Trim(table.Cell(Count, r)).empty();
            if (noStart != noCount) return Frame_Row_Error(1631, r, UI_Texts[1638]);
            if (!noStart) {
                // The start byte is the offset in the frame, as the compiler reads it.
                if (!In_Range(start, 0, 7)) return Frame_Row_Error(1631, r, UI_Texts[1639]);
                if (!In_Range(count, 1, 8)) return Frame_Row_Error(1631, r, UI_Texts[1640]);
                if (start + count > 8) return Frame_Row_Error(1631, r, UI_Texts[1641]);
                bytes = count;
            }
        }
        total += bytes;
        if (total > NMEA_Max_Data_Bytes) return UI_Texts[1642] + IntToStr(NMEA_Max_Data_Bytes);
    }
    return Frame_Rows_Lost(table, PGN, 1631, 1615);
}

std::string Check_NMEA_Send(const TRow_Table& table) {
    enum { Priority = 1, PGN, SA, FP, Count, Request, Change, Timer, Send_Timer };
    const int end = Table_Length(table, PGN, false);
    int total = 0;
    for (int r = 1; r <= end; ++r) {
        if (!In_Range(Cell_Number(table, Priority, r), 0, 7))
            return Frame_Row_Error(1735, r, UI_Texts[1736]);
        if (!In_Range(Cell_Number(table, PGN, r), 0, 0x1FFFF))
            return Frame_Row_Error(1735, r, UI_Texts[1737]);
        if (!In_Range(Cell_Number(table, SA, r), 0, 239))
            return Frame_Row_Error(1735, r, UI_Texts[1738]);
        const int count = Cell_Number(table, Count, r);
        if (!In_Range(count, 0, NMEA_Max_Data_Bytes))
            return Frame_Row_Error(1735, r, UI_Texts[1739] + IntToStr(NMEA_Max_Data_Bytes));
        total += count;
        if (total > NMEA_Max_Data_Bytes) return UI_Texts[1740] + IntToStr(NMEA_Max_Data_Bytes);
        if (table.Cell(Timer, r) == "Y" && !In_Range(Cell_Number(table, Send_Timer, r), 1, 65535))
            return Frame_Row_Error(1735, r, UI_Texts[1741]);
    }
    return Frame_Rows_Lost(table, PGN, 1735, 1716);
}

void Save_Frame_Table(const TRow_Table& table, const std::vector<TTable_Column>& columns,
                      int key_col, const std::string& root_name, const std::string& version,
                      const std::string& path, bool trim) {
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    TXmlNode root = doc.AddChild(root_name);
    if (!version.empty()) doc.ChildNodes().Add(doc.CreateComment(version));
    Add_Frame_Rows(root, table, columns, key_col, trim);
    doc.SaveToFile(path);
}

void Add_Frame_Rows(TXmlNode& parent, const TRow_Table& table,
                    const std::vector<TTable_Column>& columns, int key_col, bool trim) {
    const int end = Table_Length(table, key_col, trim);
    for (int r = 1; r <= end; ++r) {
        TXmlNode row = parent.AddChild("row");
        for (std::size_t c = 0; c < columns.size(); ++c)
            row.SetAttribute(columns[c].Attribute, table.Cell(int(c) + 1, r));
    }
}

void Save_NMEA_Table(const TRow_Table& table, const std::vector<TTable_Column>& columns,
                     const std::string& path) {
    Save_Frame_Table(table, columns, keyColumn(columns), "Receive_NMEA_2000", "SW_VERSION = 1.000",
                     path);
}
