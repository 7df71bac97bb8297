// The header's answers to the mouse and keyboard: hot and pressed columns, clicks (sorting, header
// check boxes, the column menu), splitters for column widths and the header height, dragging
// columns to other places, and cancelling by Escape or focus loss. The column menu.
#include "platform/ui/core/Timers.h"
#include "platform/ui/core/WindowFrame.h"
#include "treeview/LazyTree.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr std::uintptr_t HeaderTimer = 3;
constexpr std::uintptr_t EditTimer = 2;
constexpr std::uintptr_t ScrollTimer = 4;
constexpr unsigned HeaderTimerDelay = 50;
constexpr int DragThreshold = 5;
constexpr THeaderStates TrackingStates{hsColumnWidthTracking, hsColumnWidthTrackPending,
                                       hsHeightTracking, hsHeightTrackPending};

bool isNonClient(UINT Msg) {
    return Msg >= WM_NCMOUSEMOVE && Msg <= WM_NCMBUTTONDBLCLK;
}

} // namespace

const char* const SResizeToFitMenuItem = "&Resize All Columns To Fit";

// --- splitters -----------------------------------------------------------------------------------

bool TLTHeader::LocateSplitter(TPoint P) {
    if (!UseColumns()) return false;
    FColumns->FTrackIndex = NoColumnIndex;
    const int t = FSplitterHitTolerance;
    const int a = int(std::nearbyint(t * 0.6));
    const int fixedWidth = FColumns->GetVisibleFixedWidth();
    const int ox = FOwner->EffectiveOffsetX();
    const std::vector<TColumnIndex> visible = FColumns->GetVisibleColumns();
    if (FOwner->UseRightToLeftAlignment()) {
        // Mirrored, a column is sized at its left border.
        int s = FOwner->ColumnsRightToLeftOffset() - ox;
        for (TColumnIndex index : visible) {
            const TLazyTreeColumn* c = FColumns->Items(index);
            const bool fixed = c->Options().Contains(coFixed);
            const int border = fixed ? s + ox : s;
            const bool hit =
                (fixed || P.X > fixedWidth) && border - a < P.X && P.X < border + (t - a);
            if (hit && FColumns->SplitterResizeAllowed(P, index)) {
                FColumns->FTrackIndex = index;
                FTrackPoint = TPoint(border + c->Width(), P.Y);
                return true;
            }
            s += c->Width();
        }
        return false;
    }
    int s = FColumns->TotalWidth() - ox;
    for (auto it = visible.rbegin(); it != visible.rend(); ++it) {
        const TLazyTreeColumn* c = FColumns->Items(*it);
        const bool fixed = c->Options().Contains(coFixed);
        const int border = fixed ? s + ox : s;
        const bool hit = (fixed || P.X > fixedWidth) && border - (t - a) < P.X && P.X < border + a;
        if (hit && FColumns->SplitterResizeAllowed(P, *it)) {
            FColumns->FTrackIndex = *it;
            FTrackPoint = TPoint(border - c->Width(), P.Y);
            return true;
        }
        s -= c->Width();
    }
    return false;
}

bool TLTHeader::HeightSplitterAllowed(TPoint P) {
    bool allowed = FOptions.Contains(hoHeightResize);
    FireCanSplitterResizeHeader(P, allowed);
    return allowed;
}

bool TLTHeader::columnSplitterHit(TPoint P) {
    if (!FOptions.Contains(hoColumnResize) || !LocateSplitter(P)) return false;
    if (InHeader(P)) return true;
    // Below the header only the border of the fixed area can be dragged.
    const TColumnIndex track = FColumns->FTrackIndex;
    const TColumnIndex next = FColumns->GetNextVisibleColumn(track);
    return FColumns->Items(track)->Options().Contains(coFixed) && next >= 0 &&
           !FColumns->Items(next)->Options().Contains(coFixed) && P.Y <= FOwner->RangeY();
}

// --- messages
// -------------------------------------------------------------------------------------

