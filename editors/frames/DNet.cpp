#include "editors/frames/DNet.h"

#include "editors/frames/tables/DNetTables.h"
#include "grid/core/QorColumnGrid.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFDNet* FDNet = nullptr;

TFDNet::TFDNet(TComponent* AOwner) : TFramed_Dialog(AOwner, "FDNet") {
    ASG = Create_Control<TQorColumnGrid>(this, this, "ASG");
    ASG->SetAlign(alClient);
    table_ = std::make_unique<TTable_Grid>(ASG, New_DNet_Net_Table());
    ASG->Columns()->Items(0)->SetWidth(45);
    for (std::size_t i = 0; i < DNet_Net_Columns.size(); ++i)
        table_->Set_Column(int(i) + 1, DNet_Net_Columns[i].Width, DNet_Net_Columns[i].Editor);

    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow);
    for (TFrame_Button* b : {Btn_OK, Btn_DelRow, Btn_InsRow}) b->SetEnabled(true);
    Btn_OK->OnClick = [this](TObject* Sender) { bitbtn1Click(Sender); };
    Btn_DelRow->OnClick = [this](TObject* Sender) { Btn_DelRow_Click(Sender); };
    Btn_InsRow->OnClick = [this](TObject* Sender) { Btn_InsRowClick(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TFDNet::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(609, 337);
    Set_Lang();
}

void TFDNet::Set_Lang() {
    Set_Dialog_Texts(this, 625, {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow});
    table_->Set_Header(0, UI_Texts[631]);
    for (std::size_t i = 0; i < DNet_Net_Columns.size(); ++i)
        table_->Set_Header(int(i) + 1, UI_Texts[DNet_Net_Columns[i].Header_Entry]);
}

void TFDNet::FormShow(TObject* /*Sender*/) {
    table_->Start_Showing();
    load_.Start();
    load_.Read([this] { Load_DNet_Net(table_->Table(), File_DNETM_Net); });
    table_->Show();
    load_.Report();
}

bool TFDNet::controllo_dati() {
    return Show_Check_Result(Check_DNet_Net(table_->Read()));
}

void TFDNet::bitbtn1Click(TObject* /*Sender*/) {
    if (!controllo_dati() || !load_.May_Replace()) return;
    Save_DNet_Net(table_->Read(), File_DNETM_Net);
    SetModalResult(mrOk);
}

void TFDNet::Btn_DelRow_Click(TObject* /*Sender*/) {
    table_->Delete_Row(640);
}

void TFDNet::Btn_InsRowClick(TObject* /*Sender*/) {
    table_->Insert_Row();
}
