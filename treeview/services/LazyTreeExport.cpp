#include "treeview/services/LazyTreeExport.h"

#include "grid/core/base/GridUtils.h"
#include "platform/base/FormatSettings.h"
#include "platform/files/Files.h"
#include "platform/ui/core/DragDrop.h"
#include "treeview/LazyTreeClipboard.h"
#include "treeview/services/FontWatch.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

// The export's way into the string tree's protected text and operation calls.
struct TLazyTreeExport {
    using Tree = TCustomLazyStringTree;
    static void getText(Tree* T, TVSTGetCellTextEventArgs& E, PLazyNode Node, int Column) {
        E.Node = Node;
        E.Column = Column;
        E.CellText = T->DefaultText();
        E.StaticText.clear();
        T->FireGetText(E);
    }
    static void paintText(Tree* T, PLazyNode Node, int Column, TVSTTextType Type) {
        T->FirePaintText(T->Canvas(), Node, Column, Type);
    }
    static void start(Tree* T) { T->StartOperation(okExport); }
    static void end(Tree* T) { T->EndOperation(okExport); }
};

namespace {

using Access = TLazyTreeExport;

// Closes the export's operation bracket on every way out.
class TExportOperation {
public:
    explicit TExportOperation(TCustomLazyStringTree* Tree) : FTree(Tree) { Access::start(Tree); }
    ~TExportOperation() { Access::end(FTree); }
    TExportOperation(const TExportOperation&) = delete;
    TExportOperation& operator=(const TExportOperation&) = delete;

private:
    TCustomLazyStringTree* FTree;
};

std::vector<TColumnIndex> visibleColumns(TCustomLazyStringTree* Tree) {
    std::vector<TColumnIndex> out;
    TLazyTreeColumns* columns = Tree->Header()->Columns();
    for (TColumnIndex i : columns->PositionToIndex())
        if (columns->Items(i)->Options().Contains(coVisible)) out.push_back(i);
    return out;
}

bool passesExportMode(TCustomLazyStringTree* Tree, PLazyNode Node) {
    switch (Tree->TreeOptions()->ExportMode()) {
    case emChecked:
        return Node->CheckState == csCheckedNormal;
    case emUnchecked:
        return Node->CheckState == csUncheckedNormal;
    case emVisibleDueToExpansion: {
        PLazyNode parent = Tree->NodeParent(Node);
        return !parent || Tree->Expanded(parent);
    }
    case emSelected:
        return Tree->Selected(Node);
    case emAll:
        break;
    }
    return true;
}

// Calls Visit for each node of Source (filtered by the export mode when Filtered) until the
// operation is cancelled.
template <class F>
void walk(TCustomLazyStringTree* Tree, TVSTTextSourceType Source, bool Filtered, F Visit) {
    TLTNextNodeOfSource next;
    for (PLazyNode n = Tree->FirstNodeOfSource(Source, next); n && !Tree->OperationCanceled();
         n = next(n))
        if (!Filtered || passesExportMode(Tree, n)) Visit(n);
}

std::uint32_t deepestLevel(TCustomLazyStringTree* Tree, TVSTTextSourceType Source, bool Filtered) {
    std::uint32_t deepest = 0;
    walk(Tree, Source, Filtered,
         [&](PLazyNode n) { deepest = std::max(deepest, Tree->GetNodeLevel(n)); });
    return deepest;
}

TLazyTreeColumn* columnOf(TCustomLazyStringTree* Tree, int Column) {
    return Column >= 0 ? Tree->Header()->Columns()->Items(Column) : nullptr;
}

bool showsStatic(TCustomLazyStringTree* Tree, const TVSTGetCellTextEventArgs& E) {
    return !E.StaticText.empty() && Tree->TreeOptions()->StringOptions().Contains(toShowStaticText);
}

// --- HTML ----------------------------------------------------------------------------------

void appendEscaped(TBufferedString& Out, const std::string& Text) {
    std::string s;
    s.reserve(Text.size());
    for (char c : Text) {
        switch (c) {
        case '&':
            s += "&amp;";
            break;
        case '<':
            s += "&lt;";
            break;
        case '>':
            s += "&gt;";
            break;
        case '"':
            s += "&quot;";
            break;
        default:
            s += c;
        }
    }
    Out.Add(s);
}

std::string htmlColor(TColor Color) {
    return "#" + ColorToHTMLHex(Color);
}

void appendFontStyle(TBufferedString& Out, const std::string& Name, TFont* Font) {
    Out.Add(Name.empty() ? std::string(" style=\"{") : "." + Name + "{");
    Out.Add(Format("font-family: '%s'; ", Font->Name()));
    if (Font->Size() < 0)
        Out.Add(Format("font-size: %dpx; ", Font->Height()));
    else
        Out.Add(Format("font-size: %dpt; ", Font->Size()));
    const TFontStyles style = Font->Style();
    Out.Add(Format("font-style: %s; ", style.Contains(fsItalic) ? "italic" : "normal"));
    Out.Add(Format("font-weight: %s; ", style.Contains(fsBold) ? "bold" : "normal"));
    Out.Add(Format("text-decoration: %s; ", style.Contains(fsUnderline) ? "underline" : "none"));
    Out.Add("color: " + htmlColor(Font->Color()) + ";}");
    if (Name.empty()) Out.Add("\"");
}

const char* htmlAlign(TAlignment A) {
    return A == taRightJustify ? " align=right" : A == taCenter ? " align=center" : " align=left";
}

} // namespace

