// The command line: what each argument list asks for, and --export-png's picture and errors.
#include "shell/command_line.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <utility>
#include <vector>

Q_DECLARE_METATYPE(CommandLine::Action)

namespace {

constexpr int kColumns = 582;
constexpr int kRows = 485;

using Cell = std::pair<int, int>;  // (column, row), from 1
using CellValues = std::vector<std::pair<Cell, std::int16_t>>;

// A sketch file written byte by byte: `records` records, the given cells set to their values.
QByteArray sketchBytes(const CellValues& values, int records = kRows)
{
    QByteArray file;
    for (int row = 1; row <= records; ++row) {
        std::vector<std::pair<int, std::int16_t>> cells;
        for (const auto& [cell, value] : values) {
            if (cell.second == row)
                cells.emplace_back(cell.first, value);
        }
        file += rawrecord::make(cells, 291, 242);
    }
    return file;
}

QSet<QString> key(const QList<Cell>& cells)
{
    QSet<QString> keys;
    for (const auto& [c, r] : cells)
        keys.insert(QStringLiteral("%1,%2").arg(c).arg(r));
    return keys;
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QVERIFY(dir_.isValid()); }

    void argumentsAskFor_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<CommandLine::Action>("action");
        QTest::addColumn<QString>("sketch");  // file name expected in sketchPath, "" for none
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("errorPart");

