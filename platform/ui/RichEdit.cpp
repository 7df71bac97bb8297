#include "platform/ui/RichEdit.h"

#include <algorithm>

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 185, 89);
    SetTabStop(true);
    SetColor(clWindow);
}

void TCustomRichEdit::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    PeerChanged(pcBorder);
}

void TCustomRichEdit::LoadRichText(std::string_view Rtf) {
    FDocument.Load(Rtf);
    FAnchor = FCaret = 0;
    FHasTypingFormat = false;
    PeerChanged(pcText);
    Change();
    SelectionChange();
}

void TCustomRichEdit::SetSel(int Start, int Length) {
    const int n = FDocument.Length();
    const int a = std::clamp(Start, 0, n), c = std::clamp(Start + std::max(0, Length), 0, n);
    if (a == FAnchor && c == FCaret) return;
    FAnchor = a;
    FCaret = c;
    FHasTypingFormat = false;
    PeerChanged(pcSelection);
    SelectionChange();
}

TRichTextRun TCustomRichEdit::SelFormat() const {
    if (SelLength() == 0 && FHasTypingFormat) return FTypingFormat;
    // With nothing selected, typing continues the character before the caret.
    return FDocument.FormatAt(SelLength() > 0 ? SelStart() : std::max(0, FCaret - 1));
}

bool TCustomRichEdit::TypingFormat(TRichTextRun& Format) const {
    if (FHasTypingFormat) Format = FTypingFormat;
    return FHasTypingFormat;
}

void TCustomRichEdit::FormatSelection(const std::function<void(TRichTextRun&)>& Change) {
    if (SelLength() == 0) {
        FTypingFormat = SelFormat();
        Change(FTypingFormat);
        FHasTypingFormat = true;
        PeerChanged(pcTypingFormat);
        return;
    }
    FDocument.Format(SelStart(), SelLength(), Change);
    PeerChanged(pcText);
    this->Change();
}

void TCustomRichEdit::SetSelOffset(int Twips) {
    FormatSelection([Twips](TRichTextRun& r) { r.Offset = Twips; });
}

void TCustomRichEdit::toggleStyle(TFontStyle Style) {
    const bool on = !SelFormat().Style.Contains(Style);
    FormatSelection([&](TRichTextRun& r) {
        if (on)
            r.Style.Include(Style);
        else
            r.Style.Exclude(Style);
    });
}

void TCustomRichEdit::PeerDocumentChanged(std::vector<TRichTextRun> Runs, int Anchor, int Caret) {
    FDocument.SetRuns(std::move(Runs));
    FHasTypingFormat = false;
    Change();
    PeerSelectionChanged(Anchor, Caret);
}

void TCustomRichEdit::PeerSelectionChanged(int Anchor, int Caret) {
    if (Anchor == FAnchor && Caret == FCaret) return;
    FAnchor = Anchor;
    FCaret = Caret;
    FHasTypingFormat = false;
    SelectionChange();
}

void TCustomRichEdit::PeerRequestSize(int Width, int Height) {
    RequestSize(TRect{0, 0, Width, Height});
}

void TCustomRichEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomRichEdit::SelectionChange() {
    if (OnSelectionChange) OnSelectionChange(this);
}

void TCustomRichEdit::RequestSize(const TRect& Rect) {
    if (OnResizeRequest) OnResizeRequest(this, Rect);
}

void TCustomRichEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_KEYDOWN: {
        const WORD key = WORD(Message.WParam);
        const TShiftState shift = KeyDataToShiftState(Message.LParam);
        FFormatKey = false;
        if (shift.Contains(ssCtrl) && !shift.Contains(ssAlt) &&
            (key == 'B' || key == 'I' || key == 'U')) {
            // Asked of the handlers first, like any key.
            TWMKey k(Message);
            if (DoKeyDown(k)) return;
            toggleStyle(key == 'B' ? fsBold : key == 'I' ? fsItalic : fsUnderline);
            FFormatKey = true;
            return;
        }
        break;
    }
    case WM_CHAR:
        if (FFormatKey) {
            FFormatKey = false;
            return;
        }
        break;
    case WM_GETDLGCODE:
        TWinControl::Dispatch(Message);
        Message.Result |= DLGC_WANTCHARS | DLGC_WANTARROWS;
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}
