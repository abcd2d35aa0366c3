#pragma once

#include <QString>

class MessageService;
class MousePointer;
class SketchBoard;
class SketchDialogs;

// Save Sketch and Open Sketch. Cancelling a dialog ends a command silently; any other
// failure is shown in a message box that names the file and the reason. A drawing that has
// not been saved is never dropped without asking. The hourglass shows while a sketch is written.
class SketchCommands {
public:
    SketchCommands(SketchBoard& board, SketchDialogs& dialogs, MousePointer& pointer,
                   MessageService& messages);

    // True when the sketch was saved.
    bool SaveSketch();
    void OpenSketch();
    // Opens a chosen file: the whole file is read before the board, the store and the pen
    // change. False (with a message shown) when it could not be read.
    bool openSketchFile(const QString& path);
    // Before unsaved drawing would be lost: asks `question` and saves when told to. True
    // when nothing would be lost, the drawing was saved or the user let it go.
    bool mayLoseDrawing(const QString& question);

    static inline const QString kBeforeClosing
        = QStringLiteral("Save changes to your sketch before closing?");
    static inline const QString kBeforeOpening
        = QStringLiteral("Save changes to your sketch before opening another?");

private:
    SketchBoard& board_;
    SketchDialogs& dialogs_;
    MousePointer& pointer_;
    MessageService& messages_;
    QString sketchPath_;  // the sketch last opened or saved, which Save offers
};
