// A project filled in the three table dialogs of this build, cell by cell, compiles into the
// same bank files as the same rows written by hand.
#include "editors/comm/KNXAccess.h"
#include "editors/frames/ReceiveNMEA.h"
#include "editors/frames/Set_PDO_Access.h"
#include "editors/frames/Set_SDO_Client_Access.h"
#include "editors/frames/Set_SDO_Server_Access.h"
#include "editors/frames/TransmitNMEA.h"
#include "grid/editors/AsgCombo.h"
#include "tests/editors/comm/TableDialogTest.h"

// Compiles the project files of dir into its bank files (CompileProject.cpp).
void compileProject(const std::string& dir);
void compileProject(int product_type, const std::string& dir);

namespace {

// Enters rows cell by cell the way a user does: a text is typed into the cell (its first key
// opens the editor) and confirmed with Enter, a list cell opens its combo with F2 and its item is
// chosen by keys, a check cell is toggled with the space key. One cell of each kind goes through
// Qt's own event delivery.
class TableDialogsToBank : public TableDialogTest {
protected:
    static void Enter(TFramed_Dialog* f, TQorColumnGrid* g, TFrame_Button* ok,
                      const std::vector<Row>& rows) {
        EXPECT_EQ(uitest::runModal(f,
                                   [&](TCustomForm*) {
                                       g->SetFocus();
                                       for (std::size_t r = 0; r < rows.size(); ++r)
                                           enterRow(g, int(r) + 1, rows[r]);
                                       uitest::click(ok);
                                   }),
                  mrOk);
    }

    // Types rows into g from its first row.
    static void EnterRows(TQorColumnGrid* g, const std::vector<Row>& rows) {
        // As a user clicks into a table that does not have the focus (one on another page).
        if (!g->Focused()) g->SetFocus();
        for (std::size_t r = 0; r < rows.size(); ++r) enterRow(g, int(r) + 1, rows[r]);
    }

private:
    static void goTo(TQorColumnGrid* g, int col, int row) {
        g->SetCol(g->DisplColIndexOf(col));
        g->SetRow(row);
    }
    static void enterRow(TQorColumnGrid* g, int row, const Row& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const int col = int(i) + 1;
            const std::string& text = cells[i];
            goTo(g, col, row);
            switch (g->Columns()->Items(col)->Editor()) {
            case edDataCheckBox:
                for (int n = 0; n < 2 && g->Cells(col, row) != text; ++n) {
                    if (row == 1 && n == 0)
                        uitest::postNativeKey(VK_SPACE, g);
                    else
                        uitest::pressKey(VK_SPACE, {}, g);
                    uitest::processMessages();
                }
                break;
            case edComboList:
                choose(g, col, row, text);
                break;
            default:
                if (!text.empty()) type(g, row, text);
                break;
            }
            ASSERT_FALSE(g->EditMode()) << "row " << row << " column " << col;
            ASSERT_EQ(g->Cells(col, row), text) << "row " << row << " column " << col;
        }
    }
    // Types text into the current cell and confirms it with Enter.
    static void type(TQorColumnGrid* g, int row, const std::string& text) {
        if (row == 1 && text[0] >= '0' && text[0] <= '9') {
            // The opening key through Qt's delivery.
            uitest::postNativeKey(WORD(text[0]), g);
            uitest::processMessages();
        } else {
            uitest::typeText(text.substr(0, 1));
        }
        // The first key opened the editor; it holds the focus for the rest.
        for (std::size_t k = 1; k < text.size(); ++k) uitest::typeText(text.substr(k, 1));
        uitest::pressKey(VK_RETURN);
    }
    // Opens the list of the current cell and picks the item with the keys a user would press.
    static void choose(TQorColumnGrid* g, int col, int row, const std::string& text) {
        TGridCombo* combo = g->GridCombo();
        const bool native = row == 1 && col == 5;
        if (native) {
            // A click on the current cell opens the combo, a click on the combo drops its list,
            // the arrow keys pick and Enter takes the item.
            const TRect r = g->CellRect(g->Col(), row);
            uitest::click(g, {r.Left + 5, r.Top + 5});
            ASSERT_TRUE(combo->Visible());
            uitest::postNativeClick(combo);
            uitest::processMessages();
            ASSERT_TRUE(combo->DroppedDown());
            const int target = combo->Items()->IndexOf(text);
            for (int n = combo->DropDownIndex(); n < target; ++n)
                uitest::postNativeKey(VK_DOWN, combo);
            uitest::postNativeKey(VK_RETURN, combo);
            uitest::processMessages();
            return;
        }
        uitest::pressKey(VK_F2, {}, g);
        ASSERT_TRUE(combo->Visible());
        const int target = combo->Items()->IndexOf(text);
        ASSERT_GE(target, 0) << text;
        if (target == combo->Items()->Count() - 1) uitest::pressKey(VK_END, {}, combo);
        // Each typed key goes to the next item starting with it.
        for (int n = 0; n < 12 && combo->ItemIndex() != target; ++n)
            uitest::typeText(text.substr(0, 1), combo);
        while (combo->ItemIndex() < target) uitest::pressKey(VK_DOWN, {}, combo);
        while (combo->ItemIndex() > target) uitest::pressKey(VK_UP, {}, combo);
        uitest::pressKey(VK_RETURN, {}, combo);
    }
};

} // namespace

