#include "mbus/QorPageControl.h"

#include "platform/gfx/Graphics.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/core/Forms.h"

#include <algorithm>
#include <utility>

namespace {

// The text without its last Count characters.
std::string dropLastChars(const std::string& s, int Count) {
    std::size_t end = s.size();
    for (int i = 0; i < Count && end > 0; ++i) {
        --end;
        while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
    }
    return s.substr(0, end);
}

TCanvas* measureCanvas(const TFont* Font) {
    static TBitmap bitmap;
    bitmap.SetSize(1, 1);
    bitmap.Canvas()->Font()->Assign(Font);
    return bitmap.Canvas();
}

} // namespace

// --- TTabMargin -------------------------------------------------------------------------------

void TTabMargin::setMargin(int& field, int v, int index) {
    if (field == v) return;
    if (FOnMarginChange) FOnMarginChange(v, field, index);
    field = v;
}

void TTabMargin::Assign(const TPersistent* Source) {
    if (auto* m = dynamic_cast<const TTabMargin*>(Source)) {
        FLeftMargin = m->FLeftMargin;
        FTopMargin = m->FTopMargin;
        FRightMargin = m->FRightMargin;
    }
}

// --- TQorTabSheet -----------------------------------------------------------------------------

TQorTabSheet::TQorTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption |
                    csDoubleClicks);
    SetAlign(alClient);
    SetVisible(false);
}

TQorTabSheet::~TQorTabSheet() {
    if (FQorPageControl) FQorPageControl->detach(this);
    if (FClosedIn) {
        auto& closed = FClosedIn->FClosedTabList;
        closed.erase(std::remove_if(closed.begin(), closed.end(),
                                    [this](const auto& e) { return e.second == this; }),
                     closed.end());
    }
}

void TQorTabSheet::SetQorPageControl(TQorPageControl* v) {
    if (FQorPageControl == v) return;
    if (FQorPageControl) FQorPageControl->detach(this);
    if (v) v->attach(this);
}

void TQorTabSheet::updateTabCaption() {
    FTabCaption = FShowClose ? Caption() + " " : dropLastChars(Caption(), 2);
    if (FQorPageControl) {
        FQorPageControl->placePages();
        FQorPageControl->Invalidate();
    }
}

void TQorTabSheet::SetText(const std::string& v) {
    TCustomControl::SetText(v);
    updateTabCaption();
}

void TQorTabSheet::SetTabColor(TColor v) {
    FTabColor = v;
    if (FQorPageControl) FQorPageControl->Invalidate();
}

void TQorTabSheet::SetTabColorTo(TColor v) {
    FTabColorTo = v;
    if (FQorPageControl) FQorPageControl->Invalidate();
}

void TQorTabSheet::SetTextColor(TColor v) {
    FTextColor = v;
    if (FQorPageControl) FQorPageControl->Invalidate();
}

void TQorTabSheet::SetColorTo(TColor v) {
    FColorTo = v;
    Invalidate();
    if (FQorPageControl) FQorPageControl->Invalidate();
}

void TQorTabSheet::SetSheetColor(TColor v) {
    SetColor(v);
    if (FQorPageControl) FQorPageControl->Invalidate();
}

void TQorTabSheet::SetTabGradientDirection(TQorGradientDirection v) {
    if (FTabGradientDirection == v) return;
    FTabGradientDirection = v;
    if (FQorPageControl) FQorPageControl->Invalidate();
}

void TQorTabSheet::SetShowClose(bool v) {
    FShowClose = v;
    updateTabCaption();
}

void TQorTabSheet::SetImageIndex(int v) {
    FImageIndex = v < 0 ? -1 : v;
    updateTabCaption();
}

void TQorTabSheet::SetTabVisible(bool v) {
    if (FTabVisible == v) return;
    FTabVisible = v;
    if (!FQorPageControl) return;
    if (!v && FQorPageControl->FActivePage == this)
        FQorPageControl->changeActivePage(FQorPageControl->FindNextPage(this, true, true) == this
                                              ? nullptr
                                              : FQorPageControl->FindNextPage(this, true, true));
    FQorPageControl->Invalidate();
}

void TQorTabSheet::SetTabEnable(bool v) {
    if (FTabEnable == v) return;
    if (FQorPageControl && FQorPageControl->FActivePage == this)
        throw EInvalidOperation("Can not disable active tab.");
    FTabEnable = v;
    if (FQorPageControl) FQorPageControl->Invalidate();
}

