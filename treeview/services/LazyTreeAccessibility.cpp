#include "treeview/services/LazyTreeAccessibility.h"

#include "platform/access/Accessibility.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

TLTAccessibilityFactory* TLTAccessibilityFactory::GetAccessibilityFactory() {
    static TLTAccessibilityFactory factory;
    return &factory;
}

void TLTAccessibilityFactory::RegisterAccessibleProvider(
    const std::shared_ptr<ILTAccessibleProvider>& Provider) {
    if (std::find(FAccessibleProviders.begin(), FAccessibleProviders.end(), Provider) ==
        FAccessibleProviders.end())
        FAccessibleProviders.push_back(Provider);
}

void TLTAccessibilityFactory::UnRegisterAccessibleProvider(
    const std::shared_ptr<ILTAccessibleProvider>& Provider) {
    auto it = std::find(FAccessibleProviders.begin(), FAccessibleProviders.end(), Provider);
    if (it != FAccessibleProviders.end()) FAccessibleProviders.erase(it);
}

std::shared_ptr<TObject> TLTAccessibilityFactory::CreateIAccessible(TBaseLazyTree* ATree) {
    if (!ATree || FAccessibleProviders.empty()) return nullptr;
    if (!ATree->Accessible()) return FAccessibleProviders.front()->CreateIAccessible(ATree);
    if (ATree->AccessibleItem()) return ATree->AccessibleItem();
    // The later providers first; the first one when none answers.
    for (std::size_t i = FAccessibleProviders.size() - 1; i >= 1; --i)
        if (auto a = FAccessibleProviders[i]->CreateIAccessible(ATree)) return a;
    return FAccessibleProviders.front()->CreateIAccessible(ATree);
}

// --- the tree's accessible objects -------------------------------------------------------------

