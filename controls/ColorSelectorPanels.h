#pragma once
// The colour panels of the colour picker's popup: the discrete palette of 60 boxes with shade
// columns, the honeycomb colour cube of 127 cells and the spectrum picture from which any pixel
// colour is taken. Each computes its own fixed size.
#include "controls/base/QorCustomDropDown.h"

#include <array>
#include <memory>

class TImage;

enum TItemPos { ipStandAlone, ipTop, ipMiddle, ipBottom };

class TColorBoxItem : public TCollectionItem {
public:
    explicit TColorBoxItem(TCollection* Collection) : TCollectionItem(Collection) {}
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // A disabled box can be neither chosen nor hot.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    // The box in panel coordinates, set by the layout.
    const TRect& Rect() const { return FRect; }
    void SetRect(const TRect& Value) { FRect = Value; }
    // Which frame lines the box draws in its column.
    TItemPos ColorBoxPos() const { return FColorBoxPos; }
    void SetColorBoxPos(TItemPos Value) { FColorBoxPos = Value; }
    void Assign(const TPersistent* Source) override;

private:
    TColor FColor = clNone;
    bool FEnabled = true;
    TRect FRect;
    TItemPos FColorBoxPos = ipStandAlone;
};

class TColorBoxItems : public TCollection {
public:
    TColorBoxItems() : TCollection([](TCollection* c) { return new TColorBoxItem(c); }) {}
    TColorBoxItem* Items(int Index) const {
        return static_cast<TColorBoxItem*>(TCollection::Items(Index));
    }
    TColorBoxItem* Add() { return static_cast<TColorBoxItem*>(TCollection::Add()); }
    TColorBoxItem* Insert(int Index) {
        return static_cast<TColorBoxItem*>(TCollection::Insert(Index));
    }
};

class TColorBoxAppearance : public TPersistent {
public:
    TColor BorderColor = TColor(0xC5C5C5);
    TColor OuterBorderColorHot = TColor(0x3694F2);
    TColor InnerBorderColorHot = TColor(0x94E2FF);
    TColor OuterBorderColorSelected = clRed;
    TColor InnerBorderColorSelected = TColor(0x94E2FF);
    void Assign(const TPersistent* Source) override;
};

// The discrete palette.
class TCustomColorSelector : public TCustomControl {
public:
    explicit TCustomColorSelector(TComponent* AOwner);
    ~TCustomColorSelector() override;

    // Choosing a box (the same one too) sets SelectedColor and fires OnItemSelect.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Index);
    int ItemHot() const { return FItemHot; }
    void SetItemHot(int Index);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    int ColumnGap() const { return FColumnGap; }
    void SetColumnGap(int Value);
    int ColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int Value);
    int ColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int Value);
    TColorBoxAppearance* ColorBoxAppearance() const { return FAppearance.get(); }
    void SetColorBoxAppearance(const TColorBoxAppearance* Value) { FAppearance->Assign(Value); }
    TColorBoxItems* Items() const { return FItems.get(); }
    void SetItems(const TColorBoxItems* Value) { FItems->Assign(Value); }
    TSelectionColorStyle ItemColorStyle() const { return FItemColorStyle; }
    // The named styles give the boxes their default look again; scCustom keeps it.
    void SetItemColorStyle(TSelectionColorStyle Value);
    // The first box of exactly this colour becomes chosen, or none.
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor Value);

    // The 60 boxes of the palette, row by row.
    void FillPalette();
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    // Page keys, Home, End and the arrows.
    void HandleKey(WORD Key, bool EditorEnabled, bool DroppedDown);

    virtual void DrawItem(int Index, TCanvas* Canvas);
    virtual TRect GetStartPos() const;
    virtual TSize GetItemSize() const;
    virtual void UpdateLayout();
    virtual void InvalidateItem(int Index);

    TNotifyEvent OnItemSelect;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    bool validIndex(int Index) const { return Index >= 0 && Index < FItems->Count(); }
    int itemAt(int X, int Y) const;
    int FItemIndex = -1;
    int FItemHot = -1;
    int FOffSetX = 4;
    int FOffSetY = 4;
    int FColumns = 10;
    int FColumnGap = 4;
    int FColorBoxHeight = 12;
    int FColorBoxWidth = 12;
    std::unique_ptr<TColorBoxAppearance> FAppearance;
    std::unique_ptr<TColorBoxItems> FItems;
    TSelectionColorStyle FItemColorStyle = scOffice2007;
    TColor FSelectedColor = clNone;
};

// The honeycomb of 127 hexagonal colour cells.
class TQorColorCubePanel : public TCustomControl {
public:
    struct Cell {
        int X = 0, Y = 0;
        TColor Color = clNone;
    };
    explicit TQorColorCubePanel(TComponent* AOwner);

    void BuildCells();
    // No hot cell; 182 x 160.
    void Reset();
    // The first cell (1 to 127) whose centre is within 6 pixels; -1 when none.
    int CellAt(int X, int Y) const;
    const Cell& Cells(int Index) const { return FCells[Index - 1]; }
    // Chooses the first cell of exactly this colour, or none.
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor Value);
    int SelectedIndex() const { return FSelectedIndex; }
    int HotIndex() const { return FHotIndex; }
    bool ShowRGBHint() const { return FShowRGBHint; }
    void SetShowRGBHint(bool Value);

    TNotifyEvent OnSelect;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

private:
    void drawCell(TCanvas* C, int Index);
    std::array<Cell, 127> FCells{};
    TPoint FCubeSize{6, 3};
    TColor FSelectedColor = clNone;
    int FSelectedIndex = -1;
    int FHotIndex = -1;
    bool FShowRGBHint = true;
};

// The screen cursor number of the eyedropper over the spectrum picture.
constexpr TCursor crEyedropper = 54;
// Its picture: a 32 x 32 black-and-white eyedropper whose tip, the hot spot, is at (1, 30).
constexpr TPoint EyedropperHotSpot{1, 30};
std::unique_ptr<TBitmap> MakeEyedropperBitmap();

// A hue and lightness picture: the pixel under the pointer is the hot colour, a click takes it.
class TQorColorSpectrumPanel : public TCustomControl {
public:
    explicit TQorColorSpectrumPanel(TComponent* AOwner);

    // 150 x 174, the picture centred at the top and two preview boxes below it.
    void LayoutPanel();
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor Value) { FSelectedColor = Value; }
    TColor HotColor() const { return FHotColor; }
    TImage* SpectrumImage() const { return FSpectrumImage; }

    TNotifyEvent OnSelect;

protected:
    void Paint() override;

private:
    void drawPreview(TCanvas* C, const TRect& R, TColor Colour);
    TImage* FSpectrumImage = nullptr;
    TColor FHotColor = clNone;
    TColor FSelectedColor = clWhite;
    TRect FHotRect;
    TRect FSelectedRect;
};

// The 128 x 128 spectrum: column x the hue 360 x / 128 degrees, row 0 almost white, the middle
// rows the saturated hue, the last row almost black.
std::unique_ptr<TBitmap> MakeSpectrumBitmap();
