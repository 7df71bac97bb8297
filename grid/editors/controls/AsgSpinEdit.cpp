#include "grid/editors/controls/AsgSpinEdit.h"

#include "platform/base/FormatSettings.h"
#include "platform/ui/core/Timers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwctype>

namespace {
bool isDigitChar(char32_t c) {
    return (c >= '0' && c <= '9') || (c > 0x7F && std::iswdigit(wint_t(c)));
}

// A decimal integer: optional sign and digits that fit 32 bits.
bool parseDecimal(const std::string& s, int& v) {
    std::size_t i = s.empty() || (s[0] != '-' && s[0] != '+') ? 0 : 1;
    if (i == s.size()) return false;
    long long r = 0;
    for (std::size_t j = i; j < s.size(); ++j) {
        if (s[j] < '0' || s[j] > '9') return false;
        r = r * 10 + (s[j] - '0');
        if (r > 2147483648LL) return false;
    }
    if (s[0] == '-') r = -r;
    if (r > 2147483647LL || r < -2147483648LL) return false;
    v = int(r);
    return true;
}

// Position (from 1) of the first occurrence of c in s at or after From (from 1); 0 when none.
int posFrom(const std::u32string& s, char32_t c, int From) {
    for (int i = std::max(1, From); i <= int(s.size()); ++i)
        if (s[std::size_t(i - 1)] == c) return i;
    return 0;
}

constexpr unsigned firstRepeat = 400;
constexpr unsigned nextRepeat = 100;
} // namespace

// --- default glyphs ----------------------------------------------------------------------------
void LoadSpinGlyph(TBitmap* Glyph, bool Up) {
    // A black arrow on a face-coloured ground, whose bottom-left pixel makes it transparent.
    Glyph->SetSize(9, 6);
    TCanvas* c = Glyph->Canvas();
    FillRect(c, Rect(0, 0, 9, 6), clBtnFace);
    for (int row = 0; row < 4; ++row) {
        const int y = Up ? 1 + row : 4 - row;
        for (int x = 1 + row; x <= 7 - row; ++x) c->SetPixels(x, y, clBlack);
    }
    Glyph->SetTransparentMode(tmAuto);
}

// --- TQorTimerSpeedButton ------------------------------------------------------------------------
TQorTimerSpeedButton::TQorTimerSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

void TQorTimerSpeedButton::SetButtonDirection(TButtonDirection v) {
    if (FButtonDirection == v) return;
    FButtonDirection = v;
    Invalidate();
}

void TQorTimerSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    if (FTimeBtnState.Contains(tbAllowTimer)) {
        if (!FRepeatTimer) {
            FRepeatTimer = new TTimer(this);
            FRepeatTimer->SetEnabled(false);
            FRepeatTimer->OnTimer = [this](TObject* s) { RepeatTick(s); };
        }
        FRepeatTimer->SetInterval(firstRepeat);
        FRepeatTimer->SetEnabled(true);
    }
    if (Parent()) Parent()->Invalidate();
}

void TQorTimerSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TSpeedButton::MouseUp(Button, Shift, X, Y);
    if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
    if (Parent()) Parent()->Invalidate();
}

void TQorTimerSpeedButton::RepeatTick(TObject*) {
    if (FRepeatTimer->Interval() != nextRepeat) FRepeatTimer->SetInterval(nextRepeat);
    if (State() != bsDown || !MouseCapture()) return;
    try {
        Click();
    } catch (...) {
        FRepeatTimer->SetEnabled(false);
        throw;
    }
}

