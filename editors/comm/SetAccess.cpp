#include "editors/comm/SetAccess.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFSetAccess* FSetAccess = nullptr;

TFSetAccess::TFSetAccess(TComponent* AOwner) : TFramed_Dialog(AOwner, "FSetAccess") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    Btn_DelRow = Add_Button("Btn_DelRow", 252);
    Btn_InsRow = Add_Button("Btn_InsRow", 370);
    Btn_CopyRow = Add_Button("Btn_CopyRow", 488);
    Btn_PasteRow = Add_Button("Btn_PasteRow", 606);
    PageControl1 = new TPageControl(this);
    PageControl1->SetName("PageControl1");
    PageControl1->SetParent(this);
    PageControl1->SetAlign(alClient);
    TS_Modbus_Read = new TTabSheet(this);
    TS_Modbus_Read->SetName("TS_Modbus_Read");
    TS_Modbus_Read->SetPageControl(PageControl1);
    TS_Modbus_Write = new TTabSheet(this);
    TS_Modbus_Write->SetName("TS_Modbus_Write");
    TS_Modbus_Write->SetPageControl(PageControl1);
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
