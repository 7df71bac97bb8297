// Copy, cut and paste through the desktop clipboard (Qt's, on the offscreen platform): the text
// layout, pasting text of other programs, the grid's own cell format between grids, the smart
// fill of a larger selection and the clipboard keys.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUndo.h"
#include "platform/base/FormatSettings.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/core/Clipbrd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ClipGrid {
    TForm form{nullptr};
    TQorStringGrid* g;
    explicit ClipGrid(int cols = 5, int rows = 8) {
        form.SetBounds(0, 0, 600, 400);
        g = new TQorStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 580, 360);
        g->SetColCount(cols);
        g->SetRowCount(rows);
        TGridOptions o = g->Options();
        o.Include(goEditing);
        o.Include(goRangeSelect);
        g->SetOptions(o);
    }
    void select(int c1, int r1, int c2, int r2) { g->SetSelection(TGridRect{c1, r1, c2, r2}); }
    void fill(int c, int r, std::vector<std::string> texts, bool down = true) {
        for (const std::string& t : texts) {
            g->SetCells(c, r, t);
            down ? ++r : ++c;
        }
    }
    std::vector<std::string> column(int c, int r1, int r2) {
        std::vector<std::string> out;
        for (int r = r1; r <= r2; ++r) out.push_back(g->Cells(c, r));
        return out;
    }
};

UINT cellsFormat() {
    return RegisterClipboardFormat("TQorStringGrid Cells");
}

TEST(GridClipboard, CopiedTextHasRowsCellsAndQuotedLineBreaks) {
    ClipGrid k;
    k.fill(1, 1, {"a", "b"}, false);
    k.fill(1, 2, {"c", "d"}, false);
    k.g->SetCells(3, 1, "two\r\nlines");
    k.g->SetCells(3, 2, "say \"hi\"\rthere");
    struct Case {
        TGridRect sel;
        std::string text;
    } cases[] = {
        {{1, 1, 2, 2}, "a\tb\r\nc\td\r\n"},
        {{1, 1, 2, 1}, "a\tb"},
        // One LF per line break, quotes doubled inside the quoted text.
        {{3, 1, 3, 2}, "\"two\nlines\"\r\n\"say \"\"hi\"\"\nthere\"\r\n"},
    };
    for (const Case& c : cases) {
        k.g->SetSelection(c.sel);
        EXPECT_EQ(k.g->SelectionAsText(), c.text);
        k.g->CopySelectionToClipboard();
        EXPECT_EQ(Clipboard()->AsText(), c.text);
    }
    // An HTML-aware program gets the block as a table.
    const std::string html = Clipboard()->GetAsBytes(RegisterClipboardFormat("HTML Format"));
    EXPECT_NE(html.find("StartFragment:"), std::string::npos);
    EXPECT_NE(html.find("<TABLE"), std::string::npos);
    EXPECT_NE(html.find(">say &quot;hi&quot;<br>there</td>"), std::string::npos);
}

