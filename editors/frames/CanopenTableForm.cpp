#include "editors/frames/CanopenTableForm.h"

#include "grid/core/QorColumnGrid.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TCANopen_Table_Form::TCANopen_Table_Form(TComponent* AOwner, const std::string& Name,
                                         const TCANopen_Form_Kind& Kind)
    : TFramed_Dialog(AOwner, Name), kind_(Kind) {
    PageControl1 = Create_Page_Control(this, this, "PageControl1", alClient);
    TCANopen_Tables tables = New_CANopen_Tables(*kind_.Layout);
    for (int s = 0; s < 2; ++s) {
        sheets_[s] = Create_Tab_Sheet(this, PageControl1, kind_.Sheet_Names[s]);
        auto* grid = Create_Control<TQorColumnGrid>(this, sheets_[s], s == 0 ? "sga" : "sgb");
        grid->SetAlign(alClient);
        tables_[s] = std::make_unique<TTable_Grid>(grid, tables[s]);
        const std::vector<TTable_Column>& columns = kind_.Layout->Sections[s].Columns;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const int col = int(i) + 1;
            tables_[s]->Set_Column(col, columns[i].Width, columns[i].Editor);
            if (columns[i].Editor == edDataCheckBox)
                grid->Columns()->Items(col)->SetAlignment(taCenter);
        }
    }
    sga = tables_[0]->Grid();
    sgb = tables_[1]->Grid();

    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow);
    for (TFrame_Button* b : {Btn_OK, Btn_DelRow, Btn_InsRow}) b->SetEnabled(true);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OK_Click(Sender); };
    Btn_DelRow->OnClick = [this](TObject* Sender) { Btn_DelRow_Click(Sender); };
    Btn_InsRow->OnClick = [this](TObject* Sender) { Btn_InsRowClick(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TCANopen_Table_Form::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(kind_.Client_Width, 337);
    PageControl1->SetActivePage(sheets_[0]);
    Set_Lang();
}

void TCANopen_Table_Form::Set_Lang() {
    Set_Dialog_Texts(this, kind_.First_Text, {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow});
    for (int s = 0; s < 2; ++s) {
        const TCANopen_Section& section = kind_.Layout->Sections[s];
        sheets_[s]->SetCaption(UI_Texts[section.Title_Entry]);
        // The row-number column's header comes just before the data columns' headers.
        tables_[s]->Set_Header(0, UI_Texts[section.Columns[0].Header_Entry - 1]);
        for (std::size_t i = 0; i < section.Columns.size(); ++i)
            tables_[s]->Set_Header(int(i) + 1, UI_Texts[section.Columns[i].Header_Entry]);
    }
}

void TCANopen_Table_Form::FormShow(TObject* /*Sender*/) {
    for (auto& t : tables_) t->Start_Showing();
    PageControl1->SetActivePage(sheets_[0]);
    PROFINET_NByte_IN = kind_.Layout->Limit;
    PROFINET_NByte_OUT = kind_.Layout->Limit;
    TCANopen_Tables tables = New_CANopen_Tables(*kind_.Layout);
    load_.Start();
    load_.Read([&] { Load_CANopen_Tables(tables, *kind_.Layout, *kind_.File); });
    for (int s = 0; s < 2; ++s) {
        tables_[s]->Table() = tables[s];
        tables_[s]->Show();
    }
    load_.Report();
}

bool TCANopen_Table_Form::Controllo_dati() {
    return Show_Check_Result(Check_CANopen_Tables({tables_[0]->Read(), tables_[1]->Read()},
                                                  *kind_.Layout, PROFINET_NByte_IN,
                                                  PROFINET_NByte_OUT));
}

void TCANopen_Table_Form::Btn_OK_Click(TObject* /*Sender*/) {
    if (!Controllo_dati() || !load_.May_Replace()) return;
    Save_CANopen_Tables({tables_[0]->Read(), tables_[1]->Read()}, *kind_.Layout, *kind_.File);
    SetModalResult(mrOk);
}

TTable_Grid& TCANopen_Table_Form::active() const {
    return *tables_[PageControl1->ActivePage() == sheets_[1] ? 1 : 0];
}

void TCANopen_Table_Form::Btn_DelRow_Click(TObject* /*Sender*/) {
    active().Delete_Row(kind_.Delete_Question);
}

void TCANopen_Table_Form::Btn_InsRowClick(TObject* /*Sender*/) {
    active().Insert_Row();
}
