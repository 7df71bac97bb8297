#pragma once
// Small windows the grid makes for itself: a form that never takes the focus (drag images), a
// thin painted scroll indicator that can stand in for a scroll bar, and the caption button that
// follows the pointer while a column header is dragged.
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"

#include <string>

class TQorStringGrid;

class TNoActiveForm : public TForm {
public:
    explicit TNoActiveForm(TComponent* AOwner);
    // Shown with this opacity (a layered window) while AlphaBlend is on.
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool v);
    std::uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(std::uint8_t v);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;

private:
    void applyAlpha();
    bool FAlphaBlend = false;
    std::uint8_t FAlphaBlendValue = 255;
};

enum TScrollDirection { sdVertical, sdHorizontal };

// Rows (columns) along its direction; the grid is its parent.
class TScrollControl : public TCustomControl {
public:
    explicit TScrollControl(TComponent* AOwner);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    int ScrollWidth() const { return FScrollWidth; }
    void SetScrollWidth(int v) { FScrollWidth = v; }
    TScrollDirection Direction() const { return FDirection; }
    void SetDirection(TScrollDirection v) { FDirection = v; }

    struct Thumb {
        int Position = 0;
        int Size = 0;
        bool Shown = false;
    };
    // Where the thumb is (along the direction, in control pixels) and whether it shows.
    Thumb ThumbRect();

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    struct Metrics {
        int Count = 0, Fixed = 0, Footers = 0, First = 0, Visible = 0;
    };
    TQorStringGrid* grid() const;
    Metrics metrics();
    int length() const;
    int size(int Index);
    void scrollTo(int First);
    TColor FColor = clSilver;
    int FScrollWidth = 4;
    bool FDownOnScroller = false;
    int FDownPos = 0;
    int FDownRow = 0;
    TScrollDirection FDirection = sdVertical;
};

class THeaderDragButton : public TCustomControl {
public:
    explicit THeaderDragButton(TComponent* AOwner);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v) { FFlat = v; }
    TQorStringGrid* Grid() const { return FGrid; }
    void SetGrid(TQorStringGrid* v) { FGrid = v; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    TQorStringGrid* FGrid = nullptr;
    std::string FCaption;
    bool FFlat = false;
};
