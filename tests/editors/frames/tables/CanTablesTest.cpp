#include "editors/frames/tables/CanTables.h"

#include "image/CanImage.h"
#include "image/ImageCompiler.h"
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
    Folder() : TempFolder("can_tables", "bin") {}
};

class CanTables : public ::testing::Test {
protected:
    void SetUp() override { Load_Default_Texts(); }

    static TRow_Table tableOf(const std::vector<TTable_Column>& columns,
                              const std::vector<Row>& rows) {
        return filled(New_CAN_Table(columns), rows);
    }

    Folder folder;
};

struct Check_Case {
    std::vector<Row> rows;
    std::string message; // empty: valid
};

const std::string A = "2.0A (11 bits)";
const std::string B = "2.0B (29 bits)";
const std::string Lost_CobID =
    "!! CobID is empty but the row or rows below it are filled: fill it or delete the row";

// A receive row with the bytes given; the other bytes empty.
Row recRow(const std::string& cob, const std::string& type, const std::string& dim,
           const std::string& timeout, const Row& bytes = {}) {
    Row row{"Y", cob, type, dim, timeout};
    for (std::size_t k = 0; k < 8; ++k) row.push_back(k < bytes.size() ? bytes[k] : "");
    row.push_back("m");
    return row;
}

Row sendRow(const std::string& cob, const std::string& type, const std::string& dim,
            const std::string& on_timer, const std::string& time, const Row& bytes = {}) {
    Row row{"Y", cob, type, dim, "Y", "N", on_timer, time};
    for (std::size_t k = 0; k < 8; ++k) row.push_back(k < bytes.size() ? bytes[k] : "");
    row.push_back("m");
    return row;
}

} // namespace

TEST_F(CanTables, Columns) {
    ASSERT_EQ(CAN_Rec_Columns.size(), 14u);
    ASSERT_EQ(CAN_Send_Columns.size(), 17u);
    EXPECT_EQ(UI_Texts[CAN_Rec_Columns[4].Hint_Entry],
              "Insert the TimeOut in milliseconds of data for each CAN frames, insert 0 do "
              "disable the function");
    EXPECT_EQ(UI_Texts[CAN_Send_Columns[5].Header_Entry], "OnCMD");
    EXPECT_EQ(UI_Texts[CAN_Send_Columns[5].Hint_Entry],
              "Enable or Disable the possibility to send the CAN Frame by Command");
    EXPECT_EQ(UI_Texts[CAN_Send_Columns[15].Hint_Entry],
              "Insert the position of DeviceNet array to place in byte 8 of CAN frame");
    const std::vector<std::string> items = CAN_Byte_Items();
    ASSERT_EQ(items.size(), 1440u);
    EXPECT_EQ(items.front(), "None");
    EXPECT_EQ(items[1], "0");
    EXPECT_EQ(items.back(), "1438");
    const TRow_Table table = New_CAN_Table(CAN_Send_Columns);
    EXPECT_EQ(table.Row_Count(), 512);
    EXPECT_EQ(table.Cell(1, 512), "Y");
}

