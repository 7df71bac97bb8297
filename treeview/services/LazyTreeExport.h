#pragma once
// Rendering a string tree's content as HTML, RTF, separated text and CSV, for files, the
// clipboard and exports the application writes itself.
#include "treeview/LazyTree.h"

#include <cstddef>
#include <string>

// A growable text that collects output in blocks of 4096 characters. FreeForNewLine: a line
// break grows the block when no more places than that are free; GrowOnEmpty: adding nothing
// grows a full block too.
template <std::size_t FreeForNewLine, bool GrowOnEmpty> class TBufferedText {
public:
    void Add(const std::string& S) {
        if (S.empty() && !(GrowOnEmpty && free() == 0)) return;
        if (S.size() >= free()) FText.reserve(FText.capacity() + roundUp(S.size()));
        FText += S;
    }
    void AddNewLine() {
        if (free() <= FreeForNewLine) FText.reserve(FText.capacity() + Block);
        FText += "\r\n";
    }
    const std::string& AsString() const { return FText; }

private:
    static constexpr std::size_t Block = 4096;
    static std::size_t roundUp(std::size_t n) {
        return n == 0 ? Block : (n + Block - 1) / Block * Block;
    }
    std::size_t free() const { return FText.capacity() - FText.size(); }
    std::string FText;
};
// The text builder of the HTML and text exports, and the byte builder of the RTF export.
using TBufferedString = TBufferedText<4, false>;
using TBufferedRawByteString = TBufferedText<2, true>;

std::string ExportHtml(TCustomLazyStringTree* Tree, TVSTTextSourceType Source,
                       const std::string& Caption = "");
std::string ExportRtf(TCustomLazyStringTree* Tree, TVSTTextSourceType Source);
std::string ExportText(TCustomLazyStringTree* Tree, TVSTTextSourceType Source,
                       const std::string& Separator);
// Wraps an HTML fragment in the clipboard's HTML header.
void MakeCfHtml(std::string& Html);
// A new block of the content in a clipboard format, zero-terminated; nil for a format the
// export does not render or when no block can be had.
HGLOBAL ExportForClipboard(TCustomLazyStringTree* Tree, CLIPFORMAT Format,
                           TVSTTextSourceType Source);
void ExportCustom(TCustomLazyStringTree* Tree, TVSTTextSourceType Source);
void RenderCsvLines(TCustomLazyStringTree* Tree, TStrings* Lines, bool IncludeHeading);
