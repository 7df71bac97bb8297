// The KNX access table dialog: load, row buttons, OK with its checks and the saved file.
#include "editors/comm/KNXAccess.h"
#include "grid/editors/AsgCombo.h"
#include "grid/editors/QorInplaceEdit.h"
#include "tests/editors/comm/TableDialogTest.h"

#include <map>

namespace {

constexpr int Cols = 17;

// Enable, Source, Dest, APCI, Priority, Format, Extended, ReTest, OnCMD, OnChange, OnTimer,
// Poll Time, Position, Bit Mode, Length, TimeOut, Mnemonic.
const Row Good{"Y", "1.1.1", "1/2/3", "Write", "Low", "None", "N", "N", "N",
               "N", "N",     "",      "10",    "No",  "2",    "0", "m"};

class KNXAccessDialog : public TableDialogTest {
protected:
    void TearDown() override {
        form.reset();
        TableDialogTest::TearDown();
    }
    TFKNXAccess* Make(int type = 25) {
        form = Create<TFKNXAccess>(type);
        return form.get();
    }
    TQorColumnGrid* Grid() const { return form->ACG_KNX_in_Write; }
    std::vector<Row> Saved() const {
        return savedxml::rows(File_KNX_SetAccess, "KNX_in_Write", attributes(KNX_Access_Columns));
    }
    std::unique_ptr<TFKNXAccess> form;
};

} // namespace

TEST_F(KNXAccessDialog, ShowsTheColumnsAndTheResetRows) {
    TFKNXAccess* f = Make();
    uitest::runModal(f, [&](TCustomForm*) {
        TQorColumnGrid* g = Grid();
        EXPECT_EQ(g->RowCount(), 1025);
        EXPECT_EQ(g->ColCount(), 18);
        EXPECT_EQ(g->Cells(0, 0), "N");
        EXPECT_EQ(g->Cells(16, 0), "TimeOut");
        EXPECT_EQ(g->Cells(0, 1024), "1024");
        EXPECT_EQ(RowOf(g, 1024, Cols), with(Row(Cols), 1, "Y"));
        EXPECT_EQ(g->Columns()->Items(5)->Editor(), edComboList);
        EXPECT_EQ(g->Columns()->Items(4)->Editor(), edComboEdit);
        EXPECT_EQ(g->Columns()->Items(6)->ComboItems()->Count(), 10);
        // The Position choices are "0" .. "1438" in this build.
        TStringList* positions = g->Columns()->Items(13)->ComboItems();
        ASSERT_EQ(positions->Count(), 1439);
        EXPECT_EQ((*positions)[1438], "1438");
        EXPECT_EQ(g->ColWidths(6), 110);
        EXPECT_FALSE(f->ACG_KNX_in_Read->Visible());
        EXPECT_EQ(f->ACG_KNX_in_Read->Cells(2, 0), "Source Add");
        for (TFrame_Button* b :
             {f->Btn_OK, f->Btn_DelRow, f->Btn_InsRow, f->Btn_CopyRow, f->Btn_PasteRow})
            EXPECT_TRUE(b->Enabled()) << b->Name();
        uitest::click(f->Btn_Cancel);
    });
}

TEST_F(KNXAccessDialog, EachColumnEditsThroughTheEditorOfItsKind) {
    const std::map<int, std::vector<std::string>> choices = {
        {4, {"Read", "Write"}},
        {5, {"System", "Urgent", "Normal", "Low"}},
        {6,
         {"None", "Swap16", "Swap32", "Swap All", "Int to Float", "Float to Int",
          "Float16 to Float32", "Float16 to Int", "Float16 to Int * 10", "Float16 to Int * 100"}},
        {14, {"No", "0", "1", "2", "3", "4", "5", "6", "7"}},
    };
    TFKNXAccess* f = Make();
    uitest::runModal(f, [&](TCustomForm*) {
        TQorColumnGrid* g = Grid();
        TGridCombo* combo = g->GridCombo();
        g->SetFocus();
        for (int col = 1; col <= Cols; ++col) {
            SCOPED_TRACE(col);
            g->SetCol(col);
            g->SetRow(1);
            uitest::pressKey(VK_F2, {}, g);
            const TEditorType kind = g->Columns()->Items(col)->Editor();
            if (kind == edDataCheckBox) {
                EXPECT_FALSE(g->EditMode());
                EXPECT_FALSE(combo->Visible());
                continue;
            }
            if (kind == edNormal) {
                EXPECT_TRUE(g->NormalEdit() && g->NormalEdit()->Visible());
                uitest::pressKey(VK_ESCAPE);
                continue;
            }
            ASSERT_TRUE(combo->Visible());
            EXPECT_EQ(combo->Style(), kind == edComboList ? csDropDownList : csDropDown);
            if (col == 13) {
                EXPECT_EQ(combo->Items()->Count(), 1439);
            } else {
                std::vector<std::string> items;
                for (int i = 0; i < combo->Items()->Count(); ++i)
                    items.push_back(combo->Items()->Get(i));
                EXPECT_EQ(items, choices.at(col));
            }
            uitest::pressKey(VK_ESCAPE, {}, combo);
        }
        EXPECT_EQ(RowOf(g, 1, Cols), with(Row(Cols), 1, "Y")) << "Escape left every cell as it was";
        // The row numbers and the headers are never edited.
        EXPECT_FALSE(g->CanEditCell(0, 1));
        EXPECT_FALSE(g->CanEditCell(2, 0));
        uitest::click(f->Btn_Cancel);
    });
}

