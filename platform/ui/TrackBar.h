#pragma once
// The track bar: a thumb on a channel with tick marks, painted in the classic look. The arrow
// keys move it by LineSize, Page Up and Page Down by PageSize, Home and End to the ends; a press
// on the channel moves it a page towards the press, and the thumb follows a drag.
#include "platform/ui/core/Controls.h"

enum TTrackBarOrientation { trHorizontal, trVertical };

class TTrackBar : public TCustomControl {
public:
    explicit TTrackBar(TComponent* AOwner);
    ~TTrackBar() override;

    // A minimum above the maximum (a maximum below the minimum) is ignored.
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    // Kept within Min .. Max; every change fires OnChange.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    // Tick spacing; below 1 no ticks.
    int Frequency() const { return FFrequency; }
    void SetFrequency(int Value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value) { FPageSize = Value; }
    int LineSize() const { return FLineSize; }
    void SetLineSize(int Value) { FLineSize = Value; }
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation Value);

    // Where the thumb is, in client coordinates.
    TRect ThumbRect() const;
    // The channel the thumb runs on.
    TRect ChannelRect() const;
    // The position a point along the channel stands for.
    int PositionAt(TPoint P) const;

    TNotifyEvent OnChange;

protected:
    virtual void Changed();
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMGetDlgCode(TMessage& Message) override;

private:
    bool horizontal() const { return FOrientation == trHorizontal; }
    // The channel's first and last thumb centres along the bar.
    int trackStart() const;
    int trackEnd() const;
    int offsetOf(int Position) const;
    int FMin = 0;
    int FMax = 10;
    int FPosition = 0;
    int FFrequency = 1;
    int FPageSize = 2;
    int FLineSize = 1;
    TTrackBarOrientation FOrientation = trHorizontal;
    // The thumb is being dragged, held FGrip pixels from its centre.
    bool FDragging = false;
    int FGrip = 0;
};
