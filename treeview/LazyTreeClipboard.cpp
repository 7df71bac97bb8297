#include "treeview/LazyTreeClipboard.h"

#include "grid/core/base/GridUtils.h"
#include "platform/base/FormatSettings.h"
#include "platform/base/SysUtils.h"
#include "treeview/LazyTree.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

const TTreeClass BaseLazyTreeClass{"TBaseLazyTree", nullptr};
const TTreeClass CustomLazyStringTreeClass{"TCustomLazyStringTree", &BaseLazyTreeClass};
const TTreeClass LazyStringTreeClass{"TLazyStringTree", &CustomLazyStringTreeClass};

CLIPFORMAT LazyTreeReferenceFormat = 0;
CLIPFORMAT LazyTreeDataFormat = 0;
CLIPFORMAT HtmlClipFormat = 0;
CLIPFORMAT RtfNoObjectsClipFormat = 0;
CLIPFORMAT RtfClipFormat = 0;
CLIPFORMAT CsvClipFormat = 0;

bool TTreeClass::InheritsFrom(const TTreeClass* Class) const {
    for (const TTreeClass* c = this; c; c = c->Base)
        if (c == Class) return true;
    return false;
}

namespace {

std::vector<TClipboardFormatListEntry>& entries() {
    static std::vector<TClipboardFormatListEntry> list;
    return list;
}

// The names of the standard formats 1 to 17.
const std::array<const char*, 17> standardNames = {"Plain text",
                                                   "Windows bitmap",
                                                   "Windows metafile",
                                                   "Symbolic link",
                                                   "Data interchange format",
                                                   "Tiff image",
                                                   "OEM text",
                                                   "DIB image",
                                                   "Palette data",
                                                   "Pen data",
                                                   "Riff audio data",
                                                   "Wav audio data",
                                                   "Unicode text",
                                                   "Enhanced metafile image",
                                                   "File name(s)",
                                                   "Locale descriptor",
                                                   "DIB image V5"};

} // namespace

void TClipboardFormatList::Add(const std::string& FormatString, const TTreeClass* TreeClass,
                               const FORMATETC& FormatEtc, unsigned Priority) {
    auto& list = entries();
    list.push_back({FormatString, TreeClass, Priority, FormatEtc});
    std::stable_sort(list.begin(), list.end(),
                     [](const auto& a, const auto& b) { return a.Priority < b.Priority; });
}

void TClipboardFormatList::Clear() {
    entries().clear();
}

const std::vector<TClipboardFormatListEntry>& TClipboardFormatList::Entries() {
    return entries();
}

void TClipboardFormatList::EnumerateFormats(const TTreeClass* TreeClass, TFormatEtcArray& Formats,
                                            const TStrings* AllowedFormats) {
    Formats.clear();
    for (const auto& e : entries())
        if (TreeClass->InheritsFrom(e.TreeClass) &&
            (!AllowedFormats || AllowedFormats->IndexOf(e.Description) >= 0))
            Formats.push_back(e.FormatEtc);
}

void TClipboardFormatList::EnumerateFormats(const TTreeClass* TreeClass, TStrings* Formats) {
    for (const auto& e : entries())
        if (TreeClass->InheritsFrom(e.TreeClass)) Formats->Add(e.Description);
}

const TClipboardFormatListEntry* TClipboardFormatList::FindFormat(const std::string& FormatString) {
    const auto& list = entries();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (SameText(it->Description, FormatString)) return &*it;
    return nullptr;
}

const TTreeClass* TClipboardFormatList::FindFormat(const std::string& FormatString,
                                                   CLIPFORMAT& Fmt) {
    const TClipboardFormatListEntry* e = FindFormat(FormatString);
    if (!e) return nullptr;
    Fmt = e->FormatEtc.cfFormat;
    return e->TreeClass;
}

