// The NMEA 2000 receive and transmit dialogs: load, row buttons, OK with its checks, the
// saved files and the header hints.
#include "editors/frames/ReceiveNMEA.h"
#include "editors/frames/TransmitNMEA.h"
#include "platform/ui/core/SysInfo.h"
#include "tests/editors/comm/TableDialogTest.h"

namespace {

// What sets the two dialogs apart in these tests.
struct Kind {
    const char* name;
    std::unique_ptr<TNmea_Table_Form> (*make)();
    const std::vector<TTable_Column>* columns;
    const std::string* file;
    Row good; // a valid row
    Row bad;  // a row refused with message (in row 1)
    std::string message;
    std::string deleteQuestion;
};

class NmeaDialog : public TableDialogTest {
protected:
    static std::vector<Kind> kinds() {
        return {
            {"receive",
             [] { return std::unique_ptr<TNmea_Table_Form>(new TFReceiveNMEA(nullptr)); },
             &NMEA_Rec_Columns, &File_NMEA_Rec_Frames,
             Row{"127250", "5", "N", "N", "", "", "Y", "heading"},
             Row{"127250", "240", "N", "N", "", "", "N", ""},
             "Error in row 1!! Source Address must be between 0 and 239",
             "Are you sure to delete the Row number "},
            {"transmit",
             [] { return std::unique_ptr<TNmea_Table_Form>(new TFTransmitNMEA(nullptr)); },
             &NMEA_Send_Columns, &File_NMEA_Send_Frames,
             Row{"3", "130306", "1", "N", "8", "Y", "N", "Y", "100", "wind"},
             Row{"3", "130306", "1", "N", "8", "N", "N", "Y", "0", ""},
             "Error in row 1!! Send Timer must be between 1 and 65535 ms",
             "Are you sure to delete the Row number "},
        };
    }
    std::unique_ptr<TNmea_Table_Form> Make(const Kind& k) {
        Set_Product_Type(25);
        std::unique_ptr<TNmea_Table_Form> f = k.make();
        f->AfterConstruction();
        return f;
    }
    static int Cols(const Kind& k) { return int(k.columns->size()); }
};

} // namespace

TEST_F(NmeaDialog, ColumnsHintsAndEmptyRows) {
    auto rec = Make(kinds()[0]);
    uitest::runModal(rec.get(), [&](TCustomForm*) {
        TQorColumnGrid* g = rec->sga;
        EXPECT_EQ(g->RowCount(), 63);
        EXPECT_EQ(g->ColCount(), 9);
        EXPECT_EQ(g->Cells(5, 0), "Start Byte");
        EXPECT_EQ(g->Cells(0, 62), "62");
        EXPECT_EQ(g->ColWidths(8), 195);
        EXPECT_EQ(g->Columns()->Items(3)->Editor(), edDataCheckBox);
        EXPECT_EQ(g->Columns()->Items(3)->Color(), RGB(255, 255, 168));
        EXPECT_TRUE(g->Columns()->Items(1)->HeaderFont()->Style().Contains(fsBold));
        // No file: every cell empty, the check boxes too.
        EXPECT_EQ(RowOf(g, 1, 8), Row(8));
        std::string hint = "cell";
        g->OnGridHint(g, 0, 5, hint);
        EXPECT_EQ(hint, "Insert the First byte of NMEA 2000 Frame to Capture");
        g->OnGridHint(g, 3, 5, hint);
        EXPECT_EQ(hint, "");
        uitest::click(rec->Btn_Cancel);
    });
    auto send = Make(kinds()[1]);
    uitest::runModal(send.get(), [&](TCustomForm*) {
        EXPECT_EQ(send->sga->ColCount(), 11);
        EXPECT_EQ(send->Caption(), "Transmit NMEA 2000 Frames");
        std::string hint;
        send->sga->OnGridHint(send->sga, 0, 9, hint);
        EXPECT_EQ(hint, "Insert the Time in Milliseconds between the NMEA 2000 Frames");
        uitest::click(send->Btn_Cancel);
    });
}

TEST_F(NmeaDialog, LoadGivesDefaultsAndSaveWritesTheRowsBack) {
    for (const Kind& k : kinds()) {
        SCOPED_TRACE(k.name);
        uitest::dialogs().Clear();
        // The first row lacks every attribute but the first two.
        const std::string first = (*k.columns)[0].Attribute, second = (*k.columns)[1].Attribute;
        WriteBinaryFile(*k.file, "<Receive_NMEA_2000><row " + first + "=\"" + k.good[0] + "\" " +
                                     second + "=\"" + k.good[1] + "\"/></Receive_NMEA_2000>");
        auto f = Make(k);
        uitest::runModal(f.get(), [&](TCustomForm*) {
            Row loaded = RowOf(f->sga, 1, Cols(k));
            for (int c = 3; c <= Cols(k); ++c) {
                const bool check = (*k.columns)[std::size_t(c - 1)].Editor == edDataCheckBox;
                EXPECT_EQ(loaded[std::size_t(c - 1)], check ? "N" : "") << c;
            }
            Fill(f->sga, 1, k.good);
            Fill(f->sga, 2, with(k.good, Cols(k), "second <\"&\"> ü"));
            uitest::click(f->Btn_OK);
        });
        EXPECT_EQ(f->ModalResult(), mrOk);
        EXPECT_TRUE(Shown().empty());
        EXPECT_EQ(savedxml::topLevel(*k.file),
                  (std::vector<std::string>{"Receive_NMEA_2000", "SW_VERSION = 1.000"}));
        EXPECT_EQ(savedxml::rows(*k.file, nullptr, attributes(*k.columns)),
                  (std::vector<Row>{k.good, with(k.good, Cols(k), "second <\"&\"> ü")}));
    }
}

