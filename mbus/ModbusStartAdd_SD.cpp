#include "mbus/ModbusStartAdd_SD.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFModbusStartAdd_SD* FModbusStartAdd_SD = nullptr;

TFModbusStartAdd_SD::TFModbusStartAdd_SD(TComponent* AOwner)
    : TFramed_Dialog(AOwner, "FModbusStartAdd_SD") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    CB_En_NodeState = Create_Control<TCheckBox>(this, this, "CB_En_NodeState");
    CB_En_NodeState->SetBounds(16, 76, 176, 17);
    CB_En_IndNum = Create_Control<TCheckBox>(this, this, "CB_En_IndNum");
    CB_En_IndNum->SetBounds(200, 76, 240, 17);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFModbusStartAdd_SD::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(511, 336);
    Set_Lang();
}

void TFModbusStartAdd_SD::Set_Lang() {
    SetCaption(UI_Texts[1500]);
    L_SW_Desc->SetCaption(UI_Texts[1501]);
    Btn_OK->SetCaption(UI_Texts[1506]);
    Btn_Cancel->SetCaption(UI_Texts[1507]);
    CB_En_NodeState->SetCaption(UI_Texts[1502]);
    CB_En_IndNum->SetCaption(UI_Texts[1503]);
}