void TQorTimerSpeedButton::Paint() {
    TCanvas* C = Canvas();
    const TRect R = ClientRect();
    const bool pressed = Pressed();
    auto* pair = dynamic_cast<TAsgSpinButton*>(Parent());
    if (pair && pair->ButtonColor() != clNone) {
        const TColor face = pressed      ? pair->ButtonColorDown()
                            : HasMouse() ? pair->ButtonColorHot()
                                         : pair->ButtonColor();
        C->Brush()->SetColor(face);
        C->Pen()->SetColor(face);
        C->Rectangle(R);
        C->Brush()->SetColor(clBlack);
        C->Pen()->SetColor(clBlack);
        switch (FButtonDirection) {
        case bdLeft:
            C->Polygon({{5, 5}, {3, 7}, {5, 9}});
            break;
        case bdRight:
            C->Polygon({{3, 5}, {5, 7}, {3, 9}});
            break;
        case bdUp:
            C->Polygon({{4, 4}, {8, 4}, {6, 2}});
            break;
        case bdDown:
            C->Polygon({{4, 2}, {8, 2}, {6, 4}});
            break;
        }
    } else if (FButtonDirection == bdLeft || FButtonDirection == bdRight) {
        // No visual-style library here: the classic scroll arrow.
        TRect r = R;
        unsigned flags = FButtonDirection == bdLeft ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT;
        if (pressed) flags |= DFCS_PUSHED;
        if (Flat()) flags |= DFCS_FLAT;
        DrawFrameControl(C, r, DFC_SCROLL, flags);
    } else {
        TSpeedButton::Paint();
    }
    if (FTimeBtnState.Contains(tbFocusRect)) {
        TRect f = R;
        InflateRect(f, -2, -2);
        C->DrawFocusRect(f);
    }
}

// --- TAsgSpinButton ----------------------------------------------------------------------------
TAsgSpinButton::TAsgSpinButton(TComponent* AOwner) : TButtonHolder(AOwner) {
    SetControlStyle((ControlStyle() & ~(csAcceptsControls | csSetCaption)) | csOpaque);
    SetColor(clBtnFace);
    FUpButton = CreateButton();
    FUpButton->SetButtonDirection(bdUp);
    LoadSpinGlyph(FUpButton->Glyph(), true);
    FDownButton = CreateButton();
    FDownButton->SetButtonDirection(bdDown);
    LoadSpinGlyph(FDownButton->Glyph(), false);
    FFocusedButton = FUpButton;
    SetBounds(0, 0, 15, 25);
}

TQorTimerSpeedButton* TAsgSpinButton::CreateButton() {
    auto* b = new TQorTimerSpeedButton(this);
    b->OnClick = [this](TObject* s) { ArrowClick(s); };
    b->OnMouseDown = [this](TObject* s, TMouseButton Button, TShiftState Shift, int X, int Y) {
        ArrowMouseDown(s, Button, Shift, X, Y);
    };
    b->SetTimeBtnState({tbAllowTimer});
    b->SetVisible(true);
    b->SetEnabled(true);
    b->SetParent(this);
    return b;
}

void TAsgSpinButton::ButtonLookChanged() {
    FUpButton->Invalidate();
    FDownButton->Invalidate();
}

void TAsgSpinButton::SetIsWinXP(bool v) {
    FIsWinXP = v;
    FUpButton->SetIsWinXP(v);
    FDownButton->SetIsWinXP(v);
}

void TAsgSpinButton::SetDirection(TSpinDirection v) {
    if (FDirection == v) return;
    FDirection = v;
    if (HandleAllocated()) RecreateWnd();
    if (v == spHorizontal) {
        SetWidth(20);
        FUpButton->SetButtonDirection(bdRight);
        FDownButton->SetButtonDirection(bdLeft);
    } else {
        SetWidth(15);
        FUpButton->SetButtonDirection(bdUp);
        FDownButton->SetButtonDirection(bdDown);
    }
}

TBitmap* TAsgSpinButton::UpGlyph() const {
    return FUpButton->Glyph();
}

void TAsgSpinButton::SetUpGlyph(const TBitmap* v) {
    if (v) {
        FUpButton->SetGlyph(v);
    } else {
        LoadSpinGlyph(FUpButton->Glyph(), true);
        FUpButton->SetNumGlyphs(1);
    }
}

