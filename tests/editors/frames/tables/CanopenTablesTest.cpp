// The CANopen SDO server, SDO client and PDO tables without a window: checks over the bounds
// of every column, the load of their files and the save read back element by element.
#include "editors/frames/tables/CanopenTables.h"

#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/UITexts.h"
#include "tests/TempFolder.h"
#include "tests/editors/comm/TableRows.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class CanopenTables : public ::testing::Test {
protected:
    void SetUp() override { Load_Default_Texts(); }
    std::string Path(const std::string& name) const { return folder_.Path(name); }

    static TCANopen_Tables tablesOf(const TCANopen_Layout& layout, const std::vector<Row>& first,
                                    const std::vector<Row>& second = {}) {
        TCANopen_Tables tables = New_CANopen_Tables(layout);
        return {filled(std::move(tables.First), first), filled(std::move(tables.Second), second)};
    }

private:
    TempFolder folder_{"canopen_tables"};
};

struct Check_Case {
    const TCANopen_Layout* layout;
    std::vector<Row> first, second;
    std::string message; // empty: valid
};

// Index, SubIndex, NByte, Add Byte1..4, Mnemonic.
Row server(const std::string& index, const std::string& sub, const std::string& n,
           const Row& addresses = {"0", "0", "0", "0"}) {
    Row row{index, sub, n};
    for (std::size_t k = 0; k < 4; ++k) row.push_back(k < addresses.size() ? addresses[k] : "");
    row.push_back("m");
    return row;
}

// ID Device, Index, SubIndex, N Byte, Poll Time, [On Change,] Add Byte1..4, Mnemonic.
Row client(const std::string& id, const std::string& index, const std::string& n,
           const std::string& poll, const Row& addresses = {"0", "0", "0", "0"},
           bool write = false) {
    Row row{id, index, "0", n, poll};
    if (write) row.push_back("Y");
    for (std::size_t k = 0; k < 4; ++k) row.push_back(k < addresses.size() ? addresses[k] : "");
    row.push_back("m");
    return row;
}

// COB-ID, Dimension, Add B1..8, TimeOut or Send Time, [On Change,] Mnemonic.
Row pdo(const std::string& cob, const std::string& dim, const std::string& time,
        const Row& addresses = {}, bool transmit = false) {
    Row row{cob, dim};
    for (std::size_t k = 0; k < 8; ++k) row.push_back(k < addresses.size() ? addresses[k] : "0");
    row.push_back(time);
    if (transmit) row.push_back("N");
    row.push_back("m");
    return row;
}

const std::string Lost = " is empty but the row or rows below it are filled: fill it or delete "
                         "the row";

} // namespace

TEST_F(CanopenTables, ColumnsOfTheSixTables) {
    struct Case {
        const TCANopen_Section* section;
        std::size_t columns;
        std::vector<std::string> headers; // first, last
        std::string key_attribute;
    };
    const Case cases[] = {
        {&SDO_Server_Layout.Sections[0], 8, {"Index", "Mnemonic"}, "Index"},
        {&SDO_Server_Layout.Sections[1], 8, {"Index", "Mnemonic"}, "Index"},
        {&SDO_Client_Layout.Sections[0], 10, {"ID Device", "Mnemonic"}, "Device_ID"},
        {&SDO_Client_Layout.Sections[1], 11, {"ID Device", "Mnemonic"}, "Device_ID"},
        {&PDO_Layout.Sections[0], 12, {"COB-ID", "Mnemonic"}, "COB-ID"},
        {&PDO_Layout.Sections[1], 13, {"COB-ID", "Mnemonic"}, "COB-ID"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section->Name);
        ASSERT_EQ(c.section->Columns.size(), c.columns);
        EXPECT_EQ(UI_Texts[c.section->Columns.front().Header_Entry], c.headers[0]);
        EXPECT_EQ(UI_Texts[c.section->Columns.back().Header_Entry], c.headers[1]);
        // The row-number column's header precedes the data columns' headers.
        EXPECT_EQ(UI_Texts[c.section->Columns.front().Header_Entry - 1], "N");
        EXPECT_EQ(c.section->Columns.front().Attribute, c.key_attribute);
    }
    EXPECT_EQ(SDO_Client_Layout.Sections[1].Columns[5].Editor, edDataCheckBox);
    EXPECT_EQ(PDO_Layout.Sections[1].Columns[11].Editor, edDataCheckBox);
    EXPECT_EQ(std::string(PDO_Layout.Sections[0].Columns[9].Attribute), "Address_B8");
    EXPECT_EQ(UI_Texts[PDO_Layout.Sections[1].Columns[10].Header_Entry], "Send Time");
    EXPECT_EQ(New_CANopen_Tables(SDO_Server_Layout).First.Row_Count(), 500);
    EXPECT_EQ(New_CANopen_Tables(SDO_Client_Layout).Second.Row_Count(), 256);
    EXPECT_EQ(New_CANopen_Tables(PDO_Layout).Second.Row_Count(), 30);
}

