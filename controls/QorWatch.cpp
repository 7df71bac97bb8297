#include "controls/QorWatch.h"

#include "grid/render/ControlLook.h"
#include "platform/base/Clock.h"
#include "platform/base/SysUtils.h"
#include "platform/gfx/Gdi.h"
#include "platform/ui/core/Timers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// To the nearest integer, halves to the even neighbour.
int roundEven(double v) {
    return int(std::nearbyint(v));
}

bool isSet(TColor c) {
    return c != clNone;
}

} // namespace

// --- TWatchAppearance ------------------------------------------------------------------------

TWatchAppearance::TWatchAppearance()
    : FHourFont(std::make_unique<TFont>()), FAMPMFont(std::make_unique<TFont>()),
      FPicture(std::make_unique<TPicture>()) {
    FHourFont->SetName("Tahoma");
    FHourFont->SetSize(8);
    FAMPMFont->SetName("Tahoma");
    FAMPMFont->SetSize(10);
    FPicture->OnChange = [this](TObject*) { changed(); };
    FHourFont->OnChange = [this](TObject*) { changed(); };
    FAMPMFont->OnChange = [this](TObject*) { changed(); };
}

TWatchAppearance::~TWatchAppearance() {
    FPicture->OnChange = nullptr;
    FHourFont->OnChange = nullptr;
    FAMPMFont->OnChange = nullptr;
}

void TWatchAppearance::changed() {
    if (!FResetting && OnChange) OnChange(this);
}

void TWatchAppearance::Reset() {
    const TWatchAppearance defaults;
    FResetting = true;
    Assign(&defaults);
    FResetting = false;
    changed();
}

void TWatchAppearance::SetHourFont(const TFont* v) {
    FHourFont->Assign(v);
    changed();
}

void TWatchAppearance::SetAMPMFont(const TFont* v) {
    FAMPMFont->Assign(v);
    changed();
}

void TWatchAppearance::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TWatchAppearance*>(Source);
    if (!s) return TPersistent::Assign(Source);
    FSize = s->FSize;
    FHourPointer = s->FHourPointer;
    FBackgroundColor = s->FBackgroundColor;
    FMinutePointerShadow = s->FMinutePointerShadow;
    FBackgroundColorTo = s->FBackgroundColorTo;
    FHourPointerShadow = s->FHourPointerShadow;
    FSecondPointer = s->FSecondPointer;
    FBorderColor = s->FBorderColor;
    FMinutePointer = s->FMinutePointer;
    FHourFont->Assign(s->FHourFont.get());
    FAMPMFont->Assign(s->FAMPMFont.get());
    FPicture->OnChange = nullptr;
    FPicture->Assign(s->FPicture.get());
    FPicture->OnChange = [this](TObject*) { changed(); };
    FAMPMFrame = s->FAMPMFrame;
    FShape = s->FShape;
    FPointerStyle = s->FPointerStyle;
    FHourPointerSize = s->FHourPointerSize;
    FSecondPointerSize = s->FSecondPointerSize;
    FMinutePointerSize = s->FMinutePointerSize;
    FHourColor = s->FHourColor;
    FMinuteColor = s->FMinuteColor;
    FCenterPointSize = s->FCenterPointSize;
    FCenterPointColor = s->FCenterPointColor;
    FCenterPointBorderColor = s->FCenterPointBorderColor;
    FBackgroundGradient = s->FBackgroundGradient;
    FHourMarkLength = s->FHourMarkLength;
    FHourMarkWidth = s->FHourMarkWidth;
    FMinuteMarkLength = s->FMinuteMarkLength;
    FMinuteMarkWidth = s->FMinuteMarkWidth;
    FBorderWidth = s->FBorderWidth;
    FAMPMColor = s->FAMPMColor;
    FAMPMBorderColor = s->FAMPMBorderColor;
    FCenterPointOuterBorderColor = s->FCenterPointOuterBorderColor;
    FTickMarks = s->FTickMarks;
    FHourMarkStyle = s->FHourMarkStyle;
    changed();
}

// --- TWatchSettings --------------------------------------------------------------------------

void TWatchSettings::SetAuto(bool v) {
    if (v == FAuto) return;
    FAuto = v;
    if (OnChange) OnChange(this);
}

void TWatchSettings::SetSecond(bool v) {
    if (v == FSecond) return;
    FSecond = v;
    if (OnChange) OnChange(this);
}

void TWatchSettings::SetTimeOffset(int v) {
    if (v == FTimeOffset) return;
    FTimeOffset = v;
    if (OnChange) OnChange(this);
}

void TWatchSettings::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TWatchSettings*>(Source);
    if (!s) return TPersistent::Assign(Source);
    FSecond = s->FSecond;
    FTimeOffset = s->FTimeOffset;
    SetAuto(s->FAuto);
}

// --- colour styles ---------------------------------------------------------------------------

