#include "grid/core/base/GridUndo.h"

#include "grid/core/base/BaseGrid.h"

TUndoRedoCollection::TUndoRedoCollection()
    : TCollection([](TCollection* c) { return new TUndoRedoItem(c); }) {}

TQorGridUndoRedo::TQorGridUndoRedo(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TUndoRedoCollection>()) {}

TQorGridUndoRedo::~TQorGridUndoRedo() {
    SetGrid(nullptr);
}

void TQorGridUndoRedo::SetGrid(TBaseGrid* Value) {
    if (FGrid == Value) return;
    TBaseGrid* old = FGrid;
    FGrid = Value;
    // The link stays while the old grid still names this component as its undo.
    if (old && old->UndoRedo() != this) old->RemoveFreeNotification(this);
    if (FGrid) FGrid->FreeNotification(this);
}

void TQorGridUndoRedo::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FGrid) FGrid = nullptr;
}

TUndoRedoItem* TQorGridUndoRedo::append() {
    // A new change ends what was undone: those items cannot be redone after it.
    while (FItems->Count() > FLevel) FItems->Delete(FItems->Count() - 1);
    if (FMaxLevel > 0 && FItems->Count() >= FMaxLevel) FItems->Delete(0);
    auto* item = static_cast<TUndoRedoItem*>(FItems->Add());
    FLevel = FItems->Count();
    return item;
}

void TQorGridUndoRedo::RegisterChange(int ACol, int ARow, const std::string& OldValue,
                                      const std::string& NewValue) {
    TUndoRedoItem* item = append();
    item->SetCol(ACol);
    item->SetRow(ARow);
    item->SetValue(NewValue);
    item->SetOrigValue(OldValue);
}

void TQorGridUndoRedo::StartSequence() {
    append()->SetSequenceStart(true);
}

void TQorGridUndoRedo::StopSequence() {
    append()->SetSequenceStop(true);
}

void TQorGridUndoRedo::Reset() {
    FItems->Clear();
    FLevel = 0;
}

void TQorGridUndoRedo::apply(const TUndoRedoItem* Item, bool Redoing) {
    const std::string& text = Redoing ? Item->Value() : Item->OrigValue();
    const TQorGridUndoRedoEvent& event = Redoing ? OnRedo : OnUndo;
    if (event)
        event(this, FGrid, Item->Col(), Item->Row(), FGrid->Cells(Item->Col(), Item->Row()), text);
    FGrid->SetCells(Item->Col(), Item->Row(), text);
    FGrid->SetCol(FGrid->DisplColIndex(Item->Col()));
    FGrid->SetRow(Item->Row());
}

void TQorGridUndoRedo::Undo() {
    if (!FGrid || FLevel <= 0 || FLevel > FItems->Count()) return;
    TUndoRedoItem* last = FItems->Item(FLevel - 1);
    if (last->SequenceStop()) {
        --FLevel;
        while (FLevel > 0 && !FItems->Item(FLevel - 1)->SequenceStart()) {
            apply(FItems->Item(FLevel - 1), false);
            --FLevel;
        }
        // Past the start marker; a stop without a start unwinds to the beginning.
        if (FLevel > 0) --FLevel;
        FGrid->Invalidate();
        return;
    }
    apply(last, false);
    FGrid->RepaintCell(FGrid->Col(), last->Row());
    --FLevel;
}

void TQorGridUndoRedo::Redo() {
    if (!FGrid || FLevel >= FItems->Count()) return;
    const TUndoRedoItem* next = FItems->Item(FLevel);
    ++FLevel;
    if (next->SequenceStart()) {
        ++FLevel;
        while (FLevel <= FItems->Count() && !FItems->Item(FLevel - 1)->SequenceStop()) {
            apply(FItems->Item(FLevel - 1), true);
            ++FLevel;
        }
        // A start without its stop replays to the end of the history.
        if (FLevel > FItems->Count()) FLevel = FItems->Count();
        FGrid->Invalidate();
        return;
    }
    apply(next, true);
}
