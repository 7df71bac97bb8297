// The DeviceNet network table and the byte offsets of its slaves without a window: checks, the
// load of both files, the offsets kept with their slave's ID, and the saves read back element by
// element.
#include "editors/frames/tables/DNetTables.h"

#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/UITexts.h"
#include "tests/TempFolder.h"
#include "tests/editors/comm/TableRows.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class DNetTables : public ::testing::Test {
protected:
    void SetUp() override { Load_Default_Texts(); }
    std::string Path(const std::string& name) const { return folder_.Path(name); }

    static TRow_Table netOf(const std::vector<Row>& rows) {
        return filled(New_DNet_Net_Table(), rows);
    }
    // Slaves as the offset dialog builds them from the network file.
    std::vector<TSlave_DN> slavesOf(const std::string& network) {
        WriteBinaryFile(Path("DNETM_Net.xml"), network);
        std::vector<TSlave_DN> slaves;
        std::vector<Row> texts;
        Read_Slaves_DN(slaves, texts, Path("DNETM_Net.xml"));
        return slaves;
    }
    static std::string error(const std::function<void()>& action) {
        try {
            action();
        } catch (const Exception& e) {
            return e.Message();
        }
        return {};
    }

private:
    TempFolder folder_{"dnet_tables"};
};

// A slave whose output bytes sit at positions.
TSlave_DN slave(int id, const Row& outputs, const Row& inputs = {}) {
    TSlave_DN s;
    s.ID = std::uint8_t(id);
    s.ByteIN = std::uint16_t(inputs.size());
    s.ByteOUT = std::uint16_t(outputs.size());
    s.SL_ByteIN = inputs;
    s.SL_ByteIN_M = Row(inputs.size());
    s.SL_ByteOUT = outputs;
    s.SL_ByteOUT_M = Row(outputs.size());
    return s;
}

std::string node(const std::string& attributes, const Row& in, const Row& out) {
    auto bytes = [](const char* name, const Row& offsets) {
        std::string xml = std::string("<") + name + ">";
        for (const std::string& o : offsets)
            xml += "<row Offset=\"" + o + "\" Mnemonic=\"m" + o + "\"/>";
        return xml + "</" + name + ">";
    };
    return "<Nodo_DNET" + attributes + ">" + bytes("ByteIN", in) + bytes("ByteOUT", out) +
           "</Nodo_DNET>";
}

const std::string Network = "<DNET_Net><row ID=\"3\" NB_IN=\"2\" NB_OUT=\"1\" Mnemonic=\"a\"/>"
                            "<row ID=\"9\" NB_IN=\"0\" NB_OUT=\"2\" Mnemonic=\"b\"/></DNET_Net>";

} // namespace

