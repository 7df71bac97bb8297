// The tree as a control: construction with its defaults, destruction, window creation,
// loading, component notifications, assignment from another tree and the process-wide set-up.
#include "treeview/LazyTree.h"

#include "platform/base/Threads.h"
#include "platform/ui/core/Hooks.h"
#include "platform/ui/core/Timers.h"
#include "treeview/LazyTreeClipboard.h"
#include "treeview/LazyTreeUtils.h"
#include "treeview/LazyTreeWorker.h"

#include <atomic>

// --- process-wide set-up ----------------------------------------------------------------------

namespace {

TLazyTreeGlobals globals;
std::atomic<int> initCounter{0};

// Undoes at process end what the set-up did for the whole process.
struct TreeGlobalsTearDown {
    ~TreeGlobalsTearDown() {
        if (globals.OleInitialized) OleUninitialize();
    }
} tearDown;

} // namespace

const TLazyTreeGlobals& LazyTreeGlobals() {
    return globals;
}

void InitTreeGlobals() {
    if (initCounter.load() >= 1 || ++initCounter != 1) return;
    // The blenders are portable, and the newer look of the tree's elements is the one used.
    CpuMMXPresent = CpuHasMMX();
    WindowsVistaOrLater = true;
    const HRESULT ole = OleInitialize(nullptr);
    globals.OleInitialized = ole == S_OK || ole == S_FALSE;
    ReloadCheckImages();
    RegisterTreeClipboardFormats();
    ++globals.InitCount;
    globals.Initialized = true;
}

void RaiseTreeError(const std::string& Message, int HelpContext) {
    throw ELazyTreeError(Message, HelpContext);
}

// --- construction and destruction -------------------------------------------------------------

TBaseLazyTree::TBaseLazyTree(TComponent* AOwner) : TCustomControl(AOwner) {
    InitTreeGlobals();
    SetControlStyle((ControlStyle() & ~csSetCaption) | csCaptureMouse | csOpaque | csReplicatable |
                    csDisplayDragImage | csReflector);
    SetBounds(Left(), Top(), 200, 100);
    SetTabStop(true);
    SetParentColor(false);
    FBackground = std::make_unique<TPicture>();
    FColors = std::make_unique<TLTColors>(this);
    FOptions = OptionsClass();
    FHeader = HeaderClass();
    FLink = std::make_shared<TBaseLazyTree*>(this);
    TrackTree(this, true);
    FDragImage = std::make_unique<TLTDragImage>(this);
    FDragImage->SetFade(true);
    FDragImage->SetTransparency(200);
    FClipboardFormats = std::make_unique<TClipboardFormats>(this);
    setUpRootNode();
    if (!IsDesigning()) {
        WorkerThreadAddRef();
        FWorkerReferenced = true;
    }
    UpdateStyleState();
}

TBaseLazyTree::~TBaseLazyTree() {
    // The clipboard keeps the data, not the tree.
    FlushClipboard();
    FDestroying = true;
    TrackTree(this, false);
    *FLink = nullptr;
    if (FDropTargetRegistered && HandleAllocated()) RevokeDragDrop(Handle());
    FDropTargetRegistered = false;
    StopCacheValidation();
    // Clear must be able to work whatever the options say.
    TLTMiscOptions misc = FOptions->MiscOptions();
    misc.Exclude(toReadOnly);
    FOptions->FMiscOptions = misc;
    if (FWorkerReferenced) WorkerThreadRelease(this);
    if (HandleAllocated()) KillWindowTimers(Handle());
    Clear();
    if (FCustomCheckImages) FCustomCheckImages->RemoveFreeNotification(this);
    if (FImages) FImages->RemoveFreeNotification(this);
    if (FStateImages) FStateImages->RemoveFreeNotification(this);
    releaseRootNode();
}

std::unique_ptr<TCustomLazyTreeOptions> TBaseLazyTree::OptionsClass() {
    return std::make_unique<TCustomLazyTreeOptions>(this);
}

void TBaseLazyTree::UpdateStyleState() {
    // The platform has no application styles.
    FVclStyleEnabled = false;
}

// --- window -----------------------------------------------------------------------------------

