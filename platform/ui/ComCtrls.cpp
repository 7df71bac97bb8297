#include "platform/ui/ComCtrls.h"

#include "platform/ui/StdCtrlsInternal.h"
#include "platform/ui/core/Forms.h"

#include <algorithm>

using stdctrls::measureCanvas;
using stdctrls::setAndRepaint;

namespace {

void line(TCanvas* c, TColor color, int x1, int y1, int x2, int y2) {
    c->Pen()->SetColor(color);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

} // namespace

// --- TTabSheet --------------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption |
                    csDoubleClicks | csParentBackground);
    SetParentColor(true);
    SetVisible(false);
}

TTabSheet::~TTabSheet() {
    if (pageControl_) pageControl_->removePage(this);
}

void TTabSheet::SetPageControl(TPageControl* v) {
    if (pageControl_ == v) return;
    if (pageControl_) pageControl_->removePage(this);
    SetParent(v);
    if (v) v->insertPage(this);
}

void TTabSheet::SetTabVisible(bool v) {
    if (tabVisible_ == v) return;
    int oldTab = TabIndex();
    tabVisible_ = v;
    if (pageControl_) pageControl_->tabVisibilityChanged(this, oldTab);
}

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    auto& pages = pageControl_->pages_;
    return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int v) {
    if (!pageControl_) return;
    auto& pages = pageControl_->pages_;
    v = std::clamp(v, 0, int(pages.size()) - 1);
    pages.erase(pages.begin() + PageIndex());
    pages.insert(pages.begin() + v, this);
    pageControl_->Invalidate();
}

int TTabSheet::TabIndex() const {
    if (!pageControl_ || !tabVisible_) return -1;
    int index = 0;
    for (TTabSheet* p : pageControl_->pages_) {
        if (p == this) return index;
        if (p->tabVisible_) ++index;
    }
    return -1;
}

void TTabSheet::Paint() {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->FillRect(ClientRect());
}

void TTabSheet::Dispatch(TMessage& Message) {
    TCustomControl::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED && pageControl_) pageControl_->Invalidate();
}

// --- TPageControl -----------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque);
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clBtnFace);
}

TPageControl::~TPageControl() {
    // The pages are child controls and die with this control; they must not call back.
    for (TTabSheet* p : pages_) p->pageControl_ = nullptr;
    pages_.clear();
    activePage_ = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const {
    if (index < 0 || index >= PageCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return pages_[std::size_t(index)];
}

void TPageControl::insertPage(TTabSheet* page) {
    pages_.push_back(page);
    page->pageControl_ = this;
    page->SetVisible(false);
    page->SetBoundsRect(DisplayRect());
    // The first tab of an empty control becomes the current one.
    if (!activePage_ && page->tabVisible_) changeActivePage(page);
    Invalidate();
}

void TPageControl::removePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    TTabSheet* next = activePage_ == page ? FindNextPage(page, true, true) : activePage_;
    if (next == page) next = nullptr;
    pages_.erase(it);
    page->pageControl_ = nullptr;
    if (activePage_ == page) {
        activePage_ = nullptr;
        changeActivePage(next);
    }
    Invalidate();
}

void TPageControl::tabVisibilityChanged(TTabSheet* page, int oldTabIndex) {
    if (!page->tabVisible_) {
        // The tab that takes the hidden tab's place becomes current.
        if (page == activePage_) {
            auto tabs = visibleTabs();
            changeActivePage(tabs.empty()
                                 ? nullptr
                                 : tabs[std::size_t(std::min(oldTabIndex, int(tabs.size()) - 1))]);
        }
    } else if (!activePage_) {
        changeActivePage(page);
    }
    Invalidate();
}

void TPageControl::changeActivePage(TTabSheet* page) {
    if (page == activePage_) return;
    TTabSheet* old = activePage_;
    activePage_ = page;
    if (page) {
        page->SetBoundsRect(DisplayRect());
        page->SetVisible(true);
        page->BringToFront();
        if (page->OnShow) page->OnShow(page);
    }
    if (old) {
        TCustomForm* form = GetParentForm();
        bool focusOnOld =
            form && form->ActiveControl() && old->ContainsControl(form->ActiveControl());
        old->SetVisible(false);
        if (old->OnHide) old->OnHide(old);
        if (focusOnOld && CanFocus()) SetFocus();
    }
    Invalidate();
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->pageControl_ != this) return;
    changeActivePage(page);
}