TEST(GridClipboard, PastedTextCountsFieldsGrowsTheGridAndRestoresLineBreaks) {
    ClipGrid k(4, 6);
    int lines = 0, fields = 0;
    EXPECT_EQ(k.g->PasteTextBlock(1, 1, "a\tb\r\nc\td\r\n", lines, fields), 5);
    EXPECT_EQ(k.column(1, 1, 2), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(k.g->Cells(2, 2), "d");
    EXPECT_EQ(k.g->Cells(1, 3), "");

    // A three-field line at the last column grows the grid by two columns, or is cut.
    k.g->PasteTextBlock(3, 4, "x\ty\tz", lines, fields);
    EXPECT_EQ(k.g->ColCount(), 6);
    EXPECT_EQ(k.g->Cells(5, 4), "z");
    ClipGrid fixed(4, 6);
    fixed.g->Navigation()->SetAllowClipboardColGrow(false);
    fixed.g->PasteTextBlock(3, 4, "x\ty\tz", lines, fields);
    EXPECT_EQ(fixed.g->ColCount(), 4);
    EXPECT_EQ(fixed.g->Cells(3, 4), "x");

    // Text of another program: LF line ends, a quoted multi-line field, rows added at the end.
    k.g->PasteTextBlock(1, 4, "p\t\"one\ntwo\"\nq\tr\ns\tt", lines, fields);
    EXPECT_EQ(k.g->Cells(2, 4), "one\r\ntwo");
    EXPECT_EQ(k.column(1, 4, 6), (std::vector<std::string>{"p", "q", "s"}));
    EXPECT_EQ(k.g->RowCount(), 7);
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(fields, 2);

    // A copied multi-line cell comes back with its CR LF.
    k.g->SetCells(2, 1, "l1\r\nl2");
    k.select(2, 1, 2, 1);
    k.g->CopySelectionToClipboard();
    k.select(3, 2, 3, 2);
    k.g->PasteSelectionFromClipboard();
    EXPECT_EQ(k.g->Cells(3, 2), "l1\r\nl2");
}

TEST(GridClipboard, PasteAsksTheApplicationRegistersUndoAndSetsCheckBoxes) {
    ClipGrid k;
    TQorGridUndoRedo undo(nullptr);
    k.g->SetUndoRedo(&undo);
    k.g->AddCheckBox(2, 1, false, true);
    k.g->OnClipboardBeforePasteCell = [](TObject*, int ACol, int, std::string& v, bool& allow) {
        if (ACol == 3) allow = false;
        v = v == "y" ? "Y" : v;
    };
    std::vector<std::string> after;
    k.g->OnClipboardAfterPasteCell = [&](TObject*, int c, int r, const std::string& v) {
        after.push_back(std::to_string(c) + "," + std::to_string(r) + "=" + v);
    };
    k.g->SetCells(1, 1, "old");
    int lines = 0, fields = 0;
    k.g->PasteTextBlock(1, 1, "new\ty\trefused", lines, fields);
    EXPECT_EQ(k.g->Cells(1, 1), "new");
    EXPECT_TRUE(k.g->IsChecked(2, 1));
    EXPECT_EQ(k.g->Cells(3, 1), "");
    EXPECT_EQ(after, (std::vector<std::string>{"1,1=new", "2,1=Y"}));
    k.g->PasteTextBlock(2, 1, "anything", lines, fields);
    EXPECT_FALSE(k.g->IsChecked(2, 1));
    undo.Undo();
    undo.Undo();
    EXPECT_EQ(k.g->Cells(1, 1), "old");
    k.g->SetUndoRedo(nullptr);
}

TEST(GridClipboard, CellsTravelBetweenGridsWithPropertiesAndMergedAreas) {
    ClipGrid a, b;
    a.g->Navigation()->SetAllowFmtClipboard(true);
    b.g->Navigation()->SetAllowFmtClipboard(true);
    a.fill(1, 1, {"m", "", "n"}, false);
    a.g->SetCells(1, 2, "o");
    a.g->MergeCells(1, 1, 2, 1);
    a.g->SetColors(3, 1, clRed);
    a.g->SetFontStyles(1, 2, TFontStyles{fsBold});
    a.select(1, 1, 3, 2);
    a.g->CopySelectionToClipboard();
    EXPECT_TRUE(Clipboard()->HasFormat(cellsFormat()));
    EXPECT_EQ(Clipboard()->AsText(), "m\t\tn\r\no\t\t\r\n");

    b.g->SetCells(1, 1, "kept");
    b.select(2, 3, 2, 3);
    b.g->PasteSelectionFromClipboard();
    EXPECT_EQ(b.g->Cells(2, 3), "m");
    EXPECT_EQ(b.g->Cells(4, 3), "n");
    EXPECT_EQ(b.g->Cells(2, 4), "o");
    EXPECT_EQ(b.g->CellSpan(2, 3), TPoint(1, 0));
    EXPECT_EQ(b.g->Colors(4, 3), clRed);
    EXPECT_TRUE(b.g->FontStyles(2, 4).Contains(fsBold));

    // A copy of the whole grid (its save range, fixed cells included) is pasted as a block too:
    // the target keeps the cells before it and grows to hold the rest.
    a.g->CopyToClipBoard();
    b.select(2, 2, 2, 2);
    b.g->PasteSelectionFromClipboard();
    EXPECT_EQ(b.g->Cells(1, 1), "kept");
    EXPECT_EQ(b.g->Cells(3, 3), "m");
    EXPECT_EQ(b.g->Cells(3, 4), "o");
    EXPECT_EQ(b.g->RowCount(), 10);
}

TEST(GridClipboard, SmartPasteFillsTheSelection) {
    struct Case {
        const char* what;
        std::vector<std::string> copied; // down a column from row 1
        std::vector<std::string> filled; // rows 1..6 after the paste
    } cases[] = {
        {"one value", {"7"}, {"7", "7", "7", "7", "7", "7"}},
        {"integers", {"1", "3"}, {"1", "3", "5", "7", "9", "11"}},
        {"decimals", {"1.5", "2"}, {"1.50", "2.00", "2.50", "3.00", "3.50", "4.00"}},
        {"months",
         {"15/11/2023", "15/12/2023"},
         {"15/11/2023", "15/12/2023", "15/01/2024", "15/02/2024", "15/03/2024", "15/04/2024"}},
        {"days",
         {"30/12/2023", "31/12/2023"},
         {"30/12/2023", "31/12/2023", "01/01/2024", "02/01/2024", "03/01/2024", "04/01/2024"}},
        {"texts ending in numbers",
         {"Item 1", "Item 2"},
         {"Item 1", "Item 2", "Item 3", "Item 4", "Item 5", "Item 6"}},
        {"texts", {"a", "b"}, {"a", "b", "a", "b", "a", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClipGrid k;
        k.g->Navigation()->SetAllowSmartClipboard(true);
        k.fill(4, 1, c.copied);
        k.select(4, 1, 4, int(c.copied.size()));
        k.g->CopySelectionToClipboard();
        k.select(1, 1, 1, 6);
        k.g->PasteSelectionFromClipboard();
        EXPECT_EQ(k.column(1, 1, 6), c.filled);
    }

    // A read-only cell keeps its text; the series goes on past it.
    ClipGrid k;
    k.g->Navigation()->SetAllowSmartClipboard(true);
    k.g->OnCanEditCell = [](TObject*, int r, int, bool& e) { e = r != 3; };
    k.g->SetCells(1, 3, "fixed");
    Clipboard()->SetAsText("1\r\n3\r\n");
    k.select(1, 1, 1, 5);
    k.g->PasteSelectionFromClipboard();
    EXPECT_EQ(k.column(1, 1, 5), (std::vector<std::string>{"1", "3", "fixed", "7", "9"}));

    // Without the option only the block itself is pasted.
    ClipGrid plain;
    plain.select(1, 1, 1, 4);
    plain.g->PasteSelectionFromClipboard();
    EXPECT_EQ(plain.column(1, 1, 4), (std::vector<std::string>{"1", "3", "", ""}));
}

TEST(GridClipboard, CutClearsEditableCellsAsOneUndoStep) {
    ClipGrid k;
    TQorGridUndoRedo undo(nullptr);
    k.g->SetUndoRedo(&undo);
    k.fill(1, 1, {"a", "b", "c"});
    k.g->OnCanEditCell = [](TObject*, int r, int, bool& e) { e = r != 2; };
    k.select(1, 1, 1, 3);
    k.g->CutSelectionToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(k.column(1, 1, 3), (std::vector<std::string>{"", "b", ""}));
    EXPECT_EQ(k.g->LastClipOperation(), coCut);
    undo.Undo();
    EXPECT_EQ(k.column(1, 1, 3), (std::vector<std::string>{"a", "b", "c"}));
    k.g->SetUndoRedo(nullptr);
}

TEST(GridClipboard, SelectionAsTextFillsRawCellsAndGrows) {
    ClipGrid k(3, 3);
    k.select(1, 1, 1, 1);
    k.g->SetSelectionAsText("a\tb\tc\r\n\"x\ny\"\td\r\n");
    EXPECT_EQ(k.g->ColCount(), 4);
    EXPECT_EQ(k.g->RowCount(), 3);
    EXPECT_EQ(k.g->Cells(3, 1), "c");
    EXPECT_EQ(k.g->Cells(1, 2), "x\r\ny");
    EXPECT_EQ(k.g->Cells(2, 2), "d");
}

TEST(GridClipboard, ClipboardKeysThroughQt) {
    ClipGrid k;
    k.form.Show();
    k.g->SetFocus();
    k.fill(1, 1, {"a", "b"});
    k.select(1, 1, 1, 2);
    Clipboard()->SetAsText("before");
    // The keys do nothing unless the navigation settings allow them.
    uitest::postNativeKey('C', TShiftState{ssCtrl}, k.g);
    uitest::processMessages();
    EXPECT_EQ(Clipboard()->AsText(), "before");

    k.g->Navigation()->SetAllowClipboardShortCuts(true);
    uitest::postNativeKey(VK_INSERT, TShiftState{ssCtrl}, k.g);
    uitest::processMessages();
    EXPECT_EQ(Clipboard()->AsText(), "a\r\nb\r\n");

    k.select(2, 3, 2, 3);
    uitest::postNativeKey('V', TShiftState{ssCtrl}, k.g);
    uitest::processMessages();
    EXPECT_EQ(k.column(2, 3, 4), (std::vector<std::string>{"a", "b"}));

    bool allowCut = false;
    k.g->OnClipboardCut = [&](TObject* Sender, bool& Allow) {
        EXPECT_EQ(Sender, k.g);
        Allow = allowCut;
    };
    k.select(2, 3, 2, 4);
    uitest::postNativeKey(VK_DELETE, TShiftState{ssShift}, k.g);
    uitest::processMessages();
    EXPECT_EQ(k.g->Cells(2, 3), "a");
    allowCut = true;
    uitest::postNativeKey('X', TShiftState{ssCtrl}, k.g);
    uitest::processMessages();
    EXPECT_EQ(k.column(2, 3, 4), (std::vector<std::string>{"", ""}));

    k.select(3, 1, 3, 1);
    uitest::postNativeKey(VK_INSERT, TShiftState{ssShift}, k.g);
    uitest::processMessages();
    EXPECT_EQ(k.column(3, 1, 2), (std::vector<std::string>{"a", "b"}));
}

} // namespace
