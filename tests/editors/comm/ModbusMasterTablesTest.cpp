#include "editors/comm/ModbusMasterTables.h"

#include "image/ImageCompiler.h"
#include "image/ModbusImage.h"
#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/UITexts.h"
#include "tests/TempFolder.h"
#include "tests/editors/comm/TableRows.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
using TM = TModbus_Master;

// A project folder with its bin folder.
struct Folder : TempFolder {
    Folder() : TempFolder("modbus_tables", "bin") {}
};

TModbus_Tables tablesOf(TM master, const std::vector<Row>& read, const std::vector<Row>& write) {
    TModbus_Tables t = New_Modbus_Tables(master);
    return {filled(std::move(t.Read), read), filled(std::move(t.Write), write)};
}

// RTU rows: Enable, Slave ID, Type, Address, NPoint, Poll Time, Max Error, Position, Start Bit
Row rd(const std::string& type, const std::string& n, const std::string& pos,
       const std::string& bit = "0", const std::string& poll = "100") {
    return {"Y", "1", type, "0", n, poll, "0", pos, bit, "N", ""};
}
// Enable, Slave ID, Type, Address, NPoint, FC 15/16, Poll Time, On Change, On CMD, Max Error,
// Position, Start Bit
Row wr(const std::string& type, const std::string& n, const std::string& pos,
       const std::string& bit = "0", const std::string& poll = "100") {
    return {"Y", "1", type, "0", n, "N", poll, "N", "N", "0", pos, bit, "N", ""};
}

struct Check_Case {
    std::vector<Row> read, write;
    std::string message;
};

class ModbusMasterTables : public ::testing::Test {
protected:
    void SetUp() override { Load_Default_Texts(); }
    Folder folder;
};

} // namespace

TEST_F(ModbusMasterTables, Columns) {
    const auto& rtu = Modbus_Write_Columns(TM::RTU);
    const auto& tcp = Modbus_Write_Columns(TM::TCP);
    ASSERT_EQ(Modbus_Read_Columns(TM::RTU).size(), 11u);
    ASSERT_EQ(Modbus_Read_Columns(TM::TCP).size(), 13u);
    ASSERT_EQ(rtu.size(), 14u);
    ASSERT_EQ(tcp.size(), 15u);
    EXPECT_EQ(UI_Texts[rtu[5].Header_Entry], "Use FC 15/16");
    EXPECT_EQ(UI_Texts[tcp[1].Header_Entry], "Slave IP Address");
    EXPECT_EQ(UI_Texts[tcp[14].Header_Entry], "Mnemonic");
    EXPECT_EQ(Modbus_Read_Columns(TM::RTU)[2].Items.size(), 4u);
    EXPECT_EQ(Modbus_Read_Columns(TM::RTU)[7].Items.back(), "1438");
    EXPECT_EQ(rtu[2].Items, (std::vector<std::string>{"Coil Status", "Holding Register"}));
}

