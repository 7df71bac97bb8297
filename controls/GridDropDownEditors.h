#pragma once
// The grid's drop-down cell editors: one drop-down edit of the family per editor kind, bound to
// its grid. Each hands the keys that end an edit back to the grid after validating the cell,
// reports its text changes to the grid's OnEditChange and ends the edit when it loses the focus;
// the grid makes it on first use, opens it over the cell with the cell's value and writes its
// value back when the edit ends.
//
//   TGridTrackbarDropDown      edTrackbarDropDown      TrackbarDropDown
//   TGridMemoDropDown          edMemoDropDown          MemoDropDown
//   TGridCalculatorDropDown    edCalculatorDropDown    CalculatorDropDown
//   TGridTimepickerDropDown    edTimePickerDropDown    TimePickerDropDown
//   TGridDetailPickerDropDown  edDetailDropDown        DetailPickerDropDown
//   TGridGridDropDown          edGridDropDown          GridDropDown
//   TGridColorDropDown         edColorPickerDropDown   ColorPickerDropDown
//   TGridImageDropDown         edImagePickerDropDown   ImagePickerDropDown
//   TGridQorGridDropDown       edQorGridDropDown       QorGridDropDown
#include "controls/GridDropDownEditorsSetUp.h"
#include "controls/QorCalculatorDropDown.h"
#include "controls/QorColorPickerDropDown.h"
#include "controls/QorDetailDropDown.h"
#include "controls/QorGridDropDown.h"
#include "controls/QorImagePickerDropDown.h"
#include "controls/QorMemoDropDown.h"
#include "controls/QorMultiColumnDropDown.h"
#include "controls/QorTimePickerDropDown.h"
#include "controls/QorTrackBarDropDown.h"
#include "grid/core/QorStringGrid.h"
#include "grid/editors/DropDownCellEditor.h"

#include <string>

// What the editors share: the grid, the keys that end an edit, the change report and the end of
// the edit when the focus leaves. Base is the drop-down edit of the kind.
template <class Base> class TGridDropDownEditor : public Base, public TDropDownCellEditor {
public:
    // The owner must be a TQorStringGrid (EInvalidCast otherwise).
    explicit TGridDropDownEditor(TComponent* AOwner);
    TQorStringGrid* FGrid;

    TWinControl* EditorControl() override { return this; }
    void TakeGridLooks(const THeaderAppearance* Header, const TFooterAppearance* Footer,
                       TQorStyle Style) override;
    void DropDown() override { this->ShowDropDown(); }
    void StoreCellValue(int ACol, int ARow) override;

protected:
    // The kind's differences from the family.
    // The keys that end the edit (Alt+Down never does: it opens the popup).
    virtual bool IsNavigationKey(WORD Key, TShiftState Shift) const;
    // Whether the key, a navigation key, validates the cell before the edit ends.
    virtual bool ValidatesOnKey(WORD Key) const;
    // Writes Value as the edit's text in the key handling.
    virtual void PutText(const std::string& Value) { this->SetEditText(Value); }
    // Runs before an Enter validates.
    virtual void BeforeEnter() {}
    // Enter and Escape are claimed as the editor's own keys.
    virtual bool ClaimsEnterAndEscape() const { return false; }
    // A click that opened the editor puts the caret under the pointer.
    virtual bool CaretAtClick() const { return false; }
    // The editor's value into the cell (real column ACol, row ARow), the popup closed.
    virtual void StoreValue(int ACol, int ARow) = 0;

    void CMWantSpecialKey(TWMKey& Message) override;
    // A navigation key is handled before any key handling of the kind sees it (a pick-only
    // edit passes no other key than Enter and Escape to its key-down hook). A typed character
    // goes to the grid's OnKeyPress first; Enter, Escape and Tab type nothing.
    void Dispatch(TMessage& Message) override;
    void Change() override;
    void DoExit() override;

private:
    // Ends the edit for a navigation key; Key comes back 0 when the key was used up.
    void navigationKey(WORD& Key, TShiftState Shift);
};

// Made in GridDropDownEditors.cpp.
extern template class TGridDropDownEditor<TQorTrackBarDropDown>;
extern template class TGridDropDownEditor<TQorMemoDropDown>;
extern template class TGridDropDownEditor<TQorCalculatorDropdown>;
extern template class TGridDropDownEditor<TQorTimePickerDropDown>;
extern template class TGridDropDownEditor<TQorDetailDropDown>;
extern template class TGridDropDownEditor<TQorColorPickerDropDown>;
extern template class TGridDropDownEditor<TQorImagePickerDropDown>;
extern template class TGridDropDownEditor<TQorMultiColumnDropDown>;
extern template class TGridDropDownEditor<TCustomQorGridDropDown>;