namespace {

class TLazyTreeItemAccessible;

// The tree: its children are the rows it shows (nodes whose parents are all expanded), in
// display order.
class TLazyTreeAccessible : public TAccessibleObject {
public:
    explicit TLazyTreeAccessible(TBaseLazyTree* Tree) : FTree(Tree) {}
    TAccessibleRole Role() const override { return arOutline; }
    std::string Name() const override {
        return FTree->AccessibleName().empty() ? FTree->Name() : FTree->AccessibleName();
    }
    unsigned State() const override {
        unsigned state = asFocusable;
        if (FTree->Focused()) state |= asFocused;
        if (FTree->TreeOptions()->SelectionOptions().Contains(toMultiSelect))
            state |= asMultiSelectable;
        if (!FTree->Showing()) state |= asInvisible;
        return state;
    }
    int ChildCount() const override {
        int count = 0;
        for (PLazyNode n = FTree->GetFirstVisible(nullptr, true); n;
             n = FTree->GetNextVisible(n, true))
            ++count;
        return count;
    }
    TAccessibleObject* Child(int Index) override;
    TRect Location() const override {
        if (!FTree->Showing()) return TRect{};
        const TRect client = FTree->ClientRect();
        const TPoint origin = FTree->ClientToScreen(client.TopLeft());
        return Bounds(origin.X, origin.Y, client.Width(), client.Height());
    }
    TAccessibleObject* Focus() override {
        return FTree->FocusedNode()
                   ? dynamic_cast<TAccessibleObject*>(FTree->AccessibleItem().get())
                   : nullptr;
    }
    std::vector<TAccessibleObject*> Selection() override;
    // The row of a node; -1 when it does not show.
    int RowOf(PLazyNode Node) const {
        int row = 0;
        for (PLazyNode n = FTree->GetFirstVisible(nullptr, true); n;
             n = FTree->GetNextVisible(n, true), ++row)
            if (n == Node) return row;
        return -1;
    }
    TAccessibleObject* ItemOf(PLazyNode Node);
    void NodeGone(PLazyNode Node) { FItems.erase(Node); }
    TBaseLazyTree* Tree() const { return FTree; }

private:
    TBaseLazyTree* FTree;
    std::unordered_map<PLazyNode, std::unique_ptr<TLazyTreeItemAccessible>> FItems;
};

// One node, or (with no node) whichever node has the focus.
class TLazyTreeItemAccessible : public TAccessibleObject {
public:
    TLazyTreeItemAccessible(TBaseLazyTree* Tree, PLazyNode Node) : FTree(Tree), FNode(Node) {}
    TAccessibleRole Role() const override { return arOutlineItem; }
    std::string Name() const override {
        PLazyNode node = this->node();
        return node ? FTree->AccessibleNodeText(node) : std::string();
    }
    // The node's level, 1 for a top-level node.
    std::string Value() const override {
        PLazyNode node = this->node();
        return node ? std::to_string(FTree->GetNodeLevel(node) + 1) : std::string();
    }
    unsigned State() const override;
    TRect Location() const override {
        PLazyNode node = this->node();
        if (!node || !FTree->Showing() || !FTree->FullyVisible(node)) return TRect{};
        TRect r = FTree->GetDisplayRect(node, TBaseLazyTree::NoColumn, false);
        const TPoint origin = FTree->ClientToScreen(r.TopLeft());
        return Bounds(origin.X, origin.Y, r.Width(), r.Height());
    }
    TAccessibleObject* Parent() override {
        return dynamic_cast<TAccessibleObject*>(FTree->Accessible().get());
    }
    int IndexInParent() const override {
        auto* tree = dynamic_cast<TLazyTreeAccessible*>(FTree->Accessible().get());
        PLazyNode node = this->node();
        return tree && node ? tree->RowOf(node) : -1;
    }

private:
    PLazyNode node() const { return FNode ? FNode : FTree->FocusedNode(); }
    TBaseLazyTree* FTree;
    PLazyNode FNode;
};

unsigned TLazyTreeItemAccessible::State() const {
    PLazyNode node = this->node();
    if (!node) return asInvisible;
    unsigned state = asSelectable | asFocusable;
    if (node->States.Contains(vsSelected)) state |= asSelected;
    if (node == FTree->FocusedNode() && FTree->Focused()) state |= asFocused;
    if (node->States.Contains(vsHasChildren))
        state |= node->States.Contains(vsExpanded) ? asExpanded : asCollapsed;
    if (FTree->CheckType(node) != ctNone) {
        state |= asCheckable;
        const TCheckState check = FTree->CheckState(node);
        if (check == csCheckedNormal || check == csCheckedPressed) state |= asChecked;
        if (check == csMixedNormal || check == csMixedPressed) state |= asMixed;
    }
    TRect shown;
    if (!FTree->FullyVisible(node))
        state |= asInvisible;
    else if (!IntersectRect(shown, FTree->GetDisplayRect(node, TBaseLazyTree::NoColumn, false),
                            FTree->ClientRect()))
        state |= asOffscreen;
    return state;
}

TAccessibleObject* TLazyTreeAccessible::Child(int Index) {
    if (Index < 0) return nullptr;
    PLazyNode n = FTree->GetFirstVisible(nullptr, true);
    for (int i = 0; n && i < Index; ++i) n = FTree->GetNextVisible(n, true);
    return n ? ItemOf(n) : nullptr;
}

TAccessibleObject* TLazyTreeAccessible::ItemOf(PLazyNode Node) {
    auto& item = FItems[Node];
    if (!item) item = std::make_unique<TLazyTreeItemAccessible>(FTree, Node);
    return item.get();
}

std::vector<TAccessibleObject*> TLazyTreeAccessible::Selection() {
    std::vector<TAccessibleObject*> result;
    for (PLazyNode n = FTree->GetFirstSelected(); n; n = FTree->GetNextSelected(n))
        result.push_back(ItemOf(n));
    return result;
}

struct TreeProvider : ILTAccessibleProvider {
    std::shared_ptr<TObject> CreateIAccessible(TBaseLazyTree* ATree) override {
        return std::make_shared<TLazyTreeAccessible>(ATree);
    }
};

struct FocusedItemProvider : ILTAccessibleProvider {
    std::shared_ptr<TObject> CreateIAccessible(TBaseLazyTree* ATree) override {
        return std::make_shared<TLazyTreeItemAccessible>(ATree, nullptr);
    }
};

// Registered when the program loads.
const bool providersRegistered = [] {
    TLTAccessibilityFactory* factory = TLTAccessibilityFactory::GetAccessibilityFactory();
    factory->RegisterAccessibleProvider(LazyTreeAccessibleProvider());
    factory->RegisterAccessibleProvider(LazyTreeFocusedItemProvider());
    return true;
}();

} // namespace

std::shared_ptr<ILTAccessibleProvider> LazyTreeAccessibleProvider() {
    static const auto provider = std::make_shared<TreeProvider>();
    return provider;
}

std::shared_ptr<ILTAccessibleProvider> LazyTreeFocusedItemProvider() {
    static const auto provider = std::make_shared<FocusedItemProvider>();
    return provider;
}

std::string TBaseLazyTree::AccessibleNodeText(PLazyNode Node) {
    TFont font;
    TRect r;
    std::string text;
    GetTextInfo(Node, NoColumn, &font, r, text);
    return text;
}

void TBaseLazyTree::NotifyAccessibleFocus() {
    if (FFocusedNode && Focused())
        NotifyAccessibleEvent(dynamic_cast<TAccessibleObject*>(FAccessibleItem.get()), aeFocus);
}

void TBaseLazyTree::AccessibleNodeGone(PLazyNode Node) {
    if (auto* tree = dynamic_cast<TLazyTreeAccessible*>(FAccessible.get())) tree->NodeGone(Node);
}

