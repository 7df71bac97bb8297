#pragma once
// What trees exchange through drag and drop and the clipboard: the data object that renders
// the tree's formats on demand, its format list, the drag manager (drop target and drop source
// of a tree), the read-only stream over dropped memory and the drag picture.
#include "platform/gfx/Graphics.h"
#include "platform/ui/core/DragDrop.h"
#include "platform/ui/core/DragState.h"
#include "treeview/LazyTreeClipboard.h"
#include "treeview/LazyTreeTypes.h"

#include <cstdint>
#include <memory>
#include <vector>

class TBaseLazyTree;
class TCustomForm;

using TFormatArray = std::vector<CLIPFORMAT>;

// Which nodes a text rendering of the tree takes.
enum TVSTTextSourceType {
    tstAll,
    tstInitialized,
    tstSelected,
    tstCutCopySet,
    tstVisible,
    tstChecked
};

// Where dropped data goes relative to the drop target node.
enum TDropMode { dmNowhere, dmAbove, dmOnNode, dmBelow };

// Events of dragging and dropping; Allowed and Accept start false.
using TLTDragAllowedEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Column, bool& Allowed)>;
using TLTDragOverEvent =
    std::function<void(TBaseLazyTree* Sender, TObject* Source, TShiftState Shift, TDragState State,
                       TPoint Pt, TDropMode Mode, DWORD& Effect, bool& Accept)>;
using TLTDragDropEvent = std::function<void(
    TBaseLazyTree* Sender, TObject* Source, const std::shared_ptr<IDataObject>& DataObject,
    const TFormatArray& Formats, TShiftState Shift, TPoint Pt, DWORD& Effect, TDropMode Mode)>;
// The drag object a handler may create is freed by the tree when the drag starts.
using TLTStartDragEvent =
    std::function<void(TObject* Sender, std::unique_ptr<TObject>& DragObject)>;
using TLTEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TLTCreateDataObjectEvent =
    std::function<void(TBaseLazyTree* Sender, std::shared_ptr<IDataObject>& DataObject)>;
class ILTDragManager;
using TLTCreateDragManagerEvent =
    std::function<void(TBaseLazyTree* Sender, std::shared_ptr<ILTDragManager>& DragManager)>;
using TLTGetUserClipboardFormatsEvent =
    std::function<void(TBaseLazyTree* Sender, TFormatEtcArray& Formats)>;
using TLTRenderOLEDataEvent =
    std::function<void(TBaseLazyTree* Sender, const FORMATETC& FormatEtcIn, STGMEDIUM& Medium,
                       bool ForClipboard, HRESULT& Result)>;

// The registered formats a tree offers, by name: sorted, each once (any letter case); a name
// the registry does not know for the tree's class is refused.
class TClipboardFormats : public TStringList {
public:
    explicit TClipboardFormats(TBaseLazyTree* AOwner);
    TBaseLazyTree* Owner() const { return FOwner; }
    // -1 when S is refused.
    int Add(const std::string& S) override;
    void Insert(int Index, const std::string& S) override;

private:
    bool known(const std::string& S) const;
    TBaseLazyTree* FOwner;
};

// Keeps a tree's address while the tree lives; the tree clears it when it is destroyed, so
// that data objects which outlive it find no tree.
using TTreeLink = std::shared_ptr<TBaseLazyTree*>;

// A stream over memory it does not own; writing to it fails.
class TOLEMemoryStream : public TStream {
public:
    void SetPointer(const void* Memory, std::int64_t Size);
    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    std::int64_t Size() override { return FSize; }

private:
    const std::uint8_t* FMemory = nullptr;
    std::int64_t FSize = 0;
    std::int64_t FPosition = 0;
};

// A stored medium of SetData.
struct TInternalStgMedium {
    CLIPFORMAT Format = 0;
    STGMEDIUM Medium;
};

class TLTDataObject : public IDataObject, public std::enable_shared_from_this<TLTDataObject> {
public:
    TLTDataObject(TBaseLazyTree* AOwner, bool ForClipboard);
    ~TLTDataObject() override;

    HRESULT GetData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium) override;
    HRESULT GetDataHere(const FORMATETC& FormatEtc, STGMEDIUM& Medium) override;
    HRESULT QueryGetData(const FORMATETC& FormatEtc) override;
    HRESULT GetCanonicalFormatEtc(const FORMATETC& FormatEtc, FORMATETC& FormatEtcOut) override;
    HRESULT SetData(const FORMATETC& FormatEtc, STGMEDIUM& Medium, bool DoRelease) override;
    HRESULT EnumFormatEtc(DWORD Direction, std::shared_ptr<IEnumFORMATETC>& EnumFormatEtc) override;
    // Connections of advise sinks, kept by an advise holder made on the first DAdvise; SetData
    // tells them.
    HRESULT DAdvise(const FORMATETC& FormatEtc, DWORD advf,
                    const std::shared_ptr<IAdviseSink>& AdvSink, DWORD& Connection) override;
    HRESULT DUnadvise(DWORD Connection) override;
    HRESULT EnumDAdvise(std::shared_ptr<IEnumSTATDATA>& EnumAdvise) override;

    // The tree, nil once it is destroyed.
    TBaseLazyTree* Owner() const { return *FOwner; }
    bool ForClipboard() const { return FForClipboard; }
    const TFormatEtcArray& FormatEtcArray() const { return FFormatEtcArray; }

private:
    int findFormat(const FORMATETC& FormatEtc) const;
    TInternalStgMedium* findMedium(CLIPFORMAT Format);
    void adviseDataChange();
    TTreeLink FOwner;
    bool FForClipboard;
    TFormatEtcArray FFormatEtcArray;
    std::vector<TInternalStgMedium> FInternalStgMediumArray;
    std::shared_ptr<IDataAdviseHolder> FAdviseHolder;
};

