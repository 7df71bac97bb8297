#include "editors/frames/tables/NmeaTables.h"
#include "editors/comm/KnxAccessTable.h"

#include "image/ImageCompiler.h"
#include "image/KnxTable.h"
#include "image/NmeaImage.h"
#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/UITexts.h"
#include "tests/TempFolder.h"
#include "tests/editors/comm/TableRows.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A project folder with its bin folder.
struct Folder : TempFolder {
    Folder() : TempFolder("nmea_tables", "bin") {}
};

class NmeaTables : public ::testing::Test {
protected:
    void SetUp() override { Load_Default_Texts(); }

    static TRow_Table tableOf(const std::vector<TTable_Column>& columns,
                              const std::vector<Row>& rows) {
        return filled(New_NMEA_Table(columns), rows);
    }

    Folder folder;
};

struct Check_Case {
    std::vector<Row> rows;
    std::string message; // empty: valid
};

} // namespace

TEST_F(NmeaTables, ColumnsOfBothTables) {
    ASSERT_EQ(NMEA_Rec_Columns.size(), 8u);
    ASSERT_EQ(NMEA_Send_Columns.size(), 10u);
    EXPECT_EQ(UI_Texts[NMEA_Rec_Columns[4].Header_Entry], "Start Byte");
    EXPECT_EQ(NMEA_Rec_Columns[2].Editor, edDataCheckBox);
    EXPECT_EQ(UI_Texts[NMEA_Send_Columns[8].Hint_Entry],
              "Insert the Time in Milliseconds between the NMEA 2000 Frames");
    EXPECT_EQ(NMEA_Send_Columns[9].Width, 116);
}

