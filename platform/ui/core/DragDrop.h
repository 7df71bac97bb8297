#pragma once
// Drag and drop between windows, in the classic OLE shape: a data object offers its contents in
// clipboard formats (global memory blocks), a drop target registered for a window decides what
// a drag over it may do, and DoDragDrop runs the drag of a drop source until the button is
// released or the drag is cancelled.
//
// The drag itself is run by a drag driver. The native back end installs one that carries the
// data between programs; without one (tests, no back end) DoDragDrop runs its own loop in this
// process: each turn it reads the pointer position and the key and button state of the
// platform (GetCursorPos, GetAsyncKeyState), tells the drop target under the pointer, asks the
// source whether to go on, and waits (see SetDragLoopIdleHook).
#include "platform/ui/core/Clipbrd.h"
#include "platform/ui/core/Controls.h"
#include "platform/ui/core/Hooks.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using ULONG = std::uint32_t;

// --- results ---------------------------------------------------------------------------------
constexpr HRESULT hresult(std::uint32_t code) {
    return HRESULT(std::int32_t(code));
}
constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}
constexpr HRESULT E_NOTIMPL = hresult(0x80004001);
constexpr HRESULT E_FAIL = hresult(0x80004005);
constexpr HRESULT E_OUTOFMEMORY = hresult(0x8007000E);
constexpr HRESULT E_INVALIDARG = hresult(0x80070057);
constexpr HRESULT DV_E_FORMATETC = hresult(0x80040064);
constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = hresult(0x80040003);
constexpr HRESULT OLE_E_NOCONNECTION = hresult(0x80040004);
constexpr HRESULT DRAGDROP_S_DROP = hresult(0x00040100);
constexpr HRESULT DRAGDROP_S_CANCEL = hresult(0x00040101);
constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = hresult(0x00040102);
constexpr HRESULT DRAGDROP_E_NOTREGISTERED = hresult(0x80040100);
constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = hresult(0x80040101);
constexpr HRESULT DRAGDROP_E_INVALIDHWND = hresult(0x80040102);
constexpr HRESULT E_UNEXPECTED = hresult(0x8000FFFF);
constexpr HRESULT DV_E_LINDEX = hresult(0x80040068);
constexpr HRESULT DV_E_TYMED = hresult(0x80040069);
constexpr HRESULT DV_E_CLIPFORMAT = hresult(0x8004006A);
constexpr HRESULT DV_E_DVASPECT = hresult(0x8004006B);
constexpr HRESULT DATA_S_SAMEFORMATETC = hresult(0x00040130);
constexpr HRESULT OLE_S_USEREG = hresult(0x00040000);
constexpr HRESULT CLIPBRD_E_CANT_OPEN = hresult(0x800401D0);

// --- formats, media, effects -----------------------------------------------------------------
constexpr DWORD TYMED_NULL = 0;
constexpr DWORD TYMED_HGLOBAL = 1;
constexpr DWORD TYMED_FILE = 2;
constexpr DWORD TYMED_ISTREAM = 4;
constexpr DWORD TYMED_ISTORAGE = 8;
constexpr DWORD TYMED_GDI = 16;
constexpr DWORD TYMED_MFPICT = 32;
constexpr DWORD TYMED_ENHMF = 64;
constexpr DWORD DVASPECT_CONTENT = 1;
constexpr DWORD DATADIR_GET = 1;
constexpr DWORD DATADIR_SET = 2;

constexpr DWORD DROPEFFECT_NONE = 0;
constexpr DWORD DROPEFFECT_COPY = 1;
constexpr DWORD DROPEFFECT_MOVE = 2;
constexpr DWORD DROPEFFECT_LINK = 4;
// Added by a target that scrolled while the drag was over it.
constexpr DWORD DROPEFFECT_SCROLL = 0x80000000;

// The key state of a drag (grfKeyState): the MK_ flags of mouse messages and this one.
constexpr DWORD MK_ALT = 0x20;

// A format asked for or offered; ptd (target device) is always nullptr here.
struct FORMATETC {
    CLIPFORMAT cfFormat = 0;
    void* ptd = nullptr;
    DWORD dwAspect = DVASPECT_CONTENT;
    std::int32_t lindex = -1;
    DWORD tymed = TYMED_HGLOBAL;
};

