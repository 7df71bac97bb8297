#pragma once
// What the multi-column and the grid drop-downs share: rows of items in columns shown in a grid
// in the popup, a lookup column whose text is the edit text, completion of typed text from the
// lookup column, item stepping by keys and the wheel, a popup that shows whole rows, columns
// scaled to the popup, and the header, line and selection colours of the colour styles.
#include "controls/DropDownColumns.h"
#include "controls/base/QorCustomDropDown.h"

#include <memory>
#include <string>
#include <vector>

class TCustomGrid;

// Whether every data row of a list fits its height.
bool AllRowsVisible(TCustomGrid& List);
// Border, column widths and, when not all rows fit, the vertical scroll bar.
int TotalWidth(TCustomGrid& List);

class TColumnListDropDown : public TQorCustomDropDown {
public:
    explicit TColumnListDropDown(TComponent* AOwner);
    ~TColumnListDropDown() override;

    // The shared settings of another column list drop-down, after the base's.
    void Assign(const TPersistent* Source) override;
    void Loaded() override;

    // The user may size the popup's columns.
    bool ColumnSizing() const { return FColumnSizing; }
    void SetColumnSizing(bool v) { FColumnSizing = v; }
    // Below 0: no lookup column.
    int LookupColumn() const { return FLookupColumn; }
    void SetLookupColumn(int v) { FLookupColumn = v; }
    TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor v) { FHeaderColor = v; }
    TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(TColor v) { FHeaderColorTo = v; }
    TColor LineColor() const { return FLineColor; }
    void SetLineColor(TColor v) { FLineColor = v; }
    TColor FixedLineColor() const { return FFixedLineColor; }
    void SetFixedLineColor(TColor v) { FFixedLineColor = v; }
    // Made by CreateItems at the first need.
    TDropDownItems* Items() const;
    void SetItems(const TDropDownItems* v) { Items()->Assign(v); }
    TDropDownColumns* Columns() const { return FColumns.get(); }
    void SetColumns(const TDropDownColumns* v) { FColumns->Assign(v); }
    int ItemIndex() const { return FItemIndex; }
    // A value at or above the item count is ignored; a negative one empties the text.
    virtual void SetItemIndex(int Value);
    int HeaderHeight() const { return FHeaderHeight; }
    void SetHeaderHeight(int v) { FHeaderHeight = v; }
    TFont* HeaderFont() const { return FHeaderFont.get(); }
    void SetHeaderFont(const TFont* v) { FHeaderFont->Assign(v); }
    // Completion in the edit compares case-sensitively.
    bool MatchCase() const { return FMatchCase; }
    void SetMatchCase(bool v) { FMatchCase = v; }
    // The popup is as wide as its columns.
    bool DropDownAutoWidth() const { return FDropDownAutoWidth; }
    void SetDropDownAutoWidth(bool v) { FDropDownAutoWidth = v; }
    // The popup's columns are scaled to its width.
    bool ColumnSizeWithDropDown() const { return FColumnSizeWithDropDown; }
    void SetColumnSizeWithDropDown(bool v) { FColumnSizeWithDropDown = v; }
    TColor SelectionTextColor() const { return FSelectionTextColor; }
    void SetSelectionTextColor(TColor v) { FSelectionTextColor = v; }
    // At least 1: a smaller value counts as 1.
    int DropDownRowHeight() const { return FDropDownRowHeight; }
    void SetDropDownRowHeight(int v);
    // The search in the open popup compares case-sensitively.
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool v) { FCaseSensitive = v; }
    int RowCount() const { return Items()->Count(); }
    // The first item whose lookup string equals Value exactly; -1 when none.
    int GetItemIndex(const std::string& Value) const;

    void BeginUpdate() {}
    // Completion knows the items' lookup strings from here on.
    void EndUpdate() { rebuildLookupItems(); }

    void SelectFirstItem();
    void SelectLastItem();
    void SelectNextItem();
    void SelectPreviousItem();
    void SelectItemPageDown();
    void SelectItemPageUp();

    void SetComponentStyle(TQorStyle AStyle) override;

protected:
    // Descendants may keep items of their own class.
    virtual std::unique_ptr<TDropDownItems> CreateItems(TPersistent* AOwner) {
        return std::make_unique<TDropDownItems>(AOwner);
    }
    // The grid in the popup (nullptr before it exists).
    virtual TCustomGrid* ListGrid() const = 0;
    // The entries the steps move over.
    virtual int ListCount() const { return Items()->Count(); }
    // The item's lookup-column string; empty without one.
    std::string lookupText(int Item) const;
    // Scales the list's columns to the popup's width.
    void SizeColumnsToDropDown();
    // Sets a list column's width (and the column's own) to the widest of its items.
    void AutoSizeColumn(TCustomGrid& List, int Index, const TDropDownColumns& ListColumns);
    // Rows with wrapped columns get the height of their highest cell.
    void WordWrapRowHeights(TCustomGrid& List, const TDropDownColumns& ListColumns);
    // Remembers the index and the text the popup opened with: a cancelled popup goes back to
    // them.
    void RememberOpening();
    // Steps the items for a key the closed edit got: ToEnds lets End and Home step.
    void StepForKey(WORD Key, bool ToEnds);

    void SetSelectionColorStyle(TSelectionColorStyle Value) override;
    void AdjustDropDownHeight(int& AHeight) override;
    void UpdateDropDownSize() override;
    void DropDownSizing() override { SizeColumnsToDropDown(); }
    // The wheel over the popup steps the items, but over the list it only moves the list.
    void DropDownMouseWheelDown(TShiftState Shift, TPoint MousePos, bool& Handled) override;
    void DropDownMouseWheelUp(TShiftState Shift, TPoint MousePos, bool& Handled) override;
    void HandleMouseWheelDown() override { SelectNextItem(); }
    void HandleMouseWheelUp() override { SelectPreviousItem(); }
    void DoEnter() override;
    void Change() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;

    int FItemIndex = -1;
    int FOldItemIndex = -1;
    // The text typed so far while the popup has the focus.
    std::string FLookupEntry;

private:
    void rebuildLookupItems();
    bool overList(TPoint ScreenPos) const;
    bool FColumnSizing = false;
    int FLookupColumn = 0;
    TColor FHeaderColorTo = clGray;
    TColor FHeaderColor = clWhite;
    TColor FLineColor = TColor(0xF1EDEB);
    mutable std::unique_ptr<TDropDownItems> FItems;
    std::unique_ptr<TDropDownColumns> FColumns;
    int FHeaderHeight = 25;
    std::unique_ptr<TFont> FHeaderFont;
    TColor FFixedLineColor = TColor(0xD1BBA4);
    // Completion runs for the change the last key down makes (not for Backspace, Escape and
    // Delete).
    bool FWorkMode = true;
    // The text when the edit took the focus: Modified tells a change from it.
    std::string FOldValue;
    // The items' lookup strings as EndUpdate found them.
    std::vector<std::string> FLookupItems;
    bool FMatchCase = false;
    // A completion of the last change, taken at the key up.
    bool FItemChange = false;
    int FItemIdx = 0;
    int FItemSel = 0;
    bool FDropDownAutoWidth = true;
    bool FColumnSizeWithDropDown = true;
    TColor FSelectionTextColor = clBlack;
    int FDropDownRowHeight = 22;
    bool FCaseSensitive = false;
};
