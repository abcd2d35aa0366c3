#pragma once

#include "platform/image_surface.h"

#include <memory>

class MessageService;
class MousePointer;
class PagePrinter;
class RowRecord;
class ScreenStore;

// frmPrintSketch: the hidden print surface, the grid's size, white with black ink whatever
// the desktop theme, so a dark theme never prints white on white.
class frmPrintSketch {
public:
    frmPrintSketch();
    ImageSurface& surface() { return surface_; }

private:
    ImageSurface surface_;
};

// Print: replays the screen store onto the print surface and prints it as one page.
class SketchPrinting {
public:
    SketchPrinting(ScreenStore& store, RowRecord& rowBuffer, PagePrinter& printer, MousePointer& pointer,
                   MessageService& messages);
    ~SketchPrinting();

    void PrintSketch();
    // The print surface, once the first print created it.
    frmPrintSketch* printForm() const { return printForm_.get(); }

private:
    ScreenStore& store_;
    RowRecord& rowBuffer_;
    PagePrinter& printer_;
    MousePointer& pointer_;
    MessageService& messages_;
    std::unique_ptr<frmPrintSketch> printForm_;
};
