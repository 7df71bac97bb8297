#include "platform/ui/Memo.h"

#include "platform/ui/StdCtrlsInternal.h"
#include "platform/ui/core/WindowFrame.h"

#include <algorithm>

using stdctrls::drawSunkenFrame;
using stdctrls::measureCanvas;

namespace {

// The memo's text as a list of lines: an empty text has none, and a text ending with a line
// break has no empty line after it.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            if (start < text.size()) lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    return text;
}

// The lines of a memo, read from and written to its text.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo* Memo) : memo_(Memo) {}
    int Count() const override { return int(splitLines(memo_->Text()).size()); }
    std::string Get(int index) const override { return lines(index)[std::size_t(index)]; }
    void Put(int index, const std::string& s) override {
        auto l = lines(index);
        l[std::size_t(index)] = s;
        memo_->SetText(joinLines(l));
    }
    TObject* GetObject(int) const override { return nullptr; }
    void PutObject(int, TObject*) override {}
    void Insert(int index, const std::string& s) override {
        auto l = splitLines(memo_->Text());
        if (index < 0 || index > int(l.size())) outOfBounds(index);
        l.insert(l.begin() + index, s);
        memo_->SetText(joinLines(l));
    }
    void Delete(int index) override {
        auto l = lines(index);
        l.erase(l.begin() + index);
        memo_->SetText(joinLines(l));
    }
    void Clear() override { memo_->SetText(""); }

private:
    [[noreturn]] static void outOfBounds(int index) {
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    }
    // The lines, index checked.
    std::vector<std::string> lines(int index) const {
        auto l = splitLines(memo_->Text());
        if (index < 0 || index >= int(l.size())) outOfBounds(index);
        return l;
    }
    TCustomMemo* memo_;
};

} // namespace

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
    SetBounds(Left(), Top(), 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars) return;
    FScrollBars = Value;
    if (!HandleAllocated()) return;
    ShowScrollBar(Handle(), SB_VERT, Value == ssVertical || Value == ssBoth);
    ShowScrollBar(Handle(), SB_HORZ, Value == ssHorizontal || Value == ssBoth);
    updateScrollBar();
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
}

std::vector<TCustomMemo::LineSpan> TCustomMemo::lineSpans() const {
    std::vector<LineSpan> spans;
    const std::u32string& chars = const_cast<TCustomMemo*>(this)->Buffer().Chars();
    int start = 0;
    for (int i = 0; i <= int(chars.size()); ++i) {
        if (i == int(chars.size()) || chars[std::size_t(i)] == U'\n') {
            spans.push_back({start, i - start});
            start = i + 1;
        }
    }
    return spans;
}

int TCustomMemo::lineOf(int Pos) const {
    const auto spans = lineSpans();
    for (int i = 0; i < int(spans.size()); ++i)
        if (Pos <= spans[std::size_t(i)].Start + spans[std::size_t(i)].Length) return i;
    return int(spans.size()) - 1;
}

TPoint TCustomMemo::CaretPos() const {
    const int caret = const_cast<TCustomMemo*>(this)->Buffer().Caret();
    const int line = lineOf(caret);
    return {caret - lineSpans()[std::size_t(line)].Start, line};
}

TRect TCustomMemo::textRect() const {
    TRect r = ClientRect();
    if (BorderStyle() == bsSingle) InflateRect(r, -2, -2);
    r.Left += 1;
    return r;
}

int TCustomMemo::lineHeight() const {
    return std::max(1, stdctrls::fontLineHeight(Font()));
}

int TCustomMemo::VisibleLines() const {
    return std::max(1, textRect().Height() / lineHeight());
}