namespace {

// AM/PM border and fill, face from and to, border, centre ring and fill, marks and hands,
// shadows.
struct WatchColors {
    TColor B, F, G, G2, E, C1, C2, H, S;
};

constexpr WatchColors watchColors[16] = {
    {0x962D00, 0xD68759, 0xFFD2AF, 0xFFD2AF, 0xD68759, 0xD68759, 0xD68759, 0xD68759, 0xFFFFFF},
    {0x962D00, 0xBDA4A5, 0xE6D8D8, 0xE6D8D8, 0xBDA4A5, 0xBDA4A5, 0xBDA4A5, 0xBDA4A5, 0xFFFFFF},
    {0x962D00, 0x82C0AF, 0xB9EAE1, 0xB9EAE1, 0x82C0AF, 0x82C0AF, 0x82C0AF, 0x82C0AF, 0xFFFFFF},
    {0x962D00, 0x808080, 0xF2F2F2, 0xF2F2F2, 0x808080, 0x808080, 0x808080, 0x808080, 0xFFFFFF},
    {0xF0DED0, 0xF0DED0, 0xFFEFE3, 0xFFEFE3, 0xF0DED0, 0xFFEFE3, 0xFFEFE3, 0x723708, 0xFFFFFF},
    {0xF2F1F0, 0x5C534C, 0x5C534C, 0x5C534C, 0xF2F1F0, 0xFFEFE3, 0xFFEFE3, 0xF2F1F0, 0xFFFFFF},
    {0, clBtnFace, clBtnFace, clBtnFace, 0, 0, 0, 0, 0xFFFFFF},
    {0x7E9898, 0xF5F9FA, 0xF5F9FA, 0xF5F9FA, 0x7E9898, 0x7E9898, 0x7E9898, 0x7E9898, 0xFFFFFF},
    {},
    {0xE8E0DB, 0xF8F4F1, 0xF8F4F1, 0xF8F4F1, 0xE8E0DB, 0xE8E0DB, 0x74706F, 0x74706F, 0xFFFFFF},
    {0xFEDF9A, 0xFFFDF9, 0xFFFDF9, 0xFFFAF0, 0xFEDF9A, 0xFEDF9A, 0xFEDF9A, 0xFEDF9A, 0xFFFFFF},
    {0xFBD6B8, 0xFDFBFA, 0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFBD6B8, 0xFBD6B8, 0xFBD6B8, 0xFFFFFF},
    {0x808080, clBtnFace, clBtnFace, clBtnFace, 0x808080, 0x808080, 0x808080, 0x808080, 0xFFFFFF},
    {0xC7B29F, 0xF0DAC7, 0xFDF6EF, 0xFDF6EF, 0xC7B29F, 0xC7B29F, 0xC7B29F, 0xC7B29F, 0xFFFFFF},
    {0xD2CDC8, 0xEDE5E0, 0xFFFFFF, 0xFFFFFF, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xC0C0C0},
    {0x6D6D6D, 0x919191, 0xBFBFBF, 0xBFBFBF, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D, 0xFFFFFF},
};

} // namespace

void ApplyWatchColorStyle(TWatchAppearance* Appearance, TQorStyle Style) {
    if (!Appearance) return;
    TWatchAppearance& a = *Appearance;
    a.SetCenterPointOuterBorderColor(0);
    a.HourFont()->SetColor(0);
    a.AMPMFont()->SetColor(0);
    if (Style == tsCustom) return;
    const WatchColors& c = watchColors[std::size_t(Style)];
    a.SetAMPMBorderColor(c.B);
    a.SetAMPMColor(c.F);
    a.SetBackgroundColor(c.G);
    a.SetBackgroundColorTo(c.G2);
    a.SetBorderColor(c.E);
    a.SetCenterPointBorderColor(c.C1);
    a.SetCenterPointColor(c.C2);
    a.SetHourColor(c.H);
    a.SetMinuteColor(c.H);
    a.SetHourPointer(c.H);
    a.SetMinutePointer(c.H);
    a.SetSecondPointer(c.H);
    a.SetHourPointerShadow(c.S);
    a.SetMinutePointerShadow(c.S);
    if (Style == tsOffice2003Blue || Style == tsOffice2003Silver || Style == tsOffice2003Olive)
        a.SetSecondPointer(0xFFFFFF);
    if (Style == tsOffice2007Obsidian) {
        a.AMPMFont()->SetColor(0xF2F1F0);
        a.HourFont()->SetColor(0xF2F1F0);
        a.SetSecondPointer(0xF2F1F0);
    }
}

// --- TQorWatch: state ------------------------------------------------------------------------

TQorWatch::TQorWatch(TComponent* AOwner)
    : TCustomControl(AOwner), FAppearance(std::make_unique<TWatchAppearance>()),
      FSettings(std::make_unique<TWatchSettings>()) {
    SetBounds(Left(), Top(), 180, 180);
    FAppearance->OnChange = [this](TObject*) { Invalidate(); };
    FSettings->OnChange = [this](TObject*) { settingsChanged(); };
    FWatchTimer = new TTimer(this);
    FWatchTimer->SetInterval(100);
    FWatchTimer->SetEnabled(false);
    FWatchTimer->OnTimer = [this](TObject*) { watchTimer(); };
    FAnimationTimer = new TTimer(this);
    FAnimationTimer->SetInterval(1);
    FAnimationTimer->SetEnabled(false);
    FAnimationTimer->OnTimer = [this](TObject*) { animationStep(); };
}

TQorWatch::~TQorWatch() {
    FAppearance->OnChange = nullptr;
    FSettings->OnChange = nullptr;
}

TDateTime TQorWatch::DisplayedTime() const {
    if (!FSettings->Auto()) return FTime;
    return Now() + FSettings->TimeOffset() / (24.0 * 60.0);
}