// --- global memory ---------------------------------------------------------------------------
struct HGLOBAL__;
using HGLOBAL = HGLOBAL__*;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_SHARE = 0x2000;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// A block of Bytes (zeroed with GMEM_ZEROINIT); nullptr when it cannot be had.
HGLOBAL GlobalAlloc(UINT Flags, std::size_t Bytes);
// The block's bytes; nullptr for a handle that is no block.
void* GlobalLock(HGLOBAL Mem);
bool GlobalUnlock(HGLOBAL Mem);
std::size_t GlobalSize(HGLOBAL Mem);
// nullptr when freed, else the handle.
HGLOBAL GlobalFree(HGLOBAL Mem);

// The data handed over: the receiver of GetData frees it with ReleaseStgMedium.
struct STGMEDIUM {
    DWORD tymed = TYMED_NULL;
    HGLOBAL hGlobal = nullptr;
    // The stream of a TYMED_ISTREAM medium, shared with whoever handed it out.
    std::shared_ptr<TStream> pstm;
    // Something that owns the block instead of the receiver; nullptr: the receiver frees it.
    std::shared_ptr<void> pUnkForRelease;
};
void ReleaseStgMedium(STGMEDIUM& Medium);

// The header of a CF_HDROP block; the file names follow at pFiles, each terminated, the list
// ending with an empty name, as UTF-16 when fWide is set.
struct DROPFILES {
    DWORD pFiles = sizeof(DROPFILES);
    std::int32_t ptX = 0;
    std::int32_t ptY = 0;
    BOOL fNC = 0;
    BOOL fWide = 0;
};
static_assert(sizeof(DROPFILES) == 20);
// A CF_HDROP block of wide names; nullptr when it cannot be had.
HGLOBAL MakeFileDropBlock(const std::vector<std::string>& Files);
// The names of a CF_HDROP block of Size bytes, wide or narrow, up to the first empty name.
std::vector<std::string> ReadFileDropBlock(const std::uint8_t* Block, std::size_t Size);
// Text as the bytes of CF_UNICODETEXT (UTF-16, low byte first), without the closing zero.
std::vector<std::uint8_t> WideTextBytes(const std::string& Text);
// The CF_UNICODETEXT text of Size bytes, up to its zero or the end.
std::string WideBytesText(const std::uint8_t* Block, std::size_t Size);

// --- the interfaces --------------------------------------------------------------------------
class IDataObject;

// Told by a data object it advises that its data changed; Medium is the new data of Format
// (TYMED_NULL when the connection asked for no data), owned by the caller.
class IAdviseSink {
public:
    virtual ~IAdviseSink() = default;
    virtual void OnDataChange(const FORMATETC& pFormatetc, const STGMEDIUM& pStgmed) = 0;
};

constexpr DWORD ADVF_NODATA = 1;
constexpr DWORD ADVF_PRIMEFIRST = 2;
constexpr DWORD ADVF_ONLYONCE = 4;

// One advise connection.
struct STATDATA {
    FORMATETC formatetc;
    DWORD advf = 0;
    std::shared_ptr<IAdviseSink> pAdvSink;
    DWORD dwConnection = 0;
};

// Lists advise connections from a position; a clone keeps the position.
class IEnumSTATDATA {
public:
    virtual ~IEnumSTATDATA() = default;
    virtual HRESULT Next(ULONG celt, STATDATA* rgelt, ULONG* pceltFetched) = 0;
    virtual HRESULT Skip(ULONG celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(std::shared_ptr<IEnumSTATDATA>& ppenum) = 0;
};

class IEnumFORMATETC {
public:
    virtual ~IEnumFORMATETC() = default;
    // Fills up to celt elements of rgelt from the current position; S_OK when all celt were.
    virtual HRESULT Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) = 0;
    virtual HRESULT Skip(ULONG celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& ppenum) = 0;
};

