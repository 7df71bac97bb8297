#include "editors/frames/Set_PDO_Access.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFSet_PDO_Access* FSet_PDO_Access = nullptr;

TFSet_PDO_Access::TFSet_PDO_Access(TComponent* AOwner) : TFramed_Dialog(AOwner, "FSet_PDO_Access") {
    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow);
    PageControl1 = Create_Page_Control(this, this, "PageControl1", alClient);
    TS_Receive_PDO = Create_Tab_Sheet(this, PageControl1, "TS_Receive_PDO");
    TS_Transmit_PDO = Create_Tab_Sheet(this, PageControl1, "TS_Transmit_PDO");
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFSet_PDO_Access::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(798, 337);
    PageControl1->SetActivePage(TS_Receive_PDO);
    Set_Lang();
}

void TFSet_PDO_Access::Set_Lang() {
    SetCaption(UI_Texts[566]);
    L_SW_Desc->SetCaption(UI_Texts[567]);
    Btn_OK->SetCaption(UI_Texts[568]);
    Btn_Cancel->SetCaption(UI_Texts[569]);
    Btn_DelRow->SetCaption(UI_Texts[570]);
    Btn_InsRow->SetCaption(UI_Texts[571]);
    TS_Receive_PDO->SetCaption(UI_Texts[572]);
    TS_Transmit_PDO->SetCaption(UI_Texts[573]);
}
