#include "platform/ui/core/DragDrop.h"

#include "platform/base/SysUtils.h"
#include "platform/gfx/Gdi.h"
#include "platform/ui/core/ControlsInternal.h"
#include "platform/ui/core/Forms.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <vector>

// A global memory block: its bytes and its lock count.
struct HGLOBAL__ {
    std::vector<std::uint8_t> bytes;
    int locks = 0;
};

namespace {
// The blocks handed out and not yet freed; the table owns them.
std::map<HGLOBAL, std::unique_ptr<HGLOBAL__>>& blocks() {
    static std::map<HGLOBAL, std::unique_ptr<HGLOBAL__>> table;
    return table;
}

HGLOBAL__* blockOf(HGLOBAL Mem) {
    auto& table = blocks();
    auto it = table.find(Mem);
    return it == table.end() ? nullptr : it->second.get();
}

std::map<HWND, std::shared_ptr<IDropTarget>>& targets() {
    static std::map<HWND, std::shared_ptr<IDropTarget>> table;
    return table;
}

TDragDriver* driver = nullptr;
std::function<void()> idleHook;

// The point lies in the window and inside its shape.
bool hits(TWinControl* w, TPoint screen) {
    const TPoint p = w->ScreenToClient(screen);
    if (p.X < 0 || p.Y < 0 || p.X >= w->Width() || p.Y >= w->Height()) return false;
    const TRegion* shape = w->WindowRegion();
    return !shape || shape->Contains(p);
}

bool usable(TWinControl* w) {
    return w->HandleAllocated() && w->Showing() && w->Enabled();
}

// Top-level windows: pop-ups first (they float above), newest first.
std::vector<TWinControl*> topLevelWindows() {
    std::vector<std::pair<HWND, TWinControl*>> all;
    {
        auto& s = controls::state();
        std::lock_guard lock(s.mutex);
        for (auto& [h, c] : s.windows)
            if (!c->Parent() || c->IsPopupWindow()) all.emplace_back(h, c);
    }
    std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) {
        if (a.second->IsPopupWindow() != b.second->IsPopupWindow())
            return a.second->IsPopupWindow();
        return a.first > b.first;
    });
    std::vector<TWinControl*> out;
    for (auto& entry : all) out.push_back(entry.second);
    return out;
}
} // namespace

// --- global memory ---------------------------------------------------------------------------
HGLOBAL GlobalAlloc(UINT /*Flags*/, std::size_t Bytes) {
    auto block = std::make_unique<HGLOBAL__>();
    try {
        // Blocks are always zeroed.
        block->bytes.assign(Bytes, 0);
    } catch (const std::bad_alloc&) {
        // The classic answer to an allocation that cannot be had is a null handle.
        return nullptr;
    }
    HGLOBAL h = block.get();
    blocks().emplace(h, std::move(block));
    return h;
}

void* GlobalLock(HGLOBAL Mem) {
    HGLOBAL__* b = blockOf(Mem);
    if (!b) return nullptr;
    ++b->locks;
    // A block of 0 bytes still has an address.
    return b->bytes.empty() ? static_cast<void*>(b) : b->bytes.data();
}

bool GlobalUnlock(HGLOBAL Mem) {
    HGLOBAL__* b = blockOf(Mem);
    if (!b || b->locks == 0) return false;
    return --b->locks > 0;
}

std::size_t GlobalSize(HGLOBAL Mem) {
    HGLOBAL__* b = blockOf(Mem);
    return b ? b->bytes.size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL Mem) {
    return blocks().erase(Mem) ? nullptr : Mem;
}

void ReleaseStgMedium(STGMEDIUM& Medium) {
    if (Medium.tymed == TYMED_HGLOBAL && !Medium.pUnkForRelease) GlobalFree(Medium.hGlobal);
    Medium.pUnkForRelease.reset();
    Medium.pstm.reset();
    Medium.hGlobal = nullptr;
    Medium.tymed = TYMED_NULL;
}

