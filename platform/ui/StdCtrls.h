#pragma once
// The standard controls: label, edit, list box, combo box, check box, radio button, group box
// and push button. Each keeps its state in the object and handles its input messages itself,
// so it works (and paints in the classic look) without a native peer; edits, list boxes and
// combo boxes mirror themselves into a native widget when one exists.
#include "platform/ui/core/Controls.h"
#include "platform/ui/core/Forms.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Messages of the edit, list box, combo box and button controls that these controls answer.
constexpr UINT EM_CHARFROMPOS = 0x00D7;
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_SETSEL = 0x0185;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETSEL = 0x0187;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_GETSELCOUNT = 0x0190;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr UINT CB_GETEDITSEL = 0x0140;
constexpr UINT CB_LIMITTEXT = 0x0141;
constexpr UINT CB_SETEDITSEL = 0x0142;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMHEIGHT = 0x0154;
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr UINT CB_GETDROPPEDWIDTH = 0x015F;
constexpr UINT CB_SETDROPPEDWIDTH = 0x0160;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_CLICK = 0x00F5;
constexpr WPARAM BST_UNCHECKED = 0;
constexpr WPARAM BST_CHECKED = 1;
constexpr WPARAM BST_INDETERMINATE = 2;

// Peer change codes of the standard controls (besides pcText, pcFont ...).
constexpr int pcSelection = pcUser + 1; // edit or combo text selection, list selection
constexpr int pcItems = pcUser + 2;     // list or combo items
constexpr int pcItemIndex = pcUser + 3; // list or combo current item
constexpr int pcDropDown = pcUser + 4;  // combo list opened or closed
constexpr int pcStyle = pcUser + 5;     // read-only, max length, password char, combo style ...

using TBorderStyle = TFormBorderStyle; // bsNone or bsSingle for controls
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
enum TListBoxStyle { lbStandard, lbOwnerDrawFixed };
// Which scroll bars a grid or memo shows.
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// The state of an owner-drawn list item.
enum TOwnerDrawStateItem { odSelected, odFocused };
class TOwnerDrawState {
public:
    TOwnerDrawState() = default;
    bool Contains(TOwnerDrawStateItem i) const { return bits_ & (1u << unsigned(i)); }
    void Include(TOwnerDrawStateItem i) { bits_ |= 1u << unsigned(i); }

private:
    unsigned bits_ = 0;
};

// Platform internals: UTF-32 text with a caret and a selection anchor, counted in characters.
class TextEditBuffer {
public:
    std::string Text() const;
    void SetText(const std::string& text);
    int Length() const { return int(text_.size()); }
    int SelStart() const { return std::min(anchor_, caret_); }
    int SelLength() const { return std::abs(caret_ - anchor_); }
    int Caret() const { return caret_; }
    void SetSelection(int anchor, int caret);
    // Moves the caret; with extend the anchor stays.
    void MoveCaret(int pos, bool extend);
    std::string SelText() const;
    // Replaces the selection with s, cut to what MaxLength (0: none) leaves room for; true when
    // the text changed.
    bool Replace(const std::u32string& s, int maxLength);
    // Backspace and Delete: the selection, else the character before (after) the caret.
    bool DeleteBack();
    bool DeleteForward();
    // Start of the word before (after) pos.
    int WordLeft(int pos) const;
    int WordRight(int pos) const;
    const std::u32string& Chars() const { return text_; }

private:
    std::u32string text_;
    int anchor_ = 0;
    int caret_ = 0;
};

// --- label -----------------------------------------------------------------------------------
class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* AOwner);
    ~TCustomLabel() override;

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout v);
    // Fits the size to the caption whenever caption, font or word wrap change.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    // A transparent label paints only its text.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    // The control that the caption's accelerator focuses.
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* v);

