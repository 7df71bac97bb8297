// Check boxes and radio buttons of the nodes: asking for, applying and propagating state
// changes, the next state of a click, and the check images.
#include "platform/base/SysUtils.h"
#include "platform/gfx/Gdi.h"
#include "platform/gfx/Graphics.h"
#include "platform/ui/core/Forms.h"
#include "treeview/LazyTree.h"

namespace {

bool isCheckBoxType(TCheckType t) {
    return t == ctTriStateCheckBox || t == ctCheckBox;
}

// Runs a clean-up when the scope ends, also on an exception.
template <class F> struct Finally {
    F f;
    ~Finally() { f(); }
};
template <class F> Finally(F) -> Finally<F>;

} // namespace

// --- state functions --------------------------------------------------------------------------

TCheckState PressedCheckState(TCheckState State) {
    switch (State) {
    case csUncheckedNormal:
    case csUncheckedPressed:
        return csUncheckedPressed;
    case csCheckedNormal:
    case csCheckedPressed:
        return csCheckedPressed;
    case csMixedNormal:
    case csMixedPressed:
        return csMixedPressed;
    default:
        return State;
    }
}

TCheckState UnpressedCheckState(TCheckState State) {
    switch (State) {
    case csUncheckedNormal:
    case csUncheckedPressed:
        return csUncheckedNormal;
    case csCheckedNormal:
    case csCheckedPressed:
        return csCheckedNormal;
    case csMixedNormal:
    case csMixedPressed:
        return csMixedNormal;
    default:
        return State;
    }
}

TCheckState EnabledCheckState(TCheckState State) {
    switch (State) {
    case csUncheckedDisabled:
        return csUncheckedNormal;
    case csCheckedDisabled:
        return csCheckedNormal;
    case csMixedDisabled:
        return csMixedNormal;
    default:
        return State;
    }
}

TCheckState ToggledCheckState(TCheckState State) {
    switch (State) {
    case csUncheckedNormal:
        return csCheckedNormal;
    case csUncheckedPressed:
        return csCheckedPressed;
    case csCheckedNormal:
        return csUncheckedNormal;
    case csCheckedPressed:
        return csUncheckedPressed;
    case csMixedNormal:
        return csCheckedNormal;
    case csMixedPressed:
        return csCheckedPressed;
    default:
        return State;
    }
}

bool IsDisabledCheckState(TCheckState State) {
    return State == csUncheckedDisabled || State == csCheckedDisabled || State == csMixedDisabled;
}

bool IsCheckedState(TCheckState State) {
    return State == csCheckedNormal || State == csCheckedPressed || State == csCheckedDisabled;
}

// --- setting states ---------------------------------------------------------------------------

void TBaseLazyTree::SetCheckState(PLazyNode Node, TCheckState Value) {
    if (!Node || Node == FRoot || Node->CheckState == Value || Node->States.Contains(vsDisabled))
        return;
    if (FireChecking(Node, Value)) ApplyCheckStateChange(Node, Value);
}

void TBaseLazyTree::SetCheckType(PLazyNode Node, TCheckType Value) {
    if (!Node || Node == FRoot || Node->CheckType == Value ||
        TreeOptions()->MiscOptions().Contains(toReadOnly))
        return;
    Node->CheckType = Value;
    if (Value != ctTriStateCheckBox &&
        (Node->CheckState == csMixedNormal || Node->CheckState == csMixedPressed))
        Node->CheckState = csUncheckedNormal;
    PLazyNode parent = Node->Parent;
    if (TreeOptions()->AutoOptions().Contains(toAutoTristateTracking) && isCheckBoxType(Value) &&
        parent != FRoot) {
        initIfNeeded(parent);
        if (parent->CheckType == ctTriStateCheckBox) {
            const TCheckState ps = parent->CheckState;
            if (ps == csUncheckedNormal || ps == csUncheckedDisabled)
                SetCheckState(Node, csUncheckedNormal);
            else if (ps == csCheckedNormal || ps == csCheckedDisabled)
                SetCheckState(Node, csCheckedNormal);
        }
    }
    InvalidateNode(Node);
}

