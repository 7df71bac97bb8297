#pragma once
// The component a grid runs over its cells to correct texts and mark faults (the grid's
// CellChecker). This base changes nothing; a descendant answers a corrected text from Correct
// or the text with its faults wrapped in "e" tag pairs from MarkError.
#include "platform/base/Classes.h"

#include <string>

class TQorStringGridCheck : public TComponent {
public:
    using TComponent::TComponent;

    // Move the grid's current cell to each checked cell.
    bool GotoCell() const { return FGotoCell; }
    void SetGotoCell(bool v) { FGotoCell = v; }
    bool AutoCorrect() const { return FAutoCorrect; }
    void SetAutoCorrect(bool v) { FAutoCorrect = v; }
    bool AutoMarkError() const { return FAutoMarkError; }
    void SetAutoMarkError(bool v) { FAutoMarkError = v; }
    // Call Correct (MarkError) while checking.
    bool UseCorrect() const { return FUseCorrect; }
    void SetUseCorrect(bool v) { FUseCorrect = v; }
    bool UseMarkError() const { return FUseMarkError; }
    void SetUseMarkError(bool v) { FUseMarkError = v; }

    virtual std::string MarkError(int /*ACol*/, int /*ARow*/, const std::string& S) { return S; }
    virtual std::string Correct(int /*ACol*/, int /*ARow*/, const std::string& S) { return S; }
    virtual void StartCheck() {}
    virtual void StopCheck() {}

private:
    bool FGotoCell = false;
    bool FAutoCorrect = false;
    bool FAutoMarkError = false;
    bool FUseCorrect = false;
    bool FUseMarkError = false;
};
