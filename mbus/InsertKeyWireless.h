#pragma once
// The small borderless dialog that asks the AES key of a wireless M-Bus sender.
#include "shell/frame/DialogFrame.h"

#include <array>
#include <cstdint>

class TFInsertKeyWireless : public TForm {
public:
    explicit TFInsertKeyWireless(TComponent* AOwner);

    TShape* Shape1; // the frame around the borderless window
    TLabel* L_InsKey;
    TEdit* E_Key;
    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;

    void FormCreate(TObject* Sender);
    // Accepts exactly 32 hexadecimal characters.
    void Btn_OKClick(TObject* Sender);
    bool Check_Data();
    // The 16 key bytes of the accepted text.
    std::array<std::uint8_t, 16> Key() const;
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFInsertKeyWireless* FInsertKeyWireless;