TBitmap* TAsgSpinButton::DownGlyph() const {
    return FDownButton->Glyph();
}

void TAsgSpinButton::SetDownGlyph(const TBitmap* v) {
    if (v) {
        FDownButton->SetGlyph(v);
    } else {
        LoadSpinGlyph(FDownButton->Glyph(), false);
        FDownButton->SetNumGlyphs(1);
    }
}

int TAsgSpinButton::UpNumGlyphs() const {
    return FUpButton->NumGlyphs();
}

void TAsgSpinButton::SetUpNumGlyphs(int v) {
    FUpButton->SetNumGlyphs(v);
}

int TAsgSpinButton::DownNumGlyphs() const {
    return FDownButton->NumGlyphs();
}

void TAsgSpinButton::SetDownNumGlyphs(int v) {
    FDownButton->SetNumGlyphs(v);
}

void TAsgSpinButton::ArrangeButtons(int& W, int& H) {
    if ((ComponentState() & csLoading) || !FUpButton || !FDownButton) return;
    if (FDirection == spVertical) {
        W = std::max(W, 15);
        const int up = H / 2;
        FUpButton->SetBounds(0, 0, W, up);
        FDownButton->SetBounds(0, up - 1, W, H - up + 1);
    } else {
        W = std::max(W, 20);
        FDownButton->SetBounds(0, 0, W / 2, H);
        FUpButton->SetBounds(W / 2 + 1, 0, W / 2, H);
    }
}

void TAsgSpinButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    int w = AWidth, h = AHeight;
    ArrangeButtons(w, h);
    TButtonHolder::SetBounds(ALeft, ATop, w, h);
}

void TAsgSpinButton::Loaded() {
    TButtonHolder::Loaded();
    int w = Width(), h = Height();
    ArrangeButtons(w, h);
    if (w != Width() || h != Height()) SetBounds(Left(), Top(), w, h);
}

void TAsgSpinButton::ArrowMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int, int) {
    if (Button != mbLeft) return;
    SetFocusedButton(static_cast<TQorTimerSpeedButton*>(Sender));
    FocusAfterPress();
}

void TAsgSpinButton::SetFocusedButton(TQorTimerSpeedButton* Button) {
    if (!TabStop() || !CanFocus() || Button == FFocusedButton) return;
    TTimeBtnState old = FFocusedButton->TimeBtnState();
    old.Exclude(tbFocusRect);
    FFocusedButton->SetTimeBtnState(old);
    FFocusedButton->Invalidate();
    FFocusedButton = Button;
    if (Focused()) {
        TTimeBtnState s = Button->TimeBtnState();
        s.Include(tbFocusRect);
        Button->SetTimeBtnState(s);
        Button->Invalidate();
    }
}

void TAsgSpinButton::ArrowClick(TObject* Sender) {
    if (Sender == FUpButton && OnUpClick) OnUpClick(this);
    if (Sender == FDownButton && OnDownClick) OnDownClick(this);
}

void TAsgSpinButton::KeyDown(WORD& Key, TShiftState Shift) {
    TButtonHolder::KeyDown(Key, Shift);
    switch (Key) {
    case VK_SPACE:
        FFocusedButton->Click();
        break;
    case VK_UP:
        SetFocusedButton(FUpButton);
        FUpButton->Click();
        break;
    case VK_DOWN:
        SetFocusedButton(FDownButton);
        FDownButton->Click();
        break;
    default:
        break;
    }
}

void TAsgSpinButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    case WM_SIZE: {
        TButtonHolder::Dispatch(Message);
        int w = Width(), h = Height();
        ArrangeButtons(w, h);
        if (w != Width() || h != Height()) TButtonHolder::SetBounds(Left(), Top(), w, h);
        return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        TButtonHolder::Dispatch(Message);
        TTimeBtnState s = FFocusedButton->TimeBtnState();
        if (Message.Msg == WM_SETFOCUS)
            s.Include(tbFocusRect);
        else
            s.Exclude(tbFocusRect);
        FFocusedButton->SetTimeBtnState(s);
        FFocusedButton->Invalidate();
        return;
    }
    default:
        break;
    }
    TButtonHolder::Dispatch(Message);
}