bool TLTHeader::ProcessHeaderMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        if (!FOwner->TreeStates().Contains(tsWindowCreating)) {
            if (FOptions.Contains(hoAutoResize) && !FStates.Contains(hsAutoSizing))
                FColumns->FitAutoSizeColumn(false);
            else if (!FStates.Contains(hsScaling))
                ApplyAreaConstraints();
            Invalidate();
        }
        return false;
    case WM_KILLFOCUS:
        return cancelTracking();
    case WM_KEYDOWN:
        return Message.WParam == VK_ESCAPE && cancelTracking();
    case WM_SETCURSOR:
        return handleSetCursor(Message);
    case WM_NCMOUSEMOVE: {
        const TPoint p = FOwner->ScreenToClient(LParamToPoint(Message.LParam));
        const TPoint h = toHeader(p);
        FOwner->FireHeaderMouseMove(KeyboardStateToShiftState(), h.X, h.Y);
        if (InHeader(p) &&
            (FColumns->TrackHotColumn(p) ||
             (FColumns->FDownIndex >= 0 && FColumns->FDownIndex != FColumns->FHoverIndex)))
            SetTimer(FOwner->Handle(), HeaderTimer, HeaderTimerDelay);
        return false;
    }
    case WM_TIMER: {
        if (Message.WParam != HeaderTimer) return false;
        TPoint p;
        GetCursorPos(p);
        p = FOwner->ScreenToClient(p);
        if (!InHeader(p) ||
            (FColumns->FDownIndex >= 0 && FColumns->FDownIndex != FColumns->FHoverIndex)) {
            KillTimer(FOwner->Handle(), HeaderTimer);
            FColumns->FHoverIndex = FColumns->FClickIndex = FColumns->FDownIndex = NoColumnIndex;
            FColumns->FCheckBoxHit = false;
            Invalidate();
            return true;
        }
        return false;
    }
    case WM_NCLBUTTONDOWN:
    case WM_LBUTTONDOWN:
        return handleButtonDown(Message);
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
        return handleButtonUp(Message);
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDBLCLK:
    case WM_LBUTTONDBLCLK:
        return handleDoubleClick(Message);
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: {
        const TPoint p = FOwner->ScreenToClient(LParamToPoint(Message.LParam));
        if (InHeader(p)) {
            const TPoint h = toHeader(p);
            FOwner->FireHeaderMouseDown(Message.Msg == WM_NCRBUTTONDOWN ? mbRight : mbMiddle,
                                        KeyboardStateToShiftState(), h.X, h.Y);
        }
        return false;
    }
    case WM_NCMBUTTONUP:
    case WM_NCRBUTTONUP: {
        const bool right = Message.Msg == WM_NCRBUTTONUP;
        if (right && (FOwner->ComponentState() & csDesigning)) return false;
        const TPoint screen = LParamToPoint(Message.LParam);
        const TPoint p = FOwner->ScreenToClient(screen);
        if (InHeader(p)) {
            FColumns->ProcessHeaderClick(p, right ? mbRight : mbMiddle, true, false);
            const TPoint h = toHeader(p);
            FOwner->FireHeaderMouseUp(right ? mbRight : mbMiddle, KeyboardStateToShiftState(), h.X,
                                      h.Y);
            FColumns->FDownIndex = NoColumnIndex;
            if (right) FColumns->FTrackIndex = NoColumnIndex;
            FColumns->FCheckBoxHit = false;
        }
        if (!right) return false;
        TPopupMenu* menu = FPopupMenu;
        if (!menu) menu = FireGetPopupMenu(FColumns->ColumnFromPosition(toHeader(p)), p);
        if (!menu) return false;
        FOwner->killTreeTimer(ScrollTimer);
        KillTimer(FOwner->Handle(), HeaderTimer);
        FColumns->FHoverIndex = NoColumnIndex;
        FOwner->ChangeTreeStates({}, {tsScrollPending, tsScrolling});
        menu->SetPopupComponent(FOwner);
        menu->Popup(screen.X, screen.Y);
        return true;
    }
    case WM_MOUSEMOVE:
        return headerMouseMove(Message);
    case CM_FONTCHANGED:
        if (FParentFont) FFont->Assign(FOwner->Font());
        return false;
    case CM_BIDIMODECHANGED:
        for (int i = 0; i < FColumns->Count(); ++i) FColumns->Items(i)->ParentBiDiModeChanged();
        return false;
    default:
        return false;
    }
}