protected:
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual std::string GetLabelText() const { return Caption(); }
    // Draws (or with DT_CALCRECT measures) the text with the label's font on canvas.
    virtual void DoDrawText(TCanvas* canvas, TRect& Rect, unsigned Flags);
    virtual void AdjustBounds();
    // The DT_ flags for alignment, word wrap and accelerators.
    unsigned TextFlags() const;

private:
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool autoSize_ = true;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
public:
    using TCustomLabel::TCustomLabel;
};

// --- edit ------------------------------------------------------------------------------------
// An edit shows a native edit widget, or, when a subclass asks for the custom-drawn window
// ("WINDOW"), paints itself: its text in the formatting rectangle (EM_SETRECT; by default the
// area inside the frame), the selection and, while it has the focus, the caret; the mouse then
// places the caret and selects, and Ctrl+C, Ctrl+V and Ctrl+X do WM_COPY, WM_PASTE and WM_CUT.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;
    std::string PeerClassName() const override { return "EDIT"; }

    // Fires OnChange when the text differs; the selection goes to the start.
    void SetText(const std::string& v) override;
    // Characters the user may type (0: no limit); text set by code is not cut.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    // Typed characters follow the case; setting it converts the text.
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase v);
    // Shown instead of each character when not 0.
    char32_t PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char32_t v);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v);
    // Selects the whole text when the edit is entered from the keyboard.
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool v) { autoSelect_ = v; }
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool v);
    bool Modified() const { return modified_; }
    void SetModified(bool v) { modified_ = v; }
    // Where the text stands in the formatting rectangle.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    // The formatting rectangle (EM_GETRECT): inside the frame, a pixel in from its left, unless
    // EM_SETRECT set another.
    TRect FormatRect() const;

    // Selection in characters.
    int SelStart() const { return buffer_.SelStart(); }
    void SetSelStart(int v);
    int SelLength() const { return buffer_.SelLength(); }
    void SetSelLength(int v);
    std::string SelText() const { return buffer_.SelText(); }
    // Replaces the selection (fires OnChange).
    void SetSelText(const std::string& v);
    void SelectAll();
    void ClearSelection();
    void Clear() { SetText(""); }
    // The text as shown (password characters in place of the text).
    std::string DisplayText() const;
    // The text as it is edited: Text itself, or the edit text of a mask (TCustomMaskEdit).
    std::string EditText() const { return buffer_.Text(); }
    // For peers: the selection the native widget shows (anchor, caret in characters).
    void PeerSelectionChanged(int anchor, int caret);
    // For peers: the native widget changed the text itself (its context menu, a drop).
    void PeerTextEdited(const std::string& text, int anchor, int caret);

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    void DoEnter() override;
    void PaintWindow(HDC DC) override;
    // Character index nearest to a client x position.
    int CharFromPos(int x);
    TextEditBuffer& Buffer() { return buffer_; }
    // Where a text of that width starts, by the alignment in the formatting rectangle.
    int textLeft(int textWidth) const;
    // Text from the edit text and back: the same, unless a mask formats them.
    virtual std::string TextFromEdit(const std::string& Edit) const { return Edit; }
    virtual std::string EditFromText(const std::string& Value) const { return Value; }
    // The buffer was edited: Text follows, the parent is told (EN_CHANGE).
    void BufferEdited() { editChanged(); }

private:
    void typeChars(const std::u32string& s);
    void editChanged();
    // Without a native widget the control edits, selects and paints by itself.
    bool paintsItself() const { return !Peer() || PeerClassName() == "WINDOW"; }
    void handleKey(TMessage& Message);
    std::u32string applyCase(const std::u32string& s) const;
    TextEditBuffer buffer_;
    TAlignment alignment_ = taLeftJustify;
    int maxLength_ = 0;
    bool readOnly_ = false;
    TEditCharCase charCase_ = ecNormal;
    char32_t passwordChar_ = 0;
    TBorderStyle borderStyle_ = bsSingle;
    bool autoSelect_ = true;
    bool hideSelection_ = true;
    bool modified_ = false;
    bool mouseSelecting_ = false;
    TRect formatRect_; // empty: inside the frame
    bool caretHidden_ = false;
    friend bool HideCaret(HWND hWnd);
    friend bool ShowCaret(HWND hWnd);
};

