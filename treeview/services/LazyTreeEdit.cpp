#include "treeview/services/LazyTreeEdit.h"

#include "treeview/services/FontWatch.h"

#include "platform/base/Threads.h"
#include "platform/ui/core/Forms.h"

#include <algorithm>

namespace {

constexpr std::uintptr_t EditTimer = 2;
constexpr std::uintptr_t ScrollTimer = 4;
// Asks the edit to fit its size to its text.
constexpr UINT FitToTextMessage = 0xB7D5;
constexpr int MinEditWidth = 30;

bool keyHeld(int vk) {
    return GetKeyState(vk) < 0;
}

} // namespace

// --- the tree's side ---------------------------------------------------------------------------

bool TBaseLazyTree::CanEdit(PLazyNode Node, int Column) {
    const TLTMiscOptions misc = TreeOptions()->MiscOptions();
    bool allowed =
        misc.Contains(toEditable) && Enabled() && !misc.Contains(toReadOnly) &&
        (Column < 0 || (Column < FHeader->Columns()->Count() &&
                        FHeader->Columns()->Items(Column)->Options().Contains(coEditable)));
    FireEditing(Node, Column, allowed);
    return allowed;
}

void TBaseLazyTree::FireEditing(PLazyNode Node, int Column, bool& Allowed) {
    if (OnEditing) OnEditing(this, Node, Column, Allowed);
}

std::shared_ptr<ILTEditLink> TBaseLazyTree::FireCreateEditor(PLazyNode Node, int Column) {
    std::shared_ptr<ILTEditLink> link;
    if (OnCreateEditor) OnCreateEditor(this, Node, Column, link);
    return link;
}

std::shared_ptr<ILTEditLink> TCustomLazyStringTree::FireCreateEditor(PLazyNode Node, int Column) {
    std::shared_ptr<ILTEditLink> link = TBaseLazyTree::FireCreateEditor(Node, Column);
    if (!link) link = std::make_shared<TStringEditLink>();
    return link;
}

bool TBaseLazyTree::EditNode(PLazyNode Node, int Column) {
    if (!Node) throw EAssertionFailed("Node must not be nil.");
    if (Column < NoColumn || Column >= FHeader->Columns()->Count())
        throw EAssertionFailed("Column must be a valid column index (-1 if no header is shown).");
    if (IsEditing() || TreeOptions()->MiscOptions().Contains(toReadOnly)) return IsEditing();
    SetFocusedNode(Node);
    if (FFocusedNode != Node || !CanEdit(FFocusedNode, Column)) return false;
    FEditColumn = Column;
    if (!Node->States.Contains(vsInitialized)) InitNode(Node);
    StartNodeEdit();
    return IsEditing();
}

void TBaseLazyTree::StartNodeEdit() {
    if (Application) Application->CancelHint();
    killTreeTimer(ScrollTimer);
    killTreeTimer(EditTimer);
    ChangeTreeStates({}, {tsEditPending});
    if (!FFocusedNode || FFocusedNode->States.Contains(vsDisabled) ||
        TreeOptions()->MiscOptions().Contains(toReadOnly) || FEditLink)
        return;
    FEditLink = FireCreateEditor(FFocusedNode, FEditColumn);
    if (!FEditLink) return;
    ChangeTreeStates({tsEditing}, {tsToggleFocusedSelection, tsClearPending, tsDrawSelPending,
                                   tsDrawSelecting, tsMouseCheckPending, tsOLEDragging,
                                   tsOLEDragPending, tsScrolling, tsScrollPending});
    ScrollIntoView(FFocusedNode, TreeOptions()->SelectionOptions().Contains(toCenterScrollIntoView),
                   !TreeOptions()->AutoOptions().Contains(toDisableAutoscrollOnEdit));
    // The link stays alive through the calls even when one of them ends the edit.
    const std::shared_ptr<ILTEditLink> link = FEditLink;
    if (link->PrepareEdit(this, FFocusedNode, FEditColumn)) {
        PlaceEditor();
        InvalidateNode(FFocusedNode);
        if (!link->BeginEdit()) ChangeTreeStates({}, {tsEditing});
    } else {
        ChangeTreeStates({}, {tsEditing});
    }
    if (!IsEditing()) FEditLink = nullptr;
}

