#include "mbus/InsertKeyWireless.h"

#include "shell/state/UITexts.h"

TFInsertKeyWireless* FInsertKeyWireless = nullptr;

TFInsertKeyWireless::TFInsertKeyWireless(TComponent* AOwner) : TForm(AOwner) {
    SetName("FInsertKeyWireless");
    Set_Form_Look(this);
    SetBorderStyle(bsNone);
    // The scan window places it at the mouse before it is shown.
    SetPosition(poDesigned);
    Shape1 = Create_Control<TShape>(this, this, "Shape1");
    Shape1->SetAlign(alClient);
    Shape1->Pen()->SetColor(clGray);
    Shape1->Brush()->SetStyle(bsClear);
    L_InsKey = Create_Label(this, this, "L_InsKey", 8, 16);
    E_Key = Create_Control<TEdit>(this, this, "E_Key");
    E_Key->SetBounds(120, 12, 240, 21);
    E_Key->SetCharCase(ecUpperCase);
    E_Key->SetMaxLength(32);
    Btn_OK = Create_Push_Button(this, this, "Btn_OK", 366, 10, 52, 25);
    Btn_Cancel = Create_Push_Button(this, this, "Btn_Cancel", 422, 10, 52, 25);
    Btn_Cancel->SetModalResult(mrCancel);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFInsertKeyWireless::FormCreate(TObject* /*Sender*/) {
    SetClientSize(481, 47);
    Set_Lang();
}

void TFInsertKeyWireless::Set_Lang() {
    L_InsKey->SetCaption(UI_Texts[1400]);
    Btn_OK->SetCaption(UI_Texts[1401]);
    Btn_Cancel->SetCaption(UI_Texts[1402]);
}
