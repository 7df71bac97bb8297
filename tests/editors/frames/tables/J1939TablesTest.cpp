#include "editors/frames/tables/J1939Tables.h"

#include "image/ImageCompiler.h"
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
    Folder() : TempFolder("j1939_tables", "bin") {}
};

class J1939Tables : public ::testing::Test {
protected:
    void SetUp() override { Load_Default_Texts(); }

    static TRow_Table tableOf(const std::vector<TTable_Column>& columns,
                              const std::vector<Row>& rows) {
        return filled(New_J1939_Table(columns), rows);
    }

    Folder folder;
};

struct Check_Case {
    std::vector<Row> rows;
    std::string message; // empty: valid
};

const std::string Lost_PGN =
    "!! PGN is empty but the row or rows below it are filled: fill it or delete the row";

} // namespace

TEST_F(J1939Tables, Columns) {
    ASSERT_EQ(J1939_Rec_Columns.size(), 10u);
    ASSERT_EQ(J1939_Send_Columns.size(), 10u);
    EXPECT_EQ(UI_Texts[J1939_Rec_Columns[8].Header_Entry], "Time(ms)");
    EXPECT_EQ(J1939_Rec_Columns[0].Editor, edComboList);
    EXPECT_EQ(UI_Texts[J1939_Send_Columns[5].Header_Entry], "Request");
    EXPECT_EQ(UI_Texts[J1939_Send_Columns[6].Header_Entry], "Data Change");
    EXPECT_EQ(J1939_Send_Columns[9].Width, 115);
    EXPECT_EQ(J1939_Data_Page_Items, (std::vector<std::string>{"0", "1"}));
}

TEST_F(J1939Tables, ReceiveCheck) {
    // DP, PGN, SA, TP, Start, N Byte, Delete, On Request, Time, Mnemonic
    const std::string e1 = "Error in row 1";
    const Row frame{"0", "65226", "5", "N", "", "", "N", "N", "1000", "x"};
    const Row tp500{"1", "1", "1", "Y", "0", "500", "N", "N", "", ""};
    auto request = [](const std::string& time) {
        return Row{"0", "1", "1", "N", "", "", "N", "Y", time};
    };
    const std::vector<Check_Case> cases = {
        {{}, ""},
        {{frame}, ""},
        {{{"", "65226", "5", "N"}}, e1 + "!! Data Page must be 0 or 1"},
        {{{" ", "1", "1"}}, e1 + "!! Data Page must be 0 or 1"},
        {{{"x", "0xFFFF", "239"}, {"1", "65535", "0"}}, ""},
        {{{"0", "65536", "0"}}, e1 + "!! PGN must be between 0x0000 and 0xFFFF"},
        {{{"0", "-1", "0"}}, e1 + "!! PGN must be between 0x0000 and 0xFFFF"},
        {{{"0", "abc", "0"}}, e1 + "!! PGN must be between 0x0000 and 0xFFFF"},
        {{{"0", "1", "240"}}, e1 + "!! Source Address must be between 0 and 239"},
        {{{"0", "1", ""}}, e1 + "!! Source Address must be between 0 and 239"},
        // Transport protocol.
        {{{"0", "1", "1", "Y", "1785", "0"}}, ""},
        {{{"0", "1", "1", "Y", "", "1"}}, e1 + "!! Start Byte must be between 0 and 1785"},
        {{{"0", "1", "1", "Y", "1786", "0"}}, e1 + "!! Start Byte must be between 0 and 1785"},
        {{{"0", "1", "1", "Y", "1000", "786"}},
         e1 + "!! Start Byte plus Number Bytes must be between 0 and 1785"},
        {{{"0", "1", "1", "Y", "0", "-1"}},
         e1 + "!! Start Byte plus Number Bytes must be between 0 and 1785"},
        // Single frame: start byte 1..8.
        {{{"0", "1", "1", "N", "1", "7"}, {"0", "1", "1", "N", "7", "1"}}, ""},
        {{{"0", "1", "1", "N", "1", ""}},
         e1 + "!! Start Byte and Number Bytes must be both compiled"},
        {{{"0", "1", "1", "N", "0", "1"}}, e1 + "!! The Start Byte must be between 1 and 8"},
        {{{"0", "1", "1", "N", "9", "1"}}, e1 + "!! The Start Byte must be between 1 and 8"},
        {{{"0", "1", "1", "N", "1", "0"}}, e1 + "!! The Number Bytes must be between 1 and 8"},
        {{{"0", "1", "1", "N", "2", "7"}},
         e1 + "!! The Number Bytes plus Start Byte must be minor of 9"},
        // Byte budget of 512.
        {std::vector<Row>(62, Row{"0", "1", "1", "N", "", ""}), ""},
        {{tp500, frame, frame}, "Error!! Too many bytes of data, the max number is 512"},
        {{tp500, {"0", "1", "1", "N", "1", "4"}, {"0", "1", "1", "N", "", ""}}, ""},
        {{tp500, {"0", "1", "1", "N", "1", "5"}, {"0", "1", "1", "N", "", ""}},
         "Error!! Too many bytes of data, the max number is 512"},
        // On Request time: 0..10000000; no number and negatives refused.
        {{request("0"), request("10000000")}, ""},
        {{request("10000001")}, e1 + "!! Time(ms) must be between 0 and 10000000"},
        {{request("-1")}, e1 + "!! Time(ms) must be between 0 and 10000000"},
        {{request("-5")}, e1 + "!! Time(ms) must be between 0 and 10000000"},
        {{request("abc")}, e1 + "!! Time(ms) must be between 0 and 10000000"},
        {{request("")}, e1 + "!! Time(ms) must be between 0 and 10000000"},
        {{{"0", "1", "1", "N", "", "", "N", "N", "abc"}}, ""},
        // The first faulty row is named; an empty PGN before filled rows is refused.
        {{frame, frame, {"0", "1", "999"}},
         "Error in row 3!! Source Address must be between 0 and 239"},
        {{frame, {"0", "", "", "N", "", "", "N", "N", "1000"}, frame}, "Error in row 2" + Lost_PGN},
        {{frame, {"", "", "", "N", "", "", "N", "N", "", "note"}}, "Error in row 2" + Lost_PGN},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(Check_J1939_Rec(tableOf(J1939_Rec_Columns, cases[i].rows)), cases[i].message);
    }
}