int TQorWatch::displayedHour() const {
    int h, m, s, ms;
    DecodeTime(DisplayedTime(), h, m, s, ms);
    return h;
}

int TQorWatch::displayedMinute() const {
    int h, m, s, ms;
    DecodeTime(DisplayedTime(), h, m, s, ms);
    return m;
}

void TQorWatch::followHalf() {
    FAM = displayedHour() < 12;
}

void TQorWatch::SetTime(TDateTime Value) {
    if (Value == FTime) return;
    FTime = Value;
    followHalf();
    redrawHands();
}

void TQorWatch::setTimeParts(int Hour, int Minute) {
    int h, m, s, ms;
    DecodeTime(FTime, h, m, s, ms);
    FTime = std::trunc(FTime) + EncodeTime(Hour, Minute, s, ms);
    followHalf();
    redrawHands();
}

void TQorWatch::SetShowAMPM(bool v) {
    if (v == FShowAMPM) return;
    FShowAMPM = v;
    Invalidate();
}

void TQorWatch::SetShowNumbers(bool v) {
    if (v == FShowNumbers) return;
    FShowNumbers = v;
    Invalidate();
}

bool TQorWatch::Animating() const {
    return FHourAnimating || FMinuteAnimating;
}

void TQorWatch::setHourNow(int Value) {
    setTimeParts(Value, displayedMinute());
    if (Value == FCurrentHourTo && OnChange) OnChange(this);
}

void TQorWatch::SetHour(int Value) {
    if (Value == displayedHour()) return;
    const bool loading = ComponentState() & (csLoading | csDesigning);
    if (FInternalCall || !FAnimation || loading) {
        if (!FInternalCall) FCurrentHourTo = Value;
        setHourNow(Value);
        return;
    }
    FCurrentHourTo = Value;
    FHourAnimating = true;
    FAnimationTimer->SetEnabled(true);
}

void TQorWatch::setMinuteNow(int Value) {
    int hour = displayedHour();
    if (Value == 0 && FMinuteFrom > 30) {
        hour = (hour + 1) % 24;
        FMinuteFrom = 0;
    }
    setTimeParts(hour, Value);
    if (Value == FCurrentMinuteTo && OnChange) OnChange(this);
}

void TQorWatch::SetMinute(int Value) {
    if (Value >= 60 || Value < 0) throw Exception("Invalid time");
    if (Value == displayedMinute()) return;
    const bool loading = ComponentState() & (csLoading | csDesigning);
    if (FInternalCall || !FAnimation || loading) {
        if (!FInternalCall) {
            FCurrentMinuteTo = Value;
            FMinuteFrom = displayedMinute();
        }
        setMinuteNow(Value);
        return;
    }
    FCurrentMinuteTo = Value;
    FMinuteAnimating = true;
    FMinuteFrom = displayedMinute();
    FAnimationTimer->SetEnabled(true);
}

void TQorWatch::animationStep() {
    if (!FAnimation || (ComponentState() & (csLoading | csDesigning))) return;
    // A factor below 1 would move the hands past their targets.
    const int factor = std::max(1, FAnimationFactor);
    FInternalCall = true;
    try {
        if (FHourAnimating) {
            const int current = displayedHour(), target = FCurrentHourTo;
            if (current == target) {
                FHourAnimating = false;
            } else {
                const int step =
                    std::max(1, roundEven(std::abs(target - current) / double(factor)));
                const int next = current < target ? current + step : current - step;
                SetHour(next);
                if (next == target) FHourAnimating = false;
            }
        }
        if (FMinuteAnimating) {
            const int current = displayedMinute(), target = FCurrentMinuteTo;
            if (current == target) {
                FMinuteAnimating = false;
            } else {
                int next;
                if (target != 0 || current <= 30) {
                    const int step =
                        std::max(1, roundEven(std::abs(target - current) / double(factor)));
                    next = current >= target ? current - step : current + step;
                } else {
                    const int step = std::max(1, roundEven((60 - current) / double(factor)));
                    next = current + step >= 60 ? 0 : current + step;
                }
                SetMinute(next);
                if (next == target) FMinuteAnimating = false;
            }
        }
    } catch (...) {
        FInternalCall = false;
        throw;
    }
    FInternalCall = false;
    if (!Animating()) FAnimationTimer->SetEnabled(false);
}

void TQorWatch::settingsChanged() {
    FWatchTimer->SetEnabled(FSettings->Auto());
    if (FSettings->Auto()) {
        FTime = Now();
        followHalf();
    }
    Invalidate();
}

void TQorWatch::watchTimer() {
    int h, m, s, ms;
    DecodeTime(DisplayedTime(), h, m, s, ms);
    if (h == FOldHour && m == FOldMinute && (s == FOldSecond || !FSettings->Second())) return;
    FOldHour = h;
    FOldMinute = m;
    FOldSecond = s;
    redrawHands();
}

