#include "controls/DropDownColumns.h"

TDropDownColumn::TDropDownColumn(TCollection* Collection)
    : TCollectionItem(Collection), FFont(std::make_unique<TFont>()) {}

TDropDownColumn::~TDropDownColumn() = default;

void TDropDownColumn::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TDropDownColumn*>(Source);
    if (!s) return TCollectionItem::Assign(Source);
    FWordwrap = s->FWordwrap;
    FWidth = s->FWidth;
    FAutoSize = s->FAutoSize;
    FHeader = s->FHeader;
    FAlignment = s->FAlignment;
    FColor = s->FColor;
    FColumnType = s->FColumnType;
    FFont->Assign(s->FFont.get());
    FEllipsis = s->FEllipsis;
}

TDropDownColumns::TDropDownColumns(TPersistent* AOwner)
    : TCollection([](TCollection* c) { return new TDropDownColumn(c); }), FOwner(AOwner) {}

void TDropDownColumns::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    if (OnChange) OnChange(this);
}

TDropDownItem::TDropDownItem(TCollection* Collection)
    : TCollectionItem(Collection), FText(std::make_unique<TStringList>()) {}

TDropDownItem::~TDropDownItem() = default;

std::string TDropDownItem::ColumnText(int Column) const {
    return HasColumn(Column) ? FText->Strings(Column) : std::string();
}

void TDropDownItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TDropDownItem*>(Source);
    if (!s) return TCollectionItem::Assign(Source);
    FImageIndex = s->FImageIndex;
    FText->Assign(s->FText.get());
}

TDropDownItems::TDropDownItems(TPersistent* AOwner)
    : TDropDownItems(AOwner, [](TCollection* c) { return new TDropDownItem(c); }) {}

TDropDownItems::TDropDownItems(TPersistent* AOwner, ItemFactory Factory)
    : TCollection(std::move(Factory)), FOwner(AOwner) {}

int TDropDownItems::IndexInColumn(int Column, const std::string& Value) const {
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->HasColumn(Column) && Items(i)->Text()->Strings(Column) == Value) return i;
    return -1;
}

void TDropDownItems::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    if (OnChange) OnChange(this);
}
