#include "platform/ui/StdCtrls.h"

#include "platform/base/SysUtils.h"

#include <algorithm>

namespace {

// A canvas for measuring text outside painting.
TCanvas* measureCanvas(const TFont* font) {
    static TBitmap bitmap(1, 1);
    TCanvas* c = bitmap.Canvas();
    c->Font()->Assign(font);
    return c;
}

int fontLineHeight(const TFont* font) { return measureCanvas(font)->TextHeight("Wg"); }

bool isWordChar(char32_t c) {
    return c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           c >= 0x80;
}

std::u32string caseMapped(const std::u32string& s, TEditCharCase cc) {
    if (cc == ecNormal) return s;
    std::string u = Utf32ToUtf8(s);
    return Utf8ToUtf32(cc == ecUpperCase ? AnsiUpperCase(u) : AnsiLowerCase(u));
}

LPARAM handleParam(TWinControl* c) {
    return c->HandleAllocated() ? reinterpret_cast<LPARAM>(c->Handle()) : 0;
}

// The classic sunken frame of edits and lists; returns the area inside it.
TRect drawSunkenFrame(HDC dc, TRect r, TBorderStyle style) {
    if (style == bsNone) return r;
    DrawEdge(dc, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    return r;
}

} // namespace

// --- TextEditBuffer ---------------------------------------------------------------------------

std::string TextEditBuffer::Text() const { return Utf32ToUtf8(text_); }

void TextEditBuffer::SetText(const std::string& text) {
    text_ = Utf8ToUtf32(text);
    anchor_ = caret_ = 0;
}

void TextEditBuffer::SetSelection(int anchor, int caret) {
    int n = Length();
    anchor_ = std::clamp(anchor < 0 ? n : anchor, 0, n);
    caret_ = std::clamp(caret < 0 ? n : caret, 0, n);
}

void TextEditBuffer::MoveCaret(int pos, bool extend) {
    caret_ = std::clamp(pos, 0, Length());
    if (!extend) anchor_ = caret_;
}

std::string TextEditBuffer::SelText() const {
    return Utf32ToUtf8(text_.substr(std::size_t(SelStart()), std::size_t(SelLength())));
}

bool TextEditBuffer::Replace(const std::u32string& s, int maxLength) {
    int start = SelStart();
    int len = SelLength();
    std::u32string insert = s;
    if (maxLength > 0) {
        int room = std::max(0, maxLength - (Length() - len));
        if (int(insert.size()) > room) insert.resize(std::size_t(room));
    }
    if (insert.empty() && len == 0) return false;
    text_.replace(std::size_t(start), std::size_t(len), insert);
    anchor_ = caret_ = start + int(insert.size());
    return true;
}

bool TextEditBuffer::DeleteBack() {
    if (SelLength() == 0) {
        if (caret_ == 0) return false;
        anchor_ = caret_ - 1;
    }
    return Replace(U"", 0);
}

bool TextEditBuffer::DeleteForward() {
    if (SelLength() == 0) {
        if (caret_ >= Length()) return false;
        anchor_ = caret_ + 1;
    }
    return Replace(U"", 0);
}

int TextEditBuffer::WordLeft(int pos) const {
    while (pos > 0 && !isWordChar(text_[std::size_t(pos - 1)])) --pos;
    while (pos > 0 && isWordChar(text_[std::size_t(pos - 1)])) --pos;
    return pos;
}

int TextEditBuffer::WordRight(int pos) const {
    int n = Length();
    while (pos < n && isWordChar(text_[std::size_t(pos)])) ++pos;
    while (pos < n && !isWordChar(text_[std::size_t(pos)])) ++pos;
    return pos;
}

// --- TCustomLabel -----------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetControlStyle(ControlStyle() | csOpaque | csReplicatable);
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
}

TCustomLabel::~TCustomLabel() { SetFocusControl(nullptr); }

void TCustomLabel::SetAlignment(TAlignment v) {
    if (alignment_ == v) return;
    alignment_ = v;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout v) {
    if (layout_ == v) return;
    layout_ = v;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool v) {
    if (autoSize_ == v) return;
    autoSize_ = v;
    AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool v) {
    if (wordWrap_ == v) return;
    wordWrap_ = v;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
    if (transparent_ == v) return;
    transparent_ = v;
    SetControlStyle(v ? ControlStyle() & ~csOpaque : ControlStyle() | csOpaque);
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
    if (showAccelChar_ == v) return;
    showAccelChar_ = v;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* v) {
    if (focusControl_ == v) return;
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = v;
    if (v) v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == focusControl_) focusControl_ = nullptr;
}