TEST_F(TableDialogsToBank, CellsEnteredInTheDialogsCompileLikeHandWrittenFiles) {
    const std::vector<Row> rec = {
        {"127250", "5", "N", "N", "", "", "Y", "heading"},
        {"0x1F805", "3", "N", "Y", "4", "10", "N", ""},
        {"126464", "7", "Y", "N", "0", "100", "", ""},
        {"130306", "1", "N", "N", "7", "1", "N", ""},
    };
    const std::vector<Row> send = {
        {"2", "127250", "1", "N", "8", "Y", "N", "Y", "100", "heading"},
        {"6", "0x1F805", "1", "Y", "43", "N", "Y", "N", "", ""},
    };
    const std::vector<Row> knx = {
        {"Y", "1.1.1", "1/2/3", "Write", "Urgent", "Swap16", "Y", "N", "Y", "N", "Y", "1000", "10",
         "No", "20", "500", "a"},
        {"N", "1.1.2", "5.5.5", "read", "Low", "None", "N", "Y", "N", "Y", "N", "", "0", "3", "9",
         "0", ""},
        {"Y", "1.1.3", "300", "17", "System", "Float16 to Int * 10", "N", "N", "N", "N", "N", "",
         "1438", "7", "1", "0", ""},
    };
    ForceDirectories(Path("bin"));
    auto receive = Create<TFReceiveNMEA>();
    Enter(receive.get(), receive->sga, receive->Btn_OK, rec);
    auto transmit = Create<TFTransmitNMEA>();
    Enter(transmit.get(), transmit->sga, transmit->Btn_OK, send);
    auto access = Create<TFKNXAccess>();
    Enter(access.get(), access->ACG_KNX_in_Write, access->Btn_OK, knx);
    EXPECT_TRUE(uitest::dialogs().Questions().empty());
    compileProject(Dir());

    const std::string hand = Path("hand");
    ForceDirectories(PathJoin(hand, "bin"));
    WriteBinaryFile(
        PathJoin(hand, "NMEA_Rec_Frames.xml"),
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
        PathJoin(hand, "NMEA_Send_Frames.xml"),
        "<Receive_NMEA_2000>\n"
        " <row Priority=\"2\" PGN=\"127250\" SA=\"1\" FP=\"N\" TP_NByte=\"8\" On_Request=\"Y\" "
        "On_Data_Change=\"N\" On_Timer=\"Y\" SendTimer=\"100\" Mnemonic=\"heading\"/>\n"
        " <row Priority=\"6\" PGN=\"0x1F805\" SA=\"1\" FP=\"Y\" TP_NByte=\"43\" On_Request=\"N\" "
        "On_Data_Change=\"Y\" On_Timer=\"N\" SendTimer=\"\" Mnemonic=\"\"/>\n"
        "</Receive_NMEA_2000>\n<!--SW_VERSION = 1.000-->\n");
    WriteBinaryFile(
        PathJoin(hand, "KNX_SetAccess.xml"),
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
    compileProject(hand);

    for (const char* bank : {"bin/bank1.bin", "bin/bank2.bin"}) {
        const std::string mine = ReadBinaryFile(Path(bank));
        EXPECT_FALSE(mine.empty()) << bank;
        EXPECT_TRUE(mine == ReadBinaryFile(PathJoin(hand, bank))) << bank;
    }
}

TEST_F(TableDialogsToBank, CanopenCellsEnteredInTheDialogsCompileLikeHandWrittenFiles) {
    struct Tables {
        std::unique_ptr<TCANopen_Table_Form> form;
        std::vector<Row> first, second;
        std::string file; // the same rows written by hand
    };
    Set_Product_Type(6);
    std::vector<Tables> dialogs;
    dialogs.push_back(
        {std::make_unique<TFSet_SDO_Server_Access>(nullptr),
         {{"0x2000", "1", "2", "10", "11", "", "", "speed"},
          {"8193", "0", "4", "0", "1", "2", "1438", ""}},
         {{"$3000", "255", "1", "20", "", "", "", ""}},
         "<SDO_Server_CANopen><SDO_Read>"
         "<row Index=\"0x2000\" SubIndex=\"1\" NByte=\"2\" Address_B1=\"10\" Address_B2=\"11\" "
         "Address_B3=\"\" Address_B4=\"\" Mnemonic=\"speed\"/>"
         "<row Index=\"8193\" SubIndex=\"0\" NByte=\"4\" Address_B1=\"0\" Address_B2=\"1\" "
         "Address_B3=\"2\" Address_B4=\"1438\" Mnemonic=\"\"/></SDO_Read><SDO_Write>"
         "<row Index=\"$3000\" SubIndex=\"255\" NByte=\"1\" Address_B1=\"20\" Address_B2=\"\" "
         "Address_B3=\"\" Address_B4=\"\" Mnemonic=\"\"/></SDO_Write></SDO_Server_CANopen>"});
    dialogs.push_back(
        {std::make_unique<TFSet_SDO_Client_Access>(nullptr),
         {{"5", "0x1000", "1", "1", "100", "3", "", "", "", "a"}},
         {{"127", "0x6000", "2", "2", "0", "Y", "7", "8", "", "", "b"},
          {"1", "4096", "0", "4", "50", "N", "1", "2", "3", "4", ""}},
         "<SDO_Client_CANopen><SDO_Read>"
         "<row Device_ID=\"5\" Index=\"0x1000\" SubIndex=\"1\" NByte=\"1\" Poll_Time=\"100\" "
         "Address_B1=\"3\" Address_B2=\"\" Address_B3=\"\" Address_B4=\"\" Mnemonic=\"a\"/>"
         "</SDO_Read><SDO_Write>"
         "<row Device_ID=\"127\" Index=\"0x6000\" SubIndex=\"2\" NByte=\"2\" Poll_Time=\"0\" "
         "On_Change=\"Y\" Address_B1=\"7\" Address_B2=\"8\" Address_B3=\"\" Address_B4=\"\" "
         "Mnemonic=\"b\"/>"
         "<row Device_ID=\"1\" Index=\"4096\" SubIndex=\"0\" NByte=\"4\" Poll_Time=\"50\" "
         "On_Change=\"N\" Address_B1=\"1\" Address_B2=\"2\" Address_B3=\"3\" Address_B4=\"4\" "
         "Mnemonic=\"\"/></SDO_Write></SDO_Client_CANopen>"});
    dialogs.push_back(
        {std::make_unique<TFSet_PDO_Access>(nullptr),
         {{"0x181", "2", "0", "5999", "", "", "", "", "", "", "100", "rx"}},
         {{"0x201", "1", "7", "", "", "", "", "", "", "", "0", "Y", "tx"},
          {"0x202", "8", "1", "2", "3", "4", "5", "6", "7", "8", "1000", "N", ""}},
         "<PDO_CANopen><Receive_PDO>"
         "<row COB-ID=\"0x181\" Dimension=\"2\" Address_B1=\"0\" Address_B2=\"5999\" "
         "Address_B3=\"\" Address_B4=\"\" Address_B5=\"\" Address_B6=\"\" Address_B7=\"\" "
         "Address_B8=\"\" TimeOut=\"100\" Mnemonic=\"rx\"/></Receive_PDO><Transmit_PDO>"
         "<row COB-ID=\"0x201\" Dimension=\"1\" Address_B1=\"7\" Address_B2=\"\" "
         "Address_B3=\"\" Address_B4=\"\" Address_B5=\"\" Address_B6=\"\" Address_B7=\"\" "
         "Address_B8=\"\" Send_Time=\"0\" On_Change=\"Y\" Mnemonic=\"tx\"/>"
         "<row COB-ID=\"0x202\" Dimension=\"8\" Address_B1=\"1\" Address_B2=\"2\" "
         "Address_B3=\"3\" Address_B4=\"4\" Address_B5=\"5\" Address_B6=\"6\" "
         "Address_B7=\"7\" Address_B8=\"8\" Send_Time=\"1000\" On_Change=\"N\" "
         "Mnemonic=\"\"/></Transmit_PDO></PDO_CANopen>"});
    const char* const files[] = {"SDO_Server_CANopen.xml", "SDO_Client_CANopen.xml",
                                 "PDO_CANopen.xml"};
    ForceDirectories(Path("bin"));
    const std::string hand = Path("hand");
    ForceDirectories(PathJoin(hand, "bin"));
    for (std::size_t i = 0; i < dialogs.size(); ++i) {
        TCANopen_Table_Form* f = dialogs[i].form.get();
        f->AfterConstruction();
        EXPECT_EQ(uitest::runModal(f,
                                   [&](TCustomForm*) {
                                       EnterRows(f->sga, dialogs[i].first);
                                       f->PageControl1->SetActivePage(f->PageControl1->Pages(1));
                                       EnterRows(f->sgb, dialogs[i].second);
                                       uitest::click(f->Btn_OK);
                                   }),
                  mrOk)
            << files[i];
        WriteBinaryFile(PathJoin(hand, files[i]), dialogs[i].file);
    }
    EXPECT_TRUE(uitest::dialogs().Questions().empty());
    compileProject(6, Dir());
    compileProject(6, hand);

    const std::string mine = ReadBinaryFile(Path("bin/bank.bin"));
    ASSERT_GE(mine.size(), 6u);
    // The first SDO server read entry holds its index.
    EXPECT_EQ(mine.substr(4, 2), std::string("\x00\x20", 2));
    EXPECT_TRUE(mine == ReadBinaryFile(PathJoin(hand, "bin/bank.bin")));
}