void TAsgSpinButton::Paint() {
    FillRect(Canvas(), ClientRect(), Color());
}

// --- TAsgSpinEdit ------------------------------------------------------------------------------
TAsgSpinEdit::TAsgSpinEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
    SetControlStyle(ControlStyle() & ~csSetCaption);
    SetText("0");
    FButton = new TAsgSpinButton(this);
    FButton->SetBounds(0, 0, 15, 17);
    FButton->SetVisible(true);
    FButton->SetParent(this);
    FButton->SetFocusControl(this);
    FButton->OnUpClick = [this](TObject* s) { UpButtonClicked(s); };
    FButton->OnDownClick = [this](TObject* s) { DownButtonClicked(s); };
    placeButton();
}

void TAsgSpinEdit::SetWinXPLook(bool Value) {
    FIsWinXP = Value;
    FButton->SetIsWinXP(Value);
}

// --- values ------------------------------------------------------------------------------------
int TAsgSpinEdit::ClampValue(int v) const {
    if (FMinValue == FMaxValue) return v;
    if (v <= FMinValue) return FMinValue;
    if (v >= FMaxValue) return FMaxValue;
    return v;
}

double TAsgSpinEdit::ClampFloatValue(double v) const {
    if (FMinFloatValue == FMaxFloatValue) return v;
    if (v <= FMinFloatValue) return FMinFloatValue;
    if (v >= FMaxFloatValue) return FMaxFloatValue;
    return v;
}

TDateTime TAsgSpinEdit::ClampDateValue(TDateTime v) const {
    if (FMinDateValue == FMaxDateValue) return v;
    if (v <= FMinDateValue) return FMinDateValue;
    if (v >= FMaxDateValue) return FMaxDateValue;
    return v;
}

int TAsgSpinEdit::Value() {
    const std::string t = Trim(Text());
    if (t.empty()) return 0;
    int v = 0;
    return parseDecimal(t, v) ? v : FMinValue;
}

void TAsgSpinEdit::SetValue(int v) {
    SetText(IntToStr(ClampValue(v)));
    if (!FEditorEnabled) SelectAll();
}

double TAsgSpinEdit::FloatValue() {
    double v = 0;
    // A text that is no number reads the float minimum.
    return TryStrToFloat(Text(), v) ? v : FMinFloatValue;
}

void TAsgSpinEdit::SetFloatValue(double v) {
    v = ClampFloatValue(v);
    if (FPrecision == 0) {
        SetText(FloatToStr(v));
        return;
    }
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", FPrecision, v);
    std::string s = buf;
    std::replace(s.begin(), s.end(), '.', FormatSettings().DecimalSeparator);
    SetText(s);
}

TDateTime TAsgSpinEdit::DateValue() {
    const std::string t = Trim(Text());
    if (t.empty() || t == "0") return Now();
    TDateTime v = 0;
    return TryStrToDate(t, v) ? v : FMinDateValue;
}

void TAsgSpinEdit::SetDateValue(TDateTime v) {
    FDateValue = v;
    if (ComponentState() & csLoading) return;
    FDateValue = ClampDateValue(v);
    const int caret = SelStart();
    SetText(DateToStr(FDateValue));
    SetSelStart(caret);
}

TDateTime TAsgSpinEdit::TimeValue() {
    TDateTime v = 0;
    return TryStrToTime(Text(), v) ? v : 0;
}