unsigned TCustomLabel::TextFlags() const {
    unsigned flags = DT_EXPANDTABS;
    if (alignment_ == taRightJustify) flags |= DT_RIGHT;
    else if (alignment_ == taCenter) flags |= DT_CENTER;
    if (wordWrap_) flags |= DT_WORDBREAK;
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    return flags;
}

void TCustomLabel::DoDrawText(TCanvas* canvas, TRect& Rect, unsigned Flags) {
    std::string text = GetLabelText();
    // An empty caption still measures one line high.
    if ((Flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += " ";
    if (!showAccelChar_) Flags |= DT_NOPREFIX;
    canvas->Font()->Assign(Font());
    if (!Enabled() && !(Flags & DT_CALCRECT)) {
        OffsetRect(Rect, 1, 1);
        canvas->Font()->SetColor(clBtnHighlight);
        DrawText(canvas, text, -1, Rect, Flags);
        OffsetRect(Rect, -1, -1);
        canvas->Font()->SetColor(clBtnShadow);
    }
    DrawText(canvas, text, -1, Rect, Flags);
}

void TCustomLabel::AdjustBounds() {
    if (!autoSize_ || (ComponentState() & csLoading)) return;
    TRect r = ClientRect();
    DoDrawText(measureCanvas(Font()), r, TextFlags() | DT_CALCRECT);
    int x = Left();
    if (alignment_ == taRightJustify) x += Width() - r.Right;
    SetBounds(x, Top(), r.Right, r.Bottom);
}

void TCustomLabel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (!transparent_) {
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(r);
    }
    c->Brush()->SetStyle(bsClear);
    unsigned flags = TextFlags();
    if (layout_ != tlTop) {
        TRect calc = r;
        DoDrawText(c, calc, flags | DT_CALCRECT);
        int offset = r.Height() - calc.Height();
        if (layout_ == tlCenter) offset /= 2;
        r.Top += offset;
    }
    DoDrawText(c, r, flags);
}

void TCustomLabel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_DIALOGCHAR: {
        TWMKey key(Message);
        if (focusControl_ && Enabled() && showAccelChar_ && IsAccel(key.CharCode(), Caption()) &&
            focusControl_->CanFocus()) {
            focusControl_->SetFocus();
            Message.Result = 1;
            return;
        }
        break;
    }
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        TGraphicControl::Dispatch(Message);
        AdjustBounds();
        Invalidate();
        return;
    default:
        break;
    }
    TGraphicControl::Dispatch(Message);
}

// --- TCustomEdit ------------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(csClickEvents | csSetCaption | csDoubleClicks | csFixedHeight | csCaptureMouse);
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    EnableBackingImage();
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::SetText(const std::string& v) {
    if (v == Text()) return;
    buffer_.SetText(v);
    TWinControl::SetText(v);
    PeerChanged(pcSelection);
    Invalidate();
    Perform(CN_COMMAND, MAKEWPARAM(0, EN_CHANGE), handleParam(this));
}

void TCustomEdit::SetMaxLength(int v) {
    if (maxLength_ == v) return;
    maxLength_ = std::max(0, v);
    PeerChanged(pcStyle);
}

void TCustomEdit::SetReadOnly(bool v) {
    if (readOnly_ == v) return;
    readOnly_ = v;
    PeerChanged(pcStyle);
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
    if (charCase_ == v) return;
    charCase_ = v;
    PeerChanged(pcStyle);
    if (v != ecNormal) {
        int anchor = buffer_.SelStart(), caret = anchor + buffer_.SelLength();
        std::string mapped = Utf32ToUtf8(caseMapped(buffer_.Chars(), v));
        if (mapped != Text()) {
            SetText(mapped);
            buffer_.SetSelection(anchor, caret);
        }
    }
}

void TCustomEdit::SetPasswordChar(char32_t v) {
    if (passwordChar_ == v) return;
    passwordChar_ = v;
    PeerChanged(pcStyle);
    Invalidate();
}

void TCustomEdit::SetBorderStyle(TBorderStyle v) {
    if (borderStyle_ == v) return;
    borderStyle_ = v;
    PeerChanged(pcBorder);
    Invalidate();
}

void TCustomEdit::SetHideSelection(bool v) {
    if (hideSelection_ == v) return;
    hideSelection_ = v;
    Invalidate();
}

