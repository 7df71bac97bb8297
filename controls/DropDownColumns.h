#pragma once
// The columns and rows of the multi-column and grid drop-downs: a column's look and width, and
// an item's texts (one per column) with its image.
#include "platform/base/Classes.h"
#include "platform/gfx/Graphics.h"

#include <memory>
#include <string>

enum TColumnType { ctText, ctImage };

class TDropDownColumn : public TCollectionItem {
public:
    explicit TDropDownColumn(TCollection* Collection);
    ~TDropDownColumn() override;

    // Wrapped columns also set the row heights.
    bool Wordwrap() const { return FWordwrap; }
    void SetWordwrap(bool v) { FWordwrap = v; }
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    // The width is measured from the items when the popup is filled.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    const std::string& Header() const { return FHeader; }
    void SetHeader(const std::string& v) { FHeader = v; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; }
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    // ctImage cells draw the item's image.
    TColumnType ColumnType() const { return FColumnType; }
    void SetColumnType(TColumnType v) { FColumnType = v; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* v) { FFont->Assign(v); }
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool v) { FEllipsis = v; }

    void Assign(const TPersistent* Source) override;

private:
    bool FWordwrap = false;
    int FWidth = 80;
    bool FAutoSize = false;
    std::string FHeader;
    TAlignment FAlignment = taLeftJustify;
    TColor FColor = clWhite;
    TColumnType FColumnType = ctText;
    std::unique_ptr<TFont> FFont;
    bool FEllipsis = false;
};

class TDropDownColumns : public TCollection {
public:
    explicit TDropDownColumns(TPersistent* AOwner);
    TPersistent* Owner() const { return FOwner; }
    TDropDownColumn* Items(int Index) const {
        return static_cast<TDropDownColumn*>(TCollection::Items(Index));
    }
    TDropDownColumn* Add() { return static_cast<TDropDownColumn*>(TCollection::Add()); }
    TNotifyEvent OnChange;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TPersistent* FOwner;
};

class TDropDownItem : public TCollectionItem {
public:
    explicit TDropDownItem(TCollection* Collection);
    ~TDropDownItem() override;

    // Of the drop-down's Images; none below 0.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    // One string per column, column 0 first.
    TStrings* Text() const { return FText.get(); }
    void SetText(const TStrings* v) { FText->Assign(v); }
    // The string of a column; empty where the item has none.
    std::string ColumnText(int Column) const;
    bool HasColumn(int Column) const { return Column >= 0 && Column < FText->Count(); }

    void Assign(const TPersistent* Source) override;

private:
    int FImageIndex = -1;
    std::unique_ptr<TStringList> FText;
};

class TDropDownItems : public TCollection {
public:
    explicit TDropDownItems(TPersistent* AOwner);
    TPersistent* Owner() const { return FOwner; }
    TDropDownItem* Items(int Index) const {
        return static_cast<TDropDownItem*>(TCollection::Items(Index));
    }
    TDropDownItem* Add() { return static_cast<TDropDownItem*>(TCollection::Add()); }
    TDropDownItem* Insert(int Index) {
        return static_cast<TDropDownItem*>(TCollection::Insert(Index));
    }
    // The first item whose string number Column equals Value exactly; -1 when none.
    int IndexInColumn(int Column, const std::string& Value) const;
    TNotifyEvent OnChange;

protected:
    // Descendants make items of their own class.
    TDropDownItems(TPersistent* AOwner, ItemFactory Factory);
    void Update(TCollectionItem* Item) override;

private:
    TPersistent* FOwner;
};
