#pragma once
// A drop-down edit whose popup is a read-only list of rows in several columns under a header.
// The text of one column of the chosen row, the lookup column, is the edit text. Typing in the
// edit completes from the lookup column; typing in the open list jumps to the first row that
// starts with what was typed. The list draws the items itself and holds no copies of them.
#include "controls/ColumnListDropDown.h"
#include "controls/DropDownGridInput.h"
#include "platform/ui/Grids.h"

#include <functional>
#include <memory>
#include <string>

class TQorMultiColumnDropDown;

// Row 0 is the header; row r > 0 shows item r - 1.
using TDropDownDrawItemEvent =
    std::function<void(TObject* Sender, int Column, int Row, TCanvas* ACanvas, TRect ARect)>;
using TGetCellTextEvent =
    std::function<void(TObject* Sender, int Column, int Row, std::string& Text)>;

namespace multi_column {

// The popup list: a string grid with one fixed row whose cells the drop-down draws.
class TQorColGrid : public TDropDownGridInput<TStringGrid> {
public:
    TQorColGrid(TComponent* AOwner, TQorMultiColumnDropDown* DropDown);
    ~TQorColGrid() override;

    TDropDownColumns* Columns() const { return FColumns.get(); }
    void SetColumns(const TDropDownColumns* v) { FColumns->Assign(v); }
    TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor v) { FHeaderColor = v; }
    TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(TColor v) { FHeaderColorTo = v; }
    TColor LineColor() const { return FLineColor; }
    void SetLineColor(TColor v) { FLineColor = v; }
    TColor FixedLineColor() const { return FFixedLineColor; }
    void SetFixedLineColor(TColor v) { FFixedLineColor = v; }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v);
    int HeaderHeight() const { return FHeaderHeight; }
    void SetHeaderHeight(int v) { FHeaderHeight = v; }
    TFont* HeaderFont() const { return FHeaderFont.get(); }
    void SetHeaderFont(const TFont* v) { FHeaderFont->Assign(v); }
    // The lines the list draws itself (the platform's own lines stay off).
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int v);

    // Takes the drop-down's columns, rows, looks and sizes.
    void LoadFromDropDown();
    // Enter, and a left button released on a data row.
    TNotifyEvent OnSelect;

protected:
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void doSelect();
    TQorMultiColumnDropDown* FQorDropDown;
    std::unique_ptr<TDropDownColumns> FColumns;
    TColor FHeaderColor = clWhite;
    TColor FHeaderColorTo = clGray;
    TColor FLineColor = clGray;
    TImageList* FImages = nullptr;
    int FHeaderHeight = 25;
    std::unique_ptr<TFont> FHeaderFont;
    TColor FFixedLineColor = clBlack;
    int FGridLineWidth = 1;
};

} // namespace multi_column

class TQorMultiColumnDropDown : public TColumnListDropDown {
public:
    explicit TQorMultiColumnDropDown(TComponent* AOwner);
    ~TQorMultiColumnDropDown() override;

    // The popup list (made with the popup).
    multi_column::TQorColGrid* List() const { return FQorColGrid; }

    TNotifyEvent OnSelect;
    // Draws every popup cell in place of the built-in drawing.
    TDropDownDrawItemEvent OnDropDownDrawItem;
    TGetCellTextEvent OnDropDownGetItemText;

protected:
    TCustomGrid* ListGrid() const override;
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoShowDropDown() override;
    void DoHideDropDown(bool Cancelled) override;
    void UpdateDropDownContent() override;
    void DropDownFormDestroyed() override;
    void ControlKeyDown(WORD& Key, TShiftState Shift) override;
    void ControlKeyUp(WORD& Key, TShiftState Shift) override;
    void ControlKeyPress(char32_t& Key) override;
    void Dispatch(TMessage& Message) override;

private:
    friend class multi_column::TQorColGrid;
    void drawCell(TCanvas* Canvas, int ACol, int ARow, TRect ARect);
    int findLookupItem(const std::string& Entry) const;
    void lookupKey(char32_t Key);
    void gridSelect();
    multi_column::TQorColGrid* FQorColGrid = nullptr;
    // Set while the popup opens: the list's row moves without choosing.
    bool FShowing = false;
};
