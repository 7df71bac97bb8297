#pragma once
// A panel of push buttons: in its calculator type it makes and arranges the 28 buttons of a
// pocket calculator itself; in its custom type it shows the buttons its user supplies, where
// they were put. A click (press and release on the same enabled button) reports the button's
// index.
#include "controls/base/QorItemSelector.h"
#include "platform/gfx/Imaging.h"
#include "platform/ui/core/Controls.h"

#include <functional>
#include <memory>
#include <string>

class TImageList;
class TCustomEdit;
class TQorCustomDropDown;

enum TButtonPanelType { plCalculator, plCustom };

using TCalculatorButtonClickEvent = std::function<void(TObject* Sender, int Index)>;

class TButtonItem : public TCollectionItem {
public:
    explicit TButtonItem(TCollection* Collection);
    ~TButtonItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // A disabled button is never hot or pressed; its image-list image is drawn disabled.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Drawn instead of the image-list image when it holds a graphic.
    TPicture* Image() const { return FImage.get(); }
    void SetImage(const TPicture* Value) { FImage->Assign(Value); }
    // The code the calculator acts on.
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    // The button's rectangle in the panel: set by the calculator arrangement, by the user in the
    // custom type.
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    // Kept and copied; the faces draw with the appearance's text colours.
    TColor CaptionColor() const { return FCaptionColor; }
    void SetCaptionColor(TColor Value) { FCaptionColor = Value; }
    // Operator and function buttons, drawn in the special text colour.
    bool Special() const { return FSpecial; }
    void SetSpecial(bool Value) { FSpecial = Value; }

    // Caption, caption colour, tag, image index, image, enabled state and name.
    void Assign(const TPersistent* Source) override;

private:
    std::string FCaption;
    int FImageIndex = -1;
    bool FEnabled = true;
    std::unique_ptr<TPicture> FImage;
    int FTag = 0;
    int FHeight = 0;
    int FLeft = 0;
    int FWidth = 0;
    int FTop = 0;
    std::string FName;
    TColor FCaptionColor = clWhite;
    bool FSpecial = false;
};

class TButtonItems : public TCollection {
public:
    explicit TButtonItems(TPersistent* AOwner);
    TPersistent* Owner() const { return FMyOwner; }
    TButtonItem* Items(int Index) const {
        return static_cast<TButtonItem*>(TCollection::Items(Index));
    }
    TButtonItem* Add() { return static_cast<TButtonItem*>(TCollection::Add()); }
    TButtonItem* Insert(int Index) { return static_cast<TButtonItem*>(TCollection::Insert(Index)); }
    // A button or the list changed.
    TNotifyEvent OnChange;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TPersistent* FMyOwner;
};

// The colours and font of the panel's buttons. The faces are the platform's push buttons, so
// only the font and the text colours show; the other colours follow the colour styles.
class TButtonAppearance : public TPersistent {
public:
    TButtonAppearance();
    ~TButtonAppearance() override;

    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { set(FBorderColor, v); }
    TColor BorderColorHot() const { return FBorderColorHot; }
    void SetBorderColorHot(TColor v) { set(FBorderColorHot, v); }
    TColor BorderColorDown() const { return FBorderColorDown; }
    void SetBorderColorDown(TColor v) { set(FBorderColorDown, v); }
    TColor BorderColorChecked() const { return FBorderColorChecked; }
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { set(FColor, v); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v) { set(FColorTo, v); }
    TColor ColorDown() const { return FColorDown; }
    void SetColorDown(TColor v) { set(FColorDown, v); }
    TColor ColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor v) { set(FColorDownTo, v); }
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor v) { set(FColorHot, v); }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor v) { set(FColorHotTo, v); }
    TColor ColorCheckedTo() const { return FColorCheckedTo; }
    TColor ColorDisabled() const { return FColorDisabled; }
    TColor ColorDisabledTo() const { return FColorDisabledTo; }
    TColor ColorChecked() const { return FColorChecked; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* v) { FFont->Assign(v); }
    // Stored without a notification.
    TColor ShineColor() const { return FShineColor; }
    void SetShineColor(TColor v) { FShineColor = v; }
    TColor GlowColorHot() const { return FGlowColorHot; }
    void SetGlowColorHot(TColor v) { FGlowColorHot = v; }
    TColor GlowColorDown() const { return FGlowColorDown; }
    void SetGlowColorDown(TColor v) { FGlowColorDown = v; }
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor v) { set(FTextColor, v); }
    TColor SpecialTextColor() const { return FSpecialTextColor; }
    void SetSpecialTextColor(TColor v) { set(FSpecialTextColor, v); }

    // Every colour, the font and both text colours.
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    void set(TColor& field, TColor v);
    TColor FBorderColor = 0;
    TColor FBorderColorHot = 0;
    TColor FBorderColorDown = 0;
    TColor FBorderColorChecked = clBlue;
    TColor FColor = 0x9A915F;
    TColor FColorTo = 0xB0A170;
    TColor FColorDown = 0x4B2F08;
    TColor FColorDownTo = 0xADB514;
    TColor FColorHot = 0x9F6F1C;
    TColor FColorHotTo = 0xD5C244;
    TColor FColorCheckedTo;
    TColor FColorDisabled;
    TColor FColorDisabledTo;
    TColor FColorChecked;
    std::unique_ptr<TFont> FFont;
    TColor FShineColor = clWhite;
    TColor FGlowColorHot = 0xD5C244;
    TColor FGlowColorDown = 0xD5C244;
    TColor FTextColor = clBlack;
    TColor FSpecialTextColor = clMaroon;
};