// --- the tree's messages -----------------------------------------------------------------------

void TBaseLazyTree::WMGetObject(TMessage& Message) {
    TLTAccessibilityFactory* factory = TLTAccessibilityFactory::GetAccessibilityFactory();
    if (!FAccessible) FAccessible = factory->CreateIAccessible(this);
    if (!FAccessibleItem) FAccessibleItem = factory->CreateIAccessible(this);
    // The object's address stands for the object.
    Message.Result =
        LPARAM(Message.LParam) == OBJID_CLIENT && FAccessible ? LRESULT(FAccessible.get()) : 0;
}

PLazyNode TBaseLazyTree::NodeOfItemHandle(LPARAM Handle) {
    if (Handle == 0) return nullptr;
    for (PLazyNode n = GetFirstNoInit(); n; n = GetNextNoInit(n))
        if (LPARAM(n) == Handle) return n;
    return nullptr;
}

void TBaseLazyTree::TVMGetItem(TMessage& Message) {
    auto* item = reinterpret_cast<TVITEMW*>(Message.LParam);
    Message.Result = 0;
    if (!item || !(item->mask & TVIF_HANDLE)) return;
    PLazyNode node = NodeOfItemHandle(item->hItem);
    if (!node) return;
    Message.Result = 1;
    const auto image = [&](TLTImageKind Kind) {
        bool ghosted = false;
        int index = -1;
        FireGetImageIndex(node, Kind, NoColumn, ghosted, index);
        return index;
    };
    if (item->mask & TVIF_CHILDREN) item->cChildren = int(node->ChildCount);
    if (item->mask & TVIF_IMAGE) item->iImage = image(ikNormal);
    if (item->mask & TVIF_SELECTEDIMAGE) item->iSelectedImage = image(ikSelected);
    if (item->mask & TVIF_STATE) {
        item->stateMask = 0xFF2F;
        UINT state = 0;
        if (node == FFocusedNode) state |= TVIS_FOCUSED;
        if (node->States.Contains(vsSelected)) state |= TVIS_SELECTED;
        if (node->States.Contains(vsCutOrCopy)) state |= TVIS_CUT;
        if (node == FDropTargetNode) state |= TVIS_DROPHILITED;
        if (node->States.Contains(vsExpanded)) state |= TVIS_EXPANDED;
        state |= UINT(image(ikState) + 1) << 12 & 0xF000;
        state |= UINT(image(ikOverlay) + 1) << 8 & 0x0F00;
        item->state = state;
    }
    if ((item->mask & TVIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        const std::u16string wide = Utf8ToWide(AccessibleNodeText(node));
        const std::size_t n = std::min(wide.size(), std::size_t(item->cchTextMax - 1));
        std::copy_n(wide.begin(), n, item->pszText);
        item->pszText[n] = 0;
    }
}

void TBaseLazyTree::TVMGetItemRect(TMessage& Message) {
    auto* rect = reinterpret_cast<TRect*>(Message.LParam);
    Message.Result = 0;
    if (!rect) return;
    // The handle stands at the rectangle's start, as wide as a handle.
    LPARAM handle = 0;
    std::memcpy(&handle, static_cast<const void*>(rect), sizeof handle);
    PLazyNode node = NodeOfItemHandle(handle);
    if (!node || !node->States.Contains(vsVisible)) return;
    Message.Result = 1;
    *rect = GetDisplayRect(node, NoColumn, Message.WParam != 0);
}

void TBaseLazyTree::TVMGetNextItem(TMessage& Message) {
    PLazyNode node = NodeOfItemHandle(Message.LParam);
    PLazyNode result = nullptr;
    switch (Message.WParam) {
    case TVGN_ROOT:
        result = GetFirst();
        break;
    case TVGN_NEXT:
        if (node) result = GetNextSibling(node);
        break;
    case TVGN_PREVIOUS:
        if (node) result = GetPreviousSibling(node);
        break;
    case TVGN_PARENT:
        if (node && node->Parent != FRoot) result = node->Parent;
        break;
    case TVGN_CHILD:
        if (node) result = GetFirstChild(node);
        break;
    case TVGN_FIRSTVISIBLE:
        result = GetFirstVisible(nullptr, true);
        break;
    case TVGN_NEXTVISIBLE:
        if (node) result = GetNextVisible(node, true);
        break;
    case TVGN_PREVIOUSVISIBLE:
        if (node) result = GetPreviousVisible(node, true);
        break;
    case TVGN_DROPHILITE:
        result = FDropTargetNode;
        break;
    case TVGN_CARET:
        result = FFocusedNode;
        break;
    case TVGN_LASTVISIBLE:
        result = GetLastVisible(nullptr, true);
        break;
    default:
        break;
    }
    Message.Result = LRESULT(result);
}
