#include "platform/ui/StdCtrls.h"

#include "platform/base/Clock.h"
#include "platform/ui/StdCtrlsInternal.h"

#include <algorithm>

using namespace stdctrls;

namespace {

// Characters of a list-style combo typed within this time of each other search together.
constexpr unsigned typeAheadMs = 1000;

// The item that a navigation key moves to from cur, in a list of n items with page items a
// page: -1 when the list is empty; cur for any other key.
int listKeyTarget(WORD key, int cur, int n, int page) {
    switch (key) {
    case VK_UP:
        return cur <= 0 ? 0 : cur - 1;
    case VK_DOWN:
        return std::min(n - 1, cur + 1);
    case VK_HOME:
        return n > 0 ? 0 : -1;
    case VK_END:
        return n - 1;
    case VK_PRIOR:
        return n > 0 ? std::max(0, cur - page) : -1;
    case VK_NEXT:
        return std::min(n - 1, std::max(0, cur) + page);
    default:
        return cur;
    }
}

} // namespace

// --- TControlItems ----------------------------------------------------------------------------

TControlItems::TControlItems(std::function<void()> changed) {
    OnChange = [changed = std::move(changed)](TObject*) {
        if (changed) changed();
    };
}

// --- TCustomListBox ---------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), items_(std::make_unique<TControlItems>([this] { ItemsChanged(); })) {
    // Clicks come from the selection change, not from every mouse release.
    SetControlStyle(csSetCaption | csDoubleClicks | csCaptureMouse);
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    EnableBackingImage();
}

TCustomListBox::~TCustomListBox() {
    items_->OnChange = nullptr;
}

void TCustomListBox::ItemsChanged() {
    int n = Count();
    selected_.resize(std::size_t(n), false);
    if (itemIndex_ >= n) itemIndex_ = -1;
    if (anchorIndex_ >= n) anchorIndex_ = -1;
    topIndex_ = std::clamp(topIndex_, 0, maxTopIndex());
    PeerChanged(pcItems);
    Invalidate();
}

void TCustomListBox::SetItemIndex(int v) {
    if (v < -1 || v >= Count()) v = -1;
    if (v == itemIndex_ && (!multiSelect_ || v < 0 || selected_[std::size_t(v)])) return;
    itemIndex_ = v;
    anchorIndex_ = v;
    if (multiSelect_ && v >= 0) selected_[std::size_t(v)] = true;
    if (v >= 0) makeVisible(v);
    PeerChanged(pcItemIndex);
    Invalidate();
}

void TCustomListBox::SetMultiSelect(bool v) {
    if (multiSelect_ == v) return;
    multiSelect_ = v;
    std::fill(selected_.begin(), selected_.end(), false);
    if (v && itemIndex_ >= 0) selected_[std::size_t(itemIndex_)] = true;
    PeerChanged(pcStyle);
    Invalidate();
}

bool TCustomListBox::Selected(int index) const {
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", index));
    return multiSelect_ ? bool(selected_[std::size_t(index)]) : index == itemIndex_;
}

void TCustomListBox::SetSelected(int index, bool v) {
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", index));
    if (!multiSelect_) {
        if (v)
            SetItemIndex(index);
        else if (index == itemIndex_)
            SetItemIndex(-1);
        return;
    }
    selected_[std::size_t(index)] = v;
    PeerChanged(pcSelection);
    Invalidate();
}

int TCustomListBox::SelCount() const {
    if (!multiSelect_) return -1;
    return int(std::count(selected_.begin(), selected_.end(), true));
}

void TCustomListBox::ClearSelection() {
    if (multiSelect_) {
        std::fill(selected_.begin(), selected_.end(), false);
        PeerChanged(pcSelection);
        Invalidate();
    } else {
        SetItemIndex(-1);
    }
}

void TCustomListBox::SelectAll() {
    if (!multiSelect_) return;
    std::fill(selected_.begin(), selected_.end(), true);
    PeerChanged(pcSelection);
    Invalidate();
}

void TCustomListBox::SetTopIndex(int v) {
    v = std::clamp(v, 0, maxTopIndex());
    if (v == topIndex_) return;
    topIndex_ = v;
    PeerChanged(pcSelection);
    Invalidate();
}

int TCustomListBox::ItemHeight() const {
    return itemHeight_ > 0 ? itemHeight_ : fontLineHeight(Font());
}

