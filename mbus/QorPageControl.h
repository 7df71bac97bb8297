#pragma once
// A page control that draws its tabs itself: per-page colours and gradients, tab margins, and
// tabs on any side, with text turned upwards on the left and downwards on the right.
#include "platform/ui/core/Controls.h"

class TBitmap;
class TImageList;

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TQorPageControl;

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TQorTabStyle { tsClassic, tsDotNet };
enum TQorGradientDirection { gdVertical, gdHorizontal };

using TMarginChange = std::function<void(int NewValue, int OldValue, int Index)>;

// The room a tab keeps before its text: left and right along top and bottom tabs, top along
// left and right tabs.
class TTabMargin : public TPersistent {
public:
    int LeftMargin() const { return FLeftMargin; }
    int TopMargin() const { return FTopMargin; }
    int RightMargin() const { return FRightMargin; }
    void SetLeftMargin(int v) { setMargin(FLeftMargin, v, 0); }
    void SetTopMargin(int v) { setMargin(FTopMargin, v, 1); }
    void SetRightMargin(int v) { setMargin(FRightMargin, v, 2); }
    // Copies the three values from another margin, without notification.
    void Assign(const TPersistent* Source) override;
    TMarginChange FOnMarginChange;

private:
    void setMargin(int& field, int v, int index);
    int FLeftMargin = 0, FTopMargin = 0, FRightMargin = 0;
};

using TCanCloseEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TCanChangeEvent =
    std::function<void(TObject* Sender, int FromPage, int ToPage, bool& AllowChange)>;

class TQorTabSheet : public TCustomControl {
public:
    explicit TQorTabSheet(TComponent* AOwner);
    ~TQorTabSheet() override;

    TQorPageControl* QorPageControl() const { return FQorPageControl; }
    void SetQorPageControl(TQorPageControl* v);
    // The full caption; the tab list holds TabCaption().
    void SetText(const std::string& v) override;
    // The caption with one blank added when ShowClose is set, else without its last two
    // characters.
    const std::string& TabCaption() const { return FTabCaption; }

    TColor TabColor() const { return FTabColor; }
    void SetTabColor(TColor v);
    TColor TabColorTo() const { return FTabColorTo; }
    void SetTabColorTo(TColor v);
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor v);
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v);
    void SetSheetColor(TColor v);
    TQorGradientDirection TabGradientDirection() const { return FTabGradientDirection; }
    void SetTabGradientDirection(TQorGradientDirection v);
    TQorGradientDirection HoverGradientDirection() const { return FHoverGradientDirection; }
    void SetHoverGradientDirection(TQorGradientDirection v) { FHoverGradientDirection = v; }
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool v);
    bool TabEnable() const { return FTabEnable; }
    // Raises for the active page.
    void SetTabEnable(bool v);
    // A highlighted tab stands out in the classic look (TabBorder3D).
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool v);
    int PageIndex() const;
    // Raises EListError for an index past the last page.
    void SetPageIndex(int v);
    // Position among the shown tabs, -1 when its tab is not shown.
    int TabIndex() const;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnClose;
    TCanCloseEvent OnCanClose;

protected:
    void Paint() override;

private:
    friend class TQorPageControl;
    void updateTabCaption();
    TQorPageControl* FQorPageControl = nullptr;
    TQorPageControl* FClosedIn = nullptr; // the control whose closed tabs hold this sheet
    std::string FTabCaption;
    TColor FTabColor = clNone, FTabColorTo = clNone, FTextColor = 0, FColorTo = clNone;
    TQorGradientDirection FTabGradientDirection = gdVertical;
    TQorGradientDirection FHoverGradientDirection = gdVertical;
    bool FShowClose = false, FTabVisible = true, FTabEnable = true, FHighlighted = false;
    int FImageIndex = -1;
};

class TQorPageControl : public TCustomControl {
public:
    explicit TQorPageControl(TComponent* AOwner);
    ~TQorPageControl() override;