class TGridTrackbarDropDown : public TGridDropDownEditor<TQorTrackBarDropDown> {
public:
    explicit TGridTrackbarDropDown(TComponent* AOwner);

protected:
    void PutText(const std::string& Value) override { SetText(Value); }
    bool ClaimsEnterAndEscape() const override { return true; }
    bool CaretAtClick() const override { return true; }
    void LoadCellValue(int ACol, int ARow, const std::string& EditText) override;
    void StoreValue(int ACol, int ARow) override;
};

class TGridMemoDropDown : public TGridDropDownEditor<TQorMemoDropDown> {
public:
    explicit TGridMemoDropDown(TComponent* AOwner);
    void EditorShown() override;

protected:
    bool CaretAtClick() const override { return true; }
    void LoadCellValue(int ACol, int ARow, const std::string& EditText) override;
    void StoreValue(int ACol, int ARow) override;
};

class TGridCalculatorDropDown : public TGridDropDownEditor<TQorCalculatorDropdown> {
public:
    explicit TGridCalculatorDropDown(TComponent* AOwner);

protected:
    // A pending calculation is completed first.
    void BeforeEnter() override;
    bool CaretAtClick() const override { return true; }
    void LoadCellValue(int ACol, int ARow, const std::string& EditText) override;
    void StoreValue(int ACol, int ARow) override;
};

class TGridTimepickerDropDown : public TGridDropDownEditor<TQorTimePickerDropDown> {
public:
    explicit TGridTimepickerDropDown(TComponent* AOwner);

protected:
    void LoadCellValue(int ACol, int ARow, const std::string& EditText) override;
    void StoreValue(int ACol, int ARow) override;
};

class TGridDetailPickerDropDown : public TGridDropDownEditor<TQorDetailDropDown> {
public:
    explicit TGridDetailPickerDropDown(TComponent* AOwner);

protected:
    void LoadCellValue(int ACol, int ARow, const std::string& EditText) override;
    void StoreValue(int ACol, int ARow) override;
};

class TGridColorDropDown : public TGridDropDownEditor<TQorColorPickerDropDown> {
public:
    explicit TGridColorDropDown(TComponent* AOwner);

protected:
    // Tab, Enter and Escape while the popup is open; else the family's keys and Home. Only Enter
    // validates.
    bool IsNavigationKey(WORD Key, TShiftState Shift) const override;
    bool ValidatesOnKey(WORD Key) const override { return Key == VK_RETURN; }
    bool ClaimsEnterAndEscape() const override { return true; }
    // The cell's shape colour (a shape cell) or background colour, and back.
    void LoadCellValue(int ACol, int ARow, const std::string& EditText) override;
    void StoreValue(int ACol, int ARow) override;

private:
    // The cell's colour is being loaded: no choice to report.
    bool FLoading = false;
};

class TGridImageDropDown : public TGridDropDownEditor<TQorImagePickerDropDown> {
public:
    explicit TGridImageDropDown(TComponent* AOwner);

protected:
    // The image index of an image-list cell or the number of a data-image cell, and back.
    void LoadCellValue(int ACol, int ARow, const std::string& EditText) override;
    void StoreValue(int ACol, int ARow) override;

private:
    // The cell's image is being loaded: no choice to report.
    bool FLoading = false;
};

class TGridGridDropDown : public TGridDropDownEditor<TQorMultiColumnDropDown> {
public:
    explicit TGridGridDropDown(TComponent* AOwner);

protected:
    // The cell's colour and an editable edit, then the lookup rebuilt after the event.
    void BeforeEditorProp(TColor CellColor) override;
    void AfterEditorProp() override;
    // The item whose lookup text is the cell's text (the first one for an empty text).
    void LoadCellValue(int ACol, int ARow, const std::string& EditText) override;
    void StoreValue(int ACol, int ARow) override;
};

class TGridQorGridDropDown : public TGridDropDownEditor<TCustomQorGridDropDown> {
public:
    explicit TGridQorGridDropDown(TComponent* AOwner);
    // The string grid of the popup.
    grid_drop_down::TQorColGrid* Grid() const { return GetGrid(); }

protected:
    void BeforeEditorProp(TColor CellColor) override;
    void AfterEditorProp() override;
    // With UseItems, the item whose lookup text is the cell's text (the first one for an empty
    // text); the popup grid always shows its header row.
    void LoadCellValue(int ACol, int ARow, const std::string& EditText) override;
    void StoreValue(int ACol, int ARow) override;
};