void TBaseLazyTree::SetCheckStateForAll(TCheckState aCheckState, bool pSelectedOnly,
                                        bool pExcludeDisabled) {
    BeginUpdate();
    TScreen* screen = Screen;
    const TCursor saved = screen ? screen->Cursor() : crDefault;
    if (screen) screen->SetCursor(crHourGlass);
    Finally restore{[&] {
        if (screen) screen->SetCursor(saved);
        EndUpdate();
    }};
    PLazyNode node = pSelectedOnly ? GetFirstSelected() : GetFirst();
    while (node) {
        if (!pExcludeDisabled || !IsDisabledCheckState(node->CheckState))
            SetCheckState(node, aCheckState);
        node = pSelectedOnly ? GetNextSelected(node) : GetNext(node);
    }
}

void TBaseLazyTree::ClearChecked() {
    for (PLazyNode n = GetFirstNoInit(); n; n = GetNextNoInit(n))
        if (n->CheckState != csUncheckedNormal) SetCheckState(n, csUncheckedNormal);
}

std::uint32_t TBaseLazyTree::CheckedCount() {
    std::uint32_t count = 0;
    for (PLazyNode n = GetFirstChecked(csCheckedNormal); n; n = GetNextChecked(n, csCheckedNormal))
        ++count;
    return count;
}

bool TBaseLazyTree::FireChecking(PLazyNode Node, TCheckState& NewState) {
    if (TreeOptions()->MiscOptions().Contains(toReadOnly)) return false;
    bool allowed = true;
    if (OnChecking) OnChecking(this, Node, NewState, allowed);
    return allowed;
}

void TBaseLazyTree::ApplyCheckStateChange(PLazyNode Node, TCheckState NewState) {
    if (PropagateCheckState(Node, NewState)) FireChecked(Node);
}

void TBaseLazyTree::FireChecked(PLazyNode Node) {
    if (OnChecked) OnChecked(this, Node);
}

TCheckState TBaseLazyTree::NextCheckState(TCheckType CheckType, TCheckState CheckState) {
    switch (CheckType) {
    case ctTriStateCheckBox:
    case ctCheckBox:
        return ToggledCheckState(CheckState);
    case ctRadioButton:
        return csCheckedNormal;
    case ctButton:
        return csUncheckedNormal;
    default:
        return csMixedNormal;
    }
}

// --- propagation ------------------------------------------------------------------------------

