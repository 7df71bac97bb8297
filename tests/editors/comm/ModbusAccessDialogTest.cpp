// The Modbus RTU and TCP master access-table dialogs: the two pages, load, OK with its checks,
// the saved file and the row buttons on the page shown.
#include "editors/comm/Modbus_TCP_Master_Set_Access.h"
#include "editors/comm/SetAccess.h"
#include "tests/editors/comm/TableDialogTest.h"

namespace {

std::vector<std::string> attributes(const std::vector<TModbus_Column>& columns) {
    std::vector<std::string> names;
    for (const TModbus_Column& c : columns) names.push_back(c.Attribute);
    return names;
}

Row with(Row row, int col, const std::string& text) {
    row[std::size_t(col - 1)] = text;
    return row;
}

// What sets the two dialogs apart in these tests.
struct Kind {
    const char* name;
    TModbus_Master master;
    TModbus_Access_Form* (*make)();
    const std::string* file;
    const char* root;
    const char* comment;
    const char* caption;
    int width;
    Row read; // valid rows
    Row write;
    // A write row refused with message, in row 1.
    Row badWrite;
    std::string message;
};

const Kind Kinds[] = {
    {"RTU",
     TModbus_Master::RTU,
     []() -> TModbus_Access_Form* { return new TFSetAccess(nullptr); },
     &File_ModbusM_SetAccess,
     "EtherNetIP_to_Modbus",
     "SW_VERSION = 1.300",
     "Set Modbus Access",
     1051,
     {"Y", "5", "Holding Register", "0", "2", "1000", "3", "10", "", "N", "m"},
     {"Y", "7", "Coil Status", "100", "8", "N", "0", "Y", "N", "3", "20", "0", "N", "w"},
     {"Y", "7", "Coil Status", "100", "1969", "N", "0", "Y", "N", "3", "20", "0", "N", "w"},
     "Error row 1!! [Modbus Write] NPoint must be between 1 and 1968"},
    {"TCP",
     TModbus_Master::TCP,
     []() -> TModbus_Access_Form* { return new TFModbus_TCP_Master_Set_Access(nullptr); },
     &File_ModbusTCPM_SetAccess,
     "PROFINET_Master_to_Modbus_TCP_Master",
     "SW_VERSION = 1.103",
     "Set Modbus TCP Master Access",
     1007,
     {"Y", "192.168.1.125", "502", "1", "Input Register", "0", "125", "500", "0", "1000", "0", "N",
      "t"},
     {"Y", "10.0.0.2", "502", "2", "Holding Register", "5", "1", "0", "Y", "N", "0", "0", "0", "N",
      ""},
     {"Y", "10.0.0", "502", "2", "Holding Register", "5", "1", "0", "Y", "N", "0", "0", "0", "N",
      ""},
     "Error row 1!! [Modbus Write] Slave IP Address must be a valid TCP IP Address (Ex. "
     "192.168.1.125)"},
};

class ModbusAccessDialog : public TableDialogTest {
protected:
    void TearDown() override {
        form.reset();
        TableDialogTest::TearDown();
    }
    TModbus_Access_Form* Make(const Kind& k) {
        Set_Product_Type(k.master == TModbus_Master::RTU ? 1 : 3);
        form.reset(k.make());
        form->AfterConstruction();
        return form.get();
    }
    static int ReadCols(const Kind& k) { return int(Modbus_Read_Columns(k.master).size()); }
    static int WriteCols(const Kind& k) { return int(Modbus_Write_Columns(k.master).size()); }
    static Row Reset(int cols) { return with(Row(std::size_t(cols)), 1, "Y"); }
    static void ShowPage(TModbus_Access_Form* f, TTabSheet* page) {
        f->PageControl1->SetActivePage(page);
    }
    std::unique_ptr<TModbus_Access_Form> form;
};

} // namespace

TEST_F(ModbusAccessDialog, TwoPagesOfTablesReadPageFirst) {
    for (const Kind& k : Kinds) {
        SCOPED_TRACE(k.name);
        TModbus_Access_Form* f = Make(k);
        EXPECT_EQ(f->Caption(), k.caption);
        EXPECT_EQ(f->ClientWidth(), k.width);
        EXPECT_EQ(f->TS_Modbus_Write->Caption(), "Modbus Write");
        for (int shown = 0; shown < 2; ++shown) {
            uitest::runModal(f, [&](TCustomForm*) {
                EXPECT_EQ(f->PageControl1->ActivePage(), f->TS_Modbus_Read);
                TQorColumnGrid* r = f->ACG_Modbus_Read;
                TQorColumnGrid* w = f->ACG_Modbus_Write;
                EXPECT_EQ(r->RowCount(), 513);
                EXPECT_EQ(w->RowCount(), 513);
                EXPECT_EQ(r->ColCount(), ReadCols(k) + 1);
                EXPECT_EQ(w->ColCount(), WriteCols(k) + 1);
                EXPECT_EQ(r->Cells(0, 0), "N");
                EXPECT_EQ(r->Cells(2, 0),
                          k.master == TModbus_Master::RTU ? "Slave ID" : "Slave IP Address");
                EXPECT_EQ(w->Cells(WriteCols(k), 0), "Mnemonic");
                EXPECT_EQ(RowOf(w, 512, WriteCols(k)), Reset(WriteCols(k)));
                EXPECT_EQ(w->Cells(0, 512), "512");
                const int position = ReadCols(k) - 3;
                EXPECT_EQ(r->Columns()->Items(position)->ComboItems()->Count(), 1439);
                EXPECT_EQ(r->Columns()->Items(1)->Editor(), edDataCheckBox);
                ShowPage(f, f->TS_Modbus_Write);
                uitest::click(f->Btn_Cancel);
            });
        }
    }
}