int TPageControl::ActivePageIndex() const {
    auto it = std::find(pages_.begin(), pages_.end(), activePage_);
    return it == pages_.end() ? -1 : int(it - pages_.begin());
}

void TPageControl::SetActivePageIndex(int v) {
    SetActivePage(v >= 0 && v < PageCount() ? pages_[std::size_t(v)] : nullptr);
}

std::vector<TTabSheet*> TPageControl::visibleTabs() const {
    std::vector<TTabSheet*> tabs;
    for (TTabSheet* p : pages_)
        if (p->tabVisible_) tabs.push_back(p);
    return tabs;
}

int TPageControl::TabIndex() const {
    return activePage_ ? activePage_->TabIndex() : -1;
}

void TPageControl::SetTabIndex(int v) {
    auto tabs = visibleTabs();
    if (v >= 0 && v < int(tabs.size())) SetActivePage(tabs[std::size_t(v)]);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward,
                                      bool CheckTabVisible) const {
    int n = PageCount();
    if (n == 0) return nullptr;
    auto it = std::find(pages_.begin(), pages_.end(), CurPage);
    int start = it == pages_.end() ? (GoForward ? n - 1 : 0) : int(it - pages_.begin());
    int i = start;
    do {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        TTabSheet* p = pages_[std::size_t(i)];
        if (!CheckTabVisible || p->tabVisible_) return p;
    } while (i != start);
    return nullptr;
}

bool TPageControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TPageControl::Change() {
    if (OnChange) OnChange(this);
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
    TTabSheet* page = FindNextPage(activePage_, GoForward, CheckTabVisible);
    if (page && page != activePage_ && CanChange()) {
        SetActivePage(page);
        Change();
    }
}

void TPageControl::selectTab(int tabIndex) {
    auto tabs = visibleTabs();
    if (tabIndex < 0 || tabIndex >= int(tabs.size())) return;
    TTabSheet* page = tabs[std::size_t(tabIndex)];
    if (page == activePage_ || !CanChange()) return;
    SetActivePage(page);
    Change();
}

void TPageControl::SetTabHeight(int v) {
    if (tabHeight_ == v || v < 0) return;
    tabHeight_ = v;
    placePages();
    Invalidate();
}

void TPageControl::SetTabWidth(int v) {
    if (v < 0) return;
    setAndRepaint(this, tabWidth_, v);
}

int TPageControl::rowHeight() const {
    return tabHeight_ > 0 ? tabHeight_ : measureCanvas(Font())->TextHeight("Wg") + 6;
}

TRect TPageControl::DisplayRect() const {
    int top = rowHeight() + 4;
    return {4, top, std::max(4, Width() - 4), std::max(top, Height() - 4)};
}

TRect TPageControl::TabRect(int tabIndex) const {
    auto tabs = visibleTabs();
    if (tabIndex < 0 || tabIndex >= int(tabs.size())) return {};
    TCanvas* c = measureCanvas(Font());
    int x = 2;
    for (int i = 0;; ++i) {
        int w = tabWidth_ > 0 ? tabWidth_
                              : c->TextWidth(StripHotkey(tabs[std::size_t(i)]->Caption())) + 12;
        if (i == tabIndex) {
            if (tabs[std::size_t(i)] == activePage_) return {x - 2, 0, x + w + 2, rowHeight() + 1};
            return {x, 2, x + w, rowHeight()};
        }
        x += w;
    }
}