void TCustomEdit::SetSelStart(int v) {
    buffer_.SetSelection(std::max(0, v), std::max(0, v));
    PeerChanged(pcSelection);
    Invalidate();
}

void TCustomEdit::SetSelLength(int v) {
    int start = buffer_.SelStart();
    buffer_.SetSelection(start, start + std::max(0, v));
    PeerChanged(pcSelection);
    Invalidate();
}

void TCustomEdit::SetSelText(const std::string& v) {
    if (buffer_.Replace(Utf8ToUtf32(v), 0)) editChanged();
}

void TCustomEdit::SelectAll() {
    buffer_.SetSelection(0, buffer_.Length());
    PeerChanged(pcSelection);
    Invalidate();
}

void TCustomEdit::ClearSelection() {
    if (buffer_.SelLength() > 0 && buffer_.Replace(U"", 0)) editChanged();
}

std::string TCustomEdit::DisplayText() const {
    if (passwordChar_ == 0) return Text();
    return Utf32ToUtf8(std::u32string(std::size_t(buffer_.Length()), passwordChar_));
}

void TCustomEdit::PeerSelectionChanged(int anchor, int caret) {
    buffer_.SetSelection(anchor, caret);
    Invalidate();
}

void TCustomEdit::PeerTextEdited(const std::string& text, int anchor, int caret) {
    if (text == Text()) {
        PeerSelectionChanged(anchor, caret);
        return;
    }
    buffer_.SetText(text);
    buffer_.SetSelection(anchor, caret);
    editChanged();
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

std::u32string TCustomEdit::applyCase(const std::u32string& s) const {
    return caseMapped(s, charCase_);
}

// The buffer changed by editing: the control's text follows, then EN_CHANGE.
void TCustomEdit::editChanged() {
    modified_ = true;
    TWinControl::SetText(buffer_.Text());
    PeerChanged(pcSelection);
    Invalidate();
    Perform(CN_COMMAND, MAKEWPARAM(0, EN_CHANGE), handleParam(this));
}

void TCustomEdit::typeChars(const std::u32string& s) {
    if (readOnly_) return;
    if (buffer_.Replace(applyCase(s), maxLength_)) editChanged();
    else MessageBeep(0);
}

int TCustomEdit::CharFromPos(int x) {
    TCanvas* c = measureCanvas(Font());
    int left = (borderStyle_ == bsSingle ? 2 : 0) + 1;
    std::u32string shown = Utf8ToUtf32(DisplayText());
    int best = 0;
    int bestDist = std::abs(x - left);
    for (std::size_t i = 1; i <= shown.size(); ++i) {
        int w = c->TextWidth(Utf32ToUtf8(shown.substr(0, i)));
        int d = std::abs(x - (left + w));
        if (d < bestDist) bestDist = d, best = int(i);
    }
    return best;
}

void TCustomEdit::handleKey(TMessage& Message) {
    TShiftState shift = KeyboardStateToShiftState();
    bool extend = shift.Contains(ssShift);
    bool ctrl = shift.Contains(ssCtrl);
    int caret = buffer_.Caret();
    switch (WORD(Message.WParam)) {
    case VK_LEFT:
        if (!extend && buffer_.SelLength() > 0) caret = buffer_.SelStart() + 1;
        buffer_.MoveCaret(ctrl ? buffer_.WordLeft(caret) : caret - 1, extend);
        break;
    case VK_RIGHT:
        if (!extend && buffer_.SelLength() > 0) caret = buffer_.SelStart() + buffer_.SelLength() - 1;
        buffer_.MoveCaret(ctrl ? buffer_.WordRight(caret) : caret + 1, extend);
        break;
    case VK_HOME:
        buffer_.MoveCaret(0, extend);
        break;
    case VK_END:
        buffer_.MoveCaret(buffer_.Length(), extend);
        break;
    case VK_DELETE:
        if (!readOnly_ && buffer_.DeleteForward()) editChanged();
        return;
    default:
        return;
    }
    PeerChanged(pcSelection);
    Invalidate();
}

void TCustomEdit::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CHAR: {
        char32_t c = char32_t(Message.WParam);
        if (c == 8) {
            if (!readOnly_ && buffer_.DeleteBack()) editChanged();
        } else if (c == 1) {
            SelectAll();
        } else if (c >= 32 && c != 127) {
            typeChars(std::u32string(1, c));
        }
        return;
    }
    case WM_KEYDOWN:
        handleKey(Message);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        // A native widget places the caret itself and reports the selection.
        if (Peer()) break;
        if (Message.Msg == WM_LBUTTONDOWN) {
            if (CanFocus() && !Focused()) SetFocus();
            bool extend = (Message.WParam & MK_SHIFT) != 0;
            buffer_.MoveCaret(CharFromPos(GET_X_LPARAM(Message.LParam)), extend);
            mouseSelecting_ = true;
        } else if (Message.Msg == WM_LBUTTONDBLCLK) {
            int pos = CharFromPos(GET_X_LPARAM(Message.LParam));
            buffer_.SetSelection(buffer_.WordLeft(std::min(pos + 1, buffer_.Length())),
                                 buffer_.WordRight(pos));
        } else if (Message.Msg == WM_MOUSEMOVE) {
            if (!mouseSelecting_ || !(Message.WParam & MK_LBUTTON)) return;
            buffer_.MoveCaret(CharFromPos(GET_X_LPARAM(Message.LParam)), true);
        } else {
            mouseSelecting_ = false;
            return;
        }
        PeerChanged(pcSelection);
        Invalidate();
        return;
    default:
        break;
    }
    TWinControl::DefaultHandler(Message);
}

void TCustomEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case EM_GETSEL:
        Message.Result = MAKELPARAM(buffer_.SelStart(), buffer_.SelStart() + buffer_.SelLength());
        return;
    case EM_SETSEL:
        // (0, -1) selects everything; a start of -1 removes the selection.
        if (LPARAM(Message.WParam) == -1 || int(Message.WParam) == -1)
            buffer_.MoveCaret(buffer_.Caret(), false);
        else
            buffer_.SetSelection(int(Message.WParam), int(Message.LParam));
        PeerChanged(pcSelection);
        Invalidate();
        return;
    case EM_LIMITTEXT:
        SetMaxLength(int(Message.WParam));
        return;
    case EM_SETREADONLY:
        SetReadOnly(Message.WParam != 0);
        Message.Result = 1;
        return;
    case EM_GETMODIFY:
        Message.Result = modified_;
        return;
    case EM_SETMODIFY:
        modified_ = Message.WParam != 0;
        return;
    case EM_CHARFROMPOS:
        Message.Result = CharFromPos(GET_X_LPARAM(Message.LParam));
        return;
    case WM_CLEAR:
        if (!readOnly_) ClearSelection();
        return;
    case WM_GETDLGCODE:
        TWinControl::Dispatch(Message);
        Message.Result |= DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
        return;
    case CN_COMMAND:
        if (TWMCommand(Message).NotifyCode() == EN_CHANGE) {
            Change();
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

void TCustomEdit::DoEnter() {
    if (autoSelect_ && !(ControlState() & csLButtonDown)) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::PaintWindow(HDC DC) {
    TRect r = ClientRect();
    TRect inner = drawSunkenFrame(DC, r, borderStyle_);
    TColor back = Enabled() ? Color() : clBtnFace;
    FillRect(DC, inner, back);
    TCanvas* c = DC;
    c->Font()->Assign(Font());
    if (!Enabled()) c->Font()->SetColor(clGrayText);
    std::u32string shown = Utf8ToUtf32(DisplayText());
    int x = inner.Left + 1;
    int y = inner.Top + std::max(0, (inner.Height() - c->TextHeight("Wg")) / 2);
    int selStart = buffer_.SelStart(), selEnd = selStart + buffer_.SelLength();
    bool showSel = selEnd > selStart && (Focused() || !hideSelection_);
    SaveDC(DC);
    IntersectClipRect(DC, inner.Left, inner.Top, inner.Right, inner.Bottom);
    SetBkMode(DC, TRANSPARENT);
    std::string before = Utf32ToUtf8(shown.substr(0, std::size_t(showSel ? selStart : shown.size())));
    c->TextOut(x, y, before);
    if (showSel) {
        int sx = x + c->TextWidth(before);
        std::string sel = Utf32ToUtf8(shown.substr(std::size_t(selStart), std::size_t(selEnd - selStart)));
        int sw = c->TextWidth(sel);
        FillRect(DC, Rect(sx, y, sx + sw, y + c->TextHeight("Wg")), clHighlight);
        c->Font()->SetColor(clHighlightText);
        SetBkMode(DC, TRANSPARENT);
        c->TextOut(sx, y, sel);
        c->Font()->SetColor(Font()->Color());
        SetBkMode(DC, TRANSPARENT);
        c->TextOut(sx + sw, y, Utf32ToUtf8(shown.substr(std::size_t(selEnd))));
    }
    RestoreDC(DC, -1);
}

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

TCustomListBox::~TCustomListBox() { items_->OnChange = nullptr; }

void TCustomListBox::ItemsChanged() {
    int n = Count();
    selected_.resize(std::size_t(n), false);
    if (itemIndex_ >= n) itemIndex_ = -1;
    if (anchorIndex_ >= n) anchorIndex_ = -1;
    topIndex_ = std::clamp(topIndex_, 0, std::max(0, n - 1));
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
        if (v) SetItemIndex(index);
        else if (index == itemIndex_) SetItemIndex(-1);
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
    v = std::clamp(v, 0, std::max(0, Count() - 1));
    if (v == topIndex_) return;
    topIndex_ = v;
    PeerChanged(pcSelection);
    Invalidate();
}

int TCustomListBox::ItemHeight() const { return itemHeight_ > 0 ? itemHeight_ : fontLineHeight(Font()); }

void TCustomListBox::SetItemHeight(int v) {
    if (v <= 0 || v == itemHeight_) return;
    itemHeight_ = v;
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
    if (index < topIndex_) topIndex_ = index;
    else if (index >= topIndex_ + visibleRows()) topIndex_ = index - visibleRows() + 1;
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
    return {border, top, ClientWidth() - border, top + h};
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
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (CanFocus() && !Focused()) SetFocus();
        int index = ItemAtPos(LParamToPoint(Message.LParam), true);
        TShiftState shift;
        if (Message.WParam & MK_SHIFT) shift.Include(ssShift);
        if (Message.WParam & MK_CONTROL) shift.Include(ssCtrl);
        if (index < 0) return;
        if (Message.Msg == WM_LBUTTONDOWN) userSelect(index, shift, false);
        else Perform(CN_COMMAND, MAKEWPARAM(0, LBN_DBLCLK), handleParam(this));
        return;
    }
    case WM_KEYDOWN: {
        WORD key = WORD(Message.WParam);
        int n = Count();
        if (n == 0) return;
        int cur = itemIndex_;
        int page = std::max(1, visibleRows() - 1);
        int next = cur;
        switch (key) {
        case VK_UP: next = cur <= 0 ? 0 : cur - 1; break;
        case VK_DOWN: next = cur < 0 ? 0 : std::min(n - 1, cur + 1); break;
        case VK_HOME: next = 0; break;
        case VK_END: next = n - 1; break;
        case VK_PRIOR: next = std::max(0, cur - page); break;
        case VK_NEXT: next = std::min(n - 1, std::max(0, cur) + page); break;
        case VK_SPACE:
            if (multiSelect_ && cur >= 0) userSelect(cur, {}, true);
            return;
        default: return;
        }
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
            if (Message.WParam) SelectAll();
            else ClearSelection();
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
        TRect tr = r;
        tr.Left += 2;
        DrawText(DC, items_->Get(i), -1, tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (i == itemIndex_ && Focused()) DrawFocusRect(DC, r);
    }
    RestoreDC(DC, -1);
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

TCustomComboBox::~TCustomComboBox() { items_->OnChange = nullptr; }

void TCustomComboBox::ItemsChanged() {
    if (itemIndex_ >= Count()) setItemIndexQuiet(-1);
    if (dropIndex_ >= Count()) dropIndex_ = -1;
    // A list-style combo shows the current item, whose text may have changed.
    if (!HasEdit() && itemIndex_ >= 0 && items_->Get(itemIndex_) != Text())
        setItemIndexQuiet(itemIndex_);
    PeerChanged(pcItems);
    Invalidate();
}

int TCustomComboBox::Count() const { return items_->Count(); }

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
    PeerChanged(pcDropDown);
    Invalidate();
    notify(v ? CBN_DROPDOWN : CBN_CLOSEUP);
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

int TCustomComboBox::ButtonWidth() const { return 17; }

void TCustomComboBox::notify(WORD code) {
    Perform(CN_COMMAND, MAKEWPARAM(0, code), handleParam(this));
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
    if (OnSelect) OnSelect(this);
    else Change();
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

void TCustomComboBox::handleChar(TMessage& Message) {
    char32_t c = char32_t(Message.WParam);
    if (!HasEdit()) {
        if (c < 32 || Count() == 0) return;
        // The next item (after the current one, wrapping) whose text starts with the character.
        std::string key = AnsiUpperCase(CodePointToUtf8(c));
        int start = droppedDown_ ? dropIndex_ : itemIndex_;
        for (int k = 1; k <= Count(); ++k) {
            int i = (std::max(start, -1) + k) % Count();
            if (StartsStr(key, AnsiUpperCase(items_->Get(i)))) {
                if (droppedDown_) {
                    dropIndex_ = i;
                    Invalidate();
                } else if (i != itemIndex_) {
                    userSelect(i);
                }
                return;
            }
        }
        return;
    }
    if (c == 8) {
        if (buffer_.DeleteBack()) editChanged();
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
        case VK_UP: dropIndex_ = cur <= 0 ? 0 : cur - 1; break;
        case VK_DOWN: dropIndex_ = std::min(n - 1, cur + 1); break;
        case VK_HOME: dropIndex_ = n > 0 ? 0 : -1; break;
        case VK_END: dropIndex_ = n - 1; break;
        case VK_PRIOR: dropIndex_ = n > 0 ? std::max(0, cur - page) : -1; break;
        case VK_NEXT: dropIndex_ = std::min(n - 1, std::max(0, cur) + page); break;
        case VK_RETURN: {
            int chosen = dropIndex_;
            SetDroppedDown(false);
            if (chosen >= 0 && chosen != itemIndex_) userSelect(chosen);
            return;
        }
        case VK_ESCAPE:
            SetDroppedDown(false);
            return;
        default: break;
        }
        if (dropIndex_ != cur) Invalidate();
        if (key != VK_LEFT && key != VK_RIGHT && key != VK_DELETE) return;
    }
    bool listKeys = !HasEdit();
    int cur = itemIndex_;
    int next = cur;
    switch (key) {
    case VK_UP: next = cur <= 0 ? 0 : cur - 1; break;
    case VK_DOWN: next = std::min(n - 1, cur + 1); break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
        if (listKeys) {
            if (key == VK_LEFT) next = cur <= 0 ? 0 : cur - 1;
            else if (key == VK_RIGHT) next = std::min(n - 1, cur + 1);
            else if (key == VK_HOME) next = 0;
            else next = n - 1;
        } else {
            bool extend = shift.Contains(ssShift);
            int caret = buffer_.Caret();
            int target = key == VK_LEFT ? caret - 1
                         : key == VK_RIGHT ? caret + 1
                         : key == VK_HOME ? 0
                                          : buffer_.Length();
            buffer_.MoveCaret(target, extend);
            PeerChanged(pcSelection);
            Invalidate();
            return;
        }
        break;
    case VK_PRIOR: next = n > 0 ? std::max(0, cur - page) : -1; break;
    case VK_NEXT: next = std::min(n - 1, std::max(0, cur) + page); break;
    case VK_DELETE:
        if (!listKeys && buffer_.DeleteForward()) editChanged();
        return;
    default: return;
    }
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
    TCanvas* c = DC;
    c->Font()->Assign(Font());
    bool focusLook = !HasEdit() && Focused() && !droppedDown_;
    if (focusLook) {
        TRect hl = text;
        InflateRect(hl, -1, -1);
        FillRect(DC, hl, clHighlight);
        c->Font()->SetColor(clHighlightText);
    } else if (!Enabled()) {
        c->Font()->SetColor(clGrayText);
    }
    SaveDC(DC);
    IntersectClipRect(DC, text.Left, text.Top, text.Right, text.Bottom);
    SetBkMode(DC, TRANSPARENT);
    TRect tr = text;
    tr.Left += 2;
    DrawText(DC, Text(), -1, tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    RestoreDC(DC, -1);
    if (focusLook) {
        TRect fr = text;
        InflateRect(fr, -1, -1);
        DrawFocusRect(DC, fr);
    }
}

// --- TButtonControl ---------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner) {
    // The click comes from BN_CLICKED (mouse release inside, Space), not from every release.
    SetControlStyle(csSetCaption | csDoubleClicks | csCaptureMouse);
    SetTabStop(true);
    SetParentColor(true);
}

void TButtonControl::SetWordWrap(bool v) {
    if (wordWrap_ == v) return;
    wordWrap_ = v;
    Invalidate();
}

void TButtonControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!Enabled()) return;
        if (CanFocus() && !Focused()) SetFocus();
        mouseDown_ = pressed_ = true;
        Invalidate();
        return;
    case WM_MOUSEMOVE:
        if (mouseDown_) {
            bool inside = ClientRect().Contains(LParamToPoint(Message.LParam));
            if (inside != pressed_) {
                pressed_ = inside;
                Invalidate();
            }
        }
        return;
    case WM_LBUTTONUP:
        if (mouseDown_) {
            bool inside = ClientRect().Contains(LParamToPoint(Message.LParam));
            mouseDown_ = pressed_ = false;
            Invalidate();
            if (inside) Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), handleParam(this));
        }
        return;
    case WM_KEYDOWN:
        if (WORD(Message.WParam) == VK_SPACE && !spaceDown_) {
            spaceDown_ = pressed_ = true;
            Invalidate();
        }
        return;
    case WM_KEYUP:
        if (WORD(Message.WParam) == VK_SPACE && spaceDown_) {
            spaceDown_ = pressed_ = false;
            Invalidate();
            Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), handleParam(this));
        }
        return;
    default:
        break;
    }
    TCustomControl::DefaultHandler(Message);
}

void TButtonControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        if (TWMCommand(Message).NotifyCode() == BN_CLICKED) {
            ButtonClicked();
            return;
        }
        break;
    case BM_CLICK:
        Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), handleParam(this));
        return;
    case WM_KILLFOCUS:
        TCustomControl::Dispatch(Message);
        spaceDown_ = false;
        pressed_ = mouseDown_;
        Invalidate();
        return;
    case WM_SETFOCUS:
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

void TButtonControl::DrawCaption(TCanvas* canvas, TRect r, unsigned flags) {
    canvas->Font()->Assign(Font());
    SetBkMode(canvas, TRANSPARENT);
    canvas->Brush()->SetStyle(bsClear);
    if (wordWrap_) flags = (flags & ~(DT_SINGLELINE | DT_VCENTER)) | DT_WORDBREAK;
    if (!Enabled()) {
        TRect shadow = r;
        OffsetRect(shadow, 1, 1);
        canvas->Font()->SetColor(clBtnHighlight);
        DrawText(canvas, Caption(), -1, shadow, flags);
        canvas->Font()->SetColor(clBtnShadow);
    }
    DrawText(canvas, Caption(), -1, r, flags);
    canvas->Brush()->SetStyle(bsSolid);
}

// --- TButton ----------------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 75, 25);
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TButton::SetDefault(bool v) {
    if (default_ == v) return;
    default_ = v;
    Invalidate();
}

