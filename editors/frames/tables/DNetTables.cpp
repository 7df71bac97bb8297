#include "editors/frames/tables/DNetTables.h"

#include "platform/base/SysUtils.h"
#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/ProjectInt.h"
#include "shell/state/ProjectXml.h"
#include "shell/state/UITexts.h"

#include <array>
#include <utility>

const std::vector<TTable_Column> DNet_Net_Columns = {
    {632, 85, edNormal, "ID", 0, nullptr, clWindow},
    {633, 85, edNormal, "NB_IN", 0, nullptr, clWindow},
    {634, 85, edNormal, "NB_OUT", 0, nullptr, clWindow},
    {635, 255, edNormal, "Mnemonic", 0, nullptr, clWindow},
};

namespace {

enum { ID = 1, NB_IN, NB_OUT };
constexpr int Max_ID = 63;
constexpr int Max_Bytes = 65535;

// The root element of the file at path; false when the file does not exist.
bool loadRoot(TXMLDocument& doc, const std::string& path, TXmlNode& root) {
    if (!FileExists(path)) return false;
    doc.SetActive(true);
    doc.LoadFromFile(path);
    root = doc.DocumentElement();
    return true;
}

std::string attribute(const TXmlNode& node, const char* name, const std::string& path,
                      const std::string& what) {
    const TXmlValue value = node.GetAttribute(name);
    if (value.IsNull()) throw Exception(path + ": " + what + " has no attribute " + name);
    return value.AsString();
}

int numberIn(const std::string& text, int high, const char* name, const std::string& path,
             const std::string& what) {
    int value;
    if (!TryImageInt(text, value) || !In_Range(value, 0, high))
        throw Exception(path + ": " + what + " has the " + name + " \"" + text +
                        "\", which is not a number from 0 to " + IntToStr(high));
    return value;
}

// Reads the byte rows of one direction of a node into the slave's lists, up to count bytes.
void readBytes(const TXmlNode& node, const char* name, std::size_t count,
               std::vector<std::string>& offsets, std::vector<std::string>& mnemonics,
               const std::string& path, const std::string& what) {
    const TXmlNode bytes = node.ChildNodes().FindNode(name);
    if (!bytes) throw Exception(path + ": " + what + " has no element " + name);
    const std::vector<TXmlNode> rows = Element_Children(bytes);
    for (std::size_t i = 0; i < rows.size() && i < count; ++i) {
        const std::string row = what + " " + name + " row " + IntToStr(int(i) + 1);
        offsets[i] = attribute(rows[i], "Offset", path, row);
        mnemonics[i] = attribute(rows[i], "Mnemonic", path, row);
    }
}

void writeBytes(TXmlNode& node, const char* name, const std::vector<std::string>& offsets,
                const std::vector<std::string>& mnemonics) {
    TXmlNode bytes = node.AddChild(name);
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        TXmlNode row = bytes.AddChild("row");
        row.SetAttribute("Offset", offsets[i]);
        row.SetAttribute("Mnemonic", mnemonics[i]);
    }
}

} // namespace

TRow_Table New_DNet_Net_Table() {
    return TRow_Table(DNet_Net_Rows, std::vector<bool>(DNet_Net_Columns.size(), false));
}

bool Load_DNet_Net(TRow_Table& table, const std::string& path) {
    return Load_Frame_Table(table, path, [&](const TXmlNode& node, int row) {
        Fill_Required_Row(table, DNet_Net_Columns, node, row, path, "DNET_Net");
    });
}

std::string Check_DNet_Net(const TRow_Table& table) {
    const int end = Table_Length(table, ID, false);
    for (int r = 1; r <= end; ++r) {
        if (!In_Range(Cell_Number(table, ID, r), 0, Max_ID))
            return Frame_Row_Error(636, r, UI_Texts[637]);
        if (!In_Range(Cell_Number(table, NB_IN, r), 0, Max_Bytes))
            return Frame_Row_Error(636, r, UI_Texts[638]);
        if (!In_Range(Cell_Number(table, NB_OUT, r), 0, Max_Bytes))
            return Frame_Row_Error(636, r, UI_Texts[639]);
    }
    return Frame_Rows_Lost(table, ID, 636, 632);
}

void Save_DNet_Net(const TRow_Table& table, const std::string& path) {
    Save_Frame_Table(table, DNet_Net_Columns, ID, "DNET_Net", Version_Comment(7), path);
}

