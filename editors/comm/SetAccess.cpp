#include "editors/comm/SetAccess.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFSetAccess* FSetAccess = nullptr;

TFSetAccess::TFSetAccess(TComponent* AOwner) : TFramed_Dialog(AOwner, "FSetAccess") {
    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow);
    PageControl1 = Create_Page_Control(this, this, "PageControl1", alClient);
    TS_Modbus_Read = Create_Tab_Sheet(this, PageControl1, "TS_Modbus_Read");
    TS_Modbus_Write = Create_Tab_Sheet(this, PageControl1, "TS_Modbus_Write");
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFSetAccess::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(1051, 337);
    Set_Lang();
}

void TFSetAccess::Set_Lang() {
    SetCaption(UI_Texts[230]);
    L_SW_Desc->SetCaption(UI_Texts[231]);
    Btn_OK->SetCaption(UI_Texts[232]);
    Btn_Cancel->SetCaption(UI_Texts[233]);
    Btn_DelRow->SetCaption(UI_Texts[234]);
    Btn_InsRow->SetCaption(UI_Texts[235]);
    Btn_CopyRow->SetCaption("Copy Row");
    Btn_PasteRow->SetCaption("Paste Row");
    TS_Modbus_Read->SetCaption(UI_Texts[236]);
    TS_Modbus_Write->SetCaption(UI_Texts[237]);
}
