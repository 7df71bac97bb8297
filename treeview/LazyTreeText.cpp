// The string tree's texts: fetched from the events, measured (widths cached per node, heights
// of multi-line nodes), shortened with an ellipsis and drawn in the tree's colours.
#include "platform/base/SysUtils.h"
#include "treeview/LazyTree.h"
#include "treeview/LazyTreeUtils.h"

#include <algorithm>

namespace {

unsigned alignmentFlag(TAlignment a) {
    switch (a) {
    case taRightJustify:
        return DT_RIGHT;
    case taCenter:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

// While it lives, a change of Canvas's font sets Changed before the font's own handler runs.
class FontHook {
public:
    FontHook(TCanvas* Canvas, bool& Changed) : font_(Canvas->Font()), saved_(font_->OnChange) {
        font_->OnChange = [this, &Changed](TObject* Sender) {
            Changed = true;
            if (saved_) saved_(Sender);
        };
    }
    ~FontHook() { font_->OnChange = saved_; }
    FontHook(const FontHook&) = delete;
    FontHook& operator=(const FontHook&) = delete;

private:
    TFont* font_;
    TNotifyEvent saved_;
};

} // namespace

// --- texts ------------------------------------------------------------------------------------

void TCustomLazyStringTree::FireGetText(TVSTGetCellTextEventArgs& E) {
    if (E.Node != RootNode()) ValidateNode(E.Node, false);
    if (OnGetCellText) {
        OnGetCellText(this, E);
    } else if (OnGetText) {
        OnGetText(this, E.Node, E.Column, ttNormal, E.CellText);
        OnGetText(this, E.Node, E.Column, ttStatic, E.StaticText);
    }
}

std::string TCustomLazyStringTree::GetText(PLazyNode Node, int Column) {
    if (!Node) throw EAssertionFailed("Node must not be nil.");
    TVSTGetCellTextEventArgs e;
    e.Node = Node;
    e.Column = Column;
    e.CellText = FDefaultText;
    FireGetText(e);
    return e.CellText;
}

std::string TCustomLazyStringTree::GetStaticText(PLazyNode Node, int Column) {
    if (!Node) throw EAssertionFailed("Node must not be nil.");
    TVSTGetCellTextEventArgs e;
    e.Node = Node;
    e.Column = Column;
    FireGetText(e);
    return e.StaticText;
}

void TCustomLazyStringTree::SetText(PLazyNode Node, int Column, const std::string& Value) {
    FireNewText(Node, Column, Value);
    InvalidateNode(Node);
}

void TCustomLazyStringTree::FireNewText(PLazyNode Node, int Column, const std::string& Text) {
    if (OnNewText) OnNewText(this, Node, Column, Text);
    if (!TreeStates().Contains(tsUpdating)) UpdateHorizontalScrollBar(false);
}

void TCustomLazyStringTree::SetDefaultText(const std::string& Value) {
    if (Value == FDefaultText) return;
    FDefaultText = Value;
    if (!IsLoading()) InvalidateWhenShown();
}

bool TCustomLazyStringTree::FireGetCellIsEmpty(PLazyNode Node, int Column) {
    if (!GetText(Node, Column).empty()) return false;
    return TBaseLazyTree::FireGetCellIsEmpty(Node, Column);
}

// --- measuring --------------------------------------------------------------------------------

void TCustomLazyStringTree::FirePaintText(TCanvas* Canvas, PLazyNode Node, int Column,
                                          TVSTTextType TextType) {
    if (OnPaintText) OnPaintText(this, Canvas, Node, Column, TextType);
}

void TCustomLazyStringTree::measureFont() {
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    FTextHeight = canvas->TextHeight("Wg");
    FEllipsisWidth = canvas->TextWidth("...");
    FFontMeasured = true;
}

int TCustomLazyStringTree::EllipsisWidth() {
    if (!FFontMeasured) measureFont();
    return FEllipsisWidth;
}

int TCustomLazyStringTree::TextHeight() {
    if (!FFontMeasured) measureFont();
    return FTextHeight;
}

TSize TCustomLazyStringTree::MeasureCellText(TCanvas* Canvas, PLazyNode Node, int Column,
                                             const std::string& Text) {
    TSize size = Canvas->TextExtent(Text);
    if (Node->States.Contains(vsMultiline)) {
        TRect r(0, 0, size.cx, 2147483647);
        DrawText(Canvas, Text, -1, r,
                 DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_END_ELLIPSIS |
                     alignmentFlag(Alignment()) | (UseRightToLeftReading() ? DT_RTLREADING : 0));
        size.cx = r.Right - r.Left;
    }
    if (OnMeasureTextWidth) OnMeasureTextWidth(this, Canvas, Node, Column, Text, size.cx);
    if (OnMeasureTextHeight) OnMeasureTextHeight(this, Canvas, Node, Column, Text, size.cy);
    return size;
}

int TCustomLazyStringTree::MeasureTextWidth(TCanvas* Canvas, PLazyNode Node, int Column,
                                            const std::string& Text) {
    int width = 2 * TextMargin();
    if (Text.empty()) return width;
    Canvas->Font()->Assign(Font());
    FirePaintText(Canvas, Node, Column, ttNormal);
    return width + MeasureCellText(Canvas, Node, Column, Text).cx;
}

int TCustomLazyStringTree::MeasureStaticTextWidth(TCanvas* Canvas, PLazyNode Node, int Column,
                                                  const std::string& Text) {
    if (Text.empty() || Alignment() == taCenter || Node->States.Contains(vsMultiline)) return 0;
    Canvas->Font()->Assign(Font());
    FirePaintText(Canvas, Node, Column, ttStatic);
    return TextMargin() + MeasureCellText(Canvas, Node, Column, Text).cx;
}

int TCustomLazyStringTree::QueryNodeWidth(PLazyNode Node, int Column, TCanvas* Canvas) {
    if (!Canvas) Canvas = this->Canvas();
    if (Column != NoColumn && Column != MainColumn())
        return MeasureTextWidth(Canvas, Node, Column, GetText(Node, Column));
    std::uint32_t& cached = CachedTextWidth(Node);
    if (cached == 0)
        cached = std::uint32_t(MeasureTextWidth(Canvas, Node, Column, GetText(Node, Column)));
    return int(cached);
}

int TCustomLazyStringTree::QueryNodeExtraWidth(PLazyNode Node, int Column, TCanvas* Canvas) {
    if (!TreeOptions()->StringOptions().Contains(toShowStaticText)) return 0;
    if (!Canvas) Canvas = this->Canvas();
    return MeasureStaticTextWidth(Canvas, Node, Column, GetStaticText(Node, Column));
}

int TCustomLazyStringTree::ComputeNodeHeight(TCanvas* Canvas, PLazyNode Node, int Column,
                                             std::string S) {
    if (S.empty()) S = GetText(Node, Column);
    const bool multiline = Node->States.Contains(vsMultiline);
    unsigned format = DT_CALCRECT | DT_NOPREFIX |
                      (multiline ? DT_WORDBREAK | DT_EDITCONTROL : DT_VCENTER | DT_SINGLELINE);
    if (CellBiDiMode(Column) != bdLeftToRight) format |= DT_RIGHT | DT_RTLREADING;
    TRect r(0, 0, ClientWidth(), 0);
    DrawText(Canvas, S, -1, r, format);
    return r.Bottom - r.Top;
}

TRect TCustomLazyStringTree::InvalidateNode(PLazyNode Node) {
    if (Node && Node != RootNode()) {
        CachedTextWidth(Node) = 0;
        Node->States.Exclude(vsHeightMeasured);
    }
    return TBaseLazyTree::InvalidateNode(Node);
}

void TCustomLazyStringTree::CMFontChanged(TMessage& Message) {
    TBaseLazyTree::CMFontChanged(Message);
    FFontMeasured = false;
    // Every cached width is measured again when it is next needed.
    for (PLazyNode n = GetFirstNoInit(); n; n = GetNextNoInit(n)) CachedTextWidth(n) = 0;
}

// --- painting ---------------------------------------------------------------------------------

void TCustomLazyStringTree::PrepareTextFont(TLTPaintInfo& PaintInfo) {
    TCanvas* canvas = PaintInfo.Canvas;
    canvas->Font()->Assign(Font());
    canvas->Font()->SetColor(Enabled() ? Colors()->NodeFontColor() : Colors()->DisabledColor());
    const TLTPaintOptions paint = TreeOptions()->PaintOptions();
    if (paint.Contains(toHotTrack) && PaintInfo.Node == HotNode() &&
        !TreeStates().Contains(tsUseExplorerTheme)) {
        TFontStyles style = canvas->Font()->Style();
        style.Include(fsUnderline);
        canvas->Font()->SetStyle(style);
        canvas->Font()->SetColor(Colors()->HotColor());
    }
    if (PaintInfo.PaintOptions.Contains(poDrawSelection) &&
        (PaintInfo.Column == FocusedColumn() ||
         TreeOptions()->SelectionOptions().Contains(toFullRowSelect)) &&
        !TreeStates().Contains(tsUseExplorerTheme) && PaintInfo.Node->States.Contains(vsSelected) &&
        (Focused() || paint.Contains(toPopupMode)))
        canvas->Font()->SetColor(Colors()->SelectionTextColor());
}

std::string TCustomLazyStringTree::FireShortenString(TCanvas* Canvas, PLazyNode Node, int Column,
                                                     const std::string& S, int TextSpace,
                                                     int EllipsisWidth) {
    std::string result;
    bool done = false;
    if (OnShortenString) OnShortenString(this, Canvas, Node, Column, S, TextSpace, result, done);
    if (!done) result = ShortenToWidth(Canvas, S, TextSpace, EllipsisWidth);
    return result;
}

void TCustomLazyStringTree::FireDrawText(TLTPaintInfo& PaintInfo, const std::string& Text, TRect R,
                                         unsigned Format) {
    bool defaultDraw = true;
    if (OnDrawText)
        OnDrawText(this, PaintInfo.Canvas, PaintInfo.Node, PaintInfo.Column, Text, R, defaultDraw);
    if (defaultDraw) DrawText(PaintInfo.Canvas, Text, -1, R, Format);
}

void TCustomLazyStringTree::PaintCellText(TLTPaintInfo& PaintInfo, const std::string& Text,
                                          bool& FontChanged) {
    TCanvas* canvas = PaintInfo.Canvas;
    PrepareTextFont(PaintInfo);
    TRect r = PaintInfo.ContentRect;
    r.Left += TextMargin();
    r.Right -= TextMargin();
    canvas->SetTextFlags(0);
    const unsigned rtlReading = PaintInfo.BidiMode != bdLeftToRight ? DT_RTLREADING : 0;
    std::string text = Text;
    unsigned format;
    if (PaintInfo.Node->States.Contains(vsMultiline)) {
        FirePaintText(canvas, PaintInfo.Node, PaintInfo.Column, ttNormal);
        const int height = ComputeNodeHeight(canvas, PaintInfo.Node, PaintInfo.Column);
        format = alignmentFlag(PaintInfo.Alignment) | DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL |
                 DT_END_ELLIPSIS | rtlReading;
        if (height < r.Bottom - r.Top) {
            const int shrink = (r.Bottom - r.Top - height) / 2;
            r.Top += shrink;
            r.Bottom = r.Top + height;
        }
    } else {
        FontChanged = false;
        int ellipsis = EllipsisWidth();
        FirePaintText(canvas, PaintInfo.Node, PaintInfo.Column, ttNormal);
        if (FontChanged) {
            ellipsis = 0;
            PaintInfo.NodeWidth = 2 * TextMargin() + canvas->TextWidth(Text);
        }
        format = DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE | rtlReading;
        // Without header columns a text is never shortened.
        format |= alignmentFlag(PaintInfo.Alignment);
        (void)ellipsis;
    }
    SetBkMode(canvas, canvas->TextFlags() & ETO_OPAQUE ? OPAQUE : TRANSPARENT);
    FireDrawText(PaintInfo, text, r, format);
}

void TCustomLazyStringTree::PaintCellStaticText(TLTPaintInfo& PaintInfo, const std::string& Text) {
    TCanvas* canvas = PaintInfo.Canvas;
    canvas->Font()->Assign(Font());
    const PLazyNode node = PaintInfo.Node;
    const TLTPaintOptions paint = TreeOptions()->PaintOptions();
    if (TreeOptions()->SelectionOptions().Contains(toFullRowSelect) &&
        node->States.Contains(vsSelected) && (Focused() || paint.Contains(toPopupMode)))
        canvas->Font()->SetColor(Colors()->SelectionTextColor());
    else
        canvas->Font()->SetColor(Colors()->NodeFontColor());
    canvas->SetTextFlags(0);
    FirePaintText(canvas, node, PaintInfo.Column, ttStatic);
    if (node->States.Contains(vsDisabled) || !Enabled())
        canvas->Font()->SetColor(Colors()->DisabledColor());
    TRect r = PaintInfo.ContentRect;
    if (PaintInfo.Alignment == taRightJustify)
        r.Right -= PaintInfo.NodeWidth + TextMargin();
    else
        r.Left += PaintInfo.NodeWidth + TextMargin();
    SetBkMode(canvas, canvas->TextFlags() & ETO_OPAQUE ? OPAQUE : TRANSPARENT);
    DrawText(canvas, Text, -1, r, DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE);
}

void TCustomLazyStringTree::PaintNodeContent(TLTPaintInfo& PaintInfo) {
    bool fontChanged = false;
    FontHook hook(PaintInfo.Canvas, fontChanged);
    TVSTGetCellTextEventArgs e;
    e.Node = PaintInfo.Node;
    e.Column = PaintInfo.Column;
    e.CellText = FDefaultText;
    FireGetText(e);
    if (!e.CellText.empty()) PaintCellText(PaintInfo, e.CellText, fontChanged);
    if (Alignment() != taCenter && !PaintInfo.Node->States.Contains(vsMultiline) &&
        TreeOptions()->StringOptions().Contains(toShowStaticText) && !e.StaticText.empty())
        PaintCellStaticText(PaintInfo, e.StaticText);
}

std::string TCustomLazyStringTree::Path(PLazyNode Node, int Column, char Delimiter) {
    if (!Node || Node == RootNode()) return std::string(1, Delimiter);
    std::string result;
    for (PLazyNode n = Node; n != RootNode(); n = n->Parent)
        result = GetText(n, Column) + Delimiter + result;
    return result;
}
