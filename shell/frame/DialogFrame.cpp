#include "shell/frame/DialogFrame.h"

namespace {

constexpr int Title_Height = 69;
constexpr int Button_Panel_Height = 40;

TPanel* makePanel(TComponent* owner, TWinControl* parent, const std::string& name, TAlign align,
                  int height) {
    TPanel* p = Create_Panel(owner, parent, name, align);
    p->SetHeight(height);
    return p;
}

} // namespace

TPanel* Create_Panel(TComponent* Owner, TWinControl* Parent, const std::string& Name,
                     TAlign Align) {
    auto* p = Create_Control<TPanel>(Owner, Parent, Name);
    p->SetAlign(Align);
    p->SetBevelOuter(bvNone);
    p->SetCaption("");
    p->SetParentBackground(false);
    p->SetColor(Form_Color);
    return p;
}

TFrame_Button* Create_Push_Button(TComponent* Owner, TWinControl* Parent, const std::string& Name,
                                  int Left, int Top, int Width, int Height) {
    auto* b = Create_Control<TFrame_Button>(Owner, Parent, Name);
    b->SetBounds(Left, Top, Width, Height);
    b->SetStyle(bsEncarta);
    b->SetColor(Form_Color);
    b->SetColorWhenDown(Button_Down_Color);
    b->SetLightColor(clGray);
    b->SetHotTrackColor(clYellow);
    return b;
}

std::unique_ptr<TBitmap> Create_Arrow_Glyph() {
    auto bmp = std::make_unique<TBitmap>(16, 16);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 16, 16));
    c->Pen()->SetColor(clGray);
    c->Brush()->SetColor(clGray);
    c->Polygon({{5, 3}, {11, 8}, {5, 13}});
    return bmp;
}

TLabel* Create_Label(TComponent* Owner, TWinControl* Parent, const std::string& Name, int Left,
                     int Top, const std::string& Caption) {
    auto* l = Create_Control<TLabel>(Owner, Parent, Name);
    l->SetLeft(Left);
    l->SetTop(Top);
    l->SetCaption(Caption);
    return l;
}

TPageControl* Create_Page_Control(TComponent* Owner, TWinControl* Parent, const std::string& Name,
                                  TAlign Align) {
    auto* p = Create_Control<TPageControl>(Owner, Parent, Name);
    p->SetAlign(Align);
    return p;
}

TTabSheet* Create_Tab_Sheet(TComponent* Owner, TPageControl* Pages, const std::string& Name) {
    auto* t = new TTabSheet(Owner);
    t->SetName(Name);
    t->SetPageControl(Pages);
    return t;
}

void Show_Hint(TControl* Control, const std::string& Hint) {
    Control->SetHint(Hint);
    Control->SetShowHint(true);
}

void Set_Form_Look(TCustomForm* Form) {
    Form->SetBorderStyle(bsSingle);
    Form->SetBorderIcons({biSystemMenu});
    Form->SetPosition(poScreenCenter);
    Form->SetColor(Form_Color);
    Form->Font()->SetName("Verdana");
    Form->Font()->SetHeight(-11);
}

TFramed_Dialog::TFramed_Dialog(TComponent* AOwner, const std::string& Name) : TForm(AOwner) {
    SetName(Name);
    Set_Form_Look(this);
    P_Title = makePanel(this, this, "P_Title", alTop, Title_Height);
    L_SW_Code = Create_Label(this, P_Title, "L_SW_Code", 16, 8);
    L_SW_Code->Font()->SetName("Verdana");
    L_SW_Code->Font()->SetHeight(-32);
    L_SW_Code->Font()->SetColor(clGray);
    L_SW_Desc = Create_Label(this, P_Title, "L_SW_Desc", 16, 42);
    L_SW_Desc->Font()->SetName("Verdana");
    L_SW_Desc->Font()->SetHeight(-11);
    L_SW_Desc->Font()->SetStyle({fsBold});
    L_SW_Desc->Font()->SetColor(clGray);
    P_Button = makePanel(this, this, "P_Button", alBottom, Button_Panel_Height);
}

void TFramed_Dialog::AfterConstruction() {
    P_Button->SetTabOrder(ControlCount());
    TForm::AfterConstruction();
}

void TFramed_Dialog::DoShow() {
    SetActiveControl(nullptr);
    TForm::DoShow();
}

TFrame_Button* TFramed_Dialog::Add_Button(const std::string& Name, int Left, TModalResult Result) {
    TFrame_Button* b = Create_Push_Button(this, P_Button, Name, Left, 6, 110, 28);
    b->SetModalResult(Result);
    return b;
}

void TFramed_Dialog::Add_Table_Buttons(TFrame_Button*& OK, TFrame_Button*& Cancel,
                                       TFrame_Button*& DelRow, TFrame_Button*& InsRow) {
    OK = Add_Button("Btn_OK", 16);
    Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    DelRow = Add_Button("Btn_DelRow", 252);
    InsRow = Add_Button("Btn_InsRow", 370);
    // The tables' grids are not built yet: OK and the row buttons would do nothing.
    for (TFrame_Button* b : {OK, DelRow, InsRow}) b->SetEnabled(false);
}

void TFramed_Dialog::Add_Table_Buttons(TFrame_Button*& OK, TFrame_Button*& Cancel,
                                       TFrame_Button*& DelRow, TFrame_Button*& InsRow,
                                       TFrame_Button*& CopyRow, TFrame_Button*& PasteRow) {
    Add_Table_Buttons(OK, Cancel, DelRow, InsRow);
    CopyRow = Add_Button("Btn_CopyRow", 488);
    PasteRow = Add_Button("Btn_PasteRow", 606);
    for (TFrame_Button* b : {CopyRow, PasteRow}) b->SetEnabled(false);
}