std::string ExportHtml(TCustomLazyStringTree* Tree, TVSTTextSourceType Source,
                       const std::string& Caption) {
    TExportOperation operation(Tree);
    TBufferedString out;
    TVSTGetCellTextEventArgs e;
    e.ExportType = etHTML;
    TCanvas* canvas = Tree->Canvas();
    TFontChangeWatch watch(canvas->Font());
    TLTHeader* header = Tree->Header();
    const std::vector<TColumnIndex> columns = visibleColumns(Tree);
    const bool useColumns = header->UseColumns();
    const int main = Tree->MainColumn();

    const std::string padding =
        Format("padding-left: %dpx; padding-right: %0:dpx;", Tree->Margin());
    const std::string indent = std::to_string(Tree->Indent());
    std::string attributes = " ";
    if (!Caption.empty()) {
        TBufferedString caption;
        appendEscaped(caption, Caption);
        attributes += "caption=\"" + caption.AsString() + "\"";
    }
    if (Tree->BorderStyle() != bsNone)
        attributes += Format(" border=\"%d\" frame=box", Tree->BorderWidth() + 1);

    out.Add("<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
    out.Add("<style type=\"text/css\">");
    out.AddNewLine();
    appendFontStyle(out, "default", Tree->Font());
    out.AddNewLine();
    appendFontStyle(out, "header", header->Font());
    out.AddNewLine();
    const TLTPaintOptions paint = Tree->TreeOptions()->PaintOptions();
    const std::string line = Tree->LineStyle() == lsSolid ? "solid;" : "dotted;";
    if (paint.Contains(toShowHorzGridLines))
        out.Add(".noborder{ border-bottom:1px; border-left: 0px; border-right: 0px; border-top: "
                "1px;border-style:" +
                line);
    else
        out.Add(".noborder{border-style: none;");
    out.Add(padding + "}");
    out.AddNewLine();
    out.Add(".normalborder {vertical-align: top; ");
    out.Add(paint.Contains(toShowVertGridLines) ? "border-right: 1px; border-left: 1px; "
                                                : "border-right: none; border-left:none; ");
    out.Add(paint.Contains(toShowHorzGridLines) ? "border-top: 1px; border-bottom: 1px; "
                                                : "border-top:none; border-bottom: none;");
    out.Add("border-width: thin; border-style: " + line + padding + "}");
    out.Add("</style>");
    out.AddNewLine();
    out.Add("<table class=\"default\" style=\"border-collapse: collapse;\" bgcolor=" +
            htmlColor(Tree->Color()) + attributes + " cellspacing=\"0\">");
    out.AddNewLine();

    const std::uint32_t deepest = deepestLevel(Tree, Source, true);
    if (useColumns) {
        if (Tree->OnBeforeHeaderExport) Tree->OnBeforeHeaderExport(Tree, etHTML);
        out.Add("<tr class=\"header\" style=\"" + padding + "\">");
        out.AddNewLine();
        for (TColumnIndex c : columns) {
            TLazyTreeColumn* column = columnOf(Tree, c);
            if (Tree->OnBeforeColumnExport) Tree->OnBeforeColumnExport(Tree, etHTML, c);
            out.Add(Format("<th height=\"%dpx\"", header->Height()));
            if (column->BiDiMode() != bdLeftToRight) out.Add(" dir=\"rtl\"");
            out.Add(htmlAlign(BiDiAlignment(column->CaptionAlignment(), column->BiDiMode())));
            if (deepest > 0 && c == main) out.Add(Format(" colspan=\"%d\"", deepest + 1));
            out.Add(" bgcolor=" + htmlColor(clBtnFace));
            out.Add(Format(" width=\"%dpx\">", column->Width()));
            appendEscaped(out, column->Text());
            out.Add("</th>");
            if (Tree->OnAfterColumnExport) Tree->OnAfterColumnExport(Tree, etHTML, c);
        }
        out.Add("</tr>");
        out.AddNewLine();
        if (Tree->OnAfterHeaderExport) Tree->OnAfterHeaderExport(Tree, etHTML);
    }

    const std::vector<TColumnIndex> cells =
        useColumns ? columns : std::vector<TColumnIndex>{TBaseLazyTree::NoColumn};
    walk(Tree, Source, true, [&](PLazyNode node) {
        if (Tree->OnBeforeNodeExport && !Tree->OnBeforeNodeExport(Tree, etHTML, node)) return;
        const std::uint32_t level = Tree->GetNodeLevel(node);
        const std::string height = std::to_string(Tree->NodeHeight(node));
        out.Add(" <tr class=\"default\">");
        out.AddNewLine();
        for (TColumnIndex c : cells) {
            TLazyTreeColumn* column = columnOf(Tree, c);
            canvas->Font()->Assign(Tree->Font());
            watch.Reset();
            Access::paintText(Tree, node, c, ttNormal);
            if (c == main) {
                if (!column || column->Options().Contains(coParentColor)) {
                    for (std::uint32_t i = 0; i < level; ++i)
                        out.Add(i == 0 ? " <td height=\"" + height +
                                             "px\" class=\"normalborder\">&nbsp;</td>"
                                       : std::string(" <td>&nbsp;</td>"));
                } else {
                    for (std::uint32_t i = 0; i < level; ++i)
                        out.Add("<td class=\"noborder\" width=\"" + indent + "\" height=\"" +
                                height + "px\" bgcolor=" + htmlColor(column->Color()) +
                                ">&nbsp;</td>");
                }
            }
            if (watch.Changed()) {
                out.Add(" <td class=\"normalborder\" ");
                appendFontStyle(out, "", canvas->Font());
                out.Add(" height=\"" + height);
            } else {
                out.Add(" <td class=\"normalborder\"  height=\"" + height);
            }
            out.Add("px\"");
            const TBiDiMode bidi = column ? column->BiDiMode() : Tree->BiDiMode();
            if (bidi != bdLeftToRight) out.Add(" dir=\"rtl\"");
            out.Add(
                htmlAlign(BiDiAlignment(column ? column->Alignment() : Tree->Alignment(), bidi)));
            if (deepest > 0 && c == main && level < deepest)
                out.Add(Format(" colspan=\"%d\"", deepest - level + 1));
            if (column && !column->Options().Contains(coParentColor))
                out.Add(" bgcolor=" + htmlColor(column->Color()));
            out.Add(">");
            Access::getText(Tree, e, node, c);
            appendEscaped(out, e.CellText);
            if (showsStatic(Tree, e)) appendEscaped(out, " " + e.StaticText);
            out.Add("</td>");
        }
        if (Tree->OnAfterNodeExport) Tree->OnAfterNodeExport(Tree, etHTML, node);
        out.Add(" </tr>");
        out.AddNewLine();
    });
    out.Add("</table>");
    return out.AsString();
}

// --- RTF -----------------------------------------------------------------------------------

namespace {

class TRtfWriter {
public:
    TBufferedRawByteString Body;

    // A run of Text in Font; nothing for an empty text.
    void Run(const std::string& Text, TFont* Font) {
        if (Text.empty()) return;
        const TFontStyles style = Font->Style();
        if (style.Contains(fsUnderline)) Body.Add("\\ul");
        if (style.Contains(fsItalic)) Body.Add("\\i");
        if (style.Contains(fsBold)) Body.Add("\\b");
        useFont(Font->Name());
        useColor(Font->Color());
        if (Font->Size() != FSize) {
            Body.Add("\\fs" + std::to_string(2 * Font->Size()));
            FSize = Font->Size();
        }
        Body.Add(" ");
        for (char16_t c : Utf8ToWide(Text)) {
            if (c == u'\n')
                Body.Add("{\\par}");
            else if (c != u'\r')
                unit(c);
        }
        if (style.Contains(fsUnderline)) Body.Add("\\ul0");
        if (style.Contains(fsItalic)) Body.Add("\\i0");
        if (style.Contains(fsBold)) Body.Add("\\b0");
    }

    std::string Head() const {
        std::string head = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl";
        for (std::size_t i = 0; i < FFonts.size(); ++i)
            head += Format("{\\f%d %s;}", int(i), FFonts[i]);
        head += "}{\\colortbl;";
        for (TColor c : FColors) {
            const TColor rgb = ColorToRGB(c);
            head += Format("\\red%d\\green%d\\blue%d;", int(GetRValue(rgb)), int(GetGValue(rgb)),
                           int(GetBValue(rgb)));
        }
        return head + "}";
    }

private:
    void unit(char16_t u) { Body.Add(Format("\\u%d\\'3f", int(std::int16_t(u)))); }
    void useFont(const std::string& Name) {
        auto it = std::find(FFonts.begin(), FFonts.end(), Name);
        const int index = int(it - FFonts.begin());
        if (it == FFonts.end()) FFonts.push_back(Name);
        if (it == FFonts.end() || index != FFont) Body.Add("\\f" + std::to_string(index));
        FFont = index;
    }
    void useColor(TColor Color) {
        auto it = std::find(FColors.begin(), FColors.end(), Color);
        const int index = int(it - FColors.begin());
        if (it == FColors.end()) FColors.push_back(Color);
        if (it == FColors.end() || index != FColor) Body.Add("\\cf" + std::to_string(index + 1));
        FColor = index;
    }
    std::vector<std::string> FFonts;
    std::vector<TColor> FColors;
    int FFont = -1;
    int FColor = -1;
    int FSize = -1;
};

const char* rtfAlign(TAlignment A) {
    return A == taRightJustify ? "\\qr" : A == taCenter ? "\\qc" : "\\ql";
}

} // namespace

std::string ExportRtf(TCustomLazyStringTree* Tree, TVSTTextSourceType Source) {
    TExportOperation operation(Tree);
    TRtfWriter rtf;
    TBufferedRawByteString& body = rtf.Body;
    TVSTGetCellTextEventArgs e;
    e.ExportType = etRTF;
    TCanvas* canvas = Tree->Canvas();
    TFontChangeWatch watch(canvas->Font());
    TLTHeader* header = Tree->Header();
    const std::vector<TColumnIndex> columns = visibleColumns(Tree);
    const bool useColumns = header->UseColumns();
    const int main = Tree->MainColumn();
    const auto twips = [](int pixels) {
        return std::to_string(
            (long long)std::nearbyint(double(pixels) * 1440.0 / ScreenPixelsPerInch));
    };

    body.Add("\\uc1\\trowd\\trgaph70");
    if (useColumns) {
        int sum = 0;
        for (TColumnIndex c : columns) {
            sum += columnOf(Tree, c)->Width();
            body.Add("\\cellx" + twips(sum));
        }
        if (Tree->OnBeforeHeaderExport) Tree->OnBeforeHeaderExport(Tree, etRTF);
        body.Add("\\pard\\intbl");
        for (TColumnIndex c : columns) {
            TLazyTreeColumn* column = columnOf(Tree, c);
            if (Tree->OnBeforeColumnExport) Tree->OnBeforeColumnExport(Tree, etRTF, c);
            body.Add(rtfAlign(BiDiAlignment(column->CaptionAlignment(), column->BiDiMode())));
            rtf.Run(column->Text(), header->Font());
            body.Add("\\cell");
            if (Tree->OnAfterColumnExport) Tree->OnAfterColumnExport(Tree, etRTF, c);
        }
        body.Add("\\row");
        if (Tree->OnAfterHeaderExport) Tree->OnAfterHeaderExport(Tree, etRTF);
    } else {
        body.Add("\\cellx" + twips(Tree->ClientWidth()));
    }

    const std::vector<TColumnIndex> cells =
        useColumns ? columns : std::vector<TColumnIndex>{TBaseLazyTree::NoColumn};
    std::uint32_t lastLevel = 0;
    std::string tabs;
    walk(Tree, Source, true, [&](PLazyNode node) {
        if (Tree->OnBeforeNodeExport && !Tree->OnBeforeNodeExport(Tree, etRTF, node)) return;
        const std::uint32_t level = Tree->GetNodeLevel(node);
        for (TColumnIndex c : cells) {
            TLazyTreeColumn* column = columnOf(Tree, c);
            Access::getText(Tree, e, node, c);
            body.Add("\\pard\\intbl");
            const TAlignment a =
                column ? BiDiAlignment(column->Alignment(), column->BiDiMode()) : Tree->Alignment();
            if (a != taLeftJustify) body.Add(rtfAlign(a));
            canvas->Font()->Assign(Tree->Font());
            watch.Reset();
            Access::paintText(Tree, node, c, ttNormal);
            if (c == main && level >= 1) {
                if (level != lastLevel || tabs.empty()) {
                    tabs.clear();
                    for (std::uint32_t i = 0; i < level; ++i) tabs += "\\tab";
                    lastLevel = level;
                }
                body.Add(tabs + " ");
            }
            rtf.Run(e.CellText, canvas->Font());
            if (showsStatic(Tree, e)) {
                Access::paintText(Tree, node, c, ttStatic);
                rtf.Run(" " + e.StaticText, canvas->Font());
            }
            body.Add("\\cell");
        }
        body.Add("\\row");
        body.AddNewLine();
        if (Tree->OnAfterNodeExport) Tree->OnAfterNodeExport(Tree, etRTF, node);
    });
    body.Add("\\pard\\par");
    std::string result = rtf.Head();
    result += FormatSettings().MetricMeasurement ? "\\paperw16840\\paperh11907"
                                                 : "\\paperw15840\\paperh12240";
    result += "\\margl720\\margr720\\margt720\\margb720";
    return result + body.AsString() + "}";
}

// --- text ----------------------------------------------------------------------------------

namespace {

std::string repeated(const std::string& S, std::uint32_t Times) {
    std::string out;
    out.reserve(S.size() * Times);
    for (std::uint32_t i = 0; i < Times; ++i) out += S;
    return out;
}

// Every double quote doubled, the whole between double quotes.
std::string quoted(const std::string& S) {
    std::string out = "\"";
    for (char c : S) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

// A field holding the separator, a quote or a line break is quoted.
void appendCsvField(TBufferedString& Out, const std::string& Field, const std::string& Separator) {
    const bool quote = (!Separator.empty() && Field.find(Separator) != std::string::npos) ||
                       Field.find_first_of("\"\r\n") != std::string::npos;
    Out.Add(quote ? quoted(Field) : Field);
}

} // namespace

std::string ExportText(TCustomLazyStringTree* Tree, TVSTTextSourceType Source,
                       const std::string& Separator) {
    TExportOperation operation(Tree);
    TBufferedString out;
    TVSTGetCellTextEventArgs e;
    e.ExportType = etText;
    const std::vector<TColumnIndex> columns = visibleColumns(Tree);
    const int main = Tree->MainColumn();
    const std::uint32_t deepest = deepestLevel(Tree, Source, false);
    const std::string prefix = repeated(Separator, deepest);

    if (Tree->Header()->UseColumns()) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            appendCsvField(out, columnOf(Tree, columns[i])->Text(), Separator);
            if (i + 1 < columns.size()) {
                if (columns[i] == main) out.Add(prefix);
                out.Add(Separator);
            }
        }
        out.AddNewLine();
        walk(Tree, Source, false, [&](PLazyNode node) {
            const std::uint32_t level = Tree->GetNodeLevel(node);
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const TColumnIndex c = columns[i];
                Access::getText(Tree, e, node, c);
                if (c == main) out.Add(repeated(Separator, level));
                appendCsvField(out,
                               showsStatic(Tree, e) ? e.CellText + " " + e.StaticText : e.CellText,
                               Separator);
                if (c == main) out.Add(repeated(Separator, deepest - level));
                if (i + 1 < columns.size()) out.Add(Separator);
            }
            out.AddNewLine();
        });
    } else {
        walk(Tree, Source, false, [&](PLazyNode node) {
            Access::getText(Tree, e, node, TBaseLazyTree::NoColumn);
            out.Add(repeated(Separator, Tree->GetNodeLevel(node)));
            appendCsvField(out, e.CellText, Separator);
            out.AddNewLine();
        });
    }
    return out.AsString();
}