TEST_F(CanTables, ReceiveCheck) {
    const std::string e1 = "Error row 1";
    const std::string byte = "!! Byte1 must be between 0 and 1438 or None";
    const std::vector<Check_Case> cases = {
        {{}, ""},
        {{recRow("2047", A, "1", "0"), recRow("0x7FF", " " + A, "8", "100000000")}, ""},
        {{recRow("2048", A, "1", "0")}, e1 + "!! CobID must be between 0 and 2047"},
        {{recRow("-1", A, "1", "0")}, e1 + "!! CobID must be between 0 and 2047"},
        {{recRow("2048", B, "1", "0"), recRow("536870911", "", "1", "0")}, ""},
        {{recRow("$1FFFFFFF", "x", "1", "0")}, ""},
        {{recRow("536870912", B, "1", "0")},
         e1 + "!! CobID must be between 0x00000000 and 0x1FFFFFFF"},
        {{recRow("1 ", B, "1", "0")}, e1 + "!! CobID must be between 0x00000000 and 0x1FFFFFFF"},
        {{recRow("1", A, "0", "0")}, e1 + "!! Dimension must be between 1 and 8"},
        {{recRow("1", A, "9", "0")}, e1 + "!! Dimension must be between 1 and 8"},
        {{recRow("1", A, "1", "")}, e1 + "!! TimeOut must be between 0 and 100000000 milliseconds"},
        {{recRow("1", A, "1", "100000001")},
         e1 + "!! TimeOut must be between 0 and 100000000 milliseconds"},
        // Bytes up to the dimension: "None", empty and 0..1438.
        {{recRow("1", A, "8", "0", {"None", "", "0", "1438", "7", "7", "7", "7"})}, ""},
        {{recRow("1", A, "1", "0", {"1439"})}, e1 + byte},
        {{recRow("1", A, "1", "0", {"none"})}, e1 + byte},
        {{recRow("1", A, "1", "0", {"-1"})}, e1 + byte},
        {{recRow("1", A, "3", "0", {"1", "2", "x", "x"})},
         e1 + "!! Byte3 must be between 0 and 1438 or None"},
        {{recRow("1", A, "3", "0", {"1", "2", "3", "x", "9999", "", "", "?"})}, ""},
        {{recRow("1", A, "8", "0", {"1", "2", "3", "4", "5", "6", "7", "1439"})},
         e1 + "!! Byte8 must be between 0 and 1438 or None"},
        // Disabled rows are not checked; the first faulty enabled row is named.
        {{{"N", "junk", "?", "?", "?"}, {" y ", "1", A, "1", "0"}}, ""},
        {{{"n", "1"}, recRow("1", A, "1", "0"), recRow("1", A, "1", "x")},
         "Error row 3!! TimeOut must be between 0 and 100000000 milliseconds"},
        // A blank CobID ends the table: filled rows below it are refused, not dropped.
        {{recRow("1", A, "1", "0"), {"Y", "  "}, recRow("1", A, "1", "0")},
         "Error row 2" + Lost_CobID},
        {{recRow("1", A, "1", "0"), {"N", "", "", "", "", "", "", "", "", "", "", "", "", "m"}},
         "Error row 2" + Lost_CobID},
        // A lone Enable box does not count as a filled row.
        {{recRow("1", A, "1", "0"), {"N"}}, ""},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(Check_CAN_Rec(tableOf(CAN_Rec_Columns, cases[i].rows)), cases[i].message);
    }
}

TEST_F(CanTables, TransmitCheck) {
    const std::string e1 = "Error row 1";
    const std::vector<Check_Case> cases = {
        {{}, ""},
        {{sendRow("2047", A, "1", "N", "x"), sendRow("536870911", B, "8", "Y", "0")}, ""},
        {{sendRow("2048", A, "1", "N", "")}, e1 + "!! CobID must be between 0 and 2047"},
        {{sendRow("536870912", "", "1", "N", "")},
         e1 + "!! CobID must be between 0x00000000 and 0x1FFFFFFF"},
        {{sendRow("1", A, "", "N", "")}, e1 + "!! Dimension must be between 1 and 8"},
        {{sendRow("1", A, "1", "Y", "100000000"), sendRow("1", A, "1", " y", "5")}, ""},
        {{sendRow("1", A, "1", "Y", "x")},
         e1 + "!! Time must be between 0 and 100000000 milliseconds"},
        {{sendRow("1", A, "1", "Y", "100000001")},
         e1 + "!! Time must be between 0 and 100000000 milliseconds"},
        {{sendRow("1", A, "1", "N", "", {"None"}), sendRow("1", A, "2", "N", "", {"0", "1438"})},
         ""},
        {{sendRow("1", A, "1", "N", "", {"1439"})},
         e1 + "!! Byte1 must be between 0 and 1438 or None"},
        {{sendRow("1", A, "2", "N", "", {"1", "NONE"})},
         e1 + "!! Byte2 must be between 0 and 1438 or None"},
        {{sendRow("1", A, "1", "N", "", {"1", "NONE"})}, ""},
        {{{"N", "junk"}, sendRow("1", A, "1", "Y", "")},
         "Error row 2!! Time must be between 0 and 100000000 milliseconds"},
        {{sendRow("1", A, "1", "N", ""), {"Y", "", A}, sendRow("1", A, "1", "N", "")},
         "Error row 2" + Lost_CobID},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(Check_CAN_Send(tableOf(CAN_Send_Columns, cases[i].rows)), cases[i].message);
    }
}