// The caret of a self-painted edit: hidden until ShowCaret or until the edit next gets the focus,
// which makes its caret anew. False for a window without a caret.
bool HideCaret(HWND hWnd);
bool ShowCaret(HWND hWnd);

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};

// --- list box --------------------------------------------------------------------------------
// The items of a list box or combo box: a string list that tells its control of changes.
class TControlItems : public TStringList {
public:
    explicit TControlItems(std::function<void()> changed);
};

// Draws one item of an owner-drawn list on the list's Canvas().
using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;

class TCustomListBox : public TWinControl {
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;
    // An owner-drawn list paints itself, its vertical scroll bar included; it has no native
    // list.
    std::string PeerClassName() const override {
        return style_ == lbStandard ? "LISTBOX" : "WINDOW";
    }
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle v);
    // The canvas OnDrawItem draws on: the one being painted, with the item's brush and font set.
    TCanvas* Canvas() const { return canvas_; }
    TDrawItemEvent OnDrawItem;

    TStrings* Items() const { return items_.get(); }
    void SetItems(const TStrings* v) { items_->Assign(v); }
    int Count() const { return items_->Count(); }
    // Setting it by code fires no event; -1 clears the selection.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int v);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool v);
    bool ExtendedSelect() const { return extendedSelect_; }
    void SetExtendedSelect(bool v) { extendedSelect_ = v; }
    bool Selected(int index) const;
    void SetSelected(int index, bool v);
    int SelCount() const;
    void ClearSelection();
    void SelectAll();
    int TopIndex() const { return topIndex_; }
    // As far as the list scrolls: the last item shown at the bottom at most.
    void SetTopIndex(int v);
    int ItemHeight() const;
    void SetItemHeight(int v);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool v);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v);
    void Clear() { items_->Clear(); }
    void AddItem(const std::string& Item, TObject* AObject) { items_->AddObject(Item, AObject); }
    // The item at a client point; -1 when none (with Existing false: the index past the end).
    int ItemAtPos(TPoint Pos, bool Existing) const;
    TRect ItemRect(int Index) const;
    // For peers: the user selected index (and, in multi-select, the selection states).
    void PeerSelect(int index);

protected:
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    void PaintWindow(HDC DC) override;
    void Resize() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    // The items changed: selection and top index stay in range.
    virtual void ItemsChanged();

private:
    void userSelect(int index, TShiftState shift, bool toggle);
    void notifySelChange();
    int visibleRows() const;
    void makeVisible(int index);
    // The scroll bar of an owner-drawn list (ListBoxScroll.cpp).
    int maxTopIndex() const;
    TRect scrollBarRect() const;
    TRect thumbRect() const;
    void paintScrollBar(TCanvas* c) const;
    // Takes a mouse message that belongs to the scroll bar.
    bool scrollBarMouse(const TMessage& Message);
    int thumbGrip_ = -1; // where the dragged thumb was taken, -1 while none is
    std::unique_ptr<TControlItems> items_;
    std::vector<bool> selected_;
    int itemIndex_ = -1;
    int anchorIndex_ = -1;
    bool multiSelect_ = false;
    bool extendedSelect_ = true;
    int topIndex_ = 0;
    int itemHeight_ = 0; // 0: from the font
    bool sorted_ = false;
    TBorderStyle borderStyle_ = bsSingle;
    TListBoxStyle style_ = lbStandard;
    TCanvas* canvas_ = nullptr;
};

class TListBox : public TCustomListBox {
public:
    using TCustomListBox::TCustomListBox;
};

