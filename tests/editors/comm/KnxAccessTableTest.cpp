#include "editors/comm/KnxAccessTable.h"

#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/UITexts.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

using Cells = std::map<int, std::string>; // column -> text, over a valid row

class KnxAccessTable : public ::testing::Test {
protected:
    void SetUp() override { Load_Default_Texts(); }
    // A valid enabled row in byte mode, changed by cells.
    static void put(TRow_Table& table, int row, const Cells& cells) {
        const Cells valid = {
            {KNX_Enable, "Y"},    {KNX_Source, "1.1.1"}, {KNX_Destination, "1/2/3"},
            {KNX_APCI, "Write"},  {KNX_Priority, "Low"}, {KNX_Format, "None"},
            {KNX_Extended, "N"},  {KNX_ReTest, "N"},     {KNX_On_Command, "N"},
            {KNX_On_Change, "N"}, {KNX_On_Timer, "N"},   {KNX_Poll_Time, ""},
            {KNX_Position, "0"},  {KNX_Bit_Mode, "No"},  {KNX_Length, "2"},
            {KNX_TimeOut, "0"},   {KNX_Mnemonic, "m"}};
        for (const auto& [c, v] : valid) table.Cell(c, row) = v;
        for (const auto& [c, v] : cells) table.Cell(c, row) = v;
    }
    std::string path() const { return folder.Path("KNX_SetAccess.xml"); }

    TempFolder folder{"knx_access"};
};

} // namespace

TEST_F(KnxAccessTable, ColumnsAndSettings) {
    ASSERT_EQ(KNX_Access_Columns.size(), 17u);
    EXPECT_EQ(UI_Texts[KNX_Access_Columns[KNX_TimeOut - 1].Header_Entry], "TimeOut");
    EXPECT_EQ(KNX_Access_Columns[KNX_Format - 1].Items.size(), 10u);
    EXPECT_EQ(KNX_Access_Columns[KNX_Bit_Mode - 1].Items.back(), "7");
    const std::vector<std::string> positions = Position_Items(1439);
    EXPECT_EQ(positions.size(), 1439u);
    EXPECT_EQ(positions.back(), "1438");

    const std::string par_gen = folder.Path("ParGen.xml");
    struct Case {
        int type;
        const char* file; // nullptr: no ParGen file
        int max, dmx, read, write;
    };
    const std::vector<Case> cases = {
        {25, "<P><DMX_Num_Channels>9</DMX_Num_Channels></P>", 1439, 0, 7, 8},
        {8, nullptr, 455, 0, 7, 8},
        {11, nullptr, 512, 1, 7, 8},
        {1011, "<P><DMX_Num_Channels>100</DMX_Num_Channels><DMX_DMX>0</DMX_DMX></P>", 100, 0, 7, 8},
        {11, "<P><DMX_Num_Channels>x</DMX_Num_Channels></P>", 512, 1, 7, 8},
        {12, nullptr, 1438, 0, 7, 8}, // the bounds keep their values
        {12, "<P><PROFINET_NB_IN>20</PROFINET_NB_IN></P>", 1438, 0, 1438, 20},
        {13, "<P><EtherNetIP_NB_IN>30</EtherNetIP_NB_IN></P>", 1439, 0, 30, 496},
    };
    TKnx_Settings previous;
    previous.Num_Byte_Read_InPROFI = 7;
    previous.Num_Byte_Write_OutPROFI = 8;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        DeleteFile(par_gen);
        if (c.file) WriteBinaryFile(par_gen, c.file);
        const TKnx_Settings s = KNX_Settings(c.type, par_gen, previous);
        EXPECT_EQ(s.Max_Num_Byte, c.max);
        EXPECT_EQ(s.DMX_Type, c.dmx);
        EXPECT_EQ(s.Num_Byte_Read_InPROFI, c.read);
        EXPECT_EQ(s.Num_Byte_Write_OutPROFI, c.write);
    }
}