bool TLTHeader::cancelTracking() {
    if (FStates.Contains(hsDragging)) {
        ReleaseCapture();
        endColumnDrag();
        FStates.Exclude(hsDragging);
        FColumns->FDropTarget = NoColumnIndex;
        Invalidate();
        return true;
    }
    if (!(FStates * TrackingStates).Empty()) {
        ReleaseCapture();
        if (FStates.Contains(hsColumnWidthTracking) || FStates.Contains(hsColumnWidthTrackPending))
            FireAfterColumnWidthTracking(FColumns->FTrackIndex);
        if (FStates.Contains(hsHeightTracking) || FStates.Contains(hsHeightTrackPending))
            FireAfterHeaderHeightTracking();
        FStates = FStates - TrackingStates;
        return true;
    }
    return false;
}

bool TLTHeader::handleSetCursor(TMessage& Message) {
    if (!FStates.Empty() &&
        !(FStates * THeaderStates{hsDragging, hsDragPending, hsColumnWidthTracking,
                                  hsColumnWidthTrackPending, hsHeightTracking,
                                  hsHeightTrackPending})
             .Empty()) {
        Message.Result = 1;
        return true;
    }
    TPoint p;
    GetCursorPos(p);
    p = FOwner->ScreenToClient(p);
    const bool designing = FOwner->ComponentState() & csDesigning;
    const bool heightHit = InHeaderSplitterArea(p) && (designing || HeightSplitterAllowed(p));
    const bool columnHit = !heightHit && columnSplitterHit(p);
    if (!heightHit && !columnHit) return false;
    TCursor cursor = FOwner->Cursor();
    if (heightHit)
        cursor = crVSplit;
    else
        cursor = crHSplit;
    if (!designing) FOwner->FireGetHeaderCursor(cursor);
    if (cursor == crDefault) return false;
    if (Screen) Screen->SetCurrentCursor(cursor);
    Message.Result = 1;
    return true;
}

bool TLTHeader::handleButtonDown(TMessage& Message) {
    const bool designing = FOwner->ComponentState() & csDesigning;
    if (!designing) {
        FOwner->killTreeTimer(ScrollTimer);
        FOwner->killTreeTimer(EditTimer);
        FOwner->ChangeTreeStates({}, {tsScrollPending, tsScrolling, tsEditPending});
    }
    TPoint p = LParamToPoint(Message.LParam);
    if (isNonClient(Message.Msg)) {
        FDragStart = p;
        p = FOwner->ScreenToClient(p);
    } else {
        FDragStart = FOwner->ClientToScreen(p);
    }
    const TShiftState shift = KeyboardStateToShiftState();
    bool consumed = false;
    const bool heightHit = InHeaderSplitterArea(p) && (designing || HeightSplitterAllowed(p));
    if (heightHit || columnSplitterHit(p)) {
        FTrackStart = p;
        FColumns->FHoverIndex = NoColumnIndex;
        if (heightHit) {
            if (!designing) FireBeforeHeaderHeightTracking(shift);
            FStates.Include(hsHeightTrackPending);
        } else {
            if (!designing) FireBeforeColumnWidthTracking(FColumns->FTrackIndex, shift);
            FStates.Include(hsColumnWidthTrackPending);
        }
        SetCapture(FOwner->Handle());
        return true;
    }
    if (InHeader(p)) {
        const TColumnIndex c = FColumns->TrackPressedColumn(p);
        if (c >= 0 && (designing || (FOptions.Contains(hoDrag) &&
                                     FColumns->Items(c)->Options().Contains(coDraggable)))) {
            FStates.Include(hsDragPending);
            SetCapture(FOwner->Handle());
            consumed = true;
        }
        if (!designing) {
            const TPoint h = toHeader(p);
            FOwner->FireHeaderMouseDown(mbLeft, shift, h.X, h.Y);
        }
    }
    return consumed;
}

