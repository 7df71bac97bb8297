#include "editors/comm/ModbusMasterTables.h"

#include "editors/comm/KnxAccessTable.h"
#include "platform/base/SysUtils.h"
#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/ProjectInt.h"
#include "shell/state/ProjectXml.h"
#include "shell/state/UITexts.h"

namespace {

const std::vector<std::string> Bit_Items = {"0", "1", "2", "3", "4", "5", "6", "7"};

std::vector<TModbus_Column> readColumns(bool tcp) {
    const std::vector<std::string> types = {"Coil Status", "Input Status", "Holding Register",
                                            "Input Register"};
    const std::vector<std::string> positions = Position_Items(Modbus_Image_Bytes);
    std::vector<TModbus_Column> c = {{tcp ? 344 : 342, edDataCheckBox, "Enable", {}, "Y"}};
    if (tcp) {
        c.push_back({290, edNormal, "IP_Address", {}, nullptr});
        c.push_back({291, edNormal, "Port", {}, nullptr});
    }
    const int h = tcp ? 292 : 239;
    c.push_back({h, edNormal, "Slave_ID", {}, nullptr});
    c.push_back({h + 1, edComboList, "Type", types, nullptr});
    c.push_back({h + 2, edNormal, "Address", {}, nullptr});
    c.push_back({h + 3, edNormal, "NPoint", {}, nullptr});
    c.push_back({h + 4, edNormal, "PollTime", {}, nullptr});
    c.push_back({h + 5, edNormal, "MaxError", {}, nullptr});
    c.push_back({h + 6, edComboList, "Position", positions, nullptr});
    c.push_back({h + 7, edComboList, "Bit", Bit_Items, nullptr});
    c.push_back({tcp ? 858 : 247, edDataCheckBox, "Swap", {}, "N"});
    c.push_back({tcp ? 300 : 248, edNormal, "Mnemonic", {}, nullptr});
    return c;
}

std::vector<TModbus_Column> writeColumns(bool tcp) {
    const std::vector<std::string> types = {"Coil Status", "Holding Register"};
    const std::vector<std::string> positions = Position_Items(Modbus_Image_Bytes);
    std::vector<TModbus_Column> c = {{tcp ? 345 : 343, edDataCheckBox, "Enable", {}, "Y"}};
    if (tcp) {
        c.push_back({302, edNormal, "IP_Address", {}, nullptr});
        c.push_back({303, edNormal, "Port", {}, nullptr});
    }
    c.push_back({tcp ? 304 : 250, edNormal, "Slave_ID", {}, nullptr});
    c.push_back({tcp ? 305 : 251, edComboList, "Type", types, nullptr});
    c.push_back({tcp ? 306 : 252, edNormal, "Address", {}, nullptr});
    c.push_back({tcp ? 307 : 253, edNormal, "NPoint", {}, nullptr});
    if (!tcp) c.push_back({985, edDataCheckBox, "UseFC1516", {}, "N"});
    c.push_back({tcp ? 308 : 254, edNormal, "PollTime", {}, nullptr});
    c.push_back({tcp ? 309 : 255, edDataCheckBox, "OnChange", {}, nullptr});
    c.push_back({tcp ? 970 : 969, edDataCheckBox, "OnCMD", {}, "N"});
    c.push_back({tcp ? 310 : 256, edNormal, "MaxError", {}, nullptr});
    c.push_back({tcp ? 311 : 257, edComboList, "Position", positions, nullptr});
    c.push_back({tcp ? 312 : 258, edComboList, "Bit", Bit_Items, nullptr});
    c.push_back({tcp ? 859 : 259, edDataCheckBox, "Swap", {}, "N"});
    c.push_back({tcp ? 313 : 260, edNormal, "Mnemonic", {}, nullptr});
    return c;
}

constexpr int Key = 2;

int column(const std::vector<TModbus_Column>& columns, const char* attribute) {
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (std::string(columns[c].Attribute) == attribute) return int(c) + 1;
    return 0;
}

TRow_Table newTable(const std::vector<TModbus_Column>& columns) {
    std::vector<bool> check_box;
    for (const TModbus_Column& c : columns) check_box.push_back(c.Editor == edDataCheckBox);
    return TRow_Table(Modbus_Access_Rows, check_box, 1);
}

void loadSection(TRow_Load& load, TRow_Table& table, const std::vector<TModbus_Column>& columns,
                 const TXmlNode& root, const char* name, const std::string& path) {
    const TXmlNode section = root ? root.ChildNodes().FindNode(name) : TXmlNode();
    if (!section) throw Exception(path + ": the element " + name + " is missing");
    load.Fill(
        table, Element_Children(section),
        [&](const TXmlNode& node, int row) {
            for (std::size_t c = 0; c < columns.size(); ++c)
                table.Cell(int(c) + 1, row) =
                    Row_Attribute(node, columns[c].Attribute, columns[c].Default, path, name, row);
        },
        name);
}

// The entries of one table's messages.
struct Messages {
    int Prefix;
    int IP;   // then Port
    int Rule; // Slave ID, then Type .. span in the order of the checks
    bool Write;
    int Title; // the table's name, as on its page
};

std::string checkTable(const TRow_Table& table, const std::vector<TModbus_Column>& columns,
                       bool tcp, const Messages& m) {
    const int end = Table_Length(table, Key, true);
    const int slave = column(columns, "Slave_ID"), type = column(columns, "Type"),
              address = column(columns, "Address"), npoint = column(columns, "NPoint"),
              poll = column(columns, "PollTime"), max_error = column(columns, "MaxError"),
              position = column(columns, "Position"), bit = column(columns, "Bit");
    for (int r = 1; r <= end; ++r) {
        if (Trim(table.Cell(1, r)) != "Y") continue;
        auto error = [&](int entry, const std::string& limit = {}) {
            return UI_Texts[m.Prefix] + IntToStr(r) + UI_Texts[entry] + limit;
        };
        if (tcp) {
            if (Check_IP_Address(table.Cell(2, r))) return error(m.IP);
            if (!In_Range(Cell_Number(table, 3, r), 0, 65535)) return error(m.IP + 1);
        }
        if (!In_Range(Cell_Number(table, slave, r), 1, 247)) return error(m.Rule);
        if (table.Cell(type, r).empty()) return error(m.Rule + 1);
        if (!In_Range(Cell_Number(table, address, r), 0, 65535)) return error(m.Rule + 2);
        const std::string kind = UpperCase(Trim(table.Cell(type, r)));
        const bool bits = kind == "COIL STATUS" || (!m.Write && kind == "INPUT STATUS");
        const int limit = bits ? (m.Write ? 1968 : 2000) : (m.Write ? 123 : 125);
        const int n = Cell_Number(table, npoint, r);
        if (!In_Range(n, 1, limit)) return error(m.Rule + 3, IntToStr(limit));
        if (!In_Range(Cell_Number(table, poll, r), m.Write ? 0 : 1, 100000000))
            return error(m.Rule + 4);
        if (!In_Range(Cell_Number(table, max_error, r), 0, 100000000)) return error(m.Rule + 5);
        const int pos = Cell_Number(table, position, r);
        if (!In_Range(pos, 0, Modbus_Image_Bytes - 1))
            return error(m.Rule + 6, IntToStr(Modbus_Image_Bytes - 1));
        // A coil or input request starts at a bit of its first byte; a register row has none,
        // whatever its Start Bit holds.
        const int start_bit = Cell_Number(table, bit, r);
        if (bits && !In_Range(start_bit, 0, 7)) return error(m.Rule + 7);
        const int last = bits ? pos + (n + start_bit - 1) / 8 : pos + 2 * n - 1;
        if (last >= Modbus_Image_Bytes) return error(m.Rule + 8);
    }
    const int lost = Row_Lost_After_End(table, Key, true);
    return lost == 0 ? std::string()
                     : UI_Texts[m.Prefix] + IntToStr(lost) + "!! [" + UI_Texts[m.Title] + "] " +
                           UI_Texts[columns[Key - 1].Header_Entry] + UI_Texts[1745];
}

void saveSection(TXmlNode& root, const TRow_Table& table,
                 const std::vector<TModbus_Column>& columns, const char* name) {
    TXmlNode section = root.AddChild(name);
    const int end = Table_Length(table, Key, true);
    for (int r = 1; r <= end; ++r) {
        TXmlNode row = section.AddChild("row");
        for (std::size_t c = 0; c < columns.size(); ++c)
            row.SetAttribute(columns[c].Attribute, table.Cell(int(c) + 1, r));
    }
}

} // namespace