const TTreeClass* TClipboardFormatList::FindFormat(CLIPFORMAT Fmt, std::string& Description) {
    const auto& list = entries();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (it->FormatEtc.cfFormat == Fmt) {
            Description = it->Description;
            return it->TreeClass;
        }
    return nullptr;
}

void TClipboardFormatList::RegisterStdClipFormat(CLIPFORMAT Id, const TTreeClass* TreeClass,
                                                 unsigned Priority) {
    std::string name;
    if (Id >= 1 && Id <= standardNames.size())
        name = standardNames[Id - 1];
    else if (Id > standardNames.size())
        name = GetClipboardFormatName(Id);
    if (name.empty()) return;
    FORMATETC format;
    format.cfFormat = Id;
    Add(name, TreeClass, format, Priority);
}

CLIPFORMAT TClipboardFormatList::RegisterNamedClipFormat(const std::string& Name,
                                                         const TTreeClass* TreeClass,
                                                         unsigned Priority, DWORD Medium) {
    FORMATETC format;
    format.cfFormat = CLIPFORMAT(RegisterClipboardFormat(Name));
    format.tymed = Medium;
    Add(Name, TreeClass, format, Priority);
    return format.cfFormat;
}

void RegisterTreeClipboardFormats() {
    LazyTreeReferenceFormat = CLIPFORMAT(RegisterClipboardFormat("Lazy Tree Reference"));
    using List = TClipboardFormatList;
    LazyTreeDataFormat = List::RegisterNamedClipFormat("Lazy Tree Data", &BaseLazyTreeClass, 50);
    const TTreeClass* strings = &CustomLazyStringTreeClass;
    HtmlClipFormat = List::RegisterNamedClipFormat("HTML Format", strings, 80);
    RtfNoObjectsClipFormat =
        List::RegisterNamedClipFormat("Rich Text Format Without Objects", strings, 84);
    RtfClipFormat = List::RegisterNamedClipFormat("Rich Text Format", strings, 85);
    CsvClipFormat = List::RegisterNamedClipFormat("CSV", strings, 90);
    List::RegisterStdClipFormat(CF_TEXT, strings, 100);
    List::RegisterStdClipFormat(CF_UNICODETEXT, strings, 95);
}

// --- the tree's clipboard operations ----------------------------------------------------------

TNodeArray TBaseLazyTree::GetSortedCutCopySet(bool Resolve) {
    TNodeArray result;
    PLazyNode node = GetFirstNoInit();
    while (node) {
        if (node->States.Contains(vsCutOrCopy)) {
            result.push_back(node);
            if (Resolve) {
                // Past the marked node's subtree.
                PLazyNode next = node;
                while (next && next != FRoot && !next->NextSibling) next = next->Parent;
                node = next && next != FRoot ? next->NextSibling : nullptr;
                continue;
            }
        }
        node = GetNextNoInit(node);
    }
    return result;
}

std::uint32_t TBaseLazyTree::CutCopyCount() {
    std::uint32_t n = 0;
    for (PLazyNode node = GetFirstNoInit(); node; node = GetNextNoInit(node))
        if (node->States.Contains(vsCutOrCopy)) ++n;
    return n;
}

void TBaseLazyTree::SetClipboardFormats(const TStrings* Value) {
    FClipboardFormats->Clear();
    if (Value)
        for (int i = 0; i < Value->Count(); ++i) FClipboardFormats->Add(Value->Get(i));
}

void TBaseLazyTree::GetNativeFormats(TFormatEtcArray& Formats) {
    TClipboardFormatList::EnumerateFormats(TreeClass(), Formats, FClipboardFormats.get());
    if (OnGetUserClipboardFormats) OnGetUserClipboardFormats(this, Formats);
}

