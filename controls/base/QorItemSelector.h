#pragma once
// The item selector of the list popups: a scrolling container (TQorCustomItemSelector) holding
// the items, their look and the settings, and inside it a panel (TCustomItemSelector) that lays
// the items out in rows of Columns equal cells, paints them and follows the pointer. An item
// shows a caption (which may carry markup) and a colour box or a picture; one item can be hot
// (under the pointer or moved to by keys) and one selected, both drawn in the look's gradients.
#include "controls/base/QorCustomDropDown.h"
#include "platform/gfx/Imaging.h"
#include "platform/ui/ScrollBox.h"

#include <functional>
#include <memory>
#include <string>

class TQorCustomItemSelector;

enum TSelectorType { stImage, stColor };
// Where a caption stands beside the item's colour box or picture.
enum TItemLayout { ilCaptionLeft, ilCaptionRight, ilCaptionTop, ilCaptionBottom };

// Replaces the drawing of an item's content (after its background).
using TSelectorDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* Canvas, TRect R, int Index)>;
// Replaces the computation of the one size of every cell.
using TItemSizeEvent = std::function<void(TObject* Sender, TSize& ASize)>;

class TSelectorItem : public TCollectionItem {
public:
    explicit TSelectorItem(TCollection* Collection);
    ~TSelectorItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // A disabled item can be neither selected nor hot.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // Drawn instead of the image-list image when it holds a graphic.
    TPicture* Image() const { return FImage.get(); }
    void SetImage(const TPicture* Value) { FImage->Assign(Value); }
    // The item's cell in the panel, set by the layout.
    const TRect& Rect() const { return FRect; }
    void SetRect(const TRect& Value) { FRect = Value; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }

    void Assign(const TPersistent* Source) override;

private:
    std::string FCaption;
    int FImageIndex = -1;
    bool FEnabled = true;
    TColor FColor = clNone;
    std::unique_ptr<TPicture> FImage;
    TRect FRect;
    std::string FHint;
};

class TSelectorItems : public TCollection {
public:
    explicit TSelectorItems(TPersistent* AOwner);
    TPersistent* Owner() const { return FMyOwner; }
    TSelectorItem* Items(int Index) const {
        return static_cast<TSelectorItem*>(TCollection::Items(Index));
    }
    TSelectorItem* Add() { return static_cast<TSelectorItem*>(TCollection::Add()); }
    TSelectorItem* Insert(int Index) {
        return static_cast<TSelectorItem*>(TCollection::Insert(Index));
    }
    // An item or the list changed.
    TNotifyEvent OnChange;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TPersistent* FMyOwner;
};

// The colours and font of hot and selected items.
class TItemAppearance : public TPersistent {
public:
    explicit TItemAppearance(TPersistent* AOwner);
    ~TItemAppearance() override;

    TPersistent* Owner() const { return FOwner; }
    TColor ColorMirrorHotTo() const { return FColorMirrorHotTo; }
    void SetColorMirrorHotTo(TColor v) { set(FColorMirrorHotTo, v); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { set(FBorderColor, v); }
    TColor ColorMirrorHot() const { return FColorMirrorHot; }
    void SetColorMirrorHot(TColor v) { set(FColorMirrorHot, v); }
    TColor ColorSelectedTo() const { return FColorSelectedTo; }
    void SetColorSelectedTo(TColor v) { set(FColorSelectedTo, v); }
    TColor ColorSelected() const { return FColorSelected; }
    void SetColorSelected(TColor v) { set(FColorSelected, v); }
    TColor EdgeColor() const { return FEdgeColor; }
    void SetEdgeColor(TColor v) { set(FEdgeColor, v); }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor v) { set(FColorHotTo, v); }
    TColor BorderColorBottom() const { return FBorderColorBottom; }
    void SetBorderColorBottom(TColor v) { set(FBorderColorBottom, v); }
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor v) { set(FColorHot, v); }
    TColor BorderColorTop() const { return FBorderColorTop; }
    void SetBorderColorTop(TColor v) { set(FBorderColorTop, v); }
    TColor ColorMirrorSelectedTo() const { return FColorMirrorSelectedTo; }
    void SetColorMirrorSelectedTo(TColor v) { set(FColorMirrorSelectedTo, v); }
    TColor ColorMirrorSelected() const { return FColorMirrorSelected; }
    void SetColorMirrorSelected(TColor v) { set(FColorMirrorSelected, v); }
    TColor ColorSelectedText() const { return FColorSelectedText; }
    void SetColorSelectedText(TColor v) { set(FColorSelectedText, v); }
    TColor ColorHotText() const { return FColorHotText; }
    void SetColorHotText(TColor v) { set(FColorHotText, v); }
    TColor BorderColorHot() const { return FBorderColorHot; }
    void SetBorderColorHot(TColor v) { set(FBorderColorHot, v); }
    TColor BorderColorSelected() const { return FBorderColorSelected; }
    void SetBorderColorSelected(TColor v) { set(FBorderColorSelected, v); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* v);
    TSelectionColorStyle ColorStyle() const { return FColorStyle; }
    // Nothing when unchanged; a named style writes its preset, scCustom keeps the colours.
    void SetColorStyle(TSelectionColorStyle Style);

    // From another look: its colours and font, then its colour style (whose preset wins when
    // the style changes), then the text and hot and selected border colours.
    void Assign(const TPersistent* Source) override;

    // A colour or the font changed.
    TNotifyEvent OnChange;

