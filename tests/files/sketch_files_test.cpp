#include "files/sketch_commands.h"
#include "support/board_rig.h"
#include "support/test_support.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

constexpr int kGridBytes = 485 * rawrecord::kBytes;

class SketchFilesTest : public ::testing::Test, protected BoardRig {
protected:
    void SetUp() override { ASSERT_TRUE(opened); }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    void save(const QString& to) { dialogs.answers << to, commands.SaveSketch(); }
    void open(const QString& from) { dialogs.answers << from, commands.OpenSketch(); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files); }
    QImage boardImage() const { return surface.image().convertToFormat(QImage::Format_RGB32); }
    ScriptedServices dialogs;
    SketchCommands commands{board, dialogs, messages};
};

TEST_F(SketchFilesTest, SaveWritesEveryRowWithThePenTheSameEachTimeKeepingPermissions)
{
    keys(kVkRight, 30);
    keys(kVkUp, 20);
    save(path("a.nsd"));
    ASSERT_TRUE(QFile::setPermissions(path("a.nsd"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QFile::Permissions chosen = QFile::permissions(path("a.nsd"));
    const QByteArray first = readWholeFile(path("a.nsd"));
    ASSERT_EQ(first.size(), kGridBytes);
    int set = 0;
    for (int r = 1; r <= 485; ++r) {
        for (int c = 1; c <= 582; ++c)
            set += rawrecord::cell(first, r, c);
        ASSERT_EQ(QPoint(rawrecord::field(first, r, 1164), rawrecord::field(first, r, 1166)), QPoint(321, 222)) << r;
    }
    EXPECT_EQ(set, 50);
    EXPECT_EQ(rawrecord::cell(first, 222, 321), 1);
    save(path("a.nsd"));
    EXPECT_EQ(readWholeFile(path("a.nsd")), first);
    EXPECT_EQ(QFile::permissions(path("a.nsd")), chosen);
    EXPECT_EQ(files(), QStringList{"a.nsd"}) << "no temporary file left behind";
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(SketchFilesTest, SavingOverALongerFileKeepsItsTail)
{
    const QByteArray tail("bytes after the grid \x01\x02\x03", 23);
    writeWholeFile(path("long.nsd"), QByteArray(kGridBytes, '\x7f') + tail);
    keys(kVkDown, 3);
    save(path("long.nsd"));
    const QByteArray file = readWholeFile(path("long.nsd"));
    EXPECT_EQ(file.mid(kGridBytes), tail);
    EXPECT_EQ(rawrecord::cell(file, 245, 291), 1);
    EXPECT_EQ(rawrecord::cell(file, 1, 1), 0);
}

TEST_F(SketchFilesTest, FailedSavesAreReportedAndLeaveTheOldFile)
{
    save(path("missing-folder/x.nsd"));
    const QByteArray old = QByteArray("an older sketch").repeated(100);
    writeWholeFile(path("old.nsd"), old);
    {
        FileSizeLimit limit(100000);  // the write fails part-way
        ASSERT_TRUE(limit.active());
        save(path("old.nsd"));
    }
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown[0].startsWith("Could not save the sketch to ") && messages.shown[0].contains("x.nsd"));
    EXPECT_TRUE(messages.shown[1].contains(QStringLiteral("old.nsd")));
    EXPECT_EQ(readWholeFile(path("old.nsd")), old);
    EXPECT_EQ(files(), QStringList{"old.nsd"});
}

TEST_F(SketchFilesTest, RoundTripRestoresBoardStoreAndPen)
{
    keys(kVkRight, 40);
    keys(kVkDown, 25);
    keys(kVkLeft, 10);
    const QImage drawn = boardImage();
    save(path("round.nsd"));
    board.Shake();
    keys(kVkUp, 100);
    open(path("round.nsd"));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(boardImage(), drawn);
    EXPECT_EQ(QPoint(board.PenX, board.PenY), QPoint(321, 267));
    EXPECT_EQ(rawrecord::field(storeBytes(), 17, 1164), 321);  // the store holds the file's records
}

struct OpenCase {
    const char* name;
    QByteArray bytes;
    std::vector<QPoint> inked, blank;  // board pixels that must be set, and some that must not
    QPoint pen;
    std::vector<std::tuple<int, int, int>> storeCells;  // row, column, value
};

class OpenFileTest : public SketchFilesTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenFileTest, OpensAsTheLayoutSays)
{
    const OpenCase& c = GetParam();
    keys(kVkRight, 50);  // something that must go away
    writeWholeFile(path("hand.nsd"), c.bytes);
    open(path("hand.nsd"));
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join('|').toStdString();
    EXPECT_FALSE(surface.isSet(330, 241)) << "the old drawing was cleared";
    for (QPoint p : c.inked)
        EXPECT_TRUE(surface.isSet(p.x(), p.y())) << p.x() << "," << p.y();
    for (QPoint p : c.blank)
        EXPECT_FALSE(surface.isSet(p.x(), p.y())) << p.x() << "," << p.y();
    EXPECT_EQ(QPoint(board.PenX, board.PenY), c.pen);
    const QByteArray stored = storeBytes();
    ASSERT_GE(stored.size(), kGridBytes);
    EXPECT_EQ(rawrecord::cell(stored, 242, 341), 0);
    for (auto [row, column, value] : c.storeCells)
        EXPECT_EQ(rawrecord::cell(stored, row, column), value) << row << "," << column;
}

INSTANTIATE_TEST_SUITE_P(
    Files, OpenFileTest,
    ::testing::Values(
        OpenCase{"odd_cells_are_stored_but_not_drawn",
                 rawrecord::make({}, 10, 20).repeated(484) + rawrecord::make({{1, 2}, {2, -1}, {3, 1}}, 10, 20), {{2, 484}},
                 {{0, 484}, {1, 484}}, {10, 20}, {{485, 1, 2}, {485, 2, -1}, {485, 3, 1}}},
        OpenCase{"ten_records_the_rest_empty_and_the_pen_clamped", rawrecord::make({{5, 1}}, 100, 100).repeated(10),
                 {{4, 0}, {4, 9}}, {{4, 10}}, {1, 1}, {{10, 5, 1}, {11, 5, 0}}},
        OpenCase{"pen_outside_the_board_is_clamped", rawrecord::make({{582, 1}}, 600, -5).repeated(485), {{581, 484}}, {},
                 {582, 1}, {}},
        OpenCase{"records_after_the_485th_are_ignored", rawrecord::make({}, 7, 8).repeated(485) + rawrecord::make({{1, 1}}, 1, 1),
                 {}, {{0, 0}}, {7, 8}, {}}),
    [](const auto& row) { return std::string(row.param.name); });

// A cancelled dialog, a missing file and a folder leave the board, the store and the pen alone.
TEST_F(SketchFilesTest, CancelledOrFailedOpenChangesNothing)
{
    keys(kVkRight, 12);
    const QByteArray storeBefore = storeBytes();
    const QImage boardBefore = boardImage();
    QDir(dir.path()).mkdir(QStringLiteral("folder.nsd"));
    commands.SaveSketch();
    for (const QString& answer : {QString(), path("absent.nsd"), path("folder.nsd")})
        open(answer);
    EXPECT_EQ(dialogs.calls, QStringList({"save", "open", "open", "open"}));
    ASSERT_EQ(messages.shown.size(), 2);
    for (const QString& message : messages.shown)
        EXPECT_TRUE(message.startsWith(QStringLiteral("Could not open the sketch "))) << message.toStdString();
    EXPECT_EQ(storeBytes(), storeBefore);
    EXPECT_EQ(boardImage(), boardBefore);
    EXPECT_EQ(QPoint(board.PenX, board.PenY), QPoint(303, 242));
    EXPECT_EQ(files(), QStringList{});
}

} // namespace