void MakeCfHtml(std::string& Html) {
    MakeClipboardHTML(Html);
}

namespace {

HGLOBAL blockOf(const void* Bytes, std::size_t Size) {
    HGLOBAL h = GlobalAlloc(GHND | GMEM_SHARE, Size);
    if (!h) return nullptr;
    void* p = GlobalLock(h);
    if (!p) {
        GlobalFree(h);
        return nullptr;
    }
    std::memcpy(p, Bytes, Size);
    GlobalUnlock(h);
    return h;
}

// The text with its terminating zero.
HGLOBAL textBlock(const std::string& Text) {
    return blockOf(Text.c_str(), Text.size() + 1);
}

} // namespace

HGLOBAL ExportForClipboard(TCustomLazyStringTree* Tree, CLIPFORMAT Format,
                           TVSTTextSourceType Source) {
    if (Format == CF_TEXT) return textBlock(ExportText(Tree, Source, "\t"));
    if (Format == CF_UNICODETEXT) {
        std::vector<std::uint8_t> bytes = WideTextBytes(ExportText(Tree, Source, "\t"));
        bytes.insert(bytes.end(), 2, 0);
        return blockOf(bytes.data(), bytes.size());
    }
    if (Format == CsvClipFormat)
        return textBlock(ExportText(Tree, Source, std::string(1, FormatSettings().ListSeparator)));
    if (Format == RtfClipFormat || Format == RtfNoObjectsClipFormat)
        return textBlock(ExportRtf(Tree, Source));
    if (Format == HtmlClipFormat) {
        std::string html = ExportHtml(Tree, Source);
        MakeCfHtml(html);
        return textBlock(html);
    }
    return nullptr;
}

