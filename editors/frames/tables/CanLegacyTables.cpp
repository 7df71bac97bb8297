#include "editors/frames/tables/CanLegacyTables.h"

#include "editors/frames/tables/CanTables.h"
#include "platform/base/SysUtils.h"
#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/ProjectInt.h"
#include "shell/state/ProjectXml.h"
#include "shell/state/UITexts.h"

namespace {
constexpr TColor Light_Blue = RGB(224, 250, 254);
constexpr TColor Light_Green = RGB(202, 255, 202);
} // namespace

const std::vector<TTable_Column> CAN_Rec_List_Columns = {
    {386, 110, edNormal, "Cob_Id", 0, nullptr, Light_Blue},
    {387, 85, edComboList, "Type", 0, nullptr, Light_Blue},
    {388, 75, edNormal, "Dimension", 0, nullptr, Light_Blue},
    {389, 85, edNormal, "TimeOut", 0, nullptr, Light_Green},
    {390, 310, edNormal, "Mnemonic", 0, nullptr, clWhite},
};

const std::vector<TTable_Column> CAN_Send_List_Columns = {
    {405, 110, edNormal, "Cob_Id", 0, nullptr, Light_Blue},
    {406, 85, edComboList, "Type", 0, nullptr, Light_Blue},
    {407, 71, edNormal, "Dimension", 0, nullptr, Light_Blue},
    {408, 106, edComboList, "Send_Type", 0, nullptr, Light_Green},
    {409, 85, edNormal, "Timer_Send", 0, nullptr, Light_Green},
    {410, 210, edNormal, "Mnemonic", 0, nullptr, clWhite},
};

const std::vector<std::string> CAN_Send_Type_Items = {"On Data Change", "On Timer"};

namespace {

enum { Cob_Id = 1, Type, Dimension };

// What sets the two directions apart.
struct Layout {
    const std::vector<TTable_Column>* Columns;
    const char* List_Root;
    const char* Section;
    int Time_Column;
    // The first of the list's messages: the row prefix, then the Type, the two Cob-ID, the
    // Dimension and the time reason.
    int Messages;
    const char* Info_Root;
    // The message of byte 1 of the byte map; bytes 2 .. 8 follow, " or none" comes before.
    int Byte_Error;
};

const Layout Rec = {&CAN_Rec_List_Columns,
                    "PROFINET_to_Receive_CAN",
                    "Receive_Frames",
                    4,
                    391,
                    "Receive_Frames_Info",
                    435};
const Layout Send = {
    &CAN_Send_List_Columns, "PROFINET_to_Send_CAN", "Send_Frames", 5, 411, "Send_Frames_Info", 465};

const Layout& layoutOf(TCan_Direction direction) {
    return direction == TCan_Direction::Receive ? Rec : Send;
}

std::string version(int product_type) {
    return product_type == 5 ? "SW_VERSION = 1.101" : "";
}

// The document's first element, or a null node when the file holds none.
TXmlNode loadRoot(TXMLDocument& doc, const std::string& path) {
    doc.SetActive(true);
    doc.LoadFromFile(path);
    return doc.DocumentElement();
}

int requiredNumber(const TXmlNode& row, const char* attribute, int number,
                   const std::string& path) {
    int value = 0;
    if (!TryImageInt(Row_Attribute(row, attribute, nullptr, path, "", number), value))
        throw Exception(path + ": row " + IntToStr(number) + ": " + attribute + " is not a number");
    return value;
}

bool loadList(const Layout& l, TRow_Table& table, const std::string& path) {
    table.Reset();
    if (!FileExists(path)) return false;
    TXMLDocument doc(nullptr);
    const TXmlNode root = loadRoot(doc, path);
    const TXmlNode section = root ? root.ChildNodes().FindNode(l.Section) : TXmlNode();
    if (!section) throw Exception(path + ": the element " + l.Section + " is missing");
    TRow_Load load(path);
    load.Fill(
        table, Element_Children(section),
        [&](const TXmlNode& node, int row) {
            Fill_Required_Row(table, *l.Columns, node, row, path, "");
        },
        l.Section);
    load.Finish();
    return true;
}

std::string checkList(const Layout& l, const TRow_Table& table) {
    const int end = Table_Length(table, Cob_Id, false);
    for (int r = 1; r <= end; ++r) {
        auto error = [&](int offset) {
            return Frame_Row_Error(l.Messages, r, UI_Texts[l.Messages + offset]);
        };
        const std::string type = Trim(table.Cell(Type, r));
        if (type.empty()) return error(1);
        const bool standard = UpperCase(type) == UpperCase(CAN_Type_Items[0]);
        if (!In_Range(Cell_Number(table, Cob_Id, r), 0, standard ? 0x7FF : 0x1FFFFFFF))
            return error(standard ? 2 : 3);
        if (!In_Range(Cell_Number(table, Dimension, r), 1, 8)) return error(4);
        if (!In_Range(Cell_Number(table, l.Time_Column, r), 0, 10000000)) return error(5);
    }
    return Frame_Rows_Lost(table, Cob_Id, l.Messages, (*l.Columns)[0].Header_Entry);
}

void saveList(const Layout& l, const TRow_Table& table, int product_type, const std::string& path) {
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    TXmlNode root = doc.AddChild(l.List_Root);
    const std::string comment = version(product_type);
    if (!comment.empty()) doc.ChildNodes().Add(doc.CreateComment(comment));
    TXmlNode section = root.AddChild(l.Section);
    // Every row up to the first empty Cob-ID, 0 included: the check passes them all.
    Add_Frame_Rows(section, table, *l.Columns, Cob_Id, false);
    doc.SaveToFile(path);
}

} // namespace

