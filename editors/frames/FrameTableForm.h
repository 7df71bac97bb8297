#pragma once
// What the frame-table dialogs (NMEA 2000, J1939, CAN) share: one table of TTable_Column rows
// in a column grid, its header hints, the row buttons, the check on OK and the save of the
// table's file. A dialog gives its differences as a TFrame_Form_Kind.
#include "editors/comm/TableGrid.h"
#include "editors/frames/tables/NmeaTables.h"
#include "shell/frame/DialogFrame.h"
#include "shell/state/ProgramState.h"

#include <memory>
#include <string>
#include <vector>

class TQorColumnGrid;

// The UI_Texts entries of a dialog's texts; 0 where it has none.
struct TFrame_Form_Texts {
    int Caption;
    int Subtitle;
    // OK, Cancel, Delete Row, Insert Row, Copy Row, Paste Row.
    int Buttons[6];
    int Button_Hints[6];
    // The header of column 0.
    int Row_Number;
    int Delete_Question;
};

struct TFrame_Form_Kind {
    std::string Grid_Name;
    const std::vector<TTable_Column>* Columns;
    TRow_Table (*New_Table)(const std::vector<TTable_Column>&);
    // Empties the table and reads the file into it; raises when the file cannot be read.
    bool (*Load)(TRow_Table&, const std::vector<TTable_Column>&, const std::string&);
    // Empty when the table is valid, else the message of the first error.
    std::string (*Check)(const TRow_Table&);
    void (*Save)(const TRow_Table&, const std::vector<TTable_Column>&, const std::string&);
    const std::string* File;
    TFrame_Form_Texts Texts;
    int Client_Width;
    // The dialog has Copy Row and Paste Row.
    bool Copy_Rows;
    // The header cells show the columns' hints.
    bool Header_Hints;
    // A click on a row number selects the row.
    bool Select_By_Row_Number;
};

// The load and save of a table that knows its own columns, in the form TFrame_Form_Kind takes.
template <bool (*Load)(TRow_Table&, const std::string&)>
bool Own_Columns_Load(TRow_Table& Table, const std::vector<TTable_Column>&,
                      const std::string& Path) {
    return Load(Table, Path);
}
template <void (*Save)(const TRow_Table&, const std::string&)>
void Own_Columns_Save(const TRow_Table& Table, const std::vector<TTable_Column>&,
                      const std::string& Path) {
    Save(Table, Path);
}
// The same for a save whose file depends on the product type: the type at the time of saving.
template <void (*Save)(const TRow_Table&, int, const std::string&)>
void Product_Save(const TRow_Table& Table, const std::vector<TTable_Column>&,
                  const std::string& Path) {
    Save(Table, Product_Type(), Path);
}

class TFrame_Table_Form : public TFramed_Dialog {
public:
    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;
    // nullptr where the dialog does not copy rows.
    TFrame_Button* Btn_CopyRow = nullptr;
    TFrame_Button* Btn_PasteRow = nullptr;
    // A row was copied in this showing.
    bool Do_Copy = false;

    TQorColumnGrid* Grid() const { return grid_; }

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // True when the table is valid; otherwise shows the first error.
    bool Controllo_Dati();
    void Btn_OKClick(TObject* Sender);
    void Btn_DelRowClick(TObject* Sender);
    void Btn_InsRowClick(TObject* Sender);
    void Btn_CopyRowClick(TObject* Sender);
    void Btn_PasteRowClick(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();

protected:
    TFrame_Table_Form(TComponent* AOwner, const std::string& Name, TFrame_Form_Kind Kind);

    // The choices of combo column Col (1..).
    void Set_Items(int Col, const std::vector<std::string>& Items);
    // The header hints of columns 1.. from UI_Texts.
    void Build_Hints();
    // Runs first when the dialog is shown.
    virtual void Prepare_Show() {}

    // The header hints of columns 1.. in column order.
    std::vector<std::string> hints_;

private:
    TFrame_Form_Kind kind_;
    TQorColumnGrid* grid_;
    std::unique_ptr<TTable_Grid> table_;
    TTable_File_Load load_;
};