bool TLTHeader::headerMouseMove(TMessage& Message) {
    TPoint p = LParamToPoint(Message.LParam);
    const TShiftState shift = KeyboardStateToShiftState();
    if (FStates.Contains(hsColumnWidthTrackPending)) {
        KillTimer(FOwner->Handle(), HeaderTimer);
        FStates = FStates - THeaderStates{hsColumnWidthTrackPending} +
                  THeaderStates{hsColumnWidthTracking};
    } else if (FStates.Contains(hsHeightTrackPending)) {
        KillTimer(FOwner->Handle(), HeaderTimer);
        FStates = FStates - THeaderStates{hsHeightTrackPending} + THeaderStates{hsHeightTracking};
    } else if (FStates.Contains(hsColumnWidthTracking)) {
        const TColumnIndex track = FColumns->FTrackIndex;
        if (FireColumnWidthTracking(track, shift, FTrackPoint, p) &&
            FColumns->IsValidColumn(track)) {
            TLazyTreeColumn* c = FColumns->Items(track);
            // Mirrored, the right edge stays and the left one follows the pointer.
            const bool rtl = FOwner->UseRightToLeftAlignment();
            const int newWidth = rtl ? FTrackPoint.X - p.X : p.X - FTrackPoint.X;
            const TColumnIndex next = rtl ? FColumns->GetPreviousVisibleColumn(track)
                                          : FColumns->GetNextVisibleColumn(track);
            if (FOptions.Contains(hoAutoResize) && track == FAutoSizeIndex && next >= 0 &&
                FColumns->Items(next)->Options().Contains(coResizable) &&
                newWidth > c->MinWidth() && newWidth < c->MaxWidth()) {
                TLazyTreeColumn* n = FColumns->Items(next);
                n->SetWidth(n->Width() + c->Width() - newWidth);
            } else {
                c->SetWidth(newWidth);
            }
        }
    } else if (FStates.Contains(hsHeightTracking)) {
        if (FireHeaderHeightTracking(p, shift)) SetHeight(FHeight + p.Y);
    } else if (FStates.Contains(hsDragPending)) {
        const TPoint screen = FOwner->ClientToScreen(p);
        if (!FOptions.Contains(hoDrag)) return false;
        if (!FOwner->FireHeaderDragging(FColumns->FDownIndex)) return false;
        if (std::abs(screen.X - FDragStart.X) <= DragThreshold &&
            std::abs(screen.Y - FDragStart.Y) <= DragThreshold)
            return false;
        KillTimer(FOwner->Handle(), HeaderTimer);
        if (FColumns->FDownIndex >= 0) Invalidate(FColumns->FDownIndex);
        FColumns->FDownIndex = FColumns->FHoverIndex = NoColumnIndex;
        beginColumnDrag(screen, FDragStart);
        FStates = FStates - THeaderStates{hsDragPending} + THeaderStates{hsDragging};
    } else if (FStates.Contains(hsDragging)) {
        dragColumnTo(FOwner->ClientToScreen(p));
    } else {
        return false;
    }
    Message.Result = 0;
    return true;
}

