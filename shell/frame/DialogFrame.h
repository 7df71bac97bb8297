#pragma once
// What the program's forms share: their look, the making of their controls, the push button of
// every form, and the frame of the dialogs (title panel with software code and subtitle, button
// panel at the bottom).
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/core/Forms.h"
#include "shell/frame/PbButton.h"

#include <memory>
#include <string>

// Background of the forms and their panels (red 248, green 248, blue 237).
constexpr TColor Form_Color = 15595512;
// Face of a pushed button (red 255, green 128, blue 0).
constexpr TColor Button_Down_Color = 33023;

// A control of class T named Name, owned by Owner and shown in Parent.
template <class T>
T* Create_Control(TComponent* Owner, TWinControl* Parent, const std::string& Name) {
    auto* c = new T(Owner);
    c->SetName(Name);
    c->SetParent(Parent);
    return c;
}

// The push button of the forms. Every button is made by Create_Push_Button, so that the class
// is chosen here alone: bsEncarta, the form colour, Button_Down_Color when pressed, a grey light
// edge and yellow hot tracking.
using TFrame_Button = TPbButton;
TFrame_Button* Create_Push_Button(TComponent* Owner, TWinControl* Parent, const std::string& Name,
                                  int Left, int Top, int Width, int Height);

// The arrow glyph of the step and Next buttons: a small grey arrow on fuchsia, which the
// button makes transparent.
std::unique_ptr<TBitmap> Create_Arrow_Glyph();

TLabel* Create_Label(TComponent* Owner, TWinControl* Parent, const std::string& Name, int Left,
                     int Top, const std::string& Caption = "");

// A flat panel of Parent, without caption, in the form colour.
TPanel* Create_Panel(TComponent* Owner, TWinControl* Parent, const std::string& Name, TAlign Align);

// A page control of Parent and a page of it.
TPageControl* Create_Page_Control(TComponent* Owner, TWinControl* Parent, const std::string& Name,
                                  TAlign Align);
TTabSheet* Create_Tab_Sheet(TComponent* Owner, TPageControl* Pages, const std::string& Name);

// Gives Control a hint that shows when the mouse rests on it.
void Show_Hint(TControl* Control, const std::string& Hint);

// The look of every form: Verdana -11, the form colour, a single border with only the system
// menu box, centred on the screen.
void Set_Form_Look(TCustomForm* Form);

// A dialog with the shared frame. Derived dialogs add their buttons with Add_Button and their
// other controls in their constructor; their creation handler runs from OnCreate.
class TFramed_Dialog : public TForm {
public:
    TFramed_Dialog(TComponent* AOwner, const std::string& Name);

    TPanel* P_Title;
    TLabel* L_SW_Code; // software code, Verdana -32, grey, at (16, 8)
    TLabel* L_SW_Desc; // subtitle, Verdana bold -11, grey, at (16, 42)
    TPanel* P_Button;

    // The button panel comes last in the tab order, after the controls the derived dialog added.
    void AfterConstruction() override;

protected:
    // Each showing starts with the focus on the first control of the content (or where OnShow
    // puts it), not on the button that closed the dialog last time.
    void DoShow() override;
    // A 110 x 28 button of the button panel at top 6.
    TFrame_Button* Add_Button(const std::string& Name, int Left, TModalResult Result = mrNone);
    // The buttons of a table editor from the left: Btn_OK, Btn_Cancel (mrCancel), Btn_DelRow,
    // Btn_InsRow and, where the table copies rows, Btn_CopyRow and Btn_PasteRow. All but Cancel
    // start disabled, until the table editor is built.
    void Add_Table_Buttons(TFrame_Button*& OK, TFrame_Button*& Cancel, TFrame_Button*& DelRow,
                           TFrame_Button*& InsRow);
    void Add_Table_Buttons(TFrame_Button*& OK, TFrame_Button*& Cancel, TFrame_Button*& DelRow,
                           TFrame_Button*& InsRow, TFrame_Button*& CopyRow,
                           TFrame_Button*& PasteRow);
};
