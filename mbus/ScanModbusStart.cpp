#include "mbus/ScanModbusStart.h"

#include "platform/ui/core/Dialogs.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFScanModbusStart* FScanModbusStart = nullptr;

TFScanModbusStart::TFScanModbusStart(TComponent* AOwner)
    : TFramed_Dialog(AOwner, "FScanModbusStart") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    L_StartModAdd = Create_Label(this, this, "L_StartModAdd", 16, 76);
    E_StartModAdd = Create_Control<TEdit>(this, this, "E_StartModAdd");
    E_StartModAdd->SetLeft(16);
    E_StartModAdd->SetTop(94);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFScanModbusStart::Btn_OKClick(TObject* /*Sender*/) {
    const int value = StrToIntDef(E_StartModAdd->Text(), -1);
    if (value < 1 || value > 65535) {
        MessageDlg(UI_Texts[1306], mtError, {mbOK});
        return;
    }
    StartModAdd = value;
    SetModalResult(mrOk);
}

void TFScanModbusStart::FormCreate(TObject* /*Sender*/) {
    SetClientSize(331, 162);
    Set_Lang();
}

void TFScanModbusStart::Set_Lang() {
    SetCaption(UI_Texts[1300]);
    L_SW_Code->SetCaption(UI_Texts[1301]);
    L_SW_Desc->SetCaption(UI_Texts[1302]);
    Btn_OK->SetCaption(UI_Texts[1304]);
    Btn_Cancel->SetCaption(UI_Texts[1305]);
    L_StartModAdd->SetCaption(UI_Texts[1303]);
}
