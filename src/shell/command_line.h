#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// What the program's arguments ask for:
//   nimbolt-sketch [FILE.nsd]                     the window, then FILE opened as Open Sketch does
//   nimbolt-sketch --export-png IN.nsd OUT.png    the sketch as a picture, no window
//   nimbolt-sketch --help | --version
struct CommandLine {
    enum class Action { OpenWindow, ExportPng, ShowHelp, ShowVersion, Fail };

    Action action = Action::OpenWindow;
    QString sketchPath;  // OpenWindow (empty for none) and ExportPng: the sketch, absolute
    QString pngPath;     // ExportPng: the picture to write
    QString error;       // Fail: one sentence

    // Reads the arguments, argv[0] first. Qt's own options (-platform, -style, -reverse ...)
    // are accepted here and left for QApplication. Needs no application object; the only
    // file it looks at is the sketch to open, which must exist.
    static CommandLine parse(const QStringList& arguments);
};

// Carries out an action that needs no window (everything but OpenWindow), writing to out and
// err, and returns the exit status: 0 done, 1 the export failed, 2 a usage error. Help and
// version need a QCoreApplication; nothing here needs a display or the screen store.
int runWithoutWindow(const CommandLine& command, QTextStream& out, QTextStream& err);

// "1.0"
QString programVersion();
