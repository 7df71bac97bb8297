#include "image/dialogs/ProfinetFileName.h"

#include "platform/base/DateUtils.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFProfinetFileName* FProfinetFileName = nullptr;

TFProfinetFileName::TFProfinetFileName(TComponent* AOwner)
    : TFramed_Dialog(AOwner, "FProfinetFileName") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    L_Select_Name = Create_Label(this, this, "L_Select_Name", 16, 78);
    L_FixPart_1 = Create_Label(this, this, "L_FixPart_1", 16, 102);
    L_UsedPart = Create_Label(this, this, "L_UsedPart", 226, 102);
    L_FixPart_2 = Create_Label(this, this, "L_FixPart_2", 416, 102);
    L_XML_Fix1 = Create_Label(this, this, "L_XML_Fix1", 16, 124);
    L_XML_Fix2 = Create_Label(this, this, "L_XML_Fix2", 416, 124);
    E_XML_User = Create_Control<TEdit>(this, this, "E_XML_User");
    E_XML_User->SetLeft(226);
    E_XML_User->SetTop(120);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFProfinetFileName::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(540, 205);
    if (Product_Type() == 12) L_XML_Fix1->SetCaption("GSDML-V2.31-Morvik-QV40522");
    if (Product_Type() == 1012) L_XML_Fix1->SetCaption("GSDML-V2.31-Lorvan-QV40522");
    // The date of the program's start, taken once.
    L_XML_Fix2->SetCaption("-" + FormatDateTime("yyyymmdd", Now()) + ".xml");
    Set_Lang();
}

void TFProfinetFileName::Set_Lang() {
    SetCaption(UI_Texts[911]);
    L_SW_Desc->SetCaption(UI_Texts[912]);
    Btn_OK->SetCaption(UI_Texts[917]);
    Btn_Cancel->SetCaption(UI_Texts[918]);
    L_Select_Name->SetCaption(UI_Texts[913]);
    L_FixPart_1->SetCaption(UI_Texts[914]);
    L_UsedPart->SetCaption(UI_Texts[915]);
    L_FixPart_2->SetCaption(UI_Texts[916]);
}