bool TLTHeader::handleButtonUp(TMessage& Message) {
    const THeaderStates states = FStates;
    const bool nonClient = isNonClient(Message.Msg);
    TPoint p = LParamToPoint(Message.LParam);
    if (nonClient) p = FOwner->ScreenToClient(p);
    bool consumed = false;
    if (!(states * (TrackingStates + THeaderStates{hsDragging, hsDragPending})).Empty()) {
        ReleaseCapture();
        if (states.Contains(hsDragging)) {
            const TPoint screen = FOwner->ClientToScreen(p);
            endColumnDrag();
            TRect window;
            GetWindowRect(FOwner->Handle(), &window);
            const TColumnIndex target = FColumns->FDropTarget;
            const TColumnIndex dragged = FColumns->FDragIndex;
            if (target >= 0 && target != dragged && FColumns->IsValidColumn(dragged) &&
                PtInRect(window, screen)) {
                TLazyTreeColumn* c = FColumns->Items(dragged);
                const TColumnPosition old = c->Position();
                const TColumnPosition to = FColumns->Items(target)->Position();
                if (FColumns->FDropBefore)
                    c->SetPosition(old < to ? (to > 0 ? to - 1 : 0) : to);
                else
                    c->SetPosition(old < to ? to : to + 1);
                FOwner->FireHeaderDragged(dragged, old);
            } else {
                FOwner->FireHeaderDraggedOut(dragged, screen);
            }
            FColumns->FDropTarget = NoColumnIndex;
            Invalidate();
        }
        Message.Result = 0;
        consumed = true;
    }
    const TShiftState shift = KeyboardStateToShiftState();
    if (nonClient) {
        FColumns->ProcessHeaderClick(p, mbLeft, false, false);
        const TPoint h = toHeader(p);
        FOwner->FireHeaderMouseUp(mbLeft, shift, h.X, h.Y);
    } else {
        if (FColumns->FDownIndex >= 0) FColumns->ProcessHeaderClick(p, mbLeft, false, false);
        if (!states.Empty() && consumed) FOwner->FireHeaderMouseUp(mbLeft, shift, p.X, p.Y);
    }
    if (FColumns->FTrackIndex >= 0) {
        if (states.Contains(hsColumnWidthTracking))
            FireAfterColumnWidthTracking(FColumns->FTrackIndex);
        Invalidate(FColumns->FTrackIndex);
        FColumns->FTrackIndex = NoColumnIndex;
    }
    if (FColumns->FDownIndex >= 0) {
        Invalidate(FColumns->FDownIndex);
        FColumns->FDownIndex = NoColumnIndex;
    }
    if (states.Contains(hsHeightTracking)) FireAfterHeaderHeightTracking();
    FStates = FStates - TrackingStates - THeaderStates{hsDragging, hsDragPending};
    return consumed;
}

bool TLTHeader::handleDoubleClick(TMessage& Message) {
    const bool nonClient = isNonClient(Message.Msg);
    TPoint p = LParamToPoint(Message.LParam);
    if (nonClient) p = FOwner->ScreenToClient(p);
    TShiftState shift = KeyboardStateToShiftState();
    shift.Include(ssDouble);
    if (FOptions.Contains(hoHeightDblClickResize) && InHeaderSplitterArea(p) &&
        FDefaultHeight > 0) {
        // The double click goes back to the default height.
        if (FireHeaderHeightDblClickResize(p, shift) && FDefaultHeight > 0)
            SetHeight(FDefaultHeight);
        return true;
    }
    const bool left = Message.Msg == WM_NCLBUTTONDBLCLK || Message.Msg == WM_LBUTTONDBLCLK;
    if (left && columnSplitterHit(p) && FOptions.Contains(hoDblClickResize) &&
        FColumns->FTrackIndex >= 0) {
        const TColumnIndex track = FColumns->FTrackIndex;
        if (FireColumnWidthDblClickResize(track, shift, p)) {
            const int position = int(FColumns->Items(track)->Position());
            AutoFitColumns(true, smaUseColumnOption, position, position);
        }
        Message.Result = 0;
        return true;
    }
    if (nonClient && InHeader(p)) {
        const TMouseButton button = Message.Msg == WM_NCRBUTTONDBLCLK   ? mbRight
                                    : Message.Msg == WM_NCMBUTTONDBLCLK ? mbMiddle
                                                                        : mbLeft;
        if (button == mbLeft) FColumns->TrackPressedColumn(p);
        FColumns->ProcessHeaderClick(p, button, true, true);
    }
    return false;
}

// --- column drag ---------------------------------------------------------------------------------

void TLTHeader::beginColumnDrag(TPoint HotSpot, TPoint Start) {
    FColumns->FDropTarget = NoColumnIndex;
    const TColumnIndex dragged =
        FColumns->ColumnFromPosition(toHeader(FOwner->ScreenToClient(Start)));
    FColumns->FDragIndex = dragged;
    if (!FColumns->IsValidColumn(dragged)) return;
    const TLazyTreeColumn* c = FColumns->Items(dragged);
    TBitmap picture;
    picture.SetPixelFormat(pf32bit);
    picture.SetSize(c->Width(), FHeight);
    FillRect(picture.Canvas(), TRect(0, 0, c->Width(), FHeight), ColorToRGB(clBtnFace));
    const int rtlOffset = FOwner->ColumnsRightToLeftOffset();
    FColumns->PaintHeader(picture.Canvas(), TRect(c->FLeft, 0, c->FLeft + c->Width(), FHeight),
                          TPoint(-rtlOffset, 0), rtlOffset);
    const TPoint at = FOwner->ClientToScreen(TPoint(c->Left() + rtlOffset, 0));
    FDragImage->SetMoveRestriction(FOptions.Contains(hoRestrictDrag) ? dmrHorizontalOnly : dmrNone);
    FDragImage->PrepareDrag(&picture, TPoint(at.X, at.Y - FHeight), HotSpot, nullptr);
    FDragImage->ShowDragImage();
}