const std::vector<TModbus_Column>& Modbus_Read_Columns(TModbus_Master master) {
    static const std::vector<TModbus_Column> rtu = readColumns(false), tcp = readColumns(true);
    return master == TModbus_Master::TCP ? tcp : rtu;
}

const std::vector<TModbus_Column>& Modbus_Write_Columns(TModbus_Master master) {
    static const std::vector<TModbus_Column> rtu = writeColumns(false), tcp = writeColumns(true);
    return master == TModbus_Master::TCP ? tcp : rtu;
}

TModbus_Tables New_Modbus_Tables(TModbus_Master master) {
    return {newTable(Modbus_Read_Columns(master)), newTable(Modbus_Write_Columns(master))};
}

TModbus_Load Load_Modbus_Tables(TModbus_Tables& tables, TModbus_Master master,
                                const std::string& path) {
    TModbus_Load result;
    tables.Read.Reset();
    tables.Write.Reset();
    if (!FileExists(path)) return result;
    result.Exists = true;
    try {
        TXMLDocument doc(nullptr);
        doc.SetActive(true);
        doc.LoadFromFile(path);
        const TXmlNode root = doc.DocumentElement();
        TRow_Load load(path);
        loadSection(load, tables.Read, Modbus_Read_Columns(master), root, "Modbus_Read", path);
        loadSection(load, tables.Write, Modbus_Write_Columns(master), root, "Modbus_Write", path);
        load.Finish();
    } catch (const Exception& e) {
        result.Error = e.Message();
    }
    return result;
}