HRESULT TBaseLazyTree::RenderFormat(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium,
                                    bool ForClipboard) {
    Medium = STGMEDIUM{};
    if (FormatEtcIn.cfFormat == LazyTreeDataFormat &&
        (FormatEtcIn.tymed & (TYMED_HGLOBAL | TYMED_ISTREAM))) {
        const TNodeArray nodes =
            ForClipboard ? GetSortedCutCopySet(true) : GetSortedSelection(true);
        auto stream = std::make_shared<TMemoryStream>();
        for (PLazyNode node : nodes) WriteNodeChunk(*stream, node);
        if (FormatEtcIn.tymed & TYMED_ISTREAM) {
            stream->SetPosition(0);
            Medium.tymed = TYMED_ISTREAM;
            Medium.pstm = stream;
            return S_OK;
        }
        if (stream->Size() == 0) return E_FAIL;
        const std::uint32_t length = std::uint32_t(stream->Size());
        HGLOBAL h = GlobalAlloc(GHND | GMEM_SHARE, std::size_t(length) + 4);
        auto* p = static_cast<std::uint8_t*>(GlobalLock(h));
        if (!p) return E_OUTOFMEMORY;
        std::memcpy(p, &length, 4);
        std::memcpy(p + 4, stream->Memory(), length);
        GlobalUnlock(h);
        Medium.tymed = TYMED_HGLOBAL;
        Medium.hGlobal = h;
        return S_OK;
    }
    HRESULT result = E_FAIL;
    if (OnRenderOLEData) OnRenderOLEData(this, FormatEtcIn, Medium, ForClipboard, result);
    return result;
}

void TBaseLazyTree::CopyToClipboard() {
    if (FSelectionCount == 0) return;
    // A pending cut ends first: a later paste must not move or delete copied nodes.
    CancelCutOrCopy();
    // The clipboard lets its previous data object go before the new nodes are marked.
    OleSetClipboard(nullptr);
    FlagCutCopyNodes();
    ChangeTreeStates({tsCopyPending}, {tsCutPending});
    if (OleSetClipboard(std::make_shared<TLTDataObject>(this, true)) != S_OK) {
        CancelCutOrCopy();
        return;
    }
    InvalidateWhenShown();
}

void TBaseLazyTree::CutToClipboard() {
    if (FSelectionCount == 0 || TreeOptions()->MiscOptions().Contains(toReadOnly)) return;
    CancelCutOrCopy();
    OleSetClipboard(nullptr);
    FlagCutCopyNodes();
    ChangeTreeStates({tsCutPending}, {tsCopyPending});
    if (OleSetClipboard(std::make_shared<TLTDataObject>(this, true)) != S_OK) {
        CancelCutOrCopy();
        return;
    }
    InvalidateWhenShown();
}

bool TBaseLazyTree::PasteFromClipboard() {
    if (TreeOptions()->MiscOptions().Contains(toReadOnly)) return false;
    std::shared_ptr<IDataObject> data;
    if (OleGetClipboard(data) != S_OK || !data) RaiseTreeError("Clipboard operation failed.", 2007);
    TBaseLazyTree* source = TreeFromDataObject(data);
    const bool optimized = source && source->FStates.Contains(tsCutPending);
    const bool result = ProcessOLEData(source, data, FFocusedNode, FDefaultPasteMode, optimized);
    if (source) {
        if (source == this)
            ChangeTreeStates({}, {tsCutPending});
        else
            source->FinishCutOrCopy();
    }
    return result;
}

void TBaseLazyTree::CancelCutOrCopy() {
    if (FStates.Contains(tsCopyPending) || FStates.Contains(tsCutPending)) {
        for (PLazyNode node = GetFirstNoInit(); node; node = GetNextNoInit(node))
            node->States.Exclude(vsCutOrCopy);
        InvalidateWhenShown();
    }
    ChangeTreeStates({}, {tsCopyPending, tsCutPending});
}

void TBaseLazyTree::FinishCutOrCopy() {
    if (!FStates.Contains(tsCutPending)) return;
    const TNodeArray marked = GetSortedCutCopySet(true);
    BeginUpdate();
    for (PLazyNode node : marked) DeleteNode(node);
    EndUpdate();
    ChangeTreeStates({}, {tsCutPending});
}