void TLTHeader::dragColumnTo(TPoint P) {
    const TPoint q = toHeader(FOwner->ScreenToClient(P));
    const TColumnIndex c = FColumns->ColumnFromPosition(q);
    bool repaint = c > InvalidColumnIndex && c != FColumns->FDropTarget;
    if (c >= 0) {
        int l = 0, r = 0;
        FColumns->GetColumnBounds(c, l, r);
        const bool before = q.X < (l + r) / 2;
        if (before != FColumns->FDropBefore) repaint = true;
        FColumns->FDropBefore = before;
    }
    if (repaint) {
        if (FColumns->FDropTarget >= 0) Invalidate(FColumns->FDropTarget);
        if (c >= 0) {
            FColumns->FDropTarget = c;
            Invalidate(c);
        }
    }
    FDragImage->DragTo(P, repaint);
}

void TLTHeader::endColumnDrag() {
    FDragImage->EndDrag();
}

// --- clicks -------------------------------------------------------------------------------------

void TLazyTreeColumns::ProcessHeaderClick(TPoint P, TMouseButton Button, bool Force,
                                          bool DblClick) {
    TBaseLazyTree* tree = FHeader->Treeview();
    if (tree->ComponentState() & csDesigning) return;
    const TPoint h = FHeader->toHeader(P);
    const TColumnIndex c = ColumnFromPosition(h);
    TLTHeaderHitInfo hit;
    hit.X = h.X;
    hit.Y = h.Y;
    hit.Shift = KeyboardStateToShiftState();
    if (DblClick) hit.Shift.Include(ssDouble);
    hit.Button = Button;
    if (c >= 0 && Items(c)->FOptions.Contains(coAllowClick) && (Force || c == FDownIndex)) {
        FClickIndex = hit.Column = c;
        hit.HitPosition = {hhiOnColumn};
        TLazyTreeColumn* col = Items(c);
        if (col->FHasImage && PtInRect(col->FImageRect, h)) {
            hit.HitPosition.Include(hhiOnIcon);
            if (col->FCheckBox) {
                if (Button == mbLeft)
                    col->SetCheckState(tree->NextCheckState(col->FCheckType, col->FCheckState));
                hit.HitPosition.Include(hhiOnCheckbox);
            }
        }
    } else {
        FClickIndex = hit.Column = NoColumnIndex;
        hit.HitPosition = {hhiNoWhere};
    }
    if (DblClick) {
        tree->FireHeaderDblClick(hit);
    } else {
        if (FHeader->Options().Contains(hoHeaderClickAutoSort) && Button == mbLeft &&
            !hit.HitPosition.Contains(hhiOnCheckbox) && hit.Column >= 0) {
            if (hit.Column == FHeader->SortColumn()) {
                FHeader->SetSortDirection(FHeader->SortDirection() == sdDescending ? sdAscending
                                                                                   : sdDescending);
            } else {
                const TSortDirection direction = Items(hit.Column)->FDefaultSortDirection;
                FHeader->FSortDirection = direction;
                FHeader->SetSortColumn(hit.Column);
            }
        } else if (Button == mbRight && FHeader->Options().Contains(hoAutoColumnPopupMenu)) {
            auto menu = std::make_unique<TLTHeaderPopupMenu>(tree);
            menu->OnColumnChange = [tree](TBaseLazyTree*, TColumnIndex Column, bool Visible) {
                tree->FireColumnVisibilityChanged(Column, Visible);
            };
            menu->SetPopupComponent(tree);
            if (FHeader->Options().Contains(hoDblClickResize) && tree->RootNodeCount() > 0)
                menu->SetOptions({poResizeToFitItem});
            FColumnPopupMenu = std::move(menu);
            // P is a client point: the menu opens at the mouse.
            const TPoint screen = tree->ClientToScreen(P);
            FColumnPopupMenu->Popup(screen.X, screen.Y);
        }
        tree->FireHeaderClick(hit);
    }
    if (hit.Column >= 0) FHeader->Invalidate(hit.Column);
}

