// The tree's data object and its format list, the drag manager, the read-only memory stream
// and the per-tree list of clipboard format names.
#include "treeview/LazyTreeOle.h"

#include "platform/base/SysUtils.h"
#include "treeview/LazyTree.h"

#include <algorithm>
#include <cstring>

// --- TOLEMemoryStream -------------------------------------------------------------------------

void TOLEMemoryStream::SetPointer(const void* Memory, std::int64_t Size) {
    FMemory = static_cast<const std::uint8_t*>(Memory);
    FSize = Size;
    FPosition = 0;
}

std::int64_t TOLEMemoryStream::Read(void* Buffer, std::int64_t Count) {
    const std::int64_t n =
        std::clamp<std::int64_t>(FSize - FPosition, 0, std::max<std::int64_t>(Count, 0));
    if (n > 0) std::memcpy(Buffer, FMemory + FPosition, std::size_t(n));
    FPosition += n;
    return n;
}

std::int64_t TOLEMemoryStream::Write(const void*, std::int64_t) {
    throw EStreamError("Can't write to a read-only resource stream");
}

std::int64_t TOLEMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    switch (Origin) {
    case soBeginning:
        FPosition = Offset;
        break;
    case soCurrent:
        FPosition += Offset;
        break;
    case soEnd:
        FPosition = FSize + Offset;
        break;
    }
    return FPosition;
}

// --- TLTDataObject ----------------------------------------------------------------------------

namespace {

bool sameFormat(const FORMATETC& a, const FORMATETC& b) {
    return a.cfFormat == b.cfFormat && a.ptd == b.ptd && a.dwAspect == b.dwAspect &&
           a.lindex == b.lindex && (a.tymed & b.tymed) != 0;
}

// The tree reference block: this process's id and the tree's whole address.
constexpr std::size_t ReferenceSize = 4 + sizeof(void*);

HGLOBAL makeReference(TBaseLazyTree* Tree) {
    HGLOBAL h = GlobalAlloc(GHND | GMEM_SHARE, ReferenceSize);
    auto* p = static_cast<std::uint8_t*>(GlobalLock(h));
    if (!p) return nullptr;
    const std::uint32_t pid = GetCurrentProcessId();
    std::memcpy(p, &pid, 4);
    std::memcpy(p + 4, &Tree, sizeof(void*));
    GlobalUnlock(h);
    return h;
}

} // namespace

TLTDataObject::TLTDataObject(TBaseLazyTree* AOwner, bool ForClipboard)
    : FOwner(AOwner->Link()), FForClipboard(ForClipboard) {
    AOwner->GetNativeFormats(FFormatEtcArray);
}

TLTDataObject::~TLTDataObject() {
    TBaseLazyTree* tree = Owner();
    if (FForClipboard && tree && !tree->TreeStates().Contains(tsClipboardFlushing))
        tree->CancelCutOrCopy();
    for (auto& m : FInternalStgMediumArray) ReleaseStgMedium(m.Medium);
}

int TLTDataObject::findFormat(const FORMATETC& FormatEtc) const {
    for (std::size_t i = 0; i < FFormatEtcArray.size(); ++i)
        if (sameFormat(FFormatEtcArray[i], FormatEtc)) return int(i);
    return -1;
}

TInternalStgMedium* TLTDataObject::findMedium(CLIPFORMAT Format) {
    for (auto& m : FInternalStgMediumArray)
        if (m.Format == Format) return &m;
    return nullptr;
}

HRESULT TLTDataObject::QueryGetData(const FORMATETC& FormatEtc) {
    HRESULT result = DV_E_CLIPFORMAT;
    for (const FORMATETC& f : FFormatEtcArray) {
        if (f.cfFormat != FormatEtc.cfFormat) continue;
        if ((f.tymed & FormatEtc.tymed) == 0) {
            result = DV_E_TYMED;
        } else if (f.dwAspect != FormatEtc.dwAspect) {
            result = DV_E_DVASPECT;
        } else if (f.lindex != FormatEtc.lindex) {
            result = DV_E_LINDEX;
        } else {
            return S_OK;
        }
    }
    return result;
}

HRESULT TLTDataObject::GetData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium) {
    try {
        TBaseLazyTree* tree = Owner();
        if (FormatEtcIn.cfFormat == LazyTreeReferenceFormat) {
            if (!tree || tree->TreeStates().Contains(tsClipboardFlushing)) return E_FAIL;
            Medium = STGMEDIUM{};
            Medium.hGlobal = makeReference(tree);
            if (!Medium.hGlobal) return E_OUTOFMEMORY;
            Medium.tymed = TYMED_HGLOBAL;
            return S_OK;
        }
        const HRESULT result = QueryGetData(FormatEtcIn);
        if (result != S_OK) return result;
        const FORMATETC& offered = FFormatEtcArray[std::size_t(findFormat(FormatEtcIn))];
        if (TInternalStgMedium* stored = findMedium(offered.cfFormat)) {
            // The consumer shares the stored medium; this object keeps it alive.
            Medium = stored->Medium;
            Medium.pUnkForRelease = shared_from_this();
            return S_OK;
        }
        if (!tree) return E_FAIL;
        return tree->RenderFormat(FormatEtcIn, Medium, FForClipboard);
    } catch (const std::exception&) {
        Medium = STGMEDIUM{};
        return E_FAIL;
    }
}