void TQorWatch::HandleWatchKey(WORD Key) {
    if (FSettings->Auto()) return;
    const int h = displayedHour(), m = displayedMinute();
    auto hourAtOnce = [this](int hour) {
        FCurrentHourTo = hour;
        FInternalCall = true;
        SetHour(hour);
        FInternalCall = false;
    };
    switch (Key) {
    case 'A':
    case 'a':
        if (h > 11) SetHour(h - 12);
        break;
    case 'P':
    case 'p':
        if (h < 12) SetHour(h + 12);
        break;
    case VK_PRIOR:
        if (h == 23)
            hourAtOnce(0);
        else
            SetHour(h + 1);
        break;
    case VK_NEXT:
        if (h == 0)
            hourAtOnce(23);
        else
            SetHour(h - 1);
        break;
    case VK_HOME:
        hourAtOnce(12);
        break;
    case VK_END:
        SetMinute(0);
        break;
    case VK_LEFT:
        if (m == 0) {
            setTimeParts((h + 23) % 24, 59);
            if (OnChange) OnChange(this);
        } else {
            SetMinute(m - 1);
        }
        break;
    case VK_RIGHT:
        SetMinute(m == 59 ? 0 : m + 1);
        break;
    default:
        break;
    }
}

void TQorWatch::SetComponentStyle(TQorStyle Style) {
    ApplyWatchColorStyle(FAppearance.get(), Style);
}

void TQorWatch::SetStyle(TWatchStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    TWatchAppearance& a = *FAppearance;
    a.Reset();
    const int side = std::min(Width(), Height());
    auto hands = [&a](TPointerStyle style, TColor color, int width) {
        a.SetPointerStyle(style);
        a.SetHourPointer(color);
        a.SetMinutePointer(color);
        if (width > 0) {
            a.SetHourPointerSize(width);
            a.SetMinutePointerSize(width);
        }
    };
    auto noShadows = [&a] {
        a.SetHourPointerShadow(clNone);
        a.SetMinutePointerShadow(clNone);
    };
    auto marks = [&a](TColor color) {
        a.SetHourColor(color);
        a.SetMinuteColor(color);
    };
    auto face = [&a](TColor from, TColor to, TWatchGradient gradient) {
        a.SetBackgroundColor(from);
        a.SetBackgroundColorTo(to);
        a.SetBackgroundGradient(gradient);
    };
    auto font = [](TFont* f, const char* name, int size, bool bold, TColor color) {
        f->SetName(name);
        if (size > 0) f->SetSize(size);
        f->SetStyle(bold ? TFontStyles{fsBold} : TFontStyles{});
        f->SetColor(color);
    };
    auto shows = [this](bool ampm, bool numbers) {
        SetShowAMPM(ampm);
        SetShowNumbers(numbers);
    };
    switch (Value) {
    case wsClassic:
        font(a.AMPMFont(), "MS Sans Serif", 0, false, clBlack);
        font(a.HourFont(), "Comic Sans MS", 10, true, clBlack);
        a.SetHourMarkLength(8);
        a.SetMinuteMarkLength(4);
        a.SetHourPointer(clBlack);
        a.SetHourPointerSize(5);
        a.SetHourPointerShadow(clBtnShadow);
        a.SetMinutePointerShadow(clBtnShadow);
        FAnimation = true;
        FAnimationFactor = 10;
        shows(true, true);
        break;
    case wsTower:
        a.SetShape(wsRect);
        hands(psPointer, 0x202020, 0);
        a.SetTickMarks(tmHours);
        SetShowNumbers(false);
        face(0xB1F0FE, 0x5BCCE8, wgDiagonalForward);
        a.SetBorderWidth(1);
        a.SetCenterPointColor(0x002BD5);
        a.SetCenterPointSize(6);
        font(a.HourFont(), "Century", 0, true, clBlack);
        break;
    case wsFluorescent:
        a.SetShape(wsRoundRect);
        hands(psLine, 0xFF3E3E, 2);
        a.SetTickMarks(tmHours);
        a.SetHourMarkStyle(hmsQuartDblLine);
        a.SetHourMarkLength(10);
        a.SetHourMarkWidth(2);
        marks(0xFF3E3E);
        shows(false, false);
        face(clBlack, clNone, wgVertical);
        a.SetBorderColor(0xFF3E3E);
        a.SetCenterPointColor(0xFF3E3E);
        a.SetCenterPointSize(20);
        noShadows();
        break;
    case wsEmerald:
        a.SetShape(wsRect);
        hands(psPointer, 0x40FF00, 0);
        a.SetTickMarks(tmHours);
        a.SetHourMarkStyle(hmsQuartDblLine);
        marks(0x40FF00);
        shows(false, false);
        face(0x3AE800, clBlack, wgVertical);
        a.SetBorderColor(0x40FF00);
        a.SetCenterPointColor(0x40FF00);
        a.SetCenterPointSize(16);
        a.SetSecondPointer(0x00FFFF);
        noShadows();
        break;
    case wsBlueStar:
        a.SetShape(wsRoundRect);
        hands(psPointer, 0xA00000, 0);
        a.SetTickMarks(tmAll);
        marks(0xA00000);
        shows(true, true);
        face(0xFFD5D5, 0xA00000, wgRadial);
        a.SetBorderColor(0xA00000);
        a.SetCenterPointColor(0xA00000);
        break;
    case wsFuchsia:
        a.SetShape(wsRect);
        hands(psLine, 0xFFD0FF, 2);
        a.SetTickMarks(tmQuartHours);
        a.SetHourMarkStyle(hmsQuartDblLine);
        a.SetHourMarkLength(10);
        a.SetHourMarkWidth(2);
        marks(0xFFD0FF);
        shows(false, false);
        face(clBlack, clNone, wgVertical);
        a.SetBorderColor(0xFFD0FF);
        a.SetCenterPointColor(0xFFD0FF);
        a.SetCenterPointSize(20);
        noShadows();
        break;
    case wsBlack:
        a.SetShape(wsCircle);
        hands(psLine, clWhite, 0);
        a.SetTickMarks(tmAll);
        marks(0x585858);
        shows(false, true);
        face(0x202020, clNone, wgVertical);
        a.SetBorderColor(0x585858);
        a.SetCenterPointColor(clWhite);
        font(a.HourFont(), "Century Gothic", 11, false, clWhite);
        noShadows();
        break;
    case wsBlackWhite:
        a.SetShape(wsCircle);
        hands(psPointer, clBlack, 0);
        a.SetTickMarks(tmQuartHours);
        shows(false, true);
        face(clWhite, clNone, wgVertical);
        a.SetBorderColor(clBlack);
        a.SetBorderWidth(8);
        font(a.HourFont(), "Century Gothic", 14, true, clBlack);
        a.SetSecondPointer(0x000080);
        break;
    case wsGray:
        a.SetShape(wsCircle);
        hands(psLine, 0x4E4E4E, 1);
        noShadows();
        a.SetTickMarks(tmAll);
        marks(0x4E4E4E);
        shows(true, true);
        face(0xD1D1D1, 0x6C6C6C, wgRadial);
        a.SetBorderColor(0x454545);
        a.SetCenterPointColor(0x4E4E4E);
        break;
    case wsSuperNova:
        a.SetShape(wsCircle);
        hands(psLine, clBlack, 0);
        a.SetTickMarks(tmAll);
        a.SetHourMarkLength(roundEven(side / 4.5));
        a.SetMinuteMarkLength(side / 3);
        marks(0xA0A0A0);
        shows(false, false);
        face(clWhite, 0xD1D3D3, wgVertical);
        a.SetBorderColor(clNone);
        a.SetCenterPointSize(10);
        break;
    case wsSports:
        a.SetShape(wsCircle);
        a.SetPointerStyle(psLine);
        a.SetHourPointer(clRed);
        a.SetMinutePointer(0x00FFFF);
        a.SetHourPointerSize(2);
        a.SetMinutePointerSize(2);
        noShadows();
        a.SetTickMarks(tmQuartHours);
        a.SetMinuteMarkLength(1);
        marks(clWhite);
        shows(false, true);
        face(clBlack, clNone, wgVertical);
        a.SetBorderColor(clWhite);
        a.SetBorderWidth(1);
        a.SetCenterPointColor(0x404040);
        a.SetCenterPointSize(roundEven(side / 3.6));
        font(a.HourFont(), "Times New Roman", 9, false, clWhite);
        break;
    case wsSmooth:
        a.SetShape(wsCircle);
        hands(psLine, 0x4A4A4A, 2);
        a.SetHourPointerShadow(0xB2B2B2);
        a.SetMinutePointerShadow(0xB2B2B2);
        a.SetTickMarks(tmQuartHours);
        a.SetMinuteMarkLength(1);
        marks(0x4A4A4A);
        shows(false, true);
        face(clWhite, 0xABB0B1, wgVertical);
        a.SetBorderColor(0x585858);
        a.SetBorderWidth(1);
        a.SetCenterPointColor(0x4A4A4A);
        a.SetCenterPointSize(6);
        font(a.HourFont(), "Times New Roman", 9, false, 0x4A4A4A);
        break;
    }
}