void TCustomListBox::SetItemHeight(int v) {
    if (v <= 0 || v == itemHeight_) return;
    itemHeight_ = v;
    Invalidate();
}

void TCustomListBox::SetStyle(TListBoxStyle v) {
    if (style_ == v) return;
    style_ = v;
    // The kind of native window changes with the style.
    if (HandleAllocated()) RecreateWnd();
    Invalidate();
}

void TCustomListBox::SetSorted(bool v) {
    if (sorted_ == v) return;
    sorted_ = v;
    items_->SetSorted(v);
}

void TCustomListBox::SetBorderStyle(TBorderStyle v) {
    if (borderStyle_ == v) return;
    borderStyle_ = v;
    PeerChanged(pcBorder);
    Invalidate();
}

int TCustomListBox::visibleRows() const {
    int border = borderStyle_ == bsSingle ? 2 : 0;
    return std::max(1, (ClientHeight() - 2 * border) / std::max(1, ItemHeight()));
}

void TCustomListBox::makeVisible(int index) {
    if (index < topIndex_)
        topIndex_ = index;
    else if (index >= topIndex_ + visibleRows())
        topIndex_ = index - visibleRows() + 1;
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) const {
    int border = borderStyle_ == bsSingle ? 2 : 0;
    if (!ClientRect().Contains(Pos) || Pos.Y < border) return -1;
    int index = topIndex_ + (Pos.Y - border) / std::max(1, ItemHeight());
    if (index < Count()) return index;
    return Existing ? -1 : Count();
}

TRect TCustomListBox::ItemRect(int Index) const {
    int border = borderStyle_ == bsSingle ? 2 : 0;
    int h = ItemHeight();
    int top = border + (Index - topIndex_) * h;
    // Left of an owner-drawn list's scroll bar.
    const TRect bar = scrollBarRect();
    return {border, top, bar.IsEmpty() ? ClientWidth() - border : bar.Left, top + h};
}

void TCustomListBox::notifySelChange() {
    PeerChanged(pcItemIndex);
    Invalidate();
    Perform(CN_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE), handleParam(this));
}

void TCustomListBox::userSelect(int index, TShiftState shift, bool toggle) {
    if (index < 0 || index >= Count()) return;
    if (multiSelect_) {
        if (extendedSelect_ && shift.Contains(ssShift) && anchorIndex_ >= 0) {
            if (!shift.Contains(ssCtrl)) std::fill(selected_.begin(), selected_.end(), false);
            for (int i = std::min(anchorIndex_, index); i <= std::max(anchorIndex_, index); ++i)
                selected_[std::size_t(i)] = true;
        } else if (toggle || !extendedSelect_ || shift.Contains(ssCtrl)) {
            selected_[std::size_t(index)] = !selected_[std::size_t(index)];
            anchorIndex_ = index;
        } else {
            std::fill(selected_.begin(), selected_.end(), false);
            selected_[std::size_t(index)] = true;
            anchorIndex_ = index;
        }
    } else {
        anchorIndex_ = index;
    }
    itemIndex_ = index;
    makeVisible(index);
    notifySelChange();
}

void TCustomListBox::PeerSelect(int index) {
    userSelect(index, KeyboardStateToShiftState(), false);
}

void TCustomListBox::DefaultHandler(TMessage& Message) {
    if (scrollBarMouse(Message)) return;
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (CanFocus() && !Focused()) SetFocus();
        int index = ItemAtPos(LParamToPoint(Message.LParam), true);
        TShiftState shift;
        if (Message.WParam & MK_SHIFT) shift.Include(ssShift);
        if (Message.WParam & MK_CONTROL) shift.Include(ssCtrl);
        if (index < 0) return;
        if (Message.Msg == WM_LBUTTONDOWN)
            userSelect(index, shift, false);
        else
            Perform(CN_COMMAND, MAKEWPARAM(0, LBN_DBLCLK), handleParam(this));
        return;
    }
    case WM_KEYDOWN: {
        WORD key = WORD(Message.WParam);
        int n = Count();
        if (n == 0) return;
        int cur = itemIndex_;
        if (key == VK_SPACE) {
            if (multiSelect_ && cur >= 0) userSelect(cur, {}, true);
            return;
        }
        int next = listKeyTarget(key, cur, n, std::max(1, visibleRows() - 1));
        if (next != cur) userSelect(next, KeyboardStateToShiftState(), false);
        return;
    }
    default:
        break;
    }
    TWinControl::DefaultHandler(Message);
}

void TCustomListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case LB_GETCURSEL:
        Message.Result = itemIndex_;
        return;
    case LB_SETCURSEL:
        SetItemIndex(int(Message.WParam));
        Message.Result = itemIndex_;
        return;
    case LB_GETCOUNT:
        Message.Result = Count();
        return;
    case LB_GETTOPINDEX:
        Message.Result = topIndex_;
        return;
    case LB_SETTOPINDEX:
        SetTopIndex(int(Message.WParam));
        return;
    case LB_GETSEL:
        Message.Result = int(Message.WParam) >= 0 && int(Message.WParam) < Count() &&
                         Selected(int(Message.WParam));
        return;
    case LB_SETSEL:
        if (int(Message.LParam) == -1) {
            if (Message.WParam)
                SelectAll();
            else
                ClearSelection();
        } else if (int(Message.LParam) >= 0 && int(Message.LParam) < Count()) {
            SetSelected(int(Message.LParam), Message.WParam != 0);
        }
        return;
    case LB_GETSELCOUNT:
        Message.Result = SelCount();
        return;
    case LB_GETITEMHEIGHT:
        Message.Result = ItemHeight();
        return;
    case WM_GETDLGCODE:
        TWinControl::Dispatch(Message);
        Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case CN_COMMAND:
        if (TWMCommand(Message).NotifyCode() == LBN_SELCHANGE) {
            Click();
            return;
        }
        if (TWMCommand(Message).NotifyCode() == LBN_DBLCLK) {
            DblClick();
            return;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TWinControl::Dispatch(Message);
        Invalidate();
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}

void TCustomListBox::PaintWindow(HDC DC) {
    TRect inner = drawSunkenFrame(DC, ClientRect(), borderStyle_);
    FillRect(DC, inner, Enabled() ? Color() : clBtnFace);
    TCanvas* c = DC;
    c->Font()->Assign(Font());
    SaveDC(DC);
    IntersectClipRect(DC, inner.Left, inner.Top, inner.Right, inner.Bottom);
    for (int i = topIndex_; i < Count(); ++i) {
        TRect r = ItemRect(i);
        if (r.Top >= inner.Bottom) break;
        bool sel = Selected(i);
        if (sel) FillRect(DC, r, clHighlight);
        SetTextColor(DC, sel ? clHighlightText : (Enabled() ? Font()->Color() : clGrayText));
        c->Font()->SetColor(sel ? clHighlightText : (Enabled() ? Font()->Color() : clGrayText));
        SetBkMode(DC, TRANSPARENT);
        if (style_ != lbStandard && OnDrawItem) {
            TOwnerDrawState state;
            if (sel) state.Include(odSelected);
            if (i == itemIndex_ && Focused()) state.Include(odFocused);
            c->Brush()->SetColor(sel ? clHighlight : (Enabled() ? Color() : clBtnFace));
            canvas_ = c;
            OnDrawItem(this, i, r, state);
            canvas_ = nullptr;
            if (state.Contains(odFocused)) DrawFocusRect(DC, r);
            continue;
        }
        TRect tr = r;
        tr.Left += 2;
        DrawText(DC, items_->Get(i), -1, tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (i == itemIndex_ && Focused()) DrawFocusRect(DC, r);
    }
    RestoreDC(DC, -1);
    paintScrollBar(c);
}

// --- TCustomComboBox --------------------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner), items_(std::make_unique<TControlItems>([this] { ItemsChanged(); })) {
    SetControlStyle(csSetCaption | csDoubleClicks | csFixedHeight | csCaptureMouse);
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    EnableBackingImage();
}

TCustomComboBox::~TCustomComboBox() {
    items_->OnChange = nullptr;
}

void TCustomComboBox::ItemsChanged() {
    typedPrefix_.clear();
    if (itemIndex_ >= Count()) setItemIndexQuiet(-1);
    if (dropIndex_ >= Count()) dropIndex_ = -1;
    // A list-style combo shows the current item, whose text may have changed.
    if (!HasEdit() && itemIndex_ >= 0 && items_->Get(itemIndex_) != Text())
        setItemIndexQuiet(itemIndex_);
    PeerChanged(pcItems);
    Invalidate();
}

