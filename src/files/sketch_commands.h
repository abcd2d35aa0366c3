#pragma once

#include <QString>

class MessageService;
class SketchBoard;
class SketchDialogs;

// Save Sketch and Open Sketch. Cancelling a dialog ends a command silently; any other
// failure is shown in a message box that names the file and the reason.
class SketchCommands {
public:
    SketchCommands(SketchBoard& board, SketchDialogs& dialogs, MessageService& messages);

    void SaveSketch();
    void OpenSketch();
    // Opens a chosen file: the whole file is read and checked before the board, the store
    // and the pen change. False (with a message shown) when it could not be read.
    bool openSketchFile(const QString& path);

private:
    SketchBoard& board_;
    SketchDialogs& dialogs_;
    MessageService& messages_;
};
