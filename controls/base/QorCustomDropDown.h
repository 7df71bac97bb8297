#pragma once
// The base of every drop-down edit: a single-line edit with a drop-down button at its right edge
// and a popup (TDropDownForm) that shows a descendant's content control between an optional
// header and footer. The base owns the popup's life cycle (sizing and placing it on the screen
// that holds the edit, showing, hiding, cancelling back to the text last set), the keys that
// open and close it (Alt+Up, Alt+Down, F4, Enter, Escape), the typed-text filter and number
// formats of its edit type (QorDropDownText.cpp), an optional label, border colours and the
// focus bar of a pick-only edit.
//
// Descendants make their content control in a CreateDropDownForm override (after the base's)
// and hand it over with SetControl; they prepare it in BeforeDropDown (calling the base's, which
// fires OnBeforeDropDown); they commit a choice by writing Text (or SetEditText) and calling
// HideDropDown(false).
//
// Text() is the value: the edit text without prefix and suffix; EditText() is what the edit
// holds.
#include "controls/base/DropDownButton.h"
#include "controls/base/DropDownForm.h"
#include "controls/base/QorButton.h"
#include "grid/core/base/GridTheme.h"
#include "grid/editors/AsgCombo.h"
#include "grid/render/ControlLook.h"
#include "platform/ui/StdCtrls.h"

#include <functional>
#include <memory>
#include <string>

class TImageList;
class TItemAppearance;

enum TDropDownEditType {
    etString,
    etNumeric,
    etFloat,
    etUppercase,
    etMixedCase,
    etLowerCase,
    etPassword,
    etMoney,
    etRange,
    etHex,
    etAlphaNumeric,
    etValidChars
};
enum TDropPosition { dpAuto, dpDown, dpUp };
enum TSelectionColorStyle { scCustom, scOffice2007, scWindowsVista, scWindows7 };

using TDropDown = std::function<void(TObject* Sender, bool& acceptdrop)>;
using TDropUp = std::function<void(TObject* Sender, bool Cancelled)>;
using TDropDownButtonItemClick = std::function<void(TObject* Sender, int ButtonIndex)>;
using TClipboardEvent = std::function<void(TObject* Sender, const std::string& value, bool& allow)>;

// The value classes of GetValueKind.
constexpr int vkInteger = 0;
constexpr int vkFloat = 1;
constexpr int vkText = 2;
constexpr int vkHex = 5;

// ",", "-" or ";".
bool IsRangeSeparator(char32_t Ch);
// 0 integer (digits and "-", not empty), 1 float (digits, ",", "-", "."; a locale thousand
// separator neither first nor within two characters of the one before), 5 hexadecimal, 2
// anything else (the empty text too); more than one "-" or one locale decimal separator is 2.
int GetValueKind(const std::string& S);
std::string StripThousandSeparators(const std::string& S);
// 0..15 for a hexadecimal digit, 0 for any other character.
int HexDigitValue(char32_t Ch);
// Non-digits count as 0.
long long HexToInt(const std::string& S);
std::string CaseText(const std::string& S, bool Keep);

class TQorCustomDropDown : public TCustomEdit, public IQorStyle, public IQorTones {
public:
    explicit TQorCustomDropDown(TComponent* AOwner);
    ~TQorCustomDropDown() override;
    // The edit paints itself: its borders, the focus bar and the button over the text.
    std::string PeerClassName() const override { return "WINDOW"; }

    // From another drop-down only.
    void Assign(const TPersistent* Source) override;
    void Loaded() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // --- the popup ---
    void ShowDropDown() { DoShowDropDown(); }
    void HideDropDown(bool CancelChanges) { DoHideDropDown(CancelChanges); }
    bool DroppedDown() const { return FDroppedDown; }
    TDropDownEditButton* Button() const { return FButton; }
    TDropDownForm* DropDownForm() { return DropDownFormNeeded(); }