TEST_F(CanopenTables, ChecksStopAtTheFirstFaultyRowWithItsMessage) {
    const TCANopen_Layout* S = &SDO_Server_Layout;
    const TCANopen_Layout* C = &SDO_Client_Layout;
    const TCANopen_Layout* P = &PDO_Layout;
    const std::string e1 = "Error row 1";
    const std::string sr = e1 + "!! [SDO in Read] ", sw = e1 + "!! [SDO in Write] ";
    const std::string cr = e1 + "!! [SDO Read] ", cw = e1 + "!! [SDO Write] ";
    const std::string pr = e1 + "!! [Receive PDO] ", pt = e1 + "!! [Transmit PDO] ";
    const Check_Case cases[] = {
        {S, {}, {}, ""},
        // SDO server: Index in hexadecimal or decimal, the addresses up to N Byte.
        {S,
         {server("0x2000", "0", "1"), server("24575", "255", "2", {"1438", "1438", "x", "x"})},
         {server("$5FFF", " 7", "4", {"0", "1", "2", "1438"})},
         ""},
        {S, {server("0x1FFF", "0", "1")}, {}, sr + "Index must be between 0x2000 and 0x5FFF"},
        {S, {server("0x6000", "0", "1")}, {}, sr + "Index must be between 0x2000 and 0x5FFF"},
        {S, {server("8192 ", "0", "1")}, {}, sr + "Index must be between 0x2000 and 0x5FFF"},
        {S, {server("8192", "", "1")}, {}, sr + "SubIndex must be between 0x00 and 0xFF"},
        {S, {server("8192", "256", "1")}, {}, sr + "SubIndex must be between 0x00 and 0xFF"},
        {S, {server("8192", "0", "3")}, {}, sr + "N Byte must be 1 or 2 or 4"},
        {S,
         {server("8192", "0", "1", {"1439"})},
         {},
         sr + "Address Byte1 must be between 0 and 1438"},
        {S,
         {server("8192", "0", "2", {"0", "-1"})},
         {},
         sr + "Address Byte2 must be between 0 and 1438"},
        {S,
         {server("8192", "0", "4", {"0", "0", "0", ""})},
         {},
         sr + "Address Byte4 must be between 0 and 1438"},
        // The write table is checked once the read table is valid, with its own texts.
        {S,
         {server("8192", "0", "1")},
         {server("8192", "0", "4", {"0", "0", "1439", "0"})},
         sw + "Address Byte3 must be between 0 and 1438"},
        {S, {server("8192", "0", "0")}, {server("0", "0", "1")}, sr + "N Byte must be 1 or 2 or 4"},
        // SDO client.
        {C,
         {client("1", "0x1000", "1", "1"), client("127", "0xFFFF", "4", "100000000")},
         {client("5", "4096", "2", "0", {"1438", "0", "", ""}, true)},
         ""},
        {C, {client("0", "0x1000", "1", "1")}, {}, cr + "Device ID must be between 1 and 127"},
        {C, {client("128", "0x1000", "1", "1")}, {}, cr + "Device ID must be between 1 and 127"},
        {C, {client("1", "0x0FFF", "1", "1")}, {}, cr + "Index must be between 0x1000 and 0xFFFF"},
        {C, {client("1", "0x10000", "1", "1")}, {}, cr + "Index must be between 0x1000 and 0xFFFF"},
        {C, {client("1", "0x1000", "8", "1")}, {}, cr + "N Byte must be 1 or 2 or 4"},
        // Poll Time 0 only in the write table; it is tested before the addresses.
        {C,
         {client("1", "0x1000", "1", "0", {"9999"})},
         {},
         cr + "Poll Time must be between 1 and 100000000"},
        {C,
         {client("1", "0x1000", "1", "100000001")},
         {},
         cr + "Poll Time must be between 1 and 100000000"},
        {C,
         {client("1", "0x1000", "2", "1", {"0", "1439"})},
         {},
         cr + "Address Byte2 must be between 0 and 1438"},
        {C,
         {},
         {client("1", "0x1000", "1", "-1", {}, true)},
         cw + "Poll Time must be between 0 and 100000000"},
        {C,
         {},
         {client("1", "0x1000", "4", "0", {"0", "0", "0", "1439"}, true)},
         cw + "Address Byte4 must be between 0 and 1438"},
        {C,
         {},
         {client("", "0x1000", "1", "0", {}, true), client("1", "0x1000", "1", "0")},
         "Error row 1!! [SDO Write] ID Device" + Lost},
        // PDO: addresses up to Dimension, 0..5999; the time after the addresses.
        {P,
         {pdo("0x7FF", "8", "65535", {"5999"}), pdo("2047", "1", "0")},
         {pdo("0", "3", "100000000", {"0", "1", "2", "junk", "", "6000"}, true)},
         ""},
        {P, {pdo("0x800", "1", "0")}, {}, pr + "COB-ID must be between 0x000 and 0x7FF"},
        {P, {pdo("-1", "1", "0")}, {}, pr + "COB-ID must be between 0x000 and 0x7FF"},
        {P, {pdo("1", "0", "0")}, {}, pr + "Dimension must be between 1 and 8"},
        {P, {pdo("1", "9", "0")}, {}, pr + "Dimension must be between 1 and 8"},
        {P,
         {pdo("1", "8", "0", {"0", "0", "0", "0", "0", "0", "0", "6000"})},
         {},
         pr + "Address Byte8 must be between 0 and 5999"},
        {P, {pdo("1", "1", "65536")}, {}, pr + "TimeOut must be between 0 and 65535"},
        {P,
         {pdo("1", "1", "65536", {"6000"})},
         {},
         pr + "Address Byte1 must be between 0 and 5999"},
        {P,
         {},
         {pdo("1", "1", "100000001", {}, true)},
         pt + "Send Time must be between 0 and 100000000"},
        {P,
         {},
         {pdo("1", "2", "0", {"0", "x"}, true)},
         pt + "Address Byte2 must be between 0 and 5999"},
        // A blank key ends a table: filled rows below it are refused, naming the blank row.
        {S,
         {server("8192", "0", "1"), server(" ", "0", "1"), server("8192", "0", "1")},
         {},
         "Error row 2!! [SDO in Read] Index" + Lost},
        {S,
         {server("8192", "0", "1"), {"", "", "", "", "", "", "", "note"}},
         {},
         "Error row 2!! [SDO in Read] Index" + Lost},
        {P,
         {},
         {pdo("1", "1", "0", {}, true), pdo("", "", "", {"", "", "", "", "", "", "", ""}, true)},
         "Error row 2!! [Transmit PDO] COB-ID" + Lost},
        // A ticked check box alone does not fill a row.
        {C, {}, {client("1", "0x1000", "1", "0", {"0"}, true), {"", "", "", "", "", "Y"}}, ""},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        const Check_Case& c = cases[i];
        EXPECT_EQ(Check_CANopen_Tables(tablesOf(*c.layout, c.first, c.second), *c.layout,
                                       c.layout->Limit, c.layout->Limit),
                  c.message);
    }
}