namespace {
std::u16string wideUpToZero(const std::uint8_t* p, std::size_t size) {
    std::u16string out;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const char16_t c = char16_t(p[i] | (p[i + 1] << 8));
        if (c == 0) break;
        out += c;
    }
    return out;
}
} // namespace

std::vector<std::uint8_t> WideTextBytes(const std::string& Text) {
    const std::u16string wide = Utf8ToWide(Text);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(wide.size() * 2);
    for (char16_t c : wide) {
        bytes.push_back(std::uint8_t(c & 0xFF));
        bytes.push_back(std::uint8_t(c >> 8));
    }
    return bytes;
}

std::string WideBytesText(const std::uint8_t* Block, std::size_t Size) {
    return WideToUtf8(wideUpToZero(Block, Size));
}

std::vector<std::string> ReadFileDropBlock(const std::uint8_t* Block, std::size_t Size) {
    std::vector<std::string> out;
    if (!Block || Size < sizeof(DROPFILES)) return out;
    DROPFILES header;
    std::memcpy(&header, Block, sizeof header);
    std::size_t at = header.pFiles & ~std::size_t(1);
    while (at < Size) {
        std::string name;
        if (header.fWide) {
            const std::u16string w = wideUpToZero(Block + at, Size - at);
            at += (w.size() + 1) * 2;
            name = WideToUtf8(w);
        } else {
            std::size_t n = 0;
            while (at + n < Size && Block[at + n] != 0) ++n;
            name.assign(reinterpret_cast<const char*>(Block + at), n);
            at += n + 1;
        }
        if (name.empty()) break;
        out.push_back(std::move(name));
    }
    return out;
}

HGLOBAL MakeFileDropBlock(const std::vector<std::string>& Files) {
    std::u16string names;
    for (const auto& f : Files) {
        names += Utf8ToWide(f);
        names += u'\0';
    }
    names += u'\0';
    const std::size_t size = sizeof(DROPFILES) + names.size() * 2;
    HGLOBAL h = GlobalAlloc(GHND | GMEM_SHARE, size);
    auto* p = static_cast<std::uint8_t*>(GlobalLock(h));
    if (!p) return nullptr;
    DROPFILES header;
    header.fWide = 1;
    std::memcpy(p, &header, sizeof header);
    std::memcpy(p + sizeof header, names.data(), names.size() * 2);
    GlobalUnlock(h);
    return h;
}

// --- format list and outbound data objects ----------------------------------------------------
TFormatEtcList::TFormatEtcList(std::vector<CLIPFORMAT> Formats, ULONG At)
    : formats_(std::move(Formats)), at_(At) {}

HRESULT TFormatEtcList::Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) {
    ULONG n = 0;
    while (n < celt && at_ < formats_.size()) {
        FORMATETC f;
        f.cfFormat = formats_[at_++];
        rgelt[n++] = f;
    }
    if (pceltFetched) *pceltFetched = n;
    return n == celt ? S_OK : S_FALSE;
}

HRESULT TFormatEtcList::Skip(ULONG celt) {
    at_ += celt;
    if (at_ > formats_.size()) {
        at_ = ULONG(formats_.size());
        return S_FALSE;
    }
    return S_OK;
}

HRESULT TFormatEtcList::Reset() {
    at_ = 0;
    return S_OK;
}

HRESULT TFormatEtcList::Clone(std::shared_ptr<IEnumFORMATETC>& out) {
    out = std::make_shared<TFormatEtcList>(formats_, at_);
    return S_OK;
}

HRESULT TOutboundDataObject::GetDataHere(const FORMATETC&, STGMEDIUM&) {
    return DV_E_FORMATETC;
}

