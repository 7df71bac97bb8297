#include "mbus/ModbusStartAdd_SD.h"

#include "grid/core/QorColumnGrid.h"
#include "platform/ui/core/Dialogs.h"
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
    sga = Create_Control<TQorColumnGrid>(this, this, "sga");
    sga->SetBounds(16, 100, 479, 188);
    sga->SetColCount(2);
    sga->SynchColumns();
    sga->Columns()->Items(0)->SetWidth(200);
    sga->Columns()->Items(1)->SetWidth(200);
    sga->SetDefaultRowHeight(21);
    sga->SetOptions(sga->Options() + goEditing);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFModbusStartAdd_SD::Btn_OKClick(TObject* /*Sender*/) {
    if (Check_Data()) SetModalResult(mrOk);
}

bool TFModbusStartAdd_SD::Check_Data() {
    for (int r = 1; r < sga->RowCount(); ++r) {
        const std::string text = sga->Cells(1, r);
        std::string reason;
        if (text.empty())
            reason = UI_Texts[1509];
        else if (const int v = StrToIntDef(text, -1); v < 1 || v > 59999)
            reason = UI_Texts[1510];
        if (!reason.empty()) {
            MessageDlg(UI_Texts[1508] + IntToStr(r) + reason, mtError, {mbOK});
            return false;
        }
    }
    return true;
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
    sga->Columns()->Items(0)->SetHeader(UI_Texts[1504]);
    sga->Columns()->Items(1)->SetHeader(UI_Texts[1505]);
}
