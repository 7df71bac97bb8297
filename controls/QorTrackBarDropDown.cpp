#include "controls/QorTrackBarDropDown.h"

#include "platform/base/SysUtils.h"
#include "platform/ui/TrackBar.h"

TQorTrackBarDropDown::TQorTrackBarDropDown(TComponent* AOwner) : TQorCustomDropDown(AOwner) {
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    SetEditType(etNumeric);
    DropDownHeader()->SetVisible(false);
    DropDownFooter()->SetVisible(false);
    SetForceShadow(true);
    // The track bar exists from the start, so that the settings reach it.
    DropDownFormNeeded();
}

TQorTrackBarDropDown::~TQorTrackBarDropDown() = default;

void TQorTrackBarDropDown::CreateDropDownForm() {
    TQorCustomDropDown::CreateDropDownForm();
    if (FTrackBar) return;
    FTrackBar = new TTrackBar(this);
    FTrackBar->SetParent(FDropDownForm);
    FTrackBar->SetBounds(0, 0, FTrackBar->Width(), 40);
    FTrackBar->OnChange = [this](TObject*) { trackChange(); };
}

void TQorTrackBarDropDown::BeforeDropDown() {
    TQorCustomDropDown::BeforeDropDown();
    FDropDownForm->SetCancelOnDeActivate(false);
    if (FTrackBar) {
        FTrackBar->SetMin(FMin);
        FTrackBar->SetMax(FMax);
        FTrackBar->SetPosition(FPosition);
        FTrackBar->SetPageSize(FPageSize);
        FTrackBar->SetFrequency(FFrequency);
        FTrackBar->SetWidth(Width());
        SetControl(FTrackBar);
    }
}

void TQorTrackBarDropDown::SetFrequency(int Value) {
    FFrequency = Value;
    if (FTrackBar) FTrackBar->SetFrequency(Value);
}

void TQorTrackBarDropDown::SetPageSize(int Value) {
    FPageSize = Value;
    if (FTrackBar) FTrackBar->SetPageSize(Value);
}

void TQorTrackBarDropDown::SetMin(int Value) {
    FMin = Value;
    if (!FTrackBar) return;
    FTrackBar->SetMin(Value);
    FMin = FTrackBar->Min();
}

void TQorTrackBarDropDown::SetMax(int Value) {
    FMax = Value;
    if (!FTrackBar) return;
    FTrackBar->SetMax(Value);
    FMax = FTrackBar->Max();
}

void TQorTrackBarDropDown::SetPosition(int Value) {
    FPosition = Value;
    if (!FTrackBar) return;
    FTrackBar->SetPosition(Value);
    FPosition = FTrackBar->Position();
}

void TQorTrackBarDropDown::trackChange() {
    if (!FTrackBar) return;
    FPosition = FTrackBar->Position();
    SetEditText(IntToStr(FPosition));
    if (OnTrackChange) OnTrackChange(this);
}

void TQorTrackBarDropDown::Change() {
    TQorCustomDropDown::Change();
    // A text that is not an integer leaves the position as it is.
    int value = 0;
    if (TryStrToInt(Text(), value)) SetPosition(value);
}

void TQorTrackBarDropDown::Dispatch(TMessage& Message) {
    TQorCustomDropDown::Dispatch(Message);
    if (Message.Msg != WM_KEYDOWN || EditorEnabled() || GetKeyState(VK_MENU) < 0) return;
    const WORD key = WORD(Message.WParam);
    if (key == VK_UP && FPosition - FFrequency >= FMin)
        SetPosition(FPosition - FFrequency);
    else if (key == VK_DOWN && FPosition + FFrequency <= FMax)
        SetPosition(FPosition + FFrequency);
}

void TQorTrackBarDropDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TQorCustomDropDown::MouseDown(Button, Shift, X, Y);
    if (!DropDownEnabled() || EditorEnabled()) return;
    FLastX = X;
    FDragging = true;
}

void TQorTrackBarDropDown::MouseMove(TShiftState Shift, int X, int Y) {
    TQorCustomDropDown::MouseMove(Shift, X, Y);
    if (!FDragging || FPageSize == 0) return;
    SetPosition(FPosition + (X - FLastX) / FPageSize);
    FLastX = X;
}

void TQorTrackBarDropDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TQorCustomDropDown::MouseUp(Button, Shift, X, Y);
    FDragging = false;
}
