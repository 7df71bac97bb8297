#pragma once
// TScrollControl: a thin painted scroll indicator that stands in for a grid's scroll bar
// (ScrollType ssMetro). Its parent is the grid; a press before or after the thumb scrolls a
// page, dragging the thumb scrolls with it.
#include "platform/ui/core/Controls.h"

class TQorStringGrid;

enum TScrollDirection { sdVertical, sdHorizontal };

class TScrollControl : public TCustomControl {
public:
    explicit TScrollControl(TComponent* AOwner);
    int ScrollWidth() const { return FScrollWidth; }
    void SetScrollWidth(int v);
    TScrollDirection Direction() const { return FDirection; }
    void SetDirection(TScrollDirection v);
    // The thumb along the control (start and size in pixels); size 0 when everything shows.
    void ThumbExtent(int& Start, int& Size);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TQorStringGrid* grid() const;
    // Along the direction: fixed cells, visible cells, cell count, first visible cell.
    struct Axis {
        // Footers: fixed footer rows at the end, which neither scroll nor take part of the track.
        int Fixed = 0, Visible = 0, Count = 0, First = 0, FixedSize = 0, Footers = 0,
            FooterSize = 0, FirstSize = 0;
    };
    Axis axis() const;
    int length() const;
    void scrollTo(int First);
    int FScrollWidth = 4;
    bool FDownOnScroller = false;
    int FDownPos = 0;
    int FDownRow = 0;
    TScrollDirection FDirection = sdVertical;
};
