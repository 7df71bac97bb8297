#include "controls/QorTimePickerDropDown.h"

#include "platform/base/FormatSettings.h"
#include "platform/base/SysUtils.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/ExtCtrls.h"

#include <cctype>

namespace {

std::string separator() {
    return std::string(1, FormatSettings().TimeSeparator);
}

std::string twoDigits(int Value) {
    return Value < 10 ? "0" + IntToStr(Value) : IntToStr(Value);
}

// The keys the popup keeps for the clock unless Alt is held.
bool clockKey(WORD Key) {
    return Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN;
}

bool altHeld() {
    return GetKeyState(VK_MENU) < 0;
}

std::string maskFor(bool Seconds) {
    const std::string s = separator();
    return Seconds ? "!90" + s + "00" + s + "00;1; " : "!90" + s + "00;1; ";
}

// Reads one part: empty, or one or two digits first (the rest ignored); -1 when it is neither.
int partValue(const std::string& Text) {
    const std::string t = Trim(Text);
    if (t.empty()) return 0;
    if (!std::isdigit(static_cast<unsigned char>(t[0]))) return -1;
    int value = t[0] - '0';
    if (t.size() > 1 && std::isdigit(static_cast<unsigned char>(t[1])))
        value = value * 10 + (t[1] - '0');
    return value;
}

} // namespace

TQorTimePickerDropDown::TQorTimePickerDropDown(TComponent* AOwner)
    : TQorCustomDropDown(AOwner), FWatchAppearance(std::make_unique<TWatchAppearance>()),
      FWatchSettings(std::make_unique<TWatchSettings>()) {
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    const std::string s = separator();
    setMaskAndText(maskFor(true), "00" + s + "00" + s + "00");
    DropDownHeader()->SetVisible(false);
    DropDownFooter()->SetVisible(false);
    // The clock exists from the start.
    DropDownFormNeeded();
}

TQorTimePickerDropDown::~TQorTimePickerDropDown() = default;

void TQorTimePickerDropDown::setMaskAndText(const std::string& Mask, const std::string& Text) {
    FInternalCall = true;
    FEditMask = Mask;
    SetEditText(Text);
    FInternalCall = false;
}

std::string TQorTimePickerDropDown::TimeText(TDateTime Value) const {
    int h, m, s, ms;
    DecodeTime(Value, h, m, s, ms);
    std::string text = twoDigits(h) + separator() + twoDigits(m);
    if (FShowSeconds) text += separator() + twoDigits(s);
    return text;
}

void TQorTimePickerDropDown::SetTime(TDateTime Value) {
    if (Value == FTime) return;
    FTime = Value;
    setMaskAndText(FEditMask, TimeText(Value));
    if (!DroppedDown()) return;
    if (FQorWatch) setWatchTime(Value);
    if (FShowTimePicker && FDateTimePicker) FDateTimePicker->SetTime(Value);
}

void TQorTimePickerDropDown::SetShowSeconds(bool Value) {
    if (Value == FShowSeconds) return;
    FShowSeconds = Value;
    setMaskAndText("", "");
    setMaskAndText(maskFor(Value), "");
    // Moved by a day first, so that the setter sees a change and rewrites the text.
    const TDateTime time = FTime;
    FTime = time + 1;
    SetTime(time);
}

void TQorTimePickerDropDown::setPart(int Part, int Value) {
    int parts[3], ms;
    DecodeTime(FTime, parts[0], parts[1], parts[2], ms);
    if (Value == parts[Part] || Value < 0 || Value > (Part == 0 ? 23 : 59)) return;
    parts[Part] = Value;
    SetTime(EncodeTime(parts[0], parts[1], parts[2], ms));
    if (OnTimeChange) OnTimeChange(this);
}

void TQorTimePickerDropDown::stepPart(WORD Key) {
    const std::string text = EditText();
    const int caret = SelStart();
    const std::string sep = separator();
    const std::size_t first = text.find(sep);
    int part = 1;
    if (first == std::string::npos || caret < int(first) + 1) {
        part = 0;
    } else {
        const std::size_t second = text.find(sep, first + 1);
        const int p1 = int(first) + 1;
        const int p2 = second == std::string::npos ? 0 : int(second - first);
        if (FShowSeconds && p2 > 0 && caret >= p1 + p2) part = 2;
    }
    int parts[3], ms;
    DecodeTime(FTime, parts[0], parts[1], parts[2], ms);
    const int limit = part == 0 ? 24 : 60;
    const int delta = Key == VK_DOWN ? 1 : -1;
    setPart(part, (parts[part] + delta + limit) % limit);
    SetSelStart(caret);
    SetSelLength(0);
}

void TQorTimePickerDropDown::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_CHAR && EditorEnabled()) {
        maskedKeyPress(Message);
        return;
    }
    TQorCustomDropDown::Dispatch(Message);
    if (Message.Msg != WM_KEYDOWN) return;
    const WORD key = WORD(Message.WParam);
    if (key != VK_UP && key != VK_DOWN) return;
    if (altHeld() || (Message.LParam & AltMask) || GetKeyState(VK_CONTROL) < 0) return;
    stepPart(key);
}

