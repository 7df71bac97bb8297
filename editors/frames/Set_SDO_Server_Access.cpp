#include "editors/frames/Set_SDO_Server_Access.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFSet_SDO_Server_Access* FSet_SDO_Server_Access = nullptr;

TFSet_SDO_Server_Access::TFSet_SDO_Server_Access(TComponent* AOwner)
    : TFramed_Dialog(AOwner, "FSet_SDO_Server_Access") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    Btn_DelRow = Add_Button("Btn_DelRow", 252);
    Btn_InsRow = Add_Button("Btn_InsRow", 370);
    PageControl1 = new TPageControl(this);
    PageControl1->SetName("PageControl1");
    PageControl1->SetParent(this);
    PageControl1->SetAlign(alClient);
    TS_SDO_Read = new TTabSheet(this);
    TS_SDO_Read->SetName("TS_SDO_Read");
    TS_SDO_Read->SetPageControl(PageControl1);
    TS_SDO_Write = new TTabSheet(this);
    TS_SDO_Write->SetName("TS_SDO_Write");
    TS_SDO_Write->SetPageControl(PageControl1);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFSet_SDO_Server_Access::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(749, 337);
    PageControl1->SetActivePage(TS_SDO_Read);
    Set_Lang();
}

void TFSet_SDO_Server_Access::Set_Lang() {
    SetCaption(UI_Texts[473]);
    L_SW_Desc->SetCaption(UI_Texts[474]);
    Btn_OK->SetCaption(UI_Texts[475]);
    Btn_Cancel->SetCaption(UI_Texts[476]);
    Btn_DelRow->SetCaption(UI_Texts[477]);
    Btn_InsRow->SetCaption(UI_Texts[478]);
    TS_SDO_Read->SetCaption(UI_Texts[479]);
    TS_SDO_Write->SetCaption(UI_Texts[480]);
}
