#pragma once
// The date and time pickers over the platform picker: TAsgDateTimePicker gives it a flat
// "metro" look (a drawn drop-down button, a border colour, a drawn frame); TCustomDateTimePicker
// is its twin with automatic moves to the next field (AutoTab) and a flat border of its own;
// TQorDateTimePicker combines a date picker with an embedded time picker in its right part and
// an optional caption label.
#include "grid/editors/controls/LabelPlacement.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/StdCtrls.h"

#include <functional>
#include <memory>
#include <string>

// The drawing the two picker families share.
class TMetroDateTimePicker : public TDateTimePicker {
public:
    explicit TMetroDateTimePicker(TComponent* AOwner, TColor DefaultBorderColor);

    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    bool MetroStyle() const { return FMetroStyle; }
    void SetMetroStyle(bool v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    TColor ButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor v) { repaintSet(FButtonColor, v); }
    TColor ButtonColorHot() const { return FButtonColorHot; }
    void SetButtonColorHot(TColor v) { repaintSet(FButtonColorHot, v); }
    TColor ButtonColorDown() const { return FButtonColorDown; }
    void SetButtonColorDown(TColor v) { repaintSet(FButtonColorDown, v); }
    TColor ButtonTextColor() const { return FButtonTextColor; }
    void SetButtonTextColor(TColor v) { repaintSet(FButtonTextColor, v); }
    TColor ButtonTextColorHot() const { return FButtonTextColorHot; }
    void SetButtonTextColorHot(TColor v) { repaintSet(FButtonTextColorHot, v); }
    TColor ButtonTextColorDown() const { return FButtonTextColorDown; }
    void SetButtonTextColorDown(TColor v) { repaintSet(FButtonTextColorDown, v); }
    TColor ButtonBorderColor() const { return FButtonBorderColor; }
    void SetButtonBorderColor(TColor v) { repaintSet(FButtonBorderColor, v); }
    bool ButtonHover() const { return FButtonHover; }
    bool MouseInControl() const { return FMouseInControl; }
    bool HasFocus() const { return FHasFocus; }
    bool IsWinXP() const { return FIsWinXP; }
    bool IsThemed() const { return FIsThemed; }

protected:
    // Whether the control has the metro look.
    virtual bool MetroLook() const = 0;
    // Whether the flat border lines are drawn (only with Ctl3D off).
    virtual bool DrawsFlatBorder() const = 0;
    // Whether the frame and button edge are left out.
    virtual bool SkipsBorders() const { return false; }
    // The extra width of the button area the metro paint fills.
    virtual int ButtonFillInset() const = 0;
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    // Visual styles are on (never on this platform: no visual-style library).
    bool StylesOn() const;
    void DrawDropButton(TCanvas* C);
    void DrawBorders();
    void DrawFrame(TCanvas* C);
    void DrawButtonEdge(TCanvas* C);
    // The border lines of Ctl3D off.
    void FlatBorder(TCanvas* C);
    // The lines the paint step adds to the platform's look (none here).
    virtual void PaintFlatLines(TCanvas*) {}
    void NCPaint();
    void setBorderStyle(TBorderStyle v);
    TBorderStyle FBorderStyle = bsNone;
    TColor FBorderColor;
    TColor FButtonColor = clNone;
    TColor FButtonColorHot = clNone;
    TColor FButtonColorDown = clNone;
    TColor FButtonTextColor = clNone;
    TColor FButtonTextColorHot = clNone;
    TColor FButtonTextColorDown = clNone;
    TColor FButtonBorderColor = clNone;
    bool FMetroStyle = false;
    int FButtonWidth;
    bool FButtonHover = false;
    bool FMouseInControl = false;
    bool FHasFocus = false;
    bool FIsWinXP;
    bool FIsThemed;

private:
    void repaintSet(TColor& field, TColor v);
};

class TAsgDateTimePicker : public TMetroDateTimePicker {
public:
    explicit TAsgDateTimePicker(TComponent* AOwner);
    // "1.0.0.0"; writing changes nothing.
    std::string Version() const;
    void SetVersion(const std::string&) {}
    virtual void SetBorderStyle(TBorderStyle v) { setBorderStyle(v); }

protected:
    bool MetroLook() const override;
    bool DrawsFlatBorder() const override { return FBorderColor != clNone; }
    int ButtonFillInset() const override { return 15; }
};

