#pragma once
// A drop-down edit for an integer whose popup holds a track bar. The text cannot be typed: the
// track bar, the Up and Down keys and a drag over the edit change the value.
#include "controls/base/QorCustomDropDown.h"

class TTrackBar;

class TQorTrackBarDropDown : public TQorCustomDropDown {
public:
    explicit TQorTrackBarDropDown(TComponent* AOwner);
    ~TQorTrackBarDropDown() override;

    // Min, Max and Position take back the track bar's own value: it keeps its position within
    // its range and refuses a minimum above its maximum or a maximum below its minimum.
    int Min() const { return FMin; }
    void SetMin(int Value);
    // The bar's tick spacing and the step of the Up and Down keys.
    int Frequency() const { return FFrequency; }
    void SetFrequency(int Value);
    // The bar's page step and the pixels a drag over the edit needs for one step.
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    // The track bar in the popup.
    TTrackBar* TrackBar() const { return FTrackBar; }

    // After the track bar changed the value.
    TNotifyEvent OnTrackChange;

protected:
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void Change() override;
    void Dispatch(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void trackChange();
    int FMin = 0;
    int FFrequency = 1;
    int FPageSize = 2;
    int FMax = 10;
    int FPosition = 0;
    TTrackBar* FTrackBar = nullptr;
    int FLastX = 0;
    bool FDragging = false;
};
