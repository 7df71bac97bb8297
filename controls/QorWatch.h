#pragma once
// An analog clock that shows a time and lets the user set it: a click inside the dial sets the
// hour, a click in the margin outside it the minute, a click on the AM/PM box switches the half
// of the day, and keys step hours and minutes. Hands may move there in steps (animation). In
// automatic mode the clock runs on the system time with an offset and a second hand.
#include "grid/core/base/GridTheme.h"
#include "platform/base/DateUtils.h"
#include "platform/gfx/Imaging.h"
#include "platform/ui/core/Controls.h"

#include <memory>

class TTimer;

enum TAMPMFrame { apRect, apRoundRect };
enum TWatchShape { wsCircle, wsRect, wsRoundRect };
enum TPointerStyle { psLine, psShortLine, psPointer, psLineArrow };
// The face's gradient: left to right for wgRadial, top to bottom for the others.
enum TWatchGradient { wgRadial, wgVertical, wgDiagonalForward, wgDiagonalBackward };
enum TTickMarks { tmAll, tmHours, tmQuartHours, tmNone };
enum THourMarkStyle { hmsLine, hmsQuartDblLine };
enum TWatchStyle {
    wsClassic,
    wsTower,
    wsFluorescent,
    wsEmerald,
    wsBlueStar,
    wsFuchsia,
    wsBlack,
    wsBlackWhite,
    wsGray,
    wsSuperNova,
    wsSports,
    wsSmooth
};

// The clock's look. Every setter stores a changed value and fires OnChange (fonts and the
// picture are copied and always fire).
class TWatchAppearance : public TPersistent {
public:
    TWatchAppearance();
    ~TWatchAppearance() override;

    // Back to the defaults (fires OnChange once).
    void Reset();