HRESULT TOutboundDataObject::GetCanonicalFormatEtc(const FORMATETC&, FORMATETC& out) {
    out.ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT TOutboundDataObject::EnumFormatEtc(DWORD dwDirection,
                                           std::shared_ptr<IEnumFORMATETC>& out) {
    if (dwDirection != DATADIR_GET) {
        out.reset();
        return E_NOTIMPL;
    }
    out = ReadFormats();
    return S_OK;
}

HRESULT TOutboundDataObject::DAdvise(const FORMATETC&, DWORD, const std::shared_ptr<IAdviseSink>&,
                                     DWORD&) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TOutboundDataObject::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TOutboundDataObject::EnumDAdvise(std::shared_ptr<IEnumSTATDATA>& out) {
    out.reset();
    return OLE_E_ADVISENOTSUPPORTED;
}

// --- advise connections -------------------------------------------------------------------------
namespace {

class TStatDataList : public IEnumSTATDATA {
public:
    TStatDataList(std::vector<STATDATA> Items, ULONG At) : items_(std::move(Items)), at_(At) {}
    HRESULT Next(ULONG celt, STATDATA* rgelt, ULONG* pceltFetched) override {
        ULONG n = 0;
        for (; n < celt && at_ < items_.size(); ++n) rgelt[n] = items_[at_++];
        if (pceltFetched) *pceltFetched = n;
        return n == celt ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG celt) override {
        const ULONG left = ULONG(items_.size()) - at_;
        at_ += std::min(celt, left);
        return celt <= left ? S_OK : S_FALSE;
    }
    HRESULT Reset() override {
        at_ = 0;
        return S_OK;
    }
    HRESULT Clone(std::shared_ptr<IEnumSTATDATA>& out) override {
        out = std::make_shared<TStatDataList>(items_, at_);
        return S_OK;
    }

private:
    std::vector<STATDATA> items_;
    ULONG at_;
};

class TDataAdviseHolder : public IDataAdviseHolder {
public:
    HRESULT Advise(IDataObject* DataObject, const FORMATETC& Format, DWORD Advf,
                   const std::shared_ptr<IAdviseSink>& Sink, DWORD& Connection) override {
        Connection = 0;
        if (!Sink) return E_INVALIDARG;
        STATDATA c;
        c.formatetc = Format;
        c.advf = Advf;
        c.pAdvSink = Sink;
        c.dwConnection = ++last_;
        Connection = c.dwConnection;
        connections_.push_back(c);
        if ((Advf & ADVF_PRIMEFIRST) && DataObject) {
            notify(DataObject, c);
            if (Advf & ADVF_ONLYONCE) Unadvise(c.dwConnection);
        }
        return S_OK;
    }
    HRESULT Unadvise(DWORD Connection) override {
        for (auto it = connections_.begin(); it != connections_.end(); ++it)
            if (it->dwConnection == Connection) {
                connections_.erase(it);
                return S_OK;
            }
        return OLE_E_NOCONNECTION;
    }
    HRESULT EnumAdvise(std::shared_ptr<IEnumSTATDATA>& out) override {
        out = std::make_shared<TStatDataList>(connections_, 0);
        return S_OK;
    }
    HRESULT SendOnDataChange(IDataObject* DataObject, DWORD, DWORD) override {
        if (!DataObject) return E_INVALIDARG;
        // A sink may advise or unadvise while it is told: walk a copy.
        const std::vector<STATDATA> connections = connections_;
        for (const STATDATA& c : connections) {
            notify(DataObject, c);
            if (c.advf & ADVF_ONLYONCE) Unadvise(c.dwConnection);
        }
        return S_OK;
    }

private:
    static void notify(IDataObject* DataObject, const STATDATA& c) {
        STGMEDIUM medium;
        if (!(c.advf & ADVF_NODATA) && FAILED(DataObject->GetData(c.formatetc, medium)))
            medium = STGMEDIUM{};
        c.pAdvSink->OnDataChange(c.formatetc, medium);
        ReleaseStgMedium(medium);
    }
    std::vector<STATDATA> connections_;
    DWORD last_ = 0;
};

} // namespace

HRESULT CreateDataAdviseHolder(std::shared_ptr<IDataAdviseHolder>& ppDAHolder) {
    ppDAHolder = std::make_shared<TDataAdviseHolder>();
    return S_OK;
}

// --- TMemoryDataObject ----------------------------------------------------------------------
namespace {
// A copy of n bytes at p followed by zeros zero bytes.
std::vector<std::uint8_t> withZero(const void* p, std::size_t n, std::size_t zeros) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    std::vector<std::uint8_t> out(b, b + n);
    out.insert(out.end(), zeros, 0);
    return out;
}
} // namespace