TEST_F(NmeaTables, ReceiveCheck) {
    // PGN, SA, TP, FP, Start, N Byte, Delete, Mnemonic
    const std::string e1 = "Error in row 1";
    const Row frame{"127250", "5", "N", "N", "", "", "N", "x"};
    Row tp500{"1", "1", "Y", "N", "0", "500", "N", ""};
    const std::vector<Check_Case> cases = {
        {{}, ""},
        {{frame}, ""},
        {{{"0x1FFFF", "239"}, {"$1FFFF", "0"}, {"131071", "0"}, {" 12", "0"}}, ""},
        {{{"131072", "0"}}, e1 + "!! PGN must be between 0x00000 and 0x1FFFF"},
        {{{"-1", "0"}}, e1 + "!! PGN must be between 0x00000 and 0x1FFFF"},
        {{{"abc", "0"}}, e1 + "!! PGN must be between 0x00000 and 0x1FFFF"},
        {{{"12 ", "0"}}, e1 + "!! PGN must be between 0x00000 and 0x1FFFF"},
        {{{" ", "0"}}, e1 + "!! PGN must be between 0x00000 and 0x1FFFF"},
        {{{"1", "240"}}, e1 + "!! Source Address must be between 0 and 239"},
        {{{"1", ""}}, e1 + "!! Source Address must be between 0 and 239"},
        // Transport protocol, also with both boxes ticked.
        {{{"1", "1", "Y", "N", "1785", "0"}}, ""},
        {{{"1", "1", "Y", "Y", "0", "300"}}, ""},
        {{{"1", "1", "Y", "N", "", "1"}}, e1 + "!! Start Byte must be between 0 and 1785"},
        {{{"1", "1", "Y", "N", "1786", "0"}}, e1 + "!! Start Byte must be between 0 and 1785"},
        {{{"1", "1", "Y", "N", "1000", "786"}},
         e1 + "!! Start Byte plus Number Bytes must be between 0 and 1785"},
        {{{"1", "1", "Y", "N", "0", "-1"}},
         e1 + "!! Start Byte plus Number Bytes must be between 0 and 1785"},
        // Fast packet.
        {{{"1", "1", "N", "Y", "0", "223"}}, ""},
        {{{"1", "1", "N", "Y", "224", "0"}}, e1 + "!! Start Byte must be between 0 and 223"},
        {{{"1", "1", "N", "Y", "0", "224"}},
         e1 + "!! Start Byte plus Number Bytes must be between 0 and 223"},
        // Single frame: the start byte is the offset in the frame, 0..7.
        {{{"1", "1", "N", "N", "0", "8"}}, ""},
        {{{"1", "1", "", "", "7", "1"}}, ""},
        {{{"1", "1", "N", "N", "1", ""}},
         e1 + "!! Start Byte and Number Bytes must be both compiled"},
        {{{"1", "1", "N", "N", " ", "3"}},
         e1 + "!! Start Byte and Number Bytes must be both compiled"},
        {{{"1", "1", "N", "N", "8", "1"}}, e1 + "!! The Start Byte must be between 0 and 7"},
        {{{"1", "1", "N", "N", "x", "1"}}, e1 + "!! The Start Byte must be between 0 and 7"},
        {{{"1", "1", "N", "N", "0", "9"}}, e1 + "!! The Number Bytes must be between 1 and 8"},
        {{{"1", "1", "N", "N", "0", "0"}}, e1 + "!! The Number Bytes must be between 1 and 8"},
        {{{"1", "1", "N", "N", "2", "7"}},
         e1 + "!! The Number Bytes plus Start Byte must be minor of 9"},
        // Byte budget of 512.
        {std::vector<Row>(62, frame), ""},
        {{tp500, frame, frame}, "Error!! Too many bytes of data, the max number is 512"},
        {{tp500, {"1", "1", "N", "N", "0", "4"}, {"1", "1", "N", "N", "0", "8"}}, ""},
        // The first faulty row is named, disabled cells do not matter.
        {{frame, frame, {"1", "999"}}, "Error in row 3!! Source Address must be between 0 and 239"},
        // An empty PGN before filled rows would drop them from the file.
        {{frame, {"", "", "N", "N", "", "", "N", ""}, frame},
         "Error in row 2!! PGN is empty but the row or rows below it are filled: fill it or "
         "delete the row"},
        {{{}, {"", "", "", "", "", "", "", "note"}},
         "Error in row 1!! PGN is empty but the row or rows below it are filled: fill it or "
         "delete the row"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(Check_NMEA_Rec(tableOf(NMEA_Rec_Columns, cases[i].rows)), cases[i].message);
    }
}

TEST_F(NmeaTables, TransmitCheck) {
    // Priority, PGN, SA, FP, Num Byte, Request, Data Change, On Timer, Send Timer, Mnemonic
    const std::string e1 = "Error in row 1";
    const Row frame{"3", "130306", "1", "N", "8", "N", "N", "N", "", ""};
    const std::vector<Check_Case> cases = {
        {{}, ""},
        {{frame}, ""},
        {{{"7", "0x1FFFF", "239", "Y", "0"}}, ""},
        {{{"8", "1", "1", "N", "8"}}, e1 + "!! Priority must be between 0 and 7"},
        {{{"", "1", "1", "N", "8"}}, e1 + "!! Priority must be between 0 and 7"},
        {{{"0", "0x20000", "1", "N", "8"}}, e1 + "!! PGN must be between 0x00000 and 0x1FFFF"},
        {{{"0", "1", "240", "N", "8"}}, e1 + "!! Source Address must be between 0 and 239"},
        {{{"0", "1", "1", "N", ""}}, e1 + "!! Num Byte must be between 0 and 512"},
        {{{"0", "1", "1", "N", "513"}}, e1 + "!! Num Byte must be between 0 and 512"},
        {{{"0", "1", "1", "N", "512"}, {"0", "1", "1", "N", "0"}}, ""},
        {{{"0", "1", "1", "N", "512"}, {"0", "1", "1", "N", "1"}},
         "Error!! Too many bytes of data, the max number is 512"},
        {{{"0", "1", "1", "N", "8", "N", "N", "Y", "65535"}}, ""},
        {{{"0", "1", "1", "N", "8", "N", "N", "Y", ""}},
         e1 + "!! Send Timer must be between 1 and 65535 ms"},
        {{{"0", "1", "1", "N", "8", "N", "N", "Y", "0"}},
         e1 + "!! Send Timer must be between 1 and 65535 ms"},
        {{{"0", "1", "1", "N", "8", "N", "N", "Y", "65536"}},
         e1 + "!! Send Timer must be between 1 and 65535 ms"},
        {{{"0", "1", "1", "N", "8", "N", "N", "N", "65536"}}, ""},
        // A Priority without a PGN, before complete rows: refused instead of written unchecked.
        {{frame, {"3", "", "", "N", "", "N", "N", "N", "", ""}, frame},
         "Error in row 2!! PGN is empty but the row or rows below it are filled: fill it or "
         "delete the row"},
        {{frame, {"3"}},
         "Error in row 2!! PGN is empty but the row or rows below it are filled: fill it or "
         "delete the row"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(Check_NMEA_Send(tableOf(NMEA_Send_Columns, cases[i].rows)), cases[i].message);
    }
}

TEST_F(NmeaTables, LoadGivesDefaultsToMissingAttributes) {
    const std::string path = folder.Path("NMEA_Rec_Frames.xml");
    WriteBinaryFile(path, "<Receive_NMEA_2000><row PGN=\"1\" SA=\" 2\" TP=\"Y\"/>"
                          "<!--between--><other TP_Start=\"3\" Mnemonic=\"m\"/>"
                          "</Receive_NMEA_2000><!--SW_VERSION = 1.000-->");
    TRow_Table table = New_NMEA_Table(NMEA_Rec_Columns);
    table.Cell(8, 5) = "left from a cancelled edit";
    EXPECT_TRUE(Load_NMEA_Table(table, NMEA_Rec_Columns, path));
    EXPECT_EQ(rowOf(table, 1), (Row{"1", " 2", "Y", "N", "", "", "N", ""}));
    EXPECT_EQ(rowOf(table, 2), (Row{"", "", "N", "N", "3", "", "N", "m"}));
    EXPECT_EQ(rowOf(table, 5), Row(8));

    const std::string send = folder.Path("NMEA_Send_Frames.xml");
    WriteBinaryFile(send, "<Receive_NMEA_2000><row Priority=\"3\"/></Receive_NMEA_2000>");
    TRow_Table sent = New_NMEA_Table(NMEA_Send_Columns);
    Load_NMEA_Table(sent, NMEA_Send_Columns, send);
    EXPECT_EQ(rowOf(sent, 1), (Row{"3", "", "", "N", "", "N", "N", "N", "", ""}));

    // No file: the empty table; more rows than the table: the first 62, and the load says
    // it left rows out.
    EXPECT_FALSE(Load_NMEA_Table(table, NMEA_Rec_Columns, folder.Path("none.xml")));
    EXPECT_EQ(rowOf(table, 1), Row(8));
    std::string many = "<r>";
    for (int i = 0; i < 70; ++i) many += "<row PGN=\"" + std::to_string(i) + "\"/>";
    WriteBinaryFile(path, many + "</r>");
    EXPECT_THROW(Load_NMEA_Table(table, NMEA_Rec_Columns, path), Exception);
    EXPECT_EQ(table.Cell(1, 62), "61");
}

TEST_F(NmeaTables, LoadOfABadFileLeavesTheTableEmpty) {
    const std::string path = folder.Path("NMEA_Rec_Frames.xml");
    WriteBinaryFile(path, "<Receive_NMEA_2000><row PGN=\"1\"></Receive_NMEA_2000>");
    TRow_Table table = New_NMEA_Table(NMEA_Rec_Columns);
    table.Cell(1, 1) = "old";
    EXPECT_THROW(Load_NMEA_Table(table, NMEA_Rec_Columns, path), Exception);
    EXPECT_EQ(rowOf(table, 1), Row(8));
}

TEST_F(NmeaTables, SaveWritesTheRowsAttributeByAttribute) {
    struct Case {
        const std::vector<TTable_Column>* columns;
        std::vector<Row> rows;
        int written;
    };
    const std::vector<Case> cases = {
        {&NMEA_Rec_Columns, {}, 0},
        {&NMEA_Rec_Columns,
         {{" 12", "1", "Y", "", "0", "", "N", "a \"quoted\" <note> & more"},
          {"0x1FFFF", "", "N", "Y", "", "10", "Y", "ü"}},
         2},
        // The writer ends where the check ends, at the first empty PGN.
        {&NMEA_Send_Columns,
         {{"3", "1", "2", "N", "8", "Y", "", "Y", "100", "m"}, {"", "5"}, {"4"}},
         2},
    };
    for (const Case& c : cases) {
        const std::string path = folder.Path("out.xml");
        const TRow_Table table = tableOf(*c.columns, c.rows);
        Save_NMEA_Table(table, *c.columns, path);

        TXMLDocument doc(nullptr);
        doc.SetActive(true);
        doc.LoadFromFile(path);
        ASSERT_EQ(doc.ChildNodes().Count(), 2);
        const TXmlNode root = doc.ChildNodes()[0];
        EXPECT_EQ(root.NodeName(), "Receive_NMEA_2000");
        EXPECT_EQ(doc.ChildNodes()[1].NodeValue(), "SW_VERSION = 1.000");
        ASSERT_EQ(root.ChildNodes().Count(), c.written);
        for (int r = 0; r < c.written; ++r) {
            const TXmlNode row = root.ChildNodes()[r];
            EXPECT_EQ(row.NodeName(), "row");
            ASSERT_EQ(row.AttributeCount(), int(c.columns->size()));
            for (int a = 0; a < row.AttributeCount(); ++a) {
                EXPECT_EQ(row.AttributeName(a), (*c.columns)[std::size_t(a)].Attribute);
                EXPECT_EQ(row.GetAttribute(row.AttributeName(a)).AsString(),
                          table.Cell(a + 1, r + 1));
            }
        }
        TRow_Table back = New_NMEA_Table(*c.columns);
        Load_NMEA_Table(back, *c.columns, path);
        for (int r = 1; r <= c.written; ++r) EXPECT_EQ(rowOf(back, r), rowOf(table, r));
    }
}

TEST_F(NmeaTables, SavedTablesCompileLikeHandWrittenFiles) {
    const std::vector<Row> rec = {
        {"127250", "5", "N", "N", "", "", "Y", "heading"},
        {"0x1F805", "3", "N", "Y", "4", "10", "N", ""},
        {"126464", "7", "Y", "N", "0", "100", "", ""},
        {"130306", "1", "N", "N", "7", "1", "N", ""},
    };
    const std::vector<Row> send = {
        {"2", "127250", "1", "N", "8", "Y", "N", "Y", "100", "heading"},
        {"6", "0x1F805", "1", "Y", "43", "N", "y", "N", "", ""},
    };
    Folder edited;
    Save_NMEA_Table(tableOf(NMEA_Rec_Columns, rec), NMEA_Rec_Columns,
                    edited.Path("NMEA_Rec_Frames.xml"));
    Save_NMEA_Table(tableOf(NMEA_Send_Columns, send), NMEA_Send_Columns,
                    edited.Path("NMEA_Send_Frames.xml"));
    TRow_Table knx = New_KNX_Table();
    const std::vector<Row> knx_rows = {
        {"Y", "1.1.1", "1/2/3", "Write", "Urgent", "Swap16", "Y", "N", "Y", "N", "Y", "1000", "10",
         "No", "20", "500", "a"},
        {"N", "1.1.2", "5.5.5", "read", "Low", "None", "N", "Y", "N", "Y", "N", "", "0", "3", "9",
         "0", ""},
        {"Y", "1.1.3", "300", "17", "System", "Float16 to Int * 10", "N", "N", "N", "N", "N", "",
         "1438", "7", "1", "0", ""},
    };
    for (std::size_t r = 0; r < knx_rows.size(); ++r)
        for (std::size_t c = 0; c < knx_rows[r].size(); ++c)
            knx.Cell(int(c) + 1, int(r) + 1) = knx_rows[r][c];
    ASSERT_EQ(Check_KNX_Table(knx, TKnx_Settings{}), "");
    Save_KNX_Table(knx, TKnx_Settings{}, edited.Path("KNX_SetAccess.xml"));
    Compile_Bank(25, edited.Dir());
    Save_Bank(25, edited.Dir());

    Folder hand;
    WriteBinaryFile(
        hand.Path("NMEA_Rec_Frames.xml"),
        "<Receive_NMEA_2000>\n"
        " <row PGN=\"127250\" SA=\"5\" TP=\"N\" FP=\"N\" TP_Start=\"\" TP_NByte=\"\" "
        "Delete=\"Y\" Mnemonic=\"heading\"/>\n"
        " <row PGN=\"0x1F805\" SA=\"3\" TP=\"N\" FP=\"Y\" TP_Start=\"4\" TP_NByte=\"10\" "
        "Delete=\"N\" Mnemonic=\"\"/>\n"
        " <row PGN=\"126464\" SA=\"7\" TP=\"Y\" FP=\"N\" TP_Start=\"0\" TP_NByte=\"100\" "
        "Delete=\"\" Mnemonic=\"\"/>\n"
        " <row PGN=\"130306\" SA=\"1\" TP=\"N\" FP=\"N\" TP_Start=\"7\" TP_NByte=\"1\" "
        "Delete=\"N\" Mnemonic=\"\"/>\n"
        "</Receive_NMEA_2000>\n<!--SW_VERSION = 1.000-->\n");
    WriteBinaryFile(
        hand.Path("NMEA_Send_Frames.xml"),
        "<Receive_NMEA_2000>\n"
        " <row Priority=\"2\" PGN=\"127250\" SA=\"1\" FP=\"N\" TP_NByte=\"8\" On_Request=\"Y\" "
        "On_Data_Change=\"N\" On_Timer=\"Y\" SendTimer=\"100\" Mnemonic=\"heading\"/>\n"
        " <row Priority=\"6\" PGN=\"0x1F805\" SA=\"1\" FP=\"Y\" TP_NByte=\"43\" On_Request=\"N\" "
        "On_Data_Change=\"y\" On_Timer=\"N\" SendTimer=\"\" Mnemonic=\"\"/>\n"
        "</Receive_NMEA_2000>\n<!--SW_VERSION = 1.000-->\n");
    WriteBinaryFile(
        hand.Path("KNX_SetAccess.xml"),
        "<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write>\n"
        "<row Enable=\"Y\" Source_Address=\"1.1.1\" Destination_Address=\"1/2/3\" "
        "APCI=\"Write\" Priority=\"Urgent\" Format=\"Swap16\" Extended=\"Y\" ReTest=\"N\" "
        "On_Command=\"Y\" On_Change=\"N\" On_Timer=\"Y\" Poll_Time=\"1000\" Position=\"10\" "
        "Bit_Mode=\"No\" Length=\"20\" TimeOut=\"500\" Mnemonic=\"a\"/>\n"
        "<row Enable=\"N\" Source_Address=\"1.1.2\" Destination_Address=\"5.5.5\" "
        "APCI=\"read\" Priority=\"Low\" Format=\"None\" Extended=\"N\" ReTest=\"Y\" "
        "On_Command=\"N\" On_Change=\"Y\" On_Timer=\"N\" Poll_Time=\"\" Position=\"0\" "
        "Bit_Mode=\"3\" Length=\"9\" TimeOut=\"0\" Mnemonic=\"\"/>\n"
        "<row Enable=\"Y\" Source_Address=\"1.1.3\" Destination_Address=\"300\" "
        "APCI=\"17\" Priority=\"System\" Format=\"Float16 to Int * 10\" Extended=\"N\" "
        "ReTest=\"N\" On_Command=\"N\" On_Change=\"N\" On_Timer=\"N\" Poll_Time=\"\" "
        "Position=\"1438\" Bit_Mode=\"7\" Length=\"1\" TimeOut=\"0\" Mnemonic=\"\"/>\n"
        "</KNX_in_Write></BACnet_to_KNX>\n<!--SW_VERSION = 1.000-->\n");
    Compile_Bank(25, hand.Dir());
    Save_Bank(25, hand.Dir());
    // The files were read: the last single-frame row takes byte 7 of its frame.
    EXPECT_EQ(PGN_Rx_Table[3].Start_Byte, 7u);
    EXPECT_EQ(PGN_Tx_Table[1].Byte_Count, 43u);
    EXPECT_NE(KNX_Table[1].Source_Address, 0u);

    for (const char* bank : {"bin/bank1.bin", "bin/bank2.bin"}) {
        const std::string mine = ReadBinaryFile(edited.Path(bank));
        EXPECT_FALSE(mine.empty()) << bank;
        EXPECT_TRUE(mine == ReadBinaryFile(hand.Path(bank))) << bank;
    }
    // The rows the editor accepts are the rows that went into the image.
    EXPECT_EQ(Check_NMEA_Rec(tableOf(NMEA_Rec_Columns, rec)), "");
    EXPECT_EQ(Check_NMEA_Send(tableOf(NMEA_Send_Columns, send)), "");
}
