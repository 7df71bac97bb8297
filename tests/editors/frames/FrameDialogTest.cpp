// The J1939 and CAN frame-table dialogs: layout, load, OK with its checks, the saved files and
// the row buttons.
#include "editors/frames/ReceiveCAN.h"
#include "editors/frames/ReceiveJ1939.h"
#include "editors/frames/TransmitCAN.h"
#include "editors/frames/TransmitJ1939.h"
#include "editors/frames/tables/CanTables.h"
#include "editors/frames/tables/J1939Tables.h"
#include "tests/editors/comm/TableDialogTest.h"

namespace {

const std::string A = "2.0A (11 bits)";

// What sets the four dialogs apart in these tests.
struct Kind {
    const char* name;
    TFrame_Table_Form* (*make)();
    const std::vector<TTable_Column>* columns;
    const std::string* file;
    const char* root;
    int rows;
    int width;
    int key;  // the key column
    Row good; // a valid row
    Row bad;  // a row refused with message (in row 1)
    std::string message;
    std::string lost; // the message of an empty key in row 1 before a filled row 2
    std::string deleteQuestion;
};

const Kind Kinds[] = {
    {"J1939 receive",
     []() -> TFrame_Table_Form* { return new TFReceiveJ1939(nullptr); },
     &J1939_Rec_Columns,
     &File_J1939_Rec_Frames,
     "Receive_J1939",
     62,
     876,
     2,
     {"0", "65226", "5", "N", "", "", "N", "Y", "1000", "x"},
     {"0", "65226", "5", "N", "", "", "N", "Y", "abc", "x"},
     "Error in row 1!! Time(ms) must be between 0 and 10000000",
     "Error in row 1!! PGN is empty but the row or rows below it are filled: fill it or delete "
     "the row",
     "Are you sure to delete the Row number "},
    {"J1939 transmit",
     []() -> TFrame_Table_Form* { return new TFTransmitJ1939(nullptr); },
     &J1939_Send_Columns,
     &File_J1939_Send_Frames,
     "Receive_J1939",
     62,
     800,
     3,
     {"3", "0", "61444", "0", "8", "N", "N", "Y", "100", "eng"},
     {"3", "0", "61444", "0", "0", "N", "N", "Y", "100", "eng"},
     "Error in row 1!! Num Byte must be between 1 and512",
     "Error in row 1!! PGN is empty but the row or rows below it are filled: fill it or delete "
     "the row",
     "Are you sure to delete the Row number "},
    {"CAN receive",
     []() -> TFrame_Table_Form* { return new TFReceiveCAN(nullptr); },
     &CAN_Rec_Columns,
     &File_CAN_Rec_Frames,
     "Receive_Frames",
     512,
     1010,
     2,
     {"Y", "0x123", A, "3", "500", "0", "None", "7", "", "", "", "", "", "m"},
     {"Y", "2048", A, "3", "500", "0", "None", "7", "", "", "", "", "", "m"},
     "Error row 1!! CobID must be between 0 and 2047",
     "Error row 1!! CobID is empty but the row or rows below it are filled: fill it or delete "
     "the row",
     "Are you sure to delete the Row number "},
    {"CAN transmit",
     []() -> TFrame_Table_Form* { return new TFTransmitCAN(nullptr); },
     &CAN_Send_Columns,
     &File_CAN_Send_Frames,
     "Transmit_Frames",
     512,
     1100,
     2,
     {"Y", "7", A, "2", "Y", "N", "Y", "100", "10", "11", "", "", "", "", "", "", "m"},
     {"Y", "7", A, "2", "Y", "N", "Y", "x", "10", "11", "", "", "", "", "", "", "m"},
     "Error row 1!! Time must be between 0 and 100000000 milliseconds",
     "Error row 1!! CobID is empty but the row or rows below it are filled: fill it or delete "
     "the row",
     "Are you sure to delete the Row number "},
};

class FrameDialog : public TableDialogTest {
protected:
    void TearDown() override {
        form.reset();
        TableDialogTest::TearDown();
    }
    TFrame_Table_Form* Make(const Kind& k) {
        Set_Product_Type(k.rows == 62 ? 9 : 5);
        form.reset(k.make());
        form->AfterConstruction();
        return form.get();
    }
    static int Cols(const Kind& k) { return int(k.columns->size()); }
    // A reset row: Enable "Y" where the table has one.
    static Row Empty(const Kind& k) {
        Row r(std::size_t(Cols(k)));
        if (k.rows == 512) r[0] = "Y";
        return r;
    }
    std::unique_ptr<TFrame_Table_Form> form;
};

} // namespace

