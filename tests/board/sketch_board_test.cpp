#include "support/board_rig.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class SketchBoardTest : public ::testing::Test, protected BoardRig {
protected:
    void SetUp() override { ASSERT_TRUE(opened); }
    int setCellsInStore() const
    {
        const QByteArray bytes = storeBytes();
        int set = 0;
        for (int r = 1; r * rawrecord::kBytes <= bytes.size(); ++r)
            for (int c = 1; c <= kGridColumns; ++c)
                set += rawrecord::cell(bytes, r, c) != 0;
        return set;
    }
    int inkedPixels() const
    {
        int n = 0;
        for (int y = 0; y < surface.height(); ++y)
            for (int x = 0; x < surface.width(); ++x)
                n += surface.isSet(x, y);
        return n;
    }
};

struct KeyCase {
    const char* name;
    int key;
    QPoint pen;  // where the pen ends, from the centre (291, 242)
    int beeps;
};

class BoardKeyTest : public SketchBoardTest, public ::testing::WithParamInterface<KeyCase> {};

// Arrows move the pen one pixel; any other key beeps and records the pen's pixel again.
TEST_P(BoardKeyTest, DrawsOnePixelAtThePen)
{
    EXPECT_EQ(QPoint(board.PenX, board.PenY), QPoint(291, 242));  // 242.5 rounds to even
    EXPECT_EQ(inkedPixels(), 0);
    board.Form_KeyDown(GetParam().key, 0);
    const QPoint pen = GetParam().pen;
    EXPECT_EQ(QPoint(board.PenX, board.PenY), pen);
    EXPECT_TRUE(surface.isSet(pen.x() - 1, pen.y() - 1));  // cell (x, y) is board pixel (x - 1, y - 1)
    EXPECT_EQ(inkedPixels(), 1);
    EXPECT_EQ(storeBytes().size(), pen.y() * rawrecord::kBytes);
    EXPECT_EQ(rawrecord::cell(storeBytes(), pen.y(), pen.x()), 1);
    EXPECT_EQ(setCellsInStore(), 1);
    EXPECT_EQ(messages.beeps, GetParam().beeps);
}

INSTANTIATE_TEST_SUITE_P(Keys, BoardKeyTest,
                         ::testing::Values(KeyCase{"left", kVkLeft, {290, 242}, 0}, KeyCase{"up", kVkUp, {291, 241}, 0},
                                           KeyCase{"right", kVkRight, {292, 242}, 0},
                                           KeyCase{"down", kVkDown, {291, 243}, 0},
                                           KeyCase{"space", 32, {291, 242}, 1}, KeyCase{"letter", 65, {291, 242}, 1},
                                           KeyCase{"no_code", 0, {291, 242}, 1}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(SketchBoardTest, PenIsClampedAtAllFourEdgesAndReRecordsTheEdgePixel)
{
    keys(kVkLeft, 400);
    keys(kVkUp, 300);
    store.writeRow(1, RowRecord{});
    board.Form_KeyDown(kVkLeft, 0);
    board.Form_KeyDown(kVkUp, 0);
    EXPECT_EQ(QPoint(board.PenX, board.PenY), QPoint(1, 1));
    EXPECT_EQ(rawrecord::cell(storeBytes(), 1, 1), 1);
    EXPECT_TRUE(surface.isSet(0, 0));
    keys(kVkRight, 700);
    keys(kVkDown, 600);  // passes (582, 481..485): message boxes, answered by the recorder
    EXPECT_EQ(QPoint(board.PenX, board.PenY), QPoint(582, 485));
    EXPECT_TRUE(surface.isSet(581, 484));
    EXPECT_EQ(rawrecord::cell(storeBytes(), 485, 582), 1);
    EXPECT_EQ(storeBytes().size(), 485 * rawrecord::kBytes);  // never a row beyond the grid
}

TEST_F(SketchBoardTest, CornerShowsColumnThenRowBeforeTheRowIsWritten)
{
    // Looks at the store each time a box is shown: the row must not be written yet.
    struct WatchingMessages : RecordingMessages {
        std::function<bool()> cellWritten;
        QList<bool> writtenWhenShown;
        void showMessage(const QString& text) override
        {
            RecordingMessages::showMessage(text);
            writtenWhenShown << cellWritten();
        }
    } watching;
    SketchBoard cornerBoard{store, surface, watching, rowBuffer};
    cornerBoard.Form_Load();
    watching.cellWritten = [&] {
        const QByteArray bytes = storeBytes();
        return bytes.size() >= 481 * rawrecord::kBytes && rawrecord::cell(bytes, 481, 581) == 1;
    };
    cornerBoard.placePen(580, 481);
    cornerBoard.Form_KeyDown(kVkRight, 0);  // (581, 481)
    EXPECT_EQ(watching.shown, QStringList({QStringLiteral("581"), QStringLiteral("481")}));
    EXPECT_EQ(watching.writtenWhenShown, QList<bool>({false, false}));
    EXPECT_TRUE(watching.cellWritten());

    watching.shown.clear();
    for (auto [x, y] : {std::pair{580, 485}, std::pair{582, 480}, std::pair{1, 485}}) {  // just outside
        cornerBoard.placePen(x, y);
        cornerBoard.Form_KeyDown(0, 0);
    }
    EXPECT_TRUE(watching.shown.isEmpty());
    cornerBoard.placePen(582, 485);
    cornerBoard.Form_KeyDown(kVkDown, 0);
    EXPECT_EQ(watching.shown, QStringList({QStringLiteral("582"), QStringLiteral("485")}));
}

TEST_F(SketchBoardTest, ShakeClearsEveryGridRowAndLeavesThePen)
{
    keys(kVkRight, 5);
    keys(kVkDown, 5);
    rowBuffer.setPen(-7, 9999);
    board.Shake();

    EXPECT_EQ(inkedPixels(), 0);
    const QByteArray bytes = storeBytes();
    ASSERT_EQ(bytes.size(), 485 * rawrecord::kBytes);  // grown to the whole grid
    EXPECT_EQ(setCellsInStore(), 0);
    EXPECT_EQ(rawrecord::field(bytes, 1, 1164), -7);  // the buffer's pen fields go out as they were
    EXPECT_EQ(QPoint(board.PenX, board.PenY), QPoint(296, 247));

    board.Form_KeyDown(kVkRight, 0);
    EXPECT_EQ(rawrecord::cell(storeBytes(), 247, 297), 1);
    EXPECT_EQ(inkedPixels(), 1);
}

TEST_F(SketchBoardTest, ShakeKeepsRowsBeyondTheGrid)
{
    RowRecord extra;
    extra.setCell(3, 1);
    store.writeRow(486, extra);
    board.Shake();
    EXPECT_EQ(rawrecord::cell(storeBytes(), 486, 3), 1);
}

} // namespace
