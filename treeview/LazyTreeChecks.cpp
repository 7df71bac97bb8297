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

// The system look of the check images: images 1 to 20 drawn as frame controls, 21 to 24 the
// push buttons of Buttons (images 21 to 24) centred, image 0 empty.
std::unique_ptr<TImageList> buildSystemCheckImages(bool Flat, TImageList* Buttons) {
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
    const int at = (size - Buttons->Width()) / 2;
    for (int i = 21; i <= 24; ++i) {
        clear();
        Buttons->Draw(c, at, at, i, dsTransparent, itImage, true);
        list->AddMasked(&bmp, clRed);
    }
    return list;
}

// How one of the tree's own check-image strips looks. The strips are drawn here in the
// system colours (white, silver, grey and black of a classic strip map to the window, face,
// shadow and text colours), except the XP strip, whose colours are fixed.
struct StripLook {
    TColor Border;
    TColor Fill, FillTo; // a vertical gradient when they differ
    TColor Mark;
    bool Tick;   // a heavier tick instead of the thin check
    bool Sunken; // a 3-D edge instead of a flat border
};

StripLook stripLook(TCheckImageKind Kind) {
    switch (Kind) {
    case ckLightCheck:
        return {clBtnShadow, clWindow, clWindow, clBtnText, false, true};
    case ckDarkCheck:
        return {clBtnText, clWindow, clWindow, clBtnText, false, true};
    case ckLightTick:
        return {clBtnShadow, clWindow, clWindow, clBtnText, true, true};
    case ckDarkTick:
        return {clBtnText, clWindow, clWindow, clBtnText, true, true};
    case ckFlat:
        return {clBtnShadow, clWindow, clWindow, clBtnText, false, false};
    default: // ckXP
        return {TColor(0x80511C), clWhite, TColor(0xD7DCDC), TColor(0x21A121), false, false};
    }
}

// A strip of 25 images of 16 x 16 in the order of GetCheckImageIndex: none, radio buttons
// unchecked and checked, check boxes unchecked and checked, mixed, push buttons; each group in
// the states normal, hot, pressed and disabled.
std::unique_ptr<TImageList> buildCheckImageStrip(TCheckImageKind Kind) {
    const int size = 16;
    const TColor mask = clFuchsia;
    const StripLook look = stripLook(Kind);
    auto list = std::make_unique<TImageList>(nullptr);
    list->SetSize(size, size);
    list->SetMasked(true);
    TBitmap bmp;
    bmp.SetSize(size, size);
    TCanvas* c = bmp.Canvas();
    auto clear = [&] { FillRect(c, TRect(0, 0, size, size), mask); };
    clear();
    list->AddMasked(&bmp, mask);
    for (int i = 0; i < 24; ++i) {
        clear();
        const int group = i / 4, state = i % 4; // state: normal, hot, pressed, disabled
        const bool disabled = state == 3;
        const TRect box(1, 1, 15, 15);
        if (group == 5) { // push buttons
            TRect r = box;
            UINT flags = DFCS_BUTTONPUSH | (state == 2 ? DFCS_PUSHED : 0) |
                         (disabled ? DFCS_INACTIVE : 0) | (look.Sunken ? 0 : DFCS_FLAT);
            DrawFrameControl(c, r, DFC_BUTTON, flags);
            if (state == 1) FrameRect(c, box, ColorToRGB(clHighlight));
            list->AddMasked(&bmp, mask);
            continue;
        }
        TColor fill = state == 2 || disabled ? clBtnFace : look.Fill;
        TColor border = disabled ? clGrayText : state == 1 ? clHighlight : look.Border;
        const TColor mark = disabled ? clGrayText : look.Mark;
        const bool radio = group < 2;
        c->Pen()->SetColor(border);
        c->Brush()->SetColor(fill);
        if (radio) {
            c->Ellipse(box);
        } else if (look.Fill != look.FillTo && state != 2 && !disabled) {
            GradientFillRect(c, box, look.Fill, look.FillTo, true);
            FrameRect(c, box, ColorToRGB(border));
        } else {
            c->Rectangle(box);
        }
        if (look.Sunken && !radio) {
            TRect edge = box;
            DrawEdge(c, edge, EDGE_SUNKEN, BF_RECT);
        }
        c->Pen()->SetColor(mark);
        c->Brush()->SetColor(mark);
        const bool checked = group == 1 || group == 3;
        if (radio && checked) c->Ellipse(6, 6, 10, 10);
        if (!radio && checked) {
            const std::vector<TPoint> check = {{4, 7}, {6, 10}, {11, 4}};
            c->Polyline(check);
            c->Polyline({{4, 8}, {6, 11}, {11, 5}});
            if (look.Tick) c->Polyline({{4, 9}, {6, 12}, {11, 6}});
        }
        if (group == 4) c->FillRect(TRect(5, 5, 11, 11)); // mixed
        list->AddMasked(&bmp, mask);
    }
    return list;
}

// The check images every tree shares, built by the first tree and freed at process end.
std::unique_ptr<TImageList> systemCheckImages, systemFlatCheckImages;
std::unique_ptr<TImageList> stripImages[ckXP + 1];

} // namespace

void ReloadCheckImages() {
    for (int kind = ckLightCheck; kind <= ckXP; ++kind)
        stripImages[kind] = buildCheckImageStrip(TCheckImageKind(kind));
    systemCheckImages = buildSystemCheckImages(false, stripImages[ckDarkCheck].get());
    systemFlatCheckImages = buildSystemCheckImages(true, stripImages[ckFlat].get());
}

TImageList* TBaseLazyTree::CheckImageListOfKind(TCheckImageKind Kind) {
    if (Kind == ckCustom) return nullptr;
    if (!systemCheckImages) ReloadCheckImages();
    if (Kind == ckSystemFlat) return systemFlatCheckImages.get();
    if (Kind == ckSystemDefault) return systemCheckImages.get();
    return stripImages[Kind].get();
}

TImageList* TBaseLazyTree::CheckImages() {
    return FCheckImageKind == ckCustom ? FCustomCheckImages : CheckImageListOfKind(FCheckImageKind);
}

void TBaseLazyTree::PaintCheckBox(TCanvas* Canvas, const TLTPaintImage& Slot, bool) {
    // The platform's visual styles have no check boxes, so the themed look comes from the
    // system list too;
    // drawn transparently, the selection colour does not tint the image.
    TImageList* list = CheckImages();
    if (!list || Slot.Index < 0 || Slot.Index >= list->Count()) return;
    list->Draw(Canvas, Slot.XPos, Slot.YPos, Slot.Index, dsTransparent, itImage, true);
}