void TBaseLazyTree::FlushClipboard() {
    if (!FStates.Contains(tsCopyPending) && !FStates.Contains(tsCutPending)) return;
    ChangeTreeStates({tsClipboardFlushing}, {});
    OleFlushClipboard();
    CancelCutOrCopy();
    ChangeTreeStates({}, {tsClipboardFlushing});
}

// --- the string tree's texts on the clipboard ---------------------------------------------------

namespace {

void appendEscaped(std::string& Out, const std::string& Text) {
    for (char c : Text) {
        switch (c) {
        case '&':
            Out += "&amp;";
            break;
        case '<':
            Out += "&lt;";
            break;
        case '>':
            Out += "&gt;";
            break;
        case '"':
            Out += "&quot;";
            break;
        default:
            Out += c;
        }
    }
}

HGLOBAL blockOf(const void* Bytes, std::size_t Size) {
    HGLOBAL h = GlobalAlloc(GHND | GMEM_SHARE, Size);
    void* p = GlobalLock(h);
    if (!p) return nullptr;
    if (Size) std::memcpy(p, Bytes, Size);
    GlobalUnlock(h);
    return h;
}

} // namespace

// The header's visible columns in display order.
static std::vector<TColumnIndex> visibleColumns(TCustomLazyStringTree* Tree) {
    std::vector<TColumnIndex> out;
    TLazyTreeColumns* columns = Tree->Header()->Columns();
    for (TColumnIndex i : columns->PositionToIndex())
        if (columns->Items(i)->Options().Contains(coVisible)) out.push_back(i);
    return out;
}

// The nodes of Source in tree order, filtered by the export mode.
static TNodeArray exportedNodes(TCustomLazyStringTree* Tree, TVSTTextSourceType Source) {
    TNodeArray walk;
    if (Source == tstCutCopySet)
        walk = Tree->GetSortedCutCopySet(false);
    else if (Source == tstSelected)
        walk = Tree->GetSortedSelection(false);
    else
        for (PLazyNode n = Tree->GetFirst(); n; n = Tree->GetNext(n)) walk.push_back(n);
    TNodeArray out;
    const TLTExportMode mode = Tree->TreeOptions()->ExportMode();
    for (PLazyNode node : walk) {
        bool take = true;
        switch (mode) {
        case emChecked:
            take = node->CheckState == csCheckedNormal;
            break;
        case emUnchecked:
            take = node->CheckState == csUncheckedNormal;
            break;
        case emVisibleDueToExpansion:
            take = !Tree->NodeParent(node) || Tree->Expanded(Tree->NodeParent(node));
            break;
        case emSelected:
            take = Tree->Selected(node);
            break;
        case emAll:
            break;
        }
        if (take) out.push_back(node);
    }
    return out;
}

std::string TCustomLazyStringTree::ContentToText(TVSTTextSourceType Source,
                                                 const std::string& Separator) {
    std::string out;
    const std::vector<TColumnIndex> columns = visibleColumns(this);
    for (PLazyNode node : exportedNodes(this, Source)) {
        std::string line;
        const std::uint32_t level = GetNodeLevel(node);
        for (std::uint32_t i = 0; i < level; ++i) line += Separator;
        if (columns.empty()) {
            line += GetText(node, NoColumn);
        } else {
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (i) line += Separator;
                line += GetText(node, columns[i]);
            }
        }
        out += line + "\r\n";
    }
    return out;
}

