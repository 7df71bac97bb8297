#pragma once
// The history of cell text changes a grid registers (edits, check-box toggles, pasted cells),
// undone and redone one change or one bracketed sequence at a time.
#include "platform/base/Classes.h"

#include <functional>
#include <string>

class TBaseGrid;

// One change, or a sequence marker (Col and Row -1, empty texts).
class TUndoRedoItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    int Col() const { return FCol; }
    void SetCol(int v) { FCol = v; }
    int Row() const { return FRow; }
    void SetRow(int v) { FRow = v; }
    // The text after the change.
    const std::string& Value() const { return FValue; }
    void SetValue(const std::string& v) { FValue = v; }
    // The text before the change.
    const std::string& OrigValue() const { return FOrigValue; }
    void SetOrigValue(const std::string& v) { FOrigValue = v; }
    bool SequenceStart() const { return FSequenceStart; }
    void SetSequenceStart(bool v) { FSequenceStart = v; }
    bool SequenceStop() const { return FSequenceStop; }
    void SetSequenceStop(bool v) { FSequenceStop = v; }

private:
    int FCol = -1;
    int FRow = -1;
    std::string FValue;
    std::string FOrigValue;
    bool FSequenceStart = false;
    bool FSequenceStop = false;
};

// Oldest first.
class TUndoRedoCollection : public TCollection {
public:
    TUndoRedoCollection();
    TUndoRedoItem* Item(int Index) const { return static_cast<TUndoRedoItem*>(Items(Index)); }
};

// OrigValue: the cell's present text; NewValue: the text it is about to get.
using TQorGridUndoRedoEvent =
    std::function<void(TObject* Sender, TBaseGrid* Grid, int Col, int Row,
                       const std::string& OrigValue, const std::string& NewValue)>;

class TQorGridUndoRedo : public TComponent {
public:
    explicit TQorGridUndoRedo(TComponent* AOwner);
    ~TQorGridUndoRedo() override;

    // Appends the change after the applied items: the undone changes after Level can no longer
    // be redone and are dropped. The oldest item goes when the history holds MaxLevel items.
    virtual void RegisterChange(int ACol, int ARow, const std::string& OldValue,
                                const std::string& NewValue);
    // Bracket a group of changes that Undo and Redo take as one step.
    virtual void StartSequence();
    virtual void StopSequence();

    // Nothing happens without a grid or with nothing to undo (redo).
    void Undo();
    void Redo();
    // Frees the history; nothing is left to undo or redo.
    void Reset();
    bool CanUndo() const { return FLevel > 0; }
    bool CanRedo() const { return FLevel < FItems->Count(); }

    TUndoRedoCollection* Items() const { return FItems.get(); }
    TBaseGrid* Grid() const { return FGrid; }
    // Set by the grid's UndoRedo property; cleared when the grid is destroyed.
    void SetGrid(TBaseGrid* Value);
    // The number of history items applied; the items from Level on can be redone.
    int Level() const { return FLevel; }
    // The history limit; 0 or less: unlimited.
    int MaxLevel() const { return FMaxLevel; }
    void SetMaxLevel(int v) { FMaxLevel = v; }

    TQorGridUndoRedoEvent OnUndo;
    TQorGridUndoRedoEvent OnRedo;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TUndoRedoItem* append();
    void apply(const TUndoRedoItem* Item, bool Redoing);

    std::unique_ptr<TUndoRedoCollection> FItems;
    TBaseGrid* FGrid = nullptr;
    int FLevel = 0;
    int FMaxLevel = 0;
};
