#pragma once
// The grid's control look (check boxes, radios, buttons, progress bars, comment marks, the
// fixed-cell gradient of the library look, the drop-down popups' header and footer looks) and
// the banded gradient fill of painters and popups.
#include "platform/base/Classes.h"
#include "platform/gfx/Graphics.h"

#include <memory>
#include <string>

class TQorStringGrid;

enum TControlStyle : int { csClassic, csFlat, csWinXP, csBorland, csQor, csGlyph, csTheme };
enum TGradientDirection { gdHorizontal, gdVertical };
enum TButtonAlignment { baLeft, baRight };

// A button of a popup header strip.
class THeaderButton : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    int Height() const { return FHeight; }
    // Stored only: the height does not change the strip's layout.
    void SetHeight(int v) { FHeight = v; }
    int Width() const { return FWidth; }
    void SetWidth(int v);
    void Assign(const TPersistent* Source) override;

protected:
    // Fires the owning collection's change event.
    void buttonChanged();
    std::string FCaption;
    int FImageIndex = -1;
    bool FEnabled = true;
    int FHeight = 0;
    int FWidth = 0;
};

// A button of a popup footer strip: a header button that closes the popup with a result.
class TFooterButton : public THeaderButton {
public:
    using THeaderButton::THeaderButton;
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int v) { FModalResult = v; }
    void Assign(const TPersistent* Source) override;

private:
    int FModalResult = 0;
};

// The button collections of the strips; OnChange fires when an item or the list changes.
class THeaderButtons : public TCollection {
public:
    explicit THeaderButtons(TPersistent* AOwner);
    TPersistent* Owner() const { return FMyOwner; }
    THeaderButton* Items(int i) const { return static_cast<THeaderButton*>(TCollection::Items(i)); }
    THeaderButton* Add() { return static_cast<THeaderButton*>(TCollection::Add()); }
    TNotifyEvent OnChange;

protected:
    THeaderButtons(TPersistent* AOwner, ItemFactory factory);
    void Update(TCollectionItem* Item) override;

private:
    TPersistent* FMyOwner;
};

class TFooterButtons : public THeaderButtons {
public:
    explicit TFooterButtons(TPersistent* AOwner);
    TFooterButton* Items(int i) const { return static_cast<TFooterButton*>(TCollection::Items(i)); }
    TFooterButton* Add() { return static_cast<TFooterButton*>(TCollection::Add()); }
};

// The header strip of a drop-down popup.
class THeaderAppearance : public TPersistent {
public:
    explicit THeaderAppearance(TPersistent* AOwner);
    ~THeaderAppearance() override;

    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v) { FBorderWidth = v; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v) { FColorTo = v; }
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { FBorderColor = v; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* v) { FFont->Assign(v); }
    THeaderButtons* Buttons() const { return FButtons.get(); }
    void SetButtons(const THeaderButtons* v) { FButtons->Assign(v); }
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection v) { FGradientDirection = v; }
    TButtonAlignment ButtonAlignment() const { return FButtonAlignment; }
    void SetButtonAlignment(TButtonAlignment v) { FButtonAlignment = v; }
    TPersistent* Owner() const { return FOwner; }

    // From the same class only.
    void Assign(const TPersistent* Source) override;
    // The three colours, the font and the gradient direction.
    void AssignColors(const THeaderAppearance* Source);

    TNotifyEvent OnChange;
    TNotifyEvent OnButtonsChanged;

protected:
    THeaderAppearance(TPersistent* AOwner, std::unique_ptr<THeaderButtons> Buttons);
    void copyCommon(const THeaderAppearance& s);

    TPersistent* FOwner;
    bool FVisible = true;
    int FHeight = 22;
    int FBorderWidth = 1;
    int FImageIndex = -1;
    std::string FCaption;
    TColor FColorTo = clWhite;
    TColor FColor = clSilver;
    TColor FBorderColor = clBlack;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<THeaderButtons> FButtons;
    TGradientDirection FGradientDirection = gdVertical;
    TButtonAlignment FButtonAlignment = baRight;
};

// The footer strip of a drop-down popup: a header look with a size grip and footer buttons.
class TFooterAppearance : public THeaderAppearance {
public:
    explicit TFooterAppearance(TPersistent* AOwner);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool v) { FSizeGrip = v; }
    TFooterButtons* Buttons() const { return static_cast<TFooterButtons*>(FButtons.get()); }
    void Assign(const TPersistent* Source) override;

private:
    bool FSizeGrip = true;
};