HRESULT TLTDataObject::GetDataHere(const FORMATETC&, STGMEDIUM&) {
    return E_NOTIMPL;
}

HRESULT TLTDataObject::GetCanonicalFormatEtc(const FORMATETC&, FORMATETC& FormatEtcOut) {
    FormatEtcOut.ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT TLTDataObject::SetData(const FORMATETC& FormatEtc, STGMEDIUM& Medium, bool DoRelease) {
    TInternalStgMedium* stored = nullptr;
    const int index = findFormat(FormatEtc);
    if (index >= 0) stored = findMedium(FFormatEtcArray[std::size_t(index)].cfFormat);
    if (index < 0) FFormatEtcArray.push_back(FormatEtc);
    if (stored) {
        ReleaseStgMedium(stored->Medium);
    } else {
        FInternalStgMediumArray.push_back({FormatEtc.cfFormat, STGMEDIUM{}});
        stored = &FInternalStgMediumArray.back();
    }
    if (DoRelease) {
        stored->Medium = Medium;
        adviseDataChange();
        return S_OK;
    }
    // An own copy: the caller keeps (and frees) its medium.
    STGMEDIUM copy;
    copy.tymed = Medium.tymed;
    if (Medium.tymed == TYMED_HGLOBAL) {
        const std::size_t size = GlobalSize(Medium.hGlobal);
        copy.hGlobal = GlobalAlloc(GMEM_ZEROINIT, size);
        const void* from = GlobalLock(Medium.hGlobal);
        void* to = GlobalLock(copy.hGlobal);
        if (!from || !to) {
            GlobalUnlock(Medium.hGlobal);
            GlobalFree(copy.hGlobal);
            return E_OUTOFMEMORY;
        }
        if (size) std::memcpy(to, from, size);
        GlobalUnlock(Medium.hGlobal);
        GlobalUnlock(copy.hGlobal);
    } else if (Medium.tymed == TYMED_ISTREAM) {
        copy.pstm = Medium.pstm;
    } else {
        return DV_E_TYMED;
    }
    // A release object that is this data object itself would keep it alive for ever.
    const std::shared_ptr<void> self = weak_from_this().lock();
    if (Medium.pUnkForRelease && Medium.pUnkForRelease != self)
        copy.pUnkForRelease = Medium.pUnkForRelease;
    stored->Medium = copy;
    adviseDataChange();
    return S_OK;
}

void TLTDataObject::adviseDataChange() {
    if (FAdviseHolder) FAdviseHolder->SendOnDataChange(this, 0, 0);
}

HRESULT TLTDataObject::EnumFormatEtc(DWORD Direction,
                                     std::shared_ptr<IEnumFORMATETC>& EnumFormatEtc) {
    EnumFormatEtc.reset();
    if (Direction != DATADIR_GET) return OLE_S_USEREG;
    EnumFormatEtc = std::make_shared<TEnumFormatEtc>(Owner(), FFormatEtcArray);
    return S_OK;
}

HRESULT TLTDataObject::DAdvise(const FORMATETC& FormatEtc, DWORD advf,
                               const std::shared_ptr<IAdviseSink>& AdvSink, DWORD& Connection) {
    if (!FAdviseHolder) {
        const HRESULT made = CreateDataAdviseHolder(FAdviseHolder);
        if (FAILED(made)) return made;
    }
    return FAdviseHolder->Advise(this, FormatEtc, advf, AdvSink, Connection);
}

HRESULT TLTDataObject::DUnadvise(DWORD Connection) {
    return FAdviseHolder ? FAdviseHolder->Unadvise(Connection) : E_NOTIMPL;
}

HRESULT TLTDataObject::EnumDAdvise(std::shared_ptr<IEnumSTATDATA>& EnumAdvise) {
    EnumAdvise.reset();
    return FAdviseHolder ? FAdviseHolder->EnumAdvise(EnumAdvise) : OLE_E_ADVISENOTSUPPORTED;
}

// --- TEnumFormatEtc ---------------------------------------------------------------------------

TEnumFormatEtc::TEnumFormatEtc(TBaseLazyTree* Tree, TFormatEtcArray Formats, int At)
    : FTree(Tree), FFormatEtcArray(std::move(Formats)), FCurrentIndex(At) {}

HRESULT TEnumFormatEtc::Next(ULONG Count, FORMATETC* Buffer, ULONG* Fetched) {
    const ULONG remaining = ULONG(int(FFormatEtcArray.size()) - FCurrentIndex);
    const ULONG n = std::min(Count, remaining);
    for (ULONG i = 0; i < n; ++i) Buffer[i] = FFormatEtcArray[std::size_t(FCurrentIndex) + i];
    FCurrentIndex += int(n);
    if (Fetched) *Fetched = n;
    return n > 0 ? S_OK : S_FALSE;
}

HRESULT TEnumFormatEtc::Skip(ULONG Count) {
    if (std::size_t(FCurrentIndex) + Count > FFormatEtcArray.size()) return S_FALSE;
    FCurrentIndex += int(Count);
    return S_OK;
}

HRESULT TEnumFormatEtc::Reset() {
    FCurrentIndex = 0;
    return S_OK;
}

HRESULT TEnumFormatEtc::Clone(std::shared_ptr<IEnumFORMATETC>& Enum) {
    try {
        Enum = std::make_shared<TEnumFormatEtc>(nullptr, FFormatEtcArray, FCurrentIndex);
    } catch (const std::bad_alloc&) {
        Enum.reset();
        return E_FAIL;
    }
    return S_OK;
}

// --- TLTDragManager ---------------------------------------------------------------------------

TLTDragManager::TLTDragManager(TBaseLazyTree* AOwner) : FOwner(AOwner->Link()) {}

HRESULT TLTDragManager::DragEnter(const std::shared_ptr<IDataObject>& DataObject, DWORD KeyState,
                                  TPoint Pt, DWORD& Effect) {
    TBaseLazyTree* tree = *FOwner;
    FDataObject = DataObject;
    FIsDropTarget = true;
    if (!tree) return E_UNEXPECTED;
    FDragSource = tree->TreeFromDataObject(DataObject);
    return tree->OleDragEnter(KeyState, Pt, Effect);
}

HRESULT TLTDragManager::DragOver(DWORD KeyState, TPoint Pt, DWORD& Effect) {
    TBaseLazyTree* tree = *FOwner;
    if (!tree) return E_UNEXPECTED;
    return tree->OleDragOver(FDragSource, KeyState, dsDragMove, Pt, Effect);
}

HRESULT TLTDragManager::DragLeave() {
    if (TBaseLazyTree* tree = *FOwner) tree->OleDragLeave();
    FIsDropTarget = false;
    FDragSource = nullptr;
    FDataObject.reset();
    return S_OK;
}

HRESULT TLTDragManager::Drop(const std::shared_ptr<IDataObject>& DataObject, DWORD KeyState,
                             TPoint Pt, DWORD& Effect) {
    TBaseLazyTree* tree = *FOwner;
    const HRESULT result =
        tree ? tree->OleDragDrop(DataObject, KeyState, Pt, Effect) : E_UNEXPECTED;
    FIsDropTarget = false;
    FDataObject.reset();
    return result;
}

HRESULT TLTDragManager::QueryContinueDrag(bool EscapePressed, DWORD KeyState) {
    const bool left = KeyState & MK_LBUTTON, right = KeyState & MK_RBUTTON;
    if (EscapePressed || (left && right)) return DRAGDROP_S_CANCEL;
    if (!left && !right) return DRAGDROP_S_DROP;
    return S_OK;
}

HRESULT TLTDragManager::GiveFeedback(DWORD) {
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

std::shared_ptr<IDataObject> TLTDragManager::CurrentDataObject() {
    if (FDataObject) return FDataObject;
    TBaseLazyTree* tree = *FOwner;
    if (!tree) return nullptr;
    std::shared_ptr<IDataObject> result;
    if (tree->OnCreateDataObject) tree->OnCreateDataObject(tree, result);
    if (!result) result = std::make_shared<TLTDataObject>(tree, false);
    return result;
}

// --- TClipboardFormats ------------------------------------------------------------------------

TClipboardFormats::TClipboardFormats(TBaseLazyTree* AOwner) : FOwner(AOwner) {
    SetSorted(true);
    SetCaseSensitive(false);
    Duplicates = dupIgnore;
}

bool TClipboardFormats::known(const std::string& S) const {
    const TClipboardFormatListEntry* e = TClipboardFormatList::FindFormat(S);
    return e && FOwner->TreeClass()->InheritsFrom(e->TreeClass);
}

int TClipboardFormats::Add(const std::string& S) {
    return known(S) ? TStringList::Add(S) : -1;
}

void TClipboardFormats::Insert(int Index, const std::string& S) {
    if (known(S)) TStringList::Insert(Index, S);
}