TEST_F(FrameDialog, LayoutOfEachDialog) {
    for (const Kind& k : Kinds) {
        SCOPED_TRACE(k.name);
        TFrame_Table_Form* f = Make(k);
        uitest::runModal(f, [&](TCustomForm*) {
            TQorColumnGrid* g = f->Grid();
            EXPECT_EQ(g->RowCount(), k.rows + 1);
            EXPECT_EQ(g->ColCount(), Cols(k) + 1);
            EXPECT_EQ(f->ClientWidth(), k.width);
            EXPECT_EQ(g->Cells(0, k.rows), std::to_string(k.rows));
            EXPECT_EQ(RowOf(g, k.rows, Cols(k)), Empty(k));
            EXPECT_EQ(g->Cells(Cols(k), 0), "Mnemonic");
            for (int c = 1; c <= Cols(k); ++c) {
                const TTable_Column& column = (*k.columns)[std::size_t(c - 1)];
                TGridColumnItem* item = g->Columns()->Items(c);
                EXPECT_EQ(g->ColWidths(c), column.Width) << c;
                EXPECT_EQ(item->Editor(), column.Editor) << c;
                EXPECT_EQ(item->Color(), column.Color) << c;
                if (column.Editor == edComboList) {
                    EXPECT_GT(item->ComboItems()->Count(), 1) << c;
                }
            }
            for (TFrame_Button* b : {f->Btn_OK, f->Btn_DelRow, f->Btn_InsRow})
                EXPECT_TRUE(b->Enabled()) << b->Name();
            uitest::click(f->Btn_Cancel);
        });
    }
    // The J1939 tables copy no rows and show no header hints; the CAN tables do.
    auto* rec = dynamic_cast<TFReceiveJ1939*>(Make(Kinds[0]));
    EXPECT_EQ(rec->Btn_CopyRow, nullptr);
    EXPECT_EQ(rec->Caption(), "Receive J1939 Frames");
    EXPECT_EQ(rec->sga->Columns()->Items(1)->ComboItems()->Text(), "0\n1\n");
    EXPECT_FALSE(rec->sga->ShowHint());
    auto* can = dynamic_cast<TFTransmitCAN*>(Make(Kinds[3]));
    EXPECT_EQ(can->Btn_PasteRow->Hint(), "Paste the Copied Fields in the Selected Row");
    EXPECT_EQ(can->ACG_CAN_Transmit->DefaultRowHeight(), 22);
    TStringList* bytes = can->ACG_CAN_Transmit->Columns()->Items(16)->ComboItems();
    ASSERT_EQ(bytes->Count(), 1440);
    EXPECT_EQ((*bytes)[0], "None");
    EXPECT_EQ((*bytes)[1439], "1438");
    EXPECT_EQ(can->ACG_CAN_Transmit->Columns()->Items(3)->ComboItems()->Count(), 2);
    uitest::runModal(can, [&](TCustomForm*) {
        std::string hint = "cell";
        can->ACG_CAN_Transmit->OnGridHint(can->ACG_CAN_Transmit, 0, 6, hint);
        EXPECT_EQ(hint, "Enable or Disable the possibility to send the CAN Frame by Command");
        can->ACG_CAN_Transmit->OnGridHint(can->ACG_CAN_Transmit, 1, 6, hint);
        EXPECT_EQ(hint, "");
        uitest::click(can->Btn_Cancel);
    });
}

TEST_F(FrameDialog, LoadGivesDefaultsAndOkSavesTheRowsBack) {
    for (const Kind& k : Kinds) {
        SCOPED_TRACE(k.name);
        uitest::dialogs().Clear();
        // A row with its key alone: every other cell takes its default.
        const TTable_Column& key = (*k.columns)[std::size_t(k.key - 1)];
        WriteBinaryFile(*k.file, std::string("<") + k.root + "><row " + key.Attribute + "=\"" +
                                     k.good[std::size_t(k.key - 1)] + "\"/></" + k.root + ">");
        TFrame_Table_Form* f = Make(k);
        const Row second = with(k.good, Cols(k), "second <\"&\"> ü");
        uitest::runModal(f, [&](TCustomForm*) {
            TQorColumnGrid* g = f->Grid();
            EXPECT_EQ(g->Cells(k.key, 1), k.good[std::size_t(k.key - 1)]);
            for (int c = 1; c <= Cols(k); ++c) {
                const TTable_Column& column = (*k.columns)[std::size_t(c - 1)];
                // The transmit load gives Num Byte 8 and unticked sending modes.
                std::string expected = c == k.key ? g->Cells(c, 1) : column.Default;
                if (k.columns == &J1939_Send_Columns && c == 5) expected = "8";
                EXPECT_EQ(g->Cells(c, 1), expected) << c;
            }
            Fill(g, 1, k.good);
            Fill(g, 2, second);
            uitest::click(f->Btn_OK);
        });
        EXPECT_EQ(f->ModalResult(), mrOk);
        EXPECT_TRUE(Shown().empty());
        const std::string comment = k.rows == 62 ? "SW_VERSION = 1.100" : "SW_VERSION = 1.101";
        EXPECT_EQ(savedxml::topLevel(*k.file), (std::vector<std::string>{k.root, comment}));
        EXPECT_EQ(savedxml::rows(*k.file, nullptr, attributes(*k.columns)),
                  (std::vector<Row>{k.good, second}));
        // Shown again, the grid holds what was saved.
        uitest::runModal(f, [&](TCustomForm*) {
            EXPECT_EQ(RowOf(f->Grid(), 1, Cols(k)), k.good);
            EXPECT_EQ(RowOf(f->Grid(), 2, Cols(k)), second);
            EXPECT_EQ(RowOf(f->Grid(), 3, Cols(k)), Empty(k));
            uitest::click(f->Btn_Cancel);
        });
    }
}