// --- geometry ----------------------------------------------------------------------------------

TRect TQorWatch::DialRect() const {
    const int w = ClientWidth(), h = ClientHeight();
    int s = FAppearance->Size();
    s = s > 0 ? std::min({s, w, h}) : std::min(w, h) - 20;
    s = std::max(s, 0);
    return Bounds((w - s) / 2, (h - s) / 2, s, s);
}

TPoint TQorWatch::Center() const {
    const TRect d = DialRect();
    return {d.Left + d.Width() / 2, d.Top + d.Width() / 2};
}

namespace {

// The point at Angle degrees (clockwise from 12 o'clock) and Distance from the centre.
TPoint polar(TPoint Center, double Angle, double Distance) {
    const double a = Angle * std::numbers::pi / 180;
    return {roundEven(Center.X + std::sin(a) * Distance),
            roundEven(Center.Y - std::cos(a) * Distance)};
}

TPoint shifted(TPoint p, int dx, int dy) {
    return {p.X + dx, p.Y + dy};
}

} // namespace

TRect TQorWatch::AMPMRect() {
    if (!FShowAMPM) return {-1, -1, -1, -1};
    TCanvas* c = Canvas();
    c->Font()->Assign(FAppearance->AMPMFont());
    const TSize text = c->TextExtent("AM");
    const TPoint centre = Center();
    const int top = centre.Y + roundEven((Radius() - text.cy) / 3.0);
    return Bounds(centre.X - (text.cx + 8) / 2, top, text.cx + 8, text.cy);
}

bool TQorWatch::inDial(int X, int Y) const {
    const TPoint c = Center();
    const double r = Radius();
    if (r <= 0) return false;
    const double dx = X - c.X, dy = Y - c.Y;
    return dx * dx + dy * dy <= r * r;
}

