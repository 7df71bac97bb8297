#include "grid/editors/ControlEditors.h"

#include "grid/core/QorStringGrid.h"

namespace {
// Enter and Tab typed into a control editor of a grid end the edit there.
bool gridKey(TWinControl* editor, char32_t& Key) {
    auto* grid = dynamic_cast<TQorStringGrid*>(editor->Parent());
    if (!grid || (Key != '\r' && Key != '\t')) return false;
    const bool tab = Key == '\t';
    Key = 0;
    grid->CellControlKey(tab);
    return true;
}
} // namespace

TControlEdit::TControlEdit(TComponent* AOwner) : TMaskEdit(AOwner) {
    SetVisible(false);
}

void TControlEdit::CMWantSpecialKey(TWMKey& Message) {
    if (Message.CharCode() == VK_TAB) {
        Message.M.Result = 1;
        return;
    }
    // Enter is left to the dialog, which may take it.
    if (Message.CharCode() == VK_RETURN) {
        Message.M.Result = 0;
        return;
    }
    TMaskEdit::CMWantSpecialKey(Message);
}

void TControlEdit::KeyPress(char32_t& Key) {
    if (gridKey(this, Key)) return;
    TMaskEdit::KeyPress(Key);
}

TControlCombo::TControlCombo(TComponent* AOwner) : TComboBox(AOwner) {
    SetVisible(false);
}

void TControlCombo::CMWantSpecialKey(TWMKey& Message) {
    if (Message.CharCode() == VK_TAB) {
        Message.M.Result = 1;
        return;
    }
    TComboBox::CMWantSpecialKey(Message);
}

void TControlCombo::KeyPress(char32_t& Key) {
    if (gridKey(this, Key)) return;
    TComboBox::KeyPress(Key);
}