bool Check_IP_Address(const std::string& text) {
    if (text.empty()) return true;
    std::size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = part < 3 ? text.find('.', start) : text.size();
        if (dot == std::string::npos) return true;
        if (!In_Range(ImageIntDef(text.substr(start, dot - start), -1), 0, 255)) return true;
        start = dot + 1;
    }
    return false;
}

std::string Check_Modbus_Tables(const TModbus_Tables& tables, TModbus_Master master) {
    const bool tcp = master == TModbus_Master::TCP;
    const std::string read =
        checkTable(tables.Read, Modbus_Read_Columns(master), tcp,
                   tcp ? Messages{314, 315, 317, false, 287} : Messages{261, 0, 262, false, 236});
    if (!read.empty()) return read;
    return checkTable(tables.Write, Modbus_Write_Columns(master), tcp,
                      tcp ? Messages{314, 326, 328, true, 288} : Messages{261, 0, 271, true, 237});
}

void Save_Modbus_Tables(const TModbus_Tables& tables, TModbus_Master master,
                        const std::string& path) {
    const bool tcp = master == TModbus_Master::TCP;
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    TXmlNode root =
        doc.AddChild(tcp ? "PROFINET_Master_to_Modbus_TCP_Master" : "EtherNetIP_to_Modbus");
    doc.ChildNodes().Add(doc.CreateComment(tcp ? "SW_VERSION = 1.103" : "SW_VERSION = 1.300"));
    saveSection(root, tables.Read, Modbus_Read_Columns(master), "Modbus_Read");
    saveSection(root, tables.Write, Modbus_Write_Columns(master), "Modbus_Write");
    doc.SaveToFile(path);
}