TEST_F(J1939Tables, TransmitCheck) {
    // Priority, DP, PGN, SA, Num Byte, Request, Data Change, On Timer, Send Timer, Mnemonic
    const std::string e1 = "Error in row 1";
    const Row frame{"3", "0", "65226", "1", "8", "N", "N", "N", "", ""};
    const std::vector<Check_Case> cases = {
        {{}, ""},
        {{frame}, ""},
        {{{"7", "1", "0x1FFFF", "255", "1"}, {"0", "0", "131071", "0", "8"}}, ""},
        {{{"8", "0", "1", "1", "8"}}, e1 + "!! Priority must be between 0 and 7"},
        {{{"", "0", "1", "1", "8"}}, e1 + "!! Priority must be between 0 and 7"},
        {{{"0", "", "1", "1", "8"}}, e1 + "!! Data Page must be 0 or 1"},
        {{{"0", "0", "0x20000", "1", "8"}}, e1 + "!! PGN must be between 0x00000 and 0x1FFFF"},
        {{{"0", "0", "1", "256", "8"}}, e1 + "!! Source Address must be between 0 and 255"},
        {{{"0", "0", "1", "1", "0"}}, e1 + "!! Num Byte must be between 1 and512"},
        {{{"0", "0", "1", "1", ""}}, e1 + "!! Num Byte must be between 1 and512"},
        {{{"0", "0", "1", "1", "513"}}, e1 + "!! Num Byte must be between 1 and512"},
        {{{"0", "0", "1", "1", "511"}, {"0", "0", "1", "1", "1"}}, ""},
        {{{"0", "0", "1", "1", "511"}, {"0", "0", "1", "1", "2"}},
         "Error!! Too many bytes of data, the max number is 512"},
        {{{"0", "0", "1", "1", "8", "N", "N", "Y", "1"},
          {"0", "0", "1", "1", "8", "N", "N", "Y", "65535"}},
         ""},
        {{{"0", "0", "1", "1", "8", "N", "N", "Y", "0"}},
         e1 + "!! Send Timer must be between 1 and 65535 ms"},
        {{{"0", "0", "1", "1", "8", "N", "N", "Y", "65536"}},
         e1 + "!! Send Timer must be between 1 and 65535 ms"},
        {{{"0", "0", "1", "1", "8", "N", "N", "N", "65536"}}, ""},
        // A Priority without a PGN, before complete rows: refused instead of saved unchecked.
        {{frame, {"3", "0", "", "", "8", "N", "N", "N"}, frame}, "Error in row 2" + Lost_PGN},
        {{frame, {"3"}}, "Error in row 2" + Lost_PGN},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(Check_J1939_Send(tableOf(J1939_Send_Columns, cases[i].rows)), cases[i].message);
    }
}