std::string TCustomLazyStringTree::ContentToHTML(TVSTTextSourceType Source,
                                                 const std::string& Caption) {
    const std::vector<TColumnIndex> columns = visibleColumns(this);
    std::string out = "<table";
    if (!Caption.empty()) {
        out += " caption=\"";
        appendEscaped(out, Caption);
        out += "\"";
    }
    out += ">\r\n";
    for (PLazyNode node : exportedNodes(this, Source)) {
        out += " <tr>";
        const std::uint32_t level = GetNodeLevel(node);
        for (std::uint32_t i = 0; i < level; ++i) out += "<td>&nbsp;</td>";
        const std::vector<TColumnIndex> cells =
            columns.empty() ? std::vector<TColumnIndex>{NoColumn} : columns;
        for (TColumnIndex c : cells) {
            out += "<td>";
            appendEscaped(out, GetText(node, c));
            out += "</td>";
        }
        out += "</tr>\r\n";
    }
    out += "</table>";
    return out;
}

namespace {

// The pieces of an RTF document: its font table, its colour list and the runs of text, each run
// switching font, colour and size only where they change.
class TRtfBuilder {
public:
    void Run(const std::string& Text, const TFont* Font) {
        if (Text.empty()) return;
        const TFontStyles styles = Font->Style();
        if (styles.Contains(fsUnderline)) body += "\\ul";
        if (styles.Contains(fsItalic)) body += "\\i";
        if (styles.Contains(fsBold)) body += "\\b";
        const int font = indexOf(fonts, Font->Name());
        if (font != currentFont) body += "\\f" + std::to_string(font);
        currentFont = font;
        const int colour = indexOf(colours, ColorToRGB(Font->Color()));
        if (colour != currentColour) body += "\\cf" + std::to_string(colour + 1);
        currentColour = colour;
        if (Font->Size() != currentSize) body += "\\fs" + std::to_string(2 * Font->Size());
        currentSize = Font->Size();
        body += ' ';
        const std::vector<std::uint8_t> wide = WideTextBytes(Text);
        for (std::size_t i = 0; i + 1 < wide.size(); i += 2) {
            const auto unit = std::uint16_t(wide[i] | (wide[i + 1] << 8));
            if (unit == '\n')
                body += "{\\par}";
            else if (unit != '\r')
                body += "\\u" + std::to_string(std::int16_t(unit)) + "\\'3f";
        }
        if (styles.Contains(fsUnderline)) body += "\\ul0";
        if (styles.Contains(fsItalic)) body += "\\i0";
        if (styles.Contains(fsBold)) body += "\\b0";
    }
    std::string Document() const {
        std::string head = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl";
        for (std::size_t i = 0; i < fonts.size(); ++i)
            head += "{\\f" + std::to_string(i) + " " + fonts[i] + ";}";
        head += "}{\\colortbl;";
        for (TColor c : colours)
            head += "\\red" + std::to_string(GetRValue(c)) + "\\green" +
                    std::to_string(GetGValue(c)) + "\\blue" + std::to_string(GetBValue(c)) + ";";
        head += "}\\paperw16840\\paperh11907\\margl720\\margr720\\margt720\\margb720";
        return head + body + "}";
    }
    std::string body;

private:
    template <class T> static int indexOf(std::vector<T>& List, const T& Value) {
        const auto it = std::find(List.begin(), List.end(), Value);
        if (it != List.end()) return int(it - List.begin());
        List.push_back(Value);
        return int(List.size()) - 1;
    }
    std::vector<std::string> fonts;
    std::vector<TColor> colours;
    int currentFont = -1;
    int currentColour = -1;
    int currentSize = -1;
};

// The RTF paragraph alignment of A, left and right swapped for right-to-left reading.
const char* rtfAlignment(TAlignment A, bool RightToLeft) {
    if (RightToLeft && A != taCenter) A = A == taLeftJustify ? taRightJustify : taLeftJustify;
    return A == taRightJustify ? "\\qr" : A == taCenter ? "\\qc" : "\\ql";
}

// Twips of a pixel length on the screen, halves rounded to even.
int twips(int Pixels) {
    return int(std::nearbyint(double(Pixels) * 1440 / ScreenPixelsPerInch));
}

} // namespace

