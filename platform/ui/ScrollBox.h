#pragma once
// A windowed control that scrolls its children: window scroll bars show when the children reach
// past the client area (AutoScroll), and moving a bar moves every child by the same amount.
#include "platform/ui/StdCtrls.h"
#include "platform/ui/core/Controls.h"

class TScrollingWinControl;

enum TScrollBarKind { sbHorizontal, sbVertical };

// One scroll bar of a scrolling control: where the view stands in the content (Position, from 0)
// and how far the content reaches (Range, in pixels).
class TControlScrollBar {
public:
    TControlScrollBar(TScrollingWinControl* Control, TScrollBarKind Kind);
    TScrollBarKind Kind() const { return FKind; }
    // Scrolls the children; kept within 0 .. Range - the client size.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    // The content's extent: the farthest right (bottom) edge of the visible children, unscrolled.
    int Range() const { return FRange; }
    // Space kept between a control and the client edge when it is scrolled into view.
    int Margin() const { return FMargin; }
    void SetMargin(int Value) { FMargin = Value; }
    // The step of the bar's arrows.
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    // False: the bar never shows.
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // The bar shows on the window now.
    bool IsScrollBarVisible() const;

private:
    friend class TScrollingWinControl;
    int clientSize() const;
    int maxPosition() const;
    // Shows, hides and sets the window's bar from the range and the client size.
    void update();
    void scrollMessage(TWMScroll& Message);
    TScrollingWinControl* FControl;
    TScrollBarKind FKind;
    int FPosition = 0;
    int FRange = 0;
    int FMargin = 0;
    int FIncrement = 8;
    bool FVisible = true;
};

class TScrollingWinControl : public TWinControl {
public:
    explicit TScrollingWinControl(TComponent* AOwner);
    ~TScrollingWinControl() override;

    // The ranges follow the children (on every realign and size change).
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value);
    TControlScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
    TControlScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
    // Moves every child by (DeltaX, DeltaY).
    void ScrollBy(int DeltaX, int DeltaY);

protected:
    void CreateWnd() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void WMSize(TWMSize& Message) override;
    void Dispatch(TMessage& Message) override;
    // Takes the ranges from the children and sets both bars.
    void UpdateScrollBars();

private:
    std::unique_ptr<TControlScrollBar> FHorzScrollBar;
    std::unique_ptr<TControlScrollBar> FVertScrollBar;
    bool FAutoScroll = true;
    bool FUpdatingBars = false;
};

class TScrollBox : public TScrollingWinControl {
public:
    using TScrollingWinControl::TScrollingWinControl;
};

// The scroll bar control. Its native widget reports the user's actions to the parent as
// WM_VSCROLL or WM_HSCROLL with the bar's window in LParam; the parent hands them to the bar as
// CN_VSCROLL or CN_HSCROLL, which moves Position (SmallChange a line, LargeChange a page) after
// OnScroll may change the target.
using TScrollEvent = std::function<void(TObject* Sender, WORD ScrollCode, int& ScrollPos)>;

class TScrollBar : public TWinControl {
public:
    explicit TScrollBar(TComponent* AOwner);
    std::string PeerClassName() const override { return "SCROLLBAR"; }

    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    // Kept within Min .. Max - PageSize + 1 (at least Min).
    int Position() const { return FPosition; }
    void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
    void SetParams(int APosition, int AMin, int AMax);
    // The visible share of the range; 0 for none.
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value) { FSmallChange = Value; }
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value) { FLargeChange = Value; }
    // The highest position.
    int MaxPosition() const;

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

protected:
    void Dispatch(TMessage& Message) override;

private:
    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0;
    int FSmallChange = 1, FLargeChange = 1;
};