void ExportCustom(TCustomLazyStringTree* Tree, TVSTTextSourceType Source) {
    TExportOperation operation(Tree);
    if (Tree->OnBeforeTreeExport) Tree->OnBeforeTreeExport(Tree, etCustom);
    TLTHeader* header = Tree->Header();
    if (header->UseColumns() && header->Options().Contains(hoVisible)) {
        if (Tree->OnBeforeHeaderExport) Tree->OnBeforeHeaderExport(Tree, etCustom);
        for (TColumnIndex c : visibleColumns(Tree)) {
            if (Tree->OnBeforeColumnExport) Tree->OnBeforeColumnExport(Tree, etCustom, c);
            if (Tree->OnColumnExport) Tree->OnColumnExport(Tree, etCustom, c);
            if (Tree->OnAfterColumnExport) Tree->OnAfterColumnExport(Tree, etCustom, c);
        }
        if (Tree->OnAfterHeaderExport) Tree->OnAfterHeaderExport(Tree, etCustom);
    }
    walk(Tree, Source, true, [&](PLazyNode node) {
        if (Tree->OnBeforeNodeExport) Tree->OnBeforeNodeExport(Tree, etCustom, node);
        if (Tree->OnNodeExport) Tree->OnNodeExport(Tree, etCustom, node);
        if (Tree->OnAfterNodeExport) Tree->OnAfterNodeExport(Tree, etCustom, node);
    });
    if (Tree->OnAfterTreeExport) Tree->OnAfterTreeExport(Tree, etCustom);
}

