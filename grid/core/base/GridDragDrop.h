#pragma once
// The drag-and-drop layer the grid's dragging rests on: a reader of the formats a dropped data
// object offers (TEnumFormats), a drop target that decides whether a drag is acceptable and
// hands the dropped data to overridable operations (TASGDropTarget), the data object the grid
// offers when cells or a column are dragged out (TSourceDataObject with its format list), a
// drop source (TASGDropSource) and the two functions that start a drag.
//
// Block layouts: text as UTF-16 (CF_UNICODETEXT) and as 8-bit text of the system code page,
// UTF-8 here (CF_TEXT), each with a terminating zero; rich text as 8-bit text with a zero;
// "Grid Column" one 32-bit column index; "TQorStringGrid Cells" a 32-bit payload length n,
// four zero bytes and the n bytes of the grid's binary cell stream; CF_HDROP a DROPFILES list.
#include "platform/base/Classes.h"
#include "platform/ui/Grids.h"
#include "platform/ui/core/DragDrop.h"

#include <memory>
#include <string>

enum TDropFormat { dfText, dfFile, dfCol, dfRTF, dfURL, dfGridCells };
using TDropFormats = TGridSet<TDropFormat>;

// The formats registered with the platform, once: at the grid library's start-up (or at the
// first use before it).
struct TDropFormatIds {
    CLIPFORMAT RTF = 0;       // "Rich Text Format"
    CLIPFORMAT GridCol = 0;   // "Grid Column"
    CLIPFORMAT GridCells = 0; // "TQorStringGrid Cells"
    CLIPFORMAT URL = 0;       // "UniformResourceLocator"
};
const TDropFormatIds& DropFormatIds();

// Whether rich text is offered and accepted (the grids' OleDropRTF); off at start.
void SetDropRTF(bool Value);
bool DropRTFEnabled();

// Ctrl copies; otherwise a move when the allowed effects include it, else a copy.
DWORD StandardEffect(DWORD KeyState, DWORD Allowed);

// Reads what a dropped data object offers. A reader lives for one DragEnter or Drop.
class TEnumFormats {
public:
    // Raises EAssertionFailed "Cannot get the format enumerator" when the object lists none.
    explicit TEnumFormats(std::shared_ptr<IDataObject> DataObject);
    ~TEnumFormats();
    TEnumFormats(const TEnumFormats&) = delete;
    TEnumFormats& operator=(const TEnumFormats&) = delete;

    const std::shared_ptr<IDataObject>& DataObject() const { return FDataObject; }
    void SetDataObject(std::shared_ptr<IDataObject> Value);
    bool Valid() const { return FValid; }
    int Count() const { return FCount; }
    const FORMATETC& FormatEtc() const { return FFormatEtc; }
    DWORD Aspect() const { return FFormatEtc.dwAspect; }
    void SetAspect(DWORD v) { FFormatEtc.dwAspect = v; }
    CLIPFORMAT Format() const { return FFormatEtc.cfFormat; }
    void SetFormat(CLIPFORMAT v) { FFormatEtc.cfFormat = v; }
    std::int32_t Index() const { return FFormatEtc.lindex; }
    void SetIndex(std::int32_t v) { FFormatEtc.lindex = v; }
    DWORD Medium() const { return FFormatEtc.tymed; }
    void SetMedium(DWORD v) { FFormatEtc.tymed = v; }

    bool Reset();
    bool Next();
    // Steps to the format; the current format stays on it when found.
    bool HasFormat(CLIPFORMAT ClipFormat);
    // The current format's data in the medium; nullptr when it offers none. The block stays
    // the reader's: it is released with the next request or the reader.
    HGLOBAL Handle(DWORD Tymed);
    HGLOBAL GlobalHandle() { return Handle(TYMED_HGLOBAL); }

    bool HasText() { return HasFormat(CF_UNICODETEXT); }
    bool HasRTF() { return HasFormat(DropFormatIds().RTF); }
    bool HasCol() { return HasFormat(DropFormatIds().GridCol); }
    bool HasFile() { return HasFormat(CF_HDROP); }
    bool HasURL() { return HasFormat(DropFormatIds().URL); }
    bool HasGridCells() { return HasFormat(DropFormatIds().GridCells); }
    // Each reads within its block: a block too short for what it announces gives nothing.
    std::string Text();
    std::string RTF();
    int Col();
    // The payload of the grid-cells format, owned by the caller; nullptr without one.
    std::unique_ptr<TMemoryStream> Stream();
    // The names of the CF_HDROP block of the current format; True when Files is not empty.
    bool ReadFiles(TStrings* Files);

private:
    void releaseMedium();
    std::shared_ptr<IDataObject> FDataObject;
    std::shared_ptr<IEnumFORMATETC> FEnumerator;
    FORMATETC FFormatEtc;
    bool FValid = false;
    int FCount = 0;
    std::unique_ptr<TStringList> FFiles;
    STGMEDIUM FMedium;
};