// --- combo box -------------------------------------------------------------------------------
class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;
    std::string PeerClassName() const override { return "COMBOBOX"; }

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle v);
    TStrings* Items() const { return items_.get(); }
    void SetItems(const TStrings* v) { items_->Assign(v); }
    // Setting it by code fires no event; the text follows the item (empty for -1).
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int v);
    // csDropDown: sets the edit text (the item with the same text becomes current);
    // csDropDownList: selects the item with that text, if any. No event.
    void SetText(const std::string& v) override;
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int v) { dropDownCount_ = v; }
    bool DroppedDown() const { return droppedDown_; }
    // Opening fires OnDropDown, closing OnCloseUp.
    void SetDroppedDown(bool v);
    int DroppedWidth() const { return droppedWidth_; }
    // The open list's place on the screen: below the combo, as wide as the combo or
    // DroppedWidth. Opening sends WM_CTLCOLORLISTBOX to the combo, as the native list does when
    // it first draws, so that a hook can move the list then; moving it moves the native list.
    TRect DroppedRect() const { return droppedRect_; }
    void SetDroppedRect(const TRect& v);
    int ItemHeight() const;
    void SetItemHeight(int v);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool v);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int v);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase v);
    // Typing in the edit completes the text from the items (csDropDown); in csDropDownList
    // characters typed in quick succession select the first item starting with them, and a
    // single character (or one that matches nothing longer) the next item starting with it.
    bool AutoComplete() const { return autoComplete_; }
    void SetAutoComplete(bool v) { autoComplete_ = v; }
    bool AutoDropDown() const { return autoDropDown_; }
    void SetAutoDropDown(bool v) { autoDropDown_ = v; }
    int SelStart() const { return buffer_.SelStart(); }
    void SetSelStart(int v);
    int SelLength() const { return buffer_.SelLength(); }
    void SetSelLength(int v);
    std::string SelText() const { return buffer_.SelText(); }
    void SelectAll();
    void Clear();
    void AddItem(const std::string& Item, TObject* AObject) { items_->AddObject(Item, AObject); }
    // The item highlighted in the open list.
    int DropDownIndex() const { return dropIndex_; }
    // For peers: the selection in the native edit field (anchor, caret in characters).
    void PeerSelectionChanged(int anchor, int caret);
    // For peers: the native edit field changed the text itself (its context menu, a drop).
    void PeerTextEdited(const std::string& text, int anchor, int caret);
    // For peers: the user chose the item in the list; the parent is told as for a typed choice.
    void PeerSelect(int index);
    // For peers: the item under the mouse in the open list is the highlighted one.
    void PeerHighlight(int index);
    // The open list: where it drops (below the control, in the control's client coordinates,
    // DropDownCount items at most, as wide as the control or the dropped width) and its look
    // there, the highlighted item selected (ComboDropList.cpp).
    TRect DropListRect() const;
    void PaintDropList(TCanvas* Canvas, int X, int Y);

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    // Edit text changed by the user.
    virtual void Change();
    // The user chose an item: OnSelect, or OnChange when OnSelect is not assigned.
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    virtual void CNCommand(TWMCommand& Message);
    void DoEnter() override;
    void PaintWindow(HDC DC) override;
    // The field's text (the edit text or the selected item's) in Text, on the highlight, inset
    // HighlightInsetY pixels from top and bottom, while a closed list-style combo has the focus;
    // true when it does.
    bool paintContent(HDC DC, const TRect& Text, int HighlightInsetY);
    int ButtonWidth() const;
    // csDropDownList and owner-draw styles have no edit field.
    bool HasEdit() const { return style_ == csDropDown || style_ == csSimple; }
    virtual void ItemsChanged();
    TextEditBuffer& Buffer() { return buffer_; }