TEST_F(CanopenTables, AddressesAreBoundedByTheLimitOfTheirTable) {
    const TCANopen_Tables tables = tablesOf(SDO_Server_Layout, {server("8192", "0", "1", {"99"})},
                                            {server("8192", "0", "1", {"100"})});
    EXPECT_EQ(Check_CANopen_Tables(tables, SDO_Server_Layout, 100, 101), "");
    EXPECT_EQ(Check_CANopen_Tables(tables, SDO_Server_Layout, 99, 101),
              "Error row 1!! [SDO in Read] Address Byte1 must be between 0 and 98");
    EXPECT_EQ(Check_CANopen_Tables(tables, SDO_Server_Layout, 100, 100),
              "Error row 1!! [SDO in Write] Address Byte1 must be between 0 and 99");
}

TEST_F(CanopenTables, SaveWritesEveryCellUnchangedUpToTheEndOfEachTable) {
    const std::string file = Path("PDO_CANopen.xml");
    const std::vector<Row> receive = {pdo(" 0x10", "1", "5", {"7", "junk"}),
                                      pdo("2", "2", "0", {"1", "2"})};
    const std::vector<Row> transmit = {
        {"3", "1", "4", "", "", "", "", "", "", "", "9", "", "<&\"> ü"}};
    TCANopen_Tables tables = tablesOf(PDO_Layout, receive, transmit);
    // Below the end of the receive table: not written.
    tables.First.Cell(1, 4) = "7";
    Save_CANopen_Tables(tables, PDO_Layout, file);

    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    doc.LoadFromFile(file);
    ASSERT_EQ(doc.ChildNodes().Count(), 2);
    EXPECT_EQ(doc.ChildNodes()[0].NodeName(), "PDO_CANopen");
    EXPECT_EQ(doc.ChildNodes()[1].NodeType(), ntComment);
    EXPECT_EQ(doc.ChildNodes()[1].NodeValue(), "SW_VERSION = 1.000");
    const TXmlNode root = doc.ChildNodes()[0];
    ASSERT_EQ(root.ChildNodes().Count(), 2);
    for (int s = 0; s < 2; ++s) {
        const TCANopen_Section& section = PDO_Layout.Sections[s];
        const std::vector<Row>& rows = s == 0 ? receive : transmit;
        const TXmlNode node = root.ChildNodes()[s];
        EXPECT_EQ(node.NodeName(), section.Name);
        ASSERT_EQ(node.ChildNodes().Count(), int(rows.size()));
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const TXmlNode row = node.ChildNodes()[int(r)];
            EXPECT_EQ(row.NodeName(), "row");
            Row cells;
            ASSERT_EQ(row.AttributeCount(), int(section.Columns.size()));
            for (int a = 0; a < row.AttributeCount(); ++a) {
                EXPECT_EQ(row.AttributeName(a), attributes(section.Columns)[std::size_t(a)]);
                cells.push_back(row.GetAttribute(row.AttributeName(a)).AsString());
            }
            EXPECT_EQ(cells, rows[r]) << section.Name << " row " << r + 1;
        }
    }

    // Read back, the tables are those saved.
    TCANopen_Tables loaded = New_CANopen_Tables(PDO_Layout);
    loaded.Second.Cell(1, 9) = "left from an earlier showing";
    EXPECT_TRUE(Load_CANopen_Tables(loaded, PDO_Layout, file));
    EXPECT_EQ(rowOf(loaded.First, 2), receive[1]);
    EXPECT_EQ(rowOf(loaded.Second, 1), transmit[0]);
    EXPECT_EQ(rowOf(loaded.First, 4), Row(12));
    EXPECT_EQ(rowOf(loaded.Second, 9), Row(13));
}