TEST_F(ModbusMasterTables, RtuCheck) {
    const std::string r1 = "Error row 1!! [Modbus Read] ";
    const std::string w1 = "Error row 1!! [Modbus Write] ";
    const std::vector<Check_Case> cases = {
        {{}, {}, ""},
        {{rd("Holding Register", "1", "1437"), rd("Coil Status", "8", "1438", "0")}, {}, ""},
        {{rd("Holding Register", "2", "1437")},
         {},
         r1 + "Too many bytes to save starting from the Position indicate"},
        {{rd("Coil Status", "9", "1438", "0")},
         {},
         r1 + "Too many bytes to save starting from the Position indicate"},
        {{rd("Coil Status", "2", "1438", "7")},
         {},
         r1 + "Too many bytes to save starting from the Position indicate"},
        {{rd("Input Register", "125", "0"), rd(" input status ", "2000", "0")}, {}, ""},
        {{rd("Input Register", "126", "0")}, {}, r1 + "NPoint must be between 1 and 125"},
        {{rd("Input Status", "2001", "0")}, {}, r1 + "NPoint must be between 1 and 2000"},
        {{rd("Input Status", "0", "0")}, {}, r1 + "NPoint must be between 1 and 2000"},
        // A Type text from a file other than the four counts as a register type.
        {{rd("Other", "126", "0")}, {}, r1 + "NPoint must be between 1 and 125"},
        {{rd("", "1", "0")},
         {},
         r1 + "Type must be Coil Status or Input Status or Holding Register or Input Register"},
        {{{"Y", "0", "Coil Status"}}, {}, r1 + "Slave ID must be between 1 and 247"},
        {{{"Y", "248", "Coil Status"}}, {}, r1 + "Slave ID must be between 1 and 247"},
        {{{"Y", "1", "Coil Status", "65536"}}, {}, r1 + "Address must be between 0 and 65535"},
        {{rd("Coil Status", "1", "0", "0", "0")},
         {},
         r1 + "Poll Time must be between 1 and 100000000"},
        {{{"Y", "1", "Coil Status", "0", "1", "1", "-1"}},
         {},
         r1 + "Max Error must be between 0 and 100000000"},
        {{rd("Coil Status", "1", "1439")}, {}, r1 + "Position must be between 0 and 1438"},
        {{rd("Coil Status", "1", "0", "")}, {}, r1 + "Bit must be between 0 and 7"},
        {{rd("Holding Register", "1", "0", "")}, {}, ""},
        {{rd("Input Status", "1", "0", " ")}, {}, r1 + "Bit must be between 0 and 7"},
        {{rd("Input Status", "1", "0", "8")}, {}, r1 + "Bit must be between 0 and 7"},
        // Write table: its own limits; Poll Time 0 passes.
        {{}, {wr("Holding Register", "123", "0", "0", "0"), wr("Coil Status", "1968", "0")}, ""},
        {{}, {wr("Holding Register", "124", "0")}, w1 + "NPoint must be between 1 and 123"},
        {{}, {wr("Coil Status", "1969", "0")}, w1 + "NPoint must be between 1 and 1968"},
        {{}, {wr("Input Status", "124", "0")}, w1 + "NPoint must be between 1 and 123"},
        {{}, {wr("", "1", "0")}, w1 + "Type must be Coil Status or Holding Register"},
        {{},
         {wr("Coil Status", "1", "0", "0", "-1")},
         w1 + "Poll Time must be between 0 and 100000000"},
        {{}, {wr("Coil Status", "1", "0", "")}, w1 + "Bit must be between 0 and 7"},
        {{},
         {wr("Holding Register", "2", "1437")},
         w1 + "Too many bytes to read starting from the Position indicate"},
        // Disabled rows are skipped; each table by its own Enable; read table first.
        {{{"N", "1", "junk"}, {" Y", "999"}},
         {},
         "Error row 2!! [Modbus Read] Slave ID must be between 1 and 247"},
        {{{"N", "1", "junk"}},
         {{"Y", "1", ""}},
         w1 + "Type must be Coil Status or Holding Register"},
        {{{"Y", "0"}}, {{"Y", "0"}}, r1 + "Slave ID must be between 1 and 247"},
        // A blank key before filled rows is refused, naming the row.
        {{rd("Coil Status", "1", "0"), {"Y", " "}, rd("Coil Status", "1", "0")},
         {},
         "Error row 2!! [Modbus Read] Slave ID is empty but the row or rows below it are "
         "filled: fill it or delete the row"},
        {{},
         {{"N", "", "", "", "", "", "", "", "", "", "", "", "", "note"}},
         "Error row 1!! [Modbus Write] Slave ID is empty but the row or rows below it are "
         "filled: fill it or delete the row"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(Check_Modbus_Tables(tablesOf(TM::RTU, cases[i].read, cases[i].write), TM::RTU),
                  cases[i].message);
    }
}

TEST_F(ModbusMasterTables, TcpCheck) {
    const std::string r1 = "Error row 1!! [Modbus Read] ";
    const std::string w1 = "Error row 1!! [Modbus Write] ";
    auto rrow = [](const std::string& ip, const std::string& port, const std::string& slave,
                   const std::string& bit = "0") {
        return Row{"Y", ip,  port, slave, "Holding Register", "0", "1", "100", "0",
                   "0", bit, "N",  ""};
    };
    const std::string bad_ip =
        "Slave IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)";
    const std::vector<Check_Case> cases = {
        {{rrow("192.168.1.125", "502", "1"), rrow("0.0.0.0", "65535", "247")}, {}, ""},
        {{rrow("192.168.1", "502", "1")}, {}, r1 + bad_ip},
        {{rrow("192.168.1.256", "502", "1")}, {}, r1 + bad_ip},
        {{rrow("1.2.3.4.5", "502", "1")}, {}, r1 + bad_ip},
        {{rrow("1..3.4", "502", "1")}, {}, r1 + bad_ip},
        {{rrow("1.2.3.4 ", "502", "1")}, {}, r1 + bad_ip},
        // The address is checked before the port and the slave.
        {{rrow("x", "-1", "0")}, {}, r1 + bad_ip},
        {{rrow("1.2.3.4", "65536", "0")}, {}, r1 + "Port must be between 0 and 65535"},
        {{rrow("1.2.3.4", "1", "0")}, {}, r1 + "Slave ID must be between 1 and 247"},
        {{},
         {{"Y", "1.2.3.4", "", "1", "Coil Status", "0", "1", "0", "N", "N", "0", "0", "0"}},
         w1 + "Port must be between 0 and 65535"},
        {{},
         {{"Y", "1.2.3.4", "1", "1", "Coil Status", "0", "1", "0", "N", "N", "0", "0", "0"}},
         ""},
        {{}, {{"Y", "1.2.3"}}, w1 + bad_ip},
        // A register row has no start bit to check; a coil row has.
        {{rrow("1.2.3.4", "1", "1", ""), rrow("1.2.3.4", "1", "1", "8")}, {}, ""},
        {{},
         {{"Y", "1.2.3.4", "1", "1", "Holding Register", "0", "1", "0", "N", "N", "0", "0", ""}},
         ""},
        {{},
         {{"Y", "1.2.3.4", "1", "1", "Coil Status", "0", "1", "0", "N", "N", "0", "0", ""}},
         w1 + "Bit must be between 0 and 7"},
        {{rrow("1.2.3.4", "1", "1"), {"N", ""}, {"N", "", "", "5"}},
         {},
         "Error row 2!! [Modbus Read] Slave IP Address is empty but the row or rows below it are "
         "filled: fill it or delete the row"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(Check_Modbus_Tables(tablesOf(TM::TCP, cases[i].read, cases[i].write), TM::TCP),
                  cases[i].message);
    }
    EXPECT_TRUE(Check_IP_Address(""));
    EXPECT_FALSE(Check_IP_Address("255.255.255.255"));
}

TEST_F(ModbusMasterTables, LoadTakesDefaultsAndStopsAtABadRow) {
    const std::string path = folder.Path("ModbusM_SetAccess.xml");
    const std::string full = " Slave_ID=\"1\" Type=\"Coil Status\" Address=\"0\" NPoint=\"1\" "
                             "PollTime=\"1\" MaxError=\"0\" Position=\"0\" Bit=\"0\" "
                             "Mnemonic=\"m\"";
    WriteBinaryFile(path, "<r><Modbus_Read><row" + full + "/><!--c--><row Enable=\"N\"" + full +
                              " Swap=\"Y\"/></Modbus_Read><Modbus_Write><row" + full +
                              " OnChange=\"Y\"/><row" + full + "/><row" + full +
                              " OnChange=\"N\"/></Modbus_Write></r>");
    TModbus_Tables t = New_Modbus_Tables(TM::RTU);
    t.Write.Cell(2, 9) = "left from a cancelled edit";
    const TModbus_Load load = Load_Modbus_Tables(t, TM::RTU, path);
    EXPECT_TRUE(load.Exists);
    EXPECT_NE(load.Error.find("OnChange"), std::string::npos) << load.Error;
    EXPECT_EQ(rowOf(t.Read, 1),
              (Row{"Y", "1", "Coil Status", "0", "1", "1", "0", "0", "0", "N", "m"}));
    EXPECT_EQ(rowOf(t.Read, 2)[0], "N");
    EXPECT_EQ(rowOf(t.Read, 2)[9], "Y");
    // The rows read before the bad one stay.
    EXPECT_EQ(rowOf(t.Write, 1), (Row{"Y", "1", "Coil Status", "0", "1", "N", "1", "Y", "N", "0",
                                      "0", "0", "N", "m"}));
    EXPECT_EQ(t.Write.Cell(3, 3), "");
    EXPECT_EQ(t.Write.Cell(2, 9), "");

    // A missing section, a file that is not well-formed, no file.
    const std::vector<std::string> bad = {"<r><Modbus_Read/></r>", "<r><Modbus_Read></r>"};
    for (const std::string& text : bad) {
        WriteBinaryFile(path, text);
        EXPECT_FALSE(Load_Modbus_Tables(t, TM::RTU, path).Error.empty()) << text;
    }
    const TModbus_Load none = Load_Modbus_Tables(t, TM::RTU, folder.Path("none.xml"));
    EXPECT_FALSE(none.Exists);
    EXPECT_TRUE(none.Error.empty());
    EXPECT_EQ(t.Read.Cell(2, 1), "");

    // More rows than the table: the first 512, and the load says it left rows out.
    std::string many = "<r><Modbus_Read>";
    for (int i = 0; i < 520; ++i)
        many += "<row Slave_ID=\"" + std::to_string(i) +
                "\" IP_Address=\"a\" Port=\"\" Type=\"\" Address=\"\" NPoint=\"\" PollTime=\"\" "
                "MaxError=\"\" Position=\"\" Bit=\"\" Mnemonic=\"\"/>";
    WriteBinaryFile(path, many + "</Modbus_Read><Modbus_Write/></r>");
    TModbus_Tables tcp = New_Modbus_Tables(TM::TCP);
    EXPECT_EQ(Load_Modbus_Tables(tcp, TM::TCP, path).Error,
              path + ": the table shows 512 of the 520 rows of Modbus_Read");
    EXPECT_EQ(tcp.Read.Cell(4, 512), "511");
}

TEST_F(ModbusMasterTables, SaveWritesBothSectionsAttributeByAttribute) {
    for (TM master : {TM::RTU, TM::TCP}) {
        const bool tcp = master == TM::TCP;
        TModbus_Tables t = New_Modbus_Tables(master);
        const int cols_r = t.Read.Col_Count(), cols_w = t.Write.Col_Count();
        for (int r = 1; r <= 3; ++r) {
            for (int c = 1; c <= cols_r; ++c) t.Read.Cell(c, r) = "r" + std::to_string(r * 100 + c);
            for (int c = 1; c <= cols_w; ++c)
                t.Write.Cell(c, r) = "w" + std::to_string(r * 100 + c);
        }
        t.Read.Cell(11, 1) = "a \"q\" <n> & ü";
        t.Read.Cell(2, 3) = " "; // ends the read table after two rows
        const std::string path = folder.Path("out.xml");
        Save_Modbus_Tables(t, master, path);

        TXMLDocument doc(nullptr);
        doc.SetActive(true);
        doc.LoadFromFile(path);
        ASSERT_EQ(doc.ChildNodes().Count(), 2);
        const TXmlNode root = doc.ChildNodes()[0];
        EXPECT_EQ(root.NodeName(),
                  tcp ? "PROFINET_Master_to_Modbus_TCP_Master" : "EtherNetIP_to_Modbus");
        EXPECT_EQ(doc.ChildNodes()[1].NodeValue(),
                  tcp ? "SW_VERSION = 1.103" : "SW_VERSION = 1.300");
        ASSERT_EQ(root.ChildNodes().Count(), 2);
        struct Section {
            const char* name;
            const TRow_Table* table;
            const std::vector<TModbus_Column>* columns;
            int rows;
        };
        const Section sections[] = {
            {"Modbus_Read", &t.Read, &Modbus_Read_Columns(master), 2},
            {"Modbus_Write", &t.Write, &Modbus_Write_Columns(master), 3},
        };
        for (int s = 0; s < 2; ++s) {
            const TXmlNode section = root.ChildNodes()[s];
            EXPECT_EQ(section.NodeName(), sections[s].name);
            ASSERT_EQ(section.ChildNodes().Count(), sections[s].rows);
            for (int r = 0; r < sections[s].rows; ++r) {
                const TXmlNode row = section.ChildNodes()[r];
                ASSERT_EQ(row.AttributeCount(), int(sections[s].columns->size()));
                for (int a = 0; a < row.AttributeCount(); ++a) {
                    EXPECT_EQ(row.AttributeName(a),
                              (*sections[s].columns)[std::size_t(a)].Attribute);
                    EXPECT_EQ(row.GetAttribute(row.AttributeName(a)).AsString(),
                              sections[s].table->Cell(a + 1, r + 1));
                }
            }
        }
        TModbus_Tables back = New_Modbus_Tables(master);
        EXPECT_EQ(Load_Modbus_Tables(back, master, path).Error, "");
        for (int r = 1; r <= 2; ++r) EXPECT_EQ(rowOf(back.Read, r), rowOf(t.Read, r));
        for (int r = 1; r <= 3; ++r) EXPECT_EQ(rowOf(back.Write, r), rowOf(t.Write, r));
    }
}

TEST_F(ModbusMasterTables, SavedTablesCompileLikeHandWrittenFiles) {
    struct Case {
        int product_type;
        TM master;
        const char* file;
        std::vector<Row> read, write;
        std::string hand;
    };
    const std::vector<Case> cases = {
        {1,
         TM::RTU,
         "ModbusM_SetAccess.xml",
         {{"Y", "5", "Holding Register", "100", "4", "1000", "3", "10", "0", "Y", "a"},
          {"N", "6", "Coil Status", "1", "1", "1", "0", "0", "0", "N", ""}},
         {{"Y", "7", "Coil Status", "20", "9", "Y", "0", "Y", "N", "1", "30", "3", "N", ""}},
         "<EtherNetIP_to_Modbus><Modbus_Read>"
         "<row Enable=\"Y\" Slave_ID=\"5\" Type=\"Holding Register\" Address=\"100\" "
         "NPoint=\"4\" PollTime=\"1000\" MaxError=\"3\" Position=\"10\" Bit=\"0\" Swap=\"Y\" "
         "Mnemonic=\"a\"/>"
         "<row Enable=\"N\" Slave_ID=\"6\" Type=\"Coil Status\" Address=\"1\" NPoint=\"1\" "
         "PollTime=\"1\" MaxError=\"0\" Position=\"0\" Bit=\"0\" Swap=\"N\" Mnemonic=\"\"/>"
         "</Modbus_Read><Modbus_Write>"
         "<row Enable=\"Y\" Slave_ID=\"7\" Type=\"Coil Status\" Address=\"20\" NPoint=\"9\" "
         "UseFC1516=\"Y\" PollTime=\"0\" OnChange=\"Y\" OnCMD=\"N\" MaxError=\"1\" "
         "Position=\"30\" Bit=\"3\" Swap=\"N\" Mnemonic=\"\"/>"
         "</Modbus_Write></EtherNetIP_to_Modbus><!--SW_VERSION = 1.300-->"},
        {3,
         TM::TCP,
         "ModbusTCPM_SetAccess.xml",
         // A register row without a start bit.
         {{"Y", "192.168.1.125", "502", "1", "Input Register", "7", "2", "500", "0", "100", "", "N",
           ""}},
         {{"Y", "10.0.0.2", "1502", "2", "Holding Register", "0", "1", "0", "N", "Y", "0", "5", "0",
           "Y", "w"}},
         "<PROFINET_Master_to_Modbus_TCP_Master><Modbus_Read>"
         "<row Enable=\"Y\" IP_Address=\"192.168.1.125\" Port=\"502\" Slave_ID=\"1\" "
         "Type=\"Input Register\" Address=\"7\" NPoint=\"2\" PollTime=\"500\" MaxError=\"0\" "
         "Position=\"100\" Bit=\"\" Swap=\"N\" Mnemonic=\"\"/>"
         "</Modbus_Read><Modbus_Write>"
         "<row Enable=\"Y\" IP_Address=\"10.0.0.2\" Port=\"1502\" Slave_ID=\"2\" "
         "Type=\"Holding Register\" Address=\"0\" NPoint=\"1\" PollTime=\"0\" OnChange=\"N\" "
         "OnCMD=\"Y\" MaxError=\"0\" Position=\"5\" Bit=\"0\" Swap=\"Y\" Mnemonic=\"w\"/>"
         "</Modbus_Write></PROFINET_Master_to_Modbus_TCP_Master><!--SW_VERSION = 1.103-->"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const TModbus_Tables t = tablesOf(c.master, c.read, c.write);
        ASSERT_EQ(Check_Modbus_Tables(t, c.master), "");
        Folder edited, hand;
        Save_Modbus_Tables(t, c.master, edited.Path(c.file));
        Compile_Bank(c.product_type, edited.Dir());
        Save_Bank(c.product_type, edited.Dir());
        WriteBinaryFile(hand.Path(c.file), c.hand);
        Compile_Bank(c.product_type, hand.Dir());
        Save_Bank(c.product_type, hand.Dir());
        const auto& table = c.master == TM::TCP ? ModbusTCP_Table : Modbus_Table;
        EXPECT_NE(table[0].NPoint, 0u);
        int banks = 0;
        for (const auto& entry : std::filesystem::directory_iterator(hand.Path("bin"))) {
            const std::string name = entry.path().filename().string();
            const std::string mine = ReadBinaryFile(edited.Path("bin/" + name));
            EXPECT_FALSE(mine.empty()) << name;
            EXPECT_TRUE(mine == ReadBinaryFile(entry.path().string())) << name;
            ++banks;
        }
        EXPECT_GT(banks, 0);
    }
}