TEST_F(KnxAccessTable, Check) {
    const std::string e = "Error row 1!! [KNX in Write] ";
    const std::string source =
        e + "Source Address must be a valid KNX Individual Address (Ex. 15.15.255)";
    const std::string group =
        e + "Destination Address must be a valid KNX Group Address (Ex. 31/2047 or 31/7/255)";
    const std::string apci = e + "APCI must be between 0 and 1023 or use the value Read or Write";
    const std::string priority = e + "Priority must be System or Urgent or Normal or Low";
    const std::string bit = e + "Bit Mode must be \"No\" or between 0 and 7";
    const std::string length = e + "Length must be between 1 and ";
    const std::string span = e + "Position plus Length must be minor or equal to 1439";
    const std::string timeout = e + "TimeOut must be between 0 and 100000000 milliseconds";
    struct Case {
        Cells cells;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{}, ""},
        {{{KNX_Source, " 0.0.0 "}}, ""},
        {{{KNX_Source, "16.0.1"}}, source},
        {{{KNX_Source, "x"}}, source},
        {{{KNX_Destination, "0.0.0"}}, ""},
        {{{KNX_Destination, "100"}}, ""},
        {{{KNX_Destination, "31/2047"}}, ""},
        {{{KNX_Destination, "0/0"}}, group},
        {{{KNX_Destination, "0"}}, group},
        {{{KNX_Destination, "32/1"}}, group},
        {{{KNX_Destination, "1.1.256"}},
         e + "Destination Address must be a valid KNX Individual Address (Ex. 15.15.255)"},
        {{{KNX_APCI, "read"}}, ""},
        {{{KNX_APCI, "17"}}, ""},
        {{{KNX_APCI, "1024"}}, apci},
        {{{KNX_APCI, "-1"}}, apci},
        {{{KNX_APCI, ""}}, apci},
        {{{KNX_Priority, "normal"}}, priority},
        {{{KNX_Priority, "System"}}, ""},
        {{{KNX_Format, " "}}, e + "Format is not correct"},
        {{{KNX_On_Timer, "y"}, {KNX_Poll_Time, "0"}},
         e + "Poll Time must be between 1 and 100000000"},
        {{{KNX_On_Timer, "Y"}, {KNX_Poll_Time, "100000000"}}, ""},
        {{{KNX_On_Timer, "N"}, {KNX_Poll_Time, "0"}}, ""},
        {{{KNX_Position, "1439"}}, e + "Position must be between 0 and 1438"},
        {{{KNX_Position, ""}}, e + "Position must be between 0 and 1438"},
        {{{KNX_Bit_Mode, ""}}, bit},
        {{{KNX_Bit_Mode, "8"}}, bit},
        {{{KNX_Bit_Mode, "nO"}}, ""},
        {{{KNX_Length, "14"}}, ""},
        {{{KNX_Length, "15"}}, length + "14"},
        {{{KNX_Length, "0"}}, length + "14"},
        {{{KNX_Length, "255"}, {KNX_Extended, "y"}}, ""},
        {{{KNX_Length, "256"}, {KNX_Extended, "Y"}}, length + "255"},
        {{{KNX_Bit_Mode, "0"}, {KNX_Length, "112"}}, ""},
        {{{KNX_Bit_Mode, "0"}, {KNX_Length, "113"}}, length + "112"},
        {{{KNX_Bit_Mode, "0"}, {KNX_Length, "2040"}, {KNX_Extended, "Y"}}, ""},
        {{{KNX_Bit_Mode, "0"}, {KNX_Length, "2041"}, {KNX_Extended, "Y"}}, length + "2040"},
        {{{KNX_Position, "1438"}, {KNX_Length, "1"}}, ""},
        {{{KNX_Position, "1438"}, {KNX_Length, "2"}}, span},
        {{{KNX_Position, "1438"}, {KNX_Bit_Mode, "7"}, {KNX_Length, "1"}}, ""},
        {{{KNX_Position, "1438"}, {KNX_Bit_Mode, "7"}, {KNX_Length, "2"}}, span},
        {{{KNX_TimeOut, ""}}, timeout},
        {{{KNX_TimeOut, "100000001"}}, timeout},
        // Disabled rows are not checked.
        {{{KNX_Enable, "N"}, {KNX_Length, "999"}}, ""},
        {{{KNX_Enable, ""}, {KNX_Length, "999"}}, ""},
    };
    const TKnx_Settings settings;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        TRow_Table table = New_KNX_Table();
        put(table, 1, cases[i].cells);
        EXPECT_EQ(Check_KNX_Table(table, settings), cases[i].message);
    }
}

