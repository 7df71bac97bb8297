#include "grid/core/base/GridDragDrop.h"

#include "platform/base/SysUtils.h"

#include <algorithm>
#include <cstring>

namespace {
bool dropRTF = false;

// The bytes of a locked block, unlocked when done.
class LockedBlock {
public:
    explicit LockedBlock(HGLOBAL h)
        : h_(h), p_(static_cast<const std::uint8_t*>(GlobalLock(h))), size_(GlobalSize(h)) {}
    ~LockedBlock() {
        if (p_) GlobalUnlock(h_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    const std::uint8_t* data() const { return p_; }
    std::size_t size() const { return p_ ? size_ : 0; }

private:
    HGLOBAL h_;
    const std::uint8_t* p_;
    std::size_t size_;
};

// 8-bit text up to its zero or the block's end.
std::string narrowText(const std::uint8_t* p, std::size_t size) {
    std::size_t n = 0;
    while (n < size && p[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

std::uint32_t readU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void writeU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

HGLOBAL blockWith(const void* bytes, std::size_t size, std::size_t capacity) {
    HGLOBAL h = GlobalAlloc(GHND | GMEM_SHARE, capacity);
    auto* p = static_cast<std::uint8_t*>(GlobalLock(h));
    if (!p) return nullptr;
    if (size) std::memcpy(p, bytes, size);
    GlobalUnlock(h);
    return h;
}

std::vector<CLIPFORMAT> sourceFormats(bool HasCol, bool HasGridCells) {
    std::vector<CLIPFORMAT> list{CF_TEXT, CF_UNICODETEXT, DropFormatIds().RTF};
    if (HasCol) list.push_back(DropFormatIds().GridCol);
    if (HasGridCells) list.push_back(DropFormatIds().GridCells);
    return list;
}
} // namespace

const TDropFormatIds& DropFormatIds() {
    static const TDropFormatIds ids = [] {
        TDropFormatIds r;
        r.RTF = CLIPFORMAT(RegisterClipboardFormat("Rich Text Format"));
        r.GridCol = CLIPFORMAT(RegisterClipboardFormat("Grid Column"));
        r.GridCells = CLIPFORMAT(RegisterClipboardFormat("TQorStringGrid Cells"));
        r.URL = CLIPFORMAT(RegisterClipboardFormat("UniformResourceLocator"));
        return r;
    }();
    return ids;
}

void SetDropRTF(bool Value) {
    dropRTF = Value;
}

bool DropRTFEnabled() {
    return dropRTF;
}

DWORD StandardEffect(DWORD KeyState, DWORD Allowed) {
    if (KeyState & MK_CONTROL) return DROPEFFECT_COPY;
    return (Allowed & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
}

// --- TEnumFormats ----------------------------------------------------------------------------
TEnumFormats::TEnumFormats(std::shared_ptr<IDataObject> DataObject)
    : FFiles(std::make_unique<TStringList>()) {
    SetDataObject(std::move(DataObject));
}

TEnumFormats::~TEnumFormats() {
    releaseMedium();
}

void TEnumFormats::releaseMedium() {
    ReleaseStgMedium(FMedium);
}

void TEnumFormats::SetDataObject(std::shared_ptr<IDataObject> Value) {
    releaseMedium();
    FDataObject = std::move(Value);
    FEnumerator.reset();
    if (!FDataObject || FAILED(FDataObject->EnumFormatEtc(DATADIR_GET, FEnumerator)) ||
        !FEnumerator)
        throw EAssertionFailed("Cannot get the format enumerator");
    Reset();
}

bool TEnumFormats::Reset() {
    FValid = false;
    FCount = 0;
    return FEnumerator->Reset() == S_OK;
}

bool TEnumFormats::Next() {
    ++FCount;
    ULONG fetched = 0;
    FValid = FEnumerator->Next(1, &FFormatEtc, &fetched) == S_OK && fetched == 1;
    return FValid;
}

bool TEnumFormats::HasFormat(CLIPFORMAT ClipFormat) {
    Reset();
    while (Next())
        if (FFormatEtc.cfFormat == ClipFormat) return true;
    return false;
}

HGLOBAL TEnumFormats::Handle(DWORD Tymed) {
    releaseMedium();
    if (!FValid || !(FFormatEtc.tymed & Tymed)) return nullptr;
    FORMATETC f = FFormatEtc;
    f.tymed = Tymed;
    if (FDataObject->GetData(f, FMedium) != S_OK) {
        FMedium = STGMEDIUM{};
        return nullptr;
    }
    return FMedium.hGlobal;
}

std::string TEnumFormats::Text() {
    if (!HasText()) return "";
    LockedBlock b(GlobalHandle());
    return b.data() ? WideBytesText(b.data(), b.size()) : "";
}

std::string TEnumFormats::RTF() {
    if (!HasRTF()) return "";
    LockedBlock b(GlobalHandle());
    return b.data() ? narrowText(b.data(), b.size()) : "";
}

int TEnumFormats::Col() {
    if (!HasCol()) return -1;
    LockedBlock b(GlobalHandle());
    return b.size() >= 4 ? int(std::int32_t(readU32(b.data()))) : -1;
}

std::unique_ptr<TMemoryStream> TEnumFormats::Stream() {
    if (!HasGridCells()) return nullptr;
    LockedBlock b(GlobalHandle());
    if (b.size() < 8) return nullptr;
    const std::uint32_t n = readU32(b.data());
    // A length beyond the block is not believed.
    if (n > b.size() - 8) return nullptr;
    auto ms = std::make_unique<TMemoryStream>();
    if (n) ms->WriteBuffer(b.data() + 8, n);
    ms->SetPosition(0);
    return ms;
}

bool TEnumFormats::ReadFiles(TStrings* Files) {
    FFiles->Clear();
    LockedBlock b(GlobalHandle());
    for (const std::string& name : ReadFileDropBlock(b.data(), b.size())) FFiles->Add(name);
    if (Files) Files->Assign(FFiles.get());
    return Files && Files->Count() > 0;
}

// --- TASGDropTarget --------------------------------------------------------------------------
HRESULT TASGDropTarget::DragEnter(const std::shared_ptr<IDataObject>& DataObj, DWORD grfKeyState,
                                  TPoint /*pt*/, DWORD& dwEffect) {
    FOk = false;
    FDropFormats = {};
    try {
        TEnumFormats f(DataObj);
        if (f.HasText()) FDropFormats.Include(dfText);
        if (f.HasFile()) FDropFormats.Include(dfFile);
        if (f.HasRTF()) FDropFormats.Include(dfRTF);
        if (f.HasCol()) FDropFormats.Include(dfCol);
        if (f.HasURL()) FDropFormats.Include(dfURL);
        if (f.HasGridCells()) FDropFormats.Include(dfGridCells);
    } catch (const EAssertionFailed&) {
        // An object that lists no formats offers nothing this target takes: refused.
        FDropFormats = {};
    }
    const TDropFormats d = FDropFormats;
    FOk = (d.Contains(dfText) && FAcceptText) || (d.Contains(dfFile) && FAcceptFiles) ||
          (d.Contains(dfRTF) && dropRTF && FAcceptText) || (d.Contains(dfCol) && FAcceptCols) ||
          (d.Contains(dfURL) && FAcceptURLs) || d.Contains(dfGridCells);
    dwEffect = FOk ? StandardEffect(grfKeyState, dwEffect) : DROPEFFECT_NONE;
    DragMouseEnter();
    return S_OK;
}

HRESULT TASGDropTarget::DragOver(DWORD grfKeyState, TPoint pt, DWORD& dwEffect) {
    dwEffect = FOk ? StandardEffect(grfKeyState, dwEffect) : DROPEFFECT_NONE;
    bool allow = dwEffect != DROPEFFECT_NONE;
    DragMouseMove(pt, allow, FDropFormats);
    if (!allow) dwEffect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT TASGDropTarget::DragLeave() {
    DragMouseLeave();
    return S_OK;
}

HRESULT TASGDropTarget::Drop(const std::shared_ptr<IDataObject>& DataObj, DWORD grfKeyState,
                             TPoint pt, DWORD& dwEffect) {
    if (!FOk) {
        dwEffect = DROPEFFECT_NONE;
        return S_OK;
    }
    const DWORD allowed = dwEffect;
    try {
        TEnumFormats f(DataObj);
        if (f.HasCol()) {
            // A column is delivered alone.
            DropCol(pt, f.Col());
        } else {
            if (auto ms = f.Stream()) {
                DropStream(pt, ms.get());
            } else if (dropRTF && f.HasRTF()) {
                DropRTF(pt, f.RTF());
            } else if (f.HasText()) {
                DropText(pt, f.Text());
            }
            if (f.HasFile()) {
                TStringList files;
                if (f.ReadFiles(&files)) DropFiles(pt, &files);
            }
            if (f.HasURL()) DropURL(pt, f.Text());
        }
    } catch (const EAssertionFailed&) {
        // The object lost its format list since it entered: nothing to drop.
        dwEffect = DROPEFFECT_NONE;
        return S_OK;
    }
    dwEffect = StandardEffect(grfKeyState, allowed);
    return S_OK;
}

void TASGDropTarget::DropText(TPoint, const std::string&) {}
void TASGDropTarget::DropStream(TPoint, TMemoryStream*) {}
void TASGDropTarget::DropCol(TPoint, int) {}
void TASGDropTarget::DropRTF(TPoint, const std::string&) {}
void TASGDropTarget::DropFiles(TPoint, TStrings*) {}
void TASGDropTarget::DropURL(TPoint, const std::string&) {}
void TASGDropTarget::DragMouseMove(TPoint, bool&, TDropFormats) {}
void TASGDropTarget::DragMouseEnter() {}
void TASGDropTarget::DragMouseLeave() {}

// --- TASGDropSource --------------------------------------------------------------------------
HRESULT TASGDropSource::QueryContinueDrag(bool fEscapePressed, DWORD grfKeyState) {
    HRESULT result = S_OK;
    if (fEscapePressed) {
        DragFinished();
        result = DRAGDROP_S_CANCEL;
    } else if (!(grfKeyState & MK_LBUTTON)) {
        DragFinished();
        result = DRAGDROP_S_DROP;
    }
    QueryDrag();
    return result;
}

HRESULT TASGDropSource::GiveFeedback(DWORD dwEffect) {
    FNoAccept = dwEffect == DROPEFFECT_NONE;
    CurrentEffect(dwEffect);
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

// --- TSourceDataObject -----------------------------------------------------------------------
TSourceDataObject::TSourceDataObject(const std::string& stxt, const std::string& srtf, int sidx,
                                     TMemoryStream* ms)
    : textdata(stxt), rtfdata(srtf), scolidx(sidx), memstr(ms) {}

HRESULT TSourceDataObject::QueryGetData(const FORMATETC& f) {
    if (f.dwAspect != DVASPECT_CONTENT || !(f.tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
    const TDropFormatIds& ids = DropFormatIds();
    if (!textdata.empty() && (f.cfFormat == CF_TEXT || f.cfFormat == CF_UNICODETEXT ||
                              (dropRTF && f.cfFormat == ids.RTF)))
        return S_OK;
    if (memstr && f.cfFormat == ids.GridCells) return S_OK;
    if (scolidx != -1 && f.cfFormat == ids.GridCol) return S_OK;
    return DV_E_FORMATETC;
}

HRESULT TSourceDataObject::GetData(const FORMATETC& f, STGMEDIUM& medium) {
    if (QueryGetData(f) != S_OK) return DV_E_FORMATETC;
    HGLOBAL h = nullptr;
    if (f.cfFormat == CF_UNICODETEXT) {
        const std::vector<std::uint8_t> bytes = WideTextBytes(textdata);
        h = blockWith(bytes.data(), bytes.size(), bytes.size() + 2);
    } else if (f.cfFormat == CF_TEXT) {
        h = blockWith(textdata.data(), textdata.size(), textdata.size() + 1);
    } else if (f.cfFormat == DropFormatIds().RTF) {
        // Text without rich text offers an empty rich text.
        h = blockWith(rtfdata.data(), rtfdata.size(), rtfdata.size() + 1);
    } else if (f.cfFormat == DropFormatIds().GridCol) {
        std::uint8_t b[4];
        writeU32(b, std::uint32_t(scolidx));
        h = blockWith(b, 4, 4);
    } else {
        const std::vector<std::uint8_t>& payload = memstr->Bytes();
        std::vector<std::uint8_t> bytes(8 + payload.size(), 0);
        writeU32(bytes.data(), std::uint32_t(payload.size()));
        std::copy(payload.begin(), payload.end(), bytes.begin() + 8);
        h = blockWith(bytes.data(), bytes.size(), bytes.size());
    }
    if (!h) return DV_E_FORMATETC;
    medium = STGMEDIUM{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = h;
    return S_OK;
}

HRESULT TSourceDataObject::SetData(const FORMATETC&, STGMEDIUM&, bool) {
    return DV_E_FORMATETC;
}

std::shared_ptr<IEnumFORMATETC> TSourceDataObject::ReadFormats() {
    return std::make_shared<TSourceEnumFormatEtc>(scolidx != -1, memstr != nullptr);
}

// --- TSourceEnumFormatEtc --------------------------------------------------------------------
TSourceEnumFormatEtc::TSourceEnumFormatEtc(bool HasCol, bool HasGridCells)
    : TFormatEtcList(sourceFormats(HasCol, HasGridCells)) {}

// --- starting a drag -------------------------------------------------------------------------
HRESULT BeginTextDragDrop(const std::shared_ptr<TASGDropSource>& DropSource,
                          const std::string& Text, const std::string& RTF, DWORD& Effect,
                          DWORD OkEffects, TMemoryStream* Stream) {
    auto data = std::make_shared<TSourceDataObject>(Text, RTF, -1, Stream);
    const HRESULT hr = DoDragDrop(data, DropSource, OkEffects, Effect);
    return DropSource->NoAccept() ? DRAGDROP_S_CANCEL : hr;
}

HRESULT BeginColumnDragDrop(const std::shared_ptr<TASGDropSource>& DropSource, int Column,
                            DWORD OkEffects, DWORD& Effect) {
    auto data = std::make_shared<TSourceDataObject>("", "", Column, nullptr);
    const HRESULT hr = DoDragDrop(data, DropSource, OkEffects, Effect);
    return DropSource->NoAccept() ? DRAGDROP_S_CANCEL : hr;
}
