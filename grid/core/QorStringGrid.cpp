// TQorStringGrid: construction, owned objects, window creation, after-loading fix-ups, copying
// and the control's own size and repaint operations.
#include "grid/core/QorStringGrid.h"
#include "grid/data/DataSettings.h"
#include "grid/editors/CellChecker.h"
#include "grid/render/ControlLook.h"
#include "grid/render/FloatingFooter.h"
#include "grid/render/LookSettings.h"

#include "grid/core/GridLibrary.h"
#include "grid/data/GridOleDragDrop.h"
#include "grid/data/SearchPanel.h"
#include "grid/editors/AsgCombo.h"
#include "grid/editors/ControlEditors.h"
#include "grid/editors/FixedCellEditors.h"
#include "grid/editors/GridEditors.h"
#include "grid/render/AuxWindows.h"
#include "grid/render/CellGlyphs.h"
#include "grid/render/HeaderDragButton.h"
#include "grid/render/markup/HTMLPicture.h"
#include "platform/ui/Menus.h"
#include "platform/ui/core/SysInfo.h"
#include "platform/ui/core/Timers.h"
#include "platform/ui/core/ToolTips.h"

#include <algorithm>
#include <map>
#include <memory>

namespace {
// The grids chained into one form's OnResize, newest first, and the form's own handler. The
// form's OnResize holds a FormResizeChain while any grid is chained, so a grid can leave in any
// order without cutting off the others or leaving a dangling handler behind.
struct FormChain {
    TNotifyEvent Original;
    std::vector<TQorStringGrid*> Grids;
};
std::map<TComponent*, std::shared_ptr<FormChain>>& formChains() {
    static std::map<TComponent*, std::shared_ptr<FormChain>> chains;
    return chains;
}

struct FormResizeChain {
    std::shared_ptr<FormChain> Chain;
    void operator()(TObject* Sender) const;
};
} // namespace

// Friend access to the grid's resize reaction.
class TQorStringGridFormLink {
public:
    static void resize(TQorStringGrid* g) { g->FormResize(); }
};

namespace {
void FormResizeChain::operator()(TObject* Sender) const {
    std::shared_ptr<FormChain> keep = Chain; // a handler may unchain a grid
    std::vector<TQorStringGrid*> grids = keep->Grids;
    for (TQorStringGrid* g : grids)
        if (std::find(keep->Grids.begin(), keep->Grids.end(), g) != keep->Grids.end())
            TQorStringGridFormLink::resize(g);
    if (keep->Original) keep->Original(Sender);
}
} // namespace

