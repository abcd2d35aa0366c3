#include "platform/qt_sketch_dialogs.h"

#include "platform/app_info.h"
#include "platform/file_error.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPainter>
#include <QPrintDialog>
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
    QPrintDialog dialog(&printer(), owner_);
    return dialog.exec() == QDialog::Accepted;
}

void QtPagePrinter::printPage(const QImage& image) { renderPage(printer(), image); }

void QtPagePrinter::renderPage(QPrinter& printer, const QImage& image)
{
    const QString name = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    QPainter painter;
    if (!printer.isValid() || !painter.begin(&printer))
        throw FileError(QStringLiteral("Could not print to %1: the printer is not available.")
                            .arg(name.isEmpty() ? QStringLiteral("the printer") : QDir::toNativeSeparators(name)));
    // The board's designed size: 96 pixels to the inch, each pixel a crisp square.
    const qreal scale = printer.resolution() / 96.0;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRectF(0, 0, image.width() * scale, image.height() * scale), image);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw FileError(QStringLiteral("Could not print to %1: printing failed.").arg(QDir::toNativeSeparators(name)));
}

void QtMousePointer::setMousePointer(Shape shape)
{
    if (shape == Hourglass)
        window_->setCursor(Qt::WaitCursor);
    else
        window_->unsetCursor();
}