void TBaseLazyTree::PlaceEditor() {
    if (!IsEditing() || !FFocusedNode || !FEditLink || FEditColumn >= FHeader->Columns()->Count() ||
        !TThread::IsMainThread())
        return;
    const bool multiline = FFocusedNode->States.Contains(vsMultiline);
    TRect r = GetDisplayRect(FFocusedNode, FEditColumn, true, !multiline);
    if (TreeOptions()->MiscOptions().Contains(toGridExtensions)) {
        const TRect cell = GetDisplayRect(FFocusedNode, FEditColumn, false);
        if (CellAlignment(FEditColumn, true) == taLeftJustify)
            r.Right = cell.Right;
        else
            r.Left = cell.Left;
    }
    if (TreeOptions()->PaintOptions().Contains(toShowHorzGridLines)) --r.Bottom;
    const TRect current = FEditLink->GetBounds();
    r.Bottom = std::max(r.Bottom, r.Top + (current.Bottom - current.Top));
    FEditLink->SetBounds(r);
}

bool TBaseLazyTree::FinishNodeEdit() {
    killTreeTimer(EditTimer);
    bool result = false;
    try {
        if (IsEditing() && FEditLink) {
            const std::shared_ptr<ILTEditLink> link = FEditLink;
            result = link->EndEdit();
            if (result) {
                ChangeTreeStates({}, {tsEditing});
                FEditLink = nullptr;
                if (OnEdited) OnEdited(this, FFocusedNode, FEditColumn);
            }
        }
    } catch (...) {
        ChangeTreeStates({}, {tsEditPending});
        throw;
    }
    ChangeTreeStates({}, {tsEditPending});
    return result;
}

bool TBaseLazyTree::AbortNodeEdit() {
    killTreeTimer(EditTimer);
    ChangeTreeStates({}, {tsEditPending});
    bool result = false;
    if (IsEditing() && FEditLink) {
        const std::shared_ptr<ILTEditLink> link = FEditLink;
        result = link->CancelEdit();
        if (result) {
            ChangeTreeStates({}, {tsEditing});
            if (OnEditCancelled) OnEditCancelled(this, FEditColumn);
            if (!FDestroying) FEditLink = nullptr;
        }
    }
    return result;
}

bool TBaseLazyTree::EndEditNode() {
    if (FStates.Contains(tsEditing) || FStates.Contains(tsEditPending)) return FinishNodeEdit();
    return true;
}

bool TBaseLazyTree::CancelEditNode() {
    if (!HandleAllocated()) return true;
    if (FStates.Contains(tsEditing) || FStates.Contains(tsEditPending)) return AbortNodeEdit();
    return true;
}

void TBaseLazyTree::GetTextInfo(PLazyNode, int, TFont* AFont, TRect& R, std::string& Text) {
    R = TRect{};
    Text.clear();
    if (AFont) AFont->Assign(Font());
}

void TCustomLazyStringTree::GetTextInfo(PLazyNode Node, int Column, TFont* AFont, TRect& R,
                                        std::string& Text) {
    TBaseLazyTree::GetTextInfo(Node, Column, AFont, R, Text);
    TCanvas* canvas = Canvas();
    TFont* font = canvas->Font();
    if (AFont) font->Assign(AFont);
    bool changed;
    {
        // Any change the paint-text handler makes to the canvas font counts.
        TFontChangeWatch watch(font);
        FirePaintText(canvas, Node, Column, ttNormal);
        changed = watch.Changed();
    }
    int textHeight = TextHeight();
    if (changed) {
        if (AFont) AFont->Assign(font);
        TTextMetric tm;
        GetTextMetrics(canvas->Handle(), tm);
        textHeight = tm.tmHeight;
    }
    Text = GetText(Node, Column);
    const bool multiline = Node->States.Contains(vsMultiline);
    R = GetDisplayRect(Node, Column, true, !multiline, false);
    if (TreeOptions()->PaintOptions().Contains(toShowHorzGridLines)) --R.Bottom;
    const int shrink = (R.Top + textHeight - R.Bottom) / 2;
    R.Top -= shrink;
    R.Bottom += shrink;
}

// --- the string edit link ---------------------------------------------------------------------

TStringEditLink::~TStringEditLink() {
    if (FEdit) FEdit->Release();
}

void TStringEditLink::createEdit() {
    FEdit = new TLTEdit(shared_from_this(), nullptr);
    FEdit->SetVisible(false);
    FEdit->SetBorderStyle(bsSingle);
}