int TCustomComboBox::Count() const {
    return items_->Count();
}

void TCustomComboBox::setItemIndexQuiet(int v) {
    if (v < -1 || v >= Count()) v = -1;
    itemIndex_ = v;
    std::string text = v >= 0 ? items_->Get(v) : std::string();
    buffer_.SetText(text);
    buffer_.SetSelection(0, buffer_.Length());
    TWinControl::SetText(text);
}

void TCustomComboBox::SetItemIndex(int v) {
    if (v < -1 || v >= Count()) v = -1;
    if (v == itemIndex_) return;
    setItemIndexQuiet(v);
    PeerChanged(pcItemIndex);
    Invalidate();
}

void TCustomComboBox::SetText(const std::string& v) {
    if (!HasEdit()) {
        int index = items_->IndexOf(v);
        if (index >= 0) SetItemIndex(index);
        return;
    }
    if (v == Text()) return;
    int exact = -1;
    for (int i = 0; i < Count() && exact < 0; ++i)
        if (items_->Get(i) == v) exact = i;
    itemIndex_ = exact;
    buffer_.SetText(v);
    TWinControl::SetText(v);
    PeerChanged(pcItemIndex);
    Invalidate();
}

void TCustomComboBox::SetStyle(TComboBoxStyle v) {
    if (style_ == v) return;
    style_ = v;
    if (!HasEdit()) setItemIndexQuiet(itemIndex_);
    PeerChanged(pcStyle);
    Invalidate();
}

void TCustomComboBox::SetDroppedDown(bool v) {
    if (droppedDown_ == v) return;
    droppedDown_ = v;
    dropIndex_ = itemIndex_;
    if (v) {
        const TRect list = DropListRect();
        const TPoint at = ClientToScreen({list.Left, list.Top});
        droppedRect_ = Bounds(at.X, at.Y, list.Width(), list.Height());
    }
    PeerChanged(pcDropDown);
    Invalidate();
    if (v) Perform(WM_CTLCOLORLISTBOX, 0, 0);
    notify(v ? CBN_DROPDOWN : CBN_CLOSEUP);
}

void TCustomComboBox::SetDroppedRect(const TRect& v) {
    droppedRect_ = v;
    if (droppedDown_) PeerChanged(pcDropDown);
}

int TCustomComboBox::ItemHeight() const {
    return itemHeight_ > 0 ? itemHeight_ : fontLineHeight(Font());
}

void TCustomComboBox::SetItemHeight(int v) {
    if (v > 0) itemHeight_ = v;
}

void TCustomComboBox::SetSorted(bool v) {
    if (sorted_ == v) return;
    sorted_ = v;
    items_->SetSorted(v);
}

void TCustomComboBox::SetMaxLength(int v) {
    maxLength_ = std::max(0, v);
    PeerChanged(pcStyle);
}

void TCustomComboBox::SetCharCase(TEditCharCase v) {
    if (charCase_ == v) return;
    charCase_ = v;
    if (v != ecNormal && HasEdit()) {
        std::string mapped = Utf32ToUtf8(caseMapped(buffer_.Chars(), v));
        if (mapped != Text()) SetText(mapped);
    }
    PeerChanged(pcStyle);
}

void TCustomComboBox::SetSelStart(int v) {
    buffer_.SetSelection(std::max(0, v), std::max(0, v));
    PeerChanged(pcSelection);
}

void TCustomComboBox::SetSelLength(int v) {
    int start = buffer_.SelStart();
    buffer_.SetSelection(start, start + std::max(0, v));
    PeerChanged(pcSelection);
}

void TCustomComboBox::SelectAll() {
    buffer_.SetSelection(0, buffer_.Length());
    PeerChanged(pcSelection);
}

void TCustomComboBox::Clear() {
    items_->Clear();
    setItemIndexQuiet(-1);
    PeerChanged(pcItemIndex);
    Invalidate();
}

void TCustomComboBox::PeerSelectionChanged(int anchor, int caret) {
    buffer_.SetSelection(anchor, caret);
}

void TCustomComboBox::PeerTextEdited(const std::string& text, int anchor, int caret) {
    if (!HasEdit() || text == Text()) {
        PeerSelectionChanged(anchor, caret);
        return;
    }
    buffer_.SetText(text);
    buffer_.SetSelection(anchor, caret);
    editChanged();
}

