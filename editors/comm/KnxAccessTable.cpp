#include "editors/comm/KnxAccessTable.h"

#include "platform/base/SysUtils.h"
#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/KnxText.h"
#include "shell/state/ProductProfiles.h"
#include "shell/state/ProjectInt.h"
#include "shell/state/ProjectXml.h"
#include "shell/state/UITexts.h"

namespace {

const char* const Check = "N";

std::vector<std::string> bitModeItems() {
    std::vector<std::string> items{"No"};
    for (int i = 0; i <= 7; ++i) items.push_back(IntToStr(i));
    return items;
}

bool isPriority(const std::string& text) {
    return text == "System" || text == "Urgent" || text == "Normal" || text == "Low";
}

bool isDmx(int type) {
    return type == 11 || type == 1011;
}
bool isProfi(int type) {
    return type == 12 || type == 1012 || type == 13;
}

std::string rowError(int row, const std::string& text) {
    return UI_Texts[207] + IntToStr(row) + text;
}

} // namespace

const std::vector<TKnx_Column> KNX_Access_Columns = {
    {339, edDataCheckBox, 50, "Enable", {}, "Y"},
    {192, edNormal, 70, "Source_Address", {}, nullptr},
    {193, edNormal, 80, "Destination_Address", {}, nullptr},
    {194, edComboEdit, 60, "APCI", {"Read", "Write"}, nullptr},
    {195, edComboList, 75, "Priority", {"System", "Urgent", "Normal", "Low"}, "Normal"},
    {196,
     edComboList,
     110,
     "Format",
     {"None", "Swap16", "Swap32", "Swap All", "Int to Float", "Float to Int", "Float16 to Float32",
      "Float16 to Int", "Float16 to Int * 10", "Float16 to Int * 100"},
     "None"},
    {197, edDataCheckBox, 68, "Extended", {}, nullptr},
    {199, edDataCheckBox, 50, "ReTest", {}, nullptr},
    {719, edDataCheckBox, 52, "On_Command", {}, Check},
    {200, edDataCheckBox, 71, "On_Change", {}, nullptr},
    {201, edDataCheckBox, 62, "On_Timer", {}, Check},
    {202, edNormal, 67, "Poll_Time", {}, nullptr},
    {203, edComboList, 55, "Position", {}, nullptr},
    {204, edComboList, 55, "Bit_Mode", bitModeItems(), nullptr},
    {205, edNormal, 55, "Length", {}, nullptr},
    {986, edNormal, 96, "TimeOut", {}, "0"},
    {206, edNormal, 96, "Mnemonic", {}, nullptr},
};

bool TKnx_Settings::DMX_Fixed() const {
    return isDmx(Product_Type) && DMX_Type == 1;
}

TKnx_Settings KNX_Settings(int product_type, const std::string& par_gen,
                           const TKnx_Settings& previous) {
    TKnx_Settings s;
    s.Product_Type = product_type;
    s.Num_Byte_Read_InPROFI = previous.Num_Byte_Read_InPROFI;
    s.Num_Byte_Write_OutPROFI = previous.Num_Byte_Write_OutPROFI;
    if (product_type == 8) s.Max_Num_Byte = 455;
    if (product_type == 12 || product_type == 1012) s.Max_Num_Byte = 1438;
    if (isDmx(product_type)) {
        s.Max_Num_Byte = 512;
        s.DMX_Type = 1;
    }
    if (!(isDmx(product_type) || isProfi(product_type)) || !FileExists(par_gen)) return s;
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    doc.LoadFromFile(par_gen);
    const TXmlNode root = doc.DocumentElement();
    auto key = [&](const char* name, int def) {
        const TXmlNode node = root ? root.ChildNodes().FindNode(name) : TXmlNode();
        return node ? ImageIntDef(node.Text(), def) : def;
    };
    if (isDmx(product_type)) {
        s.Max_Num_Byte = key("DMX_Num_Channels", 512);
        s.DMX_Type = key("DMX_DMX", 1);
    } else if (product_type == 13) {
        s.Num_Byte_Read_InPROFI = key("EtherNetIP_NB_IN", 496);
        s.Num_Byte_Write_OutPROFI = key("EtherNetIP_NB_OUT", 496);
    } else {
        s.Num_Byte_Write_OutPROFI = key("PROFINET_NB_IN", 1438);
        s.Num_Byte_Read_InPROFI = key("PROFINET_NB_OUT", 1438);
    }
    return s;
}

std::vector<std::string> Position_Items(int max_num_byte) {
    std::vector<std::string> items;
    for (int i = 0; i < max_num_byte; ++i) items.push_back(IntToStr(i));
    return items;
}

TRow_Table New_KNX_Table() {
    std::vector<bool> check;
    for (const TKnx_Column& c : KNX_Access_Columns) check.push_back(c.Editor == edDataCheckBox);
    return TRow_Table(KNX_Access_Rows, check, KNX_Enable);
}