TEST_F(ModbusAccessDialog, LoadGivesDefaultsAndOkSavesBothSectionsBack) {
    for (const Kind& k : Kinds) {
        SCOPED_TRACE(k.name);
        uitest::dialogs().Clear();
        // Rows without the attributes that have defaults.
        std::string read = "<row", write = "<row";
        const std::vector<TModbus_Column>& rc = Modbus_Read_Columns(k.master);
        const std::vector<TModbus_Column>& wc = Modbus_Write_Columns(k.master);
        for (std::size_t c = 0; c < rc.size(); ++c)
            if (!rc[c].Default)
                read += std::string(" ") + rc[c].Attribute + "=\"" + k.read[c] + "\"";
        for (std::size_t c = 0; c < wc.size(); ++c)
            if (!wc[c].Default)
                write += std::string(" ") + wc[c].Attribute + "=\"" + k.write[c] + "\"";
        WriteBinaryFile(*k.file, std::string("<") + k.root + "><Modbus_Read>" + read +
                                     "/></Modbus_Read><Modbus_Write>" + write +
                                     "/></Modbus_Write></" + k.root + ">");
        TModbus_Access_Form* f = Make(k);
        const Row read2 = with(with(k.read, 1, "N"), ReadCols(k), "a \"b\" <c> & ü");
        uitest::runModal(f, [&](TCustomForm*) {
            Row expected = k.read;
            for (std::size_t c = 0; c < rc.size(); ++c)
                if (rc[c].Default) expected[c] = rc[c].Default;
            EXPECT_EQ(RowOf(f->ACG_Modbus_Read, 1, ReadCols(k)), expected);
            EXPECT_EQ(f->ACG_Modbus_Write->Cells(1, 1), "Y");
            Fill(f->ACG_Modbus_Read, 1, k.read);
            Fill(f->ACG_Modbus_Read, 2, read2);
            Fill(f->ACG_Modbus_Write, 1, k.write);
            uitest::click(f->Btn_OK);
        });
        EXPECT_EQ(f->ModalResult(), mrOk);
        EXPECT_TRUE(Shown().empty());
        EXPECT_EQ(savedxml::topLevel(*k.file), (std::vector<std::string>{k.root, k.comment}));
        EXPECT_EQ(savedxml::rows(*k.file, "Modbus_Read", attributes(rc)),
                  (std::vector<Row>{k.read, read2}));
        EXPECT_EQ(savedxml::rows(*k.file, "Modbus_Write", attributes(wc)),
                  std::vector<Row>{k.write});
        uitest::runModal(f, [&](TCustomForm*) {
            EXPECT_EQ(RowOf(f->ACG_Modbus_Read, 2, ReadCols(k)), read2);
            EXPECT_EQ(RowOf(f->ACG_Modbus_Write, 1, WriteCols(k)), k.write);
            uitest::click(f->Btn_Cancel);
        });
    }
}