TEST_F(KNXAccessDialog, LoadGivesDefaultsAndStopsAtABadRowThenOkAsksBeforeShortening) {
    const std::string file =
        "<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write>"
        "<row Source_Address=\"1.1.1\" Destination_Address=\"1/2/3\" APCI=\"Write\" "
        "Priority=\"normal\" Extended=\"N\" ReTest=\"N\" On_Change=\"N\" Poll_Time=\"\" "
        "Position=\"10\" Bit_Mode=\"No\" Length=\"2\" Mnemonic=\"m\"/>"
        "<row Destination_Address=\"1/2/4\"/>"
        "<row Source_Address=\"1.1.3\"/>"
        "</KNX_in_Write></BACnet_to_KNX>";
    WriteBinaryFile(File_KNX_SetAccess, file);
    TFKNXAccess* f = Make();
    uitest::whenModalIdle([&](TCustomForm*) {
        // The missing attributes took their defaults; "normal" became "Normal".
        EXPECT_EQ(RowOf(Grid(), 1, Cols), with(with(Good, 5, "Normal"), 16, "0"));
        // The second row lacks Source_Address: reading stopped there.
        EXPECT_EQ(RowOf(Grid(), 2, Cols), with(Row(Cols), 1, "Y"));
        ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
        EXPECT_EQ(uitest::dialogs().Questions()[0].Kind, dkException);
        EXPECT_NE(uitest::dialogs().Questions()[0].Text.find("Source_Address"), std::string::npos);
        // OK asks before the file loses its unread rows; No keeps the file and the dialog.
        OkAfterNoThenYes(f, File_KNX_SetAccess, file);
    });
    EXPECT_EQ(f->ShowModal(), mrOk);
    EXPECT_EQ(Shown().back(), UI_Texts[1746]);
    EXPECT_EQ(uitest::dialogs().Questions().back().Buttons, mbYesNo);
    EXPECT_EQ(Saved(), (std::vector<Row>{with(with(Good, 5, "Normal"), 16, "0")}));

    // A complete file asks nothing.
    uitest::dialogs().Clear();
    EXPECT_EQ(uitest::runModal(f, [&](TCustomForm*) { uitest::click(f->Btn_OK); }), mrOk);
    EXPECT_TRUE(uitest::dialogs().Questions().empty());
}

TEST_F(KNXAccessDialog, OkShowsTheFirstFaultyRowAndWritesNothing) {
    struct Case {
        std::vector<Row> rows;
        std::string message;
    };
    const Case cases[] = {
        {{Good, with(Good, 15, "15")},
         "Error row 2!! [KNX in Write] Length must be between 1 and 14"},
        {{with(Good, 13, "1438")},
         "Error row 1!! [KNX in Write] Position plus Length must be minor or equal to 1439"},
        {{with(Good, 5, "normal")},
         "Error row 1!! [KNX in Write] Priority must be System or Urgent or Normal or Low"},
        // A disabled faulty row is skipped; a blank Source Add before filled rows is refused.
        {{with(with(Good, 1, "N"), 3, "0/0"), with(Good, 2, " "), Good},
         "Error row 2!! [KNX in Write] Source Add is empty but the row or rows below it are "
         "filled: fill it or delete the row"},
    };
    TFKNXAccess* f = Make();
    for (const Case& c : cases) {
        uitest::dialogs().Clear();
        uitest::runModal(f, [&](TCustomForm*) {
            for (std::size_t r = 0; r < c.rows.size(); ++r) Fill(Grid(), int(r) + 1, c.rows[r]);
            uitest::click(f->Btn_OK);
            EXPECT_EQ(f->ModalResult(), mrNone);
            f->SetModalResult(mrCancel);
        });
        EXPECT_EQ(Shown(), std::vector<std::string>{c.message});
        EXPECT_EQ(uitest::dialogs().Questions()[0].Type, mtError);
        EXPECT_FALSE(FileExists(File_KNX_SetAccess));
    }
}

