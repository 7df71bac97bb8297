#pragma once
// The combo box with a painted flat frame and drop-down button, focus and hover colours and an
// optional caption label (TAsgCustomCombo, published as TAsgComboBox), and the grid's in-place
// combo editor built on it (TGridCombo): which keys it keeps and which it hands to the grid,
// how it validates, restores and commits the cell, the mouse wheel, look-up completion and the
// width of its list.
#include "grid/editors/controls/LabelPlacement.h"
#include "platform/ui/StdCtrls.h"

#include <memory>
#include <string>

class TQorStringGrid;

// A control that needs an owner of another class than it was given.
class EInvalidCast : public Exception {
public:
    using Exception::Exception;
};

class TAsgCustomCombo : public TCustomComboBox {
public:
    explicit TAsgCustomCombo(TComponent* AOwner);
    ~TAsgCustomCombo() override;

    void Loaded() override;
    // Remembers the current colour as the normal one (focus colours return to it).
    void Init();
    // Selects the item with this text; no change when there is none.
    void SelectItem(const std::string& s);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetEnabled(bool v) override;
    void SetVisible(bool v) override;

    bool AutoFocus() const { return FAutoFocus; }
    void SetAutoFocus(bool v) { FAutoFocus = v; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    // Stored; no painting rule reads it.
    bool Etched() const { return FEtched; }
    void SetEtched(bool v);
    // 14 to 32; other values are ignored.
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int v);
    // The list's width when above 0.
    int DropWidth() const { return FDropWidth; }
    void SetDropWidth(int v);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    TColor FocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(TColor v) { FFocusBorderColor = v; }
    TColor FocusColor() const { return FFocusColor; }
    void SetFocusColor(TColor v) { FFocusColor = v; }
    bool FocusBorder() const { return FFocusBorder; }
    void SetFocusBorder(bool v) { FFocusBorder = v; }
    bool FocusLabel() const { return FFocusLabel; }
    void SetFocusLabel(bool v) { FFocusLabel = v; }
    TColor FlatLineColor() const { return FFlatLineColor; }
    void SetFlatLineColor(TColor v);
    bool FlatParentColor() const { return FFlatParentColor; }
    void SetFlatParentColor(bool v);
    bool DisabledBorder() const { return FDisabledBorder; }
    void SetDisabledBorder(bool v) { FDisabledBorder = v; }
    TColor ButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor v) { setPaint(FButtonColor, v); }
    TColor ButtonColorHot() const { return FButtonColorHot; }
    void SetButtonColorHot(TColor v) { setPaint(FButtonColorHot, v); }
    TColor ButtonColorDown() const { return FButtonColorDown; }
    void SetButtonColorDown(TColor v) { setPaint(FButtonColorDown, v); }
    TColor ButtonTextColor() const { return FButtonTextColor; }
    void SetButtonTextColor(TColor v) { setPaint(FButtonTextColor, v); }
    TColor ButtonTextColorDown() const { return FButtonTextColorDown; }
    void SetButtonTextColorDown(TColor v) { setPaint(FButtonTextColorDown, v); }
    // Stored; no painting rule reads it.
    TColor ButtonTextColorHot() const { return FButtonTextColorHot; }
    void SetButtonTextColorHot(TColor v) { FButtonTextColorHot = v; }
    TColor ButtonBorderColor() const { return FButtonBorderColor; }
    void SetButtonBorderColor(TColor v) { setPaint(FButtonBorderColor, v); }
    // Set by the owner: hover repaints (IsWinXP), the platform paints (IsVista).
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v) { FIsWinXP = v; }
    bool IsVista() const { return FIsVista; }
    void SetIsVista(bool v) { FIsVista = v; }

    // The caption label beside the control; setting a caption creates it.
    const std::string& LabelCaption() const { return FLabelCaption; }
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
    TLabel* ComboLabel() const { return FLabel; }

    // The list closed.
    TNotifyEvent OnDropUp;

    // The mouse is over the drop-down button.
    bool ButtonHot() const { return FMouseInButton; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void PaintWindow(HDC DC) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMParentFontChanged(TMessage& Message) override;
    void DoEnter() override;
    void DoExit() override;
    void DropDown() override;
    void CloseUp() override;
    // Whether the control paints its own frame and button rather than the platform's look.
    bool PaintsItself() const;
    void DrawDropButton(TCanvas* Canvas);
    void DrawBorders(TCanvas* Canvas);
    void DrawFrame(TCanvas* Canvas);
    void DrawButtonEdge(TCanvas* Canvas);
    bool Themed() const;
    // The mouse is inside the control or the control is the active one.
    bool Hot() const;
    bool HasFocus() const { return FHasFocus; }

private:
    void UpdateLabel();
    template <typename T> void setPaint(T& field, const T& v) {
        field = v;
        Invalidate();
    }
    bool FAutoFocus = false;
    bool FFlat = false;
    bool FEtched = false;
    int FButtonWidth;
    int FDropWidth = 0;
    TColor FBorderColor = clNone;
    TColor FFocusBorderColor = clNone;
    TColor FFocusColor = clNone;
    bool FFocusBorder = false;
    bool FFocusLabel = false;
    TColor FFlatLineColor = clNone;
    bool FFlatParentColor = true;
    bool FDisabledBorder = true;
    TColor FButtonColor = clNone;
    TColor FButtonColorHot = clNone;
    TColor FButtonColorDown = clNone;
    TColor FButtonTextColor = clNone;
    TColor FButtonTextColorDown = clNone;
    TColor FButtonTextColorHot = clNone;
    TColor FButtonBorderColor = clNone;
    bool FIsWinXP = false;
    bool FIsVista = false;
    std::string FLabelCaption;
    TLabelPosition FLabelPosition = lpLeftTop;
    int FLabelMargin = 4;
    bool FLabelTransparent = false;
    bool FLabelAlwaysEnabled = false;
    std::unique_ptr<TFont> FLabelFont;
    TLabel* FLabel = nullptr;
    bool FMouseInControl = false;
    bool FMouseInButton = false;
    bool FHasFocus = false;
    TColor FNormalColor = clWindow;
    TColor FLoadedColor = clWindow;
    TColor FDisabledColor = clWindow;
    bool FDisabledParentColor = false;
    bool FThemed = false;
};

