#include "platform/qt/QtPrint.h"

#include "platform/files/Files.h"
#include "platform/print/Printers.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <memory>

namespace {
QPageLayout layoutOf(const TPrintJobSetup& s) {
    const QPageSize size(QSizeF(s.PaperSize.cx / 10.0, s.PaperSize.cy / 10.0),
                         QPageSize::Millimeter);
    return QPageLayout(
        size, s.Orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(0, 0, 0, 0));
}

// The bitmap's 0xAARRGGBB words are QImage's RGB32 pixels; the image borrows them.
QImage imageOf(const TBitmap& page) {
    return QImage(reinterpret_cast<const uchar*>(page.Pixels32()), page.Width(), page.Height(),
                  page.Stride32() * 4, QImage::Format_RGB32);
}

// Pages go onto a paged device, each drawn over the whole sheet.
class QtJob : public TPrintJob {
public:
    void AddPage(const TBitmap& page) override {
        if (pages_++ > 0 && !device().newPage()) throw EPrinter("Cannot start a new page");
        if (!painter_.isActive() && !painter_.begin(&device()))
            throw EPrinter("Cannot print on the printer");
        painter_.drawImage(QRect(0, 0, device().width(), device().height()), imageOf(page));
    }
    void Finish() override {
        if (painter_.isActive()) painter_.end();
        finished();
    }
    void Abort() override {
        aborted_ = true;
        if (painter_.isActive()) painter_.end();
    }

protected:
    virtual QPagedPaintDevice& device() = 0;
    virtual void finished() {}
    QPainter painter_;
    int pages_ = 0;
    bool aborted_ = false;
};

// The PDF is made in memory and replaces the file through the files layer.
class PdfJob : public QtJob {
public:
    explicit PdfJob(const TPrintJobSetup& s) : file_(s.FileName) {
        buffer_.open(QIODevice::WriteOnly);
        writer_ = std::make_unique<QPdfWriter>(&buffer_);
        writer_->setResolution(s.PixelsPerInch);
        writer_->setTitle(QString::fromStdString(s.Title));
        writer_->setCreator(QString());
        writer_->setPageLayout(layoutOf(s));
    }

protected:
    QPagedPaintDevice& device() override { return *writer_; }
    void finished() override {
        writer_.reset();
        const QByteArray& bytes = buffer_.data();
        WriteBinaryFile(file_, std::string_view(bytes.constData(), std::size_t(bytes.size())));
    }

private:
    std::string file_;
    QBuffer buffer_;
    std::unique_ptr<QPdfWriter> writer_;
};

class PrinterJob : public QtJob {
public:
    explicit PrinterJob(const TPrintJobSetup& s) : printer_(QPrinter::HighResolution) {
        const QPrinterInfo info =
            s.PrinterName.empty()
                ? QPrinterInfo::defaultPrinter()
                : QPrinterInfo::printerInfo(QString::fromStdString(s.PrinterName));
        if (info.isNull())
            throw EPrinter(s.PrinterName.empty() ? std::string("There is no default printer")
                                                 : "Printer not found: " + s.PrinterName);
        printer_.setPrinterName(info.printerName());
        printer_.setOutputFormat(QPrinter::NativeFormat);
        printer_.setResolution(s.PixelsPerInch);
        printer_.setDocName(QString::fromStdString(s.Title));
        printer_.setFullPage(true);
        printer_.setPageLayout(layoutOf(s));
    }
    ~PrinterJob() override {
        if (aborted_ && printer_.printerState() == QPrinter::Active) printer_.abort();
    }

protected:
    QPagedPaintDevice& device() override { return printer_; }
    void finished() override {
        if (printer_.printerState() == QPrinter::Error) throw EPrinter("The printer failed");
    }

private:
    QPrinter printer_;
};

class Backend : public TPrintBackend {
public:
    std::unique_ptr<TPrintJob> BeginJob(const TPrintJobSetup& s) override {
        if (!s.FileName.empty()) return std::make_unique<PdfJob>(s);
        return std::make_unique<PrinterJob>(s);
    }
};
} // namespace

TPrintBackend* QtPrintBackend() {
    static Backend backend;
    return &backend;
}
