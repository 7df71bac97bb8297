#include "platform/print/Printers.h"

#include <algorithm>

namespace {
TPrintBackend* backend = nullptr;
} // namespace

void SetPrintBackend(TPrintBackend* Backend) {
    backend = Backend;
}

TPrinter::TPrinter() {
    setup_.PaperSize = {2100, 2970};
}

TPrinter::~TPrinter() {
    if (job_) job_->Abort();
}

void TPrinter::SetOrientation(TPrinterOrientation v) {
    if (Printing()) throw EPrinter("Cannot change the orientation while printing");
    setup_.Orientation = v;
}

void TPrinter::SetPixelsPerInch(int v) {
    if (Printing()) throw EPrinter("Cannot change the resolution while printing");
    if (v < 36 || v > 1200) throw EPrinter("Resolution out of range");
    setup_.PixelsPerInch = v;
}

void TPrinter::SetPaperSize(TSize v) {
    if (Printing()) throw EPrinter("Cannot change the paper while printing");
    if (v.cx < 100 || v.cy < 100 || v.cx > 20000 || v.cy > 20000)
        throw EPrinter("Paper size out of range");
    setup_.PaperSize = v;
}

int TPrinter::PageWidth() const {
    const int units = setup_.Orientation == poPortrait ? setup_.PaperSize.cx : setup_.PaperSize.cy;
    return MulDiv(units, setup_.PixelsPerInch, 254);
}

int TPrinter::PageHeight() const {
    const int units = setup_.Orientation == poPortrait ? setup_.PaperSize.cy : setup_.PaperSize.cx;
    return MulDiv(units, setup_.PixelsPerInch, 254);
}

TCanvas* TPrinter::Canvas() {
    if (!page_bitmap_) {
        page_bitmap_ = std::make_unique<TBitmap>();
        page_bitmap_->SetSize(PageWidth(), PageHeight());
    }
    return page_bitmap_->Canvas();
}

// The page keeps its canvas and starts white.
void TPrinter::startPage() {
    TCanvas* c = Canvas();
    if (page_bitmap_->Width() != PageWidth() || page_bitmap_->Height() != PageHeight())
        page_bitmap_->SetSize(PageWidth(), PageHeight());
    std::fill_n(page_bitmap_->Pixels32(), std::size_t(PageWidth()) * std::size_t(PageHeight()),
                0xFFFFFFFFu);
    (void)c;
}

void TPrinter::outputPage() {
    try {
        job_->AddPage(*page_bitmap_);
    } catch (...) {
        Abort();
        throw;
    }
}

void TPrinter::BeginDoc() {
    if (Printing()) throw EPrinter("Printing in progress");
    if (!backend) throw EPrinter("There is no printer");
    job_ = backend->BeginJob(setup_);
    aborted_ = false;
    page_ = 1;
    startPage();
}

void TPrinter::NewPage() {
    if (!Printing()) throw EPrinter("Printer is not currently printing");
    outputPage();
    ++page_;
    startPage();
}

void TPrinter::EndDoc() {
    if (!Printing()) throw EPrinter("Printer is not currently printing");
    outputPage();
    std::unique_ptr<TPrintJob> job = std::move(job_);
    page_bitmap_.reset();
    page_ = 0;
    job->Finish();
}

void TPrinter::Abort() {
    if (!Printing()) return;
    std::unique_ptr<TPrintJob> job = std::move(job_);
    page_bitmap_.reset();
    page_ = 0;
    aborted_ = true;
    job->Abort();
}

TPrinter* Printer() {
    static TPrinter printer;
    return &printer;
}
