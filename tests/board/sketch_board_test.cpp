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

    // Arrows move the pen one pixel; any other key beeps and records the pen's pixel again.
    void keyDrawsOnePixelAtThePen_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QPoint>("pen");  // where it ends, from (291, 242)
        QTest::addColumn<int>("beeps");
        QTest::newRow("left") << kVkLeft << QPoint(290, 242) << 0;
        QTest::newRow("up") << kVkUp << QPoint(291, 241) << 0;
        QTest::newRow("right") << kVkRight << QPoint(292, 242) << 0;
        QTest::newRow("down") << kVkDown << QPoint(291, 243) << 0;
        QTest::newRow("any other key") << 0 << QPoint(291, 242) << 1;
    }
    void keyDrawsOnePixelAtThePen()
    {
        QFETCH(int, key);
        QFETCH(QPoint, pen);
        QFETCH(int, beeps);
        QCOMPARE(this->pen(), QPoint(291, 242));  // 242.5 rounds to even
        rig->board.Form_KeyDown(key);
        QCOMPARE(this->pen(), pen);
        QImage inked = blank;
        inked.setPixelColor(pen.x() - 1, pen.y() - 1,
                            Qt::black);  // cell (x, y) is pixel (x-1, y-1)
        QCOMPARE(rig->boardImage(), inked);
        QCOMPARE(rig->storeBytes().size(), pen.y() * rawrecord::kBytes);
        QCOMPARE(rawrecord::cell(rig->storeBytes(), pen.y(), pen.x()), 1);
        QCOMPARE(setCellsInStore(), 1);
        QCOMPARE(rig->messages.beeps, beeps);
    }

    void penIsClampedAtTheEdgesAndReRecordsTheEdgePixel()
    {
        rig->keys(kVkLeft, 400);
        rig->keys(kVkUp, 300);
        rig->store.writeRow(1, RowRecord{});
        rig->keys(kVkLeft, 1);
        QCOMPARE(pen(), QPoint(1, 1));
        QCOMPARE(rawrecord::cell(rig->storeBytes(), 1, 1), 1);
        rig->keys(kVkRight, 700);
        rig->keys(kVkDown, 600);  // passes (582, 481..485): message boxes, answered by the recorder
        QCOMPARE(pen(), QPoint(582, 485));
        QVERIFY(rig->surface.isSet(581, 484));
        QCOMPARE(rig->storeBytes().size(), 485 * rawrecord::kBytes);  // never a row beyond the grid
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
