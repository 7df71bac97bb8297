#include "editors/comm/Modbus_TCP_Master_Set_Access.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFModbus_TCP_Master_Set_Access* FModbus_TCP_Master_Set_Access = nullptr;

TFModbus_TCP_Master_Set_Access::TFModbus_TCP_Master_Set_Access(TComponent* AOwner)
    : TFramed_Dialog(AOwner, "FModbus_TCP_Master_Set_Access") {
    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow);
    PageControl1 = Create_Page_Control(this, this, "PageControl1", alClient);
    TS_Modbus_Read = Create_Tab_Sheet(this, PageControl1, "TS_Modbus_Read");
    TS_Modbus_Write = Create_Tab_Sheet(this, PageControl1, "TS_Modbus_Write");
    SetClientHeight(337);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFModbus_TCP_Master_Set_Access::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientWidth(1007);
    Ind_Lang = 281;
    Set_Lang();
}

void TFModbus_TCP_Master_Set_Access::Set_Lang() {
    SetCaption(UI_Texts[Ind_Lang]);
    L_SW_Desc->SetCaption(UI_Texts[Ind_Lang + 1]);
    Btn_OK->SetCaption(UI_Texts[Ind_Lang + 2]);
    Btn_Cancel->SetCaption(UI_Texts[Ind_Lang + 3]);
    Btn_DelRow->SetCaption(UI_Texts[Ind_Lang + 4]);
    Btn_InsRow->SetCaption(UI_Texts[Ind_Lang + 5]);
    Btn_CopyRow->SetCaption("Copy Row");
    Btn_PasteRow->SetCaption("Paste Row");
    TS_Modbus_Read->SetCaption(UI_Texts[Ind_Lang + 6]);
    TS_Modbus_Write->SetCaption(UI_Texts[Ind_Lang + 7]);
}
