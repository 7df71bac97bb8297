#pragma once
// The edit with a button: a single-line edit with a push button at its right edge that raises
// OnClickBtn (as F4 does); the owner decides what the button does. The unit edit holds a number
// in its text and a unit, chosen from a pop-up menu of units by the button, drawn between the
// text and the button. TAsgEditButton holds and fills the push button, TQorSpeedButton.
#include "grid/editors/controls/ButtonHolder.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Mask.h"

#include <functional>
#include <memory>
#include <string>

class TAsgEditButton;

// The push button of an edit with a button.
class TQorSpeedButton : public TSpeedButton {
public:
    explicit TQorSpeedButton(TComponent* AOwner);
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v) { FIsWinXP = v; }
    // Its own flat look (the edge drawn inside); the holder sets it without a repaint.
    bool Flat() const { return FFlat; }
    void SetFlat(bool v) { FFlat = v; }
    // The mouse is over the button.
    bool Hot() const { return MouseInControl(); }

protected:
    void Paint() override;

private:
    bool FIsWinXP = false;
    bool FFlat = false;
};

// The holder of the push button, which fills it.
class TAsgEditButton : public TButtonHolder {
public:
    explicit TAsgEditButton(TComponent* AOwner);

    TQorSpeedButton* Button() const { return FButton; }
    TBitmap* Glyph() const { return FButton->Glyph(); }
    void SetGlyph(const TBitmap* v) { FButton->SetGlyph(v); }
    int NumGlyphs() const { return FButton->NumGlyphs(); }
    void SetNumGlyphs(int v) { FButton->SetNumGlyphs(v); }
    const std::string& ButtonCaption() const { return FButton->Caption(); }
    void SetButtonCaption(const std::string& v) { FButton->SetCaption(v); }
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Loaded() override;

    TNotifyEvent OnClick;

protected:
    void ButtonLookChanged() override { FButton->Invalidate(); }
    void WMSize(TWMSize& Message) override;
    void Paint() override;

private:
    void ButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ArrangeButton();
    TQorSpeedButton* FButton = nullptr;
    bool FFlat = false;
};

class TAsgEditBtn : public TCustomMaskEdit {
public:
    explicit TAsgEditBtn(TComponent* AOwner);

    TAsgEditButton* Button() const { return FButton; }
    const std::string& ButtonCaption() const { return FButton->ButtonCaption(); }
    void SetButtonCaption(const std::string& v) { FButton->SetButtonCaption(v); }
    TBitmap* Glyph() const { return FButton->Glyph(); }
    void SetGlyph(const TBitmap* v) { FButton->SetGlyph(v); }
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int v);
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool v) { FEditorEnabled = v; }
    bool RightAlign() const { return FRightAlign; }
    void SetRightAlign(bool v);
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);
    // The least height that shows a line of the font.
    int MinimumHeight();
    // Raises OnClickBtn with Sender.
    virtual void ClickButton(TObject* Sender);

    TNotifyEvent OnClickBtn;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void WMChar(TWMKey& Message) override;
    void WMSize(TWMSize& Message) override;
    void Dispatch(TMessage& Message) override;
    void DoEnter() override;
    void CreateWnd() override;
    void UpdateEditRect();
    // Room for the unit text of the unit edit.
    int FUnitSize = 0;

private:
    void placeButton();
    TAsgEditButton* FButton = nullptr;
    int FButtonWidth = 0;
    bool FEditorEnabled = true;
    bool FRightAlign = false;
    bool FIsWinXP = false;
};

class TAsgUnitEditBtn : public TAsgEditBtn {
public:
    explicit TAsgUnitEditBtn(TComponent* AOwner);

    // The units in menu order; a nil list is ignored.
    TStringList* Units() const { return FUnits.get(); }
    void SetUnits(const TStrings* v);
    const std::string& UnitID() const { return FUnitID; }
    void SetUnitID(const std::string& v);
    int UnitSpace() const { return FUnitSize; }
    void SetUnitSpace(int v);
    // The text followed by the unit; setting it splits off the first unit that ends the value.
    std::string TextAndUnit() const { return Text() + FUnitID; }
    void SetTextAndUnit(const std::string& v);
    void ClickButton(TObject* Sender) override;

    std::function<void(TObject* Sender, const std::string& NewUnit)> OnUnitChanged;

protected:
    void WMCommand(TWMCommand& Message) override;
    void PaintWindow(HDC DC) override;

private:
    std::unique_ptr<TStringList> FUnits;
    std::string FUnitID;
};
