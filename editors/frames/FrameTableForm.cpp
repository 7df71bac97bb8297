#include "editors/frames/FrameTableForm.h"

#include "grid/core/QorColumnGrid.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFrame_Table_Form::TFrame_Table_Form(TComponent* AOwner, const std::string& Name,
                                     TFrame_Form_Kind Kind)
    : TFramed_Dialog(AOwner, Name), kind_(std::move(Kind)) {
    grid_ = Create_Control<TQorColumnGrid>(this, this, kind_.Grid_Name);
    grid_->SetAlign(alClient);
    grid_->SetShowHint(kind_.Header_Hints);
    const std::vector<TTable_Column>& columns = *kind_.Columns;
    table_ = std::make_unique<TTable_Grid>(grid_, kind_.New_Table(columns));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const TTable_Column& c = columns[i];
        const int col = int(i) + 1;
        table_->Set_Column(col, c.Width, c.Editor);
        TGridColumnItem* item = grid_->Columns()->Items(col);
        item->SetColor(c.Color);
        if (c.Editor == edDataCheckBox) item->SetAlignment(taCenter);
        item->HeaderFont()->SetStyle({fsBold});
    }
    if (kind_.Select_By_Row_Number) table_->Select_By_Row_Number();
    if (kind_.Header_Hints) {
        grid_->OnGridHint = [this](TObject*, int ARow, int ACol, std::string& Hint) {
            const bool header = ARow == 0 && ACol >= 1 && ACol <= int(hints_.size());
            Hint = header ? hints_[std::size_t(ACol - 1)] : std::string();
        };
    }

    if (kind_.Copy_Rows)
        Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow);
    else
        Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow);
    for (TFrame_Button* b : {Btn_OK, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow})
        if (b) b->SetEnabled(true);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    Btn_DelRow->OnClick = [this](TObject* Sender) { Btn_DelRowClick(Sender); };
    Btn_InsRow->OnClick = [this](TObject* Sender) { Btn_InsRowClick(Sender); };
    if (kind_.Copy_Rows) {
        Btn_CopyRow->OnClick = [this](TObject* Sender) { Btn_CopyRowClick(Sender); };
        Btn_PasteRow->OnClick = [this](TObject* Sender) { Btn_PasteRowClick(Sender); };
    }
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TFrame_Table_Form::Set_Items(int Col, const std::vector<std::string>& Items) {
    const TTable_Column& c = (*kind_.Columns)[std::size_t(Col - 1)];
    table_->Set_Column(Col, c.Width, c.Editor, Items);
}

void TFrame_Table_Form::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(kind_.Client_Width, 337);
    Set_Lang();
}

void TFrame_Table_Form::Build_Hints() {
    hints_.clear();
    for (const TTable_Column& c : *kind_.Columns) hints_.push_back(UI_Texts[c.Hint_Entry]);
}

void TFrame_Table_Form::Set_Lang() {
    const TFrame_Form_Texts& t = kind_.Texts;
    SetCaption(UI_Texts[t.Caption]);
    L_SW_Desc->SetCaption(UI_Texts[t.Subtitle]);
    TFrame_Button* const buttons[] = {Btn_OK,     Btn_Cancel,  Btn_DelRow,
                                      Btn_InsRow, Btn_CopyRow, Btn_PasteRow};
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
        if (!buttons[i]) continue;
        buttons[i]->SetCaption(UI_Texts[t.Buttons[i]]);
        if (t.Button_Hints[i] != 0) Show_Hint(buttons[i], UI_Texts[t.Button_Hints[i]]);
    }
    table_->Set_Header(0, UI_Texts[t.Row_Number]);
    const std::vector<TTable_Column>& columns = *kind_.Columns;
    for (std::size_t i = 0; i < columns.size(); ++i)
        table_->Set_Header(int(i) + 1, UI_Texts[columns[i].Header_Entry]);
    if (kind_.Header_Hints) Build_Hints();
}

void TFrame_Table_Form::FormShow(TObject* /*Sender*/) {
    table_->Start_Showing();
    Prepare_Show();
    Do_Copy = false;
    load_.Start();
    load_.Read([this] { kind_.Load(table_->Table(), *kind_.Columns, *kind_.File); });
    table_->Show();
    load_.Report();
}

bool TFrame_Table_Form::Controllo_Dati() {
    return Show_Check_Result(kind_.Check(table_->Read()));
}

void TFrame_Table_Form::Btn_OKClick(TObject* /*Sender*/) {
    if (!Controllo_Dati() || !load_.May_Replace()) return;
    kind_.Save(table_->Read(), *kind_.Columns, *kind_.File);
    SetModalResult(mrOk);
}

void TFrame_Table_Form::Btn_DelRowClick(TObject* /*Sender*/) {
    table_->Delete_Row(kind_.Texts.Delete_Question);
}

void TFrame_Table_Form::Btn_InsRowClick(TObject* /*Sender*/) {
    table_->Insert_Row();
}

void TFrame_Table_Form::Btn_CopyRowClick(TObject* /*Sender*/) {
    if (table_->Copy_Row()) Do_Copy = true;
}

void TFrame_Table_Form::Btn_PasteRowClick(TObject* /*Sender*/) {
    table_->Paste_Row(Do_Copy);
}