int TQorWatch::minuteAt(int X, int Y) const {
    const TPoint c = Center();
    const int dx = std::max(1, std::abs(c.X - X)), dy = std::max(1, std::abs(c.Y - Y));
    const int f = roundEven(std::atan(double(dy) / dx) * 180 / std::numbers::pi / 6);
    int minute;
    if (X >= c.X && Y >= c.Y)
        minute = 15 + f;
    else if (X <= c.X && Y >= c.Y)
        minute = 45 - f;
    else if (X <= c.X && Y <= c.Y)
        minute = 45 + f;
    else
        minute = 15 - f;
    return minute >= 0 && minute <= 59 ? minute : 0;
}

// --- painting ----------------------------------------------------------------------------------

void TQorWatch::Paint() {
    if (!FBKGCache) {
        FBKGCache = std::make_unique<TBitmap>();
        FBKGCache->SetPixelFormat(pf24bit);
    }
    FBKGCache->SetSize(ClientWidth(), ClientHeight());
    ::FillRect(FBKGCache->Canvas(), ClientRect(), ColorToRGB(Color()));
    drawFace();
    TCanvas* c = Canvas();
    c->Draw(0, 0, FBKGCache.get());
    drawHands(c);
}

void TQorWatch::drawFace() {
    TCanvas* c = FBKGCache->Canvas();
    const TWatchAppearance& a = *FAppearance;
    const TRect client = ClientRect();
    const TRect dial = DialRect();
    const TRect shape = a.Shape() == wsCircle ? dial : client;
    HRGN clip = nullptr;
    if (a.Shape() == wsCircle)
        clip = CreateEllipticRgn(dial.Left - 1, dial.Top - 1, dial.Right + 2, dial.Bottom + 2);
    else if (a.Shape() == wsRoundRect)
        clip = CreateRoundRectRgn(client.Left - 1, client.Top - 1, client.Right + 2,
                                  client.Bottom + 2, 20, 20);
    if (clip) SelectClipRgn(c, clip);
    if (isSet(a.BackgroundColor()) && isSet(a.BackgroundColorTo()))
        DrawGradientRect(*c, a.BackgroundColor(), a.BackgroundColorTo(), 80, shape,
                         a.BackgroundGradient() == wgRadial);
    else if (isSet(a.BackgroundColor()))
        ::FillRect(c, shape, ColorToRGB(a.BackgroundColor()));
    if (isSet(a.BorderColor()) && a.BorderWidth() > 0) {
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetColor(a.BorderColor());
        c->Pen()->SetWidth(a.BorderWidth());
        c->Brush()->SetStyle(bsClear);
        if (a.Shape() == wsCircle)
            c->Ellipse(dial);
        else if (a.Shape() == wsRect)
            c->Rectangle(client);
        else
            c->RoundRect(client, 20, 20);
        c->Pen()->SetWidth(1);
    }
    if (clip) {
        SelectClipRgn(c, nullptr);
        DeleteObject(clip);
    }
    if (!a.Picture()->Empty()) {
        TBitmap picture;
        picture.SetSize(client.Width(), client.Height());
        picture.Canvas()->StretchDraw(client, a.Picture()->Graphic());
        picture.SetTransparent(true);
        c->Draw(0, 0, &picture);
    }
    drawMarks(c);
    drawNumbers(c);
    drawAMPM(c);
}

void TQorWatch::drawMarks(TCanvas* C) {
    const TWatchAppearance& a = *FAppearance;
    if (a.TickMarks() == tmNone) return;
    const TPoint centre = Center();
    const double q = Radius() - a.BorderWidth() / 2;
    auto line = [C](TPoint from, TPoint to) {
        C->MoveTo(from.X, from.Y);
        C->LineTo(to.X, to.Y);
    };
    C->Pen()->SetStyle(psSolid);
    if (isSet(a.HourColor())) {
        const double inner = a.HourMarkLength() > 0 ? q - a.HourMarkLength() : 0.9 * q;
        C->Pen()->SetColor(a.HourColor());
        C->Pen()->SetWidth(a.HourMarkWidth());
        for (int hour = 0; hour < 12; ++hour) {
            const bool quarter = hour % 3 == 0;
            if (!quarter && a.TickMarks() == tmQuartHours) continue;
            const TPoint from = polar(centre, hour * 30, inner), to = polar(centre, hour * 30, q);
            if (quarter && a.HourMarkStyle() == hmsQuartDblLine) {
                // 12 and 6 o'clock side by side, 3 and 9 o'clock one above the other.
                const bool vertical = hour % 6 == 0;
                for (int d : {-2, 2}) {
                    const int dx = vertical ? d : 0, dy = vertical ? 0 : d;
                    line(shifted(from, dx, dy), shifted(to, dx, dy));
                }
            } else {
                line(from, to);
            }
        }
    }
    if (a.TickMarks() == tmAll && isSet(a.MinuteColor())) {
        const double inner = a.MinuteMarkLength() > 0 ? q - a.MinuteMarkLength() : 0.95 * q;
        C->Pen()->SetColor(a.MinuteColor());
        C->Pen()->SetWidth(a.MinuteMarkWidth());
        for (int minute = 0; minute < 60; ++minute)
            if (minute % 5 != 0)
                line(polar(centre, minute * 6, inner), polar(centre, minute * 6, q));
    }
    C->Pen()->SetWidth(1);
}