void TQorTimePickerDropDown::maskedKeyPress(TMessage& Message) {
    const char32_t key = char32_t(Message.WParam);
    if (key < '0' || key > '9') {
        // Editing keys keep their meaning; other characters do not fit the mask.
        if (key < 32) TQorCustomDropDown::Dispatch(Message);
        return;
    }
    // The digit positions of the mask: '0' and '9' before the first ';', '!' not counted.
    const std::string mask = FEditMask.substr(0, FEditMask.find(';'));
    std::string slots;
    for (char c : mask)
        if (c != '!') slots += c;
    std::string text = EditText();
    if (text.size() < slots.size()) text.resize(slots.size(), ' ');
    int pos = SelStart();
    while (pos < int(slots.size()) && slots[std::size_t(pos)] != '0' &&
           slots[std::size_t(pos)] != '9')
        ++pos;
    if (pos >= int(slots.size())) return;
    text[std::size_t(pos)] = char(key);
    SetEditText(text);
    SetSelStart(pos + 1);
    SetSelLength(0);
}

void TQorTimePickerDropDown::Change() {
    TQorCustomDropDown::Change();
    if (FInternalCall) return;
    std::string text = Trim(EditText());
    if (int(text.size()) != (FShowSeconds ? 8 : 5)) return;
    const std::string sep = separator();
    const std::size_t first = text.find(sep);
    if (first == std::string::npos) return;
    const std::string rest = Trim(text.substr(first + 1));
    const std::size_t second = rest.find(sep);
    if ((second != std::string::npos) != FShowSeconds) return;
    if (second != std::string::npos && rest.find(sep, second + 1) != std::string::npos) return;
    for (char& c : text)
        if (c == ' ') c = '0';
    const std::string hoursText = text.substr(0, first);
    std::string minutesText = text.substr(first + 1), secondsText;
    if (FShowSeconds) {
        const std::size_t s = minutesText.find(sep);
        secondsText = minutesText.substr(s + 1);
        minutesText = minutesText.substr(0, s);
    }
    const int h = partValue(hoursText), m = partValue(minutesText);
    const int s = FShowSeconds ? partValue(secondsText) : 0;
    if (h < 0 || m < 0 || s < 0) return;
    // A time out of range is ignored, as any other text that is not a time.
    TDateTime time;
    if (!TryEncodeTime(h, m, s, 0, time)) return;
    SetTime(time);
    const std::string formatted = TimeText(time);
    if (formatted != EditText() && m == 0 && s == 0) setMaskAndText(FEditMask, formatted);
}

// --- the popup ---------------------------------------------------------------------------------

void TQorTimePickerDropDown::CreateDropDownForm() {
    TQorCustomDropDown::CreateDropDownForm();
    if (FPanelCtrl) return;
    FPanelCtrl = new TPanel(this);
    FPanelCtrl->SetParent(FDropDownForm);
    FPanelCtrl->SetBevelOuter(bvNone);
    FPanelCtrl->SetBevelInner(bvNone);
    FPanelCtrl->SetBorderStyle(bsNone);
    FPanelCtrl->SetBounds(0, 0, FPanelCtrl->Width(), 180);
    FQorWatch = new TQorWatch(this);
    FQorWatch->SetParent(FPanelCtrl);
    FQorWatch->SetAlign(alClient);
    SetControl(FPanelCtrl);
}

void TQorTimePickerDropDown::Notification(TComponent* AComponent, TOperation Operation) {
    TQorCustomDropDown::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FQorWatch) FQorWatch = nullptr;
    if (AComponent == FDateTimePicker) FDateTimePicker = nullptr;
    if (AComponent == FPanelCtrl) FPanelCtrl = nullptr;
}

void TQorTimePickerDropDown::setWatchTime(TDateTime Value) {
    TNotifyEvent change = FQorWatch->OnChange;
    FQorWatch->OnChange = nullptr;
    FQorWatch->SetTime(Value);
    FQorWatch->OnChange = change;
}

