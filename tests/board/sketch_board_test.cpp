#include "platform/file_error.h"
#include "support/board_rig.h"

#include <QTest>

// The pen, the keys and Shake on a loaded board with a fresh store.
class SketchBoardTest : public QObject {
    Q_OBJECT
    std::unique_ptr<BoardRig> rig;
    QImage blank;

    QPoint pen() const { return {rig->board.penX(), rig->board.penY()}; }
    // An inked cell is the bytes 01 00; no pen field here holds a byte 01.
    qsizetype setCellsInStore() const { return rig->storeBytes().count('\x01'); }

private Q_SLOTS:
    void init()
    {
        rig = std::make_unique<BoardRig>();
        QVERIFY(rig->opened);
        blank = rig->boardImage();
    }

    // Arrows move the pen a pixel, never off the board; other keys beep and mark the pen's pixel.
    void keyDrawsOnePixelAtThePen_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QPoint>("pen");  // where it ends
        QTest::addColumn<int>("beeps");
        const QPoint centre(291, 242);
        QTest::newRow("left") << centre << kVkLeft << QPoint(290, 242) << 0;
        QTest::newRow("up") << centre << kVkUp << QPoint(291, 241) << 0;
        QTest::newRow("right") << centre << kVkRight << QPoint(292, 242) << 0;
        QTest::newRow("down") << centre << kVkDown << QPoint(291, 243) << 0;
        QTest::newRow("any other key") << centre << 0 << centre << 1;
        QTest::newRow("left at the edge") << QPoint(1, 1) << kVkLeft << QPoint(1, 1) << 0;
        QTest::newRow("up at the edge") << QPoint(1, 1) << kVkUp << QPoint(1, 1) << 0;
        QTest::newRow("right at the edge") << QPoint(582, 485) << kVkRight << QPoint(582, 485) << 0;
        QTest::newRow("down at the edge") << QPoint(582, 485) << kVkDown << QPoint(582, 485) << 0;
    }
    void keyDrawsOnePixelAtThePen()
    {
        QFETCH(QPoint, from);
        QFETCH(int, key);
        QFETCH(QPoint, pen);
        QFETCH(int, beeps);
        QCOMPARE(this->pen(), QPoint(291, 242));  // 242.5 rounds to even
        rig->board.placePen(from.x(), from.y());
        rig->board.Form_KeyDown(key);
        QCOMPARE(this->pen(), pen);
        QImage inked = blank;
        inked.setPixelColor(pen - QPoint(1, 1), Qt::black);  // cell (x, y) is pixel (x-1, y-1)
        QCOMPARE(rig->boardImage(), inked);
        QCOMPARE(rig->storeBytes().size(), pen.y() * rawrecord::kBytes);
        QCOMPARE(rawrecord::cell(rig->storeBytes(), pen.y(), pen.x()), 1);
        QCOMPARE(setCellsInStore(), 1);
        QCOMPARE(rig->messages.beeps, beeps);
    }

    void cornerShowsColumnThenRowBeforeTheRowIsWritten()
    {
        rig->board.placePen(580, 481);
        {
            const FileSizeLimit limit(rawrecord::kBytes);  // the row's write fails
            QVERIFY(limit.active());
            QVERIFY_THROWS_EXCEPTION(FileError, rig->board.Form_KeyDown(kVkRight));
        }
        QCOMPARE(rig->messages.shown, QStringList({"581", "481"}));  // shown before it failed
        // just outside the corner twice, then its far end
        for (QPoint at : {QPoint(580, 485), QPoint(582, 480), QPoint(582, 485)}) {
            rig->board.placePen(at.x(), at.y());
            rig->board.Form_KeyDown(0);
        }
        QCOMPARE(rig->messages.shown, QStringList({"581", "481", "582", "485"}));
    }

    void shakeClearsEveryGridRowKeepsRowsBeyondAndLeavesThePen()
    {
        RowRecord extra;
        extra.setCell(3, 1);
        rig->store.writeRow(486, extra);
        rig->keys(kVkRight, 5);
        rig->keys(kVkDown, 5);
        RowRecord last;
        last.setPen(-7, 9999);
        rig->store.writeRow(485, last);
        rig->board.readGrid();  // as Print does: the row buffer is left holding row 485
        rig->board.Shake();
        QCOMPARE(rig->boardImage(), blank);
        const QByteArray bytes = rig->storeBytes();
        QCOMPARE(setCellsInStore(), 1);
        QCOMPARE(rawrecord::cell(bytes, 486, 3), 1);
        // every grid row went out with the pen fields the last row read left in the buffer
        QCOMPARE(rawrecord::field(bytes, 1, 1164), -7);
        QCOMPARE(rawrecord::field(bytes, 485, 1166), 9999);
        QCOMPARE(pen(), QPoint(296, 247));
        rig->keys(kVkRight, 1);
        QCOMPARE(rawrecord::cell(rig->storeBytes(), 247, 297), 1);
    }
};

QTEST_GUILESS_MAIN(SketchBoardTest)
#include "sketch_board_test.moc"