// Lists the formats of a data object from a position.
class TEnumFormatEtc : public IEnumFORMATETC {
public:
    TEnumFormatEtc(TBaseLazyTree* Tree, TFormatEtcArray Formats, int At = 0);
    HRESULT Next(ULONG Count, FORMATETC* Buffer, ULONG* Fetched) override;
    HRESULT Skip(ULONG Count) override;
    HRESULT Reset() override;
    HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& Enum) override;

private:
    TBaseLazyTree* FTree;
    TFormatEtcArray FFormatEtcArray;
    int FCurrentIndex;
};

// The tree's side of a drag manager.
class ILTDragManager {
public:
    virtual ~ILTDragManager() = default;
    virtual void ForceDragLeave() = 0;
    virtual std::shared_ptr<IDataObject> CurrentDataObject() = 0;
    virtual TBaseLazyTree* SourceTree() = 0;
    virtual bool DragImageServiceAvailable() = 0;
    virtual bool IsTargetActive() = 0;
};

// A tree's drop target and drop source.
class TLTDragManager : public ILTDragManager, public IDropTarget, public IDropSource {
public:
    explicit TLTDragManager(TBaseLazyTree* AOwner);

    HRESULT DragEnter(const std::shared_ptr<IDataObject>& DataObject, DWORD KeyState, TPoint Pt,
                      DWORD& Effect) override;
    HRESULT DragOver(DWORD KeyState, TPoint Pt, DWORD& Effect) override;
    HRESULT DragLeave() override;
    HRESULT Drop(const std::shared_ptr<IDataObject>& DataObject, DWORD KeyState, TPoint Pt,
                 DWORD& Effect) override;
    HRESULT QueryContinueDrag(bool EscapePressed, DWORD KeyState) override;
    HRESULT GiveFeedback(DWORD Effect) override;

    void ForceDragLeave() override {}
    std::shared_ptr<IDataObject> CurrentDataObject() override;
    TBaseLazyTree* SourceTree() override { return FDragSource; }
    // The platform has no shell service that draws drag pictures: the tree draws its own.
    bool DragImageServiceAvailable() override { return false; }
    bool IsTargetActive() override { return FIsDropTarget; }

private:
    TTreeLink FOwner;
    TBaseLazyTree* FDragSource = nullptr;
    bool FIsDropTarget = false;
    std::shared_ptr<IDataObject> FDataObject;
};

// The picture of the dragged nodes under the mouse: a window of its own above the others,
// blended with a per-pixel alpha that fades towards the edges.
enum TLTDragMoveRestriction { dmrNone, dmrHorizontalOnly, dmrVerticalOnly };
enum TLTDragImageState { disHidden, disInDrag, disPrepared, disSystemSupport };
using TLTDragImageStates = TEnumSet<TLTDragImageState, std::uint8_t>;
constexpr TColor NoColorKey = TColor(0x1FFFFFFF);

class TLTDragImage {
public:
    explicit TLTDragImage(TBaseLazyTree* AOwner);
    ~TLTDragImage();

    void PrepareDrag(TBitmap* DragImage, TPoint ImagePosition, TPoint HotSpot,
                     const std::shared_ptr<IDataObject>& DataObject);
    bool DragTo(TPoint P, bool ForceRepaint);
    void ShowDragImage();
    void HideDragImage();
    void EndDrag();
    TRect GetDragImageRect() const;
    bool WillMove(TPoint P) const;

    std::uint8_t Transparency() const { return FTransparency; }
    void SetTransparency(std::uint8_t v) { FTransparency = v; }
    std::int8_t PreBlendBias() const { return FPreBlendBias; }
    void SetPreBlendBias(std::int8_t v) { FPreBlendBias = v; }
    std::int8_t PostBlendBias() const { return FPostBlendBias; }
    void SetPostBlendBias(std::int8_t v) { FPostBlendBias = v; }
    bool Fade() const { return FFade; }
    void SetFade(bool v) { FFade = v; }
    TLTDragMoveRestriction MoveRestriction() const { return FRestriction; }
    void SetMoveRestriction(TLTDragMoveRestriction v) { FRestriction = v; }
    TColor ColorKey() const { return FColorKey; }
    void SetColorKey(TColor v) { FColorKey = v; }
    bool Visible() const;
    TLTDragImageStates States() const { return FStates; }
    TPoint ImagePosition() const { return FImagePosition; }
    // The picture with its alpha channel (nil while not prepared).
    const TBitmap* Picture() const { return FDragImage.get(); }
    // The window that shows the picture (nil while hidden).
    TCustomForm* Window() const { return FWindow.get(); }

private:
    // Puts the picture, blended with the constant opacity, into the window at its place.
    void showPicture();
    TBaseLazyTree* FOwner;
    std::unique_ptr<TBitmap> FDragImage;
    std::unique_ptr<TCustomForm> FWindow;
    TPoint FImagePosition;
    TPoint FLastPosition;
    std::uint8_t FTransparency = 128;
    std::int8_t FPreBlendBias = 0;
    std::int8_t FPostBlendBias = 0;
    bool FFade = false;
    TLTDragMoveRestriction FRestriction = dmrNone;
    TColor FColorKey = NoColorKey;
    TLTDragImageStates FStates;
};

// The trees that exist (a reference block names a tree only while it exists).
void TrackTree(const TBaseLazyTree* Tree, bool Alive);

// The alpha of a picture pixel (x, y) of a w x h picture: opaque at the centre, fading with
// the distance from it.
std::uint8_t DragImageAlpha(int X, int Y, int Width, int Height);