class IDataObject {
public:
    virtual ~IDataObject() = default;
    virtual HRESULT GetData(const FORMATETC& pformatetcIn, STGMEDIUM& pmedium) = 0;
    virtual HRESULT GetDataHere(const FORMATETC& pformatetc, STGMEDIUM& pmedium) = 0;
    virtual HRESULT QueryGetData(const FORMATETC& pformatetc) = 0;
    virtual HRESULT GetCanonicalFormatEtc(const FORMATETC& pformatectIn,
                                          FORMATETC& pformatetcOut) = 0;
    virtual HRESULT SetData(const FORMATETC& pformatetc, STGMEDIUM& pmedium, bool fRelease) = 0;
    virtual HRESULT EnumFormatEtc(DWORD dwDirection,
                                  std::shared_ptr<IEnumFORMATETC>& ppenumFormatEtc) = 0;
    // Advise sinks: told when the object's data changes (see IDataAdviseHolder).
    virtual HRESULT DAdvise(const FORMATETC& pformatetc, DWORD advf,
                            const std::shared_ptr<IAdviseSink>& pAdvSink, DWORD& pdwConnection) = 0;
    virtual HRESULT DUnadvise(DWORD dwConnection) = 0;
    virtual HRESULT EnumDAdvise(std::shared_ptr<IEnumSTATDATA>& ppenumAdvise) = 0;
};

// The connections of a data object's advise sinks: Advise adds one (numbered from 1),
// SendOnDataChange tells each sink the new data of its format (no data with ADVF_NODATA; a
// connection made with ADVF_ONLYONCE ends after its first notice; ADVF_PRIMEFIRST sends one at
// once).
class IDataAdviseHolder {
public:
    virtual ~IDataAdviseHolder() = default;
    virtual HRESULT Advise(IDataObject* pDataObject, const FORMATETC& pFetc, DWORD advf,
                           const std::shared_ptr<IAdviseSink>& pAdvise, DWORD& pdwConnection) = 0;
    // OLE_E_NOCONNECTION for a connection it does not hold.
    virtual HRESULT Unadvise(DWORD dwConnection) = 0;
    virtual HRESULT EnumAdvise(std::shared_ptr<IEnumSTATDATA>& ppenumAdvise) = 0;
    virtual HRESULT SendOnDataChange(IDataObject* pDataObject, DWORD dwReserved, DWORD advf) = 0;
};
HRESULT CreateDataAdviseHolder(std::shared_ptr<IDataAdviseHolder>& ppDAHolder);

// pt is in screen coordinates; dwEffect comes in as the effects the source allows and goes out
// as the one the target would carry out.
class IDropTarget {
public:
    virtual ~IDropTarget() = default;
    virtual HRESULT DragEnter(const std::shared_ptr<IDataObject>& pDataObj, DWORD grfKeyState,
                              TPoint pt, DWORD& pdwEffect) = 0;
    virtual HRESULT DragOver(DWORD grfKeyState, TPoint pt, DWORD& pdwEffect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(const std::shared_ptr<IDataObject>& pDataObj, DWORD grfKeyState, TPoint pt,
                         DWORD& pdwEffect) = 0;
};

class IDropSource {
public:
    virtual ~IDropSource() = default;
    // S_OK: go on; DRAGDROP_S_DROP: drop now; DRAGDROP_S_CANCEL: end without a drop.
    virtual HRESULT QueryContinueDrag(bool fEscapePressed, DWORD grfKeyState) = 0;
    virtual HRESULT GiveFeedback(DWORD dwEffect) = 0;
};

// Lists formats in their order from a position; a clone keeps the position.
class TFormatEtcList : public IEnumFORMATETC {
public:
    explicit TFormatEtcList(std::vector<CLIPFORMAT> Formats, ULONG At = 0);
    HRESULT Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) override;
    HRESULT Skip(ULONG celt) override;
    HRESULT Reset() override;
    HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& out) override;

private:
    std::vector<CLIPFORMAT> formats_;
    ULONG at_;
};

// What a data object that only hands its data out answers: GetDataHere DV_E_FORMATETC,
// GetCanonicalFormatEtc E_NOTIMPL, the advise operations OLE_E_ADVISENOTSUPPORTED, and
// EnumFormatEtc the list of ReadFormats for DATADIR_GET and E_NOTIMPL for any other direction.
class TOutboundDataObject : public IDataObject {
public:
    HRESULT GetDataHere(const FORMATETC& f, STGMEDIUM& medium) override;
    HRESULT GetCanonicalFormatEtc(const FORMATETC& in, FORMATETC& out) override;
    HRESULT EnumFormatEtc(DWORD dwDirection, std::shared_ptr<IEnumFORMATETC>& out) override;
    HRESULT DAdvise(const FORMATETC& f, DWORD advf, const std::shared_ptr<IAdviseSink>& sink,
                    DWORD& connection) override;
    HRESULT DUnadvise(DWORD connection) override;
    HRESULT EnumDAdvise(std::shared_ptr<IEnumSTATDATA>& out) override;

protected:
    virtual std::shared_ptr<IEnumFORMATETC> ReadFormats() = 0;
};

