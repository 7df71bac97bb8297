#include "grid/core/GridUndo.h"

void TQorGridUndoRedo::append(TUndoRedoItem item) {
    if (FMaxLevel > 0 && int(FItems.size()) >= FMaxLevel) FItems.erase(FItems.begin());
    FItems.push_back(std::move(item));
    FLevel = int(FItems.size());
}

void TQorGridUndoRedo::RegisterChange(int ACol, int ARow, const std::string& OldValue,
                                      const std::string& NewValue) {
    append(TUndoRedoItem{ACol, ARow, NewValue, OldValue, false, false});
}

void TQorGridUndoRedo::StartSequence() {
    FItems.push_back(TUndoRedoItem{-1, -1, "", "", true, false});
    FLevel = int(FItems.size());
}

void TQorGridUndoRedo::StopSequence() {
    FItems.push_back(TUndoRedoItem{-1, -1, "", "", false, true});
    FLevel = int(FItems.size());
}