void RenderCsvLines(TCustomLazyStringTree* Tree, TStrings* Lines, bool IncludeHeading) {
    TLazyTreeColumns* columns = Tree->Header()->Columns();
    const auto join = [](const std::vector<std::string>& Fields) {
        std::string line;
        for (std::size_t i = 0; i < Fields.size(); ++i) line += (i ? "," : "") + quoted(Fields[i]);
        return line;
    };
    if (IncludeHeading) {
        std::vector<std::string> fields;
        for (int i = 0; i < columns->Count(); ++i) fields.push_back(columns->Items(i)->Text());
        Lines->Add(join(fields));
    }
    // Without columns the node texts stand as column -1.
    std::vector<int> cells;
    for (int i = 0; i < columns->Count(); ++i) cells.push_back(i);
    if (cells.empty()) cells.push_back(TBaseLazyTree::NoColumn);
    for (PLazyNode node = Tree->GetFirstChild(nullptr); node; node = Tree->GetNextSibling(node)) {
        std::vector<std::string> fields;
        for (int c : cells) {
            std::string text = Tree->GetText(node, c);
            fields.push_back(text.empty() ? " " : text);
        }
        Lines->Add(join(fields));
    }
}

// --- the string tree's members ---------------------------------------------------------------

PLazyNode TCustomLazyStringTree::FirstNodeOfSource(TVSTTextSourceType Source,
                                                   TLTNextNodeOfSource& Next) {
    switch (Source) {
    case tstInitialized:
        Next = [this](PLazyNode n) { return GetNextInitialized(n); };
        return GetFirstInitialized();
    case tstSelected:
        Next = [this](PLazyNode n) { return GetNextSelected(n); };
        return GetFirstSelected();
    case tstCutCopySet:
        Next = [this](PLazyNode n) { return GetNextCutCopy(n); };
        return GetFirstCutCopy();
    case tstVisible:
        Next = [this](PLazyNode n) { return GetNextVisible(n); };
        return GetFirstVisible();
    case tstChecked:
        Next = [this](PLazyNode n) { return GetNextChecked(n, csCheckedNormal); };
        return GetFirstChecked(csCheckedNormal);
    default:
        Next = [this](PLazyNode n) { return GetNext(n); };
        return GetFirst();
    }
}

