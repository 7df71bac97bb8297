#include "platform/print/Printers.h"
#include "treeview/LazyTree.h"
#include "treeview/LazyTreeUtils.h"

#include <algorithm>
#include <cmath>
#include <memory>

void TBaseLazyTree::Print(TPrinter* Printer, bool PrintHeader) {
    if (!Printer) return;
    BeginUpdate();
    TFont savedFont;
    savedFont.Assign(Font());
    const TColor savedColor = Color();
    try {
        Font()->SetQuality(fqAntialiased);
        const TRect treeRect = GetTreeRect();
        const int width = treeRect.Width();
        int height = treeRect.Height();
        TPoint target{0, 0};
        const bool header = PrintHeader && FHeader->Options().Contains(hoVisible);
        if (header) {
            height += FHeader->Height();
            target.Y = FHeader->Height();
        }
        auto image = std::make_unique<TBitmap>();
        image->SetPixelFormat(pf32bit);
        image->SetSize(std::max(width, 1), std::max(height, 1));
        // The tree prints on white paper.
        SetColor(clWhite);
        if (header) {
            TFont savedHeaderFont;
            savedHeaderFont.Assign(FHeader->Font());
            FHeader->Font()->SetQuality(fqAntialiased);
            try {
                FHeader->Columns()->PaintHeader(image->Canvas(),
                                                TRect{0, 0, width, FHeader->Height()}, 0);
            } catch (...) {
                FHeader->Font()->Assign(&savedHeaderFont);
                throw;
            }
            FHeader->Font()->Assign(&savedHeaderFont);
        }
        PaintTree(image->Canvas(), TRect{0, 0, width, height}, target, {poGridLines});
        SetColor(savedColor);

        Printer->BeginDoc();
        try {
            // The text is as large on paper as on screen: the font at the printer's resolution.
            TCanvas* paper = Printer->Canvas();
            paper->Font()->Assign(Font());
            paper->Font()->SetHeight(
                MulDiv(Font()->Height(), Printer->PixelsPerInch(), ScreenPixelsPerInch));
            const double scale = double(paper->TextHeight("Tj")) / Canvas()->TextHeight("Tj");
            const int pageWidth = std::max(1, int(std::nearbyint(Printer->PageWidth() / scale)));
            const int pageHeight = std::max(1, int(std::nearbyint(Printer->PageHeight() / scale)));
            // Only pages that show a part of the tree.
            const int across = std::max(1, (width + pageWidth - 1) / pageWidth);
            const int down = std::max(1, (height + pageHeight - 1) / pageHeight);
            TBitmap page(pageWidth, pageHeight);
            for (int i = 0; i < down; ++i) {
                for (int j = 0; j < across; ++j) {
                    page.Canvas()->Brush()->SetColor(clWhite);
                    page.Canvas()->FillRect(TRect{0, 0, pageWidth, pageHeight});
                    const TRect part{j * pageWidth, i * pageHeight,
                                     std::min(width, (j + 1) * pageWidth),
                                     std::min(height, (i + 1) * pageHeight)};
                    page.Canvas()->CopyRect(TRect{0, 0, part.Width(), part.Height()},
                                            image->Canvas(), part);
                    DrawStretchedDIB(
                        paper, TRect{0, 0, Printer->PageWidth(), Printer->PageHeight() - 1}, &page);
                    if (i + 1 < down || j + 1 < across) Printer->NewPage();
                }
            }
            Font()->Assign(&savedFont);
            Printer->EndDoc();
        } catch (...) {
            if (Printer->Printing()) Printer->Abort();
            throw;
        }
    } catch (...) {
        Font()->Assign(&savedFont);
        SetColor(savedColor);
        EndUpdate();
        throw;
    }
    EndUpdate();
}