void TBaseLazyTree::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    const TScrollStyle bars = FScrollBarOptions->ScrollBars();
    if (bars == ssHorizontal || bars == ssBoth) Params.Style |= WS_HSCROLL;
    if (bars == ssVertical || bars == ssBoth) Params.Style |= WS_VSCROLL;
    if (FBorderStyle == bsSingle) {
        if (FCtl3D) {
            Params.ExStyle |= WS_EX_CLIENTEDGE;
            Params.Style &= ~WS_BORDER;
        } else {
            Params.Style |= WS_BORDER;
        }
    } else {
        Params.Style &= ~WS_BORDER;
    }
}

void TBaseLazyTree::CreateWnd() {
    ChangeTreeStates({tsWindowCreating}, {});
    struct Leave {
        TBaseLazyTree* tree;
        ~Leave() { tree->ChangeTreeStates({}, {tsWindowCreating}); }
    } leave{this};
    TCustomControl::CreateWnd();
    ComputeHeaderArea();
    if (FHeader->States().Contains(hsNeedScaling))
        FHeader->ApplyAreaConstraints();
    else if (FHeader->Options().Contains(hoVisible))
        FHeader->RefreshNonClientArea();
    if (TreeOptions()->PaintOptions().Contains(toThemeAware))
        ChangeTreeStates({tsUseThemes}, {tsUseExplorerTheme});
    else
        ChangeTreeStates({}, {tsUseThemes, tsUseExplorerTheme});
    UpdateScrollBars(true);
    UpdateDropTargetRegistration();
}

void TBaseLazyTree::WndProc(TMessage& Message) {
    if (Message.Msg == WM_NCDESTROY) {
        StopCacheValidation();
        killTreeTimer(5);
        killTreeTimer(6);
    }
    // The header sees the window's messages first.
    if (FHeader && FHeader->ProcessHeaderMessage(Message)) return;
    TCustomControl::WndProc(Message);
}

void TBaseLazyTree::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MBUTTONDBLCLK: {
        // The platform control has no handler of its own for middle double clicks.
        TWMMouse mouse(Message);
        WMMButtonDblClk(mouse);
        return;
    }
    case WM_VSCROLL:
        WMScroll(Message, true);
        return;
    case WM_HSCROLL:
        WMScroll(Message, false);
        return;
    case WM_ERASEBKGND:
        // The painter fills every pixel itself.
        Message.Result = 1;
        return;
    case WM_COPY:
        CopyToClipboard();
        return;
    case WM_CUT:
        CutToClipboard();
        return;
    case WM_PASTE:
        PasteFromClipboard();
        return;
    default:
        if (!dispatchFrameMessage(Message) && !DispatchServiceMessage(Message))
            TCustomControl::Dispatch(Message);
    }
}

void TBaseLazyTree::Loaded() {
    if (TreeOptions()->AutoOptions().Contains(toAutoBidiColumnOrdering))
        FHeader->Columns()->ResetPositionOrder(UseRightToLeftAlignment());
    if (FStates.Contains(tsNeedRootCountUpdate) && FRoot->ChildCount > 0) {
        ChangeTreeStates({}, {tsNeedRootCountUpdate});
        TLTMiscOptions misc = FOptions->MiscOptions();
        const bool readOnly = misc.Contains(toReadOnly);
        FOptions->FMiscOptions.Exclude(toReadOnly);
        const std::uint32_t count = FRoot->ChildCount;
        FRoot->ChildCount = 0;
        BeginUpdate();
        try {
            SetChildCount(FRoot, count);
        } catch (...) {
            EndUpdate();
            if (readOnly) FOptions->FMiscOptions.Include(toReadOnly);
            throw;
        }
        EndUpdate();
        if (readOnly) FOptions->FMiscOptions.Include(toReadOnly);
    }
}

void TBaseLazyTree::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent != this) {
        if (AComponent == FImages) {
            FImages = nullptr;
            if (!FDestroying) InvalidateWhenShown();
        } else if (AComponent == FStateImages) {
            FStateImages = nullptr;
            if (!FDestroying) InvalidateWhenShown();
        } else if (AComponent == FCustomCheckImages) {
            FCustomCheckImages = nullptr;
            FCheckImageKind = ckSystemDefault;
            if (!FDestroying) InvalidateWhenShown();
        }
    }
    TCustomControl::Notification(AComponent, Operation);
}