TEST_F(KNXAccessDialog, SaveRoundTrip) {
    const std::vector<Row> rows = {
        Good,
        {"N", " 1.1.2 ", "5.5.5", "17", "System", "Float16 to Int * 100", "Y", "Y", "Y", "Y", "Y",
         "100", "1438", "7", "1", "100000000", "a \"b\" <c> & ü"},
        with(with(Good, 1, ""), 17, ""),
    };
    TFKNXAccess* f = Make();
    EXPECT_EQ(uitest::runModal(f,
                               [&](TCustomForm*) {
                                   for (std::size_t r = 0; r < rows.size(); ++r)
                                       Fill(Grid(), int(r) + 1, rows[r]);
                                   uitest::click(f->Btn_OK);
                               }),
              mrOk);
    EXPECT_EQ(Saved(), rows);
    EXPECT_EQ(savedxml::topLevel(File_KNX_SetAccess),
              (std::vector<std::string>{"BACnet_to_KNX", "SW_VERSION = 1.000"}));
    EXPECT_TRUE(savedxml::rows(File_KNX_SetAccess, "KNX_in_Read", {}).empty());
    // Shown again, the grid holds the saved rows; Cancel writes nothing.
    const std::string saved = ReadBinaryFile(File_KNX_SetAccess);
    uitest::runModal(f, [&](TCustomForm*) {
        for (std::size_t r = 0; r < rows.size(); ++r)
            EXPECT_EQ(RowOf(Grid(), int(r) + 1, Cols), rows[r]);
        Fill(Grid(), 1, with(Good, 17, "changed"));
        uitest::click(f->Btn_Cancel);
    });
    EXPECT_EQ(ReadBinaryFile(File_KNX_SetAccess), saved);
}

TEST_F(KNXAccessDialog, RowButtonsWithTheirQuestions) {
    TFKNXAccess* f = Make();
    const Row a = with(Good, 17, "a"), b = with(Good, 17, "b");
    uitest::runModal(f, [&](TCustomForm*) {
        TQorColumnGrid* g = Grid();
        // Paste before a copy in this showing is refused.
        Select(g, 3);
        uitest::click(f->Btn_PasteRow);
        Fill(g, 1, a);
        Fill(g, 2, b);
        // Insert above row 2 moves b down; the new row starts enabled.
        Select(g, 2);
        uitest::click(f->Btn_InsRow);
        EXPECT_EQ(RowOf(g, 2, Cols), with(Row(Cols), 1, "Y"));
        EXPECT_EQ(RowOf(g, 3, Cols), b);
        EXPECT_EQ(g->Cells(0, 3), "3");
        // Copy row 1 and paste it into the empty row 2: no question.
        Select(g, 1);
        uitest::click(f->Btn_CopyRow);
        EXPECT_TRUE(f->Do_Copy_In_Write);
        Select(g, 2);
        uitest::click(f->Btn_PasteRow);
        EXPECT_EQ(RowOf(g, 2, Cols), a);
        // Pasting over row 3 asks: No keeps b, Yes overwrites it.
        Select(g, 3);
        uitest::dialogs().QueueAnswer(mrNo);
        uitest::click(f->Btn_PasteRow);
        EXPECT_EQ(RowOf(g, 3, Cols), b);
        uitest::dialogs().QueueAnswer(mrYes);
        uitest::click(f->Btn_PasteRow);
        EXPECT_EQ(RowOf(g, 3, Cols), a);
        // Delete asks with the row number: No keeps the rows, Yes moves them up.
        Fill(g, 3, b);
        Select(g, 2);
        uitest::dialogs().QueueAnswer(mrNo);
        uitest::click(f->Btn_DelRow);
        EXPECT_EQ(RowOf(g, 2, Cols), a);
        uitest::dialogs().QueueAnswer(mrYes);
        uitest::click(f->Btn_DelRow);
        EXPECT_EQ(RowOf(g, 2, Cols), b);
        EXPECT_EQ(RowOf(g, 3, Cols), with(Row(Cols), 1, "Y"));
        EXPECT_EQ(RowOf(g, 1024, Cols), Row(Cols));
        EXPECT_EQ(g->Cells(0, 1024), "1024");
        // Insert is refused while the last row is used.
        Fill(g, 1024, a);
        Select(g, 1);
        uitest::click(f->Btn_InsRow);
        EXPECT_EQ(RowOf(g, 1, Cols), a);
        uitest::click(f->Btn_Cancel);
    });
    EXPECT_EQ(Shown(), (std::vector<std::string>{UI_Texts[348], UI_Texts[346], UI_Texts[346],
                                                 "Are you sure to delete the Row number 2",
                                                 "Are you sure to delete the Row number 2",
                                                 UI_Texts[1744]}));
    // A copy of an earlier showing cannot be pasted.
    uitest::dialogs().Clear();
    uitest::runModal(f, [&](TCustomForm*) {
        EXPECT_FALSE(f->Do_Copy_In_Write);
        Select(Grid(), 1);
        uitest::click(f->Btn_PasteRow);
        EXPECT_EQ(RowOf(Grid(), 1, Cols), with(Row(Cols), 1, "Y"));
        uitest::click(f->Btn_Cancel);
    });
    EXPECT_EQ(Shown(), std::vector<std::string>{UI_Texts[348]});
}

