#include "editors/frames/DefOffset.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFDefOffset* FDefOffset = nullptr;

namespace {

constexpr int Pages_Top = 40;

} // namespace

TFDefOffset::TFDefOffset(TComponent* AOwner) : TFramed_Dialog(AOwner, "FDefOffset") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    Panel1 = Create_Panel(this, this, "Panel1", alTop);
    Panel1->SetHeight(162);
    Panel3 = Create_Panel(this, this, "Panel3", alClient);
    PageControl1 = Create_Page_Control(this, Panel3, "PageControl1", alNone);
    PageControl1->SetAnchors({akLeft, akTop, akRight, akBottom});
    TabSheet1 = Create_Tab_Sheet(this, PageControl1, "TabSheet1");
    TabSheet2 = Create_Tab_Sheet(this, PageControl1, "TabSheet2");
    Label1 = Create_Label(this, Panel1, "Label1", 8, 4);
    Label2 = Create_Label(this, Panel3, "Label2", 8, 4);
    Label3 = Create_Label(this, Panel3, "Label3", 8, 20);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFDefOffset::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(482, 610);
    // The pages take the part of Panel3 below its two labels.
    PageControl1->SetBounds(0, Pages_Top, Panel3->ClientWidth(),
                            Panel3->ClientHeight() - Pages_Top);
    PageControl1->SetActivePage(TabSheet1);
    Set_Lang();
}

void TFDefOffset::Set_Lang() {
    SetCaption(UI_Texts[641]);
    L_SW_Desc->SetCaption(UI_Texts[642]);
    Btn_OK->SetCaption(UI_Texts[643]);
    Btn_Cancel->SetCaption(UI_Texts[644]);
    TabSheet1->SetCaption(UI_Texts[645]);
    TabSheet2->SetCaption(UI_Texts[646]);
    Label1->SetCaption(UI_Texts[647]);
    Label2->SetCaption(UI_Texts[648]);
    Label3->SetCaption(UI_Texts[649]);
}
