#include "editors/frames/NmeaTableForm.h"

#include "grid/core/QorColumnGrid.h"
#include "platform/ui/Dialogs.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TNmea_Table_Form::TNmea_Table_Form(TComponent* AOwner, const std::string& Name,
                                   const TNmea_Form_Kind& Kind)
    : TFramed_Dialog(AOwner, Name), kind_(Kind) {
    sga = Create_Control<TQorColumnGrid>(this, this, "sga");
    sga->SetAlign(alClient);
    sga->SetShowHint(true);
    table_ = std::make_unique<TTable_Grid>(sga, New_NMEA_Table(*kind_.Columns));
    const std::vector<TTable_Column>& columns = *kind_.Columns;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const TTable_Column& c = columns[i];
        const int col = int(i) + 1;
        table_->Set_Column(col, c.Width, c.Editor);
        TGridColumnItem* item = sga->Columns()->Items(col);
        item->SetColor(c.Color);
        if (c.Editor == edDataCheckBox) item->SetAlignment(taCenter);
        item->HeaderFont()->SetStyle({fsBold});
    }
    sga->OnClickCell = [this](TObject*, int ARow, int ACol) {
        if (ACol == 0 && ARow >= 1) sga->SelectRows(ARow, 1);
    };
    sga->OnGridHint = [this](TObject*, int ARow, int ACol, std::string& Hint) {
        const bool header = ARow == 0 && ACol >= 1 && ACol <= int(hints_.size());
        Hint = header ? hints_[std::size_t(ACol - 1)] : std::string();
    };

    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow);
    for (TFrame_Button* b : {Btn_OK, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow})
        b->SetEnabled(true);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    Btn_DelRow->OnClick = [this](TObject* Sender) { Btn_DelRowClick(Sender); };
    Btn_InsRow->OnClick = [this](TObject* Sender) { Btn_InsRowClick(Sender); };
    Btn_CopyRow->OnClick = [this](TObject* Sender) { Btn_CopyRowClick(Sender); };
    Btn_PasteRow->OnClick = [this](TObject* Sender) { Btn_PasteRowClick(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TNmea_Table_Form::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(810, 337);
    Set_Lang();
}

void TNmea_Table_Form::Set_Lang() {
    const int t = kind_.First_Text;
    SetCaption(UI_Texts[t]);
    L_SW_Desc->SetCaption(UI_Texts[t + 1]);
    Btn_OK->SetCaption(UI_Texts[t + 2]);
    Btn_Cancel->SetCaption(UI_Texts[t + 3]);
    Btn_DelRow->SetCaption(UI_Texts[t + 4]);
    Btn_InsRow->SetCaption(UI_Texts[t + 5]);
    Btn_CopyRow->SetCaption(UI_Texts[t + 6]);
    Btn_PasteRow->SetCaption(UI_Texts[t + 7]);
    Show_Hint(Btn_CopyRow, UI_Texts[t + 12]);
    Show_Hint(Btn_PasteRow, UI_Texts[t + 13]);
    table_->Set_Header(0, UI_Texts[t + 14]);
    hints_.clear();
    const std::vector<TTable_Column>& columns = *kind_.Columns;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        table_->Set_Header(int(i) + 1, UI_Texts[columns[i].Header_Entry]);
        hints_.push_back(UI_Texts[columns[i].Hint_Entry]);
    }
}

void TNmea_Table_Form::FormShow(TObject* /*Sender*/) {
    Do_Copy = false;
    load_incomplete_ = false;
    try {
        Load_NMEA_Table(table_->Table(), *kind_.Columns, *kind_.File);
    } catch (const Exception& e) {
        // The table stays empty; OK asks before it replaces the file.
        load_incomplete_ = true;
        table_->Show();
        Application->ShowException(e);
        return;
    }
    table_->Show();
}

bool TNmea_Table_Form::Controllo_Dati() {
    return Show_Check_Result(kind_.Check(table_->Read()));
}

void TNmea_Table_Form::Btn_OKClick(TObject* /*Sender*/) {
    if (!Controllo_Dati()) return;
    if (load_incomplete_ && MessageDlg(UI_Texts[1746], mtConfirmation, mbYesNo) != mrYes) return;
    Save_NMEA_Table(table_->Read(), *kind_.Columns, *kind_.File);
    SetModalResult(mrOk);
}

void TNmea_Table_Form::Btn_DelRowClick(TObject* /*Sender*/) {
    table_->Delete_Row(kind_.Delete_Question);
}

void TNmea_Table_Form::Btn_InsRowClick(TObject* /*Sender*/) {
    table_->Insert_Row();
}

void TNmea_Table_Form::Btn_CopyRowClick(TObject* /*Sender*/) {
    if (table_->Copy_Row()) Do_Copy = true;
}

void TNmea_Table_Form::Btn_PasteRowClick(TObject* /*Sender*/) {
    table_->Paste_Row(Do_Copy);
}