void TButton::Click() {
    if (TCustomForm* form = GetParentForm()) form->SetModalResult(modalResult_);
    TButtonControl::Click();
}

void TButton::CMDialogKey(TWMKey& Message) {
    WORD key = Message.CharCode();
    // Enter clicks the focused button, else the default button unless another button has
    // the focus.
    TWinControl* focused = FindControl(GetFocus());
    bool otherButtonFocused = focused != this && dynamic_cast<TButton*>(focused) != nullptr;
    bool active = Focused() || (default_ && !otherButtonFocused);
    if (((key == VK_RETURN && active) || (key == VK_ESCAPE && cancel_)) &&
        KeyDataToShiftState(Message.KeyData()).Empty() && CanFocus()) {
        Click();
        Message.Result() = 1;
        return;
    }
    TButtonControl::CMDialogKey(Message);
}

void TButton::CMDialogChar(TWMKey& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        Click();
        Message.Result() = 1;
        return;
    }
    TButtonControl::CMDialogChar(Message);
}

void TButton::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (default_ || Focused()) {
        c->Brush()->SetColor(clWindowFrame);
        c->FrameRect(r);
        InflateRect(r, -1, -1);
    }
    unsigned state = DFCS_BUTTONPUSH | (Pressed() ? DFCS_PUSHED | DFCS_FLAT : 0) |
                     (Enabled() ? 0 : DFCS_INACTIVE);
    TRect face = r;
    DrawFrameControl(c, face, DFC_BUTTON, state);
    if (Pressed()) {
        FrameRect(c, r, clBtnShadow);
    }
    TRect tr = r;
    if (Pressed()) OffsetRect(tr, 1, 1);
    DrawCaption(c, tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (Focused()) {
        TRect fr = r;
        InflateRect(fr, -3, -3);
        c->DrawFocusRect(fr);
    }
}

