#include "board/row_record.h"
#include "board/screen_store.h"
#include "files/print_sketch.h"
#include "platform/file_error.h"
#include "platform/qt_sketch_dialogs.h"
#include "support/test_support.h"

#include <QApplication>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <set>

namespace {

// Prints each page into its own PDF file through the real page renderer.
class PdfPrinter : public PagePrinter {
public:
    explicit PdfPrinter(const QString& folder) : folder_(folder) {}
    bool ShowPrinter() override { return accept; }
    void printPage(const QImage& image) override
    {
        if (fail)
            throw FileError(QStringLiteral("Could not print to PDF: printing failed."));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("%1/page%2.pdf").arg(folder_).arg(pages.size() + 1));
        // Half-inch margins put the printable area on whole pixels at 96 to the inch.
        printer.setPageMargins(QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch);
        origin = printer.pageLayout().paintRectPixels(96).topLeft();
        QtPagePrinter::renderPage(printer, image);
        pages << printer.outputFileName();
    }
    bool accept = true;
    bool fail = false;
    QStringList pages;
    QPoint origin;

private:
    QString folder_;
};

class RecordingPointer : public MousePointer {
public:
    void setMousePointer(Shape shape) override { shapes.push_back(shape); }
    std::vector<Shape> shapes;
};

using Cell = std::pair<int, int>;  // column, row

} // namespace

class PrintPdfTest : public QObject {
    Q_OBJECT

    QImage rasterise(const QString& pdf)
    {
        const QString prefix = dir->filePath(QStringLiteral("raster"));
        // pdftocairo maps an image drawn 1:1 onto whole pixels; pdftoppm's scaler smears edges.
        QProcess::execute(QStringLiteral("pdftocairo"),
                          {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, prefix});
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
        for (auto [column, row] : drawn) {
            RowRecord record;
            store->readRow(row, record);
            record.setCell(column, 1);
            store->writeRow(row, record);
        }
        RowRecord odd;  // values other than 1 are not ink
        odd.setCell(10, 2);
        odd.setCell(11, -1);
        store->writeRow(50, odd);
        // A dark desktop theme must not turn the ink white.
        QPalette dark = QApplication::palette();
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
        const std::set<Cell> printed = inkedCells(first, printer.origin);
        for (auto [c, r] : printed)
            if (!drawn.count({c, r}))
                qWarning("extra ink at cell %d,%d", c, r);
        for (auto [c, r] : drawn)
            if (!printed.count({c, r}))
                qWarning("missing ink at cell %d,%d", c, r);
        QCOMPARE(printed, drawn);
        QCOMPARE(rasterise(printer.pages[1]), first);
        QCOMPARE(pointer.shapes, (std::vector<MousePointer::Shape>{MousePointer::Hourglass, MousePointer::Default,
                                                                   MousePointer::Hourglass, MousePointer::Default}));
        QCOMPARE(readWholeFile(store->path()).size(), qsizetype(485) * kRecordBytes);  // printing wrote nothing
    }

    void cancelPrintsNothingAndFailureIsReported()
    {
        PdfPrinter printer(dir->path());
        SketchPrinting printing(*store, rowBuffer, printer, pointer, messages);
        printer.accept = false;
        printing.PrintSketch();
        QVERIFY(printer.pages.isEmpty());
        QVERIFY(pointer.shapes.empty());
        QVERIFY(printing.printForm() == nullptr);

        RowRecord record;
        record.setCell(5, 1);
        store->writeRow(5, record);
        printer.accept = true;
        printer.fail = true;
        printing.PrintSketch();
        QCOMPARE(messages.shown, QStringList{QStringLiteral("Could not print to PDF: printing failed.")});
        QCOMPARE(pointer.shapes.back(), MousePointer::Default);
        QVERIFY(!printing.printForm()->surface().isSet(4, 4));  // the surface is clean for the next print
    }
};

QTEST_MAIN(PrintPdfTest)
#include "print_pdf_test.moc"
