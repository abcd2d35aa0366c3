#include "files/sketch_printing.h"

#include "board/row_record.h"
#include "board/screen_store.h"
#include "board/sketch_board.h"
#include "files/sketch_file.h"
#include "platform/file_error.h"
#include "platform/message_service.h"
#include "platform/mouse_pointer.h"
#include "platform/page_printer.h"

SketchPrinting::SketchPrinting(SketchBoard& board, PagePrinter& printer, MousePointer& pointer,
                               MessageService& messages)
    : board_(board), printer_(printer), pointer_(pointer), messages_(messages)
{}

SketchPrinting::~SketchPrinting() = default;

void SketchPrinting::PrintSketch()
{
    if (!printer_.ShowPrinter())
        return;
    const QString file = printer_.outputFileName();
    const QString target = file.isEmpty() ? printer_.printerName() : SketchFile::displayPath(file);
    const auto failed = [&target](const QString& reason) {
        return QStringLiteral("Could not print the sketch to %1: %2.").arg(target, reason);
    };
    // A page written over the store's own file would destroy the drawing.
    if (!file.isEmpty() && board_.store().isFile(file)) {
        messages_.showError(failed(QStringLiteral("It is the board's own screen store")));
        return;
    }
    QString failure;
    {
        BusyPointer busy(pointer_);
        if (!printForm_)
            printForm_ = std::make_unique<frmPrintSketch>();
        ImageSurface& page = printForm_->surface();
        try {
            SketchBoard::plotGrid(page, board_.readGrid());
            if (const std::optional<QString> reason = printer_.printPage(page.image()))
                failure = failed(*reason);
        } catch (const FileError& e) {
            failure = e.message();
        }
        page.clear();  // ready for the next print
    }
    if (!failure.isEmpty())
        messages_.showError(failure);
}
