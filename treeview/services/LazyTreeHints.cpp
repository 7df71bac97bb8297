#include "treeview/services/LazyTreeHintWindow.h"

#include "treeview/LazyTreeUtils.h"

#include <algorithm>

bool HintWindowGone = false;

namespace {

TSize textExtentOf(TFont* Font, const std::string& Text) {
    TBitmap measure(1, 1);
    measure.Canvas()->Font()->Assign(Font);
    return measure.Canvas()->TextExtent(Text);
}

} // namespace

// --- the tree's side ---------------------------------------------------------------------------

std::string TBaseLazyTree::QueryNodeHint(PLazyNode, int, TLTTooltipLineBreakStyle& LineBreakStyle) {
    LineBreakStyle = hlbDefault;
    return Hint();
}

std::string TBaseLazyTree::QueryNodeTooltip(PLazyNode, int,
                                            TLTTooltipLineBreakStyle& LineBreakStyle) {
    LineBreakStyle = hlbDefault;
    return Hint();
}

std::string TCustomLazyStringTree::QueryNodeHint(PLazyNode Node, int Column,
                                                 TLTTooltipLineBreakStyle& LineBreakStyle) {
    std::string text = TBaseLazyTree::QueryNodeHint(Node, Column, LineBreakStyle);
    if (OnGetHint) OnGetHint(this, Node, Column, LineBreakStyle, text);
    return text;
}

std::string TCustomLazyStringTree::QueryNodeTooltip(PLazyNode Node, int Column,
                                                    TLTTooltipLineBreakStyle& LineBreakStyle) {
    std::string text = TBaseLazyTree::QueryNodeTooltip(Node, Column, LineBreakStyle);
    if (OnGetHint)
        OnGetHint(this, Node, Column, LineBreakStyle, text);
    else
        text = GetText(Node, Column);
    return text;
}

TLTHintKind TBaseLazyTree::QueryHintKind(PLazyNode Node, int Column) {
    TLTHintKind kind = DefaultHintKind();
    if (OnGetHintKind) OnGetHintKind(this, Node, Column, kind);
    return kind;
}

void TBaseLazyTree::FireGetHintSize(PLazyNode Node, int Column, TRect& R) {
    if (OnGetHintSize) OnGetHintSize(this, Node, Column, R);
}

void TBaseLazyTree::FireDrawHint(TCanvas* HintCanvas, PLazyNode Node, const TRect& R, int Column) {
    if (OnDrawHint) OnDrawHint(this, HintCanvas, Node, R, Column);
}

bool TBaseLazyTree::DispatchServiceMessage(TMessage& Message) {
    switch (Message.Msg) {
    case CM_HINTSHOWPAUSE:
        CMHintShowPause(Message);
        return true;
    case WM_GETOBJECT:
        WMGetObject(Message);
        return true;
    case TVM_GETITEMW:
        TVMGetItem(Message);
        return true;
    case TVM_GETITEMRECT:
        TVMGetItemRect(Message);
        return true;
    case TVM_GETNEXTITEM:
        TVMGetNextItem(Message);
        return true;
    default:
        return false;
    }
}

void TBaseLazyTree::CMHintShowPause(TMessage& Message) {
    int& pause = *reinterpret_cast<int*>(Message.LParam);
    TPoint cursor;
    GetCursorPos(cursor);
    const TPoint p = ScreenToClient(cursor);
    const bool overColumnHints = FHeader->Options().Contains(hoShowHint) &&
                                 FHeader->Options().Contains(hoVisible) && FHeader->InHeader(p);
    if (FHintMode == hmTooltip || (HintWindowGone && overColumnHints)) pause = 0;
}