void TQorWatch::drawNumbers(TCanvas* C) {
    const TWatchAppearance& a = *FAppearance;
    if (!FShowNumbers || a.TickMarks() == tmNone || a.TickMarks() == tmHours) return;
    const TPoint centre = Center();
    const double r2 = Radius() - a.BorderWidth() / 2;
    const int m = a.HourMarkLength() > 0 ? a.HourMarkLength() : roundEven(r2 - 0.9 * r2) + 2;
    C->Font()->Assign(a.HourFont());
    SetBkMode(C, TRANSPARENT);
    C->Brush()->SetStyle(bsClear);
    for (int n = 1; n <= 12; ++n) {
        if (a.TickMarks() == tmQuartHours && n % 3 != 0) continue;
        const std::string text = IntToStr(n);
        const TSize size = C->TextExtent(text);
        const int k = n == 10 ? roundEven(0.2 * size.cy) : n == 11 ? roundEven(0.15 * size.cy) : 0;
        const TPoint at = polar(centre, n * 30, r2 - 2 * m - 2 + m / 2 - k);
        C->TextOut(at.X - size.cx / 2, at.Y - size.cy / 2, text);
    }
}

void TQorWatch::drawAMPM(TCanvas* C) {
    if (!FShowAMPM) return;
    const TWatchAppearance& a = *FAppearance;
    const TRect box = AMPMRect();
    if (isSet(a.AMPMColor())) ::FillRect(C, box, ColorToRGB(a.AMPMColor()));
    if ((isSet(a.AMPMColor()) || isSet(a.AMPMBorderColor())) && isSet(a.AMPMBorderColor())) {
        C->Pen()->SetStyle(psSolid);
        C->Pen()->SetWidth(1);
        C->Pen()->SetColor(a.AMPMBorderColor());
        C->Brush()->SetStyle(bsClear);
        if (a.AMPMFrame() == apRect)
            C->Rectangle(box);
        else
            C->RoundRect(box, 5, 5);
    }
    C->Font()->Assign(a.AMPMFont());
    SetBkMode(C, TRANSPARENT);
    TRect text = box;
    DrawText(C, FAM ? "AM" : "PM", -1, text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

void TQorWatch::drawHands(TCanvas* C) {
    const TWatchAppearance& a = *FAppearance;
    int hour, minute, second, ms;
    DecodeTime(DisplayedTime(), hour, minute, second, ms);
    if (FSettings->Auto()) FAM = hour < 12;
    const double R = Radius();
    const TPoint centre = Center();
    const double hourAngle = (hour % 12) * 30 + minute / 2.0, minuteAngle = minute * 6;
    auto line = [&](double angle, double from, double to, TColor color, int width, TPoint shift) {
        if (!isSet(color)) return;
        C->Pen()->SetStyle(psSolid);
        C->Pen()->SetColor(color);
        C->Pen()->SetWidth(width);
        const TPoint a0 = shifted(polar(centre, angle, from), shift.X, shift.Y);
        const TPoint a1 = shifted(polar(centre, angle, to), shift.X, shift.Y);
        C->MoveTo(a0.X, a0.Y);
        C->LineTo(a1.X, a1.Y);
    };
    auto polygon = [&](std::vector<TPoint> points, TColor color, TPoint shift) {
        if (!isSet(color)) return;
        for (TPoint& p : points) p = shifted(p, shift.X, shift.Y);
        C->Pen()->SetStyle(psSolid);
        C->Pen()->SetWidth(1);
        C->Pen()->SetColor(color);
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(color);
        C->Polygon(points);
    };
    auto pointer = [&](double angle, double length, TColor color, TPoint shift) {
        polygon({polar(centre, angle, -0.1 * R), polar(centre, angle + 90, 0.05 * R),
                 polar(centre, angle, length), polar(centre, angle - 90, 0.05 * R)},
                color, shift);
    };
    // A line hand with a head at its tip.
    auto arrow = [&](double angle, double length, TColor color, int width, TPoint shift) {
        const double head = std::max(6.0, 0.12 * R);
        line(angle, -0.1 * R, length - head / 2, color, width, shift);
        const TPoint base = polar(centre, angle, length - head);
        const double a = angle * std::numbers::pi / 180;
        const int sx = roundEven(std::cos(a) * head / 2), sy = roundEven(std::sin(a) * head / 2);
        polygon(
            {polar(centre, angle, length), {base.X + sx, base.Y + sy}, {base.X - sx, base.Y - sy}},
            color, shift);
    };
    const int hw = a.HourPointerSize(), mw = a.MinutePointerSize();
    switch (a.PointerStyle()) {
    case psLine:
        line(hourAngle, -0.1 * R, 0.46 * R, a.HourPointerShadow(), hw, {-1, 3});
        line(minuteAngle, -0.1 * R, 0.65 * R, a.MinutePointerShadow(), mw, {0, 3});
        line(hourAngle, -0.1 * R, 0.5 * R, a.HourPointer(), hw, {});
        line(minuteAngle, -0.1 * R, 0.7 * R, a.MinutePointer(), mw, {});
        break;
    case psShortLine:
        // From the centre only, and shorter.
        line(hourAngle, 0, 0.36 * R, a.HourPointerShadow(), hw, {-1, 3});
        line(minuteAngle, 0, 0.51 * R, a.MinutePointerShadow(), mw, {0, 3});
        line(hourAngle, 0, 0.4 * R, a.HourPointer(), hw, {});
        line(minuteAngle, 0, 0.55 * R, a.MinutePointer(), mw, {});
        break;
    case psPointer:
        pointer(hourAngle, 0.5 * R, a.HourPointerShadow(), {1, 3});
        pointer(hourAngle, 0.5 * R, a.HourPointer(), {});
        pointer(minuteAngle, 0.7 * R, a.MinutePointerShadow(), {1, 3});
        pointer(minuteAngle, 0.7 * R, a.MinutePointer(), {});
        break;
    case psLineArrow:
        arrow(hourAngle, 0.5 * R, a.HourPointerShadow(), hw, {-1, 3});
        arrow(minuteAngle, 0.7 * R, a.MinutePointerShadow(), mw, {0, 3});
        arrow(hourAngle, 0.5 * R, a.HourPointer(), hw, {});
        arrow(minuteAngle, 0.7 * R, a.MinutePointer(), mw, {});
        break;
    }
    if (FSettings->Auto() && FSettings->Second())
        line(second * 6, -0.2 * R, 0.9 * R, a.SecondPointer(), a.SecondPointerSize(), {});
    C->Pen()->SetWidth(1);
    const int c = a.CenterPointSize();
    if (c <= 0) return;
    const TRect dot = Bounds(roundEven(centre.X - c / 2.0), roundEven(centre.Y - c / 2.0), c, c);
    if (isSet(a.CenterPointColor())) {
        C->Pen()->SetStyle(psSolid);
        C->Pen()->SetColor(a.CenterPointColor());
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(a.CenterPointColor());
        C->Ellipse(dot);
    }
    int w = 0;
    C->Brush()->SetStyle(bsClear);
    if (isSet(a.CenterPointOuterBorderColor())) {
        w = roundEven(0.2 * c);
        C->Pen()->SetColor(a.CenterPointOuterBorderColor());
        C->Pen()->SetWidth(std::max(1, w));
        C->Ellipse(dot);
    }
    if (isSet(a.CenterPointBorderColor())) {
        const int d = c - w;
        C->Pen()->SetColor(a.CenterPointBorderColor());
        C->Pen()->SetWidth(std::max(1, roundEven(0.1 * c)));
        C->Ellipse(Bounds(roundEven(centre.X - d / 2.0), roundEven(centre.Y - d / 2.0), d, d));
    }
    C->Pen()->SetWidth(1);
}

void TQorWatch::redrawHands() {
    if (!FBKGCache || FBKGCache->Width() != ClientWidth() ||
        FBKGCache->Height() != ClientHeight()) {
        Invalidate();
        return;
    }
    TBitmap frame;
    frame.Assign(FBKGCache.get());
    drawHands(frame.Canvas());
    Canvas()->Draw(0, 0, &frame);
}

void TQorWatch::rollAMPM() {
    const TWatchAppearance& a = *FAppearance;
    if (!FBKGCache || !FShowAMPM || !isSet(a.AMPMColor()) || FInternalSet) return;
    TRect inner = AMPMRect();
    InflateRect(inner, -1, -1);
    const int w = inner.Width(), h = inner.Height();
    if (w <= 0 || h <= 0) return;
    // "AM" above "PM"; the box shows a window of it that moves towards the new text.
    TBitmap strip;
    strip.SetSize(w, 2 * h);
    TCanvas* s = strip.Canvas();
    ::FillRect(s, Rect(0, 0, w, 2 * h), ColorToRGB(a.AMPMColor()));
    s->Font()->Assign(a.AMPMFont());
    SetBkMode(s, TRANSPARENT);
    TRect am(0, 0, w, h), pm(0, h, w, 2 * h);
    DrawText(s, "AM", -1, am, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    DrawText(s, "PM", -1, pm, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    const bool toPM = FAM;
    for (int step = 1; step <= h; ++step) {
        const int offset = toPM ? step : h - step;
        TBitmap frame;
        frame.Assign(FBKGCache.get());
        frame.Canvas()->CopyRect(inner, s, Rect(0, offset, w, offset + h));
        drawHands(frame.Canvas());
        Canvas()->Draw(0, 0, &frame);
        Update();
        Sleep(10);
    }
    Invalidate();
}

// --- input -------------------------------------------------------------------------------------

void TQorWatch::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (ComponentState() & csDesigning) return;
    SetCursor(PtInRect(AMPMRect(), {X, Y}) ? crHandPoint : crDefault);
}

void TQorWatch::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || FSettings->Auto()) return;
    if (!inDial(X, Y)) {
        SetMinute(minuteAt(X, Y));
        return;
    }
    const int hour = displayedHour();
    if (PtInRect(AMPMRect(), {X, Y})) {
        if (FAnimation) rollAMPM();
        const int other = hour < 12 ? hour + 12 : hour - 12;
        FCurrentHourTo = other;
        FInternalCall = true;
        SetHour(other);
        FInternalCall = false;
        return;
    }
    const int c = roundEven(minuteAt(X, Y) / 5.0) % 12;
    SetHour(FAM ? c : c + 12);
}

void TQorWatch::WMGetDlgCode(TMessage& Message) {
    Message.Result = TabStop() ? DLGC_WANTARROWS | DLGC_WANTALLKEYS : 0;
}
