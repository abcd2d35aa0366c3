#include "files/sketch_commands.h"

#include "board/sketch_board.h"
#include "files/sketch_file.h"
#include "platform/file_error.h"
#include "platform/message_service.h"
#include "platform/mouse_pointer.h"
#include "platform/sketch_dialogs.h"

SketchCommands::SketchCommands(SketchBoard& board, SketchDialogs& dialogs, MousePointer& pointer,
                               MessageService& messages)
    : board_(board), dialogs_(dialogs), pointer_(pointer), messages_(messages)
{}

bool SketchCommands::SaveSketch()
{
    const std::optional<QString> chosen = dialogs_.ShowSave(sketchPath_);
    if (!chosen)
        return false;
    QString failure;
    {
        BusyPointer busy(pointer_);
        try {
            SketchFile::save(*chosen, board_);
        } catch (const FileError& e) {
            failure = e.message();
        }
    }
    if (!failure.isEmpty()) {
        messages_.showError(failure);
        return false;
    }
    sketchPath_ = *chosen;
    board_.markSaved();
    return true;
}

void SketchCommands::OpenSketch()
{
    if (!mayLoseDrawing(kBeforeOpening))
        return;
    if (const std::optional<QString> chosen = dialogs_.ShowOpen())
        openSketchFile(*chosen);
}

bool SketchCommands::openSketchFile(const QString& path)
{
    try {
        board_.loadGrid(SketchFile::read(path));
    } catch (const FileError& e) {
        messages_.showError(e.message());
        return false;
    }
    sketchPath_ = path;
    return true;
}

bool SketchCommands::mayLoseDrawing(const QString& question)
{
    if (!board_.hasUnsavedDrawing())
        return true;
    switch (messages_.askToSave(question)) {
    case MessageService::SaveAnswer::Save:
        return SaveSketch();
    case MessageService::SaveAnswer::Discard:
        return true;
    case MessageService::SaveAnswer::Cancel:
        break;
    }
    return false;
}
