#pragma once

#include "files/frm_print_sketch.h"

#include <memory>

class MessageService;
class MousePointer;
class PagePrinter;
class SketchBoard;

// Print: replays the board's store onto the print surface and prints it as one page.
class SketchPrinting {
public:
    SketchPrinting(SketchBoard& board, PagePrinter& printer, MousePointer& pointer,
                   MessageService& messages);
    ~SketchPrinting();

    void PrintSketch();
    // The print surface, once the first print created it.
    frmPrintSketch* printForm() const { return printForm_.get(); }

private:
    SketchBoard& board_;
    PagePrinter& printer_;
    MousePointer& pointer_;
    MessageService& messages_;
    std::unique_ptr<frmPrintSketch> printForm_;
};