// A drop target that tells what a drag offers and hands a drop to the operations below (all
// empty here). The caller keeps it alive while it is registered.
class TASGDropTarget : public IDropTarget {
public:
    TASGDropTarget() = default;

    HRESULT DragEnter(const std::shared_ptr<IDataObject>& DataObj, DWORD grfKeyState, TPoint pt,
                      DWORD& dwEffect) override;
    HRESULT DragOver(DWORD grfKeyState, TPoint pt, DWORD& dwEffect) override;
    HRESULT DragLeave() override;
    HRESULT Drop(const std::shared_ptr<IDataObject>& DataObj, DWORD grfKeyState, TPoint pt,
                 DWORD& dwEffect) override;

    bool AcceptText() const { return FAcceptText; }
    void SetAcceptText(bool v) { FAcceptText = v; }
    bool AcceptFiles() const { return FAcceptFiles; }
    void SetAcceptFiles(bool v) { FAcceptFiles = v; }
    bool AcceptCols() const { return FAcceptCols; }
    void SetAcceptCols(bool v) { FAcceptCols = v; }
    bool AcceptURLs() const { return FAcceptURLs; }
    void SetAcceptURLs(bool v) { FAcceptURLs = v; }
    // What the current drag offers.
    TDropFormats DropFormats() const { return FDropFormats; }

    // pt is in screen coordinates.
    virtual void DropText(TPoint pt, const std::string& s);
    virtual void DropStream(TPoint pt, TMemoryStream* ms);
    virtual void DropCol(TPoint pt, int Col);
    virtual void DropRTF(TPoint pt, const std::string& s);
    virtual void DropFiles(TPoint pt, TStrings* Files);
    virtual void DropURL(TPoint pt, const std::string& s);
    virtual void DragMouseMove(TPoint pt, bool& Allow, TDropFormats DropFormats);
    virtual void DragMouseEnter();
    virtual void DragMouseLeave();

protected:
    bool FOk = false;
    bool FAcceptText = true;
    bool FAcceptFiles = true;
    bool FAcceptCols = false;
    bool FAcceptURLs = true;
    TDropFormats FDropFormats;
};

class TASGDropSource : public IDropSource {
public:
    TASGDropSource() = default;
    HRESULT QueryContinueDrag(bool fEscapePressed, DWORD grfKeyState) override;
    HRESULT GiveFeedback(DWORD dwEffect) override;
    // The last feedback showed no acceptable target.
    bool NoAccept() const { return FNoAccept; }

    virtual void DragFinished() {}
    virtual void CurrentEffect(DWORD /*dwEffect*/) {}
    // Called at every turn of the drag.
    virtual void QueryDrag() {}

protected:
    bool FNoAccept = false;
};

// What the grid offers while its cells or a column are dragged. It does not own the stream,
// which the caller frees after the drag.
class TSourceDataObject : public TOutboundDataObject {
public:
    TSourceDataObject(const std::string& stxt, const std::string& srtf, int sidx,
                      TMemoryStream* ms);

    HRESULT GetData(const FORMATETC& f, STGMEDIUM& medium) override;
    HRESULT QueryGetData(const FORMATETC& f) override;
    HRESULT SetData(const FORMATETC& f, STGMEDIUM& medium, bool fRelease) override;

protected:
    std::shared_ptr<IEnumFORMATETC> ReadFormats() override;

private:
    std::string textdata;
    std::string rtfdata;
    int scolidx;
    TMemoryStream* memstr;
};

// Lists CF_TEXT, CF_UNICODETEXT and rich text, then the grid column and the grid cells when
// held.
class TSourceEnumFormatEtc : public TFormatEtcList {
public:
    TSourceEnumFormatEtc(bool HasCol, bool HasGridCells);
};

// DRAGDROP_S_CANCEL when the source's last feedback found no acceptable target, else the
// answer of DoDragDrop.
HRESULT BeginTextDragDrop(const std::shared_ptr<TASGDropSource>& DropSource,
                          const std::string& Text, const std::string& RTF, DWORD& Effect,
                          DWORD OkEffects, TMemoryStream* Stream);
HRESULT BeginColumnDragDrop(const std::shared_ptr<TASGDropSource>& DropSource, int Column,
                            DWORD OkEffects, DWORD& Effect);