void TMemoryDataObject::SetFormat(CLIPFORMAT Format, std::vector<std::uint8_t> Bytes) {
    for (auto& entry : formats_)
        if (entry.first == Format) {
            entry.second = std::move(Bytes);
            return;
        }
    formats_.emplace_back(Format, std::move(Bytes));
}

void TMemoryDataObject::SetText(const std::string& Text) {
    std::vector<std::uint8_t> bytes = WideTextBytes(Text);
    bytes.insert(bytes.end(), 2, 0);
    SetFormat(CF_UNICODETEXT, std::move(bytes));
    SetFormat(CF_TEXT, withZero(Text.data(), Text.size(), 1));
}

void TMemoryDataObject::SetFiles(const std::vector<std::string>& Files) {
    HGLOBAL h = MakeFileDropBlock(Files);
    const void* p = GlobalLock(h);
    if (!p) return;
    SetFormat(CF_HDROP, withZero(p, GlobalSize(h), 0));
    GlobalUnlock(h);
    GlobalFree(h);
}

bool TMemoryDataObject::HasFormat(CLIPFORMAT Format) const {
    return Bytes(Format) != nullptr;
}

const std::vector<std::uint8_t>* TMemoryDataObject::Bytes(CLIPFORMAT Format) const {
    for (const auto& entry : formats_)
        if (entry.first == Format) return &entry.second;
    return nullptr;
}

