#pragma once

#include <QString>

#include <optional>

class QImage;

// The printer side of Print: choose a printer or a file, then print one page.
class PagePrinter {
public:
    virtual ~PagePrinter() = default;
    // The print dialog; false when the user cancels.
    virtual bool ShowPrinter() = 0;
    // The file chosen in the dialog, or empty when the page goes to a printer.
    virtual QString outputFileName() const = 0;
    // The printer chosen in the dialog.
    virtual QString printerName() const = 0;
    // Prints the image at 96 pixels to the inch at the top left of the printable area, on
    // one page. Returns the system's reason on failure (no full stop), nothing on success; a
    // file that could not be written whole is left as it was.
    virtual std::optional<QString> printPage(const QImage& image) = 0;
};
