#include "board/screen_store.h"
#include "files/print_sketch.h"
#include "support/fakes.h"
#include "support/pdf_printer.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <set>

using Cell = std::pair<int, int>;  // column, row

// Print through the real page renderer into PDF files, read back with pdftocairo.
class PrintPdfTest : public QObject {
    Q_OBJECT

    QImage rasterise(const QString& pdf)
    {
        const QString prefix = dir->filePath(QStringLiteral("raster"));
        // pdftocairo maps an image drawn 1:1 onto whole pixels; pdftoppm's scaler smears edges.
        QProcess::execute(QStringLiteral("pdftocairo"), {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                                                         QStringLiteral("-singlefile"), pdf, prefix});
        return QImage(prefix + QStringLiteral(".png"));
    }
    std::set<Cell> inkedCells(const QImage& page, QPoint origin)
    {
        std::set<Cell> cells;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 128)
                    cells.insert({x - origin.x() + 1, y - origin.y() + 1});
        return cells;
    }
    void setCell(int column, int row, qint16 value)
    {
        RowRecord record;
        store->readRow(row, record);
        record.setCell(column, value);
        store->writeRow(row, record);
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ScreenStore> store;
    RowRecord rowBuffer;
    RecordingMessages messages;
    RecordingPointer pointer;

private Q_SLOTS:
    void init()
    {
        store.reset();  // before its folder goes
        dir = std::make_unique<QTemporaryDir>();
        store = std::make_unique<ScreenStore>();
        QCOMPARE(store->openInFirstUsable({dir->filePath(QStringLiteral("app"))}), ScreenStore::OpenResult::Opened);
        messages = {};
        pointer = {};
    }

    void printsExactlyTheSetCellsAtTheirPlaceTwice()
    {
        const std::set<Cell> drawn{{1, 1}, {582, 1}, {1, 485}, {582, 485}, {291, 242}, {292, 242}, {100, 3}};
        for (auto [column, row] : drawn)
            setCell(column, row, 1);
        setCell(10, 50, 2);  // values other than 1 are not ink
        setCell(11, 50, -1);
        QPalette dark = QApplication::palette();  // a dark desktop theme must not turn the ink white
        dark.setColor(QPalette::ButtonText, Qt::white);
        QApplication::setPalette(dark);

        PdfPrinter printer(dir->path());
        SketchPrinting printing(*store, rowBuffer, printer, pointer, messages);
        printing.PrintSketch();
        printing.PrintSketch();
        QCOMPARE(printer.pages.size(), 2);
        QVERIFY(messages.shown.isEmpty());
        const QImage first = rasterise(printer.pages[0]);
        QVERIFY2(!first.isNull(), "pdftocairo produced no page");
        QCOMPARE(inkedCells(first, printer.origin), drawn);
        QCOMPARE(rasterise(printer.pages[1]), first);
        QCOMPARE(pointer.shapes, (std::vector<MousePointer::Shape>{MousePointer::Hourglass, MousePointer::Default,
                                                                   MousePointer::Hourglass, MousePointer::Default}));
        QCOMPARE(readWholeFile(store->path()).size(), qsizetype(485) * rawrecord::kBytes);  // printing wrote nothing
    }

    void failuresShowTheirMessageAndRestoreThePointer_data()
    {
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<QString>("folder");  // for the PDF files, below the scratch folder
        QTest::addColumn<bool>("fail");
        QTest::addColumn<QString>("message");
        QTest::newRow("no printer chosen") << false << "" << false << "";
        QTest::newRow("no printer available") << true << "missing" << false << "the printer is not available.";
        QTest::newRow("printer error") << true << "" << true << "Could not print to PDF: printing failed.";
    }
    void failuresShowTheirMessageAndRestoreThePointer()
    {
        QFETCH(bool, chosen);
        QFETCH(QString, folder);
        QFETCH(bool, fail);
        QFETCH(QString, message);
        setCell(5, 5, 1);
        PdfPrinter printer(dir->filePath(folder));
        printer.chosen = chosen;
        printer.fail = fail;
        SketchPrinting printing(*store, rowBuffer, printer, pointer, messages);
        printing.PrintSketch();
        QVERIFY(printer.pages.isEmpty());
        if (message.isEmpty()) {
            QVERIFY(messages.shown.isEmpty());
            QVERIFY(pointer.shapes.empty());
            return;
        }
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY2(messages.shown[0].endsWith(message), qPrintable(messages.shown[0]));
        QCOMPARE(pointer.shapes.back(), MousePointer::Default);
        QVERIFY(!printing.printForm()->surface().isSet(4, 4));  // the surface is clean for the next print
    }
};

QTEST_MAIN(PrintPdfTest)
#include "print_pdf_test.moc"