TEST_F(ModbusAccessDialog, ALoadStoppedAtABadRowKeepsTheRowsBeforeAndOkAsks) {
    const Kind& k = Kinds[0];
    const std::string file = "<EtherNetIP_to_Modbus><Modbus_Read>"
                             "<row Slave_ID=\"5\" Type=\"Holding Register\" Address=\"0\" "
                             "NPoint=\"2\" PollTime=\"1000\" MaxError=\"3\" Position=\"10\" "
                             "Bit=\"\" Mnemonic=\"m\"/>"
                             "<row Slave_ID=\"6\"/>"
                             "</Modbus_Read><Modbus_Write/></EtherNetIP_to_Modbus>";
    WriteBinaryFile(*k.file, file);
    TModbus_Access_Form* f = Make(k);
    uitest::runModal(f, [&](TCustomForm*) {
        // Reading stopped in row 2 at its first missing attribute.
        EXPECT_EQ(RowOf(f->ACG_Modbus_Read, 1, ReadCols(k)), k.read);
        EXPECT_EQ(RowOf(f->ACG_Modbus_Read, 2, ReadCols(k)), with(Reset(ReadCols(k)), 2, "6"));
        ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
        EXPECT_EQ(uitest::dialogs().Questions()[0].Kind, dkException);
        EXPECT_NE(Shown()[0].find("Type"), std::string::npos) << Shown()[0];
        Select(f->ACG_Modbus_Read, 2);
        uitest::dialogs().QueueAnswer(mrYes);
        uitest::click(f->Btn_DelRow);
        // OK asks before the file loses what was not read; No keeps it.
        uitest::dialogs().QueueAnswer(mrNo);
        uitest::click(f->Btn_OK);
        EXPECT_EQ(f->ModalResult(), mrNone);
        EXPECT_EQ(ReadBinaryFile(*k.file), file);
        uitest::dialogs().QueueAnswer(mrYes);
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(Shown().back(), UI_Texts[1746]);
    EXPECT_EQ(savedxml::rows(*k.file, "Modbus_Read", attributes(Modbus_Read_Columns(k.master))),
              std::vector<Row>{k.read});
}

TEST_F(ModbusAccessDialog, OkShowsTheFirstErrorOfEitherTableAndWritesNothing) {
    for (const Kind& k : Kinds) {
        SCOPED_TRACE(k.name);
        uitest::dialogs().Clear();
        TModbus_Access_Form* f = Make(k);
        uitest::runModal(f, [&](TCustomForm*) {
            // The read table is checked first; a disabled row is not checked.
            const int type = k.master == TModbus_Master::RTU ? 3 : 5;
            Fill(f->ACG_Modbus_Read, 1, with(k.read, type, "Junk"));
            Fill(f->ACG_Modbus_Read, 2, with(with(k.read, 1, "N"), 4, "-5"));
            Fill(f->ACG_Modbus_Write, 1, k.badWrite);
            uitest::click(f->Btn_OK);
            // A blank key before filled rows.
            Fill(f->ACG_Modbus_Write, 1, k.write);
            Fill(f->ACG_Modbus_Write, 3, k.write);
            uitest::click(f->Btn_OK);
            EXPECT_EQ(f->ModalResult(), mrNone);
            uitest::click(f->Btn_Cancel);
        });
        const std::string key = k.master == TModbus_Master::RTU ? "Slave ID" : "Slave IP Address";
        EXPECT_EQ(Shown(),
                  (std::vector<std::string>{k.message, "Error row 2!! [Modbus Write] " + key +
                                                           " is empty but the row or rows below "
                                                           "it are filled: fill it or delete the "
                                                           "row"}));
        EXPECT_FALSE(FileExists(*k.file));
    }
}

TEST_F(ModbusAccessDialog, RowButtonsActOnThePageShown) {
    const Kind& k = Kinds[1];
    TModbus_Access_Form* f = Make(k);
    const int rc = ReadCols(k), wc = WriteCols(k);
    uitest::runModal(f, [&](TCustomForm*) {
        TQorColumnGrid* r = f->ACG_Modbus_Read;
        TQorColumnGrid* w = f->ACG_Modbus_Write;
        Fill(r, 1, k.read);
        Fill(w, 1, k.write);
        // Copy on the read page; the write page refuses to paste it.
        Select(r, 1);
        uitest::click(f->Btn_CopyRow);
        EXPECT_TRUE(f->Do_Copy_In_Read);
        const TRect tab = f->PageControl1->TabRect(1);
        uitest::postNativeClickAt(f->PageControl1, {tab.Left + 8, (tab.Top + tab.Bottom) / 2});
        uitest::processMessages();
        EXPECT_EQ(f->PageControl1->ActivePage(), f->TS_Modbus_Write);
        Select(w, 2);
        uitest::click(f->Btn_PasteRow);
        EXPECT_EQ(RowOf(w, 2, wc), Reset(wc));
        // Insert and delete on the write page leave the read table alone.
        Select(w, 1);
        uitest::postNativeClick(f->Btn_InsRow);
        uitest::processMessages();
        EXPECT_EQ(RowOf(w, 2, wc), k.write);
        EXPECT_EQ(RowOf(r, 2, rc), Reset(rc));
        uitest::dialogs().QueueAnswer(mrYes);
        uitest::click(f->Btn_DelRow);
        EXPECT_EQ(RowOf(w, 1, wc), k.write);
        // Back on the read page the copy pastes, after a Yes over a used row.
        ShowPage(f, f->TS_Modbus_Read);
        Select(r, 2);
        uitest::click(f->Btn_PasteRow);
        EXPECT_EQ(RowOf(r, 2, rc), k.read);
        Select(r, 1);
        uitest::dialogs().QueueAnswer(mrNo);
        uitest::click(f->Btn_PasteRow);
        uitest::click(f->Btn_Cancel);
    });
    EXPECT_EQ(Shown(),
              (std::vector<std::string>{UI_Texts[348], "Are you sure to delete the Row number 1",
                                        UI_Texts[346]}));
}