void TAsgSpinEdit::SetTimeValue(TDateTime v) {
    FTimeValue = v;
    if (ComponentState() & csLoading) return;
    FTimeValue = ClampDateValue(v);
    const int caret = SelStart();
    SetText(FShowSeconds ? TimeToStr(FTimeValue) : FormatDateTime("h:nn", FTimeValue));
    SetSelStart(caret);
}

void TAsgSpinEdit::SetSpinType(TAsgSpinType v) {
    FSpinType = v;
    switch (v) {
    case sptNormal:
        SetValue(Value());
        break;
    case sptFloat:
        SetFloatValue(FloatValue());
        break;
    case sptDate:
        SetDateValue(DateValue());
        break;
    case sptTime:
        SetTimeValue(TimeValue());
        break;
    }
}

void TAsgSpinEdit::SetPrecision(int v) {
    FPrecision = v;
    if (FSpinType == sptFloat) SetFloatValue(FloatValue());
}

void TAsgSpinEdit::SetEditAlign(TEditAlign v) {
    FEditAlign = v;
    SetAlignment(v == eaRight ? taRightJustify : v == eaCenter ? taCenter : taLeftJustify);
    if (HandleAllocated()) RecreateWnd();
}

void TAsgSpinEdit::nudgeWidth() {
    SetWidth(Width() + 1);
    SetWidth(Width() - 1);
}

void TAsgSpinEdit::SetDirection(TSpinDirection v) {
    FDirection = v;
    FButton->SetDirection(v);
    nudgeWidth();
}

void TAsgSpinEdit::SetSpinFlat(bool v) {
    FSpinFlat = v;
    FButton->UpButton()->SetFlat(v);
    FButton->DownButton()->SetFlat(v);
}

void TAsgSpinEdit::SetSpinTransparent(bool v) {
    FSpinTransparent = v;
    FButton->UpButton()->SetTransparent(v);
    FButton->DownButton()->SetTransparent(v);
    nudgeWidth();
}

void TAsgSpinEdit::Loaded() {
    TCustomMaskEdit::Loaded();
    if (FSpinType == sptDate) SetText(DateToStr(FDateValue));
    if (FSpinType == sptTime)
        SetText(FShowSeconds ? TimeToStr(FTimeValue) : FormatDateTime("h:nn", FTimeValue));
    SetSpinType(FSpinType);
}

// --- stepping ----------------------------------------------------------------------------------
void TAsgSpinEdit::StepUp(bool Page) {
    step(1, Page);
}

void TAsgSpinEdit::StepDown(bool Page) {
    step(-1, Page);
}

void TAsgSpinEdit::step(int Sign, bool Page) {
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    const std::u32string t = Utf8ToUtf32(Text());
    const int caret = SelStart();
    // The field under the caret: before the first separator, before the second, or after it.
    auto fieldAt = [&](char sep) {
        const int s1 = posFrom(t, char32_t(sep), 1);
        const int s2 = s1 > 0 ? posFrom(t, char32_t(sep), s1 + 1) : 0;
        return caret < s1 ? 1 : caret < s2 ? 2 : 3;
    };
    switch (FSpinType) {
    case sptNormal:
        SetValue(Value() + Sign * FIncrement);
        break;
    case sptFloat:
        SetFloatValue(FloatValue() + Sign * (Page ? FIncrementFloatPage : FIncrementFloat));
        break;
    case sptDate: {
        const std::string f = UpperCase(FormatSettings().ShortDateFormat);
        const bool monthFirst = f.find('M') < f.find('D');
        const int field = fieldAt(FormatSettings().DateSeparator);
        const TDateTime d = DateValue();
        TDateTime r = d;
        if (field == 3) {
            int y = 0, m = 0, dd = 0;
            DecodeDate(d, y, m, dd);
            // 29 February in a year without one: the value stays.
            if (!TryEncodeDate(y + Sign, m, dd, r)) r = d;
        } else if (field == (monthFirst ? 2 : 1)) {
            r = d + Sign;
        } else {
            r = IncMonth(d, Sign);
        }
        SetDateValue(r);
        break;
    }
    case sptTime: {
        const int field = fieldAt(FormatSettings().TimeSeparator);
        double step = 0;
        if (field == 1)
            step = FIncrementHours < 24 ? FIncrementHours / 24.0 : 0;
        else if (FShowSeconds && field == 3)
            step = FIncrementSeconds < 60 ? FIncrementSeconds / double(SecsPerDay) : 0;
        else
            step = FIncrementMinutes < 60 ? FIncrementMinutes / double(MinsPerDay) : 0;
        // A step of a whole day or more has no time of day: the value stays.
        if (step <= 0) break;
        if (Sign > 0) {
            SetTimeValue(TimeValue() + step);
        } else {
            double r = TimeValue() + 1 - step;
            if (r > 1) r -= 1;
            SetTimeValue(r);
        }
        break;
    }
    }
}

