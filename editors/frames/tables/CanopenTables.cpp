#include "editors/frames/tables/CanopenTables.h"

#include "platform/base/SysUtils.h"
#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/ProductProfiles.h"
#include "shell/state/ProjectXml.h"
#include "shell/state/UITexts.h"

namespace {

TTable_Column column(int header, int width, const char* attribute, TEditorType editor = edNormal) {
    return {header, width, editor, attribute, 0, nullptr, clWindow};
}

// The address columns of the first count bytes, headed by entries first.., of width.
std::vector<TTable_Column> addresses(std::vector<TTable_Column> columns, int first, int count,
                                     int width) {
    static const char* const names[] = {"Address_B1", "Address_B2", "Address_B3", "Address_B4",
                                        "Address_B5", "Address_B6", "Address_B7", "Address_B8"};
    for (int k = 0; k < count; ++k) columns.push_back(column(first + k, width, names[k]));
    return columns;
}

std::vector<TTable_Column> operator+(std::vector<TTable_Column> a,
                                     const std::vector<TTable_Column>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The addresses first.. of the first count bytes, each 0..limit - 1; entry names the first
// byte's rule, the others follow.
std::string checkAddresses(const TRow_Table& table, int row, int first, int count, int limit,
                           int entry) {
    for (int k = 0; k < count; ++k)
        if (!In_Range(Cell_Number(table, first + k, row), 0, limit - 1))
            return UI_Texts[entry + k] + IntToStr(limit - 1);
    return {};
}

std::string checkSdoServer(const TRow_Table& table, int section, int r, int limit) {
    enum { Index = 1, SubIndex, NByte, Address_B1 };
    const int e = section == 0 ? 500 : 507;
    if (!In_Range(Cell_Number(table, Index, r), 0x2000, 0x5FFF)) return UI_Texts[e];
    if (!In_Range(Cell_Number(table, SubIndex, r), 0, 255)) return UI_Texts[e + 1];
    const int n = Cell_Number(table, NByte, r);
    if (n != 1 && n != 2 && n != 4) return UI_Texts[e + 2];
    return checkAddresses(table, r, Address_B1, n, limit, e + 3);
}

std::string checkSdoClient(const TRow_Table& table, int section, int r, int limit) {
    enum { Device_ID = 1, Index, SubIndex, NByte, Poll_Time };
    const bool write = section == 1;
    const int e = write ? 556 : 547;
    if (!In_Range(Cell_Number(table, Device_ID, r), 1, 127)) return UI_Texts[e];
    if (!In_Range(Cell_Number(table, Index, r), 0x1000, 0xFFFF)) return UI_Texts[e + 1];
    if (!In_Range(Cell_Number(table, SubIndex, r), 0, 255)) return UI_Texts[e + 2];
    const int n = Cell_Number(table, NByte, r);
    if (n != 1 && n != 2 && n != 4) return UI_Texts[e + 3];
    if (!In_Range(Cell_Number(table, Poll_Time, r), write ? 0 : 1, 100000000))
        return UI_Texts[e + 4];
    // The write table has its On Change column before the addresses.
    return checkAddresses(table, r, write ? 7 : 6, n, limit, e + 5);
}

std::string checkPdo(const TRow_Table& table, int section, int r, int limit) {
    enum { COB_ID = 1, Dimension, Address_B1, Time = 11 };
    const bool transmit = section == 1;
    const int e = transmit ? 613 : 602;
    if (!In_Range(Cell_Number(table, COB_ID, r), 0, 0x7FF)) return UI_Texts[e];
    const int n = Cell_Number(table, Dimension, r);
    if (!In_Range(n, 1, 8)) return UI_Texts[e + 1];
    const std::string address = checkAddresses(table, r, Address_B1, n, limit, e + 2);
    if (!address.empty()) return address;
    if (!In_Range(Cell_Number(table, Time, r), 0, transmit ? 100000000 : 65535))
        return UI_Texts[e + 10];
    return {};
}

constexpr int Key = 1;

// A table ends at its first row whose key cell holds only blanks.
int tableLength(const TRow_Table& table) {
    return Table_Length(table, Key, true);
}

} // namespace

const TCANopen_Layout SDO_Server_Layout = {
    "SDO_Server_CANopen",
    500,
    1439,
    499,
    {{"SDO_Read", 479,
      addresses({column(482, 65, "Index"), column(483, 61, "SubIndex"), column(484, 55, "NByte")},
                485, 4, 80) +
          std::vector<TTable_Column>{column(489, 170, "Mnemonic")}},
     {"SDO_Write", 480,
      addresses({column(491, 65, "Index"), column(492, 61, "SubIndex"), column(493, 55, "NByte")},
                494, 4, 80) +
          std::vector<TTable_Column>{column(498, 170, "Mnemonic")}}},
    &checkSdoServer,
};

const TCANopen_Layout SDO_Client_Layout = {
    "SDO_Client_CANopen",
    256,
    1439,
    546,
    {{"SDO_Read", 521,
      addresses({column(524, 60, "Device_ID"), column(525, 55, "Index"),
                 column(526, 60, "SubIndex"), column(527, 45, "NByte"),
                 column(528, 60, "Poll_Time")},
                529, 4, 70) +
          std::vector<TTable_Column>{column(533, 163, "Mnemonic")}},
     {"SDO_Write", 522,
      addresses({column(535, 60, "Device_ID"), column(536, 55, "Index"),
                 column(537, 60, "SubIndex"), column(538, 45, "NByte"),
                 column(539, 60, "Poll_Time"), column(540, 68, "On_Change", edDataCheckBox)},
                541, 4, 70) +
          std::vector<TTable_Column>{column(545, 95, "Mnemonic")}}},
    &checkSdoClient,
};

const TCANopen_Layout PDO_Layout = {
    "PDO_CANopen",
    30,
    6000,
    601,
    {{"Receive_PDO", 572,
      addresses({column(575, 65, "COB-ID"), column(576, 65, "Dimension")}, 577, 8, 45) +
          std::vector<TTable_Column>{column(585, 65, "TimeOut"), column(586, 173, "Mnemonic")}},
     {"Transmit_PDO", 573,
      addresses({column(588, 65, "COB-ID"), column(589, 65, "Dimension")}, 590, 8, 45) +
          std::vector<TTable_Column>{column(598, 65, "Send_Time"),
                                     column(599, 68, "On_Change", edDataCheckBox),
                                     column(600, 105, "Mnemonic")}}},
    &checkPdo,
};

std::string Version_Comment(int product_type) {
    return "SW_VERSION = " + Get_Product_Profile(product_type).Version;
}

TCANopen_Tables New_CANopen_Tables(const TCANopen_Layout& layout) {
    auto table = [&](int section) {
        std::vector<bool> check_box;
        for (const TTable_Column& c : layout.Sections[section].Columns)
            check_box.push_back(c.Editor == edDataCheckBox);
        return TRow_Table(layout.Rows, check_box);
    };
    return {table(0), table(1)};
}

bool Load_CANopen_Tables(TCANopen_Tables& tables, const TCANopen_Layout& layout,
                         const std::string& path) {
    tables.First.Reset();
    tables.Second.Reset();
    if (!FileExists(path)) return false;
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    doc.LoadFromFile(path);
    const TXmlNode root = doc.DocumentElement();
    TRow_Load load(path);
    for (int s = 0; s < 2; ++s) {
        const TCANopen_Section& section = layout.Sections[s];
        const TXmlNode node = root ? root.ChildNodes().FindNode(section.Name) : TXmlNode();
        if (!node) throw Exception(path + ": the element " + section.Name + " is missing");
        TRow_Table& table = tables[s];
        load.Fill(
            table, Element_Children(node),
            [&](const TXmlNode& row_node, int row) {
                Fill_Required_Row(table, section.Columns, row_node, row, path, section.Name);
            },
            section.Name);
    }
    load.Finish();
    return true;
}

std::string Check_CANopen_Tables(const TCANopen_Tables& tables, const TCANopen_Layout& layout,
                                 int limit_first, int limit_second) {
    for (int s = 0; s < 2; ++s) {
        const TRow_Table& table = tables[s];
        const int limit = s == 0 ? limit_first : limit_second;
        const int end = tableLength(table);
        for (int r = 1; r <= end; ++r) {
            const std::string rule = layout.Check_Row(table, s, r, limit);
            if (!rule.empty()) return Frame_Row_Error(layout.Error_Prefix, r, rule);
        }
        const int lost = Row_Lost_After_End(table, Key, true);
        if (lost != 0) {
            const TCANopen_Section& section = layout.Sections[s];
            return Frame_Row_Error(layout.Error_Prefix, lost,
                                   "!! [" + UI_Texts[section.Title_Entry] + "] " +
                                       UI_Texts[section.Columns[Key - 1].Header_Entry] +
                                       UI_Texts[1745]);
        }
    }
    return {};
}

void Save_CANopen_Tables(const TCANopen_Tables& tables, const TCANopen_Layout& layout,
                         const std::string& path) {
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    TXmlNode root = doc.AddChild(layout.Root);
    doc.ChildNodes().Add(doc.CreateComment(Version_Comment(6)));
    for (int s = 0; s < 2; ++s) {
        const TCANopen_Section& section = layout.Sections[s];
        TXmlNode node = root.AddChild(section.Name);
        const TRow_Table& table = tables[s];
        const int end = tableLength(table);
        for (int r = 1; r <= end; ++r) {
            TXmlNode row = node.AddChild("row");
            for (std::size_t c = 0; c < section.Columns.size(); ++c)
                row.SetAttribute(section.Columns[c].Attribute, table.Cell(int(c) + 1, r));
        }
    }
    doc.SaveToFile(path);
}