TEST_F(J1939Tables, LoadGivesDefaultsToMissingAttributes) {
    const std::string rec = folder.Path("J1939_Rec_Frames.xml");
    WriteBinaryFile(rec, "<Receive_J1939><row DP=\"1\" PGN=\"2\" OnRequest=\"Y\"/>"
                         "<!--between--><other SA=\" 3\" OnReq_Time=\"5\" Mnemonic=\"m\"/>"
                         "</Receive_J1939><!--SW_VERSION = 1.100-->");
    TRow_Table table = New_J1939_Table(J1939_Rec_Columns);
    table.Cell(10, 5) = "left from a cancelled edit";
    EXPECT_TRUE(Load_J1939_Rec(table, rec));
    EXPECT_EQ(rowOf(table, 1), (Row{"1", "2", "", "N", "", "", "N", "Y", "1000", ""}));
    EXPECT_EQ(rowOf(table, 2), (Row{"", "", " 3", "N", "", "", "N", "N", "5", "m"}));
    EXPECT_EQ(rowOf(table, 5), Row(10));

    const std::string send = folder.Path("J1939_Send_Frames.xml");
    WriteBinaryFile(
        send, "<Receive_J1939>"
              // The older sending mode wins over the newer attributes.
              "<row Priority=\"3\" T_Type=\"On Timer\" On_Data_Change=\"Y\" On_Request=\"Y\"/>"
              "<row T_Type=\"on data change\" TP_NByte=\"\" SendTimer=\"10\" Mnemonic=\"m\"/>"
              "<row T_Type=\"other\" On_Timer=\"Y\"/>"
              "<row On_Data_Change=\"Y\" On_Timer=\"y\" TP_NByte=\"20\" DP=\"1\"/>"
              "</Receive_J1939>");
    TRow_Table sent = New_J1939_Table(J1939_Send_Columns);
    EXPECT_TRUE(Load_J1939_Send(sent, send));
    EXPECT_EQ(rowOf(sent, 1), (Row{"3", "", "", "", "8", "N", "N", "Y", "", ""}));
    EXPECT_EQ(rowOf(sent, 2), (Row{"", "", "", "", "8", "N", "Y", "N", "10", "m"}));
    EXPECT_EQ(rowOf(sent, 3), (Row{"", "", "", "", "8", "N", "N", "N", "", ""}));
    EXPECT_EQ(rowOf(sent, 4), (Row{"", "1", "", "", "20", "N", "Y", "y", "", ""}));

    // No file: the empty table; more rows than the table: the first 62; a bad file: empty.
    EXPECT_FALSE(Load_J1939_Send(sent, folder.Path("none.xml")));
    EXPECT_EQ(rowOf(sent, 1), Row(10));
    std::string many = "<r>";
    for (int i = 0; i < 70; ++i) many += "<row PGN=\"" + std::to_string(i) + "\"/>";
    WriteBinaryFile(rec, many + "</r>");
    EXPECT_THROW(Load_J1939_Rec(table, rec), Exception); // which names the rows left out
    EXPECT_EQ(table.Cell(2, 62), "61");
    WriteBinaryFile(rec, "<Receive_J1939><row PGN=\"1\"></Receive_J1939>");
    EXPECT_THROW(Load_J1939_Rec(table, rec), Exception);
    EXPECT_EQ(rowOf(table, 1), Row(10));
}

TEST_F(J1939Tables, SaveWritesTheRowsAttributeByAttribute) {
    struct Case {
        bool receive;
        std::vector<Row> rows;
        int written;
    };
    const std::vector<Case> cases = {
        {true, {}, 0},
        {true,
         {{"0", " 12", "1", "Y", "0", "", "N", "Y", "1000", "a \"quoted\" <note> & more"},
          {"1", "0xFFFF", "", "N", "", "10", "Y", "N", "", "ü"}},
         2},
        // The writer ends where the check ends, at the first empty PGN, not at Priority.
        {false,
         {{"3", "0", "1", "2", "8", "Y", "", "Y", "100", "m"}, {"4", "1", "", "5"}, {"4"}},
         1},
    };
    for (const Case& c : cases) {
        const std::vector<TTable_Column>& columns =
            c.receive ? J1939_Rec_Columns : J1939_Send_Columns;
        const std::string path = folder.Path("out.xml");
        const TRow_Table table = tableOf(columns, c.rows);
        if (c.receive)
            Save_J1939_Rec(table, path);
        else
            Save_J1939_Send(table, path);

        TXMLDocument doc(nullptr);
        doc.SetActive(true);
        doc.LoadFromFile(path);
        ASSERT_EQ(doc.ChildNodes().Count(), 2);
        const TXmlNode root = doc.ChildNodes()[0];
        EXPECT_EQ(root.NodeName(), "Receive_J1939");
        EXPECT_EQ(doc.ChildNodes()[1].NodeValue(), "SW_VERSION = 1.100");
        ASSERT_EQ(root.ChildNodes().Count(), c.written);
        for (int r = 0; r < c.written; ++r) {
            const TXmlNode row = root.ChildNodes()[r];
            EXPECT_EQ(row.NodeName(), "row");
            ASSERT_EQ(row.AttributeCount(), int(columns.size()));
            for (int a = 0; a < row.AttributeCount(); ++a) {
                EXPECT_EQ(row.AttributeName(a), columns[std::size_t(a)].Attribute);
                EXPECT_EQ(row.GetAttribute(row.AttributeName(a)).AsString(),
                          table.Cell(a + 1, r + 1));
            }
        }
        TRow_Table back = New_J1939_Table(columns);
        if (c.receive)
            Load_J1939_Rec(back, path);
        else
            Load_J1939_Send(back, path);
        for (int r = 1; r <= c.written; ++r) EXPECT_EQ(rowOf(back, r), rowOf(table, r));
    }
}

