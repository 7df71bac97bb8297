#pragma once
// The editors of form controls in cell markup: an edit box for EDIT, PASSWORD and MASK controls
// and a combo box for COMBO controls. A grid has one of each, hidden between edits; Enter ends
// the edit, Tab ends it and goes on to the next control of the cell.
#include "platform/ui/StdCtrls.h"

#include <string>

class TControlEdit : public TEdit {
public:
    explicit TControlEdit(TComponent* AOwner);
    // A MASK control's mask; kept for it, not enforced (as the platform's in-place edit).
    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& v) { FEditMask = v; }

protected:
    void CMWantSpecialKey(TWMKey& Message) override;
    void KeyPress(char32_t& Key) override;

private:
    std::string FEditMask;
};

class TControlCombo : public TComboBox {
public:
    explicit TControlCombo(TComponent* AOwner);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v) { FFlat = v; }
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v) { FIsWinXP = v; }

protected:
    void CMWantSpecialKey(TWMKey& Message) override;
    void KeyPress(char32_t& Key) override;

private:
    bool FFlat = false;
    bool FIsWinXP = false;
};