void TQorTimePickerDropDown::BeforeDropDown() {
    TQorCustomDropDown::BeforeDropDown();
    if (!FPanelCtrl || !FQorWatch) return;
    FPanelCtrl->SetAlign(alNone);
    FPanelCtrl->SetBounds(0, 0, 170, 170);
    // The popup lays itself out again.
    FDropDownForm->SetWidth(FDropDownForm->Width() + 1);
    FDropDownForm->SetWidth(FDropDownForm->Width() - 1);
    // Clicking elsewhere keeps the time set on the clock.
    FDropDownForm->SetCancelOnDeActivate(false);
    FPanelCtrl->SetColor(DropDownColor());
    FQorWatch->SetAppearance(FWatchAppearance.get());
    FQorWatch->SetSettings(FWatchSettings.get());
    FQorWatch->SetShowAMPM(FShowWatchAMPM);
    FQorWatch->SetShowNumbers(FShowWatchNumbers);
    FQorWatch->SetAnimation(FAnimation);
    FQorWatch->SetAnimationFactor(FAnimationFactor);
    FDropDownTime = FTime;
    FQorWatch->OnChange = nullptr;
    if (!FWatchSettings->Auto()) FQorWatch->SetTime(FTime);
    FQorWatch->OnChange = [this](TObject*) { watchChange(); };
    if (!FShowTimePicker) {
        if (FDateTimePicker) FDateTimePicker->SetVisible(false);
        return;
    }
    if (!FDateTimePicker) {
        FDateTimePicker = new TDateTimePicker(this);
        FDateTimePicker->SetKind(dtkTime);
        FDateTimePicker->SetParent(FPanelCtrl);
        FDateTimePicker->SetAlign(alBottom);
    }
    FDateTimePicker->SetVisible(true);
    FDateTimePicker->OnChange = nullptr;
    FDateTimePicker->SetTime(FTime);
    FDateTimePicker->BringToFront();
    FDateTimePicker->OnChange = [this](TObject*) { pickerChange(); };
    FDateTimePicker->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) {
        ControlKeyDown(Key, Shift);
    };
    FDateTimePicker->OnKeyUp = [this](TObject*, WORD& Key, TShiftState Shift) {
        ControlKeyUp(Key, Shift);
    };
    FDateTimePicker->OnKeyPress = [this](TObject*, char32_t& Key) { ControlKeyPress(Key); };
    FDateTimePicker->SetFormat(FShowSeconds ? "HH:mm:ss" : "HH:mm");
    FPanelCtrl->SetHeight(FDateTimePicker->Height() + 170);
}

void TQorTimePickerDropDown::DoHideDropDown(bool Cancelled) {
    if (!Cancelled || !FQorWatch) {
        TQorCustomDropDown::DoHideDropDown(Cancelled);
        if (FQorWatch) SetTime(FQorWatch->Time());
        return;
    }
    // A cancel returns to the time the popup opened with: the clock's changes showed at once,
    // and the clock goes back before the popup's hiding reads it.
    setWatchTime(FDropDownTime);
    const bool internal = FInternalCall;
    FInternalCall = true;
    TQorCustomDropDown::DoHideDropDown(Cancelled);
    FInternalCall = internal;
    SetTime(FDropDownTime);
    setMaskAndText(FEditMask, TimeText(FTime));
}

void TQorTimePickerDropDown::AfterHideDropDown() {
    TQorCustomDropDown::AfterHideDropDown();
    if (FQorWatch) SetTime(FQorWatch->Time());
}

void TQorTimePickerDropDown::watchChange() {
    if (FDateTimePicker && FShowTimePicker && FDateTimePicker->Time() != FQorWatch->Time()) {
        FDateTimePicker->SetTime(FQorWatch->Time());
        if (OnTimeChange) OnTimeChange(this);
    }
    SetTime(FQorWatch->Time());
}

void TQorTimePickerDropDown::pickerChange() {
    if (FDateTimePicker && FQorWatch && !FWatchSettings->Auto())
        FQorWatch->SetTime(FDateTimePicker->Time());
}

// --- keys from the popup -------------------------------------------------------------------

void TQorTimePickerDropDown::DropDownFormKeyDown(WORD& Key, TShiftState Shift) {
    if (!clockKey(Key) || Shift.Contains(ssAlt))
        TQorCustomDropDown::DropDownFormKeyDown(Key, Shift);
    if (FDropDownForm && FDropDownForm->Visible() && FQorWatch) FQorWatch->HandleWatchKey(Key);
}

void TQorTimePickerDropDown::DropDownFormKeyUp(WORD& Key, TShiftState Shift) {
    if (!clockKey(Key) || Shift.Contains(ssAlt)) TQorCustomDropDown::DropDownFormKeyUp(Key, Shift);
}

void TQorTimePickerDropDown::ControlKeyDown(WORD& Key, TShiftState Shift) {
    if (!clockKey(Key) || Shift.Contains(ssAlt)) TQorCustomDropDown::ControlKeyDown(Key, Shift);
    if (FDropDownForm && FDropDownForm->Visible() && FQorWatch) FQorWatch->HandleWatchKey(Key);
}

void TQorTimePickerDropDown::ControlKeyUp(WORD& Key, TShiftState Shift) {
    if (!clockKey(Key) || Shift.Contains(ssAlt)) TQorCustomDropDown::ControlKeyUp(Key, Shift);
}

void TQorTimePickerDropDown::ControlKeyPress(char32_t& Key) {
    if ((Key == 33 || Key == 34 || Key == 38 || Key == 40) && !altHeld()) return;
    TQorCustomDropDown::ControlKeyPress(Key);
}

void TQorTimePickerDropDown::SetComponentStyle(TQorStyle AStyle) {
    TQorCustomDropDown::SetComponentStyle(AStyle);
    if (FWatchAppearance) ApplyWatchColorStyle(FWatchAppearance.get(), AStyle);
}