TEST_F(FrameDialog, OkShowsTheFirstErrorAndWritesNothing) {
    for (const Kind& k : Kinds) {
        SCOPED_TRACE(k.name);
        uitest::dialogs().Clear();
        TFrame_Table_Form* f = Make(k);
        uitest::runModal(f, [&](TCustomForm*) {
            Fill(f->Grid(), 1, k.good);
            Fill(f->Grid(), 2, k.bad);
            uitest::click(f->Btn_OK);
            EXPECT_EQ(f->ModalResult(), mrNone);
            // An empty key before filled rows would drop them from the file.
            Fill(f->Grid(), 1, Empty(k));
            Fill(f->Grid(), 2, k.good);
            uitest::click(f->Btn_OK);
            EXPECT_EQ(f->ModalResult(), mrNone);
            uitest::click(f->Btn_Cancel);
        });
        std::string message = k.message;
        message.replace(message.find(" 1"), 2, " 2");
        EXPECT_EQ(Shown(), (std::vector<std::string>{message, k.lost}));
        EXPECT_EQ(uitest::dialogs().Questions()[0].Type, mtError);
        EXPECT_FALSE(FileExists(*k.file));
    }
}

TEST_F(FrameDialog, OnRequestTimeThatIsNoNumberOrNegativeIsRefused) {
    TFrame_Table_Form* f = Make(Kinds[0]);
    const Row good = Kinds[0].good;
    for (const char* time : {"abc", "-1", "", "10000001"}) {
        SCOPED_TRACE(time);
        uitest::dialogs().Clear();
        uitest::runModal(f, [&](TCustomForm*) {
            Fill(f->Grid(), 1, with(good, 9, time));
            uitest::click(f->Btn_OK);
            EXPECT_EQ(f->ModalResult(), mrNone);
            f->SetModalResult(mrCancel);
        });
        EXPECT_EQ(Shown(), std::vector<std::string>{Kinds[0].message});
    }
    EXPECT_EQ(uitest::runModal(f,
                               [&](TCustomForm*) {
                                   Fill(f->Grid(), 1, with(good, 9, "0"));
                                   uitest::click(f->Btn_OK);
                               }),
              mrOk);
}

TEST_F(FrameDialog, AFileThatIsNotWellFormedIsReplacedOnlyAfterAYes) {
    for (const Kind& k : Kinds) {
        SCOPED_TRACE(k.name);
        uitest::dialogs().Clear();
        const std::string broken = std::string("<") + k.root + "><row>";
        WriteBinaryFile(*k.file, broken);
        TFrame_Table_Form* f = Make(k);
        uitest::runModal(f, [&](TCustomForm*) {
            ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
            EXPECT_EQ(uitest::dialogs().Questions()[0].Kind, dkException);
            EXPECT_EQ(RowOf(f->Grid(), 1, Cols(k)), Empty(k));
            Fill(f->Grid(), 1, k.good);
            OkAfterNoThenYes(f, *k.file, broken);
        });
        EXPECT_EQ(f->ModalResult(), mrOk);
        EXPECT_EQ(Shown().back(), UI_Texts[1746]);
        EXPECT_EQ(savedxml::rows(*k.file, nullptr, attributes(*k.columns)),
                  std::vector<Row>{k.good});
    }
}

