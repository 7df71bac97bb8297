#pragma once
// The search footer panel of a grid: a search edit, find-next, find-previous, highlight and
// close buttons and a match-case box on a panel painted in Color to ColorTo. The grid mirrors
// its SearchFooter settings into it (UpdateSearchPanel) and handles the clicks.
#include "grid/core/base/GridButtons.h"
#include "platform/ui/ExtCtrls.h"

// A single-line edit that takes Enter: Enter fires OnReturn, Ctrl+Enter OnCtrlReturn; the
// Enter and line-feed characters are swallowed after OnKeyPress.
class TRetEdit : public TEdit {
public:
    using TEdit::TEdit;
    TNotifyEvent OnReturn, OnCtrlReturn;

protected:
    void WndProc(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
};

class TSearchPanel : public TCustomPanel {
public:
    explicit TSearchPanel(TComponent* AOwner);

    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v);
    void SetPanelColor(TColor v);
    void SetFindNextCaption(const std::string& v) { FForward->SetCaption(v); }
    void SetFindPrevCaption(const std::string& v) { FBackward->SetCaption(v); }
    void SetHighLightCaption(const std::string& v) { FHighLight->SetCaption(v); }
    void SetMatchCaseCaption(const std::string& v) { FMatchCase->SetCaption(v); }
    void SetHintFindNext(const std::string& v) { hint(FForward, v); }
    void SetHintFindPrev(const std::string& v) { hint(FBackward, v); }
    void SetHintHighlight(const std::string& v) { hint(FHighLight, v); }
    void SetHintClose(const std::string& v) { hint(FExit, v); }

    TRetEdit* EditControl() const { return FEdit; }
    TQorGridButton* ForwardButton() const { return FForward; }
    TQorGridButton* BackwardButton() const { return FBackward; }
    TQorGridButton* HighLightButton() const { return FHighLight; }
    TQorGridButton* ExitButton() const { return FExit; }
    TQorCheckBox* MatchCase() const { return FMatchCase; }

    TNotifyEvent OnForwardClick, OnBackwardClick, OnEditChange, OnExitClick, OnHighLightClick;
    // Fired once the panel's window exists.
    TNotifyEvent OnCreated;

protected:
    void CreateWnd() override;
    void Paint() override;

private:
    // A hint is shown only when there is one.
    static void hint(TQorGridButton* b, const std::string& v);
    TColor FColorTo = clNone;
    TRetEdit* FEdit;
    TQorGridButton* FExit;
    TQorGridButton* FBackward;
    TQorGridButton* FForward;
    TQorGridButton* FHighLight;
    TQorCheckBox* FMatchCase;
};
