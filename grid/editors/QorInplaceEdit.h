#pragma once
// TQorInplaceEdit: the grid's text editor, laid exactly over the current cell for every text
// kind of editor (plain text and its filtered kinds). It filters what is typed and pasted by the
// cell's kind, hands the navigation keys to the grid, validates the text through the grid before
// the user leaves the cell, completes from the grid's look-up items and reports the end of each
// edit once.
#include "platform/ui/Grids.h"

#include <string>

class TQorStringGrid;

class TQorInplaceEdit : public TInplaceEdit {
public:
    explicit TQorInplaceEdit(TQorStringGrid* AGrid);

    // The text is right-aligned (a right-aligned cell).
    bool VAlign() const { return FValign; }
    void SetVAlign(bool v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { FWordWrap = v; }
    // Most characters the text may hold (0: no limit).
    int LengthLimit() const { return FLengthLimit; }
    void SetLengthLimit(int v) { FLengthLimit = v; }
    // Look-up completion after a key release: the text before the caret is completed from the
    // grid's look-up items, the completed part selected.
    void DoChange();
    void UpdateContents() override;
    // The cell being edited (display column, row).
    int EditCol() const { return FColE; }
    int EditRow() const { return FRowE; }

protected:
    void WndProc(TMessage& Message) override;
    void WMKeyDown(TWMKey& Message) override;
    void WMKeyUp(TWMKey& Message) override;
    void WMChar(TWMKey& Message) override;
    void WMSetFocus(TWMSetFocus& Message) override;
    void WMKillFocus(TWMKillFocus& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void CMWantSpecialKey(TWMKey& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DblClick() override;
    void Change() override;
    void BoundsChanged() override;

private:
    // The kind's filter for a typed character: false drops it (with a beep when Beep is set);
    // Key may come back converted.
    bool acceptChar(char32_t& Key, bool& Beep);
    // After a refused validation: the text the validation left, selected or with the caret at
    // its end, and the grid's edit reference back to the text of before.
    void refused(const std::string& OldCellText);
    void paste();
    // A walk out of the text by Left or Right (CursorWalkEditor); true when the key was taken.
    bool cursorWalk(WORD Key, TShiftState Shift);
    int length() const;
    TQorStringGrid* FGrid;
    int FSelKeyDown = 0;
    int FOldSelStart = 0;
    int FLengthLimit = 0;
    bool FValign = false;
    bool FWordWrap = false;
    bool GotKey = false;
    bool FGotFocus = false;
    bool Workmode = true;
    int FColE = -1;
    int FRowE = -1;
    bool FAltBack = false;
    // Enter was refused on key down; its character is dropped.
    bool FDropEnterChar = false;
};