int TCustomComboBox::ButtonWidth() const {
    return 17;
}

void TCustomComboBox::notify(WORD code) {
    notifyParent(this, code);
}

void TCustomComboBox::userSelect(int index) {
    if (index < 0 || index >= Count()) return;
    setItemIndexQuiet(index);
    PeerChanged(pcItemIndex);
    Invalidate();
    notify(CBN_SELCHANGE);
}

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::DropDown() {
    if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::CNCommand(TWMCommand& Message) {
    switch (Message.NotifyCode()) {
    case CBN_SELCHANGE:
        if (itemIndex_ >= 0 && Text() != items_->Get(itemIndex_)) setItemIndexQuiet(itemIndex_);
        Click();
        Select();
        break;
    case CBN_EDITCHANGE:
        Change();
        break;
    case CBN_DROPDOWN:
        DropDown();
        break;
    case CBN_CLOSEUP:
        CloseUp();
        break;
    case CBN_DBLCLK:
        DblClick();
        break;
    default:
        break;
    }
}

// The edit field changed by typing: the current item follows the text.
void TCustomComboBox::editChanged() {
    std::string text = buffer_.Text();
    if (itemIndex_ >= 0 && items_->Get(itemIndex_) != text) itemIndex_ = -1;
    TWinControl::SetText(text);
    PeerChanged(pcSelection);
    Invalidate();
    notify(CBN_EDITCHANGE);
}

namespace {
std::string repeated(const std::string& s, std::size_t n) {
    std::string out;
    for (std::size_t k = 0; k < n; ++k) out += s;
    return out;
}
} // namespace

// The first item from Start on (wrapping) whose upper-cased text starts with Prefix; -1: none.
int TCustomComboBox::findItemFrom(const std::string& Prefix, int Start) const {
    const int n = Count();
    for (int k = 0; k < n; ++k) {
        const int i = (Start + k) % n;
        if (StartsStr(Prefix, AnsiUpperCase(items_->Get(i)))) return i;
    }
    return -1;
}

void TCustomComboBox::handleChar(TMessage& Message) {
    char32_t c = char32_t(Message.WParam);
    if (!HasEdit()) {
        if (c < 32 || Count() == 0) return;
        const std::string ch = AnsiUpperCase(CodePointToUtf8(c));
        const unsigned now = GetTickCount();
        const std::string typed =
            now - typedTick_ <= typeAheadMs && !typedPrefix_.empty() ? typedPrefix_ + ch : ch;
        typedTick_ = now;
        const int current = droppedDown_ ? dropIndex_ : itemIndex_;
        // A longer prefix may still match the current item; a single character moves on, and so
        // does the same character typed again.
        int i = -1;
        if (typed.size() > ch.size()) {
            i = findItemFrom(typed, std::max(current, 0));
            if (i < 0 && typed == repeated(ch, typed.size() / ch.size()))
                i = findItemFrom(ch, std::max(current, -1) + 1);
            if (i < 0) {
                // No item starts with what was typed: the key is refused rather than taken as
                // the start of another item, and the prefix typed so far stays.
                MessageBeep(0);
                return;
            }
        } else {
            i = findItemFrom(ch, std::max(current, -1) + 1);
        }
        typedPrefix_ = typed;
        if (i < 0) return;
        if (droppedDown_) {
            dropIndex_ = i;
            PeerChanged(pcDropDown);
            Invalidate();
        } else if (i != itemIndex_) {
            userSelect(i);
        }
        return;
    }
    if (c == 8) {
        if (buffer_.DeleteBack()) editChanged();
        return;
    }
    if (isClipboardChar(c)) {
        if (Peer()) TWinControl::DefaultHandler(Message);
        return;
    }
    if (c == 1) {
        SelectAll();
        return;
    }
    if (c < 32 || c == 127) return;
    if (autoDropDown_ && !droppedDown_) SetDroppedDown(true);
    if (!buffer_.Replace(caseMapped(std::u32string(1, c), charCase_), maxLength_)) {
        MessageBeep(0);
        return;
    }
    if (autoComplete_ && buffer_.SelLength() == 0 && buffer_.Caret() == buffer_.Length()) {
        std::u32string typed = buffer_.Chars();
        std::string upper = AnsiUpperCase(Utf32ToUtf8(typed));
        for (int i = 0; i < Count(); ++i) {
            std::u32string item = Utf8ToUtf32(items_->Get(i));
            if (item.size() >= typed.size() &&
                AnsiUpperCase(Utf32ToUtf8(item.substr(0, typed.size()))) == upper) {
                // Keep what was typed and select the completed rest.
                bool changed = i != itemIndex_;
                buffer_.SetText(Utf32ToUtf8(typed + item.substr(typed.size())));
                buffer_.SetSelection(int(typed.size()), buffer_.Length());
                itemIndex_ = i;
                TWinControl::SetText(buffer_.Text());
                PeerChanged(pcItemIndex);
                PeerChanged(pcSelection);
                Invalidate();
                if (changed) {
                    Click();
                    Select();
                } else {
                    notify(CBN_EDITCHANGE);
                }
                return;
            }
        }
    }
    editChanged();
}

void TCustomComboBox::handleKey(TMessage& Message) {
    WORD key = WORD(Message.WParam);
    TShiftState shift = KeyboardStateToShiftState();
    if (key == VK_F4 || ((key == VK_DOWN || key == VK_UP) && shift.Contains(ssAlt))) {
        SetDroppedDown(!droppedDown_);
        return;
    }
    int n = Count();
    int page = std::max(1, dropDownCount_ - 1);
    if (droppedDown_) {
        int cur = dropIndex_;
        switch (key) {
        case VK_RETURN: {
            int chosen = dropIndex_;
            SetDroppedDown(false);
            if (chosen >= 0 && chosen != itemIndex_) userSelect(chosen);
            return;
        }
        case VK_ESCAPE:
            SetDroppedDown(false);
            return;
        default:
            dropIndex_ = listKeyTarget(key, cur, n, page);
            break;
        }
        if (dropIndex_ != cur) {
            PeerChanged(pcDropDown);
            Invalidate();
        }
        // While the list is open only the edit field's own keys go on.
        if (!HasEdit() || (key != VK_LEFT && key != VK_RIGHT && key != VK_DELETE)) return;
    }
    bool listKeys = !HasEdit();
    int cur = itemIndex_;
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
        if (listKeys) {
            // Left and Right move through a closed list like Up and Down.
            if (key == VK_LEFT) key = VK_UP;
            if (key == VK_RIGHT) key = VK_DOWN;
        } else {
            bool extend = shift.Contains(ssShift);
            int caret = buffer_.Caret();
            int target = key == VK_LEFT    ? caret - 1
                         : key == VK_RIGHT ? caret + 1
                         : key == VK_HOME  ? 0
                                           : buffer_.Length();
            buffer_.MoveCaret(target, extend);
            PeerChanged(pcSelection);
            Invalidate();
            return;
        }
        break;
    case VK_DELETE:
        if (!listKeys && buffer_.DeleteForward()) editChanged();
        return;
    default:
        break;
    }
    int next = listKeyTarget(key, cur, n, page);
    if (n > 0 && next >= 0 && next != cur) userSelect(next);
}

