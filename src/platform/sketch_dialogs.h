#pragma once

#include <QString>

#include <optional>

class QImage;

// The file dialogs of the sketch commands; nullopt when the user cancels.
class SketchDialogs {
public:
    virtual ~SketchDialogs() = default;
    // "Save Sketch As": asks before replacing a file, appends ".nsd" to a bare name, and
    // offers `suggested` (the sketch last opened or saved; empty for none).
    virtual std::optional<QString> ShowSave(const QString& suggested) = 0;
    // "Open Sketch": the file must exist.
    virtual std::optional<QString> ShowOpen() = 0;
};

// The printer side of Print: choose a printer, then print one page.
class PagePrinter {
public:
    virtual ~PagePrinter() = default;
    // The print dialog; false when the user cancels.
    virtual bool ShowPrinter() = 0;
    // Prints the image at 96 pixels to the inch at the top left of the printable area, on
    // one page. Throws FileError naming the printer and the reason on failure.
    virtual void printPage(const QImage& image) = 0;
};

// The mouse pointer over the main window.
class MousePointer {
public:
    enum Shape { Default = 0, Hourglass = 11 };
    virtual ~MousePointer() = default;
    virtual void setMousePointer(Shape shape) = 0;
};