    // The side of the dial square; 0 or less: the control's smaller side less 20.
    int Size() const { return FSize; }
    void SetSize(int v) { set(FSize, v); }
    TColor HourPointer() const { return FHourPointer; }
    void SetHourPointer(TColor v) { set(FHourPointer, v); }
    TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor v) { set(FBackgroundColor, v); }
    TColor MinutePointerShadow() const { return FMinutePointerShadow; }
    void SetMinutePointerShadow(TColor v) { set(FMinutePointerShadow, v); }
    TColor BackgroundColorTo() const { return FBackgroundColorTo; }
    void SetBackgroundColorTo(TColor v) { set(FBackgroundColorTo, v); }
    TColor HourPointerShadow() const { return FHourPointerShadow; }
    void SetHourPointerShadow(TColor v) { set(FHourPointerShadow, v); }
    TColor SecondPointer() const { return FSecondPointer; }
    void SetSecondPointer(TColor v) { set(FSecondPointer, v); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { set(FBorderColor, v); }
    TColor MinutePointer() const { return FMinutePointer; }
    void SetMinutePointer(TColor v) { set(FMinutePointer, v); }
    TFont* HourFont() const { return FHourFont.get(); }
    void SetHourFont(const TFont* v);
    TFont* AMPMFont() const { return FAMPMFont.get(); }
    void SetAMPMFont(const TFont* v);
    // Drawn stretched over the control, its transparent colour taken from it.
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(const TPicture* v) { FPicture->Assign(v); }
    TAMPMFrame AMPMFrame() const { return FAMPMFrame; }
    void SetAMPMFrame(TAMPMFrame v) { set(FAMPMFrame, v); }
    TWatchShape Shape() const { return FShape; }
    void SetShape(TWatchShape v) { set(FShape, v); }
    TPointerStyle PointerStyle() const { return FPointerStyle; }
    void SetPointerStyle(TPointerStyle v) { set(FPointerStyle, v); }
    int HourPointerSize() const { return FHourPointerSize; }
    void SetHourPointerSize(int v) { set(FHourPointerSize, v); }
    int SecondPointerSize() const { return FSecondPointerSize; }
    void SetSecondPointerSize(int v) { set(FSecondPointerSize, v); }
    int MinutePointerSize() const { return FMinutePointerSize; }
    void SetMinutePointerSize(int v) { set(FMinutePointerSize, v); }
    TColor HourColor() const { return FHourColor; }
    void SetHourColor(TColor v) { set(FHourColor, v); }
    TColor MinuteColor() const { return FMinuteColor; }
    void SetMinuteColor(TColor v) { set(FMinuteColor, v); }
    // The centre point's diameter; 0: none.
    int CenterPointSize() const { return FCenterPointSize; }
    void SetCenterPointSize(int v) { set(FCenterPointSize, v); }
    TColor CenterPointColor() const { return FCenterPointColor; }
    void SetCenterPointColor(TColor v) { set(FCenterPointColor, v); }
    TColor CenterPointBorderColor() const { return FCenterPointBorderColor; }
    void SetCenterPointBorderColor(TColor v) { set(FCenterPointBorderColor, v); }
    TWatchGradient BackgroundGradient() const { return FBackgroundGradient; }
    void SetBackgroundGradient(TWatchGradient v) { set(FBackgroundGradient, v); }
    // 0: a tenth of the radius.
    int HourMarkLength() const { return FHourMarkLength; }
    void SetHourMarkLength(int v) { set(FHourMarkLength, v); }
    int HourMarkWidth() const { return FHourMarkWidth; }
    void SetHourMarkWidth(int v) { set(FHourMarkWidth, v); }
    // 0: a twentieth of the radius.
    int MinuteMarkLength() const { return FMinuteMarkLength; }
    void SetMinuteMarkLength(int v) { set(FMinuteMarkLength, v); }
    int MinuteMarkWidth() const { return FMinuteMarkWidth; }
    void SetMinuteMarkWidth(int v) { set(FMinuteMarkWidth, v); }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v) { set(FBorderWidth, v); }
    TColor AMPMColor() const { return FAMPMColor; }
    void SetAMPMColor(TColor v) { set(FAMPMColor, v); }
    TColor AMPMBorderColor() const { return FAMPMBorderColor; }
    void SetAMPMBorderColor(TColor v) { set(FAMPMBorderColor, v); }
    TColor CenterPointOuterBorderColor() const { return FCenterPointOuterBorderColor; }
    void SetCenterPointOuterBorderColor(TColor v) { set(FCenterPointOuterBorderColor, v); }
    TTickMarks TickMarks() const { return FTickMarks; }
    void SetTickMarks(TTickMarks v) { set(FTickMarks, v); }
    THourMarkStyle HourMarkStyle() const { return FHourMarkStyle; }
    void SetHourMarkStyle(THourMarkStyle v) { set(FHourMarkStyle, v); }

    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    template <typename T> void set(T& field, T v) {
        if (field == v) return;
        field = v;
        changed();
    }
    void changed();
    int FSize = 0;
    TColor FHourPointer = 0;
    TColor FBackgroundColor = 0xFFFFFF;
    TColor FMinutePointerShadow = clBtnShadow;
    TColor FBackgroundColorTo = clNone;
    TColor FHourPointerShadow = clBtnShadow;
    TColor FSecondPointer = 0x0000FF;
    TColor FBorderColor = 0;
    TColor FMinutePointer = 0;
    std::unique_ptr<TFont> FHourFont;
    std::unique_ptr<TFont> FAMPMFont;
    std::unique_ptr<TPicture> FPicture;
    TAMPMFrame FAMPMFrame = apRect;
    TWatchShape FShape = wsCircle;
    TPointerStyle FPointerStyle = psLine;
    int FHourPointerSize = 4;
    int FSecondPointerSize = 1;
    int FMinutePointerSize = 3;
    TColor FHourColor = 0;
    TColor FMinuteColor = 0x808080;
    int FCenterPointSize = 4;
    TColor FCenterPointColor = 0;
    TColor FCenterPointBorderColor = clNone;
    TWatchGradient FBackgroundGradient = wgVertical;
    int FHourMarkLength = 0;
    int FHourMarkWidth = 1;
    int FMinuteMarkLength = 0;
    int FMinuteMarkWidth = 1;
    int FBorderWidth = 4;
    TColor FAMPMColor = 0xFFFFFF;
    TColor FAMPMBorderColor = 0;
    TColor FCenterPointOuterBorderColor = clNone;
    TTickMarks FTickMarks = tmAll;
    THourMarkStyle FHourMarkStyle = hmsLine;
    bool FResetting = false;
};

// The clock's mode.
class TWatchSettings : public TPersistent {
public:
    // The clock runs on the system time.
    bool Auto() const { return FAuto; }
    void SetAuto(bool v);
    // With Auto, a second hand is drawn.
    bool Second() const { return FSecond; }
    void SetSecond(bool v);
    // Minutes added to the system time in automatic mode.
    int TimeOffset() const { return FTimeOffset; }
    void SetTimeOffset(int v);
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    bool FAuto = false;
    bool FSecond = true;
    int FTimeOffset = 0;
};