    int PageCount() const { return int(FPages.size()); }
    TQorTabSheet* Pages(int index) const;
    TQorTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TQorTabSheet* v);
    int ActivePageIndex() const;
    // An index outside the pages selects none.
    void SetActivePageIndex(int v);
    // The next page after CurPage in that direction, wrapping; none when no page qualifies.
    TQorTabSheet* FindNextPage(TQorTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
    // As Ctrl+Tab: the next page with a shown tab, when the change is allowed.
    void SelectNextPage(bool GoForward);

    TColor DefaultTextColor() const { return FDefaultTextColor; }
    void SetDefaultTextColor(TColor v);
    TColor DefaultTabColor() const { return FDefaultTabColor; }
    void SetDefaultTabColor(TColor v);
    TColor DefaultTabColorTo() const { return FDefaultTabColorTo; }
    void SetDefaultTabColorTo(TColor v);
    TColor ActiveColor() const { return FActiveColor; }
    void SetActiveColor(TColor v);
    TColor ActiveColorTo() const { return FActiveColorTo; }
    void SetActiveColorTo(TColor v);
    TFont* ActiveFont() const { return FActiveFont.get(); }
    void SetActiveFont(const TFont* v);
    // True hands the tabs to the classic raised look: no hover, close buttons or pictures.
    bool TabBorder3D() const { return FTabBorder3D; }
    void SetTabBorder3D(bool v);
    // Hover colours and outline (clNone: no hover drawing).
    TColor TabHoverColor() const { return FTabHoverColor; }
    void SetTabHoverColor(TColor v);
    TColor TabHoverColorTo() const { return FTabHoverColorTo; }
    void SetTabHoverColorTo(TColor v);
    TColor TabHoverBorder() const { return FTabHoverBorder; }
    void SetTabHoverBorder(TColor v);
    bool TabSheet3D() const { return FTabSheet3D; }
    void SetTabSheet3D(bool v);
    bool RoundEdges() const { return FRoundEdges; }
    void SetRoundEdges(bool v);
    // Tab pictures, stretched along the tabs; their bottom-left pixel is transparent. The
    // setters copy the picture; an empty one means none.
    TBitmap* TabBackGround() const { return FTabBackGround.get(); }
    void SetTabBackGround(const TBitmap* v);
    TBitmap* TabBackGroundActive() const { return FTabBackGroundActive.get(); }
    void SetTabBackGroundActive(const TBitmap* v);
    // Images of the tabs, by each sheet's ImageIndex.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v);
    // Picture of the close buttons; empty means the drawn box.
    TBitmap* CloseGlyph() const { return FCloseGlyph.get(); }
    void SetCloseGlyph(const TBitmap* v);
    // A closed sheet is destroyed instead of kept among the closed tabs.
    bool FreeOnClose() const { return FFreeOnClose; }
    void SetFreeOnClose(bool v) { FFreeOnClose = v; }
    // Reattaches the closed sheet of that component name; false when there is none.
    bool OpenClosedTab(const std::string& Name);
    void OpenAllClosedTabs();
    TColor TabBorderColor() const { return FTabBorderColor; }
    void SetTabBorderColor(TColor v);
    TColor TabSheetBorderColor() const { return FTabSheetBorderColor; }
    void SetTabSheetBorderColor(TColor v);
    TColor TabBackGroundColor() const { return FTabBackGroundColor; }
    void SetTabBackGroundColor(TColor v);
    bool TabSplitLine() const { return FTabSplitLine; }
    // Raises while TabStyle is tsDotNet.
    void SetTabSplitLine(bool v);
    TQorTabStyle TabStyle() const { return FTabStyle; }
    void SetTabStyle(TQorTabStyle v);
    int LowerActive() const { return FLowerActive; }
    void SetLowerActive(int v);
    TTabMargin* TabMargin() const { return FTabMargin.get(); }
    void SetTabMargin(const TTabMargin* v);
    int TabOverlap() const { return FTabOverlap; }
    void SetTabOverlap(int v);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool v);
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition v);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool v) { FMultiLine = v; }
    std::string Version() const { return "1.4.0.0"; }
    int VersionNr() const { return 0x1040000; }

    // A shown tab's rectangle in client coordinates; empty for a page without a shown tab.
    // Tabs are as long as the full caption in the font they are drawn with, plus the margins.
    TRect TabRect(const TQorTabSheet* Page) const;
    // The page whose tab holds the client point, or -1.
    int PageIndexAt(int X, int Y) const;
    // Where the pages go.
    TRect DisplayRect() const;
    // The 12 x 11 close box of a page's tab; empty without ShowClose or a shown tab.
    TRect CloseButtonRect(const TQorTabSheet* Page) const;
    // The page whose tab the mouse is over (with hover colours set), -1 for none.
    int HoverTab() const { return FHoverTab; }

    TNotifyEvent OnChange;
    TCanChangeEvent OnCanChange;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CMDialogKey(TWMKey& Message) override;
    void Resize() override;
    // Docking: a client docked to the control gets a sheet of its own, which goes when the
    // client leaves.
    void WndProc(TMessage& Message) override;
    void CMDockClient(TMessage& Message) override;
    void DoAddDockClient(TControl* Client, const TRect& ARect) override;
    void DoRemoveDockClient(TControl* Client) override;
    // A press on a docked client's tab starts dragging the client; a double click floats it.
    void WMLButtonDown(TWMMouse& Message) override;
    void WMLButtonDblClk(TWMMouse& Message) override;

