#pragma once

#include "platform/file_error.h"
#include "platform/qt_sketch_dialogs.h"

#include <QStringList>

// Prints each page into its own PDF file in `folder` through the real page renderer; `fail`
// makes the printer report an error instead.
class PdfPrinter : public PagePrinter {
public:
    explicit PdfPrinter(const QString& folder) : folder_(folder) {}
    bool ShowPrinter() override { return chosen; }
    void printPage(const QImage& image) override
    {
        if (fail)
            throw FileError(QStringLiteral("Could not print to PDF: printing failed."));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("%1/page%2.pdf").arg(folder_).arg(pages.size() + 1));
        // Half-inch margins put the printable area on whole pixels at 96 to the inch.
        printer.setPageMargins(QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch);
        origin = printer.pageLayout().paintRectPixels(96).topLeft();
        QtPagePrinter::renderPage(printer, image);
        pages << printer.outputFileName();
    }
    bool chosen = true;
    bool fail = false;
    QStringList pages;
    QPoint origin;

private:
    QString folder_;
};