// Everything a grid draws inside cells that is not text. Setters store and repaint the grid;
// the fixed-cell gradient setters also set the grid's library-look colours and do not repaint.
class TControlLook : public TPersistent {
public:
    explicit TControlLook(TQorStringGrid* AGrid);
    ~TControlLook() override;

    TQorStringGrid* Grid() const { return FGrid; }
    int CheckSize() const { return FCheckBoxSize; }
    void SetCheckSize(int v) { set(FCheckBoxSize, v); }
    TBitmap* UnCheckedGlyph() const { return FUnCheckedGlyph.get(); }
    void SetUnCheckedGlyph(const TBitmap* v) { setGlyph(*FUnCheckedGlyph, v); }
    TBitmap* CheckedGlyph() const { return FCheckedGlyph.get(); }
    void SetCheckedGlyph(const TBitmap* v) { setGlyph(*FCheckedGlyph, v); }
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle v) { set(FControlStyle, v); }
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { set(FColor, v); }
    int RadioSize() const { return FRadioSize; }
    void SetRadioSize(int v) { set(FRadioSize, v); }
    TBitmap* RadioOffGlyph() const { return FRadioOffGlyph.get(); }
    void SetRadioOffGlyph(const TBitmap* v) { setGlyph(*FRadioOffGlyph, v); }
    TBitmap* RadioOnGlyph() const { return FRadioOnGlyph.get(); }
    void SetRadioOnGlyph(const TBitmap* v) { setGlyph(*FRadioOnGlyph, v); }
    bool FlatButton() const { return FFlatButton; }
    void SetFlatButton(bool v) { set(FFlatButton, v); }
    int ProgressMarginY() const { return FProgressMarginY; }
    void SetProgressMarginY(int v) { set(FProgressMarginY, v); }
    int ProgressMarginX() const { return FProgressMarginX; }
    void SetProgressMarginX(int v) { set(FProgressMarginX, v); }
    bool ProgressXP() const { return FProgressXP; }
    void SetProgressXP(bool v) { set(FProgressXP, v); }
    bool DropDownAlwaysVisible() const { return FDropDownAlwaysVisible; }
    void SetDropDownAlwaysVisible(bool v) { set(FDropDownAlwaysVisible, v); }
    bool SpinButtonsAlwaysVisible() const { return FSpinButtonsAlwaysVisible; }
    void SetSpinButtonsAlwaysVisible(bool v) { set(FSpinButtonsAlwaysVisible, v); }
    bool NoDisabledCheckRadioLook() const { return FNoDisabledCheckRadioLook; }
    void SetNoDisabledCheckRadioLook(bool v) { set(FNoDisabledCheckRadioLook, v); }
    bool NoDisabledButtonLook() const { return FNoDisabledButtonLook; }
    void SetNoDisabledButtonLook(bool v) { set(FNoDisabledButtonLook, v); }
    TColor CommentColor() const { return FCommentColor; }
    void SetCommentColor(TColor v) { set(FCommentColor, v); }
    TColor ProgressBorderColor() const { return FProgressBorderColor; }
    void SetProgressBorderColor(TColor v) { set(FProgressBorderColor, v); }
    bool FixedDropDownButton() const { return FFixedDropdownButton; }
    void SetFixedDropDownButton(bool v) { set(FFixedDropdownButton, v); }
    bool CheckAlwaysActive() const { return FCheckAlwaysActive; }
    void SetCheckAlwaysActive(bool v) { set(FCheckAlwaysActive, v); }
    bool RadioAlwaysActive() const { return FRadioAlwaysActive; }
    void SetRadioAlwaysActive(bool v) { set(FRadioAlwaysActive, v); }
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int v) { set(FDropDownCount, v); }
    THeaderAppearance* DropDownHeader() const { return FDropDownHeader.get(); }
    void SetDropDownHeader(const THeaderAppearance* v) { FDropDownHeader->Assign(v); }
    TFooterAppearance* DropDownFooter() const { return FDropDownFooter.get(); }
    void SetDropDownFooter(const TFooterAppearance* v) { FDropDownFooter->Assign(v); }
    int HintMaxWidth() const { return FHintMaxWidth; }
    void SetHintMaxWidth(int v) { set(FHintMaxWidth, v); }

    TColor FixedGradientFrom() const { return FFixedGradientFrom; }
    void SetFixedGradientFrom(TColor v);
    TColor FixedGradientTo() const { return FFixedGradientTo; }
    void SetFixedGradientTo(TColor v);
    TColor FixedGradientMirrorFrom() const { return FFixedGradientMirrorFrom; }
    void SetFixedGradientMirrorFrom(TColor v);
    TColor FixedGradientMirrorTo() const { return FFixedGradientMirrorTo; }
    void SetFixedGradientMirrorTo(TColor v);
    TColor FixedGradientHoverFrom() const { return FFixedGradientHoverFrom; }
    void SetFixedGradientHoverFrom(TColor v);
    TColor FixedGradientHoverTo() const { return FFixedGradientHoverTo; }
    void SetFixedGradientHoverTo(TColor v);
    TColor FixedGradientHoverMirrorFrom() const { return FFixedGradientHoverMirrorFrom; }
    void SetFixedGradientHoverMirrorFrom(TColor v);
    TColor FixedGradientHoverMirrorTo() const { return FFixedGradientHoverMirrorTo; }
    void SetFixedGradientHoverMirrorTo(TColor v);
    TColor FixedGradientHoverBorder() const { return FFixedGradientHoverBorder; }
    void SetFixedGradientHoverBorder(TColor v);
    TColor FixedGradientDownFrom() const { return FFixedGradientDownFrom; }
    void SetFixedGradientDownFrom(TColor v);
    TColor FixedGradientDownTo() const { return FFixedGradientDownTo; }
    void SetFixedGradientDownTo(TColor v);
    TColor FixedGradientDownMirrorFrom() const { return FFixedGradientDownMirrorFrom; }
    void SetFixedGradientDownMirrorFrom(TColor v);
    TColor FixedGradientDownMirrorTo() const { return FFixedGradientDownMirrorTo; }
    void SetFixedGradientDownMirrorTo(TColor v);
    TColor FixedGradientDownBorder() const { return FFixedGradientDownBorder; }
    void SetFixedGradientDownBorder(TColor v);

    // Only from a TControlLook; the gradient colours are copied without touching the grid.
    void Assign(const TPersistent* Source) override;
    // Without touching the grid: the 14 gradient colours back to their defaults; the four
    // colours of the fixed gradient to clNone.
    void ResetColors();
    void ClearFixedGradient();