int TPageControl::IndexOfTabAt(int X, int Y) const {
    int active = TabIndex();
    if (active >= 0 && TabRect(active).Contains({X, Y})) return active;
    int n = int(visibleTabs().size());
    for (int i = 0; i < n; ++i)
        if (i != active && TabRect(i).Contains({X, Y})) return i;
    return -1;
}

void TPageControl::placePages() {
    TRect r = DisplayRect();
    for (TTabSheet* p : pages_) p->SetBoundsRect(r);
}

void TPageControl::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(ClientRect());
    int rowH = rowHeight();
    TRect frame(0, rowH, Width(), Height());
    DrawEdge(c, frame, EDGE_RAISED, BF_RECT);
    c->Pen()->SetWidth(1);
    c->Pen()->SetStyle(psSolid);
    c->Font()->Assign(Font());
    auto tabs = visibleTabs();
    int active = TabIndex();
    auto drawTab = [&](int i) {
        TRect r = TabRect(i);
        bool isActive = i == active;
        c->Brush()->SetColor(Color());
        c->FillRect(Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom));
        line(c, clBtnHighlight, r.Left, r.Bottom, r.Left, r.Top + 2);
        c->SetPixels(r.Left + 1, r.Top + 1, ColorToRGB(clBtnHighlight));
        line(c, clBtnHighlight, r.Left + 2, r.Top, r.Right - 2, r.Top);
        line(c, clBtnShadow, r.Right - 2, r.Top + 1, r.Right - 2, r.Bottom);
        line(c, cl3DDkShadow, r.Right - 1, r.Top + 2, r.Right - 1, r.Bottom);
        c->SetPixels(r.Right - 2, r.Top + 1, ColorToRGB(cl3DDkShadow));
        // The active tab opens into the page below it.
        if (isActive) c->FillRect(Rect(r.Left + 1, rowH, r.Right - 2, rowH + 2));
        TRect tr(r.Left + 1, r.Top + 1, r.Right - 2, r.Bottom - (isActive ? 1 : 0));
        c->Font()->SetColor(Enabled() ? Font()->Color() : clGrayText);
        SetBkMode(c, TRANSPARENT);
        DrawText(c, tabs[std::size_t(i)]->Caption(), -1, tr,
                 DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (isActive && Focused()) {
            InflateRect(tr, -2, -1);
            c->DrawFocusRect(tr);
        }
    };
    for (int i = 0; i < int(tabs.size()); ++i)
        if (i != active) drawTab(i);
    if (active >= 0) drawTab(active);
}

void TPageControl::DefaultHandler(TMessage& Message) {
    if (Message.Msg == WM_KEYDOWN) {
        WORD key = WORD(Message.WParam);
        int tab = TabIndex();
        if (key == VK_LEFT && tab > 0)
            selectTab(tab - 1);
        else if (key == VK_RIGHT && tab + 1 < int(visibleTabs().size()))
            selectTab(tab + 1);
        if (key == VK_LEFT || key == VK_RIGHT) return;
    }
    TCustomControl::DefaultHandler(Message);
}

void TPageControl::CMDialogKey(TWMKey& Message) {
    // Ctrl+Tab and Ctrl+Shift+Tab turn the pages while the focus is in this control.
    TWinControl* focused = FindControl(GetFocus());
    if (Message.CharCode() == VK_TAB && GetKeyState(VK_CONTROL) < 0 &&
        (focused == this || (focused && ContainsControl(focused)))) {
        SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
        Message.Result() = 1;
        return;
    }
    TCustomControl::CMDialogKey(Message);
}

void TPageControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: {
        TPoint p = LParamToPoint(Message.LParam);
        int tab = IndexOfTabAt(p.X, p.Y);
        if (tab >= 0) {
            if (CanFocus() && !Focused()) SetFocus();
            selectTab(tab);
        }
        break;
    }
    case WM_SIZE:
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(Message);
        placePages();
        Invalidate();
        return;
    case WM_GETDLGCODE:
        TCustomControl::Dispatch(Message);
        Message.Result |= DLGC_WANTARROWS;
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENABLEDCHANGED:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}
