#include "board/row_record.h"
#include "board/screen_store.h"
#include "board/sketch_board.h"
#include "files/sketch_commands.h"
#include "platform/image_surface.h"
#include "platform/sketch_dialogs.h"
#include "support/board_rig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>

namespace {

// Answers the file dialogs from a script; nullopt is Cancel.
class ScriptedDialogs : public SketchDialogs {
public:
    std::optional<QString> ShowSave() override { return next(); }
    std::optional<QString> ShowOpen() override { return next(); }
    std::deque<std::optional<QString>> answers;
    int shown = 0;

private:
    std::optional<QString> next()
    {
        ++shown;
        auto answer = answers.empty() ? std::nullopt : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return answer;
    }
};

class SketchFilesTest : public ::testing::Test, protected BoardRig {
protected:
    void SetUp() override { ASSERT_TRUE(opened); }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    void save(const QString& to)
    {
        dialogs.answers.push_back(to);
        commands.SaveSketch();
    }
    void open(const QString& from)
    {
        dialogs.answers.push_back(from);
        commands.OpenSketch();
    }
    QImage boardImage() const { return surface.image().convertToFormat(QImage::Format_RGB32); }

    ScriptedDialogs dialogs;
    SketchCommands commands{board, dialogs, messages};
};

TEST_F(SketchFilesTest, FreshBoardSavesAsEmptyRecordsCarryingTheCentredPen)
{
    save(path("fresh.nsd"));
    const QByteArray file = readWholeFile(path("fresh.nsd"));
    ASSERT_EQ(file.size(), 566480);
    for (int r = 1; r <= 485; ++r) {
        for (int c = 1; c <= 582; ++c)
            ASSERT_EQ(rawrecord::cell(file, r, c), 0) << r << "," << c;
        ASSERT_EQ(rawrecord::field(file, r, 1164), 291) << r;
        ASSERT_EQ(rawrecord::field(file, r, 1166), 242) << r;
    }
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(board.SaveFileName, path("fresh.nsd"));
    EXPECT_EQ(board.SketchFileNumber, 2);  // the store holds file number 1
    EXPECT_EQ(rowBuffer.penY(), 242);      // left holding the last row with the pen
}

TEST_F(SketchFilesTest, SavingTwiceGivesIdenticalFilesAndKeepsPermissions)
{
    keys(kVkRight, 30);
    keys(kVkUp, 20);
    save(path("a.nsd"));
    ASSERT_TRUE(QFile::setPermissions(path("a.nsd"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QFile::Permissions chosen = QFile::permissions(path("a.nsd"));
    const QByteArray first = readWholeFile(path("a.nsd"));
    save(path("a.nsd"));
    EXPECT_EQ(readWholeFile(path("a.nsd")), first);
    EXPECT_EQ(QFile::permissions(path("a.nsd")), chosen);
    EXPECT_FALSE(chosen & QFile::ReadOther);
    EXPECT_EQ(rawrecord::cell(first, 222, 321), 1);
    EXPECT_EQ(rawrecord::field(first, 1, 1164), 321);
    EXPECT_EQ(rawrecord::field(first, 485, 1166), 222);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file left behind";
}

TEST_F(SketchFilesTest, SavingOverALongerFileKeepsItsTail)
{
    const QByteArray tail("bytes after the grid \x01\x02\x03", 23);
    writeWholeFile(path("long.nsd"), QByteArray(566480, '\x7f') + tail);
    keys(kVkDown, 3);
    save(path("long.nsd"));
    const QByteArray file = readWholeFile(path("long.nsd"));
    ASSERT_EQ(file.size(), 566480 + tail.size());
    EXPECT_EQ(file.mid(566480), tail);
    EXPECT_EQ(rawrecord::cell(file, 245, 291), 1);
    EXPECT_EQ(rawrecord::cell(file, 1, 1), 0);
}

TEST_F(SketchFilesTest, SaveFailuresAreReportedAndTouchNothing)
{
    save(path("missing-folder/x.nsd"));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].startsWith(QStringLiteral("Could not save the sketch to "))) << messages.shown[0].toStdString();
    EXPECT_TRUE(messages.shown[0].contains(QStringLiteral("x.nsd")));
    EXPECT_FALSE(QFile::exists(path("missing-folder/x.nsd")));

    // A write that fails part-way (the file size limit) leaves the old file as it was.
    const QByteArray old = QByteArray("an older sketch").repeated(100);
    writeWholeFile(path("old.nsd"), old);
    keys(kVkLeft, 5);
    {
        FileSizeLimit limit(100000);
        ASSERT_TRUE(limit.active());
        save(path("old.nsd"));
    }

    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown[1].contains(QStringLiteral("old.nsd")));
    EXPECT_EQ(readWholeFile(path("old.nsd")), old);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*")}, QDir::Files), QStringList{QStringLiteral("old.nsd")});
}

TEST_F(SketchFilesTest, CancelledDialogsChangeNothing)
{
    keys(kVkRight, 2);
    const QByteArray before = storeBytes();
    dialogs.answers = {std::nullopt, std::nullopt};
    commands.SaveSketch();
    commands.OpenSketch();
    EXPECT_EQ(dialogs.shown, 2);
    EXPECT_EQ(storeBytes(), before);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 0);
    EXPECT_EQ(board.PenX, 293);
}

