#pragma once
// The history of cell text changes a grid registers (edits, check-box toggles, pasted cells).
#include "platform/base/Classes.h"

#include <string>
#include <vector>

class TQorGridUndoRedo : public TComponent {
public:
    // One change, or a sequence marker (Col and Row -1, empty texts).
    struct TUndoRedoItem {
        int Col = -1;
        int Row = -1;
        std::string Value;
        std::string OrigValue;
        bool SequenceStart = false;
        bool SequenceStop = false;
    };

    using TComponent::TComponent;

    // Appends the change (dropping the oldest item beyond MaxLevel); Level moves to the end.
    virtual void RegisterChange(int ACol, int ARow, const std::string& OldValue,
                                const std::string& NewValue);
    virtual void StartSequence();
    virtual void StopSequence();

    const std::vector<TUndoRedoItem>& Items() const { return FItems; }
    int Level() const { return FLevel; }
    int MaxLevel() const { return FMaxLevel; }
    void SetMaxLevel(int v) { FMaxLevel = v; }

private:
    void append(TUndoRedoItem item);

    std::vector<TUndoRedoItem> FItems;
    int FLevel = 0;
    int FMaxLevel = 0;
};