void TQorTabSheet::SetHighlighted(bool v) {
    if (FHighlighted == v) return;
    FHighlighted = v;
    if (FQorPageControl) FQorPageControl->Invalidate();
}

int TQorTabSheet::PageIndex() const {
    if (!FQorPageControl) return -1;
    const auto& pages = FQorPageControl->FPages;
    return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TQorTabSheet::SetPageIndex(int v) {
    if (!FQorPageControl) return;
    auto& pages = FQorPageControl->FPages;
    const int last = int(pages.size()) - 1;
    if (v > last)
        throw EListError(Format("%d is an invalid PageIndex value.  PageIndex must be between 0 "
                                "and %d",
                                v, last));
    v = std::max(v, 0);
    pages.erase(pages.begin() + PageIndex());
    pages.insert(pages.begin() + v, this);
    FQorPageControl->Invalidate();
}

int TQorTabSheet::TabIndex() const {
    if (!FQorPageControl || !FTabVisible) return -1;
    int index = 0;
    for (const TQorTabSheet* p : FQorPageControl->FPages) {
        if (p == this) return index;
        if (p->FTabVisible) ++index;
    }
    return -1;
}

void TQorTabSheet::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    if (FColorTo != clNone) DrawGradientFill(c, Color(), FColorTo, false, ClientRect(), 64);
}

// --- TQorPageControl --------------------------------------------------------------------------

TQorPageControl::TQorPageControl(TComponent* AOwner)
    : TCustomControl(AOwner), FActiveFont(std::make_unique<TFont>()),
      FTabMargin(std::make_unique<TTabMargin>()) {
    SetControlStyle(csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque);
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
    Font()->SetName("Tahoma");
    FActiveFont->SetName("Tahoma");
    FActiveFont->OnChange = [this](TObject*) {
        placePages();
        Invalidate();
    };
    FTabMargin->FOnMarginChange = [this](int, int, int) { Invalidate(); };
}

TQorPageControl::~TQorPageControl() {
    // The sheets are child controls and die with this control; they must not call back.
    for (TQorTabSheet* p : FPages) p->FQorPageControl = nullptr;
    for (auto& [name, sheet] : FClosedTabList) sheet->FClosedIn = nullptr;
    FClosedTabList.clear();
    FPages.clear();
    FActivePage = nullptr;
}

TQorTabSheet* TQorPageControl::Pages(int index) const {
    if (index < 0 || index >= PageCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FPages[std::size_t(index)];
}

void TQorPageControl::attach(TQorTabSheet* Page) {
    Page->SetParent(this);
    Page->FQorPageControl = this;
    FPages.push_back(Page);
    // The sheet takes the control's defaults where its own colours are unset.
    if (Page->FTextColor == 0) Page->FTextColor = FDefaultTextColor;
    if (Page->FTabColor == clNone) Page->FTabColor = FDefaultTabColor;
    if (Page->FTabColorTo == clNone) Page->FTabColorTo = FDefaultTabColorTo;
    placePages();
    if (!FActivePage && Page->FTabVisible) changeActivePage(Page);
    Invalidate();
}

void TQorPageControl::detach(TQorTabSheet* Page) {
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end()) return;
    TQorTabSheet* next = FindNextPage(Page, true, true);
    FPages.erase(it);
    Page->FQorPageControl = nullptr;
    if (FActivePage == Page) {
        FActivePage = nullptr;
        changeActivePage(next == Page ? nullptr : next);
    }
    Invalidate();
}

int TQorPageControl::ActivePageIndex() const {
    return FActivePage ? FActivePage->PageIndex() : -1;
}

void TQorPageControl::SetActivePageIndex(int v) {
    SetActivePage(v >= 0 && v < PageCount() ? FPages[std::size_t(v)] : nullptr);
}

void TQorPageControl::SetActivePage(TQorTabSheet* v) {
    if (v && v->FQorPageControl != this) return;
    if (v && !v->FTabEnable) return;
    changeActivePage(v);
}

void TQorPageControl::changeActivePage(TQorTabSheet* Page) {
    if (Page == FActivePage) return;
    TQorTabSheet* old = FActivePage;
    TCustomForm* form = GetParentForm();
    const bool focusOnOld =
        old && form && form->ActiveControl() && old->ContainsControl(form->ActiveControl());
    FActivePage = Page;
    if (Page) {
        Page->SetBoundsRect(DisplayRect());
        Page->BringToFront();
        Page->SetVisible(true);
        if (Page->OnShow) Page->OnShow(Page);
    }
    if (old) {
        old->SetVisible(false);
        if (old->OnHide) old->OnHide(old);
        if (focusOnOld && CanFocus()) SetFocus();
    }
    // Tab lengths follow the active font.
    Invalidate();
}

