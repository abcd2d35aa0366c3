#include "platform/qt_page_printer.h"

#include "platform/app_info.h"
#include "platform/plain_file.h"
#include "platform/print_service.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QSaveFile>

namespace {

// One page as a PDF document in memory, laid out as the printer's pages are.
QByteArray pagePdf(const QPrinter& printer, const QImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setPageLayout(printer.pageLayout());
    pdf.setResolution(printer.resolution());
    pdf.setTitle(printer.docName());
    pdf.setCreator(printer.creator());
    QPainter painter(&pdf);
    // The board's designed size: 96 pixels to the inch, each pixel a crisp square.
    const qreal scale = pdf.resolution() / 96.0;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRectF(0, 0, image.width() * scale, image.height() * scale), image);
    painter.end();
    return buffer.data();
}

// Writes aside and renames into place, so that a failed write leaves no broken file.
std::optional<QString> writeFile(const QString& path, QByteArrayView bytes)
{
    if (const auto refused = PlainFile::refuseAsTarget(path))
        return refused;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !PlainFile::writeAll(out, bytes)
        || !out.commit())
        return out.errorString();
    return std::nullopt;
}

}  // namespace

QtPagePrinter::~QtPagePrinter() = default;

QPrinter& QtPagePrinter::printer()
{
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setDocName(AppInfo::title());  // how the job shows in print queues
    }
    return *printer_;
}

bool QtPagePrinter::ShowPrinter()
{
    // Qt's dialog, and a new QPrinter, list the service's printers with no time limit.
    PrintService::useIfAnswering();
    QPrintDialog dialog(&printer(), owner_);
    return dialog.exec() == QDialog::Accepted;
}

QString QtPagePrinter::outputFileName() const
{
    return printer_ ? printer_->outputFileName() : QString();
}

QString QtPagePrinter::printerName() const
{
    return printer_ ? printer_->printerName() : QString();
}

std::optional<QString> QtPagePrinter::printPage(const QImage& image)
{
    return printPage(printer(), image);
}

std::optional<QString> QtPagePrinter::printPage(const QPrinter& printer, const QImage& image)
{
    const QByteArray pdf = pagePdf(printer, image);
    const QString file = printer.outputFileName();
    return file.isEmpty() ? PrintService::submit(printer, pdf) : writeFile(file, pdf);
}
