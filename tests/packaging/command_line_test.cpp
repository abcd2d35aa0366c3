#include "shell/command_line.h"
#include "support/test_support.h"

#include <QImage>
#include <QRandomGenerator>
#include <QTest>
#include <QTextStream>

// The arguments as the program's argv would hold them: raw bytes, not always a name Qt can hold.
static CommandLine parsed(const QByteArrayList& arguments)
{
    std::vector<const char*> argv{"nimbolt-sketch"};
    for (const QByteArray& argument : arguments)
        argv.push_back(argument.constData());
    return CommandLine::parseNative(int(argv.size()), argv.data());
}

class CommandLineTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString outText, errText;
    int run(const QByteArrayList& arguments)
    {
        outText.clear();
        errText.clear();
        QTextStream out(&outText);
        QTextStream err(&errText);
        return runWithoutWindow(parsed(arguments), out, err);
    }
    // Every entry of the working folder, with its size when it is a plain file.
    static QStringList listing()
    {
        QStringList entries;
        for (const QFileInfo& entry :
             QDir().entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
            entries << entry.fileName()
                    + (entry.isFile() ? QString::number(entry.size()) : QStringLiteral(" other"));
        return entries;
    }

private Q_SLOTS:
    void initTestCase()  // what the rows find; none of them may change it
    {
        QDir::setCurrent(dir.path());  // relative names resolve against the working folder
        // random ink, whose picture outgrows any write buffer
        QByteArray sketch(485 * rawrecord::kBytes, '\0');
        for (qsizetype at = 0; at < sketch.size(); at += 2)
            sketch[at] = char(QRandomGenerator::global()->bounded(2));
        writeWholeFile("in.nsd", sketch);
        writeWholeFile("old.png", "not really a picture");
        QCOMPARE(::mkfifo("fifo", 0666), 0);
        QVERIFY(QFile::link("in.nsd", "link.png"));
    }

    // Success answers on out, an error in one line on err; a failed export leaves the folder as it
    // was. Files written here cannot outgrow 10000 bytes, which a picture of random ink fills.
    void runsWithoutWindow_data()
    {
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");  // a part of the answer
        const QByteArray x = "--export-png";
        const auto row
            = [](const char* name, const QByteArrayList& arguments, int status,
                 const QString& said) { QTest::newRow(name) << arguments << status << said; };
        row("-v", {"-v"}, 0, "Nimbolt Sketch ");  // deb.sh checks the number
        row("--help", {"--help"}, 0, "--export-png");
        const QString unknown = ": Unknown option '%1' (see --help); to open a file of that name, "
                                "write ./%1 or put -- before it.\n";
        row("unknown option, as typed", {"-dash.nsd"}, 2, unknown.arg("-dash.nsd"));
        row("unknown long option with a value", {"a", "--bad=1", "b"}, 2, unknown.arg("--bad=1"));
        row("two sketches", {"in.nsd", "in.nsd"}, 2, "Only one sketch");
        row("export without a picture", {x, "in.nsd"}, 2, "IN.nsd OUT.png");
        row("missing sketch", {x, "gone.nsd", "old.png"}, 1, "Could not open");
        row("picture in a missing folder", {x, "in.nsd", "no/a.png"}, 1, "Could not write");
        row("FIFO as the picture", {x, "in.nsd", "fifo"}, 1, "It is not a file");
        row("picture over a link to its sketch", {x, "in.nsd", "link.png"}, 1, "It is the sketch");
        row("picture onto a full disk", {x, "in.nsd", "old.png"}, 1, "File too large");
        row("picture name not in the encoding", {x, "in.nsd", "a\xff.png"}, 2, "cannot be used");
        row("sketch name not in the encoding", {x, "a\xff.nsd", "old.png"}, 2, "cannot be used");
    }
    void runsWithoutWindow()
    {
        QFETCH(QByteArrayList, arguments);
        QFETCH(int, status);
        QFETCH(QString, said);
        const QStringList before = listing();
        const FileSizeLimit limit(10000);
        QCOMPARE(run(arguments), status);
        QVERIFY2((status ? errText : outText).contains(said), qPrintable(outText + errText));
        QCOMPARE(status ? outText : errText, QString());
        QCOMPARE(errText.count('\n'), status ? 1 : 0);  // one line, named after the program
        QVERIFY(!status || errText.startsWith("nimbolt-sketch: "));
        QCOMPARE(listing(), before);
    }

    // Black on white, exactly where a cell holds 1 (what a file holds is the files suite's).
    void exportDrawsExactlyTheSetCells()
    {
        const QByteArray edge = rawrecord::make({{1, 1}, {7, 2}, {582, 1}}, 0, 0);
        writeWholeFile("in.nsd", edge + QByteArray(483 * rawrecord::kBytes, '\0') + edge);
        QCOMPARE(run({"--export-png", "in.nsd", "out.png"}), 0);
        QImage expected(582, 485, QImage::Format_RGB32);
        expected.fill(Qt::white);
        for (auto [column, row] : {std::pair{1, 1}, {582, 1}, {1, 485}, {582, 485}})
            expected.setPixel(column - 1, row - 1, qRgb(0, 0, 0));
        QCOMPARE(QImage("out.png", "PNG").convertToFormat(QImage::Format_RGB32), expected);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