TKnx_Load Load_KNX_Table(TRow_Table& table, const std::string& path) {
    TKnx_Load result;
    table.Reset();
    if (!FileExists(path)) return result;
    result.Exists = true;
    try {
        TXMLDocument doc(nullptr);
        doc.SetActive(true);
        doc.LoadFromFile(path);
        const TXmlNode root = doc.DocumentElement();
        const TXmlNode section = root ? root.ChildNodes().FindNode("KNX_in_Write") : TXmlNode();
        if (!section) throw Exception(path + ": the element KNX_in_Write is missing");
        TRow_Load load(path);
        load.Fill(
            table, Element_Children(section),
            [&](const TXmlNode& node, int row) {
                for (std::size_t c = 0; c < KNX_Access_Columns.size(); ++c) {
                    const TKnx_Column& column = KNX_Access_Columns[c];
                    table.Cell(int(c) + 1, row) =
                        Row_Attribute(node, column.Attribute, column.Default, path, "", row);
                }
                if (!isPriority(table.Cell(KNX_Priority, row)))
                    table.Cell(KNX_Priority, row) = "Normal";
            },
            "KNX_in_Write");
        load.Finish();
    } catch (const Exception& e) {
        result.Error = e.Message();
    }
    return result;
}

std::string Check_KNX_Table(const TRow_Table& table, const TKnx_Settings& s) {
    const int end = Table_Length(table, KNX_Source, true);
    for (int r = 1; r <= end; ++r) {
        if (Trim(table.Cell(KNX_Enable, r)) != "Y") continue;
        if (Check_KNX_Address(Trim(table.Cell(KNX_Source, r)), false, true) != 0)
            return rowError(r, UI_Texts[218]);
        const std::string dest = Trim(table.Cell(KNX_Destination, r));
        if (Has_No_Dot(dest)) {
            if (Check_KNX_Address(dest, true, false) != 0) return rowError(r, UI_Texts[229]);
        } else if (Check_KNX_Address(dest, false, true) != 0) {
            return rowError(r, UI_Texts[219]);
        }
        const std::string apci = UpperCase(table.Cell(KNX_APCI, r));
        if (!(isDmx(s.Product_Type) && s.DMX_Type != 0) && apci != "READ" && apci != "WRITE" &&
            !In_Range(Cell_Number(table, KNX_APCI, r), 0, 1023))
            return rowError(r, UI_Texts[220]);
        if (!isPriority(table.Cell(KNX_Priority, r))) return rowError(r, UI_Texts[221]);
        if (Trim(table.Cell(KNX_Format, r)).empty()) return rowError(r, UI_Texts[350]);
        if (UpperCase(table.Cell(KNX_On_Timer, r)) == "Y" &&
            !In_Range(Cell_Number(table, KNX_Poll_Time, r), 1, 100000000))
            return rowError(r, UI_Texts[222]);
        const int position = Cell_Number(table, KNX_Position, r);
        if (!In_Range(position, 0, s.Max_Num_Byte - 1))
            return rowError(r, UI_Texts[223] + IntToStr(s.Max_Num_Byte - 1));
        if (isProfi(s.Product_Type)) {
            const int bound = apci == "READ"    ? s.Num_Byte_Read_InPROFI
                              : apci == "WRITE" ? s.Num_Byte_Write_OutPROFI
                                                : -1;
            if (bound >= 0 && position >= bound)
                return rowError(r, UI_Texts[223] + IntToStr(bound - 1));
        }
        const bool byteMode = UpperCase(table.Cell(KNX_Bit_Mode, r)) == "NO";
        const int startBit = byteMode ? 0 : Cell_Number(table, KNX_Bit_Mode, r);
        if (!byteMode && !In_Range(startBit, 0, 7)) return rowError(r, UI_Texts[224]);
        const bool extended = UpperCase(table.Cell(KNX_Extended, r)) == "Y";
        const int limit = byteMode ? (extended ? 255 : 14) : (extended ? 2040 : 112);
        const int length = Cell_Number(table, KNX_Length, r);
        if (!In_Range(length, 1, limit)) return rowError(r, UI_Texts[225] + IntToStr(limit));
        const int span = byteMode ? length : (startBit + length + 7) / 8;
        if (position + span > s.Max_Num_Byte)
            return rowError(r, UI_Texts[226] + IntToStr(s.Max_Num_Byte));
        if (!In_Range(Cell_Number(table, KNX_TimeOut, r), 0, 100000000))
            return rowError(r, UI_Texts[987]);
    }
    const int lost = Row_Lost_After_End(table, KNX_Source, true);
    if (lost != 0) return rowError(lost, "!! [KNX in Write] " + UI_Texts[192] + UI_Texts[1745]);
    return {};
}

void Save_KNX_Table(const TRow_Table& table, const TKnx_Settings& s, const std::string& path) {
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    TXmlNode root = doc.AddChild("BACnet_to_KNX");
    doc.ChildNodes().Add(
        doc.CreateComment("SW_VERSION = " + Get_Product_Profile(s.Product_Type).Version));
    root.AddChild("KNX_in_Read");
    TXmlNode write = root.AddChild("KNX_in_Write");
    const int end = Table_Length(table, KNX_Source, true);
    for (int r = 1; r <= end; ++r) {
        TXmlNode row = write.AddChild("row");
        for (std::size_t c = 0; c < KNX_Access_Columns.size(); ++c) {
            const int col = int(c) + 1;
            std::string text = table.Cell(col, r);
            if (s.DMX_Fixed() && col == KNX_APCI) text = "Read";
            if (s.DMX_Fixed() && (col == KNX_On_Command || col == KNX_On_Change)) text = "N";
            row.SetAttribute(KNX_Access_Columns[c].Attribute, text);
        }
    }
    doc.SaveToFile(path);
}