void Read_Slaves_DN(std::vector<TSlave_DN>& slaves, std::vector<std::vector<std::string>>& texts,
                    const std::string& path) {
    TXMLDocument doc(nullptr);
    TXmlNode root;
    if (!loadRoot(doc, path, root) || !root) return;
    const std::vector<TXmlNode> rows = Element_Children(root);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const std::string what = "row " + IntToStr(int(k) + 1);
        std::vector<std::string> cells;
        for (const TTable_Column& c : DNet_Net_Columns)
            cells.push_back(attribute(rows[k], c.Attribute, path, what));
        TSlave_DN slave;
        slave.ID = std::uint8_t(numberIn(cells[0], Max_ID, "ID", path, what));
        slave.ByteIN = std::uint16_t(numberIn(cells[1], Max_Bytes, "NB_IN", path, what));
        slave.ByteOUT = std::uint16_t(numberIn(cells[2], Max_Bytes, "NB_OUT", path, what));
        slave.SL_ByteIN.assign(slave.ByteIN, "None");
        slave.SL_ByteIN_M.assign(slave.ByteIN, "");
        slave.SL_ByteOUT.assign(slave.ByteOUT, "None");
        slave.SL_ByteOUT_M.assign(slave.ByteOUT, "");
        slaves.push_back(std::move(slave));
        texts.push_back(std::move(cells));
    }
}

void Read_Offsets_DN(std::vector<TSlave_DN>& slaves, const std::string& path) {
    TXMLDocument doc(nullptr);
    TXmlNode root;
    if (!loadRoot(doc, path, root) || !root) return;
    const std::vector<TXmlNode> nodes = Element_Children(root);
    std::vector<bool> matched(slaves.size(), false);
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        const std::string what = "Nodo_DNET " + IntToStr(int(k) + 1);
        const TXmlValue id = nodes[k].GetAttribute("ID");
        std::size_t s = slaves.size();
        if (id.IsNull()) {
            if (k < slaves.size() && !matched[k]) s = k;
        } else {
            const int value = numberIn(id.AsString(), 255, "ID", path, what);
            for (std::size_t i = 0; i < slaves.size() && s == slaves.size(); ++i)
                if (!matched[i] && slaves[i].ID == value) s = i;
        }
        // A node of a slave that is no longer in the network.
        if (s == slaves.size()) continue;
        matched[s] = true;
        TSlave_DN& slave = slaves[s];
        readBytes(nodes[k], "ByteIN", slave.ByteIN, slave.SL_ByteIN, slave.SL_ByteIN_M, path, what);
        readBytes(nodes[k], "ByteOUT", slave.ByteOUT, slave.SL_ByteOUT, slave.SL_ByteOUT_M, path,
                  what);
    }
}

std::string Check_Offsets_DN(const std::vector<TSlave_DN>& slaves) {
    // Per position, the slave ID and the output byte that hold it; -1 while free.
    std::array<std::pair<int, int>, DNet_Max_Byte> Check_Byte_Offset;
    Check_Byte_Offset.fill({-1, -1});
    for (const TSlave_DN& slave : slaves) {
        for (std::size_t i = 0; i < slave.SL_ByteOUT.size(); ++i) {
            int position;
            if (!TryImageInt(slave.SL_ByteOUT[i], position) ||
                !In_Range(position, 0, DNet_Max_Byte - 1))
                continue;
            std::pair<int, int>& entry = Check_Byte_Offset[std::size_t(position)];
            if (entry.first == -1) {
                entry = {slave.ID, int(i)};
                continue;
            }
            return UI_Texts[660] + "\n\r( " + UI_Texts[661] + IntToStr(entry.first) +
                   UI_Texts[662] + IntToStr(entry.second) + UI_Texts[663] + IntToStr(slave.ID) +
                   UI_Texts[664] + IntToStr(int(i)) + ")";
        }
    }
    return {};
}

void Write_Offsets_DN(const std::vector<TSlave_DN>& slaves, const std::string& path) {
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    TXmlNode root = doc.AddChild("Define_Offset");
    doc.ChildNodes().Add(doc.CreateComment(Version_Comment(7)));
    for (const TSlave_DN& slave : slaves) {
        TXmlNode node = root.AddChild("Nodo_DNET");
        // The ID keeps the offsets with their slave when slaves are deleted from the network.
        node.SetAttribute("ID", IntToStr(slave.ID));
        writeBytes(node, "ByteIN", slave.SL_ByteIN, slave.SL_ByteIN_M);
        writeBytes(node, "ByteOUT", slave.SL_ByteOUT, slave.SL_ByteOUT_M);
    }
    doc.SaveToFile(path);
}
