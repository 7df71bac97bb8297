#include "platform/ui/StdCtrls.h"

#include "platform/ui/StdCtrlsInternal.h"
#include "platform/ui/core/Clipbrd.h"

#include <algorithm>

using namespace stdctrls;

namespace {

bool isWordChar(char32_t c) {
    return c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           c >= 0x80;
}

} // namespace

// --- TextEditBuffer ---------------------------------------------------------------------------

std::string TextEditBuffer::Text() const {
    return Utf32ToUtf8(text_);
}

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

TCustomLabel::~TCustomLabel() {
    SetFocusControl(nullptr);
}

void TCustomLabel::SetAlignment(TAlignment v) {
    setAndRepaint(this, alignment_, v);
}

void TCustomLabel::SetLayout(TTextLayout v) {
    setAndRepaint(this, layout_, v);
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
    if (alignment_ == taRightJustify)
        flags |= DT_RIGHT;
    else if (alignment_ == taCenter)
        flags |= DT_CENTER;
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
    const std::string edit = EditFromText(v);
    if (v == Text() && edit == buffer_.Text()) return;
    buffer_.SetText(edit);
    TWinControl::SetText(TextFromEdit(edit));
    PeerChanged(pcSelection);
    Invalidate();
    notifyParent(this, EN_CHANGE);
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
    Perform(CM_BORDERCHANGED);
    Invalidate();
}

void TCustomEdit::SetAlignment(TAlignment v) {
    if (alignment_ == v) return;
    alignment_ = v;
    PeerChanged(pcStyle);
    Invalidate();
}

void TCustomEdit::SetHideSelection(bool v) {
    setAndRepaint(this, hideSelection_, v);
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
    if (passwordChar_ == 0) return buffer_.Text();
    return Utf32ToUtf8(std::u32string(std::size_t(buffer_.Length()), passwordChar_));
}

void TCustomEdit::PeerSelectionChanged(int anchor, int caret) {
    buffer_.SetSelection(anchor, caret);
    Invalidate();
}

void TCustomEdit::PeerTextEdited(const std::string& text, int anchor, int caret) {
    if (text == buffer_.Text()) {
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
    TWinControl::SetText(TextFromEdit(buffer_.Text()));
    PeerChanged(pcSelection);
    Invalidate();
    notifyParent(this, EN_CHANGE);
}

void TCustomEdit::typeChars(const std::u32string& s) {
    if (readOnly_) return;
    if (buffer_.Replace(applyCase(s), maxLength_))
        editChanged();
    else
        MessageBeep(0);
}

TRect TCustomEdit::FormatRect() const {
    if (!formatRect_.IsEmpty()) return formatRect_;
    TRect r = ClientRect();
    if (borderStyle_ == bsSingle) r = {r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
    ++r.Left;
    return r;
}

int TCustomEdit::CharFromPos(int x) {
    TCanvas* c = measureCanvas(Font());
    std::u32string shown = Utf8ToUtf32(DisplayText());
    const int left = textLeft(c->TextWidth(Utf32ToUtf8(shown)));
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
        if (!extend && buffer_.SelLength() > 0)
            caret = buffer_.SelStart() + buffer_.SelLength() - 1;
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
        } else if (isClipboardChar(c)) {
            if (!paintsItself())
                TWinControl::DefaultHandler(Message);
            else if (c != 26)
                Perform(c == 3 ? WM_COPY : c == 22 ? WM_PASTE : WM_CUT);
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
        if (!paintsItself()) break;
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
    case EM_GETRECT:
        if (Message.LParam) *reinterpret_cast<TRect*>(Message.LParam) = FormatRect();
        return;
    case EM_SETRECT:
    case EM_SETRECTNP:
        formatRect_ = Message.LParam ? *reinterpret_cast<const TRect*>(Message.LParam) : TRect{};
        PeerChanged(pcStyle);
        if (Message.Msg == EM_SETRECT) Invalidate();
        return;
    case WM_COPY:
        if (buffer_.SelLength() > 0 && passwordChar_ == 0) Clipboard()->SetAsText(SelText());
        return;
    case WM_CUT:
        if (readOnly_ || buffer_.SelLength() == 0 || passwordChar_ != 0) return;
        Clipboard()->SetAsText(SelText());
        ClearSelection();
        return;
    case WM_PASTE:
        if (!readOnly_ && Clipboard()->HasFormat(CF_TEXT)) {
            std::u32string text = Utf8ToUtf32(Clipboard()->AsText());
            // A single-line edit takes the text up to its first line break.
            text = text.substr(0, text.find_first_of(U"\r\n"));
            typeChars(text);
        }
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
        if (Message.Msg == WM_SETFOCUS) caretHidden_ = false;
        TWinControl::Dispatch(Message);
        Invalidate();
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}

namespace {
TCustomEdit* caretOwner(HWND hWnd) {
    return dynamic_cast<TCustomEdit*>(FindControl(hWnd));
}
} // namespace

bool HideCaret(HWND hWnd) {
    TCustomEdit* edit = caretOwner(hWnd);
    if (!edit) return false;
    edit->caretHidden_ = true;
    edit->Invalidate();
    return true;
}

bool ShowCaret(HWND hWnd) {
    TCustomEdit* edit = caretOwner(hWnd);
    if (!edit) return false;
    edit->caretHidden_ = false;
    edit->Invalidate();
    return true;
}

void TCustomEdit::DoEnter() {
    if (autoSelect_ && !(ControlState() & csLButtonDown)) SelectAll();
    TWinControl::DoEnter();
}

int TCustomEdit::textLeft(int textWidth) const {
    const TRect r = FormatRect();
    switch (alignment_) {
    case taRightJustify:
        return std::max(r.Left, r.Right - textWidth);
    case taCenter:
        return std::max(r.Left, r.Left + (r.Width() - textWidth) / 2);
    default:
        return r.Left;
    }
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
    const TRect text = FormatRect();
    const int lineHeight = c->TextHeight("Wg");
    int x = textLeft(c->TextWidth(Utf32ToUtf8(shown)));
    int y = text.Top + std::max(0, (text.Height() - lineHeight) / 2);
    int selStart = buffer_.SelStart(), selEnd = selStart + buffer_.SelLength();
    bool showSel = selEnd > selStart && (Focused() || !hideSelection_);
    SaveDC(DC);
    // Clipped to the formatting rectangle and to the frame.
    IntersectClipRect(DC, std::max(text.Left, inner.Left), std::max(text.Top, inner.Top),
                      std::min(text.Right, inner.Right), std::min(text.Bottom, inner.Bottom));
    if (paintsItself() && Focused() && !showSel && !caretHidden_) {
        const int cx = x + c->TextWidth(Utf32ToUtf8(shown.substr(0, std::size_t(buffer_.Caret()))));
        FillRect(DC, Rect(cx, y, cx + 1, y + lineHeight), c->Font()->Color());
    }
    SetBkMode(DC, TRANSPARENT);
    std::string before =
        Utf32ToUtf8(shown.substr(0, std::size_t(showSel ? selStart : shown.size())));
    c->TextOut(x, y, before);
    if (showSel) {
        int sx = x + c->TextWidth(before);
        std::string sel =
            Utf32ToUtf8(shown.substr(std::size_t(selStart), std::size_t(selEnd - selStart)));
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