TEST_F(KNXAccessDialog, DmxDirectionHidesColumnsAndFixesTheirValues) {
    struct Case {
        const char* par_gen; // nullptr: no file
        bool hidden;
        int width;
        const char* apci;
    };
    const Case cases[] = {
        {nullptr, true, 1126, "Read"},
        {"<Par_Gen><DMX_DMX>1</DMX_DMX><DMX_Num_Channels>20</DMX_Num_Channels></Par_Gen>", true,
         1126, "Read"},
        {"<Par_Gen><DMX_DMX>0</DMX_DMX><DMX_Num_Channels>20</DMX_Num_Channels></Par_Gen>", false,
         1205, "Write"},
    };
    TFKNXAccess* f = Make(11);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.par_gen ? c.par_gen : "no file");
        if (c.par_gen) WriteBinaryFile(File_ParGen, c.par_gen);
        uitest::dialogs().Clear();
        uitest::runModal(f, [&](TCustomForm*) {
            TQorColumnGrid* g = Grid();
            EXPECT_EQ(g->IsHiddenColumn(KNX_APCI), c.hidden);
            EXPECT_EQ(g->IsHiddenColumn(KNX_On_Command), c.hidden);
            EXPECT_EQ(g->IsHiddenColumn(KNX_On_Change), c.hidden);
            EXPECT_EQ(g->AllColWidths(KNX_TimeOut), c.hidden ? 200 : 96);
            EXPECT_EQ(f->ClientWidth(), c.width);
            const int channels = c.par_gen ? 20 : 512;
            EXPECT_EQ(g->Columns()->Items(KNX_Position)->ComboItems()->Count(), channels);
            Fill(g, 1, with(with(Good, KNX_On_Change, "Y"), KNX_Position, "9"));
            // The row operations move the hidden cells with their row.
            Select(g, 1);
            uitest::click(f->Btn_InsRow);
            EXPECT_EQ(g->Cells(KNX_APCI, 2), "Write");
            Select(g, 1);
            f->Btn_DelRow->Click();
            uitest::click(f->Btn_OK);
        });
        EXPECT_EQ(Shown().size(), 1u); // the delete question
        const std::vector<Row> saved = Saved();
        ASSERT_EQ(saved.size(), 1u);
        EXPECT_EQ(saved[0][KNX_APCI - 1], c.apci);
        EXPECT_EQ(saved[0][KNX_On_Change - 1], c.hidden ? "N" : "Y");
    }
}

TEST_F(KNXAccessDialog, AClickOnARowNumberSelectsThatRow) {
    TFKNXAccess* f = Make();
    uitest::runModal(f, [&](TCustomForm*) {
        ClickRowNumber(Grid(), 3);
        EXPECT_TRUE(RowSelected(Grid(), 3));
        uitest::click(f->Btn_Cancel);
    });
}

namespace {
// Types text one key after another, as fast as the clock allows: all within the lists'
// type-ahead time.
void typeKeys(const std::string& text) {
    for (char c : text) uitest::typeText(std::string(1, c));
}
} // namespace