TEST_F(CanopenTables, LoadStopsAtTheFirstRowWithoutAnAttribute) {
    const std::string file = Path("SDO_Server_CANopen.xml");
    const std::string full = "Index=\"0x2000\" SubIndex=\"1\" NByte=\"1\" Address_B1=\"5\" "
                             "Address_B2=\"\" Address_B3=\"\" Address_B4=\"\" Mnemonic=\"m\"";
    struct Case {
        std::string xml;
        int read_rows, write_rows; // rows filled before the failure
        std::string error_part;    // empty: no failure
    };
    const Case cases[] = {
        {"<SDO_Server_CANopen><SDO_Read><row " + full + "/><!--c--></SDO_Read><SDO_Write><row " +
             full + "/><row " + full + "/></SDO_Write></SDO_Server_CANopen>",
         1, 2, ""},
        // A missing attribute: the rows and cells before it stay, the write table is not read.
        {"<r><SDO_Read><row " + full + "/><row Index=\"0x2000\" SubIndex=\"7\"/><row " + full +
             "/></SDO_Read><SDO_Write><row " + full + "/></SDO_Write></r>",
         2, 0, "row 2 has no attribute NByte"},
        {"<r><SDO_Read><row " + full +
             "/></SDO_Read><SDO_Write><row Mnemonic=\"x\"/></SDO_Write></r>",
         1, 0, "SDO_Write row 1 has no attribute Index"},
        {"<r><SDO_Read><row " + full + "/></SDO_Read></r>", 1, 0, "SDO_Write is missing"},
        {"<r><SDO_Write/></r>", 0, 0, "SDO_Read is missing"},
        {"<r><SDO_Read><row " + full + "></SDO_Read></r>", 0, 0, "SDO_Server_CANopen.xml"},
        // Sections are found by name, in any order.
        {"<r><SDO_Write><row " + full + "/></SDO_Write><x/><SDO_Read/></r>", 0, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        WriteBinaryFile(file, c.xml);
        TCANopen_Tables tables = New_CANopen_Tables(SDO_Server_Layout);
        std::string error;
        try {
            EXPECT_TRUE(Load_CANopen_Tables(tables, SDO_Server_Layout, file));
        } catch (const Exception& e) {
            error = e.Message();
        }
        if (c.error_part.empty()) {
            EXPECT_EQ(error, "");
        } else {
            EXPECT_NE(error.find(c.error_part), std::string::npos) << error;
            EXPECT_NE(error.find(file), std::string::npos) << error;
        }
        for (int s = 0; s < 2; ++s) {
            const int filled = s == 0 ? c.read_rows : c.write_rows;
            for (int r = 1; r <= 3; ++r)
                EXPECT_EQ(tables[s].Cell(1, r), r <= filled ? "0x2000" : "") << s << " " << r;
        }
    }
    // The row stopped at keeps the cells read before its missing attribute.
    WriteBinaryFile(file, cases[1].xml);
    TCANopen_Tables half = New_CANopen_Tables(SDO_Server_Layout);
    EXPECT_THROW(Load_CANopen_Tables(half, SDO_Server_Layout, file), Exception);
    EXPECT_EQ(rowOf(half.First, 2), (Row{"0x2000", "7", "", "", "", "", "", ""}));

    std::filesystem::remove(file);
    TCANopen_Tables tables = tablesOf(SDO_Server_Layout, {server("1", "1", "1")});
    EXPECT_FALSE(Load_CANopen_Tables(tables, SDO_Server_Layout, file));
    EXPECT_EQ(tables.First.Cell(1, 1), "");
}

// Rows past the table are not read, and the load says so after reading the other section too.
TEST_F(CanopenTables, RowsBeyondTheTableAreNotRead) {
    const std::string file = Path("PDO_CANopen.xml");
    std::string rows;
    for (int i = 1; i <= 31; ++i)
        rows += "<row COB-ID=\"" + std::to_string(i) +
                "\" Dimension=\"1\" Address_B1=\"0\" Address_B2=\"0\" Address_B3=\"0\" "
                "Address_B4=\"0\" Address_B5=\"0\" Address_B6=\"0\" Address_B7=\"0\" "
                "Address_B8=\"0\" TimeOut=\"0\" Mnemonic=\"\"/>";
    WriteBinaryFile(file, "<PDO_CANopen><Receive_PDO>" + rows + "</Receive_PDO><Transmit_PDO>" +
                              "<row COB-ID=\"0x201\" Dimension=\"1\" Address_B1=\"7\" "
                              "Address_B2=\"\" Address_B3=\"\" Address_B4=\"\" Address_B5=\"\" "
                              "Address_B6=\"\" Address_B7=\"\" Address_B8=\"\" Send_Time=\"0\" "
                              "On_Change=\"N\" Mnemonic=\"tx\"/></Transmit_PDO></PDO_CANopen>");
    TCANopen_Tables tables = New_CANopen_Tables(PDO_Layout);
    try {
        Load_CANopen_Tables(tables, PDO_Layout, file);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), file + ": the table shows 30 of the 31 rows of Receive_PDO");
    }
    EXPECT_EQ(tables.First.Cell(1, 30), "30");
    EXPECT_EQ(tables.Second.Cell(1, 1), "0x201");
    Save_CANopen_Tables(tables, PDO_Layout, file);
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    doc.LoadFromFile(file);
    EXPECT_EQ(doc.DocumentElement().ChildNodes().FindNode("Receive_PDO").ChildNodes().Count(), 30);
}