TQorStringGrid::TQorStringGrid(TComponent* AOwner) : TBaseGrid(AOwner) {
    GridLibraryInitialize();
    RegisterGridCursors();
    FVisibleCol.fill(true);

    // The search footer carries its English texts only when the grid is being designed.
    bool ownerReading = AOwner && (AOwner->ComponentState() & (csReading | csLoading));
    FFocusHelper = std::make_unique<TFocusHelper>(this);
    FSearchFooter = std::make_unique<TSearchFooter>(this, Designing() && !ownerReading);
    FSearchFooter->OnChange = [this](TObject*) { UpdateSearchPanel(); };
    FPrintSettings = std::make_unique<TPrintSettings>(this);
    FHTMLSettings = std::make_unique<THTMLSettings>();
    FSortSettings = std::make_unique<TSortSettings>(this);
    FDragDropSettings = std::make_unique<TDragDropSettings>(this);
    FDragDropSettings->OnDropTargetChange = [this](TObject*) { dragDropSettingsChanged(); };
    FDragScrollOptions = std::make_unique<TDragScrollOptions>();
    FFilter = std::make_unique<TFilter>(this);
    FFilterDropDown = std::make_unique<TFilterDropDown>();
    FFilterDropDown->OnChange = [this](TObject*) { Invalidate(); };
    FGrouping = std::make_unique<TGrouping>();
    FSyncGrid = std::make_unique<TSyncGrid>(this);
    FNavigation = std::make_unique<TNavigation>();
    FNavigation->OnChange = [this](TObject*) { NavigationChanged(); };
    FColumnSize = std::make_unique<TColumnSize>(this);
    FColumnSize->OnStretch = [this] {
        if (Parent()) StretchColumn(FColumnSize->StretchColumn());
    };
    FFloatingFooter = std::make_unique<TFloatingFooter>(this);
    FFloatingFooter->OnChange = [this](TFooterChange what) { footerChanged(what); };
    FProgressAppearance = std::make_unique<TGridProgressAppearance>();
    FProgressAppearance->OnChange = [this](TObject*) { Invalidate(); };
    FCellNode = std::make_unique<TCellNode>(this);
    FCellNode->OnRepaint = [this] { Invalidate(); };
    FBands = std::make_unique<TBands>();
    FBands->OnChange = [this](TObject*) { Invalidate(); };
    FSizeWhileTyping = std::make_unique<TSizeWhileTyping>();
    FMouseActions = std::make_unique<TMouseActions>(this);
    FMouseActions->OnChange = [this](TObject*) { MouseActionsChanged(); };
    FMouseActions->OnIsDesigning = [this](TObject*, bool& d) { GetIsDesigning(d); };
    FMouseActions->OnInvalidate = [this](TObject*) { SettingsInvalidate(); };
    FColumnHeaders = std::make_unique<TStringList>();
    FColumnHeaders->OnChange = [this](TObject*) {
        writeHeaders();
        ColumnHeadersChanged();
    };
    FRowHeaders = std::make_unique<TStringList>();
    FRowHeaders->OnChange = [this](TObject*) {
        writeHeaders();
        RowHeadersChanged();
    };
    FFixedFont = std::make_unique<TFont>();
    FFixedFont->SetName("Tahoma");
    FFixedFont->SetStyle(TFontStyles{fsBold});
    FFixedFont->OnChange = [this](TObject*) { Invalidate(); };
    FActiveCellFont = std::make_unique<TFont>();
    FActiveCellFont->SetStyle(TFontStyles{fsBold});
    if (Designing()) FActiveCellFont->SetName("Tahoma");
    FActiveCellFont->OnChange = [this](TObject*) { Invalidate(); };
    FCellFont = std::make_unique<TFont>();
    FSortIndexes = std::make_unique<TSortIndexList>();
    FIgnoreColumns = std::make_unique<TIntList>(0, 0);
    FFilterList = std::make_unique<TStringList>();
    FFilterList->SetSorted(true);
    FFilterList->Duplicates = dupIgnore;
    FRowIndicator = std::make_unique<TBitmap>();
    FHidden = std::make_unique<THiddenRows>();
    FSharedGraphic = std::make_unique<TCellGraphic>();
    FControlLook = std::make_unique<TControlLook>(this);
    FShowModified = std::make_unique<TShowModified>();
    FShowModified->OnChange = [this](TObject*) { InvalidateCol(0); };
    FMergedColumns = std::make_unique<TIntList>(0, 0);
    FMergedColumns->OnChange = [this](TObject*, int, int) { RefreshColumnMerges(); };

    createCellParts();
    FFooterPanel = new TFooterPanel(this);
    FFooterPanel->SetVisible(false);
    FFooterPanel->SetParent(this);
    FFooterPanel->SetAlign(alBottom);
    FFooterPanel->SetHeight(0);
    FFooterPanel->SetBorderWidth(0);
    FSearchPanel = new TSearchPanel(this);
    FSearchPanel->SetVisible(false);
    FSearchPanel->SetParent(this);
    FSearchPanel->SetAlign(alBottom);
    FSearchPanel->SetHeight(0);
    FSearchPanel->SetBorderWidth(0);
    FSearchPanel->OnForwardClick = [this](TObject*) { SearchFooterFindNext(); };
    FSearchPanel->OnBackwardClick = [this](TObject*) { SearchFooterFindPrev(); };
    FSearchPanel->OnEditChange = [this](TObject*) { SearchFooterEditChange(); };
    FSearchPanel->OnExitClick = [this](TObject*) { SearchFooterClose(); };
    FSearchPanel->OnHighLightClick = [this](TObject*) { SearchFooterHighlight(); };
    FSearchPanel->OnCreated = [this](TObject*) {
        if (OnCreatedSearchFooter) OnCreatedSearchFooter(this);
    };

    // The header filter lists, hidden until a filter button opens one.
    auto filterList = [this](auto* list) {
        list->SetParent(this);
        list->SetBounds(0, 0, 0, 0);
        list->SetVisible(false);
        list->OnCancel = [this](TObject*) { FFilterCol = -1; };
        return list;
    };
    FFilterDropList = filterList(new TDropList(this));
    FFilterDropList->OnSelect = [this](TObject*, int index) { FilterDropDownSelect(index); };
    FFilterDropCheckList = filterList(new TDropCheckList(this));
    FFilterDropCheckList->OnSelect = [this](TObject*, int index) { FilterDropDownCheck(index); };

    if (!Designing()) {
        FFocusWindow = new TGridFocusWindow(this);
        FFocusWindow->SetVisible(false);
        FFocusWindow->SetParent(this);
        FArrows[arrUp] = new TArrowWindow(this, arrUp);
        FArrows[arrDown] = new TArrowWindow(this, arrDown);
        FArrows[arrLeft] = new TArrowWindow(this, arrLeft);
        FArrows[arrRight] = new TArrowWindow(this, arrRight);
        FMoveButton = new THeaderDragButton(this);
        FMoveButton->SetGrid(this);
        FMoveButton->SetParent(this);
        FStyle = tsWindowsXP;
    }

    SetRowCount(10);
    SetBounds(Left(), Top(), 400, 250);
    SetDefaultRowHeight(22);
    SetScrollBars(ssBoth);
    FBorderColor = IsWindowsXPOrLater() ? TColor(0xB99D7F) : TColor(clGray);
    FQorGradientTo = ColorToRGB(clBtnFace);
    FScrollWidth = SystemScrollBarSize;

    FIsWinXP = IsWindowsXPOrLater();
    FIsWin7 = Win32MajorVersion() > 6 || (Win32MajorVersion() == 6 && Win32MinorVersion() > 0);
    FIsVista = IsWindowsVistaOrLater();
    FIsThemed = IsComCtl6();
    GridLibrary().LinkCursor = crHandPoint;

    if (!Designing()) {
        // The combo editor shared by every combo cell, then the other editors made with the
        // grid; the spin and date editors come on first use.
        FEditCombo = new TGridCombo(this);
        FEditCombo->SetVisible(false);
        FEditCombo->SetEnabled(false);
        FEditCombo->SetParent(this);
        FEditCombo->SetIsWinXP(FIsWinXP);
        FEditCombo->SetIsVista(FIsWin7 && FIsThemed);
        createEditorControls();
    }

    hookOwnerForm();
}