TEST_F(KnxAccessTable, CheckOfOtherProductTypesAndOfTheTableEnd) {
    TRow_Table table = New_KNX_Table();
    put(table, 1, {{KNX_APCI, "bogus"}, {KNX_Position, "99"}, {KNX_Length, "1"}});
    TKnx_Settings dmx;
    dmx.Product_Type = 11;
    dmx.Max_Num_Byte = 100;
    dmx.DMX_Type = 1;
    EXPECT_EQ(Check_KNX_Table(table, dmx), ""); // APCI not checked, position 0..99

    TKnx_Settings profi;
    profi.Product_Type = 12;
    profi.Max_Num_Byte = 1438;
    profi.Num_Byte_Read_InPROFI = 50;
    profi.Num_Byte_Write_OutPROFI = 100;
    put(table, 1, {{KNX_APCI, "Write"}, {KNX_Position, "99"}});
    EXPECT_EQ(Check_KNX_Table(table, profi), "");
    put(table, 1, {{KNX_APCI, "read"}, {KNX_Position, "50"}});
    EXPECT_EQ(Check_KNX_Table(table, profi),
              "Error row 1!! [KNX in Write] Position must be between 0 and 49");
    put(table, 1, {{KNX_APCI, "5"}, {KNX_Position, "1000"}});
    EXPECT_EQ(Check_KNX_Table(table, profi), "");

    // A blank Source Add before filled rows; the row number counts disabled rows.
    table = New_KNX_Table();
    put(table, 1, {{KNX_Enable, "N"}});
    put(table, 2, {});
    put(table, 3, {{KNX_Length, "99"}});
    EXPECT_EQ(Check_KNX_Table(table, TKnx_Settings{}),
              "Error row 3!! [KNX in Write] Length must be between 1 and 14");
    put(table, 3, {{KNX_Source, "  "}});
    put(table, 5, {});
    EXPECT_EQ(Check_KNX_Table(table, TKnx_Settings{}),
              "Error row 3!! [KNX in Write] Source Add is empty but the row or rows below it are "
              "filled: fill it or delete the row");
}

TEST_F(KnxAccessTable, LoadDefaultsAndStopsAtABadRow) {
    const std::string full = " Source_Address=\"1.1.1\" Destination_Address=\"1/1\" APCI=\"Read\" "
                             "Extended=\"N\" ReTest=\"N\" On_Change=\"N\" Poll_Time=\"\" "
                             "Position=\"4\" Bit_Mode=\"No\" Length=\"2\" Mnemonic=\"m\"";
    WriteBinaryFile(path(),
                    "<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write>"
                    "<row" +
                        full +
                        "/>"
                        "<row Enable=\"N\" Priority=\"urgent\" Format=\"Swap16\" On_Timer=\"Y\" "
                        "TimeOut=\"9\" On_Command=\"Y\"" +
                        full +
                        "/>"
                        "<row Enable=\"Y\" Source_Address=\"2.2.2\"/>"
                        "<row" +
                        full +
                        "/>"
                        "</KNX_in_Write></BACnet_to_KNX>");
    TRow_Table table = New_KNX_Table();
    table.Cell(KNX_Mnemonic, 4) = "from a cancelled edit";
    const TKnx_Load load = Load_KNX_Table(table, path());
    EXPECT_TRUE(load.Exists);
    EXPECT_NE(load.Error.find("Destination_Address"), std::string::npos) << load.Error;
    EXPECT_EQ(table.Cell(KNX_Enable, 1), "Y");
    EXPECT_EQ(table.Cell(KNX_Priority, 1), "Normal");
    EXPECT_EQ(table.Cell(KNX_Format, 1), "None");
    EXPECT_EQ(table.Cell(KNX_On_Command, 1), "N");
    EXPECT_EQ(table.Cell(KNX_On_Timer, 1), "N");
    EXPECT_EQ(table.Cell(KNX_TimeOut, 1), "0");
    EXPECT_EQ(table.Cell(KNX_Position, 1), "4");
    EXPECT_EQ(table.Cell(KNX_Enable, 2), "N");
    EXPECT_EQ(table.Cell(KNX_Priority, 2), "Normal"); // not one of the four words
    EXPECT_EQ(table.Cell(KNX_Format, 2), "Swap16");
    EXPECT_EQ(table.Cell(KNX_TimeOut, 2), "9");
    EXPECT_EQ(table.Cell(KNX_Source, 3), "2.2.2"); // read up to the missing attribute
    EXPECT_EQ(table.Cell(KNX_Source, 4), "");
    EXPECT_EQ(table.Cell(KNX_Mnemonic, 4), "");
    EXPECT_EQ(table.Cell(KNX_Enable, 4), "Y");

    for (const char* text :
         {"<BACnet_to_KNX><KNX_in_Read/></BACnet_to_KNX>", "<BACnet_to_KNX><KNX_in_Write>"}) {
        WriteBinaryFile(path(), text);
        const TKnx_Load bad = Load_KNX_Table(table, path());
        EXPECT_FALSE(bad.Error.empty()) << text;
        EXPECT_EQ(table.Cell(KNX_Source, 1), "");
    }
    std::filesystem::remove(path());
    const TKnx_Load none = Load_KNX_Table(table, path());
    EXPECT_FALSE(none.Exists);
    EXPECT_TRUE(none.Error.empty());
}

