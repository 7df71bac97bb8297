#pragma once
// The input rules the popup grids of the multi-column and grid drop-downs share: a key or a
// press makes the current row a choice to take when the popup closes, the wheel moves the row
// without choosing it, Alt+Up and Alt+Down go to the drop-down edit (which closes the popup),
// and the grid wants the arrow keys and Tab but does nothing with Tab.
#include "platform/ui/Grids.h"

template <class Grid> class TDropDownGridInput : public Grid {
public:
    using Grid::Grid;

    // The current row was chosen by a key or the mouse (not reached by the wheel).
    bool ConfirmSelection() const { return FConfirmSelection; }
    void SetConfirmSelection(bool v) { FConfirmSelection = v; }
    // Set while the wheel moves the row.
    bool MouseWheelSelection() const { return FMouseWheelSelection; }

protected:
    // Marks the key's row a choice; true when the key was Alt+Up or Alt+Down and went to Edit.
    bool ForwardAltArrow(TWinControl* Edit, WORD& Key, TShiftState Shift) {
        FConfirmSelection = true;
        if (!Shift.Contains(ssAlt) || (Key != VK_UP && Key != VK_DOWN)) return false;
        SendMessage(Edit->Handle(), WM_KEYDOWN, Key, AltMask);
        Key = 0;
        return true;
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        FConfirmSelection = true;
        Grid::MouseDown(Button, Shift, X, Y);
    }
    void WndProc(TMessage& Message) override {
        if (Message.Msg != WM_MOUSEWHEEL) return Grid::WndProc(Message);
        FMouseWheelSelection = true;
        FConfirmSelection = false;
        try {
            Grid::WndProc(Message);
        } catch (...) {
            FMouseWheelSelection = false;
            throw;
        }
        FMouseWheelSelection = false;
    }
    void WMGetDlgCode(TMessage& Message) override {
        Message.Result = DLGC_WANTARROWS | DLGC_WANTTAB;
    }
    void Dispatch(TMessage& Message) override {
        if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_TAB) return;
        Grid::Dispatch(Message);
    }

private:
    bool FConfirmSelection = false;
    bool FMouseWheelSelection = false;
};