void TStringEditLink::SetEdit(TLTEdit* Value) {
    if (Value == FEdit) return;
    if (FEdit) FEdit->Release();
    FEdit = Value;
}

bool TStringEditLink::PrepareEdit(TBaseLazyTree* Tree, PLazyNode Node, int Column) {
    auto* tree = dynamic_cast<TCustomLazyStringTree*>(Tree);
    if (!tree) return false;
    if (!FEdit) createEdit();
    if (!FEdit->FLink) {
        FEdit->FRefLink = shared_from_this();
        FEdit->FLink = this;
    }
    FTree = tree;
    FNode = Node;
    FColumn = Column;
    std::string text;
    tree->GetTextInfo(Node, Column, FEdit->Font(), FTextBounds, text);
    FEdit->Font()->SetColor(clWindowText);
    FEdit->SetParent(tree);
    if (FEdit->HandleAllocated()) FEdit->RecreateWnd();
    FEdit->HandleNeeded();
    FEdit->SetText(text);
    FEdit->SetModified(false);
    FEdit->SetBiDiMode(tree->CellBiDiMode(Column));
    FAlignment = tree->CellAlignment(Column, true);
    return true;
}

bool TStringEditLink::BeginEdit() {
    const bool result = !FStopping;
    if (result) {
        FEdit->Show();
        FEdit->SelectAll();
        FEdit->SetFocus();
        FEdit->FitToText();
        // Entering the edit may have moved the caret.
        FEdit->SelectAll();
    }
    return result;
}

bool TStringEditLink::EndEdit() {
    const bool result = !FStopping;
    if (!result) return result;
    try {
        FStopping = true;
        // The edit may release this link when its references go.
        const std::shared_ptr<TStringEditLink> self = shared_from_this();
        if (FEdit->Modified()) FTree->SetText(FNode, FColumn, FEdit->Text());
        FEdit->Hide();
        FEdit->clearLinks();
    } catch (...) {
        FStopping = false;
        throw;
    }
    return result;
}

bool TStringEditLink::CancelEdit() {
    const bool result = !FStopping;
    if (result) {
        const std::shared_ptr<TStringEditLink> self = shared_from_this();
        FStopping = true;
        FEdit->Hide();
        FTree->CancelEditNode();
        FEdit->clearLinks();
    }
    return result;
}

TRect TStringEditLink::GetBounds() {
    return FEdit ? FEdit->BoundsRect() : TRect{};
}

void TStringEditLink::ProcessMessage(TMessage& Message) {
    if (FEdit) FEdit->WindowProc(Message);
}

void TStringEditLink::SetBounds(TRect R) {
    if (FStopping || !FEdit) return;
    R.Left = std::max(R.Left, 0);
    if (R.Right - R.Left < MinEditWidth) {
        if (FAlignment == taRightJustify)
            R.Left = R.Right - MinEditWidth;
        else
            R.Right = R.Left + MinEditWidth;
    }
    R.Right = std::min(R.Right, FTree->ClientWidth());
    FEdit->SetBoundsRect(R);
    // The text keeps to where the tree paints it.
    const bool multiline = FNode->States.Contains(vsMultiline);
    int offset = multiline ? 0 : 2;
    if (FTree->TreeStates().Contains(tsUseThemes)) ++offset;
    TRect format = FEdit->ClientRect();
    format.Left -= offset - FTree->TextMargin();
    format.Top -= offset;
    format.Right += offset - FTree->TextMargin();
    format.Bottom += offset;
    if (!multiline) OffsetRect(format, 0, FTextBounds.Top - FEdit->Top());
    format.Left = std::max(format.Left, -1);
    format.Top = std::max(format.Top, -1);
    SendMessage(FEdit->Handle(), EM_SETRECTNP, 0, LPARAM(&format));
}

// --- the edit ----------------------------------------------------------------------------------

TLTEdit::TLTEdit(const std::shared_ptr<TStringEditLink>& Link, TComponent* AOwner)
    : TCustomEdit(AOwner), FRefLink(Link), FLink(Link.get()), FMaker(Link) {
    SetShowHint(false);
    SetParentShowHint(false);
}

TLTEdit::~TLTEdit() {
    if (auto maker = FMaker.lock())
        if (maker->FEdit == this) maker->FEdit = nullptr;
}

void TLTEdit::clearLinks() {
    FLink = nullptr;
    // Last: this may free the link.
    FRefLink = nullptr;
}

