#pragma once

#include "platform/page_printer.h"

#include <QPrinter>

#include <memory>

class QWidget;

// QPrinter with Qt's print dialog, owned by the main window. The QPrinter is made at the
// first Print and kept, with the choices made in its dialog, for the next.
class QtPagePrinter : public PagePrinter {
public:
    explicit QtPagePrinter(QWidget* owner) : owner_(owner) {}
    ~QtPagePrinter() override;
    bool ShowPrinter() override;
    QString outputFileName() const override;
    QString printerName() const override;
    std::optional<QString> printPage(const QImage& image) override;

    // Prints the image on one page as the printer is set up: into its output file (a PDF file
    // in the tests) or to its CUPS queue. The page is made here as a PDF document, not by
    // Qt's print engine, which neither reports a failed write nor a refused job.
    static std::optional<QString> printPage(const QPrinter& printer, const QImage& image);

private:
    // Making a QPrinter loads the CUPS libraries and asks for the default printer: not
    // something to do while the main window opens.
    QPrinter& printer();

    QWidget* owner_;
    std::unique_ptr<QPrinter> printer_;
};