// Each list cell starts a new search: what is typed is what the cell keeps.
TEST_F(KNXAccessDialog, TypedListCellsKeepWhatWasTypedCellAfterCell) {
    TFKNXAccess* f = Make();
    uitest::runModal(f, [&](TCustomForm*) {
        TQorColumnGrid* g = Grid();
        const struct {
            int col, row;
            const char* typed;
        } cells[] = {{13, 1, "814"}, {13, 2, "493"}, {14, 3, "7"}, {13, 3, "1000"}};
        for (const auto& c : cells) {
            Type(g, c.col, c.row, "");
            typeKeys(c.typed);
            uitest::pressKey(VK_RETURN);
        }
        for (const auto& c : cells) EXPECT_EQ(g->Cells(c.col, c.row), c.typed) << c.typed;
        uitest::click(f->Btn_Cancel);
    });
}

// Closing the dialog in any way drops the edit still open; it never comes back, neither in
// the cell nor in the next save.
TEST_F(KNXAccessDialog, AnEditLeftOpenWhenTheDialogClosesNeverComesBack) {
    TFKNXAccess* f = Make();
    uitest::runModal(f, [&](TCustomForm*) {
        Fill(Grid(), 1, Good);
        uitest::click(f->Btn_OK);
    });
    const struct {
        int col;
        const char* typed;
    } edits[] = {{4, "7/7"}, {5, "s"}};
    for (const auto& e : edits) {
        SCOPED_TRACE(e.typed);
        uitest::runModal(f, [&](TCustomForm*) {
            Type(Grid(), e.col, 1, "");
            typeKeys(e.typed);
            ASSERT_TRUE(Grid()->EditMode() || Grid()->EditorMode());
            f->Perform(WM_CLOSE, 0, 0);
        });
        uitest::runModal(f, [&](TCustomForm*) {
            EXPECT_EQ(RowOf(Grid(), 1, Cols), Good);
            EXPECT_FALSE(Grid()->EditMode());
            uitest::click(f->Btn_OK);
            EXPECT_EQ(f->ModalResult(), mrOk) << "nothing to refuse";
        });
        EXPECT_EQ(Saved(), std::vector<Row>{Good});
    }
}

// A showing starts at the top, on the first cell, with the columns as laid out, whatever the
// last showing scrolled, selected or widened.
TEST_F(KNXAccessDialog, EachShowingStartsAtTheTopWithTheLaidOutColumns) {
    TFKNXAccess* f = Make();
    uitest::runModal(f, [&](TCustomForm*) {
        TQorColumnGrid* g = Grid();
        g->SetColWidths(6, 300);
        g->GotoCell(12, 700);
        g->SetTopRow(650);
        uitest::click(f->Btn_Cancel);
    });
    uitest::runModal(f, [&](TCustomForm*) {
        TQorColumnGrid* g = Grid();
        EXPECT_EQ(g->TopRow(), 1);
        EXPECT_EQ(g->LeftCol(), 1);
        EXPECT_EQ(g->Row(), 1);
        EXPECT_EQ(g->Col(), 1);
        EXPECT_EQ(g->ColWidths(6), 110);
        uitest::click(f->Btn_Cancel);
    });
}

// The lists open as wide as their widest item; a double click on a text cell opens its editor;
// an arrow key that reaches the dialog's window moves in the grid.
TEST_F(KNXAccessDialog, ListsDoubleClicksAndArrowsWorkAsAUserExpects) {
    TFKNXAccess* f = Make();
    uitest::runModal(f, [&](TCustomForm*) {
        TQorColumnGrid* g = Grid();
        Type(g, 6, 1, "");
        uitest::pressKey(VK_F2);
        TGridCombo* combo = g->GridCombo();
        ASSERT_TRUE(combo->Visible());
        g->Canvas()->Font()->Assign(g->Font());
        EXPECT_GE(combo->Perform(CB_GETDROPPEDWIDTH, 0, 0),
                  g->Canvas()->TextWidth("Float16 to Int * 100") + 8);
        uitest::pressKey(VK_ESCAPE, {}, combo);

        const TRect cell = g->CellRect(g->DisplColIndexOf(3), 2);
        const TPoint at{(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2};
        uitest::postNativeDoubleClickAt(g, at);
        uitest::processMessages();
        EXPECT_EQ(g->Row(), 2);
        ASSERT_TRUE(g->NormalEdit() && g->NormalEdit()->Visible()) << "the editor is open";
        uitest::pressKey(VK_ESCAPE);

        g->SetFocus();
        uitest::postNativeKey(VK_DOWN, f);
        uitest::processMessages();
        EXPECT_EQ(g->Row(), 3);
        EXPECT_TRUE(g->Focused());
        uitest::click(f->Btn_Cancel);
    });
}