// The colours a colour style gives a clock's look (tsCustom: only the font and centre colours
// are reset).
void ApplyWatchColorStyle(TWatchAppearance* Appearance, TQorStyle Style);

class TQorWatch : public TCustomControl {
public:
    explicit TQorWatch(TComponent* AOwner);
    ~TQorWatch() override;

    TWatchAppearance* Appearance() const { return FAppearance.get(); }
    void SetAppearance(const TWatchAppearance* v) { FAppearance->Assign(v); }
    TWatchSettings* Settings() const { return FSettings.get(); }
    void SetSettings(const TWatchSettings* v) { FSettings->Assign(v); }
    // Setting it redraws the hands and fires no OnChange.
    TDateTime Time() const { return FTime; }
    void SetTime(TDateTime Value);
    // The time the hands show: the system time plus the offset in automatic mode.
    TDateTime DisplayedTime() const;
    bool Animation() const { return FAnimation; }
    void SetAnimation(bool v) { FAnimation = v; }
    // The animation's divisor; values below 1 count as 1.
    int AnimationFactor() const { return FAnimationFactor; }
    void SetAnimationFactor(int v) { FAnimationFactor = v; }
    bool ShowAMPM() const { return FShowAMPM; }
    void SetShowAMPM(bool v);
    bool ShowNumbers() const { return FShowNumbers; }
    void SetShowNumbers(bool v);
    // The AM/PM box shows "AM".
    bool AM() const { return FAM; }
    // A preset look; the appearance is reset first.
    TWatchStyle Style() const { return FStyle; }
    void SetStyle(TWatchStyle Value);
    void SetComponentStyle(TQorStyle Style);

    // One part of the displayed time, moved there in steps with Animation.
    void SetHour(int Value);
    // Raises "Invalid time" for 60 or more.
    void SetMinute(int Value);
    // The keyboard control of the time picker's popup (not in automatic mode).
    void HandleWatchKey(WORD Key);
    // A hand is moving.
    bool Animating() const;

    // The dial square, its centre and radius.
    TRect DialRect() const;
    TPoint Center() const;
    int Radius() const { return DialRect().Width() / 2; }
    // The AM/PM box; (-1, -1, -1, -1) without ShowAMPM.
    TRect AMPMRect();

    TNotifyEvent OnChange;

protected:
    void Paint() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMGetDlgCode(TMessage& Message) override;

private:
    int displayedHour() const;
    int displayedMinute() const;
    // Sets the displayed time's parts now (no animation).
    void setTimeParts(int Hour, int Minute);
    // The AM/PM box follows the hour, without the roll.
    void followHalf();
    void setHourNow(int Value);
    void setMinuteNow(int Value);
    int minuteAt(int X, int Y) const;
    bool inDial(int X, int Y) const;
    // Draws the face, marks, numbers and AM/PM box into the cache.
    void drawFace();
    void drawMarks(TCanvas* C);
    void drawNumbers(TCanvas* C);
    void drawAMPM(TCanvas* C);
    void drawHands(TCanvas* C);
    // The cache with the hands over it, on the control.
    void redrawHands();
    // Rolls the AM/PM box to its other text.
    void rollAMPM();
    void animationStep();
    void watchTimer();
    void settingsChanged();
    std::unique_ptr<TWatchAppearance> FAppearance;
    std::unique_ptr<TWatchSettings> FSettings;
    TDateTime FTime = 0;
    std::unique_ptr<TBitmap> FBKGCache;
    int FOldHour = -1;
    int FOldMinute = -1;
    int FOldSecond = -1;
    TTimer* FWatchTimer = nullptr;
    bool FAnimation = true;
    int FAnimationFactor = 10;
    TTimer* FAnimationTimer = nullptr;
    int FCurrentHourTo = 0;
    int FCurrentMinuteTo = 0;
    int FMinuteFrom = 0;
    bool FHourAnimating = false;
    bool FMinuteAnimating = false;
    bool FInternalCall = false;
    bool FAM = true;
    bool FShowAMPM = true;
    bool FShowNumbers = true;
    bool FInternalSet = false;
    TWatchStyle FStyle = wsClassic;
};
