#include "support/board_rig.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class SketchBoardTest : public ::testing::Test, protected BoardRig {
protected:
    void SetUp() override { ASSERT_TRUE(opened); }
    // An inked cell is the bytes 01 00; no pen field here holds a byte 01.
    qsizetype setCellsInStore() const { return storeBytes().count('\x01'); }
    QPoint pen() const { return {board.PenX, board.PenY}; }
    const QImage blank = boardImage();
};

struct KeyCase { const char* name; int key; QPoint pen; int beeps; };  // pen: where it ends, from (291, 242)

class BoardKeyTest : public SketchBoardTest, public ::testing::WithParamInterface<KeyCase> {};

// Arrows move the pen one pixel; any other key beeps and records the pen's pixel again.
TEST_P(BoardKeyTest, DrawsOnePixelAtThePen)
{
    EXPECT_EQ(pen(), QPoint(291, 242));  // 242.5 rounds to even
    board.Form_KeyDown(GetParam().key, 0);
    EXPECT_EQ(pen(), GetParam().pen);
    QImage inked = blank;
    inked.setPixelColor(board.PenX - 1, board.PenY - 1, Qt::black);  // cell (x, y) is board pixel (x - 1, y - 1)
    EXPECT_EQ(boardImage(), inked);
    EXPECT_EQ(storeBytes().size(), board.PenY * rawrecord::kBytes);
    EXPECT_EQ(rawrecord::cell(storeBytes(), board.PenY, board.PenX), 1);
    EXPECT_EQ(setCellsInStore(), 1);
    EXPECT_EQ(messages.beeps, GetParam().beeps);
}

INSTANTIATE_TEST_SUITE_P(Keys, BoardKeyTest,
                         ::testing::Values(KeyCase{"left", kVkLeft, {290, 242}, 0}, KeyCase{"up", kVkUp, {291, 241}, 0},
                                           KeyCase{"right", kVkRight, {292, 242}, 0}, KeyCase{"down", kVkDown, {291, 243}, 0},
                                           KeyCase{"space", 32, {291, 242}, 1}, KeyCase{"no_code", 0, {291, 242}, 1}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(SketchBoardTest, PenIsClampedAtTheEdgesAndReRecordsTheEdgePixel)
{
    keys(kVkLeft, 400);
    keys(kVkUp, 300);
    store.writeRow(1, RowRecord{});
    keys(kVkLeft, 1);
    EXPECT_EQ(pen(), QPoint(1, 1));
    EXPECT_EQ(rawrecord::cell(storeBytes(), 1, 1), 1);
    keys(kVkRight, 700);
    keys(kVkDown, 600);  // passes (582, 481..485): message boxes, answered by the recorder
    EXPECT_EQ(pen(), QPoint(582, 485));
    EXPECT_TRUE(surface.isSet(581, 484));
    EXPECT_EQ(storeBytes().size(), 485 * rawrecord::kBytes);  // never a row beyond the grid
}

TEST_F(SketchBoardTest, CornerShowsColumnThenRowBeforeTheRowIsWritten)
{
    struct WatchingMessages : RecordingMessages {  // notes at each box whether the cell is written yet
        std::function<bool()> written;
        QList<bool> writtenWhenShown;
        void showMessage(const QString& text) override { RecordingMessages::showMessage(text), writtenWhenShown << written(); }
    } watching;
    watching.written = [&] { return storeBytes().size() >= 481 * rawrecord::kBytes && rawrecord::cell(storeBytes(), 481, 581); };
    SketchBoard corner{store, surface, watching, rowBuffer};
    corner.Form_Load();
    corner.placePen(580, 481);
    corner.Form_KeyDown(kVkRight, 0);
    EXPECT_EQ(watching.shown, QStringList({"581", "481"}));
    EXPECT_EQ(watching.writtenWhenShown, QList<bool>({false, false}));
    EXPECT_TRUE(watching.written());
    for (auto [x, y] : {std::pair{580, 485}, {582, 480}, {1, 485}, {582, 485}})  // just outside, then the far corner
        corner.placePen(x, y), corner.Form_KeyDown(0, 0);
    EXPECT_EQ(watching.shown, QStringList({"581", "481", "582", "485"}));
}

TEST_F(SketchBoardTest, ShakeClearsEveryGridRowKeepsRowsBeyondAndLeavesThePen)
{
    RowRecord extra;
    extra.setCell(3, 1);
    store.writeRow(486, extra);
    keys(kVkRight, 5);
    keys(kVkDown, 5);
    rowBuffer.setPen(-7, 9999);
    board.Shake();
    EXPECT_EQ(boardImage(), blank);
    const QByteArray bytes = storeBytes();
    EXPECT_EQ(setCellsInStore(), 1);
    EXPECT_EQ(rawrecord::cell(bytes, 486, 3), 1);
    // every grid row went out, with the buffer's pen fields as they were
    EXPECT_EQ(QPoint(rawrecord::field(bytes, 1, 1164), rawrecord::field(bytes, 485, 1164)), QPoint(-7, -7));
    EXPECT_EQ(pen(), QPoint(296, 247));
    keys(kVkRight, 1);
    EXPECT_EQ(rawrecord::cell(storeBytes(), 247, 297), 1);
}

} // namespace
