#include "mbus/Meter_Bus.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFMeter_Bus* FMeter_Bus = nullptr;

TFMeter_Bus::TFMeter_Bus(TComponent* AOwner) : TFramed_Dialog(AOwner, "FMeter_Bus") {
    // The network editor, unlike the other dialogs, can be resized.
    SetBorderStyle(bsSizeable);
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    Btn_ImportNet = Add_Button("Btn_ImportNet", 252);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFMeter_Bus::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(834, 662);
    Set_Lang();
}

void TFMeter_Bus::Set_Lang() {
    SetCaption(UI_Texts[743]);
    L_SW_Desc->SetCaption(UI_Texts[744]);
    Btn_OK->SetCaption(UI_Texts[745]);
    Btn_Cancel->SetCaption(UI_Texts[746]);
    Btn_ImportNet->SetCaption(UI_Texts[747]);
}
