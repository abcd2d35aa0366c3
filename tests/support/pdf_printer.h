#pragma once

#include "platform/qt_page_printer.h"

// The real page printer writing a PDF file, read back with pdftocairo; with no file named, to the
// print service's queue "PDF".
struct PdfPrinter : PagePrinter {
    bool ShowPrinter() override { return true; }
    QString outputFileName() const override { return file; }
    QString printerName() const override { return QStringLiteral("PDF"); }
    std::optional<QString> printPage(const QImage& image) override
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        // Half-inch margins put the printable area on whole pixels at 96 to the inch.
        printer.setPageMargins(QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch);
        origin = printer.pageLayout().paintRectPixels(96).topLeft();
        return QtPagePrinter::printPage(printer, image);
    }
    QString file;
    QPoint origin;
};