    // --- colour styles (DropDownStyles.cpp) ---
    // Gives the popup, its header and footer and the popup's buttons the style's colours
    // (tsCustom keeps them); descendants add their own looks.
    void SetComponentStyle(TQorStyle AStyle) override;
    TQorStyle GetComponentStyle() const { return FQorStyle; }
    void SetColorTones(const TColorTones& ATones) override;

    // --- the value (QorDropDownText.cpp) ---
    std::string Text() const;
    void SetText(const std::string& Value) override { SetTextValue(Value); }
    const std::string& EditText() const { return TCustomEdit::Text(); }
    // Selects the value only, not the prefix or suffix.
    void SelectAll();
    void SelectAfterDecimal();
    void SelectBeforeDecimal();
    // EM_SETREADONLY, after which the button repaints.
    void SetReadOnly(bool v) { Perform(EM_SETREADONLY, v); }

    // --- published settings ---
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int v);
    int DropDownHeight() const { return FDropDownHeight; }
    void SetDropDownHeight(int v);
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool v);
    TDropPosition DropPosition() const { return FDropPosition; }
    void SetDropPosition(TDropPosition v) { FDropPosition = v; }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v);
    bool DropDownShadow() const { return FDropDownShadow; }
    void SetDropDownShadow(bool v) { FDropDownShadow = v; }
    int DropDownBorderWidth() const { return FDropDownBorderWidth; }
    void SetDropDownBorderWidth(int v) { FDropDownBorderWidth = v; }
    TColor DropDownBorderColor() const { return FDropDownBorderColor; }
    void SetDropDownBorderColor(TColor v) { FDropDownBorderColor = v; }
    bool DropDownSizeable() const { return FDropDownSizeable; }
    void SetDropDownSizeable(bool v) { FDropDownSizeable = v; }
    TColor DropDownColor() const { return FDropDownColor; }
    void SetDropDownColor(TColor v) { FDropDownColor = v; }
    TColor DropDownColorTo() const { return FDropDownColorTo; }
    void SetDropDownColorTo(TColor v) { FDropDownColorTo = v; }
    TGradientDirection DropDownGradient() const { return FDropDownGradient; }
    void SetDropDownGradient(TGradientDirection v) { FDropDownGradient = v; }
    const std::string& DropDownButtonHint() const { return FButtonHint; }
    void SetDropDownButtonHint(const std::string& v);
    int DropDownButtonWidth() const { return FButtonWidth; }
    void SetDropDownButtonWidth(int v);
    TBitmap* DropDownButtonGlyph() const { return FButton->Glyph(); }
    void SetDropDownButtonGlyph(const TBitmap* v) { FButton->SetGlyph(v); }
    THeaderAppearance* DropDownHeader() const { return FDropDownHeader.get(); }
    void SetDropDownHeader(const THeaderAppearance* v) { FDropDownHeader->Assign(v); }
    TFooterAppearance* DropDownFooter() const { return FDropDownFooter.get(); }
    void SetDropDownFooter(const TFooterAppearance* v) { FDropDownFooter->Assign(v); }
    TQorButtonAppearance* ButtonAppearance() const { return FButtonAppearance.get(); }
    void SetButtonAppearance(const TQorButtonAppearance* v) { FButtonAppearance->Assign(v); }
    // "1.2.1.4".
    std::string Version() const;
    bool DropDownEnabled() const { return FDropDownEnabled; }
    void SetDropDownEnabled(bool v) { FDropDownEnabled = v; }
    std::string LabelCaption() const;
    void SetLabelCaption(const std::string& v);
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition v);
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int v);
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool v);
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool v) { FLabelAlwaysEnabled = v; }
    TFont* LabelFont() const { return FLabelFont.get(); }
    void SetLabelFont(const TFont* v);
    TLabel* EditLabel() const { return FLabel; }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    TColor FocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(TColor v) { FFocusBorderColor = v; }
    bool DisabledBorder() const { return FDisabledBorder; }
    void SetDisabledBorder(bool v);
    TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(TColor v) { FSelectionColor = v; }
    TColor SelectionColorTo() const { return FSelectionColorTo; }
    void SetSelectionColorTo(TColor v) { FSelectionColorTo = v; }
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool v) { FReturnIsTab = v; }
    int Precision() const { return FPrecision; }
    void SetPrecision(int v);

    TNotifyEvent OnBeforeDropDown;
    TDropDown OnDropDown;
    TNotifyEvent OnBeforeDropUp;
    TDropUp OnDropUp;
    TDropDownButtonItemClick OnDropDownHeaderButtonClick;
    TDropDownButtonItemClick OnDropDownFooterButtonClick;
    TDrawBackGroundEvent OnDrawHeader;
    TDrawBackGroundEvent OnDrawFooter;
    TGetTextEvent OnGetHeaderText;
    TGetTextEvent OnGetFooterText;
    TNotifyEvent OnLabelClick;
    TNotifyEvent OnLabelDblClick;
    TClipboardEvent OnClipboardCopy;
    TClipboardEvent OnClipboardPaste;
    TClipboardEvent OnClipboardCut;

