#pragma once
// The NMEA 2000 transmit frame table. Its rows, load, check and save are in NmeaTables.h; the
// grid binds to them once the grid editors exist.
#include "shell/frame/DialogFrame.h"

class TFTransmitNMEA : public TFramed_Dialog {
public:
    explicit TFTransmitNMEA(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;
    TFrame_Button* Btn_CopyRow;
    TFrame_Button* Btn_PasteRow;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFTransmitNMEA* FTransmitNMEA;