void TBaseLazyTree::CMHintShow(TMessage& Message) {
    THintInfo& info = *reinterpret_cast<THintInfo*>(Message.LParam);
    Message.Result = 1;
    if (PtInRect(FLastHintRect, info.CursorPos)) return;
    bool show = false;
    THitInfo hit;
    GetHitTestInfoAt(info.CursorPos.X, info.CursorPos.Y, true, hit);
    bool may;
    if (IsEditing()) {
        may = hit.HitNode != FFocusedNode;
    } else {
        may = Focused();
        if (!may) {
            TCustomForm* form = ::GetParentForm(this);
            may = !form || form->Active() || form->Focused();
        }
    }
    FHintData = TLTHintData{};
    if (may && !GetCapture() && ShowHint() && !Dragging() && !IsMouseSelecting() &&
        !FStates.Contains(tsScrolling) && FHeader->States().Empty()) {
        show = true;
        const bool columnHints = FHeader->UseColumns() && FHeader->Options().Contains(hoShowHint) &&
                                 FHeader->Options().Contains(hoVisible);
        if (columnHints && FHeader->InHeader(info.CursorPos)) {
            int left = 0, right = 0;
            const TRect header = FHeader->HeaderRect();
            const TColumnIndex column =
                FHeader->Columns()->ColumnAndBoundsAt(info.CursorPos, left, right);
            info.CursorRect = TRect{left, header.Top, right, header.Bottom};
            info.HintPos.Y =
                std::max(info.HintPos.Y, ClientToScreen(TPoint{0, info.CursorRect.Bottom}).Y);
            if (column < 0) {
                show = false;
            } else {
                FHintData.Column = column;
                FHintData.DefaultHint = FHeader->Columns()->Items(column)->Hint();
                show = !FHintData.DefaultHint.empty();
            }
            info.HintStr = " ";
        } else if (FHintMode != hmDefault) {
            info.HintStr = " ";
            PLazyNode node = hit.HitNode;
            const int column = hit.HitColumn < 0 ? NoColumn : hit.HitColumn;
            if (node) {
                FHintData.HintRect = TRect{};
                if (QueryHintKind(node, column) == vhkOwnerDraw) {
                    FireGetHintSize(node, column, FHintData.HintRect);
                    show = !FHintData.HintRect.IsEmpty();
                }
                if (show) {
                    int left = 0, right = ClientWidth();
                    if (column >= 0) {
                        FHeader->Columns()->GetColumnBounds(column, left, right);
                        if (TreeOptions()->AutoOptions().Contains(toAutoSpanColumns)) {
                            TLazyTreeColumns* columns = FHeader->Columns();
                            for (TColumnIndex next = columns->GetNextVisibleColumn(column);
                                 next >= 0 && FireGetCellIsEmpty(node, next);
                                 next = columns->GetNextVisibleColumn(next)) {
                                int l = 0, r = 0;
                                columns->GetColumnBounds(next, l, r);
                                right = r;
                            }
                        }
                    }
                    FHintData.DefaultHint.clear();
                    const TPoint p = info.CursorPos;
                    if (FHintMode == hmTooltip) {
                        TRect r;
                        if (!node->States.Contains(vsMultiline)) {
                            r = GetDisplayRect(node, column, true, true, true);
                            const TPoint m =
                                QueryCellContentMargin(node, column, ccmtBottomRightOnly);
                            show = PtInRect(r, p) && p.X >= left && p.X < right &&
                                   (r.Right + m.X > std::min(right - 1, ClientWidth()) ||
                                    r.Left < std::max(left, 0) || r.Bottom + m.Y > ClientHeight() ||
                                    r.Top < 0);
                        } else {
                            show = hit.HitPositions.Contains(hiOnItemLabel);
                            r = GetDisplayRect(node, column, true, false);
                        }
                        if (show) {
                            info.HintPos = ClientToScreen(TPoint{r.Left, r.Top});
                            info.CursorRect = r;
                        }
                    } else {
                        TRect r = GetDisplayRect(node, column, false);
                        r.Left = std::min(r.Left, left);
                        r.Right = std::max(r.Right, right);
                        info.CursorRect = r;
                        info.HintPos.Y =
                            std::max(info.HintPos.Y, ClientToScreen(TPoint{0, r.Bottom}).Y + 2);
                    }
                }
                FHintData.Node = node;
                FHintData.Column = column;
            } else if (FHintMode == hmHintAndDefault) {
                FHintData.DefaultHint = GetShortHint(Hint());
                show = !FHintData.DefaultHint.empty();
            } else {
                show = false;
            }
        } else {
            // The application's own window shows the control's short hint.
            FLastHintRect = TRect{};
            ChangeTreeStates({}, {tsHint});
            info.HintStr = GetShortHint(Hint());
            Message.Result = 0;
            return;
        }
    }
    if (show) {
        info.HintWindowClass = [](TComponent* Owner) -> THintWindow* {
            return new TLazyTreeHintWindow(Owner);
        };
        FHintData.Tree = this;
        FLastHintRect = info.CursorRect;
        info.HintData = &FHintData;
        ChangeTreeStates({tsHint}, {});
        Message.Result = 0;
    } else {
        FLastHintRect = TRect{};
        ChangeTreeStates({}, {tsHint});
    }
}

