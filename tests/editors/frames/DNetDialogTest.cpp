// The DeviceNet network and offset dialogs: the slave list with its checks and row buttons,
// the byte offsets of the slave clicked, the check of output positions, the saved files and the
// offsets kept with their slave when a slave is deleted.
#include "editors/frames/DNet.h"
#include "editors/frames/DefOffset.h"
#include "grid/editors/AsgCombo.h"
#include "tests/editors/comm/TableDialogTest.h"

// DNetSavedXml.cpp
std::vector<std::vector<std::string>> savedOutputs(const std::string& path);

namespace {

const std::vector<std::string> Net_Attributes = {"ID", "NB_IN", "NB_OUT", "Mnemonic"};

class DNetDialog : public TableDialogTest {
protected:
    void TearDown() override {
        net.reset();
        offsets.reset();
        TableDialogTest::TearDown();
    }
    TFDNet* Net() {
        if (!net) net = Create<TFDNet>(7);
        return net.get();
    }
    TFDefOffset* Offsets() {
        if (!offsets) offsets = Create<TFDefOffset>(7);
        return offsets.get();
    }
    // Clicks a cell of the slave list as the user does.
    static void ClickSlave(TFDefOffset* f, int row) {
        const TRect r = f->ACG_DN_Slaves->CellRect(1, row);
        uitest::click(f->ACG_DN_Slaves, TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    }
    // Byte, Offset and Mnemonic of every byte row of g.
    static std::vector<Row> Bytes(TQorColumnGrid* g) {
        std::vector<Row> rows;
        for (int r = 1; r < g->RowCount(); ++r)
            rows.push_back({g->Cells(0, r), g->Cells(1, r), g->Cells(2, r)});
        return rows;
    }
    // Per slave saved: its ID, then the offsets of its output bytes.
    static std::vector<Row> SavedOutputs() { return savedOutputs(File_DNETM_DefOff); }
    std::unique_ptr<TFDNet> net;
    std::unique_ptr<TFDefOffset> offsets;
};

const std::string Network = "<DNET_Net><row ID=\"3\" NB_IN=\"2\" NB_OUT=\"1\" Mnemonic=\"a\"/>"
                            "<row ID=\"9\" NB_IN=\"0\" NB_OUT=\"2\" Mnemonic=\"b\"/></DNET_Net>";

} // namespace

TEST_F(DNetDialog, NetworkListIsCheckedAndSaved) {
    TFDNet* f = Net();
    EXPECT_EQ(f->Caption(), "DeviceNet Network");
    EXPECT_EQ(f->ClientWidth(), 609);
    uitest::runModal(f, [&](TCustomForm*) {
        TQorColumnGrid* g = f->ASG;
        EXPECT_EQ(g->RowCount(), 65);
        EXPECT_EQ(g->ColCount(), 5);
        EXPECT_EQ(g->Cells(0, 64), "64");
        EXPECT_EQ(RowOf(g, 0, 4), (Row{"ID", "N BYTE IN", "N BYTE OUT", "MNEMONIC"}));
        EXPECT_EQ(g->ColWidths(0), 45);
        EXPECT_EQ(g->ColWidths(4), 255);
        Fill(g, 1, {"3", "2", "1", "a"});
        Fill(g, 2, {"64", "0", "0", ""});
        uitest::click(f->Btn_OK);
        EXPECT_EQ(f->ModalResult(), mrNone);
        Fill(g, 2, {"", "", "", ""});
        Fill(g, 3, {"9", "0", "2", "b"});
        uitest::click(f->Btn_OK);
        EXPECT_EQ(f->ModalResult(), mrNone);
        // Delete Row asks first; Yes moves the rows below up.
        Select(g, 2);
        uitest::dialogs().QueueAnswer(mrYes);
        uitest::click(f->Btn_DelRow);
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(Shown(), (std::vector<std::string>{
                           "Error in row 2!! ID must be 0 or 63",
                           "Error in row 2!! ID is empty but the row or rows below it are filled: "
                           "fill it or delete the row",
                           "Are you sure to delete the Row number 2"}));
    EXPECT_EQ(savedxml::topLevel(File_DNETM_Net),
              (std::vector<std::string>{"DNET_Net", "SW_VERSION = 1.000"}));
    EXPECT_EQ(savedxml::rows(File_DNETM_Net, nullptr, Net_Attributes),
              (std::vector<Row>{{"3", "2", "1", "a"}, {"9", "0", "2", "b"}}));

    // Shown again, the list is read back.
    uitest::runModal(f, [&](TCustomForm*) {
        EXPECT_EQ(RowOf(f->ASG, 2, 4), (Row{"9", "0", "2", "b"}));
        uitest::click(f->Btn_Cancel);
    });
}

TEST_F(DNetDialog, ANetworkReadInPartIsReplacedOnlyAfterAYes) {
    const std::string broken = "<DNET_Net><row ID=\"3\" NB_IN=\"2\" NB_OUT=\"1\" Mnemonic=\"a\"/>"
                               "<row ID=\"9\" NB_OUT=\"2\" Mnemonic=\"b\"/></DNET_Net>";
    WriteBinaryFile(File_DNETM_Net, broken);
    TFDNet* f = Net();
    uitest::runModal(f, [&](TCustomForm*) {
        ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
        EXPECT_EQ(uitest::dialogs().Questions()[0].Kind, dkException);
        EXPECT_EQ(RowOf(f->ASG, 1, 4), (Row{"3", "2", "1", "a"}));
        // The row stopped at keeps its ID; once completed it is saved with the others.
        EXPECT_EQ(RowOf(f->ASG, 2, 4), (Row{"9", "", "", ""}));
        Fill(f->ASG, 2, {"9", "0", "2", "b"});
        OkAfterNoThenYes(f, File_DNETM_Net, broken);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(Shown().back(), UI_Texts[1746]);
    EXPECT_EQ(savedxml::rows(File_DNETM_Net, nullptr, Net_Attributes),
              (std::vector<Row>{{"3", "2", "1", "a"}, {"9", "0", "2", "b"}}));
}

TEST_F(DNetDialog, OffsetsOfTheSlaveClickedAreShownAndKept) {
    WriteBinaryFile(File_DNETM_Net, Network);
    TFDefOffset* f = Offsets();
    EXPECT_EQ(f->Caption(), "Define Offset");
    EXPECT_EQ(f->ClientWidth(), 482);
    EXPECT_EQ(f->ClientHeight(), 610);
    uitest::runModal(f, [&](TCustomForm*) {
        TQorColumnGrid* s = f->ACG_DN_Slaves;
        EXPECT_EQ(s->RowCount(), 3);
        EXPECT_EQ(s->FixedCols(), 0);
        EXPECT_EQ((Row{s->Cells(0, 0), s->Cells(3, 0)}), (Row{"ID", "Mnemonic"}));
        EXPECT_EQ((Row{s->Cells(0, 2), s->Cells(1, 2), s->Cells(2, 2), s->Cells(3, 2)}),
                  (Row{"9", "0", "2", "b"}));
        EXPECT_TRUE(s->Columns()->Items(0)->ReadOnly());
        TStringList* items = f->ACG_ByteOUT->Columns()->Items(1)->ComboItems();
        ASSERT_EQ(items->Count(), 1440);
        EXPECT_EQ((*items)[0], "None");
        EXPECT_EQ((*items)[1439], "1438");
        EXPECT_EQ(f->ACG_ByteOUT->Columns()->Items(1)->Editor(), edComboList);
        // The first slave is shown at once.
        EXPECT_EQ(f->Slave_Before_Select, 0);
        EXPECT_EQ(Bytes(f->ACG_ByteIN), (std::vector<Row>{{"0", "None", ""}, {"1", "None", ""}}));
        EXPECT_EQ(Bytes(f->ACG_ByteOUT), (std::vector<Row>{{"0", "None", ""}}));
        EXPECT_EQ(f->ACG_ByteIN->Cells(1, 0), "Offset");
        // Typed offsets stay with their slave when another slave is clicked.
        f->PageControl1->SetActivePage(f->TabSheet2);
        Type(f->ACG_ByteOUT, 2, 1, "pump");
        f->ACG_ByteOUT->SetCells(1, 1, "7");
        ClickSlave(f, 2);
        EXPECT_EQ(f->Slave_Before_Select, 1);
        EXPECT_TRUE(Bytes(f->ACG_ByteIN).empty());
        EXPECT_EQ(Bytes(f->ACG_ByteOUT), (std::vector<Row>{{"0", "None", ""}, {"1", "None", ""}}));
        f->ACG_ByteOUT->SetCells(1, 2, "7");
        ClickSlave(f, 1);
        EXPECT_EQ(Bytes(f->ACG_ByteOUT), (std::vector<Row>{{"0", "7", "pump"}}));
        // Two outputs on one position are refused; the second slave's edit was kept.
        uitest::click(f->Btn_OK);
        EXPECT_EQ(f->ModalResult(), mrNone);
        ClickSlave(f, 2);
        f->ACG_ByteOUT->SetCells(1, 2, "8");
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(Shown(), std::vector<std::string>{
                           "Error in ByteOUT! The same byte of BACnet is used in two bytes "
                           "DeviceNet.\n\r( First ID = 3 Byte = 0, Second ID = 9 Byte = 1)"});
    EXPECT_EQ(savedxml::topLevel(File_DNETM_DefOff),
              (std::vector<std::string>{"Define_Offset", "SW_VERSION = 1.000"}));
    EXPECT_EQ(SavedOutputs(), (std::vector<Row>{{"3", "7"}, {"9", "None", "8"}}));
}

TEST_F(DNetDialog, TheSplitterSharesTheHeightBetweenTheSlavesAndTheBytes) {
    TFDefOffset* f = Offsets();
    uitest::runModal(f, [&](TCustomForm*) {
        EXPECT_EQ(f->Splitter1->Top(), f->Panel1->Top() + 162);
        EXPECT_EQ(f->Panel3->Top(), f->Splitter1->Top() + 3);
        const int slaves = f->ACG_DN_Slaves->Height(), pages = f->PageControl1->Height();
        uitest::mouseDown(f->Splitter1, {100, 1});
        uitest::mouseMove(f->Splitter1, {100, 41});
        uitest::mouseUp(f->Splitter1, {100, 1});
        EXPECT_EQ(f->ACG_DN_Slaves->Height(), slaves + 40);
        EXPECT_EQ(f->PageControl1->Height(), pages - 40);
        uitest::click(f->Btn_Cancel);
    });
}

TEST_F(DNetDialog, DeletingASlaveLeavesTheOffsetsOfTheOthersInPlace) {
    WriteBinaryFile(File_DNETM_Net, Network);
    WriteBinaryFile(File_DNETM_DefOff,
                    "<Define_Offset><Nodo_DNET ID=\"3\"><ByteIN/><ByteOUT><row Offset=\"5\" "
                    "Mnemonic=\"x\"/></ByteOUT></Nodo_DNET><Nodo_DNET ID=\"9\"><ByteIN/><ByteOUT>"
                    "<row Offset=\"10\" Mnemonic=\"\"/><row Offset=\"11\" Mnemonic=\"\"/>"
                    "</ByteOUT></Nodo_DNET></Define_Offset>");
    // Slave 3 leaves the network.
    TFDNet* n = Net();
    uitest::runModal(n, [&](TCustomForm*) {
        Select(n->ASG, 1);
        uitest::dialogs().QueueAnswer(mrYes);
        uitest::click(n->Btn_DelRow);
        uitest::click(n->Btn_OK);
    });
    ASSERT_EQ(n->ModalResult(), mrOk);
    TFDefOffset* f = Offsets();
    uitest::runModal(f, [&](TCustomForm*) {
        ASSERT_EQ(f->List_Slaves_DN.size(), 1u);
        EXPECT_EQ(f->ACG_DN_Slaves->Cells(0, 1), "9");
        EXPECT_EQ(Bytes(f->ACG_ByteOUT), (std::vector<Row>{{"0", "10", ""}, {"1", "11", ""}}));
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(SavedOutputs(), (std::vector<Row>{{"9", "10", "11"}}));
}

TEST_F(DNetDialog, WithoutSlavesTheByteGridsAreEmptyAndOkWritesNoNode) {
    TFDefOffset* f = Offsets();
    uitest::runModal(f, [&](TCustomForm*) {
        EXPECT_EQ(f->ACG_DN_Slaves->RowCount(), 1);
        EXPECT_EQ(f->ACG_ByteIN->RowCount(), 1);
        EXPECT_EQ(f->ACG_ByteOUT->Cells(0, 0), "Byte");
        EXPECT_EQ(f->Slave_Before_Select, -1);
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(savedxml::topLevel(File_DNETM_DefOff),
              (std::vector<std::string>{"Define_Offset", "SW_VERSION = 1.000"}));
    EXPECT_TRUE(SavedOutputs().empty());
}

TEST_F(DNetDialog, OffsetsReadInPartAreReplacedOnlyAfterAYes) {
    WriteBinaryFile(File_DNETM_Net, Network);
    const std::string broken =
        "<Define_Offset><Nodo_DNET ID=\"3\"><ByteIN/><ByteOUT><row Offset=\"5\" Mnemonic=\"x\"/>"
        "</ByteOUT></Nodo_DNET><Nodo_DNET ID=\"9\"><ByteIN/></Nodo_DNET></Define_Offset>";
    WriteBinaryFile(File_DNETM_DefOff, broken);
    TFDefOffset* f = Offsets();
    uitest::runModal(f, [&](TCustomForm*) {
        ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
        EXPECT_EQ(uitest::dialogs().Questions()[0].Kind, dkException);
        EXPECT_NE(Shown()[0].find("ByteOUT"), std::string::npos);
        EXPECT_EQ(Bytes(f->ACG_ByteOUT), (std::vector<Row>{{"0", "5", "x"}}));
        OkAfterNoThenYes(f, File_DNETM_DefOff, broken);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(Shown().back(), UI_Texts[1746]);
    EXPECT_EQ(SavedOutputs(), (std::vector<Row>{{"3", "5"}, {"9", "None", "None"}}));
}

TEST_F(DNetDialog, ANetworkReadInPartKeepsTheOffsetsOfTheSlavesItGave) {
    // The second slave's row has no number for ID; the offset file is whole.
    WriteBinaryFile(File_DNETM_Net,
                    "<DNET_Net><row ID=\"3\" NB_IN=\"0\" NB_OUT=\"1\" Mnemonic=\"a\"/>"
                    "<row ID=\"x\" NB_IN=\"0\" NB_OUT=\"2\" Mnemonic=\"b\"/></DNET_Net>");
    WriteBinaryFile(File_DNETM_DefOff,
                    "<Define_Offset><Nodo_DNET ID=\"3\"><ByteIN/><ByteOUT><row Offset=\"5\" "
                    "Mnemonic=\"x\"/></ByteOUT></Nodo_DNET></Define_Offset>");
    TFDefOffset* f = Offsets();
    uitest::runModal(f, [&](TCustomForm*) {
        ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
        EXPECT_NE(Shown()[0].find(File_DNETM_Net), std::string::npos) << Shown()[0];
        ASSERT_EQ(f->List_Slaves_DN.size(), 1u);
        EXPECT_EQ(Bytes(f->ACG_ByteOUT), (std::vector<Row>{{"0", "5", "x"}}));
        uitest::dialogs().QueueAnswer(mrYes);
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(Shown().back(), UI_Texts[1746]);
    EXPECT_EQ(SavedOutputs(), (std::vector<Row>{{"3", "5"}}));
}

TEST_F(DNetDialog, ASlaveClickedThroughItsNativeWindowShowsItsBytes) {
    std::string network = "<DNET_Net>";
    for (int i = 0; i < 8; ++i)
        network += "<row ID=\"" + std::to_string(i) + "\" NB_IN=\"0\" NB_OUT=\"" +
                   std::to_string(i + 1) + "\" Mnemonic=\"\"/>";
    WriteBinaryFile(File_DNETM_Net, network + "</DNET_Net>");
    TFDefOffset* f = Offsets();
    uitest::runModal(f, [&](TCustomForm*) {
        TQorColumnGrid* s = f->ACG_DN_Slaves;
        const TGridCoord middle = s->MouseCoord(s->ClientWidth() / 2, s->ClientHeight() / 2);
        ASSERT_GT(middle.Y, 1);
        ASSERT_LE(middle.Y, 8);
        uitest::postNativeClick(s);
        uitest::processMessages();
        EXPECT_EQ(f->Slave_Before_Select, middle.Y - 1);
        EXPECT_EQ(f->ACG_ByteOUT->RowCount(), middle.Y + 1);
        uitest::click(f->Btn_Cancel);
    });
}

TEST_F(DNetDialog, AnOffsetChosenThroughTheNativeWindowIsSaved) {
    WriteBinaryFile(File_DNETM_Net, Network);
    TFDefOffset* f = Offsets();
    uitest::runModal(f, [&](TCustomForm*) {
        f->PageControl1->SetActivePage(f->TabSheet2);
        TQorColumnGrid* g = f->ACG_ByteOUT;
        // Typing "71" on the Offset cell picks that position from the list; Enter commits it.
        Type(g, 1, 1, "");
        for (WORD key : {WORD('7'), WORD('1'), WORD(VK_RETURN)}) {
            uitest::postNativeKey(key);
            uitest::processMessages();
        }
        EXPECT_EQ(g->Cells(1, 1), "71");
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(SavedOutputs(), (std::vector<Row>{{"3", "71"}, {"9", "None", "None"}}));
}

TEST_F(DNetDialog, AnOffsetStillBeingChosenIsKeptByAnotherSlaveAndByOk) {
    WriteBinaryFile(File_DNETM_Net, Network);
    TFDefOffset* f = Offsets();
    uitest::runModal(f, [&](TCustomForm*) {
        f->PageControl1->SetActivePage(f->TabSheet2);
        TQorColumnGrid* g = f->ACG_ByteOUT;
        // Keys open the list and pick a position from it; no Enter follows.
        auto pick = [&](int row, std::initializer_list<WORD> keys, const std::string& item) {
            SCOPED_TRACE(row);
            Type(g, 1, row, "");
            for (WORD key : keys) {
                uitest::postNativeKey(key);
                uitest::processMessages();
            }
            ASSERT_TRUE(g->EditMode());
            ASSERT_EQ(g->GridCombo()->Text(), item);
        };
        pick(1, {WORD(VK_F2), WORD(VK_DOWN), WORD(VK_DOWN)}, "1");
        ClickSlave(f, 2);
        // No edit stays open over the bytes of the slave now shown.
        EXPECT_FALSE(g->EditMode());
        EXPECT_FALSE(g->GridCombo()->Visible());
        pick(2, {WORD(VK_F2), WORD(VK_DOWN)}, "0");
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(SavedOutputs(), (std::vector<Row>{{"3", "1"}, {"9", "None", "0"}}));
}