TEST_F(J1939Tables, SavedTablesCompileLikeHandWrittenFiles) {
    const std::vector<Row> rec = {
        {"0", "65226", "5", "N", "", "", "Y", "N", "1000", "dm1"},
        {"1", "0xFEF1", "3", "N", "2", "4", "N", "Y", "250", ""},
        {"0", "60416", "7", "Y", "0", "100", "", "y", "0", ""},
    };
    const std::vector<Row> send = {
        {"6", "0", "65226", "1", "8", "Y", "N", "Y", "100", "dm1"},
        {"3", "1", "0x1F805", "255", "43", "N", "y", "N", "", ""},
    };
    ASSERT_EQ(Check_J1939_Rec(tableOf(J1939_Rec_Columns, rec)), "");
    ASSERT_EQ(Check_J1939_Send(tableOf(J1939_Send_Columns, send)), "");
    Folder edited;
    Save_J1939_Rec(tableOf(J1939_Rec_Columns, rec), edited.Path("J1939_Rec_Frames.xml"));
    Save_J1939_Send(tableOf(J1939_Send_Columns, send), edited.Path("J1939_Send_Frames.xml"));
    Compile_Bank(9, edited.Dir());
    Save_Bank(9, edited.Dir());

    Folder hand;
    WriteBinaryFile(
        hand.Path("J1939_Rec_Frames.xml"),
        "<Receive_J1939>\n"
        " <row DP=\"0\" PGN=\"65226\" SA=\"5\" TP=\"N\" TP_Start=\"\" TP_NByte=\"\" Delete=\"Y\" "
        "OnRequest=\"N\" OnReq_Time=\"1000\" Mnemonic=\"dm1\"/>\n"
        " <row DP=\"1\" PGN=\"0xFEF1\" SA=\"3\" TP=\"N\" TP_Start=\"2\" TP_NByte=\"4\" "
        "Delete=\"N\" OnRequest=\"Y\" OnReq_Time=\"250\" Mnemonic=\"\"/>\n"
        " <row DP=\"0\" PGN=\"60416\" SA=\"7\" TP=\"Y\" TP_Start=\"0\" TP_NByte=\"100\" "
        "Delete=\"\" OnRequest=\"y\" OnReq_Time=\"0\" Mnemonic=\"\"/>\n"
        "</Receive_J1939>\n<!--SW_VERSION = 1.100-->\n");
    WriteBinaryFile(
        hand.Path("J1939_Send_Frames.xml"),
        "<Receive_J1939>\n"
        " <row Priority=\"6\" DP=\"0\" PGN=\"65226\" SA=\"1\" TP_NByte=\"8\" On_Request=\"Y\" "
        "On_Data_Change=\"N\" On_Timer=\"Y\" SendTimer=\"100\" Mnemonic=\"dm1\"/>\n"
        " <row Priority=\"3\" DP=\"1\" PGN=\"0x1F805\" SA=\"255\" TP_NByte=\"43\" "
        "On_Request=\"N\" On_Data_Change=\"y\" On_Timer=\"N\" SendTimer=\"\" Mnemonic=\"\"/>\n"
        "</Receive_J1939>\n<!--SW_VERSION = 1.100-->\n");
    Compile_Bank(9, hand.Dir());
    Save_Bank(9, hand.Dir());
    // The files were read.
    EXPECT_EQ(PGN_Rx_Table[1].Start_Byte, 2u);
    EXPECT_EQ(PGN_Rx_Table[2].Request_Time, 0u);
    EXPECT_EQ(PGN_Tx_Table[1].Byte_Count, 43u);

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