TQorTabSheet* TQorPageControl::FindNextPage(TQorTabSheet* CurPage, bool GoForward,
                                            bool CheckTabVisible) const {
    const int count = PageCount();
    if (count == 0) return nullptr;
    int start = int(std::find(FPages.begin(), FPages.end(), CurPage) - FPages.begin());
    if (start == count) start = GoForward ? count - 1 : 0;
    int i = start;
    for (int n = 0; n < count; ++n) {
        i = GoForward ? (i + 1) % count : (i + count - 1) % count;
        TQorTabSheet* p = FPages[std::size_t(i)];
        if (!CheckTabVisible || p->FTabVisible) return p;
    }
    return nullptr;
}

void TQorPageControl::SelectNextPage(bool GoForward) {
    TQorTabSheet* next = FindNextPage(FActivePage, GoForward, true);
    if (!next || next == FActivePage || !next->FTabEnable) return;
    bool allow = true;
    if (OnCanChange) OnCanChange(this, ActivePageIndex(), next->PageIndex(), allow);
    if (!allow) return;
    changeActivePage(next);
    if (OnChange) OnChange(this);
}

namespace {
void setColorDefault(std::vector<TQorTabSheet*>& pages, TColor oldValue, TColor newValue,
                     TColor (TQorTabSheet::*get)() const, void (TQorTabSheet::*set)(TColor)) {
    for (TQorTabSheet* p : pages)
        if ((p->*get)() == oldValue) (p->*set)(newValue);
}
} // namespace

void TQorPageControl::SetDefaultTextColor(TColor v) {
    setColorDefault(FPages, FDefaultTextColor, v, &TQorTabSheet::TextColor,
                    &TQorTabSheet::SetTextColor);
    FDefaultTextColor = v;
    Invalidate();
}

void TQorPageControl::SetDefaultTabColor(TColor v) {
    setColorDefault(FPages, FDefaultTabColor, v, &TQorTabSheet::TabColor,
                    &TQorTabSheet::SetTabColor);
    FDefaultTabColor = v;
    Invalidate();
}

void TQorPageControl::SetDefaultTabColorTo(TColor v) {
    setColorDefault(FPages, FDefaultTabColorTo, v, &TQorTabSheet::TabColorTo,
                    &TQorTabSheet::SetTabColorTo);
    FDefaultTabColorTo = v;
    Invalidate();
}

void TQorPageControl::SetActiveColor(TColor v) {
    FActiveColor = v;
    Invalidate();
}

void TQorPageControl::SetActiveColorTo(TColor v) {
    FActiveColorTo = v;
    Invalidate();
}

void TQorPageControl::SetActiveFont(const TFont* v) {
    FActiveFont->Assign(v);
}

void TQorPageControl::SetTabBorder3D(bool v) {
    FTabBorder3D = v;
    FHoverTab = -1;
    FCloseState = TCloseState::Normal;
    placePages();
    Invalidate();
}

void TQorPageControl::SetTabHoverColor(TColor v) {
    FTabHoverColor = v;
    Invalidate();
}

void TQorPageControl::SetTabHoverColorTo(TColor v) {
    FTabHoverColorTo = v;
    Invalidate();
}

void TQorPageControl::SetTabHoverBorder(TColor v) {
    FTabHoverBorder = v;
    Invalidate();
}

void TQorPageControl::SetTabSheet3D(bool v) {
    FTabSheet3D = v;
    Invalidate();
}

void TQorPageControl::SetRoundEdges(bool v) {
    FRoundEdges = v;
    Invalidate();
}

namespace {
// A copy of the picture, or none when it is empty.
std::unique_ptr<TBitmap> copyPicture(const TBitmap* v) {
    if (!v || v->Empty()) return nullptr;
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(v);
    return copy;
}
} // namespace

void TQorPageControl::SetTabBackGround(const TBitmap* v) {
    FTabBackGround = copyPicture(v);
    FHoverTab = -1;
    Invalidate();
}

void TQorPageControl::SetTabBackGroundActive(const TBitmap* v) {
    FTabBackGroundActive = copyPicture(v);
    Invalidate();
}

