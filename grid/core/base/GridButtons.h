#pragma once
// The grid's own small controls, used by its search panel: a flat, colour-styled graphic button
// with state glyphs, an optional drop-down part and check or radio-group behaviour, and a
// windowed check box drawn with the platform's frame controls, optionally on its parent's
// background.
#include "platform/gfx/Graphics.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/core/Actions.h"
#include "platform/ui/core/Controls.h"

#include <memory>
#include <string>

class TQorGridButton;

// The action link of the grid button: besides caption, enabled and visible state it links the
// checked state (for a button of a group that allows all up, while Down equals the action's
// Checked) to Down and the group index (while equal) to GroupIndex.
class TQorGridButtonActionLink : public TControlActionLink {
public:
    explicit TQorGridButtonActionLink(TQorGridButton* AClient);
    bool IsCheckedLinked() const override;
    bool IsGroupIndexLinked() const override;
    void SetChecked(bool Value) override;
    void SetGroupIndex(int Value) override;

private:
    TQorGridButton* button() const;
};

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TQorGridButtonStyle { tasButton, tasCheck };

class TQorGridButton : public TGraphicControl {
public:
    explicit TQorGridButton(TComponent* AOwner);
    ~TQorGridButton() override;

    void Click() override;
    void Loaded() override;

    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v);
    // Only a button of a group or a check button can be down.
    bool Down() const { return FDown; }
    void SetDown(bool v);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout v);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v);
    // Values below -1 are ignored.
    int Margin() const { return FMargin; }
    void SetMargin(int v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool v);
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v);
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor v) { FColorHot = v; }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor v) { FColorHotTo = v; }
    TColor ColorDown() const { return FColorDown; }
    void SetColorDown(TColor v) { FColorDown = v; }
    TColor ColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor v) { FColorDownTo = v; }
    TColor ColorChecked() const { return FColorChecked; }
    void SetColorChecked(TColor v);
    TColor ColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(TColor v);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    TColor BorderDownColor() const { return FBorderDownColor; }
    void SetBorderDownColor(TColor v) { FBorderDownColor = v; }
    TColor BorderHotColor() const { return FBorderHotColor; }
    void SetBorderHotColor(TColor v) { FBorderHotColor = v; }
    TQorGridButtonStyle Style() const { return FStyle; }
    void SetStyle(TQorGridButtonStyle v);
    bool Rounded() const { return FRounded; }
    void SetRounded(bool v);
    bool DropDownButton() const { return FDropDownButton; }
    void SetDropDownButton(bool v);
    TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* v);
    bool Shaded() const { return FShaded; }
    void SetShaded(bool v);
    bool AutoXPStyle() const { return FAutoXPStyle; }
    void SetAutoXPStyle(bool v) { FAutoXPStyle = v; }
    // On: follows the platform's colour scheme at once and whenever the theme changes.
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool v);
    // 0..6: a colour set (see the .cpp); other values change nothing.
    int Look() const { return FLook; }
    void SetLook(int v);

    // The bitmaps are copied. Setting Glyph while GlyphDisabled is empty makes a grey one.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* v);
    TBitmap* GlyphHot() const { return FGlyphHot.get(); }
    void SetGlyphHot(const TBitmap* v) { FGlyphHot->Assign(v); }
    TBitmap* GlyphDown() const { return FGlyphDown.get(); }
    void SetGlyphDown(const TBitmap* v) { FGlyphDown->Assign(v); }
    TBitmap* GlyphDisabled() const { return FGlyphDisabled.get(); }
    void SetGlyphDisabled(const TBitmap* v) { FGlyphDisabled->Assign(v); }

    // What Paint draws; the pointer is over the button.
    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }

    TNotifyEvent OnDropDown;

protected:
    std::unique_ptr<TControlActionLink> CreateActionLink() override;
    // Also the group index and Down (as the action's Checked).
    void ActionChange(TBasicAction* Sender, bool CheckDefaults) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void WMLButtonDblClk(TWMMouse& Message) override;

private:
    void updateExclusive();
    void updateTracking();
    void buttonPressed(int Group, TQorGridButton* Sender);
    void themeAdapt();
    void makeShade();
    TBitmap* chosenGlyph() const;
    int FGroupIndex = 0;
    std::unique_ptr<TBitmap> FGlyph;
    bool FDown = false;
    bool FDragging = false;
    bool FAllowAllUp = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FSpacing = 4;
    bool FTransparent = true;
    int FMargin = -1;
    bool FFlat = true;
    bool FMouseInControl = false;
    TColor FColorTo = clNone;
    TColor FColorHot = 13289415;
    TColor FColorHotTo = clNone;
    TColor FColorDown = 14210002;
    TColor FColorDownTo = clNone;
    TColor FBorderColor = clNone;
    TColor FBorderDownColor = clNone;
    TColor FBorderHotColor = clNone;
    std::unique_ptr<TBitmap> FGlyphDisabled;
    std::unique_ptr<TBitmap> FGlyphHot;
    std::unique_ptr<TBitmap> FGlyphDown;
    std::unique_ptr<TBitmap> FGlyphShade;
    bool FShaded = true;
    TColor FColorChecked = clGray;
    TColor FColorCheckedTo = clNone;
    TQorGridButtonStyle FStyle = tasButton;
    int FLook = 0;
    bool FRounded = false;
    bool FDropDownButton = false;
    bool FAutoThemeAdapt = false;
    bool FAutoXPStyle = false;
    TPopupMenu* FDropDownMenu = nullptr;
    bool FShowCaption = true;
    TButtonState FState = bsUp;
};

class TQorCheckBox : public TCustomControl {
public:
    explicit TQorCheckBox(TComponent* AOwner);
    ~TQorCheckBox() override;

    TCheckBoxState State() const { return FState; }
    // Repaints only the box.
    void SetState(TCheckBoxState v);
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool v);
    // Inverts Checked unless ReadOnly.
    virtual void Toggle();
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool v) { FReturnIsTab = v; }
    TTextLayout ButtonVertAlign() const { return FBtnVAlign; }
    void SetButtonVertAlign(TTextLayout v);
    // taLeftJustify: the box at the left; taRightJustify: at the right.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    // Paints the parent's background behind the box and caption.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // The box is pressed (mouse or space held); the pointer is over the control.
    bool IsDown() const { return FDown; }
    bool Hot() const { return FHot; }
    // Where Paint draws the box.
    TRect BoxRect() const;

protected:
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMSetFocus(TWMSetFocus& Message) override;
    void WMKillFocus(TWMKillFocus& Message) override;
    void WMEraseBkgnd(TWMEraseBkgnd& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    void fireClick();
    void paintParentBackground(TCanvas* C);
    void invalidateBox();
    bool FDown = false;
    TCheckBoxState FState = cbUnchecked;
    bool FFocused = false;
    bool FReturnIsTab = false;
    TTextLayout FBtnVAlign = tlTop;
    TAlignment FAlignment = taLeftJustify;
    bool FEllipsis = false;
    std::string FCaption = "TQorCheckBox";
    bool FIsWinXP;
    bool FHot = false;
    bool FReadOnly = false;
    bool FMouseDown = false;
    std::unique_ptr<TBitmap> FBkgBmp;
    bool FBkgCache = false;
    bool FTransparentCaching = false;
    bool FTransparent = false;
};