TEST_F(KnxAccessTable, SaveRoundTrip) {
    TRow_Table table = New_KNX_Table();
    put(table, 1, {{KNX_Mnemonic, "a <b> & \"c\""}, {KNX_Source, " 1.1.1"}});
    put(table, 2, {{KNX_Enable, "N"}, {KNX_Length, "junk"}});
    put(table, 3, {{KNX_Enable, ""}});
    put(table, 5, {}); // behind the end of the table

    struct Case {
        TKnx_Settings settings;
        std::string version;
    };
    TKnx_Settings dmx;
    dmx.Product_Type = 11;
    dmx.DMX_Type = 1;
    for (const Case& c : {Case{TKnx_Settings{}, "1.000"}, Case{dmx, "1.104"}}) {
        Save_KNX_Table(table, c.settings, path());
        TXMLDocument doc(nullptr);
        doc.SetActive(true);
        doc.LoadFromFile(path());
        ASSERT_EQ(doc.ChildNodes().Count(), 2);
        const TXmlNode root = doc.ChildNodes()[0];
        EXPECT_EQ(root.NodeName(), "BACnet_to_KNX");
        EXPECT_EQ(doc.ChildNodes()[1].NodeValue(), "SW_VERSION = " + c.version);
        ASSERT_EQ(root.ChildNodes().Count(), 2);
        EXPECT_EQ(root.ChildNodes()[0].NodeName(), "KNX_in_Read");
        EXPECT_FALSE(root.ChildNodes()[0].HasChildNodes());
        const TXmlNode write = root.ChildNodes()[1];
        ASSERT_EQ(write.ChildNodes().Count(), 3);
        for (int r = 0; r < 3; ++r) {
            const TXmlNode row = write.ChildNodes()[r];
            ASSERT_EQ(row.AttributeCount(), 17);
            for (int a = 0; a < 17; ++a) {
                const int col = a + 1;
                EXPECT_EQ(row.AttributeName(a), KNX_Access_Columns[std::size_t(a)].Attribute);
                std::string expected = table.Cell(col, r + 1);
                if (c.settings.DMX_Fixed() && col == KNX_APCI) expected = "Read";
                if (c.settings.DMX_Fixed() && (col == KNX_On_Command || col == KNX_On_Change))
                    expected = "N";
                EXPECT_EQ(row.GetAttribute(row.AttributeName(a)).AsString(), expected);
            }
        }
    }
    Save_KNX_Table(table, TKnx_Settings{}, path());
    TRow_Table back = New_KNX_Table();
    EXPECT_TRUE(Load_KNX_Table(back, path()).Error.empty());
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 17; ++c) EXPECT_EQ(back.Cell(c, r), table.Cell(c, r)) << r << "," << c;
    EXPECT_EQ(back.Cell(KNX_Source, 5), "");
}
