#pragma once
// The KNX access table editor: the table of KnxAccessTable.h in a column grid, with its row
// buttons, the check on OK and the save of KNX_SetAccess.xml.
#include "editors/comm/KnxAccessTable.h"
#include "editors/comm/TableGrid.h"
#include "shell/frame/DialogFrame.h"

#include <memory>

class TQorColumnGrid;

class TFKNXAccess : public TFramed_Dialog {
public:
    explicit TFKNXAccess(TComponent* AOwner);

    // The table: 1024 rows of columns 1..17 of KNX_Access_Columns.
    TQorColumnGrid* ACG_KNX_in_Write;
    // A second table of 512 rows that stays hidden; it is reset and labelled, never saved.
    TQorColumnGrid* ACG_KNX_in_Read;
    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;
    TFrame_Button* Btn_CopyRow;
    TFrame_Button* Btn_PasteRow;

    // A row was copied in this showing, from the grid named.
    bool Do_Copy_In_Read = false;
    bool Do_Copy_In_Write = false;
    // The bounds of this showing (Max_Num_Byte, DMX_Type, the PROFINET and EtherNet/IP
    // bounds), set by FormShow.
    TKnx_Settings Settings;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // True when every enabled row is valid; otherwise shows the first error.
    bool Controllo_dati();
    void Btn_OKClick(TObject* Sender);
    void Btn_DelRowClick(TObject* Sender);
    void Btn_InsRowClick(TObject* Sender);
    void Btn_CopyRowClick(TObject* Sender);
    void Btn_PasteRowClick(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();

private:
    // Shows or hides the columns that the DMX direction fixes, with the widths that go with it.
    void Set_DMX_Layout(bool Fixed);
    std::unique_ptr<TTable_Grid> write_;
    std::unique_ptr<TTable_Grid> read_;
    TTable_File_Load load_;
};

extern TFKNXAccess* FKNXAccess;
