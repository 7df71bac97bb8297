#include "mbus/NewIDNode.h"

#include "mbus/Meter_Bus.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFNewIDNode* FNewIDNode = nullptr;

namespace {
// The edits leave the radio buttons room for their captions and end 16 pixels before the edge.
constexpr int Edit_Left = 166;
constexpr int Edit_Width = 83;
} // namespace

TFNewIDNode::TFNewIDNode(TComponent* AOwner) : TFramed_Dialog(AOwner, "FNewIDNode") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    Label1 = Create_Label(this, this, "Label1", 16, 76);
    E_New_Node_ID_Pri = Create_Control<TEdit>(this, this, "E_New_Node_ID_Pri");
    E_New_Node_ID_Pri->SetBounds(Edit_Left, 96, Edit_Width, 21);
    E_New_Node_ID_Sec = Create_Control<TEdit>(this, this, "E_New_Node_ID_Sec");
    E_New_Node_ID_Sec->SetBounds(Edit_Left, 128, Edit_Width, 21);
    RB_ID_Primary = Create_Control<TRadioButton>(this, this, "RB_ID_Primary");
    RB_ID_Primary->SetBounds(16, 98, Edit_Left - 20, 17);
    RB_ID_Secondary = Create_Control<TRadioButton>(this, this, "RB_ID_Secondary");
    RB_ID_Secondary->SetBounds(16, 130, Edit_Left - 20, 17);
    Btn_OK->OnClick = [this](TObject* Sender) { PbButton2Click(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFNewIDNode::PbButton2Click(TObject* /*Sender*/) {
    const bool secondary = !RB_ID_Primary->Checked();
    const long long id =
        Field_Number(secondary ? E_New_Node_ID_Sec->Text() : E_New_Node_ID_Pri->Text());
    if (!secondary && (id < 0 || id > 255)) {
        MessageDlg(UI_Texts[856], mtError, {mbOK});
        return;
    }
    if (secondary && (id < 0 || id > 99999999)) {
        MessageDlg(UI_Texts[857], mtError, {mbOK});
        return;
    }
    TFMeter_Bus* editor = Editor ? Editor : FMeter_Bus;
    if (editor && !editor->Check_Node_ID2(int(id), secondary ? 1 : 0)) return;
    SetModalResult(mrOk);
}

void TFNewIDNode::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(265, 195);
    Set_Lang();
}

void TFNewIDNode::Set_Lang() {
    SetCaption(UI_Texts[849]);
    L_SW_Desc->SetCaption(UI_Texts[850]);
    Btn_OK->SetCaption(UI_Texts[851]);
    Btn_Cancel->SetCaption(UI_Texts[852]);
    Label1->SetCaption(UI_Texts[853]);
    RB_ID_Primary->SetCaption(UI_Texts[854]);
    RB_ID_Secondary->SetCaption(UI_Texts[855]);
}