std::string TCustomLazyStringTree::ContentToHTML(TVSTTextSourceType Source,
                                                 const std::string& Caption) {
    return ExportHtml(this, Source, Caption);
}

std::string TCustomLazyStringTree::ContentToRTF(TVSTTextSourceType Source) {
    return ExportRtf(this, Source);
}

std::string TCustomLazyStringTree::ContentToText(TVSTTextSourceType Source,
                                                 const std::string& Separator) {
    return ExportText(this, Source, Separator);
}

std::string TCustomLazyStringTree::ContentToUnicode(TVSTTextSourceType Source, char Separator) {
    return ExportText(this, Source, std::string(1, Separator));
}

HGLOBAL TCustomLazyStringTree::ContentToClipboard(CLIPFORMAT Format, TVSTTextSourceType Source) {
    return ExportForClipboard(this, Format, Source);
}

void TCustomLazyStringTree::ContentToCustom(TVSTTextSourceType Source) {
    ExportCustom(this, Source);
}

void TCustomLazyStringTree::RenderCsvLines(TStrings* Lines, bool IncludeHeading) {
    ::RenderCsvLines(this, Lines, IncludeHeading);
}

bool TCustomLazyStringTree::SaveToCSVFile(const std::string& FileNameWithPath,
                                          bool IncludeHeading) {
    if (FileNameWithPath.empty()) return false;
    TStringList lines;
    RenderCsvLines(&lines, IncludeHeading);
    std::string text;
    for (int i = 0; i < lines.Count(); ++i) text += lines.Strings(i) + "\r\n";
    WriteBinaryFile(FileNameWithPath, text);
    return true;
}