void TAsgSpinEdit::UpButtonClicked(TObject*) {
    StepUp(false);
}

void TAsgSpinEdit::DownButtonClicked(TObject*) {
    StepDown(false);
}

// --- typing ------------------------------------------------------------------------------------
bool TAsgSpinEdit::AcceptChar(char32_t& Key) {
    if (Key == 8) return FEditorEnabled;
    const TFormatSettings& fs = FormatSettings();
    const char32_t dec = char32_t(fs.DecimalSeparator), th = char32_t(fs.ThousandSeparator);
    const char32_t timeSep = char32_t(fs.TimeSeparator), dateSep = char32_t(fs.DateSeparator);
    const std::u32string text = Utf8ToUtf32(Text());
    const std::u32string sel = Utf8ToUtf32(SelText());
    const bool digit = isDigitChar(Key);
    bool accept = Key == dec || Key == th || Key == timeSep || Key == dateSep || digit ||
                  Key == '-' || (Key < 32 && Key != 13);
    auto separatorAsNumber = [&] {
        return (Key == dec || Key == th || Key == '-' || Key == '+') &&
               (FSpinType == sptNormal || FSpinType == sptFloat);
    };
    if (Key == timeSep && FSpinType != sptTime) accept = accept && separatorAsNumber();
    if (Key == dateSep && FSpinType != sptDate) accept = accept && separatorAsNumber();
    if (Key == '-')
        accept =
            accept && SelStart() == 0 &&
            (text.find(U'-') == std::u32string::npos || sel.find(U'-') != std::u32string::npos);
    if (FSpinType == sptNormal && !(digit || Key == '-')) accept = false;
    if (FSpinType == sptFloat && Key != 27 && Key != 13 && Key != 8) {
        if (Key == th) accept = false;
        if (Key == dec && text.find(dec) != std::u32string::npos &&
            sel.find(dec) == std::u32string::npos)
            accept = false;
        const std::size_t p = text.find(dec);
        if (FPrecision > 0 && p != std::u32string::npos && accept && SelLength() == 0 &&
            SelStart() >= int(p) + 1 && int(text.size()) >= int(p) + 1 + FPrecision)
            accept = false;
    }
    if (FSpinType == sptTime && Key == timeSep &&
        std::count(text.begin(), text.end(), timeSep) >= 2)
        accept = false;
    if (!FEditorEnabled) accept = accept && Key < 32 && Key != 8;
    return accept;
}

void TAsgSpinEdit::KeyPress(char32_t& Key) {
    if (!AcceptChar(Key)) {
        Key = 0;
        MessageBeep(0);
        return;
    }
    TCustomMaskEdit::KeyPress(Key);
}

void TAsgSpinEdit::WMKeyDown(TWMKey& Message) {
    // The arrow and page keys step the value; neither the key-down event nor the edit sees them.
    switch (Message.CharCode()) {
    case VK_PRIOR:
        StepUp(true);
        break;
    case VK_NEXT:
        StepDown(true);
        break;
    case VK_UP:
        StepUp(false);
        break;
    case VK_DOWN:
        StepDown(false);
        break;
    default:
        TCustomMaskEdit::WMKeyDown(Message);
        return;
    }
    Message.M.Result = 0;
}