HRESULT TMemoryDataObject::QueryGetData(const FORMATETC& f) {
    if (f.dwAspect != DVASPECT_CONTENT || !(f.tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
    return HasFormat(f.cfFormat) ? S_OK : DV_E_FORMATETC;
}

HRESULT TMemoryDataObject::GetData(const FORMATETC& f, STGMEDIUM& medium) {
    if (QueryGetData(f) != S_OK) return DV_E_FORMATETC;
    const std::vector<std::uint8_t>& bytes = *Bytes(f.cfFormat);
    HGLOBAL h = GlobalAlloc(GHND | GMEM_SHARE, bytes.size());
    auto* p = static_cast<std::uint8_t*>(GlobalLock(h));
    if (!p) return E_OUTOFMEMORY;
    if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(h);
    medium = STGMEDIUM{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = h;
    return S_OK;
}

HRESULT TMemoryDataObject::SetData(const FORMATETC&, STGMEDIUM&, bool) {
    return E_NOTIMPL;
}

std::shared_ptr<IEnumFORMATETC> TMemoryDataObject::ReadFormats() {
    std::vector<CLIPFORMAT> list;
    for (const auto& entry : formats_) list.push_back(entry.first);
    return std::make_shared<TFormatEtcList>(std::move(list));
}

std::vector<std::uint8_t> DataObjectBytes(IDataObject& DataObj, CLIPFORMAT Format) {
    FORMATETC f;
    f.cfFormat = Format;
    STGMEDIUM medium;
    if (DataObj.GetData(f, medium) != S_OK) return {};
    std::vector<std::uint8_t> out;
    if (const auto* p = static_cast<const std::uint8_t*>(GlobalLock(medium.hGlobal))) {
        out.assign(p, p + GlobalSize(medium.hGlobal));
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(medium);
    return out;
}

std::vector<CLIPFORMAT> DataObjectFormats(IDataObject& DataObj) {
    std::vector<CLIPFORMAT> out;
    std::shared_ptr<IEnumFORMATETC> list;
    if (DataObj.EnumFormatEtc(DATADIR_GET, list) != S_OK || !list) return out;
    list->Reset();
    FORMATETC f;
    ULONG fetched = 0;
    while (list->Next(1, &f, &fetched) == S_OK && fetched == 1) out.push_back(f.cfFormat);
    return out;
}

// --- the clipboard as a data object ----------------------------------------------------------
namespace {
// The clipboard's owner and what it wrote there.
std::shared_ptr<IDataObject>& clipboardOwner() {
    static std::shared_ptr<IDataObject> owner;
    return owner;
}
TClipboardContents& ownerContents() {
    static TClipboardContents contents;
    return contents;
}

// The text and the named formats of a data object, as the clipboard holds them.
TClipboardContents renderContents(IDataObject& DataObj) {
    TClipboardContents c;
    std::optional<std::string> narrow;
    for (CLIPFORMAT f : DataObjectFormats(DataObj)) {
        const std::vector<std::uint8_t> bytes = DataObjectBytes(DataObj, f);
        if (f == CF_UNICODETEXT) {
            c.Text = WideBytesText(bytes.data(), bytes.size());
        } else if (f == CF_TEXT) {
            std::string t(bytes.begin(), bytes.end());
            narrow = t.substr(0, t.find('\0'));
        } else if (const std::string name = GetClipboardFormatName(f); !name.empty()) {
            c.Named.emplace_back(name, std::string(bytes.begin(), bytes.end()));
        }
    }
    if (!c.Text) c.Text = narrow;
    return c;
}

void writeContents(const TClipboardContents& c) {
    TClipboard* clip = Clipboard();
    clip->Open();
    clip->Clear();
    if (c.Text) clip->SetAsText(*c.Text);
    for (const auto& [name, bytes] : c.Named)
        clip->SetAsBytes(RegisterClipboardFormat(name), bytes);
    clip->Close();
}

// The clipboard still holds what its owner wrote.
bool ownerStillThere() {
    if (!clipboardOwner()) return false;
    const TClipboardContents& mine = ownerContents();
    TClipboard* clip = Clipboard();
    if (mine.Text && (!clip->HasFormat(CF_UNICODETEXT) || clip->AsText() != *mine.Text))
        return false;
    for (const auto& [name, bytes] : mine.Named)
        if (clip->GetAsBytes(RegisterClipboardFormat(name)) != bytes) return false;
    return true;
}

// Lets the owner go; its release may call back into the clipboard.
void dropOwner() {
    std::shared_ptr<IDataObject> old = std::move(clipboardOwner());
    clipboardOwner().reset();
    ownerContents() = {};
    old.reset();
}
} // namespace

HRESULT OleSetClipboard(const std::shared_ptr<IDataObject>& DataObj) {
    dropOwner();
    try {
        const TClipboardContents c = DataObj ? renderContents(*DataObj) : TClipboardContents{};
        writeContents(c);
        if (DataObj) {
            clipboardOwner() = DataObj;
            ownerContents() = c;
        }
    } catch (const Exception&) {
        return CLIPBRD_E_CANT_OPEN;
    }
    return S_OK;
}

HRESULT OleGetClipboard(std::shared_ptr<IDataObject>& DataObj) {
    DataObj.reset();
    if (ownerStillThere()) {
        DataObj = clipboardOwner();
        return S_OK;
    }
    dropOwner();
    auto copy = std::make_shared<TMemoryDataObject>();
    TClipboard* clip = Clipboard();
    if (clip->HasFormat(CF_UNICODETEXT)) copy->SetText(clip->AsText());
    for (const auto& [name, bytes] : clip->Contents().Named)
        copy->SetFormat(CLIPFORMAT(RegisterClipboardFormat(name)),
                        std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    DataObj = std::move(copy);
    return S_OK;
}

HRESULT OleFlushClipboard() {
    if (!clipboardOwner()) return S_OK;
    std::shared_ptr<IDataObject> owner = clipboardOwner();
    const HRESULT hr = OleSetClipboard(owner);
    dropOwner();
    return hr;
}

HRESULT OleIsCurrentClipboard(const std::shared_ptr<IDataObject>& DataObj) {
    return DataObj && DataObj == clipboardOwner() && ownerStillThere() ? S_OK : S_FALSE;
}

DWORD GetCurrentProcessId() {
    return DWORD(::getpid());
}

// --- registration ----------------------------------------------------------------------------
HRESULT RegisterDragDrop(HWND Wnd, std::shared_ptr<IDropTarget> Target) {
    if (!FindControl(Wnd) || !Target) return DRAGDROP_E_INVALIDHWND;
    auto& table = targets();
    if (auto it = table.find(Wnd); it != table.end() && FindControl(it->first))
        return DRAGDROP_E_ALREADYREGISTERED;
    table[Wnd] = std::move(Target);
    return S_OK;
}

HRESULT RevokeDragDrop(HWND Wnd) {
    return targets().erase(Wnd) ? S_OK : DRAGDROP_E_NOTREGISTERED;
}

std::shared_ptr<IDropTarget> FindDropTarget(HWND Wnd) {
    auto& table = targets();
    for (TWinControl* w = FindControl(Wnd); w; w = w->Parent()) {
        if (!w->HandleAllocated()) continue;
        if (auto it = table.find(w->Handle()); it != table.end()) return it->second;
    }
    return nullptr;
}

HWND WindowFromPoint(TPoint Pt) {
    for (TWinControl* top : topLevelWindows()) {
        if (!usable(top) || !hits(top, Pt)) continue;
        TWinControl* w = top;
        while (true) {
            TWinControl* inner = nullptr;
            // The topmost windowed child under the point.
            for (int i = w->ControlCount() - 1; i >= 0 && !inner; --i) {
                auto* c = dynamic_cast<TWinControl*>(w->Controls(i));
                if (c && !c->IsPopupWindow() && usable(c) && hits(c, Pt)) inner = c;
            }
            if (!inner) break;
            w = inner;
        }
        return w->Handle();
    }
    return nullptr;
}

DWORD DragKeyState() {
    DWORD keys = 0;
    if (GetAsyncKeyState(VK_LBUTTON) < 0) keys |= MK_LBUTTON;
    if (GetAsyncKeyState(VK_RBUTTON) < 0) keys |= MK_RBUTTON;
    if (GetAsyncKeyState(VK_MBUTTON) < 0) keys |= MK_MBUTTON;
    if (GetAsyncKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
    if (GetAsyncKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
    if (GetAsyncKeyState(VK_MENU) < 0) keys |= MK_ALT;
    return keys;
}

// --- the drag --------------------------------------------------------------------------------
void SetDragDriver(TDragDriver* Driver) {
    driver = Driver;
}

TDragDriver* DragDriver() {
    return driver;
}

void SetDragLoopIdleHook(std::function<void()> Idle) {
    idleHook = std::move(Idle);
}

namespace {
HRESULT dragInThisProcess(const std::shared_ptr<IDataObject>& DataObj,
                          const std::shared_ptr<IDropSource>& DropSource, DWORD OkEffects,
                          DWORD& Effect) {
    std::shared_ptr<IDropTarget> target;
    DWORD lastEffect = DROPEFFECT_NONE;
    Effect = DROPEFFECT_NONE;
    while (true) {
        TPoint pt;
        GetCursorPos(pt);
        const DWORD keys = DragKeyState();
        // The target under the pointer first, so that a release at a new place drops there.
        std::shared_ptr<IDropTarget> now = FindDropTarget(WindowFromPoint(pt));
        DWORD effect = OkEffects;
        if (now != target) {
            if (target) target->DragLeave();
            target = now;
            if (target) target->DragEnter(DataObj, keys, pt, effect);
        } else if (target) {
            target->DragOver(keys, pt, effect);
        }
        lastEffect = target ? effect & OkEffects : DROPEFFECT_NONE;
        DropSource->GiveFeedback(lastEffect);

        const HRESULT hr =
            DropSource->QueryContinueDrag(GetAsyncKeyState(VK_ESCAPE) < 0, DragKeyState());
        if (hr == DRAGDROP_S_DROP) {
            if (target && lastEffect != DROPEFFECT_NONE) {
                DWORD dropEffect = OkEffects;
                target->Drop(DataObj, keys, pt, dropEffect);
                Effect = dropEffect & OkEffects;
            } else if (target) {
                target->DragLeave();
            }
            return DRAGDROP_S_DROP;
        }
        if (hr != S_OK) {
            if (target) target->DragLeave();
            return hr == DRAGDROP_S_CANCEL || FAILED(hr) ? hr : DRAGDROP_S_CANCEL;
        }
        if (idleHook) {
            Application->DispatchPending();
            idleHook();
        } else {
            Application->HandleMessage();
        }
    }
}
} // namespace

HRESULT DoDragDrop(const std::shared_ptr<IDataObject>& DataObj,
                   const std::shared_ptr<IDropSource>& DropSource, DWORD OkEffects, DWORD& Effect) {
    Effect = DROPEFFECT_NONE;
    if (!DataObj || !DropSource) return E_INVALIDARG;
    if (driver) return driver->DoDragDrop(DataObj, DropSource, OkEffects, Effect);
    return dragInThisProcess(DataObj, DropSource, OkEffects, Effect);
}

// --- dragging controls ---------------------------------------------------------------------------
namespace {

// The running drag of a control (one at a time).
struct ControlDrag {
    TControl* source = nullptr;
    std::shared_ptr<bool> sourceAlive;
    std::unique_ptr<TDragObject> object;
    TPoint start;
    int threshold = 5;
    bool started = false;
    TControl* target = nullptr;
    bool accepted = false;
};
std::unique_ptr<ControlDrag> controlDrag;

constexpr int ControlDragThreshold = 5;

// The control under a screen point that takes part in drags: what CM_DRAG dmFindTarget names.
TControl* dragTargetAt(TPoint P, TDragObject* Object) {
    TWinControl* window = FindControl(WindowFromPoint(P));
    if (!window) return nullptr;
    TControl* control = window;
    if (TControl* inner = window->ControlAtPos(window->ScreenToClient(P), false)) control = inner;
    TDragRec rec{P, Object, nullptr};
    const auto found = reinterpret_cast<TControl*>(
        control->Perform(CM_DRAG, dmFindTarget, reinterpret_cast<LPARAM>(&rec)));
    return found ? found : control;
}

LRESULT sendDrag(TControl* Target, TDragMessage Kind, TPoint P, TDragObject* Object) {
    TDragRec rec{P, Object, Target};
    return Target->Perform(CM_DRAG, WPARAM(Kind), reinterpret_cast<LPARAM>(&rec));
}

void dragTo(TPoint P) {
    ControlDrag& d = *controlDrag;
    d.object->DragPos = P;
    TControl* now = dragTargetAt(P, d.object.get());
    if (now != d.target) {
        if (d.target) sendDrag(d.target, dmDragLeave, P, d.object.get());
        d.target = now;
        d.accepted = d.target && sendDrag(d.target, dmDragEnter, P, d.object.get()) != 0;
    } else if (d.target) {
        d.accepted = sendDrag(d.target, dmDragMove, P, d.object.get()) != 0;
    }
    d.object->DragTarget = d.accepted ? d.target : nullptr;
    if (Screen) Screen->SetCurrentCursor(d.accepted ? crDrag : crNoDrop);
}

} // namespace

void TControl::BeginDrag(bool Immediate, int Threshold) {
    if (controlDrag) return;
    controlDrag = std::make_unique<ControlDrag>();
    controlDrag->source = this;
    controlDrag->sourceAlive = alive_;
    controlDrag->threshold = Threshold < 0 ? ControlDragThreshold : Threshold;
    GetCursorPos(controlDrag->start);
    DoStartDrag(controlDrag->object);
    if (!controlDrag) return;
    if (!controlDrag->object) controlDrag->object = std::make_unique<TDragControlObject>(this);
    SetMouseCapture(true);
    if (Immediate) {
        controlDrag->started = true;
        dragTo(controlDrag->start);
    }
}

void TControl::EndDrag(bool Drop) {
    if (!controlDrag || controlDrag->source != this) return;
    // Drops on an accepting target or leaves it, then tells the source.
    std::unique_ptr<ControlDrag> d = std::move(controlDrag);
    TPoint p;
    GetCursorPos(p);
    // A dock drag docks the control instead of dropping it on a target.
    const bool dock = dragKind_ == dkDock;
    if (d->started && d->target) {
        if (Drop && d->accepted && !dock) {
            d->object->Dropped = true;
            sendDrag(d->target, dmDragDrop, p, d->object.get());
        } else {
            sendDrag(d->target, dmDragLeave, p, d->object.get());
        }
    }
    if (Screen) Screen->SetCurrentCursor(crDefault);
    if (!*d->sourceAlive) return;
    if (MouseCapture()) SetMouseCapture(false);
    if (dock && Drop && d->started) dockDrop(p);
    const TPoint client = ScreenToClient(p);
    DoEndDrag(d->object->Dropped ? d->target : nullptr, client.X, client.Y);
}

bool TControl::Dragging() const {
    return controlDrag && controlDrag->source == this;
}

void TControl::DoStartDrag(std::unique_ptr<TDragObject>& DragObject) {
    if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
    if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = bool(OnDragOver);
    if (OnDragOver) OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
    if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::CMDrag(TMessage& Message) {
    const auto* rec = reinterpret_cast<const TDragRec*>(Message.LParam);
    if (Message.WParam == dmFindTarget) {
        Message.Result = reinterpret_cast<LRESULT>(this);
        return;
    }
    // The events see the source control of a drag that carries one.
    TObject* source = rec->Source;
    if (auto* c = dynamic_cast<TDragControlObject*>(rec->Source)) source = c->Control();
    const TPoint p = ScreenToClient(rec->Pos);
    switch (Message.WParam) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
        const TDragState state = Message.WParam == dmDragEnter   ? dsDragEnter
                                 : Message.WParam == dmDragLeave ? dsDragLeave
                                                                 : dsDragMove;
        bool accept = false;
        DragOver(source, p.X, p.Y, state, accept);
        Message.Result = accept;
        break;
    }
    case dmDragDrop:
        DragDrop(source, p.X, p.Y);
        break;
    default:
        break;
    }
}

bool controls::controlDragInput(TWinControl* control, TMessage& Message) {
    if (!controlDrag || controlDrag->source != control) return false;
    switch (Message.Msg) {
    case WM_MOUSEMOVE: {
        const TPoint p = control->ClientToScreen(LParamToPoint(Message.LParam));
        ControlDrag& d = *controlDrag;
        if (!d.started && std::abs(p.X - d.start.X) < d.threshold &&
            std::abs(p.Y - d.start.Y) < d.threshold)
            return true;
        d.started = true;
        dragTo(p);
        return true;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        control->EndDrag(true);
        return true;
    case WM_KEYDOWN:
        if (Message.WParam != VK_ESCAPE) return false;
        control->EndDrag(false);
        return true;
    case WM_CANCELMODE:
    case WM_KILLFOCUS:
        control->EndDrag(false);
        return false;
    default:
        return false;
    }
}
