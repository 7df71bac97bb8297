#pragma once
// The grid's rich edit: the hidden converter of rich-text cells and the in-place editor of
// edRichEdit cells. Its owner is the grid; it hands Tab (with goTabs) and Up and Down (unless
// cells wrap or hold several lines) back to the grid, and ends the edit when the grid takes
// the focus.
#include "platform/ui/RichEdit.h"

class TQorStringGrid;

class TQorRichEdit : public TRichEdit {
public:
    // The owner must be a TQorStringGrid (EInvalidCast otherwise).
    explicit TQorRichEdit(TComponent* AOwner);
    TQorStringGrid* Grid() const { return FGrid; }
    // The size the content last asked for while not locked.
    int ReqWidth() const { return FReqWidth; }
    int ReqHeight() const { return FReqHeight; }
    // While locked, size requests are not taken.
    void LockResize() { FLocked = true; }
    void UnlockResize() { FLocked = false; }
    // The selection's baseline: lowered, raised by 40 twips, or normal.
    void SelSubscript() { SetSelOffset(-40); }
    void SelSuperscript() { SetSelOffset(40); }
    void SelNormal() { SetSelOffset(0); }
    bool IsSelSubscript() const { return SelOffset() == -40; }
    bool IsSelSuperscript() const { return SelOffset() == 40; }
    bool IsSelNormal() const { return SelOffset() == 0; }
    void ReCreate() { RecreateWnd(); }

protected:
    void Dispatch(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void WMKillFocus(TWMKillFocus& Message) override;
    void RequestSize(const TRect& Rect) override;

private:
    TQorStringGrid* FGrid;
    int FReqWidth = 0;
    int FReqHeight = 0;
    bool FLocked = false;
};