private:
    int Count() const;
    void setItemIndexQuiet(int v);
    void userSelect(int index);
    void notify(WORD code);
    void handleKey(TMessage& Message);
    void handleChar(TMessage& Message);
    int findItemFrom(const std::string& Prefix, int Start) const;
    void editChanged();
    std::unique_ptr<TControlItems> items_;
    TextEditBuffer buffer_;
    TComboBoxStyle style_ = csDropDown;
    int itemIndex_ = -1;
    int dropIndex_ = -1;
    // Type-ahead of the list style: the characters typed so far and when the last one came.
    std::string typedPrefix_;
    unsigned typedTick_ = 0;
    int dropDownCount_ = 8;
    bool droppedDown_ = false;
    int droppedWidth_ = 0;
    TRect droppedRect_;
    int itemHeight_ = 0;
    bool sorted_ = false;
    int maxLength_ = 0;
    TEditCharCase charCase_ = ecNormal;
    bool autoComplete_ = true;
    bool autoDropDown_ = false;
};

class TComboBox : public TCustomComboBox {
public:
    using TCustomComboBox::TCustomComboBox;
};

// --- buttons ---------------------------------------------------------------------------------
// Base of the custom-drawn button controls: pressed state by mouse and Space, accelerator.
class TButtonControl : public TCustomControl {
public:
    explicit TButtonControl(TComponent* AOwner);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);

protected:
    // The native button's click (BN_CLICKED): a check box toggles, a button clicks.
    virtual void ButtonClicked() = 0;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    bool Pressed() const { return pressed_; }
    bool ClicksDisabled() const { return clicksDisabled_; }
    void SetClicksDisabled(bool v) { clicksDisabled_ = v; }
    // Caption rectangle for the focus frame.
    void DrawCaption(TCanvas* canvas, TRect r, unsigned flags);

private:
    bool pressed_ = false;
    bool mouseDown_ = false;
    bool spaceDown_ = false;
    bool wordWrap_ = false;
    bool clicksDisabled_ = false;
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* AOwner);
    // The parent form's ModalResult is set to it on click.
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult v) { modalResult_ = v; }
    // Enter (Default) or Escape (Cancel) anywhere in the form click the button.
    bool Default() const { return default_; }
    void SetDefault(bool v);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    void Click() override;

protected:
    void ButtonClicked() override { Click(); }
    void Paint() override;
    void CMDialogKey(TWMKey& Message) override;
    void CMDialogChar(TWMKey& Message) override;

private:
    TModalResult modalResult_ = mrNone;
    bool default_ = false;
    bool cancel_ = false;
};

class TCustomCheckBox : public TButtonControl {
public:
    explicit TCustomCheckBox(TComponent* AOwner);
    // taRightJustify: box on the left, caption on the right.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool v) { allowGrayed_ = v; }
    // A change of state, by the user or by code, fires OnClick.
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState v);
    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }

protected:
    // Unchecked -> grayed (when allowed) or checked -> unchecked; grayed -> checked.
    virtual void Toggle();
    void ButtonClicked() override { Toggle(); }
    void Paint() override;
    void CMDialogChar(TWMKey& Message) override;

private:
    TAlignment alignment_ = taRightJustify;
    bool allowGrayed_ = false;
    TCheckBoxState state_ = cbUnchecked;
};

class TCheckBox : public TCustomCheckBox {
public:
    using TCustomCheckBox::TCustomCheckBox;
};

class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    bool Checked() const { return checked_; }
    // Checking unchecks the other radio buttons of the same parent and fires OnClick.
    void SetChecked(bool v);

protected:
    void ButtonClicked() override { SetChecked(true); }
    void Paint() override;
    void CMDialogChar(TWMKey& Message) override;

private:
    TAlignment alignment_ = taRightJustify;
    bool checked_ = false;
};

// --- group box -------------------------------------------------------------------------------
class TCustomGroupBox : public TCustomControl {
public:
    explicit TCustomGroupBox(TComponent* AOwner);

protected:
    void Paint() override;
    void Dispatch(TMessage& Message) override;
};

class TGroupBox : public TCustomGroupBox {
public:
    using TCustomGroupBox::TCustomGroupBox;
};