TEST_F(DNetTables, NetworkCheck) {
    struct Case {
        std::vector<Row> rows;
        std::string message;
    };
    const std::string e1 = "Error in row 1";
    const Case cases[] = {
        {{}, ""},
        {{{"0", "0", "0", ""}, {"63", "65535", "65535", "m"}, {"0x3F", "$FFFF", " 7", ""}}, ""},
        {{{"64", "0", "0", ""}}, e1 + "!! ID must be 0 or 63"},
        {{{"-1", "0", "0", ""}}, e1 + "!! ID must be 0 or 63"},
        // A cell of blanks is a row, and no ID.
        {{{"  ", "0", "0", ""}}, e1 + "!! ID must be 0 or 63"},
        {{{"1", "65536", "0", ""}}, e1 + "!! Number Byte IN must be 0 or 65535"},
        {{{"1", "", "0", ""}}, e1 + "!! Number Byte IN must be 0 or 65535"},
        {{{"1", "1", "65536", ""}}, e1 + "!! Number Byte OUT must be 0 or 65535"},
        {{{"1", "1", "1", ""}, {"1", "1", "x", ""}},
         "Error in row 2!! Number Byte OUT must be 0 or 65535"},
        // An empty ID ends the list: filled rows below it are refused, naming the empty row.
        {{{"1", "1", "1", ""}, {"", "1", "1", ""}, {"2", "1", "1", ""}},
         "Error in row 2!! ID is empty but the row or rows below it are filled: fill it or "
         "delete the row"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(Check_DNet_Net(netOf(c.rows)), c.message);
    }
}

TEST_F(DNetTables, NetworkSaveAndLoad) {
    const std::string file = Path("DNETM_Net.xml");
    const std::vector<Row> rows = {{"1", "2", "3", "first"}, {" 4", "0x10", "0", "<\"&\"> ü"}};
    TRow_Table table = netOf(rows);
    table.Cell(1, 4) = "9"; // below the end of the list: not written
    Save_DNet_Net(table, file);

    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    doc.LoadFromFile(file);
    ASSERT_EQ(doc.ChildNodes().Count(), 2);
    EXPECT_EQ(doc.ChildNodes()[0].NodeName(), "DNET_Net");
    EXPECT_EQ(doc.ChildNodes()[1].NodeValue(), "SW_VERSION = 1.000");
    const TXmlNodeList saved = doc.ChildNodes()[0].ChildNodes();
    ASSERT_EQ(saved.Count(), 2);
    for (int r = 0; r < 2; ++r) {
        ASSERT_EQ(saved[r].AttributeCount(), 4);
        Row cells;
        for (int a = 0; a < 4; ++a) {
            EXPECT_EQ(saved[r].AttributeName(a), DNet_Net_Columns[std::size_t(a)].Attribute);
            cells.push_back(saved[r].GetAttribute(saved[r].AttributeName(a)).AsString());
        }
        EXPECT_EQ(cells, rows[std::size_t(r)]);
    }

    TRow_Table loaded = New_DNet_Net_Table();
    EXPECT_TRUE(Load_DNet_Net(loaded, file));
    EXPECT_EQ(rowOf(loaded, 2), rows[1]);
    EXPECT_EQ(rowOf(loaded, 4), Row(4));

    // A row without an attribute stops the load; the rows and cells before it stay.
    WriteBinaryFile(file, "<DNET_Net><row ID=\"1\" NB_IN=\"2\" NB_OUT=\"3\" Mnemonic=\"\"/>"
                          "<row ID=\"2\" NB_IN=\"2\" Mnemonic=\"\"/></DNET_Net>");
    const std::string message = error([&] { Load_DNet_Net(loaded, file); });
    EXPECT_NE(message.find(file), std::string::npos) << message;
    EXPECT_NE(message.find("NB_OUT"), std::string::npos) << message;
    EXPECT_EQ(rowOf(loaded, 1), (Row{"1", "2", "3", ""}));
    EXPECT_EQ(rowOf(loaded, 2), (Row{"2", "2", "", ""}));

    // No more than 64 rows are shown, and a load that leaves rows out says so.
    std::string many = "<DNET_Net>";
    for (int i = 0; i < 65; ++i)
        many += "<row ID=\"" + std::to_string(i) + "\" NB_IN=\"0\" NB_OUT=\"0\" Mnemonic=\"\"/>";
    WriteBinaryFile(file, many + "</DNET_Net>");
    EXPECT_THROW(Load_DNet_Net(loaded, file), Exception);
    EXPECT_EQ(loaded.Cell(1, 64), "63");
}

TEST_F(DNetTables, SlavesComeFromTheNetworkFile) {
    std::vector<TSlave_DN> slaves;
    std::vector<Row> texts;
    WriteBinaryFile(Path("DNETM_Net.xml"),
                    "<DNET_Net><row ID=\"0x3\" NB_IN=\"2\" NB_OUT=\"0\" Mnemonic=\"a\"/><!--c-->"
                    "<row ID=\"63\" NB_IN=\"0\" NB_OUT=\"65535\" Mnemonic=\"\"/></DNET_Net>");
    Read_Slaves_DN(slaves, texts, Path("DNETM_Net.xml"));
    ASSERT_EQ(slaves.size(), 2u);
    EXPECT_EQ(texts, (std::vector<Row>{{"0x3", "2", "0", "a"}, {"63", "0", "65535", ""}}));
    EXPECT_EQ(slaves[0].ID, 3);
    EXPECT_EQ(slaves[0].SL_ByteIN, (Row{"None", "None"}));
    EXPECT_EQ(slaves[0].SL_ByteIN_M, (Row{"", ""}));
    EXPECT_TRUE(slaves[0].SL_ByteOUT.empty());
    EXPECT_EQ(slaves[1].ByteOUT, 65535);
    EXPECT_EQ(slaves[1].SL_ByteOUT_M.size(), 65535u);

    // A value the network dialog would refuse stops the load, naming the file.
    for (const std::string& bad : {std::string("ID=\"x\" NB_IN=\"1\" NB_OUT=\"1\""),
                                   std::string("ID=\"64\" NB_IN=\"1\" NB_OUT=\"1\""),
                                   std::string("ID=\"1\" NB_IN=\"-1\" NB_OUT=\"1\""),
                                   std::string("ID=\"1\" NB_IN=\"1\" NB_OUT=\"65536\""),
                                   std::string("ID=\"1\" NB_IN=\"1\" NB_OUT=\"1\"")}) {
        SCOPED_TRACE(bad);
        WriteBinaryFile(Path("DNETM_Net.xml"),
                        "<DNET_Net><row ID=\"1\" NB_IN=\"1\" NB_OUT=\"1\" Mnemonic=\"\"/><row " +
                            bad + "/></DNET_Net>");
        slaves.clear();
        texts.clear();
        const std::string message =
            error([&] { Read_Slaves_DN(slaves, texts, Path("DNETM_Net.xml")); });
        EXPECT_NE(message.find(Path("DNETM_Net.xml")), std::string::npos) << message;
        EXPECT_NE(message.find("row 2"), std::string::npos) << message;
        EXPECT_EQ(slaves.size(), 1u);
        EXPECT_EQ(texts.size(), 1u);
    }
}

TEST_F(DNetTables, OffsetsGoToTheSlaveOfTheirID) {
    const std::string file = Path("DNETM_DefOff.xml");
    // The node of slave 5, since deleted from the network, comes first.
    WriteBinaryFile(file, "<Define_Offset>" + node(" ID=\"5\"", {"1", "2"}, {"3"}) +
                              node(" ID=\"9\"", {}, {"20", "21", "22"}) +
                              node(" ID=\"3\"", {"10"}, {"11"}) + "</Define_Offset>");
    std::vector<TSlave_DN> slaves = slavesOf(Network);
    Read_Offsets_DN(slaves, file);
    // Slave 3 has two inputs: the file gives the first.
    EXPECT_EQ(slaves[0].SL_ByteIN, (Row{"10", "None"}));
    EXPECT_EQ(slaves[0].SL_ByteIN_M, (Row{"m10", ""}));
    EXPECT_EQ(slaves[0].SL_ByteOUT, (Row{"11"}));
    // Slave 9 has two outputs: the third of the file is dropped.
    EXPECT_EQ(slaves[1].SL_ByteOUT, (Row{"20", "21"}));

    // Two slaves of one ID take that ID's nodes in order.
    WriteBinaryFile(file, "<Define_Offset>" + node(" ID=\"3\"", {"1"}, {"2"}) +
                              node(" ID=\"3\"", {"5"}, {"6"}) + "</Define_Offset>");
    slaves = slavesOf("<DNET_Net><row ID=\"3\" NB_IN=\"1\" NB_OUT=\"1\" Mnemonic=\"\"/>"
                      "<row ID=\"3\" NB_IN=\"1\" NB_OUT=\"1\" Mnemonic=\"\"/></DNET_Net>");
    Read_Offsets_DN(slaves, file);
    EXPECT_EQ(slaves[0].SL_ByteOUT, Row{"2"});
    EXPECT_EQ(slaves[1].SL_ByteOUT, Row{"6"});
}

TEST_F(DNetTables, OffsetsWithoutIDGoToTheSlaveAtTheirPosition) {
    const std::string file = Path("DNETM_DefOff.xml");
    WriteBinaryFile(file, "<Define_Offset>" + node("", {"1", "2", "3"}, {"4"}) + node("", {}, {}) +
                              node("", {"7"}, {"8"}) + "</Define_Offset>");
    std::vector<TSlave_DN> slaves = slavesOf(Network);
    Read_Offsets_DN(slaves, file);
    EXPECT_EQ(slaves[0].SL_ByteIN, (Row{"1", "2"}));
    EXPECT_EQ(slaves[0].SL_ByteOUT, (Row{"4"}));
    EXPECT_EQ(slaves[1].SL_ByteOUT, (Row{"None", "None"}));
}

TEST_F(DNetTables, AnOffsetFileThatCannotBeReadIsRefusedNamingIt) {
    const std::string file = Path("DNETM_DefOff.xml");
    const std::string cases[] = {
        "<Define_Offset>" + node("", {"1"}, {"2"}) + "<Nodo_DNET><ByteIN/></Nodo_DNET>",
        "<Define_Offset>" + node("", {"1"}, {"2"}) +
            "<Nodo_DNET><ByteIN/><ByteOUT><row Offset=\"1\"/></ByteOUT></Nodo_DNET>"
            "</Define_Offset>",
        "<Define_Offset>" + node(" ID=\"x\"", {"1"}, {"2"}) + "</Define_Offset>",
        "<Define_Offset>" + node("", {"1"}, {"2"}) +
            "<Nodo_DNET><ByteOUT/></Nodo_DNET>"
            "</Define_Offset>",
    };
    for (const std::string& xml : cases) {
        SCOPED_TRACE(xml);
        WriteBinaryFile(file, xml);
        std::vector<TSlave_DN> slaves = slavesOf(Network);
        const std::string message = error([&] { Read_Offsets_DN(slaves, file); });
        EXPECT_NE(message.find(file), std::string::npos) << message;
    }
    // The offsets read before a failure stay.
    WriteBinaryFile(file, cases[1]);
    std::vector<TSlave_DN> slaves = slavesOf(Network);
    error([&] { Read_Offsets_DN(slaves, file); });
    EXPECT_EQ(slaves[0].SL_ByteOUT, Row{"2"});
}

TEST_F(DNetTables, AnOutputPositionMayBeUsedOnce) {
    const std::string twice = "Error in ByteOUT! The same byte of BACnet is used in two bytes "
                              "DeviceNet.\n\r( First ID = ";
    struct Case {
        std::vector<TSlave_DN> slaves;
        std::string message;
    };
    const Case cases[] = {
        {{}, ""},
        {{slave(3, {"0", "1438", "None"}), slave(9, {"1", "None"})}, ""},
        // Inputs may share a position, with each other and with an output.
        {{slave(3, {"5"}, {"5", "5"}), slave(9, {}, {"5"})}, ""},
        {{slave(3, {"None", "7"}), slave(9, {"8", "7"})},
         twice + "3 Byte = 1, Second ID = 9 Byte = 1)"},
        {{slave(4, {"0x10", "16"})}, twice + "4 Byte = 0, Second ID = 4 Byte = 1)"},
        // Texts that are no position of the image are passed over.
        {{slave(3, {"x", "-1", "1439", "99999"}), slave(9, {"x", "-1", "1439", "99999"})}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(Check_Offsets_DN(c.slaves), c.message);
    }
}

TEST_F(DNetTables, OffsetsSaveWithTheirSlaveAndLoadBack) {
    const std::string file = Path("DNETM_DefOff.xml");
    Write_Offsets_DN({}, file);
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    doc.LoadFromFile(file);
    ASSERT_EQ(doc.ChildNodes().Count(), 2);
    EXPECT_EQ(doc.ChildNodes()[0].NodeName(), "Define_Offset");
    EXPECT_EQ(doc.ChildNodes()[0].ChildNodes().Count(), 0);
    EXPECT_EQ(doc.ChildNodes()[1].NodeValue(), "SW_VERSION = 1.000");

    std::vector<TSlave_DN> slaves = {slave(9, {"1", "None"}, {}), slave(3, {"7"}, {"None", "2"})};
    slaves[1].SL_ByteIN_M = {"<\"&\">", "ü"};
    Write_Offsets_DN(slaves, file);
    doc.LoadFromFile(file);
    const TXmlNodeList nodes = doc.ChildNodes()[0].ChildNodes();
    ASSERT_EQ(nodes.Count(), 2);
    for (int k = 0; k < 2; ++k) {
        const TSlave_DN& s = slaves[std::size_t(k)];
        EXPECT_EQ(nodes[k].NodeName(), "Nodo_DNET");
        EXPECT_EQ(nodes[k].GetAttribute("ID").AsString(), std::to_string(s.ID));
        ASSERT_EQ(nodes[k].ChildNodes().Count(), 2);
        const std::pair<const char*, std::pair<Row, Row>> directions[] = {
            {"ByteIN", {s.SL_ByteIN, s.SL_ByteIN_M}}, {"ByteOUT", {s.SL_ByteOUT, s.SL_ByteOUT_M}}};
        for (int d = 0; d < 2; ++d) {
            const TXmlNode bytes = nodes[k].ChildNodes()[d];
            EXPECT_EQ(bytes.NodeName(), directions[d].first);
            const Row& offsets = directions[d].second.first;
            ASSERT_EQ(bytes.ChildNodes().Count(), int(offsets.size()));
            for (int i = 0; i < bytes.ChildNodes().Count(); ++i) {
                const TXmlNode row = bytes.ChildNodes()[i];
                EXPECT_EQ(row.NodeName(), "row");
                ASSERT_EQ(row.AttributeCount(), 2);
                EXPECT_EQ(row.AttributeName(0), "Offset");
                EXPECT_EQ(row.GetAttribute("Offset").AsString(), offsets[std::size_t(i)]);
                EXPECT_EQ(row.GetAttribute("Mnemonic").AsString(),
                          directions[d].second.second[std::size_t(i)]);
            }
        }
    }

    // Read back into the network's slaves, in the network's order.
    std::vector<TSlave_DN> loaded = slavesOf(Network);
    Read_Offsets_DN(loaded, file);
    EXPECT_EQ(loaded[0].SL_ByteIN, (Row{"None", "2"}));
    EXPECT_EQ(loaded[0].SL_ByteIN_M, (Row{"<\"&\">", "ü"}));
    EXPECT_EQ(loaded[0].SL_ByteOUT, Row{"7"});
    EXPECT_EQ(loaded[1].SL_ByteOUT, (Row{"1", "None"}));
}