int TCustomMemo::posAt(TPoint P) const {
    const auto spans = lineSpans();
    const TRect r = textRect();
    const int line = std::clamp(FTopLine + (P.Y - r.Top) / lineHeight(), 0, int(spans.size()) - 1);
    const LineSpan span = spans[std::size_t(line)];
    const std::u32string& chars = const_cast<TCustomMemo*>(this)->Buffer().Chars();
    TCanvas* c = measureCanvas(Font());
    int best = 0, bestDistance = std::abs(P.X - r.Left);
    for (int i = 1; i <= span.Length; ++i) {
        const int w =
            c->TextWidth(Utf32ToUtf8(chars.substr(std::size_t(span.Start), std::size_t(i))));
        const int distance = std::abs(P.X - (r.Left + w));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return span.Start + best;
}

void TCustomMemo::scrollTo(int Line) {
    const int last = std::max(0, int(lineSpans().size()) - VisibleLines());
    Line = std::clamp(Line, 0, last);
    if (Line == FTopLine) return;
    FTopLine = Line;
    updateScrollBar();
    Invalidate();
}

void TCustomMemo::updateScrollBar() {
    if (!HandleAllocated() || !(FScrollBars == ssVertical || FScrollBars == ssBoth)) return;
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = std::max(0, int(lineSpans().size()) - 1);
    info.nPage = UINT(VisibleLines());
    info.nPos = FTopLine;
    SetScrollInfo(Handle(), SB_VERT, &info, true);
}

void TCustomMemo::moveCaret(int Pos, bool Extend) {
    Buffer().MoveCaret(Pos, Extend);
    const int line = CaretPos().Y;
    if (line < FTopLine)
        scrollTo(line);
    else if (line >= FTopLine + VisibleLines())
        scrollTo(line - VisibleLines() + 1);
    PeerChanged(pcSelection);
    Invalidate();
}

void TCustomMemo::Change() {
    // The caret stays in sight whatever changed the text.
    moveCaret(Buffer().Caret(), true);
    updateScrollBar();
    TCustomEdit::Change();
}

bool TCustomMemo::handleKey(WORD Key) {
    const TShiftState shift = KeyboardStateToShiftState();
    const bool extend = shift.Contains(ssShift), ctrl = shift.Contains(ssCtrl);
    const auto spans = lineSpans();
    const TPoint at = CaretPos();
    const LineSpan line = spans[std::size_t(at.Y)];
    TCanvas* c = measureCanvas(Font());
    const std::u32string& chars = Buffer().Chars();
    auto columnX = [&](const LineSpan& s, int column) {
        return c->TextWidth(Utf32ToUtf8(chars.substr(std::size_t(s.Start), std::size_t(column))));
    };
    // The position on another line nearest to the goal column.
    auto onLine = [&](int target) {
        target = std::clamp(target, 0, int(spans.size()) - 1);
        if (FGoalX < 0) FGoalX = columnX(line, at.X);
        const TRect r = textRect();
        return posAt({r.Left + FGoalX, r.Top + (target - FTopLine) * lineHeight()});
    };
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
        const int page = VisibleLines();
        const int target = Key == VK_UP      ? at.Y - 1
                           : Key == VK_DOWN  ? at.Y + 1
                           : Key == VK_PRIOR ? at.Y - page
                                             : at.Y + page;
        const int clamped = std::clamp(target, 0, int(spans.size()) - 1);
        if (clamped < FTopLine) scrollTo(clamped);
        if (clamped >= FTopLine + page) scrollTo(clamped - page + 1);
        moveCaret(onLine(clamped), extend);
        return true;
    }
    case VK_HOME:
        moveCaret(ctrl ? 0 : line.Start, extend);
        break;
    case VK_END:
        moveCaret(ctrl ? Buffer().Length() : line.Start + line.Length, extend);
        break;
    default:
        return false;
    }
    FGoalX = -1;
    return true;
}

