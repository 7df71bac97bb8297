#include "treeview/LazyTreeClipboard.h"

#include "grid/core/base/GridUtils.h"
#include "platform/base/FormatSettings.h"
#include "platform/base/SysUtils.h"
#include "treeview/LazyTree.h"

#include <algorithm>
#include <array>
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