void TQorPageControl::SetImages(TImageList* v) {
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = v;
    if (FImages) FImages->FreeNotification(this);
    placePages();
    Invalidate();
}

void TQorPageControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) {
        FImages = nullptr;
        Invalidate();
    }
}

void TQorPageControl::SetCloseGlyph(const TBitmap* v) {
    FCloseGlyph = copyPicture(v);
    Invalidate();
}

bool TQorPageControl::OpenClosedTab(const std::string& Name) {
    for (auto& [name, sheet] : FClosedTabList)
        if (name == Name) {
            sheet->SetQorPageControl(this);
            return true;
        }
    return false;
}

void TQorPageControl::OpenAllClosedTabs() {
    const auto closed = FClosedTabList;
    for (auto& [name, sheet] : closed) sheet->SetQorPageControl(this);
}

void TQorPageControl::SetTabBorderColor(TColor v) {
    FTabBorderColor = v;
    Invalidate();
}

void TQorPageControl::SetTabSheetBorderColor(TColor v) {
    FTabSheetBorderColor = v;
    Invalidate();
}

void TQorPageControl::SetTabBackGroundColor(TColor v) {
    FTabBackGroundColor = v;
    Invalidate();
}

void TQorPageControl::SetTabSplitLine(bool v) {
    if (v && FTabStyle == tsDotNet)
        throw EInvalidOperation("TabSplitLine must be false when TabStyle is tsDotNet");
    FTabSplitLine = v;
    Invalidate();
}

void TQorPageControl::SetTabStyle(TQorTabStyle v) {
    FTabStyle = v;
    Invalidate();
}

void TQorPageControl::SetLowerActive(int v) {
    FLowerActive = v;
    Invalidate();
}

void TQorPageControl::SetTabMargin(const TTabMargin* v) {
    FTabMargin->Assign(v);
    placePages();
    Invalidate();
}

void TQorPageControl::SetTabOverlap(int v) {
    FTabOverlap = std::clamp(v, 0, 15);
    Invalidate();
}

void TQorPageControl::SetShowFocus(bool v) {
    FShowFocus = v;
    Invalidate();
}

void TQorPageControl::SetTabPosition(TTabPosition v) {
    FTabPosition = v;
    placePages();
    Invalidate();
}

// --- geometry ---------------------------------------------------------------------------------

int TQorPageControl::tabThickness() const {
    return measureCanvas(Font())->TextHeight("Ag") + 6;
}

int TQorPageControl::tabLength(const TQorTabSheet* Page) const {
    // The full caption, measured in the font the tab is drawn with, so that no caption is cut.
    const TFont* font = Page == FActivePage ? FActiveFont.get() : Font();
    const int text = measureCanvas(font)->TextWidth(Page->Caption());
    const bool vertical = FTabPosition == tpLeft || FTabPosition == tpRight;
    // The room the tab keeps for its (empty) image: the right margin plus the top margin
    // along left and right tabs, the left margin along top and bottom tabs.
    int margins =
        FTabMargin->RightMargin() + (vertical ? FTabMargin->TopMargin() : FTabMargin->LeftMargin());
    if (FImages && !FTabBorder3D) margins += vertical ? FImages->Height() : FImages->Width();
    // The close box sits at the tab's start, before the text.
    const int close = Page->FShowClose && !FTabBorder3D ? 17 : 0;
    return text + margins + close + 8;
}

TRect TQorPageControl::TabRect(const TQorTabSheet* Page) const {
    if (!Page || !Page->FTabVisible || Page->FQorPageControl != this) return {};
    const int across = tabThickness();
    int along = 2;
    for (const TQorTabSheet* p : FPages) {
        if (!p->FTabVisible) continue;
        const int length = tabLength(p);
        if (p == Page) {
            switch (FTabPosition) {
            case tpLeft:
                return {2, along, 2 + across, along + length};
            case tpRight:
                return {Width() - 2 - across, along, Width() - 2, along + length};
            case tpTop:
                return {along, 2, along + length, 2 + across};
            case tpBottom:
                return {along, Height() - 2 - across, along + length, Height() - 2};
            }
        }
        along += length;
    }
    return {};
}

int TQorPageControl::PageIndexAt(int X, int Y) const {
    for (int i = 0; i < PageCount(); ++i)
        if (TabRect(FPages[std::size_t(i)]).Contains({X, Y})) return i;
    return -1;
}