TEST_F(CanTables, LoadGivesDefaultsToMissingAttributes) {
    const std::string rec = folder.Path("CAN_Rec_Frames.xml");
    WriteBinaryFile(rec, "<Receive_Frames><row COBID=\"5\" Byte8=\"None\"/>"
                         "<!--c--><x Enable=\"N\" TimeOut=\" 7\" Mnemonic=\"m\"/>"
                         "</Receive_Frames><!--SW_VERSION = 1.101-->");
    TRow_Table table = New_CAN_Table(CAN_Rec_Columns);
    table.Cell(2, 7) = "left from a cancelled edit";
    EXPECT_TRUE(Load_CAN_Rec(table, rec));
    EXPECT_EQ(rowOf(table, 1),
              (Row{"Y", "5", "", "", "0", "", "", "", "", "", "", "", "None", ""}));
    EXPECT_EQ(rowOf(table, 2), (Row{"N", "", "", "", " 7", "", "", "", "", "", "", "", "", "m"}));
    EXPECT_EQ(rowOf(table, 7), (Row{"Y", "", "", "", "", "", "", "", "", "", "", "", "", ""}));

    const std::string send = folder.Path("CAN_Send_Frames.xml");
    WriteBinaryFile(send, "<Transmit_Frames><row COBID=\"1\"/><row OnTimer=\"Y\"/>"
                          "<row OnTimer=\"Y\" Time=\"\"/><row OnTimer=\"y\"/>"
                          "<row Enable=\"N\" CAN_Type=\"\" OnChange=\"N\" OnCMD=\"Y\" Time=\"9\"/>"
                          "</Transmit_Frames>");
    TRow_Table sent = New_CAN_Table(CAN_Send_Columns);
    EXPECT_TRUE(Load_CAN_Send(sent, send));
    const Row bytes(8);
    auto row = [&](Row head) {
        head.insert(head.end(), bytes.begin(), bytes.end());
        head.push_back("");
        return head;
    };
    EXPECT_EQ(rowOf(sent, 1), row({"Y", "1", A, "", "Y", "N", "N", ""}));
    EXPECT_EQ(rowOf(sent, 2), row({"Y", "", A, "", "Y", "N", "Y", "0"}));
    EXPECT_EQ(rowOf(sent, 3), row({"Y", "", A, "", "Y", "N", "Y", ""}));
    EXPECT_EQ(rowOf(sent, 4), row({"Y", "", A, "", "Y", "N", "y", ""}));
    EXPECT_EQ(rowOf(sent, 5), row({"N", "", "", "", "N", "Y", "N", "9"}));

    // No file: the empty table; 600 rows: the first 512; a bad file: the empty table.
    EXPECT_FALSE(Load_CAN_Send(sent, folder.Path("none.xml")));
    EXPECT_EQ(rowOf(sent, 1)[1], "");
    std::string many = "<Receive_Frames>";
    for (int i = 0; i < 600; ++i) many += "<row COBID=\"" + std::to_string(i) + "\"/>";
    WriteBinaryFile(rec, many + "</Receive_Frames>");
    EXPECT_THROW(Load_CAN_Rec(table, rec), Exception); // which names the rows left out
    EXPECT_EQ(table.Cell(2, 512), "511");
    WriteBinaryFile(rec, "<Receive_Frames><row COBID=\"1\"></Receive_Frames>");
    EXPECT_THROW(Load_CAN_Rec(table, rec), Exception);
    EXPECT_EQ(table.Cell(2, 1), "");
}

TEST_F(CanTables, SaveWritesTheRowsAttributeByAttribute) {
    struct Case {
        bool receive;
        int product_type;
        std::vector<Row> rows;
        int written;
    };
    const std::vector<Case> cases = {
        {true, 5, {}, 0},
        {true,
         5,
         {recRow(" 0x7FF", A, "2", "0", {"None", "1438"}),
          {"N", "junk", "", "x", "", "", "", "", "", "", "", "", "", "a \"q\" <n> & ü"}},
         2},
        // The writer ends where the check ends, at the first blank CobID; no comment for
        // another product type.
        {false,
         9,
         {sendRow("1", B, "1", "Y", "5"), {"Y", " ", A}, sendRow("2", A, "1", "N", "")},
         1},
    };
    for (const Case& c : cases) {
        const std::vector<TTable_Column>& columns = c.receive ? CAN_Rec_Columns : CAN_Send_Columns;
        const std::string path = folder.Path("out.xml");
        const TRow_Table table = tableOf(columns, c.rows);
        if (c.receive)
            Save_CAN_Rec(table, c.product_type, path);
        else
            Save_CAN_Send(table, c.product_type, path);

        TXMLDocument doc(nullptr);
        doc.SetActive(true);
        doc.LoadFromFile(path);
        const TXmlNode root = doc.ChildNodes()[0];
        EXPECT_EQ(root.NodeName(), c.receive ? "Receive_Frames" : "Transmit_Frames");
        if (c.product_type == 5) {
            ASSERT_EQ(doc.ChildNodes().Count(), 2);
            EXPECT_EQ(doc.ChildNodes()[1].NodeValue(), "SW_VERSION = 1.101");
        } else {
            EXPECT_EQ(doc.ChildNodes().Count(), 1);
        }
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
        TRow_Table back = New_CAN_Table(columns);
        if (c.receive)
            Load_CAN_Rec(back, path);
        else
            Load_CAN_Send(back, path);
        for (int r = 1; r <= c.written; ++r) EXPECT_EQ(rowOf(back, r), rowOf(table, r));
    }
}