private:
    template <typename T> void set(T& field, const T& v) {
        field = v;
        repaint();
    }
    void setGlyph(TBitmap& glyph, const TBitmap* v);
    void repaint();

    TQorStringGrid* FGrid;
    int FCheckBoxSize = 15;
    std::unique_ptr<TBitmap> FUnCheckedGlyph;
    std::unique_ptr<TBitmap> FCheckedGlyph;
    TControlStyle FControlStyle = csTheme;
    TColor FColor = clBlack;
    int FRadioSize = 10;
    std::unique_ptr<TBitmap> FRadioOffGlyph;
    std::unique_ptr<TBitmap> FRadioOnGlyph;
    bool FFlatButton = false;
    int FProgressMarginY = 2;
    int FProgressMarginX = 2;
    bool FProgressXP = false;
    bool FDropDownAlwaysVisible = false;
    bool FSpinButtonsAlwaysVisible = false;
    bool FNoDisabledCheckRadioLook = false;
    bool FNoDisabledButtonLook = false;
    TColor FCommentColor = clRed;
    TColor FProgressBorderColor = clGray;
    TColor FFixedGradientFrom = clNone;
    TColor FFixedGradientTo = clNone;
    TColor FFixedGradientMirrorFrom = clNone;
    TColor FFixedGradientMirrorTo = clNone;
    TColor FFixedGradientHoverFrom = clGray;
    TColor FFixedGradientHoverTo = clWhite;
    TColor FFixedGradientHoverMirrorFrom = clNone;
    TColor FFixedGradientHoverMirrorTo = clNone;
    TColor FFixedGradientHoverBorder = clSilver;
    TColor FFixedGradientDownFrom = clGray;
    TColor FFixedGradientDownTo = clSilver;
    TColor FFixedGradientDownMirrorFrom = clNone;
    TColor FFixedGradientDownMirrorTo = clNone;
    TColor FFixedGradientDownBorder = clGray;
    bool FFixedDropdownButton = false;
    bool FCheckAlwaysActive = false;
    bool FRadioAlwaysActive = false;
    int FDropDownCount = 8;
    std::unique_ptr<THeaderAppearance> FDropDownHeader;
    std::unique_ptr<TFooterAppearance> FDropDownFooter;
    int FHintMaxWidth = 0;
};

// Banded gradient: Steps bands of one colour each, from FromColor towards ToColor (which itself
// is never reached), left to right or top to bottom; bands overlap by one pixel.
void DrawGradientRect(TCanvas& Canvas, TColor FromColor, TColor ToColor, int Steps, TRect R,
                      bool Horizontal);