private:
    void set(TColor& field, TColor v);
    TPersistent* FOwner;
    TColor FColorMirrorHotTo = clNone;
    TColor FBorderColor = clNone;
    TColor FColorMirrorHot = clNone;
    TColor FColorSelectedTo = clNone;
    TColor FColorSelected = clNone;
    TColor FEdgeColor = clNone;
    TColor FColorHotTo = clNone;
    TColor FBorderColorBottom = clNone;
    TColor FColorHot = clNone;
    TColor FBorderColorTop = clNone;
    TColor FColorMirrorSelectedTo = clNone;
    TColor FColorMirrorSelected = clNone;
    TColor FColorSelectedText = clBlack;
    TColor FColorHotText = clBlack;
    TSelectionColorStyle FColorStyle = scCustom;
    std::unique_ptr<TFont> FFont;
    TColor FBorderColorHot = clNone;
    TColor FBorderColorSelected = clNone;
};

// The panel inside the container; it reads its items, settings and look from the container.
class TCustomItemSelector : public TCustomControl {
public:
    // Raises "Invalid parent" unless AOwner is a TQorCustomItemSelector.
    explicit TCustomItemSelector(TComponent* AOwner);
    ~TCustomItemSelector() override;

    TQorCustomItemSelector* QorItemSelector() const { return FQorItemSelector; }
    int Columns() const;
    TSelectorItems* Items() const;
    TSelectorType SelectorType() const;
    TItemLayout ItemLayout() const;
    TImageList* Images() const;
    TSelectionColorStyle ItemColorStyle() const;
    TColor ItemColorHot() const;
    TColor ItemColorHotTo() const;
    TColor ItemColorSelected() const;
    TColor ItemColorSelectedTo() const;
    int ColorBoxHeight() const;
    int ColorBoxWidth() const;

    // Selecting a disabled item is ignored; every selection (the same one too) fires
    // OnItemSelect.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int ItemHot() const { return FItemHot; }
    void SetItemHot(int Index);
    // Steps stop at either end and onto a disabled item.
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    // Selects the first item whose plain caption, trimmed and upper-cased, starts with S.
    bool LookupItem(const std::string& S);
    // The first item whose cell holds the point; -1 when none.
    int ItemAtPos(int X, int Y) const;

    virtual void DrawItem(int Index, TCanvas* ACanvas);
    // The client rectangle less the margin around the cells.
    virtual TRect GetStartPos() const;
    // The one size of every cell.
    virtual TSize GetItemSize();
    virtual void InvalidateItem(int Index);
    // Lays the cells out and sizes the panel to them.
    virtual void UpdateLayout();

    TNotifyEvent OnItemSelect;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    bool validIndex(int Index) const;
    bool enabledItem(int Index) const;
    // The content (colour box or picture) size of one item; 0 x 0 without one.
    TSize contentSize(const TSelectorItem& Item) const;
    // Draws the colour box or picture of Item with its top-left corner at (X, Y).
    void drawContent(TCanvas* C, const TSelectorItem& Item, int X, int Y, TSize Size);
    TItemAppearance* look() const;
    int FItemIndex = -1;
    int FItemHot = -1;
    int FOffSetX = 2;
    int FOffSetY = 2;
    int FItemOffSetX = 4;
    int FItemOffSetY = 4;
    int FCaptionGap = 4;
    TQorCustomItemSelector* FQorItemSelector = nullptr;
};

class TQorCustomItemSelector : public TScrollingWinControl {
public:
    explicit TQorCustomItemSelector(TComponent* AOwner);
    ~TQorCustomItemSelector() override;

    TSelectorItems* Items() const { return FItems.get(); }
    void SetItems(const TSelectorItems* Value) { FItems->Assign(Value); }
    TSelectorType SelectorType() const { return FSelectorType; }
    void SetSelectorType(TSelectorType Value);
    // Used by the next layout or paint.
    TItemLayout ItemLayout() const { return FItemLayout; }
    void SetItemLayout(TItemLayout Value) { FItemLayout = Value; }
    // Values below 1 are refused.
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    int ColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int Value);
    int ColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int Value);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    TItemAppearance* ItemAppearance() const { return FItemAppearance.get(); }
    void SetItemAppearance(const TItemAppearance* Value) { FItemAppearance->Assign(Value); }
    TCustomItemSelector* SelectorPanel() const { return FSelectorPanel; }

    // -1 without a panel.
    int ItemIndex() const;
    // The panel's, then the item is scrolled into view.
    void SetItemIndex(int Value);
    int ItemHot() const;
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    // Does not scroll.
    bool LookupItem(const std::string& S);
    void UpdateSelectorPanel();
    void ScrollItemInView(int Index);
    // Whole items that fit the height, times the columns.
    int GetVisibleItemCount() const;
    // (100, 50) without a panel.
    TSize GetPanelSize() const;

    // Fired (Sender: the container) whenever the panel selects an item.
    TNotifyEvent OnItemSelect;
    TSelectorDrawItemEvent OnDrawItem;
    TItemSizeEvent OnItemSize;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Dispatch(TMessage& Message) override;

private:
    void relayout();
    std::unique_ptr<TSelectorItems> FItems;
    TSelectorType FSelectorType = stImage;
    TItemLayout FItemLayout = ilCaptionRight;
    int FColumns = 1;
    int FColorBoxWidth = 14;
    int FColorBoxHeight = 14;
    TImageList* FImages = nullptr;
    TCustomItemSelector* FSelectorPanel = nullptr;
    std::unique_ptr<TItemAppearance> FItemAppearance;
};