std::string TCustomLazyStringTree::ContentToRTF(TVSTTextSourceType Source) {
    const std::vector<TColumnIndex> columns = visibleColumns(this);
    TLazyTreeColumns* header = Header()->Columns();
    TRtfBuilder rtf;
    rtf.body = "\\uc1\\trowd\\trgaph70";
    int right = 0;
    for (TColumnIndex c : columns) {
        right += header->Items(c)->Width();
        rtf.body += "\\cellx" + std::to_string(twips(right));
    }
    if (columns.empty()) rtf.body += "\\cellx" + std::to_string(twips(ClientWidth()));
    if (!columns.empty()) {
        rtf.body += "\\pard\\intbl";
        for (TColumnIndex c : columns) {
            const TLazyTreeColumn* column = header->Items(c);
            rtf.body += rtfAlignment(column->CaptionAlignment(), column->UseRightToLeftReading());
            rtf.Run(column->Text(), Header()->Font());
            rtf.body += "\\cell";
        }
        rtf.body += "\\row";
    }
    const std::vector<TColumnIndex> cells =
        columns.empty() ? std::vector<TColumnIndex>{NoColumn} : columns;
    for (PLazyNode node : exportedNodes(this, Source)) {
        const std::uint32_t level = GetNodeLevel(node);
        for (TColumnIndex c : cells) {
            rtf.body += "\\pard\\intbl";
            const TAlignment alignment = c >= 0 ? header->Items(c)->Alignment() : Alignment();
            const bool rightToLeft = c >= 0 && header->Items(c)->UseRightToLeftReading();
            if (alignment != taLeftJustify || rightToLeft)
                rtf.body += rtfAlignment(alignment, rightToLeft);
            if ((c == NoColumn || c == Header()->MainColumn()) && level >= 1) {
                for (std::uint32_t i = 0; i < level; ++i) rtf.body += "\\tab";
                rtf.body += " ";
            }
            rtf.Run(GetText(node, c), Font());
            rtf.body += "\\cell";
        }
        rtf.body += "\\row\r\n";
    }
    rtf.body += "\\pard\\par";
    return rtf.Document();
}

HGLOBAL TCustomLazyStringTree::ContentToClipboard(CLIPFORMAT Format, TVSTTextSourceType Source) {
    if (Format == CF_TEXT || Format == CsvClipFormat) {
        const std::string text = ContentToText(
            Source, Format == CF_TEXT ? "\t" : std::string(1, FormatSettings().ListSeparator));
        return blockOf(text.c_str(), text.size() + 1);
    }
    if (Format == CF_UNICODETEXT) {
        std::vector<std::uint8_t> bytes = WideTextBytes(ContentToText(Source, "\t"));
        bytes.insert(bytes.end(), 2, 0);
        return blockOf(bytes.data(), bytes.size());
    }
    if (Format == RtfClipFormat || Format == RtfNoObjectsClipFormat) {
        const std::string rtf = ContentToRTF(Source);
        return blockOf(rtf.c_str(), rtf.size() + 1);
    }
    if (Format == HtmlClipFormat) {
        std::string html = ContentToHTML(Source);
        MakeClipboardHTML(html);
        return blockOf(html.data(), html.size());
    }
    return nullptr;
}

HRESULT TCustomLazyStringTree::RenderFormat(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium,
                                            bool ForClipboard) {
    const HRESULT base = TBaseLazyTree::RenderFormat(FormatEtcIn, Medium, ForClipboard);
    if (base == S_OK) return base;
    try {
        HGLOBAL block =
            ContentToClipboard(FormatEtcIn.cfFormat, ForClipboard ? tstCutCopySet : tstSelected);
        if (!block) return base;
        Medium = STGMEDIUM{};
        Medium.tymed = TYMED_HGLOBAL;
        Medium.hGlobal = block;
        return S_OK;
    } catch (const std::exception&) {
        return E_FAIL;
    }
}
