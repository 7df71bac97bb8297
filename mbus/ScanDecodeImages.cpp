#include "mbus/ScanDecode.h"

#include "platform/gfx/ImageList.h"

// The scan window's pictures: the padlocks of the wireless grid and the tree's level images.

namespace {

// A 16 x 16 picture on fuchsia, which the image lists make transparent.
std::unique_ptr<TBitmap> blank() {
    auto bmp = std::make_unique<TBitmap>(16, 16);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 16, 16));
    return bmp;
}

void add(TImageList* list, const std::unique_ptr<TBitmap>& bmp) {
    list->AddMasked(bmp.get(), clFuchsia);
}

// A padlock, closed (red) or open (green).
std::unique_ptr<TBitmap> padlock(bool closed) {
    auto bmp = blank();
    TCanvas* c = bmp->Canvas();
    c->Pen()->SetColor(clGray);
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetWidth(2);
    if (closed)
        c->Arc(4, 1, 12, 11, 12, 6, 4, 6);
    else
        c->Arc(8, 0, 16, 10, 16, 5, 8, 5);
    c->Pen()->SetWidth(1);
    c->Brush()->SetStyle(bsSolid);
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(closed ? TColor(0x0000C0) : TColor(0x00A000));
    c->Rectangle(2, 7, 14, 16);
    return bmp;
}

} // namespace

void TFScanDecode::Build_Images() {
    ImageList1 = new TImageList(this);
    ImageList1->SetName("ImageList1");
    add(ImageList1, padlock(true));
    add(ImageList1, padlock(false));

    ImageList_Tree = new TImageList(this);
    ImageList_Tree->SetName("ImageList_Tree");
    // A meter: a box with a round dial.
    auto meter = blank();
    TCanvas* c = meter->Canvas();
    c->Pen()->SetColor(clNavy);
    c->Brush()->SetColor(TColor(0xF0D0A0));
    c->Rectangle(1, 1, 15, 15);
    c->Brush()->SetColor(clWhite);
    c->Ellipse(4, 3, 12, 11);
    c->MoveTo(8, 7);
    c->LineTo(10, 4);
    add(ImageList_Tree, meter);
    // A record: a sheet with lines of text.
    auto record = blank();
    c = record->Canvas();
    c->Pen()->SetColor(clGray);
    c->Brush()->SetColor(clWhite);
    c->Rectangle(3, 1, 13, 15);
    c->Pen()->SetColor(clBlue);
    for (int y = 4; y <= 11; y += 3) {
        c->MoveTo(5, y);
        c->LineTo(11, y);
    }
    add(ImageList_Tree, record);
    // A detail: a small bullet.
    auto detail = blank();
    c = detail->Canvas();
    c->Pen()->SetColor(clTeal);
    c->Brush()->SetColor(clTeal);
    c->Ellipse(5, 5, 11, 11);
    add(ImageList_Tree, detail);
}
