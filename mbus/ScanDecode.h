#pragma once
// The scan-and-decode window of the M-Bus variants.
#include "mbus/scan/MBusScanDecode.h"
#include "shell/frame/DialogFrame.h"

#include <memory>

class TFScanDecode : public TFramed_Dialog {
public:
    explicit TFScanDecode(TComponent* AOwner);

    TFrame_Button* Btn_StartScan;
    TFrame_Button* Btn_StopScan;
    TFrame_Button* Btn_AbortScan;
    TFrame_Button* Btn_NewScan;
    TFrame_Button* Btn_SaveConf;
    TFrame_Button* Btn_SaveConfManual;
    int XML_Code_Dev = 0;      // device code for the network-file writers
    std::string FileName_MBus; // the project's M-Bus file
    int Form_Type = 0;         // 1: wired and wireless scans are offered
    // The scan thread, made with the window at start-up; it waits on its event until the
    // window lets it run.
    std::unique_ptr<TMBusScanDecode> MBusScanDecode;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFScanDecode* FScanDecode;