class TCustomDateTimePicker : public TMetroDateTimePicker {
public:
    explicit TCustomDateTimePicker(TComponent* AOwner);
    bool AutoTab() const { return FAutoTab; }
    virtual void SetAutoTab(bool v) { FAutoTab = v; }
    virtual bool IsInnerPicker() const { return true; }
    virtual void SetBorderStyle(TBorderStyle v) { setBorderStyle(v); }
    // Moves to the next field when the digit just typed changed the current one.
    virtual void ShiftFocus();

protected:
    bool MetroLook() const override { return FMetroStyle && !IsInnerPicker(); }
    bool DrawsFlatBorder() const override { return true; }
    bool SkipsBorders() const override { return IsInnerPicker(); }
    int ButtonFillInset() const override { return 4; }
    void KeyPress(char32_t& Key) override;
    void WndProc(TMessage& Message) override;
    void PaintFlatLines(TCanvas* C) override;
    // The time part of a combined picker keeps the keys its control keeps.
    void CMWantSpecialKey(TWMKey& Message) override;
    // The time before the last digit.
    int Fh = 0, Fm = 0, Fs = 0, Fms = 0;

private:
    bool FAutoTab = false;
};

enum TQorDateTimeKind { dkDate, dkTime, dkDateTime };

class TQorDateTimePicker : public TCustomDateTimePicker {
public:
    explicit TQorDateTimePicker(TComponent* AOwner);
    ~TQorDateTimePicker() override;

    TQorDateTimeKind Kind() const { return FKind; }
    void SetKind(TQorDateTimeKind v);
    // The embedded time part; present only for dkDateTime.
    TCustomDateTimePicker* TimePicker() const { return FTimePicker; }
    const std::string& TimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(const std::string& v);
    // The date part's format: the platform picker's.
    const std::string& Format() const { return TDateTimePicker::Format(); }
    void SetFormat(const std::string& v) { TDateTimePicker::SetFormat(v); }
    // The value with the time of day of the time part.
    TDateTime DateTime();
    virtual void SetDateTime(TDateTime v);
    TDateTime Date() const { return TDateTimePicker::Date(); }
    void SetDate(TDateTime v);
    TDateTime Time() const;
    void SetTime(TDateTime v);
    void SetBorderStyle(TBorderStyle v) override;
    void SetAutoTab(bool v) override;
    bool IsInnerPicker() const override { return false; }
    void ShiftFocus() override;
    // "1.2.0.0"; writing changes nothing.
    std::string Version() const;
    void SetVersion(const std::string&) {}

    // The caption label, made when a caption is first set.
    TLabel* PickerLabel() const { return FLabel; }
    std::string LabelCaption() const;
    void SetLabelCaption(const std::string& v);
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition v);
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int v);
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool v);
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool v);
    TFont* LabelFont() const { return FLabelFont.get(); }
    void SetLabelFont(const TFont* v);
    // The label is bold while the control has the focus.
    bool FocusLabel() const { return FFocusLabel; }
    void SetFocusLabel(bool v) { FFocusLabel = v; }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetParent(TWinControl* AParent) override;
    void Loaded() override;

    TNotifyEvent OnTimeChange;
    TNotifyEvent OnLabelClick;
    TNotifyEvent OnLabelDblClick;

protected:
    // The change notification: raises OnChange.
    virtual void DoChange();
    // The click notification: raises OnClick.
    virtual void DoClick();
    // The time part's key presses go nowhere.
    virtual void TimePickerKeyPress(TObject* Sender, char32_t& Key);
    void Change() override { DoChange(); }
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CNNotify(TMessage& Message) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    void KeyPress(char32_t& Key) override;
    void Paint() override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMParentFontChanged(TMessage& Message) override;
    // The date before the last digit.
    int Fy = 0, Fm = 0, Fd = 0;

private:
    void CreateTimePicker();
    void UpdateTimePicker();
    void UpdateLabel();
    void CreateLabel();
    void TimePickerChange(TObject* Sender);
    void TimePickerKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    TQorDateTimeKind FKind = dkDateTime;
    TCustomDateTimePicker* FTimePicker = nullptr;
    std::string FTimeFormat;
    TLabel* FLabel = nullptr;
    TLabelPosition FLabelPosition = lpLeftTop;
    int FLabelMargin = 4;
    bool FLabelTransparent = false;
    bool FLabelAlwaysEnabled = false;
    std::unique_ptr<TFont> FLabelFont;
    bool FFocusLabel = false;
    bool FParentFnt = false;
    bool FFirstRun = true;
    bool FIgnoreTimePickerCheck = false;
};