bool TBaseLazyTree::PropagateCheckState(PLazyNode Node, TCheckState NewState) {
    // A node already on the way breaks the cycle between a parent and its children.
    if (Node->States.Contains(vsChecking)) return false;
    Node->States.Include(vsChecking);
    Finally unmark{[Node] { Node->States.Exclude(vsChecking); }};
    if (!Node->States.Contains(vsInitialized))
        InitNode(Node);
    else if (Node->CheckState == NewState)
        return false;
    if (FCheckPropagationCount == 0) ChangeTreeStates({tsCheckPropagation}, {});
    ++FCheckPropagationCount;
    Finally leave{[this] {
        if (--FCheckPropagationCount == 0) ChangeTreeStates({}, {tsCheckPropagation});
    }};

    const bool tracking = TreeOptions()->AutoOptions().Contains(toAutoTristateTracking);
    if (Node->CheckType == ctTriStateCheckBox && tracking &&
        (NewState == csUncheckedNormal || NewState == csCheckedNormal) &&
        Node->States.Contains(vsHasChildren)) {
        for (PLazyNode child = GetFirstChild(Node); child; child = GetNextSibling(child))
            if (isCheckBoxType(child->CheckType) && !IsDisabledCheckState(child->CheckState))
                SetCheckState(child, NewState);
        int checked = 0, mixed = 0, unchecked = 0;
        for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling) {
            if (!isCheckBoxType(child->CheckType)) continue;
            const TCheckState s = child->CheckState;
            if (NewState == csUncheckedNormal) {
                if (s == csUncheckedNormal || s == csUncheckedDisabled)
                    ++unchecked;
                else if (s == csCheckedNormal || s == csCheckedDisabled)
                    ++checked;
                else if (s == csMixedNormal || s == csMixedDisabled)
                    ++mixed;
            } else {
                if (s == csUncheckedNormal)
                    ++unchecked;
                else if (s == csCheckedNormal)
                    ++checked;
                else if (s == csMixedNormal)
                    ++mixed;
            }
        }
        if (mixed > 0 || (checked > 0 && unchecked > 0))
            NewState = csMixedNormal;
        else if (checked > 0 && unchecked == 0)
            NewState = csCheckedNormal;
    } else if (Node->CheckType == ctRadioButton && NewState == csCheckedNormal) {
        for (PLazyNode s = Node->Parent->FirstChild; s; s = s->NextSibling)
            if (s->CheckType == ctRadioButton) s->CheckState = csUncheckedNormal;
        InvalidateWhenShown();
    }

    const TCheckState oldState = Node->CheckState;
    Node->CheckState = NewState;
    bool result = true;
    PLazyNode parent = Node->Parent;
    if (parent != FRoot) {
        initIfNeeded(parent);
        if (tracking && !parent->States.Contains(vsChecking) &&
            !parent->States.Contains(vsDisabled) && isCheckBoxType(Node->CheckType) &&
            parent->CheckType == ctTriStateCheckBox) {
            result = ReevaluateParentCheckState(Node, NewState);
            // A parent that refuses its own change keeps the node as it was, so that no node
            // is changed without its OnChecked.
            if (!result) Node->CheckState = oldState;
        }
    }
    InvalidateNode(Node);
    return result;
}

bool TBaseLazyTree::ReevaluateParentCheckState(PLazyNode Node, TCheckState NewState) {
    PLazyNode parent = Node->Parent;
    int count = 0, checked = 0;
    bool anyMixed = false;
    for (PLazyNode child = parent->FirstChild; child; child = child->NextSibling) {
        if (!isCheckBoxType(child->CheckType)) continue;
        const TCheckState s = child == Node ? NewState : child->CheckState;
        ++count;
        if (s == csMixedNormal) anyMixed = true;
        if (IsCheckedState(s)) ++checked;
    }
    TCheckState state;
    if (checked == 0 && !anyMixed)
        state = csUncheckedNormal;
    else if (checked == count)
        state = csCheckedNormal;
    else
        state = csMixedNormal;
    if (!FireChecking(parent, state)) return false;
    ApplyCheckStateChange(parent, state);
    return true;
}

// --- check images -----------------------------------------------------------------------------

int TBaseLazyTree::GetCheckImageIndex(PLazyNode Node, TCheckType ImgCheckType,
                                      TCheckState ImgCheckState, bool ImgEnabled) {
    bool hot = false;
    if (Node) {
        ImgCheckType = Node->CheckType;
        ImgCheckState = Node->CheckState;
        ImgEnabled = !Node->States.Contains(vsDisabled) && Enabled();
        hot = Node == FCurrentHotNode;
    }
    if (IsDisabledCheckState(ImgCheckState)) {
        ImgCheckState = EnabledCheckState(ImgCheckState);
        ImgEnabled = false;
    }
    if (ImgCheckType == ctTriStateCheckBox) ImgCheckType = ctCheckBox;
    if (ImgCheckType == ctNone) return -1;
    const bool pressed = ImgCheckState == csUncheckedPressed || ImgCheckState == csCheckedPressed ||
                         ImgCheckState == csMixedPressed;
    const TCheckState base = UnpressedCheckState(ImgCheckState);
    // First index of the group of four (normal, hot, pressed, disabled).
    int group;
    if (base == csMixedNormal) {
        group = 17;
    } else {
        switch (ImgCheckType) {
        case ctRadioButton:
            group = base == csCheckedNormal ? 5 : 1;
            break;
        case ctButton:
            group = 21;
            break;
        default:
            group = base == csCheckedNormal ? 13 : 9;
            break;
        }
    }
    if (!ImgEnabled) return group + 3;
    if (pressed) return group + 2;
    return hot ? group + 1 : group;
}

