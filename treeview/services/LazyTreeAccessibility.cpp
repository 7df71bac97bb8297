#include "treeview/services/LazyTreeAccessibility.h"

#include <algorithm>
#include <cstring>

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
        TFont font;
        TRect r;
        std::string text;
        GetTextInfo(node, NoColumn, &font, r, text);
        const std::u16string wide = Utf8ToWide(text);
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
