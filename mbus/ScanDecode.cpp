#include "mbus/ScanDecode.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFScanDecode* FScanDecode = nullptr;

TFScanDecode::TFScanDecode(TComponent* AOwner) : TFramed_Dialog(AOwner, "FScanDecode") {
    Btn_StartScan = Add_Button("Btn_StartScan", 16);
    Btn_StopScan = Add_Button("Btn_StopScan", 134);
    Btn_AbortScan = Add_Button("Btn_AbortScan", 252);
    Btn_NewScan = Add_Button("Btn_NewScan", 370);
    Btn_SaveConf = Add_Button("Btn_SaveConf", 488);
    Btn_SaveConfManual = Add_Button("Btn_SaveConfManual", 606);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFScanDecode::FormCreate(TObject* /*Sender*/) {
    SetClientSize(760, 571);
    Set_Lang();
    MBusScanDecode = std::make_unique<TMBusScanDecode>();
}

void TFScanDecode::Set_Lang() {
    SetCaption(UI_Texts[1200]);
    L_SW_Code->SetCaption(UI_Texts[1201]);
    L_SW_Desc->SetCaption(UI_Texts[1202]);
    Btn_StartScan->SetCaption(UI_Texts[1221]);
    Btn_StopScan->SetCaption(UI_Texts[1222]);
    Btn_AbortScan->SetCaption(UI_Texts[1223]);
    Btn_NewScan->SetCaption(UI_Texts[1224]);
    Btn_SaveConf->SetCaption(UI_Texts[1225]);
    Btn_SaveConfManual->SetCaption(UI_Texts[1239]);
}
