#pragma once
// The multi-line edit. It paints itself and edits its text like the single-line edit, with line
// breaks ("\n") in the text: Enter starts a new line (WantReturns), Up and Down move between
// lines, Home and End go to the ends of the line (with Ctrl, of the text), Page Up and Page Down
// move by the visible lines. Each line shows on one row; the view scrolls to keep the caret in
// sight, with window scroll bars as ScrollBars asks.
#include "platform/ui/StdCtrls.h"

#include <memory>

class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;
    std::string PeerClassName() const override { return "WINDOW"; }

    // The text's lines; changing them changes the text.
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(const TStrings* Value) { FLines->Assign(Value); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    // The first line shown.
    int TopLine() const { return FTopLine; }
    // The line and column of the caret.
    TPoint CaretPos() const;
    // Lines that fit the client area.
    int VisibleLines() const;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    void PaintWindow(HDC DC) override;
    void Change() override;

private:
    // Where each line starts in the text (in characters), and its length.
    struct LineSpan {
        int Start;
        int Length;
    };
    std::vector<LineSpan> lineSpans() const;
    int lineOf(int Pos) const;
    TRect textRect() const;
    int lineHeight() const;
    // The character nearest to a client point.
    int posAt(TPoint P) const;
    // Moves the caret to Pos (extending the selection) and scrolls it into view.
    void moveCaret(int Pos, bool Extend);
    void scrollTo(int Line);
    void updateScrollBar();
    bool handleKey(WORD Key);
    std::unique_ptr<TStrings> FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FWantReturns = true;
    int FTopLine = 0;
    // The column Up and Down keep to, in pixels; -1: the caret's own.
    int FGoalX = -1;
    bool FMouseSelecting = false;
};

class TMemo : public TCustomMemo {
public:
    using TCustomMemo::TCustomMemo;
};