TQorStringGrid::~TQorStringGrid() {
    SetComponentState(ComponentState() | csDestroying);
    unhookOwnerForm();
    if (FColumnSize->Save()) {
        try {
            SaveColSizes();
        } catch (const Exception&) {
            // A destructor must not throw; the widths are simply not kept this time.
        }
    }
    if (FGridTimerID && HandleAllocated()) KillTimer(Handle(), FGridTimerID);
    FFlags.ClearTextOnly = false;
    FFlags.SaveHiddenCells = false;
    // Hidden rows release their cells' objects with their records; hidden columns keep their
    // cells in the store, which releases them.
    FHidden->Clear();
    if (GridLibrary().FocusFrameGrid == this) GridLibrary().FocusFrameGrid = nullptr;
    if (FOleDropTargetAssigned && HandleAllocated()) RevokeDragDrop(Handle());
    SetCursor(FOldCursor);
}

// --- owner form resize chain -----------------------------------------------------------------
void TQorStringGrid::hookOwnerForm() {
    auto* form = dynamic_cast<TCustomForm*>(Owner());
    if (!form || Designing()) return;
    std::shared_ptr<FormChain>& chain = formChains()[form];
    auto* installed = form->OnResize.target<FormResizeChain>();
    if (!chain || !installed || installed->Chain != chain) {
        // The form's own handler (or one set since the chain was made) runs last.
        chain = std::make_shared<FormChain>();
        chain->Original = form->OnResize;
        form->OnResize = FormResizeChain{chain};
    }
    chain->Grids.insert(chain->Grids.begin(), this);
    FFormWidth = form->Width();
    FFormHeight = form->Height();
    FHookedForm = form;
    FHookedFormComponent = form;
}