private:
    friend class TQorTabSheet;
    void attach(TQorTabSheet* Page);
    void detach(TQorTabSheet* Page);
    void placePages();
    void changeActivePage(TQorTabSheet* Page);
    // Lengths across and along the tabs.
    int tabThickness() const;
    int tabLength(const TQorTabSheet* Page) const;
    void paintTab(TCanvas* C, TQorTabSheet* Page, int StripEnd);
    void paintClassicTab(TCanvas* C, TQorTabSheet* Page);
    void paintCloseButton(TCanvas* C, TQorTabSheet* Page);
    void paintSheetFrame(TCanvas* C, const TRect& Sheet);
    void closeActivePage();
    // The page of a client docked to this control, and the client docked on the tab at a
    // client point; nil when none.
    TQorTabSheet* pageOfDockClient(const TControl* Client) const;
    TControl* dockClientAt(int X, int Y) const;
    TQorTabSheet* FNewDockSheet = nullptr;
    TQorTabSheet* FUndockingPage = nullptr;
    // Hover drawing is on: hover colour set, owner drawing, no tab picture.
    bool hoverDrawn() const;
    // What the close box of the active tab shows.
    enum class TCloseState { Normal, Hot, Down };
    TCloseState FCloseState = TCloseState::Normal;
    bool FCloseMouseDown = false;
    int FHoverTab = -1;

    std::vector<TQorTabSheet*> FPages;
    TQorTabSheet* FActivePage = nullptr;
    TColor FDefaultTextColor = 0, FDefaultTabColor = clBtnFace, FDefaultTabColorTo = clNone;
    TColor FActiveColor = clBtnFace, FActiveColorTo = clNone;
    std::unique_ptr<TFont> FActiveFont;
    TColor FTabBorderColor = clGray, FTabSheetBorderColor = clGray;
    TColor FTabBackGroundColor = clBtnFace;
    bool FTabSplitLine = false, FShowFocus = false, FMultiLine = false;
    TQorTabStyle FTabStyle = tsClassic;
    int FLowerActive = 2, FTabOverlap = 0;
    std::unique_ptr<TTabMargin> FTabMargin;
    TTabPosition FTabPosition = tpTop;
    bool FTabBorder3D = false, FTabSheet3D = false, FRoundEdges = false, FFreeOnClose = false;
    TColor FTabHoverColor = clNone, FTabHoverColorTo = clNone, FTabHoverBorder = clNone;
    std::unique_ptr<TBitmap> FTabBackGround, FTabBackGroundActive, FCloseGlyph;
    TImageList* FImages = nullptr;
    // Closed sheets by component name, in closing order; reopening keeps the entries.
    std::vector<std::pair<std::string, TQorTabSheet*>> FClosedTabList;
};

// Fills R with Steps bands (0 counts as 1) from C1 to C2, left to right when Horizontal, else
// top to bottom; neighbouring bands overlap by one pixel.
void DrawGradientFill(TCanvas* Canvas, TColor C1, TColor C2, bool Horizontal, const TRect& R,
                      int Steps);