void TLTEdit::Release() {
    if (HandleAllocated())
        PostMessage(Handle(), CM_RELEASE);
    else
        delete this;
}

void TLTEdit::FitToText() {
    if (!FLink || !FLink->FNode || !FLink->FTree) return;
    TCustomLazyStringTree* tree = FLink->FTree;
    if (FLink->FNode->States.Contains(vsMultiline) ||
        tree->TreeOptions()->MiscOptions().Contains(toGridExtensions))
        return;
    TBitmap measure;
    measure.Canvas()->Font()->Assign(Font());
    TSize size = measure.Canvas()->TextExtent(Text() + "yG");
    size.cx += 2 * tree->TextMargin();
    size.cy += 2 * tree->TextMargin();
    TRect r = BoundsRect();
    size.cy = std::max(size.cy, int(r.Bottom - r.Top));
    if (size.cx < r.Right - r.Left) tree->Invalidate();
    if (FLink->FAlignment == taRightJustify)
        r.Left = r.Right - size.cx;
    else
        r.Right = r.Left + size.cx;
    r.Bottom = r.Top + size.cy;
    FLink->SetBounds(r);
}

void TLTEdit::Change() {
    TCustomEdit::Change();
    if (FLink && FLink->FNode && !FLink->FNode->States.Contains(vsMultiline)) FitToText();
}

bool TLTEdit::keyDown(WORD Key) {
    TCustomLazyStringTree* tree = FLink ? FLink->FTree : nullptr;
    PLazyNode node = FLink ? FLink->FNode : nullptr;
    if (!tree || !node) return false;
    const bool multiline = node->States.Contains(vsMultiline);
    switch (Key) {
    case VK_TAB:
        if (tree->IsEditing()) {
            tree->InvalidateNode(node);
            PLazyNode next = tree->GetNextVisible(node, true);
            tree->EndEditNode();
            tree->SetFocusedNode(next);
            if (next && tree->FocusedNode() == next &&
                tree->CanEdit(tree->FocusedNode(), tree->FocusedColumn())) {
                tree->FEditColumn = tree->FocusedColumn();
                tree->StartNodeEdit();
            }
        }
        return true;
    case VK_RETURN:
        if (multiline && !keyHeld(VK_CONTROL)) return false;
        tree->InvalidateNode(node);
        tree->FinishNodeEdit();
        tree->SetFocus();
        return true;
    case VK_ESCAPE:
        tree->AbortNodeEdit();
        tree->SetFocus();
        return true;
    case 'A':
        if (tree->IsEditing() && keyHeld(VK_CONTROL) && !keyHeld(VK_SHIFT) && !keyHeld(VK_MENU))
            SelectAll();
        return true;
    default:
        return false;
    }
}

void TLTEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        TCustomEdit::WndProc(Message);
        Message.Result |= DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTARROWS;
        return;
    case WM_CHAR:
        // Tab and Escape end or leave the edit; they type nothing.
        if (Message.WParam == VK_TAB || Message.WParam == VK_ESCAPE) return;
        break;
    case WM_KEYDOWN: {
        if (keyDown(WORD(Message.WParam))) return;
        // Up and Down move the caret like Left and Right in a one-line node.
        const bool oneLine = FLink && FLink->FNode && !FLink->FNode->States.Contains(vsMultiline);
        if (oneLine && Message.WParam == VK_UP) Message.WParam = VK_LEFT;
        if (oneLine && Message.WParam == VK_DOWN) Message.WParam = VK_RIGHT;
        break;
    }
    case CM_EXIT:
        if (FLink && !FLink->FStopping && FLink->FTree) {
            TCustomLazyStringTree* tree = FLink->FTree;
            if (tree->TreeOptions()->StringOptions().Contains(toAutoAcceptEditChange))
                tree->FinishNodeEdit();
            else
                tree->AbortNodeEdit();
        }
        break;
    case WM_DESTROY:
        if (FLink && !FLink->FStopping) {
            if (FLink->FTree &&
                FLink->FTree->TreeOptions()->StringOptions().Contains(toAutoAcceptEditChange) &&
                Modified())
                FLink->FTree->SetText(FLink->FNode, FLink->FColumn, Text());
            clearLinks();
        }
        break;
    case FitToTextMessage:
        FitToText();
        return;
    case CM_RELEASE:
        delete this;
        return;
    default:
        break;
    }
    TCustomEdit::WndProc(Message);
}
