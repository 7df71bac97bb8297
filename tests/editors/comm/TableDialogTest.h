#pragma once
// A project folder of its own for the table dialogs, with helpers that fill and read their
// grids and type into their cells.
#include "grid/core/QorColumnGrid.h"
#include "tests/ProjectFolderTest.h"
#include "tests/editors/comm/SavedXml.h"
#include "tests/editors/comm/TableRows.h"

#include <memory>
#include <string>
#include <vector>

class TableDialogTest : public ProjectFolderTest {
protected:
    TableDialogTest() : ProjectFolderTest("table_dialog_", "QS40526") {}

    // A dialog created as at program start for the product type.
    template <class F> std::unique_ptr<F> Create(int type = 25) {
        Set_Product_Type(type);
        auto f = std::make_unique<F>(nullptr);
        f->AfterConstruction();
        return f;
    }

    // Data columns 1.. of a row, as the grid holds them.
    static Row RowOf(TQorColumnGrid* g, int row, int cols) {
        Row r;
        for (int c = 1; c <= cols; ++c) r.push_back(g->Cells(c, row));
        return r;
    }
    static void Fill(TQorColumnGrid* g, int row, const Row& cells) {
        for (std::size_t c = 0; c < cells.size(); ++c) g->SetCells(int(c) + 1, row, cells[c]);
    }
    // Makes (col, row) current and types text into it, ending with Enter (nothing typed: only
    // makes it current); the grid switches its editing on for the cell itself.
    static void Type(TQorColumnGrid* g, int col, int row, const std::string& text) {
        g->SetFocus();
        g->SetCol(g->DisplColIndexOf(col));
        g->SetRow(row);
        if (text.empty()) return;
        uitest::typeText(text);
        uitest::pressKey(VK_RETURN);
    }
    // Clicks the row number of row through the grid's native window.
    static void ClickRowNumber(TQorColumnGrid* g, int row) {
        const TRect r = g->CellRect(0, row);
        uitest::postNativeClickAt(g, TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
        uitest::processMessages();
    }
    // True when the selection is the whole of row, and nothing else.
    static bool RowSelected(TQorColumnGrid* g, int row) {
        const TGridRect s = g->Selection();
        return s.Left == 1 && s.Right == g->ColCount() - 1 && s.Top == row && s.Bottom == row;
    }
    // Makes row current, as a click on it does.
    static void Select(TQorColumnGrid* g, int row) { g->SetRow(row); }

    // OK on a dialog whose file was read in part: No keeps the file as it was and the dialog
    // open; OK again, answered Yes, goes on.
    template <class F>
    static void OkAfterNoThenYes(F* f, const std::string& path, const std::string& kept) {
        uitest::dialogs().QueueAnswer(mrNo);
        uitest::click(f->Btn_OK);
        EXPECT_EQ(f->ModalResult(), mrNone);
        EXPECT_EQ(ReadBinaryFile(path), kept);
        uitest::dialogs().QueueAnswer(mrYes);
        uitest::click(f->Btn_OK);
    }

    // The texts of the boxes shown so far.
    static std::vector<std::string> Shown() { return Asked(); }
};