TEST_F(CanTables, SavedTablesCompileLikeHandWrittenFiles) {
    const std::vector<Row> rec = {
        recRow("0x123", A, "3", "500", {"0", "None", "7"}),
        {"N", "99", B, "1", "0", "3", "", "", "", "", "", "", "", ""},
        recRow("536870911", B, "8", "0", {"1", "2", "3", "4", "5", "6", "7", "1438"}),
    };
    const std::vector<Row> send = {
        sendRow("7", A, "2", "Y", "100", {"10", "11"}),
        {"Y", "0x1FFFFFFF", B, "1", "N", "Y", "N", "", "None", "", "", "", "", "", "", "", ""},
    };
    ASSERT_EQ(Check_CAN_Rec(tableOf(CAN_Rec_Columns, rec)), "");
    ASSERT_EQ(Check_CAN_Send(tableOf(CAN_Send_Columns, send)), "");
    Folder edited;
    Save_CAN_Rec(tableOf(CAN_Rec_Columns, rec), 5, edited.Path("CAN_Rec_Frames.xml"));
    Save_CAN_Send(tableOf(CAN_Send_Columns, send), 5, edited.Path("CAN_Send_Frames.xml"));
    Compile_Bank(5, edited.Dir());
    Save_Bank(5, edited.Dir());

    const std::string no_bytes = " Byte4=\"\" Byte5=\"\" Byte6=\"\" Byte7=\"\" Byte8=\"\"";
    Folder hand;
    WriteBinaryFile(
        hand.Path("CAN_Rec_Frames.xml"),
        "<Receive_Frames>\n"
        " <row Enable=\"Y\" COBID=\"0x123\" CAN_Type=\"2.0A (11 bits)\" Dim=\"3\" "
        "TimeOut=\"500\" Byte1=\"0\" Byte2=\"None\" Byte3=\"7\"" +
            no_bytes +
            " Mnemonic=\"m\"/>\n"
            " <row Enable=\"N\" COBID=\"99\" CAN_Type=\"2.0B (29 bits)\" Dim=\"1\" TimeOut=\"0\" "
            "Byte1=\"3\" Byte2=\"\" Byte3=\"\"" +
            no_bytes +
            " Mnemonic=\"\"/>\n"
            " <row Enable=\"Y\" COBID=\"536870911\" CAN_Type=\"2.0B (29 bits)\" Dim=\"8\" "
            "TimeOut=\"0\" Byte1=\"1\" Byte2=\"2\" Byte3=\"3\" Byte4=\"4\" Byte5=\"5\" "
            "Byte6=\"6\" Byte7=\"7\" Byte8=\"1438\" Mnemonic=\"m\"/>\n"
            "</Receive_Frames>\n<!--SW_VERSION = 1.101-->\n");
    WriteBinaryFile(hand.Path("CAN_Send_Frames.xml"),
                    "<Transmit_Frames>\n"
                    " <row Enable=\"Y\" COBID=\"7\" CAN_Type=\"2.0A (11 bits)\" Dim=\"2\" "
                    "OnChange=\"Y\" OnCMD=\"N\" OnTimer=\"Y\" Time=\"100\" Byte1=\"10\" "
                    "Byte2=\"11\" Byte3=\"\"" +
                        no_bytes +
                        " Mnemonic=\"m\"/>\n"
                        " <row Enable=\"Y\" COBID=\"0x1FFFFFFF\" CAN_Type=\"2.0B (29 bits)\" "
                        "Dim=\"1\" OnChange=\"N\" OnCMD=\"Y\" OnTimer=\"N\" Time=\"\" "
                        "Byte1=\"None\" Byte2=\"\" Byte3=\"\"" +
                        no_bytes +
                        " Mnemonic=\"\"/>\n"
                        "</Transmit_Frames>\n<!--SW_VERSION = 1.101-->\n");
    Compile_Bank(5, hand.Dir());
    Save_Bank(5, hand.Dir());
    // The files were read: two enabled receive frames, then the transmit frames.
    EXPECT_EQ(CAN_Table[0].COB_ID, 0x123u);
    EXPECT_EQ(CAN_Table[1].Byte_Position[7], 1438u);
    EXPECT_EQ(CAN_Table[2].Send_Time, 100u);

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