void TQorStringGrid::unhookOwnerForm() {
    if (!FHookedForm) return;
    TCustomForm* form = FHookedForm;
    TComponent* component = FHookedFormComponent;
    FHookedForm = nullptr;
    auto it = formChains().find(component);
    if (it == formChains().end()) return;
    std::shared_ptr<FormChain> chain = it->second;
    std::erase(chain->Grids, this);
    if (!chain->Grids.empty()) return;
    formChains().erase(it);
    // A form being destroyed (maybe a form no more) keeps its chain, which now only calls the
    // form's own handler.
    if (component->IsDestroying()) return;
    if (auto* installed = form->OnResize.target<FormResizeChain>();
        installed && installed->Chain == chain)
        form->OnResize = chain->Original;
}

TCustomForm* TQorStringGrid::FindParentForm(TControl* AControl) {
    for (TControl* c = AControl; c; c = c->Parent())
        if (auto* f = dynamic_cast<TCustomForm*>(c)) return f;
    return nullptr;
}

// --- window and loading ----------------------------------------------------------------------
void TQorStringGrid::CreateWnd() {
    if (IsDestroying()) return;
    TBaseGrid::CreateWnd();
    if (!Parent()) return;
    if (!Designing() && FBalloon->Enable()) BalloonInit();
    FGridTimerID = SetTimer(Handle(), 111, 500);
    if (Designing() && !Loading() && !FGridLoaded) Font()->SetName("Tahoma");
    FFooterPanel->SetVisible(FFloatingFooter->Visible());
    FSearchPanel->SetVisible(FSearchFooter->Visible());
    FSearchPanel->SetHeight(FSearchFooter->Visible() ? 32 : 0);
    if (FColumnSize->Save()) LoadColSizes();
    FIsWinXP = FIsWinXP && ThemeIsActive(GridThemeBinding()) != 0;
    FWheelMsg = WM_MOUSEWHEEL;
    UINT lines = 3;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    // A page per notch is the rows that show at the time of the turn.
    FWheelScrl = lines == WHEEL_PAGESCROLL ? -1 : int(lines);
}

void TQorStringGrid::Loaded() {
    TBaseGrid::Loaded();
    FOldCursor = Cursor();
    writeHeaders();
    if (FLook == glQor) {
        FLook = glCustom;
        SetLook(glQor);
    }
    if (FAutoSize) AutoSizeColumns(false, 10);
    if (FColumnSize->Save()) LoadColSizes();
    FFixedRowsMin = FixedRows();
    FFixedColsMin = FixedCols();
    FMinRowHeight = DefaultRowHeight();
    FMinColWidth = 10;
    FMaxRowCount = RowCount();
    FGridLoaded = true;
    if (Options().Contains(goAlwaysShowEditor)) {
        SetOptions(Options() - goAlwaysShowEditor);
        FNavigation->SetAlwaysEdit(true);
    }
    FSearchFooter->SetAutoThemeAdapt(FAutoThemeAdapt);
    UpdateSearchPanel();
    UpdateScrollBarsAlways(true);
    if (FOleDropTarget) {
        FOleDropTarget->SetAcceptText(FDragDropSettings->OleAcceptText());
        FOleDropTarget->SetAcceptFiles(FDragDropSettings->OleAcceptFiles());
        FOleDropTarget->SetAcceptURLs(FDragDropSettings->OleAcceptURLs());
    }
    if (FAutoThemeAdapt && !Designing()) {
        FollowOfficeTheme();
        GetThemeNotifier(this)->RegisterWindow(Handle());
    }
    InitOrigColSizes();
    SetColumnOrder();
}

void TQorStringGrid::writeHeaders() {
    ShowColumnHeaders();
    ShowRowHeaders();
}

