#include "editors/frames/Set_SDO_Client_Access.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFSet_SDO_Client_Access* FSet_SDO_Client_Access = nullptr;

TFSet_SDO_Client_Access::TFSet_SDO_Client_Access(TComponent* AOwner)
    : TFramed_Dialog(AOwner, "FSet_SDO_Client_Access") {
    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow);
    PageControl1 = Create_Page_Control(this, this, "PageControl1", alClient);
    TS_SDO_Read = Create_Tab_Sheet(this, PageControl1, "TS_SDO_Read");
    TS_SDO_Write = Create_Tab_Sheet(this, PageControl1, "TS_SDO_Write");
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFSet_SDO_Client_Access::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(798, 337);
    PageControl1->SetActivePage(TS_SDO_Read);
    Set_Lang();
}

void TFSet_SDO_Client_Access::Set_Lang() {
    SetCaption(UI_Texts[515]);
    L_SW_Desc->SetCaption(UI_Texts[516]);
    Btn_OK->SetCaption(UI_Texts[517]);
    Btn_Cancel->SetCaption(UI_Texts[518]);
    Btn_DelRow->SetCaption(UI_Texts[519]);
    Btn_InsRow->SetCaption(UI_Texts[520]);
    TS_SDO_Read->SetCaption(UI_Texts[521]);
    TS_SDO_Write->SetCaption(UI_Texts[522]);
}