TEST_F(NmeaDialog, OkTakesTheTextOfACellStillBeingEdited) {
    auto f = Make(kinds()[0]);
    uitest::runModal(f.get(), [&](TCustomForm*) {
        Type(f->sga, 2, 1, "7");
        Type(f->sga, 1, 1, "");
        uitest::typeText("12");
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(savedxml::rows(File_NMEA_Rec_Frames, nullptr, attributes(NMEA_Rec_Columns)),
              (std::vector<Row>{{"12", "7", "", "", "", "", "", ""}}));
}

TEST_F(NmeaDialog, OkShowsTheFirstErrorAndWritesNothing) {
    for (const Kind& k : kinds()) {
        SCOPED_TRACE(k.name);
        uitest::dialogs().Clear();
        auto f = Make(k);
        uitest::runModal(f.get(), [&](TCustomForm*) {
            Fill(f->sga, 1, k.bad);
            uitest::click(f->Btn_OK);
            EXPECT_EQ(f->ModalResult(), mrNone);
            // An empty key before filled rows would drop them from the file.
            Fill(f->sga, 1, Row(std::size_t(Cols(k))));
            Fill(f->sga, 2, k.good);
            uitest::click(f->Btn_OK);
            EXPECT_EQ(f->ModalResult(), mrNone);
            uitest::click(f->Btn_Cancel);
        });
        EXPECT_EQ(Shown(),
                  (std::vector<std::string>{k.message, "Error in row 1!! PGN"
                                                       " is empty but the row or rows below it are "
                                                       "filled: fill it or delete the row"}));
        EXPECT_FALSE(FileExists(*k.file));
    }
}

TEST_F(NmeaDialog, AFileThatIsNotWellFormedIsReportedAndReplacedOnlyAfterAYes) {
    for (const Kind& k : kinds()) {
        SCOPED_TRACE(k.name);
        uitest::dialogs().Clear();
        const std::string broken = "<Receive_NMEA_2000><row PGN=\"1\"></Receive_NMEA_2000>";
        WriteBinaryFile(*k.file, broken);
        auto f = Make(k);
        uitest::runModal(f.get(), [&](TCustomForm*) {
            ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
            EXPECT_EQ(uitest::dialogs().Questions()[0].Kind, dkException);
            EXPECT_EQ(RowOf(f->sga, 1, Cols(k)), Row(std::size_t(Cols(k))));
            EXPECT_EQ(f->sga->Cells(0, 1), "1");
            Fill(f->sga, 1, k.good);
            OkAfterNoThenYes(f.get(), *k.file, broken);
        });
        EXPECT_EQ(f->ModalResult(), mrOk);
        EXPECT_EQ(Shown().back(), UI_Texts[1746]);
        EXPECT_EQ(savedxml::rows(*k.file, nullptr, attributes(*k.columns)),
                  std::vector<Row>{k.good});
    }
}

TEST_F(NmeaDialog, RowButtonsWithTheirQuestions) {
    for (const Kind& k : kinds()) {
        SCOPED_TRACE(k.name);
        uitest::dialogs().Clear();
        auto f = Make(k);
        const int n = Cols(k);
        const Row b = with(k.good, n, "b"), empty(static_cast<std::size_t>(n), "");
        uitest::runModal(f.get(), [&](TCustomForm*) {
            TQorColumnGrid* g = f->sga;
            for (int r = 1; r <= 6; ++r) Fill(g, r, with(k.good, n, std::to_string(r)));
            // Delete row 5: No keeps it; Yes moves row 6 up and empties row 62.
            Fill(g, 62, b);
            Select(g, 5);
            uitest::dialogs().QueueAnswer(mrNo);
            uitest::click(f->Btn_DelRow);
            EXPECT_EQ(g->Cells(n, 5), "5");
            uitest::dialogs().QueueAnswer(mrYes);
            uitest::click(f->Btn_DelRow);
            EXPECT_EQ(g->Cells(n, 5), "6");
            EXPECT_EQ(RowOf(g, 61, n), b);
            EXPECT_EQ(RowOf(g, 62, n), empty);
            EXPECT_EQ(g->Cells(0, 62), "62");
            // Insert at row 2 moves the rows below down; the new row is empty.
            Select(g, 2);
            uitest::click(f->Btn_InsRow);
            EXPECT_EQ(RowOf(g, 2, n), empty);
            EXPECT_EQ(g->Cells(n, 3), "2");
            EXPECT_EQ(RowOf(g, 62, n), b);
            // With the last row used, Insert is refused.
            uitest::click(f->Btn_InsRow);
            EXPECT_EQ(g->Cells(n, 3), "2");
            // Copy row 1, paste into the empty row 2 at once and over row 3 after a Yes.
            Select(g, 1);
            uitest::click(f->Btn_CopyRow);
            Select(g, 2);
            uitest::click(f->Btn_PasteRow);
            EXPECT_EQ(g->Cells(n, 2), "1");
            Select(g, 3);
            uitest::dialogs().QueueAnswer(mrNo);
            uitest::click(f->Btn_PasteRow);
            EXPECT_EQ(g->Cells(n, 3), "2");
            uitest::dialogs().QueueAnswer(mrYes);
            uitest::click(f->Btn_PasteRow);
            EXPECT_EQ(g->Cells(n, 3), "1");
            uitest::click(f->Btn_Cancel);
        });
        EXPECT_EQ(Shown(),
                  (std::vector<std::string>{k.deleteQuestion + "5", k.deleteQuestion + "5",
                                            UI_Texts[1744], UI_Texts[346], UI_Texts[346]}));
        // Shown again, nothing was saved and the earlier copy cannot be pasted.
        uitest::dialogs().Clear();
        uitest::runModal(f.get(), [&](TCustomForm*) {
            EXPECT_EQ(RowOf(f->sga, 1, n), empty);
            Select(f->sga, 1);
            uitest::click(f->Btn_PasteRow);
            EXPECT_EQ(RowOf(f->sga, 1, n), empty);
            uitest::click(f->Btn_Cancel);
        });
        EXPECT_EQ(Shown(), std::vector<std::string>{"Error!!! Copy a valid row before Paste it"});
    }
}

TEST_F(NmeaDialog, AClickOnARowNumberSelectsThatRow) {
    auto f = Make(kinds()[0]);
    uitest::runModal(f.get(), [&](TCustomForm*) {
        ClickRowNumber(f->sga, 3);
        EXPECT_TRUE(RowSelected(f->sga, 3));
        uitest::click(f->Btn_Cancel);
    });
}

// The header double click fits a column to its content and Enter moves on to the next cell,
// only while the program-wide switches are set; they are cleared when the program starts.
TEST_F(NmeaDialog, AutoSizeAndEnterNextActOnlyWhileSwitchedOn) {
    for (const Kind& k : kinds()) {
        SCOPED_TRACE(k.name);
        auto f = Make(k);
        uitest::runModal(f.get(), [&](TCustomForm*) {
            TQorColumnGrid* g = f->sga;
            const int last = Cols(k);
            g->SetCells(last, 1, std::string(60, 'W'));
            for (bool on : {false, true}) {
                Grid_Auto_Size_Enabled = on;
                Grid_Enter_Next_Enabled = on;
                const int before = g->ColWidths(last);
                const TRect header = g->CellRect(last, 0);
                uitest::doubleClick(g, {header.Left + 10, (header.Top + header.Bottom) / 2});
                EXPECT_EQ(g->ColWidths(last) > before, on);
                g->SetFocus();
                g->GotoCell(last, 62);
                uitest::pressKey(VK_RETURN);
                EXPECT_EQ(g->Row() == 1 && g->Col() == 1, on) << "after the last cell: row 1";
                g->GotoCell(2, 5);
                uitest::pressKey(VK_RETURN);
                EXPECT_EQ(g->Row() == 5 && g->Col() == 3, on);
                if (g->EditorMode()) uitest::pressKey(VK_ESCAPE);
            }
            Grid_Auto_Size_Enabled = false;
            Grid_Enter_Next_Enabled = false;
            uitest::click(f->Btn_Cancel);
        });
    }
}

// The desktop says 5 lines per wheel notch: Ctrl+wheel zooms the table by that much and sizes
// its cells to the larger text, the plain wheel moves the current row by it.
TEST_F(NmeaDialog, CtrlWheelZoomsTheTableAndTheWheelMovesTheDesktopsLines) {
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, 5, nullptr, 0);
    auto rec = Make(kinds()[0]);
    uitest::runModal(rec.get(), [&](TCustomForm*) {
        TQorColumnGrid* g = rec->sga;
        Fill(g, 1, kinds()[0].good);
        Type(g, 1, 1, "");
        const int width = g->ColWidths(8), height = g->RowHeights(1);
        const TRect cell = g->CellRect(2, 2);
        const TPoint at{cell.Left + 5, cell.Top + 5};
        uitest::postNativeWheel(g, at, -120, {ssCtrl});
        uitest::processMessages();
        EXPECT_EQ(g->ZoomFactor(), 5);
        EXPECT_GT(g->ColWidths(8), width);
        EXPECT_GT(g->RowHeights(1), height);
        EXPECT_EQ(g->Row(), 1);
        uitest::postNativeWheel(g, at, -120);
        uitest::processMessages();
        EXPECT_EQ(g->Row(), 6);
        uitest::click(rec->Btn_Cancel);
    });
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, 3, nullptr, 0);
}
