#pragma once
// The printer: a document of pages drawn on a canvas at the printer's resolution and handed to
// the back end page by page, for a system printer or for a PDF file ("print to file").
#include "platform/base/SysUtils.h"
#include "platform/gfx/Graphics.h"

#include <memory>
#include <string>

enum TPrinterOrientation { poPortrait, poLandscape };

class EPrinter : public Exception {
public:
    using Exception::Exception;
};

// What the back end needs to start a document.
struct TPrintJobSetup {
    std::string PrinterName; // empty: the system's default printer
    std::string FileName;    // not empty: a PDF file instead of a printer
    std::string Title;
    TPrinterOrientation Orientation = poPortrait;
    int PixelsPerInch = 300;
    TSize PaperSize; // portrait width and height in tenths of a millimetre
};

// One document of the back end. AddPage and Finish raise EPrinter when the output fails.
class TPrintJob {
public:
    virtual ~TPrintJob() = default;
    virtual void AddPage(const TBitmap& page) = 0;
    virtual void Finish() = 0;
    // Drops the document; nothing is printed or written.
    virtual void Abort() = 0;
};

class TPrintBackend {
public:
    virtual ~TPrintBackend() = default;
    // Raises EPrinter when the printer cannot take a document.
    virtual std::unique_ptr<TPrintJob> BeginJob(const TPrintJobSetup& Setup) = 0;
};
// Installed by the native back end; without one BeginDoc raises EPrinter.
void SetPrintBackend(TPrintBackend* Backend);

// Tenths of a millimetre, y growing upwards, onto device pixels: the unit point (0, 0) is the
// device point Origin, a unit is PixelsPerInch / 254 pixels.
struct TMetricMapping {
    TPoint Origin;
    int PixelsPerInchX = ScreenPixelsPerInch;
    int PixelsPerInchY = ScreenPixelsPerInch;
    int X(int units) const { return Origin.X + MulDiv(units, PixelsPerInchX, 254); }
    int Y(int units) const { return Origin.Y - MulDiv(units, PixelsPerInchY, 254); }
    // A length in units as pixels, and back.
    int Width(int units) const { return MulDiv(units, PixelsPerInchX, 254); }
    int Height(int units) const { return MulDiv(units, PixelsPerInchY, 254); }
    int UnitsX(int pixels) const { return MulDiv(pixels, 254, PixelsPerInchX); }
    int UnitsY(int pixels) const { return MulDiv(pixels, 254, PixelsPerInchY); }
};

class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    const std::string& PrinterName() const { return setup_.PrinterName; }
    void SetPrinterName(const std::string& v) { setup_.PrinterName = v; }
    const std::string& FileName() const { return setup_.FileName; }
    void SetFileName(const std::string& v) { setup_.FileName = v; }
    // The job title.
    const std::string& Title() const { return setup_.Title; }
    void SetTitle(const std::string& v) { setup_.Title = v; }
    TPrinterOrientation Orientation() const { return setup_.Orientation; }
    // Raises EPrinter while printing.
    void SetOrientation(TPrinterOrientation v);
    int PixelsPerInch() const { return setup_.PixelsPerInch; }
    void SetPixelsPerInch(int v);
    // Portrait paper size in tenths of a millimetre; A4 (2100 x 2970) at first.
    TSize PaperSize() const { return setup_.PaperSize; }
    void SetPaperSize(TSize v);
    // The page in device pixels, turned by the orientation.
    int PageWidth() const;
    int PageHeight() const;

    // The canvas of the current page; white at the start of every page.
    TCanvas* Canvas();
    bool Printing() const { return job_ != nullptr; }
    bool Aborted() const { return aborted_; }
    int PageNumber() const { return page_; }

    // BeginDoc raises EPrinter without a back end or when the printer refuses; NewPage and
    // EndDoc raise EPrinter when a page cannot be output (the document is dropped).
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();

private:
    void startPage();
    void outputPage();
    TPrintJobSetup setup_;
    std::unique_ptr<TPrintJob> job_;
    std::unique_ptr<TBitmap> page_bitmap_;
    int page_ = 0;
    bool aborted_ = false;
};

// The program's printer.
TPrinter* Printer();