// --- settings objects -----------------------------------------------------------------------
void TQorStringGrid::SetControlLook(const TControlLook* v) {
    FControlLook->Assign(v);
}
void TQorStringGrid::SetDragScrollOptions(const TDragScrollOptions* v) {
    FDragScrollOptions->Assign(v);
}
void TQorStringGrid::SetSortSettings(const TSortSettings* v) {
    FSortSettings->Assign(v);
}
void TQorStringGrid::SetBackGround(const TBackGround* v) {
    FBackGround->Assign(v);
}
void TQorStringGrid::SetBalloon(const TBalloonSettings* v) {
    FBalloon->Assign(v);
}
void TQorStringGrid::SetProgressAppearance(const TGridProgressAppearance* v) {
    FProgressAppearance->Assign(v);
}

// --- copying ---------------------------------------------------------------------------------
void TQorStringGrid::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TQorStringGrid*>(Source);
    if (!src) return;
    Font()->Assign(const_cast<TQorStringGrid*>(src)->Font());
    FActiveCellColor = src->FActiveCellColor;
    FActiveCellColorTo = src->FActiveCellColorTo;
    FActiveCellFont->Assign(src->FActiveCellFont.get());
    FActiveCellShow = src->FActiveCellShow;
    SetActiveRowShow(src->ActiveRowShow());
    SetAlign(src->Align());
    FFilterDropDown->Assign(src->FFilterDropDown.get());
    FAnchorHint = src->FAnchorHint;
    FAutoNumAlign = src->FAutoNumAlign;
    FAutoSize = src->FAutoSize;
    FAutoThemeAdapt = src->FAutoThemeAdapt;
    FAutoFilterUpdate = src->FAutoFilterUpdate;
    FMouseActions->Assign(src->FMouseActions.get());
    FNavigation->Assign(src->FNavigation.get());
    FGrouping->Assign(src->FGrouping.get());
    FSearchFooter->Assign(src->FSearchFooter.get());
    FPrintSettings->Assign(src->FPrintSettings.get());
    FFilter->Assign(src->FFilter.get());
    FHTMLSettings->Assign(src->FHTMLSettings.get());
    FBands->Assign(src->FBands.get());
    FCellNode->Assign(src->FCellNode.get());
    FSortSettings->Assign(src->FSortSettings.get());
    FDragScrollOptions->Assign(src->FDragScrollOptions.get());
    FDragDropSettings->Assign(src->FDragDropSettings.get());
    FProgressAppearance->Assign(src->FProgressAppearance.get());
    FColumnSize->Assign(src->FColumnSize.get());
    FSyncGrid->Assign(src->FSyncGrid.get());
    FFocusHelper->Assign(src->FFocusHelper.get());
    FFixedRowAlways = src->FFixedRowAlways;
    SetColCount(src->ColCount());
    SetRowCount(src->RowCount());
    SetFixedRows(src->FixedRows());
    SetFixedCols(src->FixedCols());
    SetDefaultColWidth(src->DefaultColWidth());
    SetDefaultRowHeight(src->DefaultRowHeight());
    SetFixedRowHeight(src->FixedRowHeight());
    SetFixedColWidth(src->FixedColWidth());
    FInvalidEntryTitle = src->FInvalidEntryTitle;
    FInvalidEntryIcon = src->FInvalidEntryIcon;
    FInvalidEntryText = src->FInvalidEntryText;
    SetOptions(src->Options());
    for (int c = 0; c < ColCount(); ++c) SetColWidths(c, src->ColWidths(c));
    FColumnHeaders->Assign(src->FColumnHeaders.get());
    for (int r = 0; r < RowCount(); ++r) SetRowHeights(r, src->RowHeights(r));
    SetScrollProportional(src->FScrollProportional);
    FScrollSynch = src->FScrollSynch;
    SetScrollWidth(src->FScrollWidth);
    FScrollHints = src->FScrollHints;
    SetScrollBarAlways(src->FScrollBarAlways);
    SetScrollBars(src->ScrollBars());
    SetScrollColor(src->FScrollColor);
    SetScrollType(src->FScrollType);
    AssignCells(Source);
}

// Through the grid's text stream: counts, column widths and the save texts of the source's
// save range.
void TQorStringGrid::AssignCells(const TPersistent* Source) {
    auto src = dynamic_cast<const TQorStringGrid*>(Source);
    if (!src) return;
    TMemoryStream stream;
    // Writing reads the source's cells through its (non-const) save-text hook.
    const_cast<TQorStringGrid*>(src)->SaveToStream(stream);
    stream.SetPosition(0);
    LoadFromStream(stream);
}

