#pragma once
// A small rich-text document: the text runs of an RTF text (font, size, bold, italic, underline,
// strike-out, colour; paragraphs and line breaks) drawn word-wrapped into a rectangle of a
// canvas. It stands in for the rich-edit control where rich-text cells are painted.
#include "platform/gfx/Graphics.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct TRichTextRun {
    // UTF-8; "\n" ends a paragraph or line.
    std::string Text;
    // Empty: the canvas font's name.
    std::string FontName;
    // Points; 0: the canvas font's size.
    int Size = 0;
    TFontStyles Style;
    // clNone: the canvas font's colour.
    TColor Color = clNone;
    // Raised (positive) or lowered baseline, in twips.
    int Offset = 0;

    // The same character format.
    bool SameFormat(const TRichTextRun& R) const {
        return FontName == R.FontName && Size == R.Size && Style == R.Style && Color == R.Color &&
               Offset == R.Offset;
    }
};

class TRichText {
public:
    // RTF ("{\rtf" ...); a text that is not RTF becomes one plain run. Groups, the font and
    // colour tables, \b \i \ul \strike \fs \f \cf \plain \par \line \tab, \'hh (code page
    // 1252), \u, \up and \dn are read; other control words and destinations are skipped.
    void Load(std::string_view Text);
    // The runs as RTF that Load reads back unchanged.
    std::string Rtf() const;
    void SetRuns(std::vector<TRichTextRun> Runs);
    // Characters (code points), line breaks counting one.
    int Length() const;
    // The format of the character at Pos (of the last one at or past the end).
    TRichTextRun FormatAt(int Pos) const;
    // Changes the format of the characters Start .. Start + Count - 1, splitting runs.
    void Format(int Start, int Count, const std::function<void(TRichTextRun&)>& Change);
    void Clear() { FRuns.clear(); }
    bool Empty() const { return FRuns.empty(); }
    const std::vector<TRichTextRun>& Runs() const { return FRuns; }
    // The text without formatting, line breaks as CR LF.
    std::string PlainText() const;
    // Every run takes the colour (the whole text selected and coloured).
    void SetAllColor(TColor Color);
    // Draws the runs word-wrapped from R's top-left, clipped to R, with a transparent
    // background; the canvas font and background mode return. Answers the height used. Sizes
    // the runs set themselves are multiplied by FontScale (a device finer than the screen).
    int Render(TCanvas& Canvas, const TRect& R, double FontScale = 1.0) const;

private:
    std::vector<TRichTextRun> FRuns;
};
