#include "files/print_sketch.h"
#include "platform/qt_sketch_dialogs.h"
#include "support/board_rig.h"

#include <QApplication>
#include <QProcess>
#include <QTest>

using Cell = std::pair<int, int>;  // column, row

// Prints each page through the real page renderer into its own PDF file, read back with pdftocairo.
struct PdfPrinter : PagePrinter {
    explicit PdfPrinter(const QString& to) : folder(to) {}
    bool ShowPrinter() override { return chosen; }
    void printPage(const QImage& image) override
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("%1/page%2.pdf").arg(folder).arg(pages.size() + 1));
        // Half-inch margins put the printable area on whole pixels at 96 to the inch.
        printer.setPageMargins(QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch);
        origin = printer.pageLayout().paintRectPixels(96).topLeft();
        QtPagePrinter::renderPage(printer, image);
        pages << printer.outputFileName();
    }
    QString folder;
    bool chosen = true;
    QStringList pages;
    QPoint origin;
};

class PrintPdfTest : public QObject, BoardRig {
    Q_OBJECT
    RecordingPointer pointer;

    QSet<Cell> inkedCells(const QString& pdf, QPoint origin)
    {
        // pdftocairo maps an image drawn 1:1 onto whole pixels; pdftoppm's scaler smears edges.
        const QString png = dir.filePath(QStringLiteral("raster"));
        QProcess::execute(QStringLiteral("pdftocairo"), {"-r", "96", "-png", "-singlefile", pdf, png});
        const QImage page(png + QStringLiteral(".png"));
        QSet<Cell> cells;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 128)
                    cells.insert({x - origin.x() + 1, y - origin.y() + 1});
        return cells;
    }
    void setCell(int column, int row, qint16 value)
    {
        RowRecord record;
        store.readRow(row, record);
        record.setCell(column, value);
        store.writeRow(row, record);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(opened); }
    void init() { messages = {}, pointer = {}; }

    void printsExactlyTheSetCellsAtTheirPlaceEachTime()
    {
        const QSet<Cell> drawn{{1, 1}, {582, 1}, {1, 485}, {582, 485}, {291, 242}, {100, 3}};
        for (auto [column, row] : drawn)
            setCell(column, row, 1);
        setCell(10, 50, 2);  // values other than 1 are not ink
        setCell(11, 50, -1);
        QPalette dark = QApplication::palette();  // a dark desktop theme must not turn the ink white
        dark.setColor(QPalette::ButtonText, Qt::white);
        QApplication::setPalette(dark);
        PdfPrinter printer(dir.path());
        SketchPrinting printing(store, rowBuffer, printer, pointer, messages);
        printing.PrintSketch();
        printing.PrintSketch();
        QCOMPARE(printer.pages.size(), 2);
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(inkedCells(printer.pages[0], printer.origin), drawn);
        QCOMPARE(inkedCells(printer.pages[1], printer.origin), drawn);
        QCOMPARE(pointer.shapes, (std::vector{MousePointer::Hourglass, MousePointer::Default, MousePointer::Hourglass,
                                              MousePointer::Default}));
        QCOMPARE(storeBytes().size(), 485 * rawrecord::kBytes);  // printing wrote nothing
    }

    void failuresShowTheirMessageAndRestoreThePointer_data()
    {
        QTest::addColumn<QString>("message");  // how it ends; none: no printer was chosen
        QTest::newRow("no printer chosen") << "";
        QTest::newRow("printer not available") << "the printer is not available.";
    }
    void failuresShowTheirMessageAndRestoreThePointer()
    {
        QFETCH(QString, message);
        setCell(1, 1, 1);
        PdfPrinter printer(dir.filePath(QStringLiteral("missing")));  // a folder that is not there
        printer.chosen = !message.isEmpty();
        SketchPrinting printing(store, rowBuffer, printer, pointer, messages);
        printing.PrintSketch();
        QVERIFY(printer.pages.isEmpty());
        QVERIFY(message.isEmpty() ? messages.shown.isEmpty() : messages.shown.size() == 1 && messages.shown[0].endsWith(message));
        QCOMPARE(pointer.shapes.size(), message.isEmpty() ? 0u : 2u);
        QVERIFY(message.isEmpty() || pointer.shapes.back() == MousePointer::Default);
        QVERIFY(!printing.printForm() || !printing.printForm()->surface().isSet(0, 0));  // clean for the next print
    }
};

QTEST_MAIN(PrintPdfTest)
#include "print_pdf_test.moc"
