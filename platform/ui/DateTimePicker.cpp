#include "platform/ui/DateTimePicker.h"

#include "platform/base/FormatSettings.h"
#include "platform/gfx/Gdi.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int textMargin = 4;
constexpr int limits[3] = {24, 60, 60};

} // namespace

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(Left(), Top(), 100, 21);
}

TDateTimePicker::~TDateTimePicker() = default;

void TDateTimePicker::SetTime(TDateTime Value) {
    Value -= std::floor(Value);
    if (Value == FTime) return;
    FTime = Value;
    Invalidate();
}

void TDateTimePicker::SetFormat(const std::string& Value) {
    if (Value == FFormat) return;
    FFormat = Value;
    FField = std::min(FField, fieldCount() - 1);
    Invalidate();
}

std::string TDateTimePicker::Text() const {
    return FormatDateTime(FFormat, FTime);
}

int TDateTimePicker::fieldCount() const {
    return std::clamp(int(std::count(FFormat.begin(), FFormat.end(), ':')) + 1, 1, 3);
}

int TDateTimePicker::fieldValue(int Field) const {
    int h, m, s, ms;
    DecodeTime(FTime, h, m, s, ms);
    return Field == 0 ? h : Field == 1 ? m : s;
}

void TDateTimePicker::setField(int Field, int Value) {
    int parts[3], ms;
    DecodeTime(FTime, parts[0], parts[1], parts[2], ms);
    if (parts[Field] == Value) return;
    parts[Field] = Value;
    FTime = EncodeTime(parts[0], parts[1], parts[2], ms);
    Invalidate();
    if (OnChange) OnChange(this);
}

void TDateTimePicker::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    ::FillRect(c, r, ColorToRGB(Enabled() ? Color() : clBtnFace));
    DrawEdge(c, r, EDGE_SUNKEN, BF_RECT);
    c->Font()->Assign(Font());
    SetBkMode(c, TRANSPARENT);
    const std::string text = Text();
    const int y = (r.Height() - c->TextHeight(text)) / 2;
    // The current field shows selected while the control has the focus.
    const char sep = FormatSettings().TimeSeparator;
    int x = textMargin, field = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(sep, start);
        if (end == std::string::npos) end = text.size();
        const std::string part = text.substr(start, end - start);
        const int w = c->TextWidth(part);
        const bool current = Focused() && field == FField;
        if (current) ::FillRect(c, Bounds(x, y, w, c->TextHeight(part)), ColorToRGB(clHighlight));
        c->Font()->SetColor(current ? clHighlightText : Font()->Color());
        c->TextOut(x, y, part);
        x += w;
        if (end < text.size()) {
            c->Font()->SetColor(Font()->Color());
            const std::string s(1, sep);
            c->TextOut(x, y, s);
            x += c->TextWidth(s);
        }
        start = end + 1;
        ++field;
    }
}

int TDateTimePicker::fieldAt(int X) {
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    const std::string text = Text();
    const char sep = FormatSettings().TimeSeparator;
    int x = textMargin, field = 0;
    std::size_t start = 0;
    while (field < fieldCount() - 1) {
        const std::size_t end = text.find(sep, start);
        if (end == std::string::npos) break;
        x += c->TextWidth(text.substr(start, end - start + 1));
        if (X < x) break;
        start = end + 1;
        ++field;
    }
    return field;
}

void TDateTimePicker::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Shift.Contains(ssAlt)) return;
    const int limit = limits[FField];
    switch (Key) {
    case VK_LEFT:
        FField = std::max(0, FField - 1);
        break;
    case VK_RIGHT:
        FField = std::min(fieldCount() - 1, FField + 1);
        break;
    case VK_UP:
        setField(FField, (fieldValue(FField) + 1) % limit);
        break;
    case VK_DOWN:
        setField(FField, (fieldValue(FField) + limit - 1) % limit);
        break;
    default:
        return;
    }
    FPendingDigit = -1;
    Key = 0;
    Invalidate();
}

void TDateTimePicker::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key < '0' || Key > '9') return;
    const int digit = int(Key - '0');
    const int combined = FPendingDigit * 10 + digit;
    if (FPendingDigit >= 0 && combined < limits[FField]) {
        setField(FField, combined);
        FPendingDigit = -1;
    } else {
        setField(FField, std::min(digit, limits[FField] - 1));
        FPendingDigit = digit;
    }
    Key = 0;
}

void TDateTimePicker::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (CanFocus() && !Focused()) SetFocus();
    FField = fieldAt(X);
    FPendingDigit = -1;
    Invalidate();
}

void TDateTimePicker::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
}
