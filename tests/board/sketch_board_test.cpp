#include "board/row_record.h"
#include "board/screen_store.h"
#include "board/sketch_board.h"
#include "platform/image_surface.h"
#include "support/board_rig.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kSpace = 32;
constexpr int kLetterA = 65;
constexpr int kShift = 16;

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

TEST_F(SketchBoardTest, LoadFixesTheBoardToTheGridAndCentresThePen)
{
    EXPECT_EQ(board.BoardWidth, 582);
    EXPECT_EQ(board.BoardHeight, 485);
    EXPECT_EQ(board.PenX, 291);
    EXPECT_EQ(board.PenY, 242);  // 242.5 rounds to even
    EXPECT_EQ(inkedPixels(), 0);
    EXPECT_EQ(storeBytes().size(), 0);
}

TEST_F(SketchBoardTest, FirstRightArrowDrawsBesideTheCentre)
{
    board.Form_KeyDown(kVkRight, 0);
    EXPECT_EQ(board.PenX, 292);
    EXPECT_EQ(board.PenY, 242);
    EXPECT_TRUE(surface.isSet(291, 241));  // cell (292, 242) is board pixel (291, 241)
    EXPECT_EQ(inkedPixels(), 1);
    const QByteArray bytes = storeBytes();
    EXPECT_EQ(bytes.size(), 242 * kRecordBytes);
    EXPECT_EQ(rawrecord::cell(bytes, 242, 292), 1);
    EXPECT_EQ(setCellsInStore(), 1);
    EXPECT_EQ(messages.beeps, 0);
}

TEST_F(SketchBoardTest, EachArrowMovesOnePixelInItsDirection)
{
    struct Case { int key; int dx; int dy; };
    for (const Case& c : {Case{kVkLeft, -1, 0}, Case{kVkUp, 0, -1}, Case{kVkRight, 1, 0}, Case{kVkDown, 0, 1}}) {
        const int x = board.PenX, y = board.PenY;
        board.Form_KeyDown(c.key, 0);
        EXPECT_EQ(board.PenX, x + c.dx) << c.key;
        EXPECT_EQ(board.PenY, y + c.dy) << c.key;
        EXPECT_TRUE(surface.isSet(board.PenX - 1, board.PenY - 1)) << c.key;
        EXPECT_EQ(rawrecord::cell(storeBytes(), board.PenY, board.PenX), 1) << c.key;
    }
}

TEST_F(SketchBoardTest, OtherKeysBeepAndReRecordThePensPixel)
{
    for (int key : {kSpace, kLetterA, kShift, 0}) {
        store.writeRow(242, RowRecord{});  // forget the cell so the key must record it again
        const int beeps = messages.beeps;
        board.Form_KeyDown(key, 1);
        EXPECT_EQ(messages.beeps, beeps + 1) << key;
        EXPECT_EQ(board.PenX, 291);
        EXPECT_EQ(board.PenY, 242);
        EXPECT_EQ(rawrecord::cell(storeBytes(), 242, 291), 1) << key;
        EXPECT_TRUE(surface.isSet(290, 241));
    }
}