// A data object holding its contents in memory: one block of bytes per format, handed out as
// a fresh global block on each GetData. Drops from other programs arrive as one; it also offers
// plain data (a file list, a text) to a drop.
class TMemoryDataObject : public TOutboundDataObject {
public:
    // Replaces the block of Format.
    void SetFormat(CLIPFORMAT Format, std::vector<std::uint8_t> Bytes);
    // CF_UNICODETEXT and CF_TEXT of the UTF-8 text, each with its terminating zero.
    void SetText(const std::string& Text);
    // CF_HDROP of the names.
    void SetFiles(const std::vector<std::string>& Files);
    bool HasFormat(CLIPFORMAT Format) const;
    const std::vector<std::uint8_t>* Bytes(CLIPFORMAT Format) const;
    const std::vector<std::pair<CLIPFORMAT, std::vector<std::uint8_t>>>& Formats() const {
        return formats_;
    }

    HRESULT GetData(const FORMATETC& f, STGMEDIUM& medium) override;
    HRESULT QueryGetData(const FORMATETC& f) override;
    HRESULT SetData(const FORMATETC& f, STGMEDIUM& medium, bool fRelease) override;

protected:
    std::shared_ptr<IEnumFORMATETC> ReadFormats() override;

private:
    std::vector<std::pair<CLIPFORMAT, std::vector<std::uint8_t>>> formats_;
};

// The bytes of a data object's format (a copy of its global block); empty when it has none.
std::vector<std::uint8_t> DataObjectBytes(IDataObject& DataObj, CLIPFORMAT Format);
// The formats a data object lists for reading.
std::vector<CLIPFORMAT> DataObjectFormats(IDataObject& DataObj);

// --- the clipboard as a data object ----------------------------------------------------------
// Puts the data object's formats on the clipboard (the text and every format registered by
// name) and keeps the object as the clipboard's owner until the clipboard changes; nullptr
// empties the clipboard. The object held before is let go first.
HRESULT OleSetClipboard(const std::shared_ptr<IDataObject>& DataObj);
// The object put there by OleSetClipboard while the clipboard still holds its data, else a
// copy of what the clipboard holds.
HRESULT OleGetClipboard(std::shared_ptr<IDataObject>& DataObj);
// Renders the owner's formats once more and lets the owner go; the data stays.
HRESULT OleFlushClipboard();
// S_OK when DataObj owns the clipboard, S_FALSE otherwise.
HRESULT OleIsCurrentClipboard(const std::shared_ptr<IDataObject>& DataObj);
DWORD GetCurrentProcessId();

// --- registration and the drag ---------------------------------------------------------------
HRESULT RegisterDragDrop(HWND Wnd, std::shared_ptr<IDropTarget> Target);
HRESULT RevokeDragDrop(HWND Wnd);
// The target registered for the window or the nearest of its parents; nullptr when none.
std::shared_ptr<IDropTarget> FindDropTarget(HWND Wnd);
// The deepest showing, enabled window under a screen point (pop-ups above the others, their
// shapes respected); nullptr when none.
HWND WindowFromPoint(TPoint Pt);
// The key state of a drag now: the buttons and Shift, Ctrl and Alt.
DWORD DragKeyState();

// Runs the drag: DRAGDROP_S_DROP (Effect: what the target did) or DRAGDROP_S_CANCEL (Effect
// DROPEFFECT_NONE), or an error of the source.
HRESULT DoDragDrop(const std::shared_ptr<IDataObject>& DataObj,
                   const std::shared_ptr<IDropSource>& DropSource, DWORD OkEffects, DWORD& Effect);

class TDragDriver {
public:
    virtual ~TDragDriver() = default;
    virtual HRESULT DoDragDrop(const std::shared_ptr<IDataObject>& DataObj,
                               const std::shared_ptr<IDropSource>& DropSource, DWORD OkEffects,
                               DWORD& Effect) = 0;
};
// The installed driver (not owned); nullptr: the loop in this process.
void SetDragDriver(TDragDriver* Driver);
TDragDriver* DragDriver();

// The loop in this process calls Idle after each turn to let the pointer and the keys change;
// without a hook it waits for the next message. Tests install one to move and release.
void SetDragLoopIdleHook(std::function<void()> Idle);
