#pragma once
// The editors of form controls in cell markup: an edit box for EDIT, PASSWORD and MASK controls
// and a combo box for COMBO controls. A grid has one of each, hidden between edits; Enter ends
// the edit, Tab ends it and goes on to the next control of the cell.
#include "platform/ui/Mask.h"
#include "platform/ui/StdCtrls.h"

#include <string>

// A masked edit: a MASK control's PROP is its edit mask.
class TControlEdit : public TMaskEdit {
public:
    explicit TControlEdit(TComponent* AOwner);

protected:
    void CMWantSpecialKey(TWMKey& Message) override;
    void KeyPress(char32_t& Key) override;
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