TRow_Table New_CAN_List(const std::vector<TTable_Column>& columns) {
    std::vector<bool> check_box(columns.size(), false);
    return TRow_Table(CAN_List_Rows, check_box);
}

bool Load_CAN_Rec_List(TRow_Table& table, const std::string& path) {
    return loadList(Rec, table, path);
}

bool Load_CAN_Send_List(TRow_Table& table, const std::string& path) {
    return loadList(Send, table, path);
}

std::string Check_CAN_Rec_List(const TRow_Table& table) {
    return checkList(Rec, table);
}

std::string Check_CAN_Send_List(const TRow_Table& table) {
    return checkList(Send, table);
}

void Save_CAN_Rec_List(const TRow_Table& table, int product_type, const std::string& path) {
    saveList(Rec, table, product_type, path);
}

void Save_CAN_Send_List(const TRow_Table& table, int product_type, const std::string& path) {
    saveList(Send, table, product_type, path);
}

std::vector<TRecInfo> Load_CAN_Info_Frames(TCan_Direction direction, const std::string& path) {
    std::vector<TRecInfo> frames;
    if (!FileExists(path)) return frames;
    TXMLDocument doc(nullptr);
    const TXmlNode root = loadRoot(doc, path);
    const TXmlNode section =
        root ? root.ChildNodes().FindNode(layoutOf(direction).Section) : TXmlNode();
    if (!section) return frames;
    const std::vector<TXmlNode> rows = Element_Children(section);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        TRecInfo frame;
        frame.Cob_Id = Row_Attribute(rows[i], "Cob_Id", nullptr, path, "", int(i) + 1);
        frame.Dim = requiredNumber(rows[i], "Dimension", int(i) + 1, path);
        frames.push_back(frame);
    }
    return frames;
}

bool Load_CAN_Info(std::vector<TRecInfo>& frames, const std::string& path) {
    if (!FileExists(path)) return false;
    TXMLDocument doc(nullptr);
    const TXmlNode root = loadRoot(doc, path);
    if (!root) return false;
    const std::vector<TXmlNode> rows = Element_Children(root);
    for (std::size_t i = 0; i < frames.size() && i < rows.size(); ++i) {
        for (int k = 1; k <= 8 && k <= frames[i].Dim; ++k) {
            const std::string name = "B" + IntToStr(k);
            const int value = requiredNumber(rows[i], name.c_str(), int(i) + 1, path);
            // Only a position of the image or none: anything else would be written back as
            // another position.
            if (!In_Range(value, 0, CAN_Info_Max_Byte - 1) && value != CAN_Info_None)
                throw Exception(path + ": row " + IntToStr(int(i) + 1) + ": " + name +
                                " is no position of the byte image");
            frames[i].PosB[std::size_t(k - 1)] = std::uint16_t(value);
        }
    }
    return rows.size() > frames.size();
}

bool CAN_Info_Position(const std::string& text, int max_byte, std::uint16_t& position) {
    const std::string t = Trim(text);
    if (t.empty() || UpperCase(t) == "NONE") {
        position = CAN_Info_None;
        return true;
    }
    int value = 0;
    if (!TryImageInt(t, value) || !In_Range(value, 0, max_byte - 1)) return false;
    position = std::uint16_t(value);
    return true;
}

std::string CAN_Info_Position_Error(TCan_Direction direction, int k, int max_byte) {
    const int first = layoutOf(direction).Byte_Error;
    return UI_Texts[first + k - 1] + IntToStr(max_byte - 1) + UI_Texts[first - 1];
}

std::string Check_CAN_Rec_Info(const std::vector<TRecInfo>& frames) {
    struct User {
        int Frame = -1;
        int Byte = 0;
    };
    // One entry per position of the image; positions are checked before they are stored.
    std::vector<User> users(CAN_Info_Max_Byte);
    for (std::size_t f = 0; f < frames.size(); ++f) {
        for (int k = 1; k <= 8; ++k) {
            const int pos = frames[f].PosB[std::size_t(k - 1)];
            if (pos >= CAN_Info_Max_Byte) continue;
            User& user = users[std::size_t(pos)];
            if (user.Frame < 0) {
                user = {int(f), k};
                continue;
            }
            return UI_Texts[443] + IntToStr(pos) + UI_Texts[444] + frames[f].Cob_Id +
                   UI_Texts[445] + IntToStr(k) + UI_Texts[446] +
                   frames[std::size_t(user.Frame)].Cob_Id + UI_Texts[447] + IntToStr(user.Byte);
        }
    }
    return {};
}

void Save_CAN_Info(TCan_Direction direction, const std::vector<TRecInfo>& frames, int product_type,
                   const std::string& path) {
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    TXmlNode root = doc.AddChild(layoutOf(direction).Info_Root);
    const std::string comment = version(product_type);
    if (!comment.empty()) doc.ChildNodes().Add(doc.CreateComment(comment));
    for (const TRecInfo& frame : frames) {
        TXmlNode row = root.AddChild("row");
        for (int k = 1; k <= 8; ++k)
            row.SetAttribute("B" + IntToStr(k), IntToStr(int(frame.PosB[std::size_t(k - 1)])));
    }
    doc.SaveToFile(path);
}
