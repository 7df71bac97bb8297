#include "mbus/InsertKeyWireless.h"

#include "platform/base/SysUtils.h"
#include "platform/ui/core/Dialogs.h"
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
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFInsertKeyWireless::Btn_OKClick(TObject* /*Sender*/) {
    if (Utf8Length(E_Key->Text()) != 32) {
        MessageDlg(UI_Texts[1404], mtError, {mbOK});
        return;
    }
    if (!Check_Data()) return;
    SetModalResult(mrOk);
}

bool TFInsertKeyWireless::Check_Data() {
    for (char c : E_Key->Text())
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) {
            MessageDlg(UI_Texts[1403], mtError, {mbOK});
            return false;
        }
    return true;
}

std::array<std::uint8_t, 16> TFInsertKeyWireless::Key() const {
    std::array<std::uint8_t, 16> key{};
    const std::string text = E_Key->Text();
    for (std::size_t i = 0; i < key.size() && 2 * i + 1 < text.size(); ++i)
        key[i] = std::uint8_t(StrToIntDef("0x" + text.substr(2 * i, 2), 0));
    return key;
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