// --- TCustomCheckBox / TRadioButton -----------------------------------------------------------

namespace {

constexpr int checkSize = 13;

// Box and caption of a check box or radio button, in the classic look.
void paintCheckControl(TButtonControl* self, TCanvas* c, TAlignment alignment, unsigned state,
                       bool focused, const std::function<void(TCanvas*, TRect, unsigned)>& text) {
    TRect r = self->ClientRect();
    c->Brush()->SetColor(self->Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(r);
    int top = (r.Height() - checkSize) / 2;
    TRect box = alignment == taRightJustify ? Bounds(0, top, checkSize, checkSize)
                                            : Bounds(r.Width() - checkSize, top, checkSize, checkSize);
    DrawFrameControl(c, box, DFC_BUTTON, state);
    TRect tr = alignment == taRightJustify ? Rect(checkSize + 4, 0, r.Right, r.Bottom)
                                           : Rect(0, 0, r.Right - checkSize - 4, r.Bottom);
    text(c, tr, DT_SINGLELINE | DT_VCENTER | (alignment == taRightJustify ? DT_LEFT : DT_RIGHT));
    if (focused && !self->Caption().empty()) {
        TRect calc = tr;
        c->Font()->Assign(self->Font());
        DrawText(c, self->Caption(), -1, calc, DT_SINGLELINE | DT_CALCRECT);
        int h = calc.Height();
        TRect fr = Rect(tr.Left - 1, (r.Height() - h) / 2 - 1, tr.Left + calc.Width() + 1,
                        (r.Height() - h) / 2 + h + 1);
        if (alignment != taRightJustify) OffsetRect(fr, tr.Right - tr.Left - calc.Width(), 0);
        c->DrawFocusRect(fr);
    }
}

} // namespace

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 97, 17);
}