TEST_F(SketchFilesTest, RoundTripRestoresBoardStoreAndPen)
{
    keys(kVkRight, 40);
    keys(kVkDown, 25);
    keys(kVkLeft, 10);
    const QImage drawn = boardImage();
    save(path("round.nsd"));
    const QByteArray storedBefore = storeBytes().leftJustified(566480, '\0');

    board.Shake();
    keys(kVkUp, 100);  // move the pen away and draw something else
    open(path("round.nsd"));

    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(boardImage(), drawn);
    EXPECT_EQ(board.PenX, 321);
    EXPECT_EQ(board.PenY, 267);
    EXPECT_EQ(board.OpenFileName, path("round.nsd"));
    // The store now holds the file's records, pen fields included.
    const QByteArray stored = storeBytes();
    for (int r = 1; r <= 485; ++r)
        for (int c = 1; c <= 582; ++c)
            ASSERT_EQ(rawrecord::cell(stored, r, c), rawrecord::cell(storedBefore, r, c)) << r << "," << c;
    EXPECT_EQ(rawrecord::field(stored, 17, 1164), 321);

    board.Form_KeyDown(kVkRight, 0);
    EXPECT_EQ(rawrecord::cell(storeBytes(), 267, 322), 1);
    EXPECT_TRUE(surface.isSet(321, 266));
}

struct HandBuiltCase {
    const char* name;
    QByteArray bytes;
    std::vector<QPoint> inked;    // board pixels that must be set
    std::vector<QPoint> blank;    // and some that must not
    QPoint pen;
    std::vector<std::tuple<int, int, int>> storeCells;  // row, column, value
};

class OpenHandBuiltTest : public SketchFilesTest, public ::testing::WithParamInterface<HandBuiltCase> {};

TEST_P(OpenHandBuiltTest, OpensAsTheLayoutSays)
{
    const HandBuiltCase& c = GetParam();
    keys(kVkRight, 50);  // something that must go away
    writeWholeFile(path("hand.nsd"), c.bytes);
    open(path("hand.nsd"));

    EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(surface.isSet(330, 241)) << "the old drawing was cleared";
    for (QPoint p : c.inked)
        EXPECT_TRUE(surface.isSet(p.x(), p.y())) << p.x() << "," << p.y();
    for (QPoint p : c.blank)
        EXPECT_FALSE(surface.isSet(p.x(), p.y())) << p.x() << "," << p.y();
    EXPECT_EQ(QPoint(board.PenX, board.PenY), c.pen);
    const QByteArray stored = storeBytes();
    ASSERT_GE(stored.size(), 566480);
    EXPECT_EQ(rawrecord::cell(stored, 242, 341), 0);
    for (auto [row, column, value] : c.storeCells)
        EXPECT_EQ(rawrecord::cell(stored, row, column), value) << row << "," << column;
}

QByteArray records(int count, const QByteArray& each) { return each.repeated(count); }

INSTANTIATE_TEST_SUITE_P(
    Files, OpenHandBuiltTest,
    ::testing::Values(
        HandBuiltCase{"odd cells are copied but not drawn",
                      records(484, rawrecord::make({}, 10, 20)) + rawrecord::make({{1, 2}, {2, -1}, {3, 1}}, 10, 20),
                      {{2, 484}}, {{0, 484}, {1, 484}}, {10, 20}, {{485, 1, 2}, {485, 2, -1}, {485, 3, 1}}},
        HandBuiltCase{"ten records, the rest empty, pen clamped",
                      records(10, rawrecord::make({{5, 1}}, 100, 100)), {{4, 0}, {4, 9}}, {{4, 10}}, {1, 1},
                      {{10, 5, 1}, {11, 5, 0}}},
        HandBuiltCase{"empty file", QByteArray(), {}, {{290, 241}}, {1, 1}, {{1, 1, 0}}},
        HandBuiltCase{"pen outside the board is clamped",
                      records(485, rawrecord::make({{582, 1}}, 600, -5)), {{581, 0}, {581, 484}}, {}, {582, 1}, {}},
        HandBuiltCase{"trailing bytes after 485 records are ignored",
                      records(485, rawrecord::make({}, 7, 8)) + rawrecord::make({{1, 1}}, 1, 1), {}, {{0, 0}}, {7, 8},
                      {}}),
    [](const auto& row) {
        std::string name = row.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST_F(SketchFilesTest, UnreadableFileLeavesEverythingAsItWas)
{
    keys(kVkRight, 12);
    const QByteArray storeBefore = storeBytes();
    const QImage boardBefore = boardImage();
    QDir(dir.path()).mkdir(QStringLiteral("folder.nsd"));

    for (const QString& bad : {path("absent.nsd"), path("folder.nsd")}) {
        messages.shown.clear();
        open(bad);
        ASSERT_EQ(messages.shown.size(), 1) << bad.toStdString();
        EXPECT_TRUE(messages.shown[0].startsWith(QStringLiteral("Could not open the sketch ")));
        EXPECT_EQ(storeBytes(), storeBefore);
        EXPECT_EQ(boardImage(), boardBefore);
        EXPECT_EQ(QPoint(board.PenX, board.PenY), QPoint(303, 242));
    }
}

} // namespace
