#pragma once
// The rich edit: a multi-line edit whose text carries character formats (font, size, styles,
// colour, raised or lowered baseline). The control keeps the document as text runs and reads
// and writes it as RTF; its native widget edits it, and reports every change and selection
// back. Ctrl+B, Ctrl+I and Ctrl+U switch bold, italic and underline of the selection, or of
// what is typed next when nothing is selected.
#include "platform/gfx/RichText.h"
#include "platform/ui/StdCtrls.h"

#include <string_view>

// Peer change code: the format for typing changed (pcText: the document; pcSelection).
constexpr int pcTypingFormat = pcUser + 6;

using TRichEditResizeEvent = std::function<void(TObject* Sender, TRect Rect)>;

class TCustomRichEdit : public TWinControl {
public:
    explicit TCustomRichEdit(TComponent* AOwner);
    std::string PeerClassName() const override { return "RICHEDIT"; }

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    // The document as RTF; a text that is not RTF loads as one plain run.
    void LoadRichText(std::string_view Rtf);
    std::string RichText() const { return FDocument.Rtf(); }
    const TRichText& Document() const { return FDocument; }
    // The text without formatting, line breaks as CR LF.
    std::string PlainText() const { return FDocument.PlainText(); }
    void Clear() { LoadRichText(""); }

    // Selection in characters (a line break counts one).
    int SelStart() const { return std::min(FAnchor, FCaret); }
    int SelLength() const { return std::abs(FCaret - FAnchor); }
    void SetSel(int Start, int Length);
    void SelectAll() { SetSel(0, FDocument.Length()); }
    // The format of the selection's first character, or what typing will use.
    TRichTextRun SelFormat() const;
    // Changes the format of the selection, or of what is typed next when nothing is selected.
    void FormatSelection(const std::function<void(TRichTextRun&)>& Change);
    // The baseline offset of the selection in twips (positive raised).
    int SelOffset() const { return SelFormat().Offset; }
    void SetSelOffset(int Twips);
    // The format typing will use while nothing is selected; false when none was chosen.
    bool TypingFormat(TRichTextRun& Format) const;

    // For peers: the native widget edited the document; anchor and caret of its selection.
    void PeerDocumentChanged(std::vector<TRichTextRun> Runs, int Anchor, int Caret);
    void PeerSelectionChanged(int Anchor, int Caret);
    // For peers: the size the content needs (the widget's width, the text's height).
    void PeerRequestSize(int Width, int Height);

    TNotifyEvent OnChange;
    TNotifyEvent OnSelectionChange;
    // The content asks for this size (left and top 0).
    TRichEditResizeEvent OnResizeRequest;

protected:
    void Dispatch(TMessage& Message) override;
    virtual void Change();
    virtual void SelectionChange();
    virtual void RequestSize(const TRect& Rect);

private:
    void toggleStyle(TFontStyle Style);
    TRichText FDocument;
    int FAnchor = 0, FCaret = 0;
    TBorderStyle FBorderStyle = bsSingle;
    // The format chosen for typing at the caret.
    bool FHasTypingFormat = false;
    TRichTextRun FTypingFormat;
    // A format key was taken: the character it types is swallowed.
    bool FFormatKey = false;
};

class TRichEdit : public TCustomRichEdit {
public:
    using TCustomRichEdit::TCustomRichEdit;
};