void TCustomComboBox::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CHAR:
        handleChar(Message);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        handleKey(Message);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (Peer()) break;
        if (CanFocus() && !Focused()) SetFocus();
        int x = GET_X_LPARAM(Message.LParam);
        if (!HasEdit() || x >= ClientWidth() - ButtonWidth() - 2) SetDroppedDown(!droppedDown_);
        return;
    }
    default:
        break;
    }
    TWinControl::DefaultHandler(Message);
}

void TCustomComboBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CB_GETCURSEL:
        Message.Result = itemIndex_;
        return;
    case CB_SETCURSEL:
        SetItemIndex(int(Message.WParam));
        Message.Result = itemIndex_;
        return;
    case CB_GETCOUNT:
        Message.Result = Count();
        return;
    case CB_SHOWDROPDOWN:
        SetDroppedDown(Message.WParam != 0);
        Message.Result = 1;
        return;
    case CB_GETDROPPEDSTATE:
        Message.Result = droppedDown_;
        return;
    case CB_GETEDITSEL:
        Message.Result = MAKELPARAM(buffer_.SelStart(), buffer_.SelStart() + buffer_.SelLength());
        return;
    case CB_SETEDITSEL: {
        int start = short(LOWORD(std::uintptr_t(Message.LParam)));
        int end = short(HIWORD(std::uintptr_t(Message.LParam)));
        buffer_.SetSelection(start, end);
        PeerChanged(pcSelection);
        Message.Result = 1;
        return;
    }
    case CB_SETDROPPEDWIDTH:
        droppedWidth_ = int(Message.WParam);
        Message.Result = std::max(droppedWidth_, Width());
        return;
    case CB_GETDROPPEDWIDTH:
        Message.Result = std::max(droppedWidth_, Width());
        return;
    case CB_LIMITTEXT:
        SetMaxLength(int(Message.WParam));
        Message.Result = 1;
        return;
    case CB_GETITEMHEIGHT:
        Message.Result = ItemHeight();
        return;
    case EM_CHARFROMPOS: {
        // The character of the edit field nearest to the point (the grid's combo editor asks).
        TCanvas* c = measureCanvas(Font());
        int x = GET_X_LPARAM(Message.LParam) - 3;
        const std::u32string& chars = buffer_.Chars();
        int best = 0, bestDist = std::abs(x);
        for (std::size_t i = 1; i <= chars.size(); ++i) {
            int d = std::abs(x - c->TextWidth(Utf32ToUtf8(chars.substr(0, i))));
            if (d < bestDist) bestDist = d, best = int(i);
        }
        Message.Result = HasEdit() && x < ClientWidth() - ButtonWidth() ? best : -1;
        return;
    }
    case WM_GETDLGCODE:
        TWinControl::Dispatch(Message);
        Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
        if (droppedDown_) Message.Result |= DLGC_WANTALLKEYS;
        return;
    case CM_WANTSPECIALKEY: {
        WORD key = TWMKey(Message).CharCode();
        if (droppedDown_ && (key == VK_RETURN || key == VK_ESCAPE)) {
            Message.Result = 1;
            return;
        }
        break;
    }
    case CN_COMMAND: {
        TWMCommand cmd(Message);
        CNCommand(cmd);
        return;
    }
    case WM_KILLFOCUS:
        TWinControl::Dispatch(Message);
        SetDroppedDown(false);
        Invalidate();
        return;
    case WM_SETFOCUS:
        // Typing starts a new search in a list that gets the focus (the grid's list editor
        // opening on another cell).
        typedPrefix_.clear();
        TWinControl::Dispatch(Message);
        Invalidate();
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}