void TCustomCheckBox::SetAlignment(TAlignment v) {
    if (v == taCenter || alignment_ == v) return;
    alignment_ = v;
    Invalidate();
}

void TCustomCheckBox::SetState(TCheckBoxState v) {
    if (state_ == v) return;
    state_ = v;
    Invalidate();
    if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::Toggle() {
    switch (state_) {
    case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TCustomCheckBox::CMDialogChar(TWMKey& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        Message.Result() = 1;
        return;
    }
    TButtonControl::CMDialogChar(Message);
}

void TCustomCheckBox::Paint() {
    unsigned state = DFCS_BUTTONCHECK;
    if (state_ == cbChecked) state |= DFCS_CHECKED;
    if (state_ == cbGrayed) state |= DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (Pressed()) state |= DFCS_PUSHED;
    if (!Enabled()) state |= DFCS_INACTIVE;
    paintCheckControl(this, Canvas(), alignment_, state, Focused(),
                      [this](TCanvas* c, TRect r, unsigned f) { DrawCaption(c, r, f); });
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 113, 17);
    SetTabStop(false);
}

void TRadioButton::SetAlignment(TAlignment v) {
    if (v == taCenter || alignment_ == v) return;
    alignment_ = v;
    Invalidate();
}

void TRadioButton::SetChecked(bool v) {
    if (checked_ == v) return;
    checked_ = v;
    SetTabStop(v);
    Invalidate();
    if (!v) return;
    if (TWinControl* parent = Parent()) {
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i)))
                if (sibling != this) sibling->SetChecked(false);
    }
    if (!ClicksDisabled()) Click();
}

void TRadioButton::CMDialogChar(TWMKey& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) SetChecked(true);
        Message.Result() = 1;
        return;
    }
    TButtonControl::CMDialogChar(Message);
}

void TRadioButton::Paint() {
    unsigned state = DFCS_BUTTONRADIO;
    if (checked_) state |= DFCS_CHECKED;
    if (Pressed()) state |= DFCS_PUSHED;
    if (!Enabled()) state |= DFCS_INACTIVE;
    paintCheckControl(this, Canvas(), alignment_, state, Focused(),
                      [this](TCanvas* c, TRect r, unsigned f) { DrawCaption(c, r, f); });
}

// --- TCustomGroupBox --------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption |
                    csDoubleClicks | csReplicatable | csParentBackground);
    SetParentColor(true);
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::Paint() {
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(ClientRect());
    int h = c->TextHeight("0");
    // The etched frame: a highlight line under a shadow line, one pixel apart.
    TRect r = Rect(0, h / 2 - 1, Width(), Height());
    r.Left += 1;
    r.Top += 1;
    c->Brush()->SetColor(clBtnHighlight);
    c->FrameRect(r);
    OffsetRect(r, -1, -1);
    c->Brush()->SetColor(clBtnShadow);
    c->FrameRect(r);
    if (!Caption().empty()) {
        TRect tr = Rect(8, 0, 0, h);
        DrawText(c, Caption(), -1, tr, DT_SINGLELINE | DT_CALCRECT);
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        SetBkMode(c, OPAQUE);
        SetBkColor(c, Color());
        if (!Enabled()) c->Font()->SetColor(clGrayText);
        DrawText(c, Caption(), -1, tr, DT_SINGLELINE);
    }
}

void TCustomGroupBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}