// --- the column menu ----------------------------------------------------------------------------

void TLTHeaderPopupMenu::FireAddHeaderPopupItem(TColumnIndex Column, TAddPopupItemType& Cmd) {
    Cmd = apNormal;
    if (OnAddHeaderPopupItem)
        OnAddHeaderPopupItem(dynamic_cast<TBaseLazyTree*>(PopupComponent()), Column, Cmd);
}

void TLTHeaderPopupMenu::FireColumnChange(TColumnIndex Column, bool Visible) {
    if (OnColumnChange)
        OnColumnChange(dynamic_cast<TBaseLazyTree*>(PopupComponent()), Column, Visible);
}

void TLTHeaderPopupMenu::Popup(int X, int Y) {
    if (auto* tree = dynamic_cast<TBaseLazyTree*>(PopupComponent())) {
        Items()->Clear();
        if (FOptions.Contains(poResizeToFitItem)) {
            auto* fit = new TMenuItem(this);
            fit->SetCaption(SResizeToFitMenuItem);
            fit->SetName("LT_ResizeToFitMenuItem");
            fit->OnClick = [this](TObject* Sender) { menuItemClicked(Sender); };
            Items()->Add(fit);
            auto* line = new TMenuItem(this);
            line->SetCaption("-");
            Items()->Add(line);
        }
        TLazyTreeColumns* columns = tree->Header()->Columns();
        int visibleCount = 0;
        TMenuItem* lastVisible = nullptr;
        for (int i = 0; i < columns->Count(); ++i) {
            const TColumnIndex index = FOptions.Contains(poOriginalOrder)
                                           ? i
                                           : columns->ColumnFromPosition(TColumnPosition(i));
            const TLazyTreeColumn* c = columns->Items(index);
            const bool visible = c->Options().Contains(coVisible);
            if (visible) ++visibleCount;
            TAddPopupItemType cmd = apNormal;
            FireAddHeaderPopupItem(index, cmd);
            if (cmd == apHidden) continue;
            auto* item = new TMenuItem(this);
            item->SetTag(index);
            item->SetCaption(c->Text());
            item->SetHint(c->Hint());
            item->SetImageIndex(c->ImageIndex());
            item->SetChecked(visible);
            item->OnClick = [this](TObject* Sender) { menuItemClicked(Sender); };
            if (cmd == apDisabled)
                item->SetEnabled(false);
            else if (visible)
                lastVisible = item;
            Items()->Add(item);
        }
        // The last visible column stays unless hiding all is allowed.
        if (visibleCount == 1 && lastVisible && !FOptions.Contains(poAllowHideAll))
            lastVisible->SetEnabled(false);
    }
    TPopupMenu::Popup(X, Y);
}

void TLTHeaderPopupMenu::menuItemClicked(TObject* Sender) {
    auto* tree = dynamic_cast<TBaseLazyTree*>(PopupComponent());
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!tree || !item) return;
    if (item->Name() == "LT_ResizeToFitMenuItem") {
        tree->Header()->AutoFitColumns(true, smaUseColumnOption, -1, -1);
        return;
    }
    TLazyTreeColumns* columns = tree->Header()->Columns();
    const TColumnIndex index = TColumnIndex(item->Tag());
    if (!columns->IsValidColumn(index)) return;
    TLazyTreeColumn* c = columns->Items(index);
    TLTColumnOptions options = c->Options();
    if (item->Checked())
        options.Exclude(coVisible);
    else
        options.Include(coVisible);
    c->SetOptions(options);
    FireColumnChange(index, !item->Checked());
}
