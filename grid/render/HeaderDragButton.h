#pragma once
// THeaderDragButton: the caption button that follows the pointer while a column (row) header is
// dragged to a new place: a bordered pop-up in the header colour showing the header's text.
#include "platform/ui/core/Controls.h"

class TQorStringGrid;

class THeaderDragButton : public TCustomControl {
public:
    explicit THeaderDragButton(TComponent* AOwner);
    TQorStringGrid* Grid() const { return FGrid; }
    void SetGrid(TQorStringGrid* v) { FGrid = v; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool v) { FFlat = v; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    TQorStringGrid* FGrid = nullptr;
    bool FFlat = false;
};