TEST_F(SketchBoardTest, PenIsClampedAtAllFourEdgesAndReRecordsTheEdgePixel)
{
    keys(kVkLeft, 400);
    EXPECT_EQ(board.PenX, 1);
    keys(kVkUp, 300);
    EXPECT_EQ(board.PenY, 1);
    store.writeRow(1, RowRecord{});
    board.Form_KeyDown(kVkLeft, 0);
    board.Form_KeyDown(kVkUp, 0);
    EXPECT_EQ(board.PenX, 1);
    EXPECT_EQ(board.PenY, 1);
    EXPECT_EQ(rawrecord::cell(storeBytes(), 1, 1), 1);
    EXPECT_TRUE(surface.isSet(0, 0));

    keys(kVkRight, 700);
    EXPECT_EQ(board.PenX, 582);
    EXPECT_TRUE(surface.isSet(581, 0));
    keys(kVkDown, 600);  // passes (582, 481..485): message boxes, answered by the recorder
    EXPECT_EQ(board.PenY, 485);
    EXPECT_TRUE(surface.isSet(581, 484));
    EXPECT_EQ(rawrecord::cell(storeBytes(), 485, 582), 1);
    EXPECT_EQ(storeBytes().size(), 485 * kRecordBytes);  // never a row beyond the grid
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
        return bytes.size() >= 481 * kRecordBytes && rawrecord::cell(bytes, 481, 581) == 1;
    };

    cornerBoard.placePen(580, 481);
    cornerBoard.Form_KeyDown(kVkRight, 0);  // (581, 481)
    EXPECT_EQ(watching.shown, QStringList({QStringLiteral("581"), QStringLiteral("481")}));
    EXPECT_EQ(watching.writtenWhenShown, QList<bool>({false, false}));
    EXPECT_TRUE(watching.cellWritten());

    watching.shown.clear();
    for (auto [x, y] : {std::pair{580, 485}, std::pair{582, 480}, std::pair{1, 485}}) {
        cornerBoard.placePen(x, y);
        cornerBoard.Form_KeyDown(0, 0);
    }
    EXPECT_TRUE(watching.shown.isEmpty());
    cornerBoard.placePen(582, 485);
    cornerBoard.Form_KeyDown(kVkDown, 0);
    EXPECT_EQ(watching.shown, QStringList({QStringLiteral("582"), QStringLiteral("485")}));
}

TEST_F(SketchBoardTest, ShakeClearsAllRowsAndLeavesThePen)
{
    keys(kVkRight, 5);
    keys(kVkDown, 5);
    rowBuffer.setPen(-7, 9999 % 32768);
    board.Shake();

    EXPECT_EQ(inkedPixels(), 0);
    const QByteArray bytes = storeBytes();
    ASSERT_EQ(bytes.size(), 566480);
    EXPECT_EQ(setCellsInStore(), 0);
    EXPECT_EQ(board.PenX, 296);
    EXPECT_EQ(board.PenY, 247);
    EXPECT_EQ(rowBuffer.penX(), -7);  // the buffer's pen fields are left as they were
    EXPECT_EQ(rawrecord::field(bytes, 1, 1164), -7);

    board.Form_KeyDown(kVkRight, 0);
    EXPECT_EQ(setCellsInStore(), 1);
    EXPECT_EQ(rawrecord::cell(storeBytes(), 247, 297), 1);
    EXPECT_EQ(inkedPixels(), 1);
}

TEST_F(SketchBoardTest, ShakeOnAnEmptyStoreWritesExactlyTheGrid)
{
    board.Shake();
    const QByteArray bytes = storeBytes();
    EXPECT_EQ(bytes.size(), 485 * 1168);
    EXPECT_EQ(setCellsInStore(), 0);
}

TEST_F(SketchBoardTest, ShakeKeepsRowsBeyondTheGrid)
{
    RowRecord extra;
    extra.setCell(3, 1);
    store.writeRow(486, extra);
    board.Shake();
    EXPECT_EQ(rawrecord::cell(storeBytes(), 486, 3), 1);
}

TEST_F(SketchBoardTest, StoredDrawingIsShownAgainAtStart)
{
    QByteArray left = rawrecord::make({{1, 1}, {582, 1}, {7, 2}, {8, -1}}, 0, 0);
    left += QByteArray(kRecordBytes * 483, '\0');
    left += rawrecord::make({{100, 1}}, 0, 0);  // row 485
    store.close();
    writeWholeFile(store.path(), left);

    ScreenStore reopened;
    ASSERT_EQ(reopened.openInFirstUsable({folder()}), ScreenStore::OpenResult::Opened);
    ImageSurface fresh{kGridColumns, kGridRows, Qt::lightGray, Qt::black};
    SketchBoard next{reopened, fresh, messages, rowBuffer};
    next.Form_Load();
    next.drawStore();

    EXPECT_TRUE(fresh.isSet(0, 0));
    EXPECT_TRUE(fresh.isSet(581, 0));
    EXPECT_TRUE(fresh.isSet(99, 484));
    EXPECT_FALSE(fresh.isSet(6, 0));  // only 1 counts as drawn
    EXPECT_FALSE(fresh.isSet(7, 0));
    EXPECT_EQ(next.PenX, 291);  // the pen still starts in the centre
    EXPECT_EQ(next.PenY, 242);
}

} // namespace
