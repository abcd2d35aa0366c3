#include "files/sketch_commands.h"

#include "board/screen_store.h"
#include "board/sketch_board.h"
#include "files/sketch_file.h"
#include "platform/drawing_surface.h"
#include "platform/file_error.h"
#include "platform/message_service.h"
#include "platform/record_file.h"
#include "platform/sketch_dialogs.h"

SketchCommands::SketchCommands(SketchBoard& board, SketchDialogs& dialogs, MessageService& messages)
    : board_(board), dialogs_(dialogs), messages_(messages)
{
}

void SketchCommands::SaveSketch()
{
    const std::optional<QString> chosen = dialogs_.ShowSave();
    if (!chosen)
        return;
    board_.SaveFileName = *chosen;
    board_.SketchFileNumber = RecordFile::nextFreeFileNumber();
    try {
        SketchFile::save(board_.SaveFileName, board_.store(), board_.rowBuffer(), board_.PenX, board_.PenY);
    } catch (const FileError& e) {
        messages_.showMessage(e.message());
    }
}

void SketchCommands::OpenSketch()
{
    const std::optional<QString> chosen = dialogs_.ShowOpen();
    if (chosen)
        openSketchFile(*chosen);
}

bool SketchCommands::openSketchFile(const QString& path)
{
    board_.OpenFileName = path;
    board_.SketchFileNumber = RecordFile::nextFreeFileNumber();
    try {
        const SketchFile::Rows rows = SketchFile::read(path);
        board_.surface().clear();
        board_.store().writeRows(1, rows);
        SketchBoard::plotGrid(board_.surface(), rows);
        // The pen comes from the last record; one outside the board is brought back in.
        board_.rowBuffer() = rows.back();
        board_.placePen(board_.rowBuffer().penX(), board_.rowBuffer().penY());
        return true;
    } catch (const FileError& e) {
        messages_.showMessage(e.message());
        return false;
    }
}
