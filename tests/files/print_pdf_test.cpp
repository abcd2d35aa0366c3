#include "files/sketch_file.h"
#include "files/sketch_printing.h"
#include "support/board_rig.h"
#include "support/pdf_printer.h"

#include <QApplication>
#include <QProcess>
#include <QTest>

using Cell = std::pair<int, int>;  // column, row
using namespace Qt::Literals::StringLiterals;

class PrintPdfTest : public QObject, BoardRig {
    Q_OBJECT
    RecordingPointer pointer;

    QSet<Cell> inkedCells(const QString& pdf, QPoint origin)
    {
        // pdftocairo maps an image drawn 1:1 onto whole pixels; pdftoppm's scaler smears edges.
        const QString png = dir.filePath(QStringLiteral("raster"));
        QProcess::execute(QStringLiteral("pdftocairo"),
                          {"-r", "96", "-png", "-singlefile", pdf, png});
        const QImage page(png + QStringLiteral(".png"));
        QSet<Cell> cells;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 128)
                    cells.insert({x - origin.x() + 1, y - origin.y() + 1});
        return cells;
    }
    QString noService() const { return dir.filePath(QStringLiteral("cups.sock")); }
    void setCell(int column, int row, qint16 value)
    {
        RowRecord record;
        store.readRow(row, record);
        record.setCell(column, value);
        store.writeRow(row, record);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(opened);
        // Set before anything asks for printers; no test talks to the machine's print service.
        qputenv("CUPS_SERVER", QFile::encodeName(noService()));
    }
    void init()
    {
        messages = {};
        pointer = {};
    }

    void printsExactlyTheSetCellsAtTheirPlaceEachTime()
    {
        QSet<Cell> drawn{{1, 1}, {582, 1}, {1, 485}, {582, 485}, {291, 242}, {100, 3}};
        for (auto [column, row] : drawn)
            setCell(column, row, 1);
        setCell(10, 50, 2);  // values other than 1 are not ink
        setCell(11, 50, -1);
        QPalette dark
            = QApplication::palette();  // a dark desktop theme must not turn the ink white
        dark.setColor(QPalette::ButtonText, Qt::white);
        QApplication::setPalette(dark);
        PdfPrinter printer;
        printer.file = dir.filePath(QStringLiteral("page.pdf"));
        SketchPrinting printing(board, printer, pointer, messages);
        printing.PrintSketch();
        QCOMPARE(inkedCells(printer.file, printer.origin), drawn);
        setCell(100, 3, 0);  // rubbed out: the next print, on the same form, lacks it
        drawn.remove({100, 3});
        const QByteArray before = storeBytes();
        printing.PrintSketch();
        QCOMPARE(inkedCells(printer.file, printer.origin), drawn);
        QCOMPARE(storeBytes(), before);  // printing wrote nothing
        QCOMPARE(messages.errors, QStringList());
        QCOMPARE(pointer.shapes,
                 (std::vector{MousePointer::Hourglass, MousePointer::Default,
                              MousePointer::Hourglass, MousePointer::Default}));
    }

    void failuresSayWhyAndLeaveNoFile_data()
    {
        QTest::addColumn<QString>("file");  // in the scratch folder; "" the printer "PDF"
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("busy");  // whether the hourglass showed before it ended
        QTest::addColumn<int>("sizeLimit");  // bytes a file may grow to, 0 for no limit
        const QString ownStore = QStringLiteral("It is the board's own screen store");
        const QString noAnswer = "No print service answers at " + noService();
        const QString none;
        QTest::newRow("no print service") << none << noAnswer << true << 0;
        QTest::newRow("folder missing")
            << u"none/a.pdf"_s << u"No such file or directory"_s << true << 0;
        QTest::newRow("disk full") << u"out/page.pdf"_s << u"File too large"_s << true << 1024;
        QTest::newRow("onto a folder") << u"out"_s << u"It is not a file"_s << true << 0;
        QTest::newRow("onto a link to it") << u"out/link"_s << ownStore << false << 0;
    }
    void failuresSayWhyAndLeaveNoFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        QFETCH(bool, busy);
        QFETCH(int, sizeLimit);
        setCell(1, 1, 1);
        const QByteArray before = storeBytes();
        QDir(dir.path()).mkdir(QStringLiteral("out"));
        QFile::link(store.path(), dir.filePath(QStringLiteral("out/link")));
        PdfPrinter printer;
        printer.file = file.isEmpty() ? QString() : dir.filePath(file);
        SketchPrinting printing(board, printer, pointer, messages);
        {
            std::optional<FileSizeLimit> limit;
            if (sizeLimit)
                QVERIFY(limit.emplace(sizeLimit).active());
            printing.PrintSketch();
        }
        const QString target = file.isEmpty() ? "PDF" : SketchFile::displayPath(dir.filePath(file));
        const auto said
            = QStringLiteral("Could not print the sketch to %1: %2.").arg(target, reason);
        QCOMPARE(messages.errors, QStringList{said});
        using Shapes = std::vector<MousePointer::Shape>;
        const Shapes shown{MousePointer::Hourglass, MousePointer::Default};
        QCOMPARE(pointer.shapes, busy ? shown : Shapes{});
        const QDir out(dir.filePath(QStringLiteral("out")));
        const auto all = QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System | QDir::Hidden;
        QCOMPARE(out.entryList(all), QStringList{QStringLiteral("link")});  // none written aside
        QCOMPARE(storeBytes(), before);
        QVERIFY(!printing.printForm()
                || !printing.printForm()->surface().isSet(0, 0));  // clean for the next print
    }
};

QTEST_MAIN(PrintPdfTest)
#include "print_pdf_test.moc"
