#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// What the program's arguments ask for:
//   nimbolt-sketch [FILE.nsd]                     the window, then FILE opened as Open Sketch does
//                                                 (a file that cannot be opened is reported there)
//   nimbolt-sketch --export-png IN.nsd OUT.png    the sketch as a picture, no window
//   nimbolt-sketch --help | --version
struct CommandLine {
    enum class Action { OpenWindow, ExportPng, ShowHelp, ShowVersion, Fail };

    Action action = Action::OpenWindow;
    QString sketchPath;  // OpenWindow (empty for none) and ExportPng: the sketch, absolute
    QString pngPath;  // ExportPng: the picture to write
    QString error;  // Fail: one sentence; OpenWindow: why the named sketch was refused

    // Reads the arguments, argv[0] first. Qt's own options (-platform, -style, -reverse ...)
    // are accepted here and left for QApplication. Needs no application object and looks at
    // no file.
    static CommandLine parse(const QStringList& arguments);
    // The same from the program's own argv. A file name whose bytes the decoded name does not
    // give back is refused: --export-png fails, and the window shows the refusal instead of
    // opening the file.
    static CommandLine parseNative(int argc, const char* const argv[]);
};

// Carries out an action that needs no window (everything but OpenWindow), writing to out and
// err, and returns the exit status: 0 done, 1 the export failed, 2 a usage error. Help and
// version need a QCoreApplication; nothing here needs a display or the screen store.
int runWithoutWindow(const CommandLine& command, QTextStream& out, QTextStream& err);