        using A = CommandLine::Action;
        QTest::newRow("nothing") << QStringList{} << A::OpenWindow << "" << "" << "";
        QTest::newRow("a sketch") << QStringList{"cat.nsd"} << A::OpenWindow << "cat.nsd" << "" << "";
        QTest::newRow("a missing sketch") << QStringList{"gone.nsd"} << A::OpenWindow << "gone.nsd" << "" << "";
        QTest::newRow("two sketches") << QStringList{"cat.nsd", "cat.nsd"} << A::Fail << "" << "" << "Only one";
        QTest::newRow("--help") << QStringList{"--help"} << A::ShowHelp << "" << "" << "";
        QTest::newRow("-h") << QStringList{"-h"} << A::ShowHelp << "" << "" << "";
        QTest::newRow("--version") << QStringList{"--version"} << A::ShowVersion << "" << "" << "";
        QTest::newRow("-v") << QStringList{"-v"} << A::ShowVersion << "" << "" << "";
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << A::Fail << "" << ""
                                        << "Unknown option 'frobnicate'.";
        QTest::newRow("export") << QStringList{"--export-png", "cat.nsd", "cat.png"} << A::ExportPng << "cat.nsd"
                                << "cat.png" << "";
        // the export reads the file itself and reports a missing one with the system's reason
        QTest::newRow("export of a missing sketch")
            << QStringList{"--export-png", "gone.nsd", "cat.png"} << A::ExportPng << "gone.nsd" << "cat.png" << "";
        QTest::newRow("export without a picture") << QStringList{"--export-png", "cat.nsd"} << A::Fail << "" << ""
                                                  << "--export-png IN.nsd OUT.png";
        QTest::newRow("export of nothing") << QStringList{"--export-png"} << A::Fail << "" << "" << "--export-png";
        QTest::newRow("Qt's own options pass") << QStringList{"-platform", "offscreen", "-reverse", "cat.nsd"}
                                               << A::OpenWindow << "cat.nsd" << "" << "";
    }
    void argumentsAskFor()
    {
        QFETCH(QStringList, arguments);
        QFETCH(CommandLine::Action, action);
        QFETCH(QString, sketch);
        QFETCH(QString, picture);
        QFETCH(QString, errorPart);
        writeWholeFile(dir_.filePath("cat.nsd"), sketchBytes({}));
        QDir::setCurrent(dir_.path());  // relative names resolve against the working folder

        const CommandLine command = CommandLine::parse(QStringList{"nimbolt-sketch"} + arguments);
        QCOMPARE(command.action, action);
        QCOMPARE(command.sketchPath, sketch.isEmpty() ? QString() : dir_.filePath(sketch));
        QCOMPARE(command.pngPath, picture.isEmpty() ? QString() : dir_.filePath(picture));
        if (errorPart.isEmpty())
            QVERIFY2(command.error.isEmpty(), qPrintable(command.error));
        else
            QVERIFY2(command.error.contains(errorPart), qPrintable(command.error));
    }

    void versionAndErrorsAreOneLine()
    {
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        QCOMPARE(runWithoutWindow(CommandLine::parse({"nimbolt-sketch", "--version"}), out, err), 0);
        QCOMPARE(outText, QStringLiteral("Nimbolt Sketch 1.0\n"));
        QCOMPARE(errText, QString());

        QCOMPARE(runWithoutWindow(CommandLine::parse({"nimbolt-sketch", "--bad", "a", "b"}), out, err), 2);
        QCOMPARE(errText, QStringLiteral("nimbolt-sketch: Unknown option 'bad'. Try --help.\n"));

        outText.clear();
        QCOMPARE(runWithoutWindow(CommandLine::parse({"nimbolt-sketch", "--help"}), out, err), 0);
        QVERIFY2(outText.contains("--export-png") && outText.contains("--version"), qPrintable(outText));
    }

    // Black exactly where a cell holds 1; 0, 2, -1 and anything else stay white.
    void exportDrawsExactlyTheSetCells_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<Cell>>("black");

        QTest::newRow("empty board") << sketchBytes({}) << QList<Cell>{};
        QTest::newRow("four corners") << sketchBytes({{{1, 1}, 1}, {{582, 1}, 1}, {{1, 485}, 1}, {{582, 485}, 1}})
                                      << QList<Cell>{{1, 1}, {582, 1}, {1, 485}, {582, 485}};
        QTest::newRow("only 1 is ink")
            << sketchBytes({{{10, 20}, 1}, {{11, 20}, 2}, {{12, 20}, -1}, {{13, 20}, 257}, {{14, 20}, 1}})
            << QList<Cell>{{10, 20}, {14, 20}};
        QTest::newRow("short file: the missing rows are empty")
            << sketchBytes({{{291, 3}, 1}, {{292, 3}, 1}}, 3) << QList<Cell>{{291, 3}, {292, 3}};
        QByteArray longer = sketchBytes({{{5, 485}, 1}});
        longer += rawrecord::make({{6, 1}}, 0, 0);  // a 486th record is not part of the sketch
        QTest::newRow("bytes after the last record are ignored") << longer << QList<Cell>{{5, 485}};
    }
    void exportDrawsExactlyTheSetCells()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<Cell>, black);
        const QString in = dir_.filePath("in.nsd");
        const QString out = dir_.filePath("out.png");
        writeWholeFile(in, file);

        QString outText, errText;
        QTextStream outStream(&outText), errStream(&errText);
        const CommandLine command = CommandLine::parse({"nimbolt-sketch", "--export-png", in, out});
        QCOMPARE(runWithoutWindow(command, outStream, errStream), 0);
        QCOMPARE(errText, QString());

        QImageReader reader(out);
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage image = reader.read();
        QCOMPARE(image.size(), QSize(kColumns, kRows));
        const QSet<QString> want = key(black);
        QList<Cell> wrong;
        for (int r = 1; r <= kRows; ++r) {
            for (int c = 1; c <= kColumns; ++c) {
                const QRgb expected = want.contains(QStringLiteral("%1,%2").arg(c).arg(r)) ? qRgb(0, 0, 0)
                                                                                             : qRgb(255, 255, 255);
                if ((image.pixel(c - 1, r - 1) & 0xffffff) != (expected & 0xffffff))
                    wrong.append({c, r});
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("%1 pixels differ, first at cell (%2, %3)")
                                                 .arg(wrong.size())
                                                 .arg(wrong.value(0).first)
                                                 .arg(wrong.value(0).second)));
    }

    // A failed export says why in one line, exits 1, and leaves an existing picture alone.
    void exportFailuresKeepTheOldPicture_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("errorPart");
        QTest::newRow("missing sketch") << "gone.nsd" << "old.png" << "Could not open the sketch";
        QTest::newRow("sketch is a folder") << "folder" << "old.png" << "Could not open the sketch";
        QTest::newRow("picture in a missing folder") << "in.nsd" << "nowhere/new.png" << "Could not write the picture";
        QTest::newRow("picture over a folder") << "in.nsd" << "folder" << "Could not write the picture";
    }
    void exportFailuresKeepTheOldPicture()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QFETCH(QString, errorPart);
        writeWholeFile(dir_.filePath("in.nsd"), sketchBytes({{{1, 1}, 1}}));
        const QByteArray old("not really a picture");
        writeWholeFile(dir_.filePath("old.png"), old);
        QVERIFY(QDir(dir_.path()).mkpath("folder"));

        QString outText, errText;
        QTextStream outStream(&outText), errStream(&errText);
        const CommandLine command =
            CommandLine::parse({"nimbolt-sketch", "--export-png", dir_.filePath(in), dir_.filePath(out)});
        QCOMPARE(runWithoutWindow(command, outStream, errStream), 1);
        QVERIFY2(errText.startsWith("nimbolt-sketch: ") && errText.contains(errorPart), qPrintable(errText));
        QCOMPARE(errText.count('\n'), 1);
        QCOMPARE(readWholeFile(dir_.filePath("old.png")), old);
        QVERIFY(!QFile::exists(dir_.filePath("nowhere/new.png")));
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
