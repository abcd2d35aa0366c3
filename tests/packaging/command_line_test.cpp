// The command line: what each argument list asks for, what runs without a window says and
// returns, and --export-png's picture.
#include "platform/app_info.h"
#include "shell/command_line.h"
#include "support/test_support.h"

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QtEndian>

using Cell = std::pair<int, int>;  // (column, row), from 1

// A whole sketch file written byte by byte, the given cells set.
static QByteArray sketchBytes(const QList<std::pair<Cell, std::int16_t>>& values)
{
    QByteArray file(485 * rawrecord::kBytes, '\0');
    for (const auto& [cell, value] : values)
        qToLittleEndian(value, file.data() + (cell.second - 1) * rawrecord::kBytes + (cell.first - 1) * 2);
    return file;
}

class CommandLineTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString outText, errText;
    int run(const QStringList& arguments)
    {
        outText.clear(), errText.clear();
        QTextStream out(&outText), err(&errText);
        return runWithoutWindow(CommandLine::parse(QStringList{"nimbolt-sketch"} + arguments), out, err);
    }

private Q_SLOTS:
    void init()
    {
        QDir::setCurrent(dir.path());  // relative names resolve against the working folder
        writeWholeFile("in.nsd", sketchBytes({}));
        writeWholeFile("old.png", "not really a picture");
        QVERIFY(QDir().mkpath("folder"));
    }

    // Only opening a window is left for later: the sketch to open, found from the working folder.
    void argumentsAskFor_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("sketch");   // expected in sketchPath, "" for none
        QTest::newRow("nothing") << QStringList{} << "";
        QTest::newRow("a sketch") << QStringList{"in.nsd"} << "in.nsd";
        QTest::newRow("Qt's own options pass") << QStringList{"-platform", "offscreen", "-reverse", "in.nsd"}
                                               << "in.nsd";
    }
    void argumentsAskFor()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, sketch);
        const CommandLine command = CommandLine::parse(QStringList{"nimbolt-sketch"} + arguments);
        QCOMPARE(command.action, CommandLine::Action::OpenWindow);
        QCOMPARE(command.sketchPath, sketch.isEmpty() ? QString() : dir.filePath(sketch));
    }

    // Errors are one line on err; a failed export keeps the old picture.
    void runsWithoutWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");  // what out holds, or a part of it
        QTest::addColumn<QString>("err");
        const QString version = QStringLiteral("Nimbolt Sketch %1.%2\n").arg(AppInfo::majorVersion()).arg(AppInfo::minorVersion());
        QTest::newRow("-v") << QStringList{"-v"} << 0 << version << "";
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "--export-png" << "";
        QTest::newRow("unknown option") << QStringList{"--bad", "a", "b"} << 2 << ""
                                        << "nimbolt-sketch: Unknown option 'bad'. Try --help.\n";
        QTest::newRow("two sketches") << QStringList{"in.nsd", "in.nsd"} << 2 << "" << "Only one sketch";
        QTest::newRow("export without a picture") << QStringList{"--export-png", "in.nsd"} << 2 << ""
                                                  << "--export-png IN.nsd OUT.png";
        QTest::newRow("export of a missing sketch") << QStringList{"--export-png", "gone.nsd", "old.png"} << 1 << ""
                                                    << "Could not open the sketch";
        QTest::newRow("picture in a missing folder") << QStringList{"--export-png", "in.nsd", "nowhere/new.png"} << 1 << ""
                                                     << "Could not write the picture";
        QTest::newRow("picture over a folder") << QStringList{"--export-png", "in.nsd", "folder"} << 1 << ""
                                               << "Could not write the picture";
    }
    void runsWithoutWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QCOMPARE(run(arguments), status);
        QVERIFY2(out.isEmpty() ? outText.isEmpty() : outText.contains(out), qPrintable(outText));
        QVERIFY2(err.isEmpty() ? errText.isEmpty() : errText.startsWith("nimbolt-sketch: ") && errText.contains(err),
                 qPrintable(errText));
        QCOMPARE(errText.count('\n'), err.isEmpty() ? 0 : 1);
        QCOMPARE(readWholeFile("old.png"), QByteArray("not really a picture"));
        QVERIFY(!QFile::exists("nowhere"));
    }

    // Black on white, exactly where a cell holds 1 (what a file holds is the files suite's).
    void exportDrawsExactlyTheSetCells()
    {
        writeWholeFile("in.nsd", sketchBytes({{{1, 1}, 1}, {{582, 1}, 1}, {{1, 485}, 1}, {{582, 485}, 1}, {{7, 9}, 2}}));
        QCOMPARE(run({"--export-png", "in.nsd", "out.png"}), 0);
        QImageReader reader("out.png");
        QCOMPARE(reader.format(), QByteArray("png"));
        QImage expected(582, 485, QImage::Format_RGB32);
        expected.fill(Qt::white);
        for (auto [column, row] : {Cell{1, 1}, {582, 1}, {1, 485}, {582, 485}})
            expected.setPixel(column - 1, row - 1, qRgb(0, 0, 0));
        QVERIFY(reader.read().convertToFormat(QImage::Format_RGB32) == expected);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
