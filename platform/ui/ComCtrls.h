#pragma once
// The page control and its tab sheets, painted in the classic look.
#include "platform/ui/core/Controls.h"

#include <functional>
#include <string>
#include <vector>

class TPageControl;

class TTabSheet : public TCustomControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return pageControl_; }
    // Moves the sheet into a page control (its parent becomes that control).
    void SetPageControl(TPageControl* v);
    // A sheet whose tab is not visible keeps its place among the pages.
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool v);
    // Position among all pages.
    int PageIndex() const;
    void SetPageIndex(int v);
    // Position among the visible tabs, -1 when the tab is hidden.
    int TabIndex() const;
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v) { imageIndex_ = v; }

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void Paint() override;
    void Dispatch(TMessage& Message) override;

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
    int imageIndex_ = -1;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TPageControl : public TCustomControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return int(pages_.size()); }
    TTabSheet* Pages(int index) const;
    // Setting the page by code fires neither OnChanging nor OnChange.
    TTabSheet* ActivePage() const { return activePage_; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int v);
    // Index of the active page's tab among the visible tabs (-1: none).
    int TabIndex() const;
    void SetTabIndex(int v);
    // The next (previous) page after CurPage, wrapping; with CheckTabVisible only pages whose
    // tab is visible.
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
    // As a user would: asks OnChanging, switches and fires OnChange.
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);

    // 0: from the font / from the caption.
    int TabHeight() const { return tabHeight_; }
    void SetTabHeight(int v);
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int v);
    // Where the pages go, in client coordinates.
    TRect DisplayRect() const;
    // The rectangle of a visible tab; the active tab stands out by two pixels.
    TRect TabRect(int tabIndex) const;
    // The visible tab under a client point, -1 when none.
    int IndexOfTabAt(int X, int Y) const;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

protected:
    virtual bool CanChange();
    virtual void Change();
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    void CMDialogKey(TWMKey& Message) override;

private:
    friend class TTabSheet;
    void insertPage(TTabSheet* page);
    void removePage(TTabSheet* page);
    void tabVisibilityChanged(TTabSheet* page, int oldTabIndex);
    void changeActivePage(TTabSheet* page);
    void placePages();
    std::vector<TTabSheet*> visibleTabs() const;
    int rowHeight() const;
    // User selection of a visible tab.
    void selectTab(int tabIndex);
    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
    int tabHeight_ = 0;
    int tabWidth_ = 0;
};