protected:
    // --- settings descendants set in code ---
    TDropDownEditType EditType() const { return FEditType; }
    void SetEditType(TDropDownEditType Value);
    const std::string& Prefix() const { return FPrefix; }
    void SetPrefix(const std::string& v) { FPrefix = v; }
    const std::string& Suffix() const { return FSuffix; }
    void SetSuffix(const std::string& v) { FSuffix = v; }
    bool Signed() const { return FSigned; }
    void SetSigned(bool v) { FSigned = v; }
    int LengthLimit() const { return FLengthLimit; }
    void SetLengthLimit(int v) { FLengthLimit = v; }
    const std::string& ValidChars() const { return FValidChars; }
    void SetValidChars(const std::string& v) { FValidChars = v; }
    bool DefaultHandling() const { return FDefaultHandling; }
    void SetDefaultHandling(bool v) { FDefaultHandling = v; }
    bool CanUndo() const { return FCanUndo; }
    void SetCanUndo(bool v) { FCanUndo = v; }
    bool ExcelStyleDecimalSeparator() const { return FExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool v) { FExcelStyleDecimalSeparator = v; }
    bool AllowNumericNullValue() const { return FAllowNumericNullValue; }
    void SetAllowNumericNullValue(bool v) { FAllowNumericNullValue = v; }
    bool AutoThousandSeparator() const { return FAutoThousandSeparator; }
    void SetAutoThousandSeparator(bool v) { FAutoThousandSeparator = v; }
    bool FocusDraw() const { return FFocusDraw; }
    void SetFocusDraw(bool v) { FFocusDraw = v; }
    bool ForceShadow() const { return FForceShadow; }
    void SetForceShadow(bool v) { FForceShadow = v; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    bool Etched() const { return FEtched; }
    void SetEtched(bool v) { FEtched = v; }
    TSelectionColorStyle SelectionColorStyle() const { return FSelectionColorStyle; }
    // Stores the style; the named ones set SelectionColor and SelectionColorTo.
    virtual void SetSelectionColorStyle(TSelectionColorStyle Value);
    // A list's selection background: a fill in SelectionColor (scCustom) or the rounded
    // selection frame of the style, BkColor behind its corners. FrameKind: which ends are
    // rounded (0 both).
    virtual void DrawSelection(TCanvas* Canvas, const TRect& R, int FrameKind, TColor BkColor);
    // The item look of an item selector for a colour style (tsCustom changes nothing).
    void SetItemAppearanceStyle(TItemAppearance* Appearance, TQorStyle AStyle);
    // The control whose focus the popup takes when it opens.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* v);
    TControl* Control() const { return FControl; }
    void SetControl(TControl* Value);
    const std::string& ButtonCaption() const { return FButton->ButtonCaption(); }
    void SetButtonCaption(const std::string& v) { FButton->SetButtonCaption(v); }

    // --- the class's virtual operations ---
    virtual void DoLabelClick();
    virtual void DoLabelDblClick();
    virtual unsigned GetVersionNr() const { return 0x01020104; }
    virtual void CreateDropDownForm();
    virtual void CreateDropDownButton();
    virtual void UpdateDropDownButton();
    virtual void BeforeDropDown();
    // Descendants trim the height the popup is about to be shown with.
    virtual void AdjustDropDownHeight(int& /*AHeight*/) {}
    virtual void FocusDropDownControl();
    virtual void DoShowDropDown();
    virtual void UpdateDropDownContent();
    virtual void UpdateDropDownSize();
    virtual void DoHideDropDown(bool Cancelled);
    virtual void AfterHideDropDown();
    // Descendants let go of what they hold in the popup.
    virtual void DropDownFormDestroyed() {}
    virtual void DropDownMouseWheelDown(TShiftState Shift, TPoint MousePos, bool& Handled);
    virtual void DropDownMouseWheelUp(TShiftState Shift, TPoint MousePos, bool& Handled);
    virtual void DropDownFormKeyPress(char32_t& Key);
    virtual void DropDownFormKeyDown(WORD& Key, TShiftState Shift);
    virtual void DropDownFormKeyUp(WORD& Key, TShiftState Shift);
    virtual void ControlKeyDown(WORD& Key, TShiftState Shift);
    virtual void ControlKeyUp(WORD& Key, TShiftState Shift);
    virtual void ControlKeyPress(char32_t& Key);
    // Descendants follow the user's resizing of the popup.
    virtual void DropDownSizing() {}
    // Descendants step their selection with the wheel.
    virtual void HandleMouseWheelDown() {}
    virtual void HandleMouseWheelUp() {}
    virtual void DrawFocusText();
    virtual void SetEditRect();
    virtual void ResizeControl();
    virtual void SetTextValue(const std::string& Value);
    virtual void PaintGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps,
                               const TRect& R, bool Vertical);

    // --- text and number services (QorDropDownText.cpp) ---
    // Writes the edit text as it is: no prefix, suffix or formatting.
    void SetEditText(const std::string& Value) { TCustomEdit::SetText(Value); }
    double GetNumberValue() const;
    void SetNumberValue(double Value);
    void SetIntegerValue(int Value);
    double StrToNumber(const std::string& S) const;
    void AutoSeparators();
    int DecimalPos(const std::string& S) const;
    void SetModifiedFlag(bool Value);
    // Completes the text before the caret from the first of Count captions that starts with
    // it (MatchCase: case-sensitively) and selects the added part; with none, drops the text
    // after the caret. Gives the caption's index, or -1.
    int CompleteBeforeCaret(int Count, const std::function<std::string(int)>& Caption,
                            bool MatchCase);
    bool GetModifiedFlag() const { return FIsModified; }

    // The popup form, made by CreateDropDownForm at its first need (a constructor cannot reach
    // a descendant's override).
    TDropDownForm* DropDownFormNeeded();

    // --- overridden operations ---
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoEnter() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void PaintWindow(HDC DC) override;
    void Resize() override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMParentFontChanged(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMWantSpecialKey(TWMKey& Message) override;

    // Protected for descendants, as the popup form, the button and the value last set are.
    TDropDownForm* FDropDownForm = nullptr;
    TDropDownEditButton* FButton = nullptr;
    std::string FOldText;

private:
    // Whether typed text reaches the edit (EditorEnabled).
    bool editable() const { return FEditorEnabled; }
    bool hasBorder() const { return BorderStyle() == bsSingle; }
    void buttonClick();
    void toggleDropDown();
    void UpdateLabel();
    void DrawBorders();
    bool active() const;
    // --- text entry (QorDropDownText.cpp) ---
    void wmKeyDown(TWMKey& Message);
    bool textKeyDown(TWMKey& Message);
    void wmChar(TWMKey& Message);
    void typeFloat(TWMKey& Message, char32_t Key, bool money);
    // A "-" typed into a number: adds or removes the sign.
    void toggleSign();
    void wmSetFocus(TMessage& Message);
    void wmKillFocus(TMessage& Message);
    void cmEnter(TMessage& Message);
    void wmLButtonDown(TMessage& Message);
    void wmLButtonUp(TMessage& Message);
    void wmCut(TMessage& Message);
    void wmCopy(TMessage& Message);
    void wmPaste(TMessage& Message);
    // Positions in the edit text: where the value starts and ends.
    int prefixLength() const;
    int valueLength() const;
    int selEnd() const { return SelStart() + SelLength(); }
    void setSelection(int Start, int Length);
    bool signAllowed() const;
    bool numeric() const {
        return FEditType == etNumeric || FEditType == etFloat || FEditType == etMoney;
    }

    TLabel* FLabel = nullptr;
    bool FParentFnt = false;
    int FDropDownWidth = 0;
    int FDropDownHeight = 0;
    int FUserDropDownWidth = -1;
    int FUserDropDownHeight = -1;
    bool FEditorEnabled = true;
    TDropPosition FDropPosition = dpAuto;
    bool FFlat = false;
    TImageList* FImages = nullptr;
    bool FDropDownShadow = true;
    int FDropDownBorderWidth = 1;
    std::string FButtonHint;
    TColor FDropDownColorTo = clNone;
    TColor FDropDownColor = TColor(0xFFFFFF);
    TColor FDropDownBorderColor = TColor(0x000000);
    int FButtonWidth = 17;
    bool FMouseInControl = false;
    bool FEtched = false;
    TWinControl* FFocusControl = nullptr;
    std::unique_ptr<THeaderAppearance> FDropDownHeader;
    std::unique_ptr<TQorButtonAppearance> FButtonAppearance;
    std::unique_ptr<TFooterAppearance> FDropDownFooter;
    TControl* FControl = nullptr;
    TGradientDirection FDropDownGradient = gdHorizontal;
    bool FDropDownSizeable = true;
    TColor FSelectionColor = TColor(0xD7FFFD);
    TColor FSelectionColorTo = TColor(0x58D4FC);
    TSelectionColorStyle FSelectionColorStyle = scOffice2007;
    TQorStyle FQorStyle = tsOffice2007Luna;
    TDropDownEditType FEditType = etString;
    int FLengthLimit = 0;
    int FPrecision = 0;
    std::string FPrefix;
    std::string FSuffix;
    std::string FOldString;
    bool FSigned = false;
    bool FReturnIsTab = false;
    bool FBlockChange = false;
    bool FAllowNumericNullValue = false;
    bool FDefaultHandling = true;
    bool FCanUndo = true;
    bool FExcelStyleDecimalSeparator = false;
    std::string FValidChars;
    bool FBlockCopy = false;
    bool FButtonDown = false;
    bool FAutoThousandSeparator = true;
    bool FIsModified = false;
    bool FDropDownEnabled = false;
    bool FDroppedDown = false;
    bool FFocusDraw = true;
    bool FForceShadow = false;
    int FLabelMargin = 0;
    TLabelPosition FLabelPosition = lpLeftTop;
    bool FLabelAlwaysEnabled = false;
    bool FLabelTransparent = false;
    std::unique_ptr<TFont> FLabelFont;
    // The common controls draw themed (version 6 or later).
    const bool FIsThemed;
    TColor FBorderColor = clNone;
    TColor FFocusBorderColor = clNone;
    bool FDisabledBorder = true;
    // The key-down message being handled toggled the popup already (Alt+Up, Alt+Down).
    bool FAltToggled = false;
};