void TCustomMemo::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        TCustomEdit::Dispatch(Message);
        if (FWantReturns) Message.Result |= DLGC_WANTALLKEYS;
        return;
    case WM_KEYDOWN: {
        const WORD key = WORD(Message.WParam);
        TCustomEdit::Dispatch(Message);
        // Any other key ends a run of Up and Down.
        if (key != VK_UP && key != VK_DOWN && key != VK_PRIOR && key != VK_NEXT) FGoalX = -1;
        return;
    }
    case WM_VSCROLL: {
        const TWMScroll scroll(Message);
        switch (scroll.ScrollCode()) {
        case SB_LINEUP:
            scrollTo(FTopLine - 1);
            break;
        case SB_LINEDOWN:
            scrollTo(FTopLine + 1);
            break;
        case SB_PAGEUP:
            scrollTo(FTopLine - VisibleLines());
            break;
        case SB_PAGEDOWN:
            scrollTo(FTopLine + VisibleLines());
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO info;
            info.fMask = SIF_TRACKPOS;
            if (GetScrollInfo(Handle(), SB_VERT, &info)) scrollTo(info.nTrackPos);
            break;
        }
        default:
            break;
        }
        return;
    }
    case WM_SIZE:
        TCustomEdit::Dispatch(Message);
        updateScrollBar();
        return;
    default:
        TCustomEdit::Dispatch(Message);
    }
}

void TCustomMemo::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CHAR:
        if (Message.WParam == 13) {
            if (FWantReturns && !ReadOnly()) SetSelText("\n");
            return;
        }
        TCustomEdit::DefaultHandler(Message);
        return;
    case WM_KEYDOWN:
        if (!handleKey(WORD(Message.WParam))) TCustomEdit::DefaultHandler(Message);
        return;
    case WM_LBUTTONDOWN:
        if (CanFocus() && !Focused()) SetFocus();
        moveCaret(posAt(LParamToPoint(Message.LParam)), (Message.WParam & MK_SHIFT) != 0);
        FMouseSelecting = true;
        FGoalX = -1;
        return;
    case WM_MOUSEMOVE:
        if (FMouseSelecting && (Message.WParam & MK_LBUTTON))
            moveCaret(posAt(LParamToPoint(Message.LParam)), true);
        return;
    case WM_LBUTTONUP:
        FMouseSelecting = false;
        return;
    default:
        TCustomEdit::DefaultHandler(Message);
    }
}

void TCustomMemo::PaintWindow(HDC DC) {
    const TRect inner = drawSunkenFrame(DC, ClientRect(), BorderStyle());
    FillRect(DC, inner, Enabled() ? Color() : clBtnFace);
    TCanvas* c = DC;
    c->Font()->Assign(Font());
    if (!Enabled()) c->Font()->SetColor(clGrayText);
    const TRect r = textRect();
    const int h = lineHeight();
    const std::u32string shown = Utf8ToUtf32(DisplayText());
    const int selStart = SelStart(), selEnd = SelStart() + SelLength();
    const bool showSelection = selEnd > selStart && (Focused() || !HideSelection());
    const int caret = Buffer().Caret();
    const auto spans = lineSpans();
    SaveDC(DC);
    IntersectClipRect(DC, r.Left, r.Top, r.Right, r.Bottom);
    SetBkMode(DC, TRANSPARENT);
    for (int i = FTopLine; i < int(spans.size()); ++i) {
        const int y = r.Top + (i - FTopLine) * h;
        if (y >= r.Bottom) break;
        const LineSpan s = spans[std::size_t(i)];
        auto piece = [&](int from, int to) {
            return Utf32ToUtf8(
                shown.substr(std::size_t(from), std::size_t(std::max(0, to - from))));
        };
        const int end = s.Start + s.Length;
        const int a = std::clamp(selStart, s.Start, end), b = std::clamp(selEnd, s.Start, end);
        c->TextOut(r.Left, y, piece(s.Start, end));
        if (showSelection && b > a) {
            const int x = r.Left + c->TextWidth(piece(s.Start, a));
            const std::string selected = piece(a, b);
            const int w = c->TextWidth(selected);
            FillRect(DC, Rect(x, y, x + w, y + h), clHighlight);
            c->Font()->SetColor(clHighlightText);
            SetBkMode(DC, TRANSPARENT);
            c->TextOut(x, y, selected);
            c->Font()->SetColor(Font()->Color());
            SetBkMode(DC, TRANSPARENT);
        }
        if (Focused() && !showSelection && caret >= s.Start && caret <= end) {
            const int x = r.Left + c->TextWidth(piece(s.Start, caret));
            FillRect(DC, Rect(x, y, x + 1, y + h), c->Font()->Color());
        }
    }
    RestoreDC(DC, -1);
}