class TAsgComboBox : public TAsgCustomCombo {
public:
    using TAsgCustomCombo::TAsgCustomCombo;
};

// The grid's combo editor for edComboEdit (csDropDown) and edComboList (csDropDownList) cells.
// Its owner must be a TQorStringGrid.
class TGridCombo : public TAsgComboBox {
public:
    explicit TGridCombo(TComponent* AOwner);

    TQorStringGrid* Grid() const { return FGrid; }
    // Look-up completion works only while set; Backspace and Delete clear it.
    bool WorkMode() const { return FWorkMode; }
    void SetWorkMode(bool v) { FWorkMode = v; }
    // Completes the text before the caret from the items and the grid's look-up items.
    void DoChange();
    // Widens the list to its widest item.
    void SizeDropDownWidth();

    TNotifyEvent OnReturnKey;

protected:
    void WndProc(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void CMWantSpecialKey(TWMKey& Message) override;
    void DoEnter() override;
    void DoExit() override;
    void Change() override;

private:
    // The grid reports the choice it makes when it opens the editor as a change.
    friend class TQorStringGrid;
    // Whether the key ends the edit rather than staying in the combo.
    bool isGridKey(WORD Key, TShiftState Shift) const;
    // Fires OnComboChange and OnComboObjectChange for the selected item of the cell (RealCol, Row).
    void fireComboChange(int RealCol, int Row);
    // The item highlighted in the open list becomes the selected one.
    void takeDroppedItem();
    // A move of the cursor out of the text (CursorWalkEditor); true when it was one.
    bool cursorWalk(WORD Key, TShiftState Shift);
    TQorStringGrid* FGrid;
    bool FWorkMode = true;
};
