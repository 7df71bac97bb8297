#pragma once
// A shown form with a table editor's column grid, as the dialogs set one up: the fixed header
// row and row-number column, then a text column, a combo-list and a combo-edit column with the
// items A, B and C, a "Y"/"N" check column and a read-only text column. goEditing is not set:
// the grid switches it per cell.
#include "grid/core/QorColumnGrid.h"
#include "grid/editors/AsgCombo.h"
#include "grid/editors/QorInplaceEdit.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace edit_fixture {

enum Column { colText = 1, colList = 2, colCombo = 3, colCheck = 4, colReadOnly = 5 };

class EditGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 600, 400);
        grid = new TQorColumnGrid(form.get());
        grid->SetParent(form.get());
        grid->SetBounds(0, 0, 520, 250);
        grid->SetColCount(6);
        grid->SetRowCount(6);
        grid->SynchColumns();
        const TEditorType kinds[] = {edNormal,    edNormal,       edComboList,
                                     edComboEdit, edDataCheckBox, edNormal};
        for (int c = 0; c < 6; ++c) {
            TGridColumnItem* item = grid->Columns()->Items(c);
            item->SetEditor(kinds[c]);
            item->SetWidth(c == 0 ? 30 : 90);
        }
        for (int c : {colList, colCombo})
            for (const char* s : {"A", "B", "C"}) grid->Columns()->Items(c)->ComboItems()->Add(s);
        grid->Columns()->Items(colReadOnly)->SetReadOnly(true);
        for (int r = 1; r < 6; ++r) grid->SetCells(0, r, std::to_string(r));
        form->Show();
        grid->SetFocus();
        uitest::processMessages();
    }
    void TearDown() override {
        form.reset();
        uitest::processMessages();
    }
    // Makes (col, row) current as a user's move does.
    void at(int col, int row) {
        grid->SetCol(col);
        grid->SetRow(row);
    }
    TQorInplaceEdit* editor() { return grid->NormalEdit(); }
    bool editorShown() { return editor() && editor()->Visible(); }
    TGridCombo* combo() { return grid->GridCombo(); }
    bool comboShown() { return combo()->Visible(); }
    // Records the end-of-edit reports.
    void logDone() {
        grid->OnEditingDone = [this](TObject*) { log.push_back("editing done"); };
        grid->OnEditCellDone = [this](TObject*, int c, int r) {
            log.push_back("cell done " + std::to_string(c) + "," + std::to_string(r));
        };
    }

    std::unique_ptr<TForm> form;
    TQorColumnGrid* grid = nullptr;
    std::vector<std::string> log;
};

} // namespace edit_fixture
