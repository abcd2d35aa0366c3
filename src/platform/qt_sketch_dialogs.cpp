#include "platform/qt_sketch_dialogs.h"

#include "platform/app_info.h"
#include "platform/plain_file.h"
#include "platform/print_service.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QString kFilter = QStringLiteral("Nimbolt Sketch Drawings (*.nsd)");
const QString kDefaultSuffix = QStringLiteral("nsd");

std::optional<QString> runFileDialog(QWidget* owner, const QString& title, QFileDialog::AcceptMode accept,
                                     const QString& suggested = {})
{
    QFileDialog dialog(owner, title, QtSketchDialogs::initialFolder(), kFilter);
    dialog.setAcceptMode(accept);
    dialog.setFileMode(accept == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(kDefaultSuffix);
    if (!suggested.isEmpty())
        dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

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

} // namespace

QString QtSketchDialogs::initialFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

std::optional<QString> QtSketchDialogs::ShowSave(const QString& suggested)
{
    return runFileDialog(owner_, QStringLiteral("Save Sketch As"), QFileDialog::AcceptSave, suggested);
}

std::optional<QString> QtSketchDialogs::ShowOpen()
{
    return runFileDialog(owner_, QStringLiteral("Open Sketch"), QFileDialog::AcceptOpen);
}

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

void QtMousePointer::setMousePointer(Shape shape)
{
    if (shape == Hourglass)
        window_->setCursor(Qt::WaitCursor);
    else
        window_->unsetCursor();
}