void TCustomComboBox::DoEnter() {
    if (HasEdit()) SelectAll();
    TWinControl::DoEnter();
}

void TCustomComboBox::PaintWindow(HDC DC) {
    TRect inner = drawSunkenFrame(DC, ClientRect(), bsSingle);
    FillRect(DC, inner, Enabled() ? Color() : clBtnFace);
    TRect button = inner;
    button.Left = std::max(inner.Left, inner.Right - ButtonWidth());
    unsigned state = DFCS_SCROLLCOMBOBOX;
    if (droppedDown_) state |= DFCS_PUSHED;
    if (!Enabled()) state |= DFCS_INACTIVE;
    DrawFrameControl(DC, button, DFC_SCROLL, state);
    TRect text = inner;
    text.Right = button.Left;
    if (paintContent(DC, text, 1)) {
        TRect fr = text;
        InflateRect(fr, -1, -1);
        DrawFocusRect(DC, fr);
    }
}

bool TCustomComboBox::paintContent(HDC DC, const TRect& Text, int HighlightInsetY) {
    TCanvas* c = DC;
    c->Font()->Assign(Font());
    const bool focusLook = !HasEdit() && Focused() && !droppedDown_;
    if (focusLook) {
        TRect hl = Text;
        InflateRect(hl, -1, -HighlightInsetY);
        FillRect(DC, hl, clHighlight);
        c->Font()->SetColor(clHighlightText);
    } else if (!Enabled()) {
        c->Font()->SetColor(clGrayText);
    }
    SaveDC(DC);
    IntersectClipRect(DC, Text.Left, Text.Top, Text.Right, Text.Bottom);
    SetBkMode(DC, TRANSPARENT);
    TRect tr = Text;
    tr.Left += 2;
    DrawText(DC, this->Text(), -1, tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    RestoreDC(DC, -1);
    return focusLook;
}