TRect TQorPageControl::DisplayRect() const {
    const int strip = tabThickness() + 2;
    TRect r{0, 0, Width(), Height()};
    switch (FTabPosition) {
    case tpLeft:
        r.Left = strip;
        break;
    case tpRight:
        r.Right -= strip;
        break;
    case tpTop:
        r.Top = strip;
        break;
    case tpBottom:
        r.Bottom -= strip;
        break;
    }
    // Inside the sheet frame.
    return {r.Left + 4, r.Top + 4, std::max(r.Left + 4, r.Right - 4),
            std::max(r.Top + 4, r.Bottom - 4)};
}

void TQorPageControl::placePages() {
    const TRect r = DisplayRect();
    for (TQorTabSheet* p : FPages) {
        p->SetAlign(alNone);
        p->SetBoundsRect(r);
    }
}

void TQorPageControl::Resize() {
    TCustomControl::Resize();
    placePages();
}

// --- input ------------------------------------------------------------------------------------

TRect TQorPageControl::CloseButtonRect(const TQorTabSheet* Page) const {
    if (!Page || !Page->FShowClose || FTabBorder3D) return {};
    const TRect r = TabRect(Page);
    if (r.IsEmpty()) return {};
    // At the tab's start corner, inside its margins; the text starts after it.
    switch (FTabPosition) {
    case tpLeft:
        return Bounds(r.Left + 2, r.Bottom - FTabMargin->TopMargin() - 13, 12, 11);
    case tpRight:
        return Bounds(r.Right - 14, r.Top + FTabMargin->TopMargin() + 2, 12, 11);
    case tpTop:
        return Bounds(r.Left + FTabMargin->LeftMargin() + 2, r.Top + 2, 12, 11);
    case tpBottom:
        return Bounds(r.Left + FTabMargin->LeftMargin() + 2, r.Bottom - 13, 12, 11);
    }
    return {};
}

bool TQorPageControl::hoverDrawn() const {
    return FTabHoverColor != clNone && !FTabBorder3D && !FTabBackGround;
}

// --- docking --------------------------------------------------------------------------------

TQorTabSheet* TQorPageControl::pageOfDockClient(const TControl* Client) const {
    if (!Client || Client->HostDockSite() != this) return nullptr;
    for (TQorTabSheet* page : FPages)
        if (Client->Parent() == page) return page;
    return nullptr;
}

TControl* TQorPageControl::dockClientAt(int X, int Y) const {
    if (DockClientCount() == 0) return nullptr;
    const int index = PageIndexAt(X, Y);
    if (index < 0) return nullptr;
    TQorTabSheet* page = FPages[std::size_t(index)];
    TControl* client = page->ControlCount() > 0 ? page->Controls(0) : nullptr;
    return client && client->HostDockSite() == this ? client : nullptr;
}

void TQorPageControl::CMDockClient(TMessage& Message) {
    const auto* rec = reinterpret_cast<const TDockClientRec*>(Message.LParam);
    Message.Result = 0;
    if (!rec || !rec->Client) return;
    TControl* client = rec->Client;
    auto sheet = std::make_unique<TQorTabSheet>(this);
    FNewDockSheet = sheet.get();
    if (dynamic_cast<TCustomForm*>(client)) sheet->SetText(client->Text());
    sheet->SetQorPageControl(this);
    try {
        client->Dock(this, rec->DockRect);
    } catch (...) {
        FNewDockSheet = nullptr;
        throw;
    }
    FNewDockSheet = nullptr;
    TQorTabSheet* page = sheet.release();
    const bool visible = client->Visible();
    page->SetTabVisible(visible);
    if (visible) SetActivePage(page);
    client->SetAlign(alClient);
}

void TQorPageControl::DoAddDockClient(TControl* Client, const TRect& ARect) {
    if (FNewDockSheet)
        Client->SetParent(FNewDockSheet);
    else
        TCustomControl::DoAddDockClient(Client, ARect);
}

void TQorPageControl::DoRemoveDockClient(TControl* Client) {
    TCustomControl::DoRemoveDockClient(Client);
    if (!FUndockingPage || (ComponentState() & csDestroying)) return;
    TQorTabSheet* page = std::exchange(FUndockingPage, nullptr);
    // The client leaves the sheet before it goes.
    if (Client->Parent() == page) Client->SetParent(nullptr);
    if (page == FActivePage) SelectNextPage(true);
    delete page;
}

void TQorPageControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_UNDOCKCLIENT: {
        const auto* rec = reinterpret_cast<const TUndockClientRec*>(Message.LParam);
        FUndockingPage = rec ? pageOfDockClient(rec->Client) : nullptr;
        if (FUndockingPage) rec->Client->SetAlign(alNone);
        Message.Result = 0;
        return;
    }
    case CM_DOCKNOTIFICATION: {
        const auto* rec = reinterpret_cast<const TDockNotifyRec*>(Message.LParam);
        TQorTabSheet* page =
            rec ? pageOfDockClient(reinterpret_cast<TControl*>(Message.WParam)) : nullptr;
        if (page && rec->ClientMsg == WM_SETTEXT) {
            // The caption ends at the first line break.
            const std::string text = reinterpret_cast<const char*>(rec->MsgLParam);
            page->SetText(text.substr(0, text.find_first_of("\r\n")));
        } else if (page && rec->ClientMsg == CM_VISIBLECHANGED) {
            page->SetTabVisible(rec->MsgWParam != 0);
        }
        break;
    }
    default:
        break;
    }
    TCustomControl::WndProc(Message);
}

void TQorPageControl::WMLButtonDown(TWMMouse& Message) {
    TCustomControl::WMLButtonDown(Message);
    if (DockSite())
        if (TControl* client = dockClientAt(Message.XPos(), Message.YPos()))
            client->BeginDrag(false);
}

void TQorPageControl::WMLButtonDblClk(TWMMouse& Message) {
    TCustomControl::WMLButtonDblClk(Message);
    if (TControl* client = dockClientAt(Message.XPos(), Message.YPos()))
        client->ManualDock(nullptr);
}

void TQorPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (CloseButtonRect(FActivePage).Contains({X, Y})) {
        FCloseMouseDown = true;
        FCloseState = TCloseState::Down;
        Invalidate();
        return;
    }
    const int page = PageIndexAt(X, Y);
    if (page < 0) return;
    TQorTabSheet* target = FPages[std::size_t(page)];
    if (target == FActivePage || !target->FTabEnable) return;
    bool allow = true;
    if (OnCanChange) OnCanChange(this, ActivePageIndex(), page, allow);
    if (!allow) return;
    changeActivePage(target);
    if (OnChange) OnChange(this);
}

void TQorPageControl::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    const bool overClose = CloseButtonRect(FActivePage).Contains({X, Y});
    TCloseState close = FCloseState;
    if (FCloseMouseDown)
        close = overClose ? TCloseState::Down : TCloseState::Normal;
    else if (FTabHoverColor != clNone)
        close = overClose ? TCloseState::Hot : TCloseState::Normal;
    if (close != FCloseState) {
        FCloseState = close;
        Invalidate();
    }
    if (!hoverDrawn()) return;
    const int hover = PageIndexAt(X, Y);
    if (hover == FHoverTab) return;
    FHoverTab = hover;
    // The strip is one backing image: repainting it costs no more than repainting a tab.
    Invalidate();
}

void TQorPageControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !FCloseMouseDown) return;
    FCloseMouseDown = false;
    FCloseState = TCloseState::Normal;
    Invalidate();
    if (CloseButtonRect(FActivePage).Contains({X, Y})) closeActivePage();
}

void TQorPageControl::CMMouseLeave(TMessage& Message) {
    TCustomControl::CMMouseLeave(Message);
    if (FHoverTab < 0 && FCloseState != TCloseState::Hot) return;
    FHoverTab = -1;
    if (FCloseState == TCloseState::Hot) FCloseState = TCloseState::Normal;
    Invalidate();
}

void TQorPageControl::closeActivePage() {
    TQorTabSheet* page = FActivePage;
    if (!page) return;
    TQorTabSheet* next = FindNextPage(page, true, true);
    bool canClose = true;
    if (page->OnCanClose) page->OnCanClose(page, canClose);
    if (!canClose) return;
    if (page->OnClose) page->OnClose(page);
    changeActivePage(next == page ? nullptr : next);
    FHoverTab = -1;
    if (FFreeOnClose) {
        // The sheet's destructor detaches it and takes it from its owner.
        delete page;
    } else {
        const std::string name = page->Name();
        if (std::none_of(FClosedTabList.begin(), FClosedTabList.end(),
                         [page](const auto& e) { return e.second == page; }))
            FClosedTabList.emplace_back(name, page);
        page->FClosedIn = this;
        detach(page);
        page->SetVisible(false);
        page->SetParent(nullptr);
    }
    Invalidate();
}

void TQorPageControl::CMDialogKey(TWMKey& Message) {
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