// --- repaint and size ------------------------------------------------------------------------
void TQorStringGrid::Invalidate() {
    if (FInvalidateSuppressed) {
        FInvalidateSuppressed = false;
        return;
    }
    // Switching goEditing for the new current cell changes nothing that shows.
    if (FEditChange) {
        FEditChange = false;
        return;
    }
    TBaseGrid::Invalidate();
    if (!Loading() && FFloatingFooter && FFloatingFooter->Visible() && FFooterPanel)
        FFooterPanel->Invalidate();
}

void TQorStringGrid::Resize() {
    TBaseGrid::Resize();
    if (Designing()) Invalidate();
    UpdateScrollBarsAlways(false);
    UpdateProportionalVScroll();
    UpdateProportionalHScroll();
}

void TQorStringGrid::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (FIntegralHeight && DefaultRowHeight() > 0) {
        int s = HorzScrollBar().Visible ? SystemScrollBarSize : 0;
        int b = FBorderStyle == bsSingle ? 2 : 0;
        int h = AHeight - s - b;
        h -= h % DefaultRowHeight();
        AHeight = s + h + 2 * b;
    }
    TBaseGrid::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TQorStringGrid::ChangeScale(int M, int D) {
    TBaseGrid::ChangeScale(M, D);
    if (M == D || D == 0) return;
    FFixedFont->SetSize(MulDiv(FFixedFont->Size(), M, D));
    FActiveCellFont->SetSize(MulDiv(FActiveCellFont->Size(), M, D));
}

void TQorStringGrid::SetBorderColor(TColor v) {
    FBorderColor = v;
    if (Parent() && Parent()->HandleAllocated()) Invalidate();
}

void TQorStringGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TBaseGrid::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FEditCombo) FEditCombo = nullptr;
    if (AComponent == FEditCtrl) FEditCtrl = nullptr;
    if (AComponent == FEditCheck) FEditCheck = nullptr;
    if (AComponent == FEditBtn) FEditBtn = nullptr;
    if (AComponent == FUnitEditBtn) FUnitEditBtn = nullptr;
    if (AComponent == FGridButton) FGridButton = nullptr;
    if (AComponent == FEditSpin) FEditSpin = nullptr;
    if (AComponent == FEditDate) FEditDate = nullptr;
    if (AComponent == FEditDateTime) FEditDateTime = nullptr;
    if (static_cast<TObject*>(AComponent) == FEditLink) FEditLink = nullptr;
    if (AComponent == FEditTrans) FEditTrans = nullptr;
    if (AComponent == FComboTrans) FComboTrans = nullptr;
    if (AComponent == FFixedDropDownMenu) FFixedDropDownMenu = nullptr;
    if (AComponent == FFilterDropList) FFilterDropList = nullptr;
    if (AComponent == FFilterDropCheckList) FFilterDropCheckList = nullptr;
    if (AComponent == FFocusWindow) FFocusWindow = nullptr;
    if (AComponent == FFooterPanel) FFooterPanel = nullptr;
    if (AComponent == FSearchPanel) FSearchPanel = nullptr;
    if (AComponent == FMoveButton) FMoveButton = nullptr;
    if (AComponent == FMoveForm) FMoveForm = nullptr;
    if (AComponent == FGridImages) FGridImages = nullptr;
    if (AComponent == FCellChecker) FCellChecker = nullptr;
    if (!IsDestroying() && FSyncGrid->Grid() &&
        static_cast<TComponent*>(FSyncGrid->Grid()) == AComponent)
        FSyncGrid->SetGrid(nullptr);
    if (AComponent == FPictureContainer) FPictureContainer = nullptr;
    if (AComponent == FCtrlEdit) FCtrlEdit = nullptr;
    if (AComponent == FCtrlCombo) FCtrlCombo = nullptr;
    if (AComponent == FBalloonWindow) FBalloonWindow = nullptr;
    for (auto& a : FArrows)
        if (AComponent == a) a = nullptr;
    std::erase_if(FNotifiers, [&](TGridChangeNotifier* n) {
        return static_cast<TComponent*>(n) == AComponent;
    });
}