class TCustomButtonPanel : public TCustomControl {
public:
    explicit TCustomButtonPanel(TComponent* AOwner);
    ~TCustomButtonPanel() override;

    TButtonItems* Buttons() const { return FButtons.get(); }
    // Used by the next paint.
    TItemLayout ButtonLayout() const { return FButtonLayout; }
    void SetButtonLayout(TItemLayout Value) { FButtonLayout = Value; }
    TSelectionColorStyle ItemColorStyle() const { return FItemColorStyle; }
    void SetItemColorStyle(TSelectionColorStyle Value) { FItemColorStyle = Value; }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    // The edit the panel works for.
    TCustomEdit* Edit() const { return FEdit; }
    void SetEdit(TCustomEdit* Value);
    TButtonPanelType ButtonPanelType() const { return FButtonPanelType; }
    void SetButtonPanelType(TButtonPanelType Value);
    TButtonAppearance* ButtonAppearance() const { return FButtonAppearance.get(); }
    void SetButtonAppearance(const TButtonAppearance* Value) { FButtonAppearance->Assign(Value); }
    // The drop-down whose popup holds the panel; nullptr: a panel on its own.
    TQorCustomDropDown* QorDropDown() const { return FQorDropDown; }
    void SetQorDropDown(TQorCustomDropDown* Value) { FQorDropDown = Value; }
    int ButtonHot() const { return FButtonHot; }
    int ButtonDown() const { return FButtonDown; }

    virtual void DrawButton(int Index, TCanvas* ACanvas);
    // The client rectangle less the margin.
    virtual void GetButtonArea(TRect& Rect) const;
    // What one button needs for its content, by the layout.
    virtual void GetButtonSize(int& Width, int& Height);
    virtual void ClearButtons();
    virtual void ResetButtons();
    // The calculator's buttons when there are none (plCalculator), then the arrangement.
    virtual void CreateButtons();
    // Places the calculator's buttons (nothing for plCustom or without buttons).
    virtual void ArrangeButtons();
    virtual void InvalidateButton(int Index);
    virtual void FireButtonClick(int Index);

    // (-1, -1, -1, -1) for an index out of range.
    TRect GetButtonRect(int Index) const;
    // The first button holding the point; -1 when none.
    int ButtonAtPos(int X, int Y) const;
    void SetButtonHot(int Index);
    void SetButtonDown(int Index);

    void Loaded() override;

    TCalculatorButtonClickEvent OnButtonClick;

protected:
    void Paint() override;
    void Resize() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    bool validIndex(int Index) const { return Index >= 0 && Index < FButtons->Count(); }
    int enabledButtonAt(int X, int Y) const;
    const TGraphic* buttonImage(const TButtonItem& Item) const;
    std::unique_ptr<TButtonItems> FButtons;
    TItemLayout FButtonLayout = ilCaptionRight;
    TSelectionColorStyle FItemColorStyle = scCustom;
    int FButtonHot = -1;
    int FOffSetX = 8;
    int FOffSetY = 8;
    int FButtonOffSetX = 4;
    int FButtonOffSetY = 4;
    TImageList* FImages = nullptr;
    int FCaptionGap = 0;
    TCustomEdit* FEdit = nullptr;
    TButtonPanelType FButtonPanelType = plCalculator;
    std::unique_ptr<TButtonAppearance> FButtonAppearance;
    int FButtonDown = -1;
    TQorCustomDropDown* FQorDropDown = nullptr;
};