// --- the hint window ---------------------------------------------------------------------------

TLazyTreeHintWindow::TLazyTreeHintWindow(TComponent* AOwner)
    : THintWindow(AOwner), FBackground(std::make_unique<TBitmap>()),
      FDrawBuffer(std::make_unique<TBitmap>()), FTarget(std::make_unique<TBitmap>()) {
    HintWindowGone = false;
    for (TBitmap* b : {FBackground.get(), FDrawBuffer.get(), FTarget.get()})
        b->SetPixelFormat(pf32bit);
}

TLazyTreeHintWindow::~TLazyTreeHintWindow() {
    HintWindowGone = true;
}

TRect TLazyTreeHintWindow::CalcHintRect(int MaxWidth, const std::string& AHint) {
    return CalcHintRectData(MaxWidth, AHint, nullptr);
}

TRect TLazyTreeHintWindow::CalcHintRectData(int MaxWidth, const std::string&, TObject* AData) {
    auto* data = dynamic_cast<TLTHintData*>(AData);
    if (!data || !data->Tree) return TRect{};
    FHintData = *data;
    TBaseLazyTree* tree = FHintData.Tree;
    PLazyNode node = FHintData.Node;
    const int column = FHintData.Column;
    if (node && !FHintData.HintRect.IsEmpty()) return FHintData.HintRect;

    TLazyTreeColumns* columns = tree->Header()->Columns();
    FHintData.BidiMode = tree->CellBiDiMode(column);
    FHintData.Alignment = tree->CellAlignment(column, true);

    const bool tooltip = node && tree->HintMode() == hmTooltip;
    TFont* font = Canvas()->Font();
    if (tooltip) {
        TRect unused;
        std::string text;
        tree->GetTextInfo(node, column, font, unused, text);
    } else {
        font->Assign(Screen->HintFont());
    }
    Font()->Assign(font);
    FTextHeight = textExtentOf(font, "Tg").cy;

    if (!FHintData.DefaultHint.empty())
        FHintData.HintText = FHintData.DefaultHint;
    else if (tooltip)
        FHintData.HintText = tree->QueryNodeTooltip(node, column, FHintData.LineBreakStyle);
    else
        FHintData.HintText = tree->QueryNodeHint(node, column, FHintData.LineBreakStyle);
    if (FHintData.HintText.empty()) return TRect{};

    TRect r;
    if (!tooltip) {
        r = TRect{0, 0, MaxWidth, FTextHeight};
        TBitmap measure(1, 1);
        measure.Canvas()->Font()->Assign(font);
        DrawText(measure.Canvas(), FHintData.HintText, -1, r,
                 DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        r.Bottom += 6;
        r.Right += tree->TextMargin() + FTextHeight;
    } else {
        if (FHintData.LineBreakStyle == hlbDefault)
            FHintData.LineBreakStyle =
                node->States.Contains(vsMultiline) ? hlbForceMultiLine : hlbForceSingleLine;
        if (FHintData.LineBreakStyle == hlbForceMultiLine) {
            r = tree->GetDisplayRect(node, column, true, false);
            TRect text = r;
            TBitmap measure(1, 1);
            measure.Canvas()->Font()->Assign(font);
            DrawText(measure.Canvas(), FHintData.HintText, -1, text,
                     DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            if (FHintData.BidiMode == bdLeftToRight)
                r.Right = text.Right + tree->TextMargin();
            else
                r.Left = text.Left - tree->TextMargin() + 1;
            r.Bottom = text.Bottom;
            ++r.Right;
            if (tree->Header()->UseColumns() && column >= 0 &&
                r.Height() <= int(tree->NodeHeight(node)) + 2 &&
                r.Width() <= columns->Items(column)->Width() + 2 && r.Left >= 0 && r.Top >= 0 &&
                r.Right <= tree->ClientWidth() + 3 && r.Bottom <= tree->ClientHeight() + 3)
                return TRect{};
        } else {
            r = tree->LastHintRect();
            if (tree->TreeOptions()->PaintOptions().Contains(toShowHorzGridLines)) --r.Bottom;
        }
    }
    InflateRect(r, 1, 1);
    return TRect{-1, -1, -1 + r.Width(), -1 + r.Height()};
}

void TLazyTreeHintWindow::ActivateHintData(const TRect& Rect, const std::string& AHint,
                                           TObject* AData) {
    if (auto* data = dynamic_cast<TLTHintData*>(AData); data && !FHintData.Tree) FHintData = *data;
    ActivateHint(Rect, AHint);
}

void TLazyTreeHintWindow::ActivateHint(const TRect& Rect, const std::string& AHint) {
    TBaseLazyTree* tree = FHintData.Tree;
    TPoint cursor;
    GetCursorPos(cursor);
    if (Rect.IsEmpty() || !tree || !PtInRect(tree->LastHintRect(), tree->ScreenToClient(cursor))) {
        if (Application) Application->CancelHint();
        return;
    }
    const bool wasAnimating = tree->TreeStates().Contains(tsInAnimation);
    if (wasAnimating) tree->ChangeTreeStates({}, {tsInAnimation});
    // The hint stays on the desktop.
    TRect r = Rect;
    const TRect desktop = Screen->WorkAreaRect();
    if (r.Bottom > desktop.Bottom) OffsetRect(r, 0, desktop.Bottom - r.Bottom);
    if (r.Right > desktop.Right) OffsetRect(r, desktop.Right - r.Right, 0);
    if (r.Top < desktop.Top) OffsetRect(r, 0, desktop.Top - r.Top);
    if (r.Left < desktop.Left) OffsetRect(r, desktop.Left - r.Left, 0);
    SetText(AHint);
    SetBoundsRect(r);
    for (TBitmap* b : {FBackground.get(), FDrawBuffer.get(), FTarget.get()})
        b->SetSize(r.Width(), r.Height());
    tree->Update();
    // What lies under the window: the tree as it shows there.
    FBackground->Canvas()->Brush()->SetColor(tree->Color());
    FBackground->Canvas()->FillRect(TRect{0, 0, r.Width(), r.Height()});
    const TPoint treeOrigin = tree->ClientToScreen(TPoint{0, 0});
    tree->PaintTo(FBackground->Canvas(), treeOrigin.X - r.Left, treeOrigin.Y - r.Top);
    internalPaint(0, 0);
    SetVisible(true);
    BringToFront();
    switch (tree->EffectiveHintAnimation()) {
    case hatFade:
        tree->Animate(
            255, 2 * tree->AnimationDuration(),
            [this](int Step, int StepSize, void*) { return animationStep(Step, StepSize); },
            nullptr);
        break;
    case hatSlide:
        tree->Animate(
            std::uint32_t(r.Height()), tree->AnimationDuration(),
            [this](int Step, int StepSize, void*) { return animationStep(Step, StepSize); },
            nullptr);
        break;
    default:
        break;
    }
    // The whole hint, whether the animation ran to its end or not.
    internalPaint(0, 0);
    Invalidate();
    if (wasAnimating && !HintWindowGone && FHintData.Tree)
        FHintData.Tree->ChangeTreeStates({tsCancelHintAnimation}, {});
}

bool TLazyTreeHintWindow::animationStep(int Step, int StepSize) {
    const bool go = !HintWindowGone && HandleAllocated() && Visible() && FHintData.Tree &&
                    !FHintData.Tree->TreeStates().Contains(tsCancelHintAnimation);
    if (!go) return false;
    internalPaint(Step, StepSize);
    Invalidate();
    Update();
    if (Application) Application->ProcessMessages();
    return true;
}

void TLazyTreeHintWindow::internalPaint(int Step, int StepSize) {
    const int width = FDrawBuffer->Width(), height = FDrawBuffer->Height();
    const TRect all{0, 0, width, height};
    if (Step == 0) {
        TCanvas* c = FDrawBuffer->Canvas();
        TBaseLazyTree* tree = FHintData.Tree;
        const bool tooltip = tree && FHintData.Node && tree->HintMode() == hmTooltip;
        int top = 2;
        TRect textRect;
        if (tooltip) {
            std::string text;
            tree->GetTextInfo(FHintData.Node, FHintData.Column, c->Font(), textRect, text);
            top = FHintData.LineBreakStyle == hlbForceMultiLine
                      ? 1
                      : (textRect.Top + height - textRect.Bottom) / 2;
        } else {
            c->Font()->Assign(Screen->HintFont());
        }
        if (tree && tree->QueryHintKind(FHintData.Node, FHintData.Column) == vhkOwnerDraw) {
            tree->FireDrawHint(c, FHintData.Node, all, FHintData.Column);
        } else {
            c->Font()->SetColor(clInfoText);
            c->Pen()->SetColor(clBlack);
            c->Brush()->SetColor(clInfoBk);
            c->Rectangle(all);
            TRect r = all;
            InflateRect(r, -1, -1);
            r.Left += 3;
            r.Top = top;
            SetBkMode(c, TRANSPARENT);
            unsigned format = DT_NOPREFIX;
            if (FHintData.LineBreakStyle == hlbForceMultiLine) format |= DT_WORDBREAK;
            DrawText(c, FHintData.HintText, -1, r, format);
        }
    }
    const THintAnimationType animation =
        FHintData.Tree ? FHintData.Tree->EffectiveHintAnimation() : hatNone;
    if (StepSize < 1) {
        if (animation != hatFade || Step == 0)
            FTarget->Canvas()->CopyRect(all, FDrawBuffer->Canvas(), all);
    } else if (animation == hatFade) {
        FTarget->Canvas()->CopyRect(all, FBackground->Canvas(), all);
        BlendRect(FDrawBuffer->Canvas(), FTarget->Canvas(), all, TPoint{0, 0}, abConstant,
                  std::min(255, Step * 256 / 255), 0);
    } else {
        // The bottom rows of the hint come down from the top.
        const int rows = std::min(Step, height);
        FTarget->Canvas()->CopyRect(TRect{0, 0, width, rows}, FDrawBuffer->Canvas(),
                                    TRect{0, height - rows, width, height});
        FTarget->Canvas()->CopyRect(TRect{0, rows, width, height}, FBackground->Canvas(),
                                    TRect{0, rows, width, height});
    }
}

bool TLazyTreeHintWindow::IsHintMsg(const TMessage& Msg) {
    if (!HandleAllocated() || !Visible() || !THintWindow::IsHintMsg(Msg)) return false;
    return Msg.Msg != WM_NCMOUSEMOVE && !(Msg.Msg >= WM_KEYFIRST && Msg.Msg <= WM_KEYLAST);
}

void TLazyTreeHintWindow::CreateParams(TCreateParams& Params) {
    THintWindow::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TLazyTreeHintWindow::Paint() {
    const TRect all{0, 0, FTarget->Width(), FTarget->Height()};
    Canvas()->CopyRect(all, FTarget->Canvas(), all);
}

void TLazyTreeHintWindow::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_NCPAINT:
        Message.Result = 0;
        return;
    case WM_SHOWWINDOW:
        if (Message.WParam == 0) {
            FHintData = TLTHintData{};
            HintWindowGone = false;
        }
        break;
    default:
        break;
    }
    THintWindow::WndProc(Message);
}