TEST_F(FrameDialog, RowButtonsWithTheirQuestions) {
    for (const Kind& k : Kinds) {
        SCOPED_TRACE(k.name);
        uitest::dialogs().Clear();
        TFrame_Table_Form* f = Make(k);
        const int n = Cols(k);
        std::vector<std::string> expected;
        uitest::runModal(f, [&](TCustomForm*) {
            TQorColumnGrid* g = f->Grid();
            for (int r = 1; r <= 3; ++r) Fill(g, r, with(k.good, n, std::to_string(r)));
            // Delete row 2: No keeps it; Yes moves row 3 up.
            Select(g, 2);
            uitest::dialogs().QueueAnswer(mrNo);
            uitest::click(f->Btn_DelRow);
            EXPECT_EQ(g->Cells(n, 2), "2");
            uitest::dialogs().QueueAnswer(mrYes);
            uitest::click(f->Btn_DelRow);
            EXPECT_EQ(g->Cells(n, 2), "3");
            EXPECT_EQ(RowOf(g, 3, n), Empty(k));
            EXPECT_EQ(RowOf(g, k.rows, n), Row(std::size_t(n)));
            expected = {k.deleteQuestion + "2", k.deleteQuestion + "2"};
            // Insert at row 1 moves the rows down; the new row is a reset row.
            Select(g, 1);
            uitest::click(f->Btn_InsRow);
            EXPECT_EQ(RowOf(g, 1, n), Empty(k));
            EXPECT_EQ(g->Cells(n, 2), "1");
            EXPECT_EQ(g->Cells(0, 2), "2");
            if (f->Btn_CopyRow) {
                // Copy row 2 and paste it over row 3 after a Yes.
                Select(g, 2);
                uitest::click(f->Btn_CopyRow);
                Select(g, 3);
                uitest::dialogs().QueueAnswer(mrYes);
                uitest::click(f->Btn_PasteRow);
                EXPECT_EQ(g->Cells(n, 3), "1");
                expected.push_back(UI_Texts[346]);
            }
            uitest::click(f->Btn_Cancel);
        });
        EXPECT_EQ(Shown(), expected);
        EXPECT_FALSE(FileExists(*k.file));
    }
}

TEST_F(FrameDialog, TheCanTablesKeepTheTextsOfTheirStartButTransmitHintsFollowEachShowing) {
    auto* rec = dynamic_cast<TFReceiveCAN*>(Make(Kinds[2]));
    auto recHint = [&] {
        std::string hint;
        rec->ACG_CAN_Receive->OnGridHint(rec->ACG_CAN_Receive, 0, 2, hint);
        return hint;
    };
    UI_Texts.Put(1000, "Trame CAN");
    UI_Texts.Put(1030, "CobID ricevuto");
    UI_Texts.Put(1132, "CobID trasmesso");
    uitest::runModal(rec, [&](TCustomForm*) { uitest::click(rec->Btn_Cancel); });
    EXPECT_EQ(rec->Caption(), "Receive CAN Frames Set Access");
    EXPECT_EQ(recHint(), "Insert the CobID of the CAN Frame in receive");

    auto* send = dynamic_cast<TFTransmitCAN*>(Make(Kinds[3]));
    UI_Texts.Put(1100, "Trasmissione");
    UI_Texts.Put(1132, "CobID da trasmettere");
    uitest::runModal(send, [&](TCustomForm*) { uitest::click(send->Btn_Cancel); });
    std::string hint;
    send->ACG_CAN_Transmit->OnGridHint(send->ACG_CAN_Transmit, 0, 2, hint);
    EXPECT_EQ(hint, "CobID da trasmettere");
    EXPECT_EQ(send->Caption(), "Transmit CAN Frames Set Access");
}

TEST_F(FrameDialog, CellsHintedTickedAndTypedThroughTheNativeWindow) {
    auto* can = dynamic_cast<TFTransmitCAN*>(Make(Kinds[3]));
    uitest::runModal(can, [&](TCustomForm*) {
        TQorColumnGrid* g = can->ACG_CAN_Transmit;
        auto at = [&](int col, int row) {
            const TRect r = g->CellRect(col, row);
            return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
        };
        uitest::processMessages();
        // The pointer resting on a header shows the column's hint.
        uitest::postNativeMouseMove(g, at(2, 0));
        uitest::processMessages();
        uitest::advanceClock(Application->HintPause + 10);
        ASSERT_NE(Application->HintWindow(), nullptr);
        EXPECT_EQ(Application->HintWindow()->Text(),
                  "Insert the CobID of the CAN Frame in Transmit");
        Application->CancelHint();
        // A click on Enable clears its tick; CobID takes the digits typed; the Type list takes
        // the item its first character picks.
        uitest::postNativeClickAt(g, at(1, 1));
        g->SetFocus();
        // Each key goes to the window that has the focus once the one before is handled.
        auto keys = [](std::initializer_list<WORD> vks) {
            for (WORD vk : vks) {
                uitest::postNativeKey(vk);
                uitest::processMessages();
            }
        };
        uitest::postNativeClickAt(g, at(2, 1));
        uitest::processMessages();
        keys({'1', '2', VK_RETURN});
        uitest::postNativeClickAt(g, at(3, 1));
        uitest::processMessages();
        keys({'2', VK_RETURN});
        EXPECT_EQ(RowOf(g, 1, 3), (Row{"N", "12", "2.0B (29 bits)"}));
        uitest::click(can->Btn_Cancel);
    });
}
