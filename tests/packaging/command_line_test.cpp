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

Q_DECLARE_METATYPE(CommandLine::Action)

using Cell = std::pair<int, int>;  // (column, row), from 1

// A sketch file written byte by byte: `records` records with the given cells set.
static QByteArray sketchBytes(const QList<std::pair<Cell, std::int16_t>>& values, int records = 485)
{
    QByteArray file;
    for (int row = 1; row <= records; ++row) {
        std::vector<std::pair<int, std::int16_t>> cells;
        for (const auto& [cell, value] : values)
            if (cell.second == row)
                cells.emplace_back(cell.first, value);
        file += rawrecord::make(cells, 291, 242);
    }
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

    void argumentsAskFor_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<CommandLine::Action>("action");
        QTest::addColumn<QString>("sketch");   // expected in sketchPath, "" for none
        QTest::addColumn<QString>("picture");  // expected in pngPath
        using A = CommandLine::Action;
        QTest::newRow("nothing") << QStringList{} << A::OpenWindow << "" << "";
        QTest::newRow("a sketch") << QStringList{"in.nsd"} << A::OpenWindow << "in.nsd" << "";
        QTest::newRow("Qt's own options pass") << QStringList{"-platform", "offscreen", "-reverse", "in.nsd"} << A::OpenWindow
                                               << "in.nsd" << "";
        QTest::newRow("-h") << QStringList{"-h"} << A::ShowHelp << "" << "";
        QTest::newRow("-v") << QStringList{"-v"} << A::ShowVersion << "" << "";
        QTest::newRow("export") << QStringList{"--export-png", "in.nsd", "a.png"} << A::ExportPng << "in.nsd" << "a.png";
    }
    void argumentsAskFor()
    {
        QFETCH(QStringList, arguments);
        QFETCH(CommandLine::Action, action);
        QFETCH(QString, sketch);
        QFETCH(QString, picture);
        const CommandLine command = CommandLine::parse(QStringList{"nimbolt-sketch"} + arguments);
        QCOMPARE(command.action, action);
        QCOMPARE(command.sketchPath, sketch.isEmpty() ? QString() : dir.filePath(sketch));
        QCOMPARE(command.pngPath, picture.isEmpty() ? QString() : dir.filePath(picture));
    }

    // Errors are one line on err; a failed export keeps the old picture.
    void runsWithoutWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");  // what out holds, or a part of it
        QTest::addColumn<QString>("err");
        const QString version = QStringLiteral("Nimbolt Sketch %1.%2\n").arg(AppInfo::majorVersion()).arg(AppInfo::minorVersion());
        QTest::newRow("--version") << QStringList{"--version"} << 0 << version << "";
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "--export-png" << "";
        QTest::newRow("unknown option") << QStringList{"--bad", "a", "b"} << 2 << ""
                                        << "nimbolt-sketch: Unknown option 'bad'. Try --help.\n";
        QTest::newRow("missing sketch") << QStringList{"gone.nsd"} << 2 << ""
                                        << "Could not open the sketch gone.nsd: No such file or directory.";
        QTest::newRow("two sketches") << QStringList{"in.nsd", "in.nsd"} << 2 << "" << "Only one sketch";
        QTest::newRow("export without a picture") << QStringList{"--export-png", "in.nsd"} << 2 << ""
                                                  << "--export-png IN.nsd OUT.png";
        QTest::newRow("export of a missing sketch") << QStringList{"--export-png", "gone.nsd", "old.png"} << 1 << ""
                                                    << "Could not open the sketch";
        QTest::newRow("export of a folder") << QStringList{"--export-png", "folder", "old.png"} << 1 << ""
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

    // Black exactly where a cell holds 1; 0, 2, -1 and anything else stay white.
    void exportDrawsExactlyTheSetCells_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<Cell>>("black");
        QTest::newRow("empty board") << sketchBytes({}) << QList<Cell>{};
        QTest::newRow("four corners") << sketchBytes({{{1, 1}, 1}, {{582, 1}, 1}, {{1, 485}, 1}, {{582, 485}, 1}})
                                      << QList<Cell>{{1, 1}, {582, 1}, {1, 485}, {582, 485}};
        QTest::newRow("only 1 is ink") << sketchBytes({{{10, 20}, 1}, {{11, 20}, 2}, {{12, 20}, -1}, {{13, 20}, 257}})
                                       << QList<Cell>{{10, 20}};
        QTest::newRow("short file: the missing rows are empty") << sketchBytes({{{291, 3}, 1}}, 3) << QList<Cell>{{291, 3}};
        QTest::newRow("records after the 485th are ignored") << sketchBytes({{{5, 485}, 1}}) + rawrecord::make({{6, 1}}, 0, 0)
                                                             << QList<Cell>{{5, 485}};
    }
    void exportDrawsExactlyTheSetCells()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<Cell>, black);
        writeWholeFile("in.nsd", file);
        QCOMPARE(run({"--export-png", "in.nsd", "out.png"}), 0);
        QCOMPARE(errText, QString());
        QImageReader reader("out.png");
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage image = reader.read().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image.size(), QSize(582, 485));
        QImage expected(image.size(), QImage::Format_RGB32);
        expected.fill(Qt::white);
        for (auto [column, row] : black)
            expected.setPixel(column - 1, row - 1, qRgb(0, 0, 0));
        QVERIFY(image == expected);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