namespace {

// The system look of the check images: images 1 to 20 drawn as frame controls, 21 to 24 push
// buttons, image 0 empty.
std::unique_ptr<TImageList> buildSystemCheckImages(bool Flat) {
    const int size = 13;
    auto list = std::make_unique<TImageList>(nullptr);
    list->SetSize(size, size);
    list->SetMasked(true);
    list->SetBkColor(clWhite);
    TBitmap bmp;
    bmp.SetSize(size, size);
    TCanvas* c = bmp.Canvas();
    auto clear = [&] {
        c->Brush()->SetColor(clRed);
        c->FillRect(TRect{0, 0, size, size});
    };
    clear();
    list->AddMasked(&bmp, clRed);
    for (unsigned i = 0; i < 20; ++i) {
        clear();
        UINT state = i <= 7 ? DFCS_BUTTONRADIO : i >= 16 ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK;
        switch (i % 4) {
        case 1:
            state |= DFCS_HOT;
            break;
        case 2:
            state |= DFCS_PUSHED;
            break;
        case 3:
            state |= DFCS_INACTIVE;
            break;
        default:
            break;
        }
        if ((i >= 4 && i <= 7) || i >= 12) state |= DFCS_CHECKED;
        if (Flat) state |= DFCS_FLAT;
        TRect r{0, 0, size, size};
        DrawFrameControl(c->Handle(), r, DFC_BUTTON, state);
        list->AddMasked(&bmp, clRed);
    }
    for (unsigned i = 0; i < 4; ++i) {
        clear();
        TRect r{0, 0, size, size};
        UINT state = DFCS_BUTTONPUSH;
        if (i == 2) state |= DFCS_PUSHED;
        if (i == 3) state |= DFCS_INACTIVE;
        if (Flat) state |= DFCS_FLAT;
        DrawFrameControl(c->Handle(), r, DFC_BUTTON, state);
        list->AddMasked(&bmp, clRed);
    }
    return list;
}

// The check images every tree shares, built by the first tree and freed at process end.
std::unique_ptr<TImageList> systemCheckImages, systemFlatCheckImages;

} // namespace

void ReloadCheckImages() {
    systemCheckImages = buildSystemCheckImages(false);
    systemFlatCheckImages = buildSystemCheckImages(true);
}

TImageList* TBaseLazyTree::CheckImageListOfKind(TCheckImageKind Kind) {
    if (Kind == ckCustom) return nullptr;
    if (!systemCheckImages) ReloadCheckImages();
    // The platform has the system look only; every other kind shows it too.
    if (Kind == ckSystemFlat || Kind == ckFlat) return systemFlatCheckImages.get();
    return systemCheckImages.get();
}

TImageList* TBaseLazyTree::CheckImages() {
    return FCheckImageKind == ckCustom ? FCustomCheckImages : CheckImageListOfKind(FCheckImageKind);
}

void TBaseLazyTree::PaintCheckBox(TCanvas* Canvas, const TLTPaintImage& Slot, bool) {
    // The platform has no visual styles, so the themed look comes from the system list too;
    // drawn transparently, the selection colour does not tint the image.
    TImageList* list = CheckImages();
    if (!list || Slot.Index < 0 || Slot.Index >= list->Count()) return;
    list->Draw(Canvas, Slot.XPos, Slot.YPos, Slot.Index, dsTransparent, itImage, true);
}