void TAsgSpinEdit::KeyDown(WORD& Key, TShiftState Shift) {
    if (Key == VK_RETURN && FReturnIsTab) {
        Key = VK_TAB;
        if (HandleAllocated()) PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (Key == VK_DELETE && !FEditorEnabled) Key = 0;
    TCustomMaskEdit::KeyDown(Key, Shift);
}

void TAsgSpinEdit::WMChar(TWMKey& Message) {
    // The keypad's decimal key (bit 22: its scan code) types the locale's separator.
    if (FExcelStyleDecimalSeparator && Message.CharCode() == '.' && (Message.KeyData() & 0x400000))
        Message.SetCharCode(WORD(FormatSettings().DecimalSeparator));
    TCustomMaskEdit::WMChar(Message);
}

void TAsgSpinEdit::Dispatch(TMessage& Message) {
    // Another border moves the button and the text.
    if (Message.Msg == CM_BORDERCHANGED) placeButton();
    if ((Message.Msg == WM_PASTE || Message.Msg == WM_CUT) && (!FEditorEnabled || ReadOnly()))
        return;
    TCustomMaskEdit::Dispatch(Message);
}

void TAsgSpinEdit::DoEnter() {
    const bool autoSelect = AutoSelect();
    const bool select = autoSelect && !(GetKeyState(VK_LBUTTON) < 0 && FEditorEnabled);
    SetAutoSelect(false);
    TCustomMaskEdit::DoEnter();
    SetAutoSelect(autoSelect);
    if (select) SelectAll();
}

void TAsgSpinEdit::DoExit() {
    TCustomMaskEdit::DoExit();
    // A text out of bounds snaps to the bound when the focus leaves.
    switch (FSpinType) {
    case sptNormal: {
        const int v = Value();
        if (ClampValue(v) != v) SetValue(v);
        break;
    }
    case sptFloat: {
        const double v = FloatValue();
        if (ClampFloatValue(v) != v) SetFloatValue(v);
        break;
    }
    case sptDate: {
        const TDateTime v = DateValue();
        if (ClampDateValue(v) != v) SetDateValue(v);
        break;
    }
    case sptTime: {
        const TDateTime v = TimeValue();
        if (ClampDateValue(v) != v) SetTimeValue(v);
        break;
    }
    }
}

// --- layout ------------------------------------------------------------------------------------
int TAsgSpinEdit::MinimumHeight() {
    return EditLineHeight(Font()) + 2 + (BorderStyle() == bsSingle ? 4 : 0);
}

void TAsgSpinEdit::UpdateEditRect() {
    // The frame of a single border lies inside the edit's own area here.
    const int frame = BorderStyle() == bsSingle ? 2 : 0;
    const int m = BorderStyle() == bsNone ? 3 : 0;
    TRect r{frame + m, frame + m, Width() - frame - FButton->Width() - 2 - m, Height() - frame + 1};
    Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TAsgSpinEdit::WMSize(TWMSize& Message) {
    TCustomMaskEdit::WMSize(Message);
    placeButton();
}

void TAsgSpinEdit::placeButton() {
    if (!FButton) return;
    if (Height() < MinimumHeight()) {
        SetHeight(MinimumHeight());
        return;
    }
    const int frame = BorderStyle() == bsSingle ? 2 : 0;
    const int b = BorderStyle() == bsNone ? 4 : 0;
    FButton->SetBounds(Width() - FButton->Width() - 5 + b + frame, frame, FButton->Width(),
                       Height() - 5 + b);
    UpdateEditRect();
}

void TAsgSpinEdit::CreateWnd() {
    TCustomMaskEdit::CreateWnd();
    UpdateEditRect();
}