void TBaseLazyTree::Assign(const TPersistent* Source) {
    auto* source = dynamic_cast<const TBaseLazyTree*>(Source);
    if (!source || TreeOptions()->MiscOptions().Contains(toReadOnly)) {
        TCustomControl::Assign(Source);
        return;
    }
    SetAlign(source->Align());
    SetAnchors(source->Anchors());
    FAutoScrollDelay = source->FAutoScrollDelay;
    FAutoScrollInterval = source->FAutoScrollInterval;
    SetBackground(source->Background());
    FBevelEdges = source->FBevelEdges;
    FBevelInner = source->FBevelInner;
    FBevelKind = source->FBevelKind;
    FBevelOuter = source->FBevelOuter;
    FBevelWidth = source->FBevelWidth;
    SetBiDiMode(source->BiDiMode());
    SetBorderStyle(source->FBorderStyle);
    FBorderWidth = source->FBorderWidth;
    FChangeDelay = source->FChangeDelay;
    SetCheckImageKind(source->FCheckImageKind);
    SetColor(source->Color());
    FColors->Assign(source->Colors());
    FCtl3D = source->FCtl3D;
    SetDefaultNodeHeight(source->FDefaultNodeHeight);
    FDefaultPasteMode = source->FDefaultPasteMode;
    FDragImageKind = source->FDragImageKind;
    SetEnabled(source->Enabled());
    SetFont(source->Font());
    FAnimationType = source->FAnimationType;
    FHintMode = source->FHintMode;
    FHotCursor = source->FHotCursor;
    SetImages(source->FImages);
    SetIndent(source->FIndent);
    SetMargin(source->FMargin);
    SetNodeAlignment(source->FNodeAlignment);
    SetNodeDataSize(source->FNodeDataSize);
    FOptions->Assign(source->TreeOptions());
    SetParentBiDiMode(source->ParentBiDiMode());
    SetParentColor(source->ParentColor());
    SetParentFont(source->ParentFont());
    SetParentShowHint(source->ParentShowHint());
    SetPopupMenu(source->PopupMenu());
    SetRootNodeCount(source->RootNodeCount());
    SetShowHint(source->ShowHint());
    SetStateImages(source->FStateImages);
    SetTabStop(source->TabStop());
    SetVisible(source->Visible());
    SetSelectionCurveRadius(source->FSelectionCurveRadius);
    FSelectionBlendFactor = source->FSelectionBlendFactor;
    SetEmptyListMessage(source->FEmptyListMessage);
}

void TBaseLazyTree::FlagCutCopyNodes() {
    for (PLazyNode n = GetFirstNoInit(); n; n = GetNextNoInit(n))
        if (n->States.Contains(vsSelected) && !n->States.Contains(vsDisabled))
            n->States.Include(vsCutOrCopy);
}

// --- hand-off points for painting, scrolling and the position cache ----------------------------

void TBaseLazyTree::InvalidateWhenShown() {
    if (HandleAllocated()) Invalidate();
}

void TBaseLazyTree::ImageListChange(TObject*) {
    InvalidateWhenShown();
}

// --- the string tree --------------------------------------------------------------------------

TCustomLazyStringTree::TCustomLazyStringTree(TComponent* AOwner) : TBaseLazyTree(AOwner) {
    // The base constructor made options of its own class; the string tree's carry more.
    InstallOptions();
    FTextWidthOffset = ReserveInternalDataArea(4);
}

std::unique_ptr<TCustomLazyTreeOptions> TCustomLazyStringTree::OptionsClass() {
    return std::make_unique<TCustomStringTreeOptions>(this);
}

std::uint32_t& TCustomLazyStringTree::CachedTextWidth(PLazyNode Node) const {
    return *reinterpret_cast<std::uint32_t*>(InternalData(Node, FTextWidthOffset));
}

void TCustomLazyStringTree::SetChildCount(PLazyNode Node, std::uint32_t NewChildCount) {
    TBaseLazyTree::SetChildCount(Node, NewChildCount);
    CachedTextWidth(Node ? Node : RootNode()) = 0;
}

void TCustomLazyStringTree::ReinitNode(PLazyNode Node, bool Recursive) {
    TBaseLazyTree::ReinitNode(Node, Recursive);
    if (Node && Node != RootNode()) CachedTextWidth(Node) = 0;
}
