#include "files/sketch_commands.h"
#include "support/board_rig.h"

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
    ScriptedServices dialogs;
    SketchCommands commands{board, dialogs, messages};
};

// Saved over an older file: all 485 rows with the pen, its tail and permissions kept, no temporary file.
TEST_F(SketchFilesTest, SaveThenOpenRestoresBoardStoreAndPen)
{
    const QByteArray tail = rawrecord::make({{1, 1}, {2, -3}}, 9, 9);  // a 486th record
    writeWholeFile(path("a.nsd"), QByteArray(kGridBytes, '\x7f') + tail);
    ASSERT_TRUE(QFile::setPermissions(path("a.nsd"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QFile::Permissions chosen = QFile::permissions(path("a.nsd"));
    keys(kVkRight, 30);
    keys(kVkUp, 20);
    const QImage drawn = boardImage();
    save(path("a.nsd"));
    const QByteArray saved = readWholeFile(path("a.nsd"));
    ASSERT_EQ(saved.size(), kGridBytes + tail.size());
    EXPECT_EQ(saved.mid(kGridBytes), tail);
    int set = 0;
    for (int r = 1; r <= 485; ++r) {
        for (int c = 1; c <= 582; ++c)
            set += rawrecord::cell(saved, r, c);
        ASSERT_EQ(QPoint(rawrecord::field(saved, r, 1164), rawrecord::field(saved, r, 1166)), QPoint(321, 222)) << r;
    }
    EXPECT_EQ(set, 50);  // where they lie, the board opened back shows
    EXPECT_EQ(QFile::permissions(path("a.nsd")), chosen);
    EXPECT_EQ(files(), QStringList{"a.nsd"}) << "no temporary file left behind";
    board.Shake();
    keys(kVkDown, 100);
    open(path("a.nsd"));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(boardImage(), drawn);
    EXPECT_EQ(QPoint(board.PenX, board.PenY), QPoint(321, 222));
}

struct OpenCase {
    const char* name;
    QByteArray bytes;
    std::vector<QPoint> inked, blank;  // board pixels that must be set, and some that must not
    QPoint pen;
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
    // the store holds the file's first 485 records, odd cells and all, and empty ones past its end
    EXPECT_EQ(storeBytes().left(kGridBytes), (c.bytes + QByteArray(kGridBytes, '\0')).left(kGridBytes));
}

INSTANTIATE_TEST_SUITE_P(
    Files, OpenFileTest,
    ::testing::Values(
        OpenCase{"odd_cells_are_stored_but_not_drawn",
                 rawrecord::make({}, 10, 20).repeated(484) + rawrecord::make({{1, 2}, {2, -1}, {3, 1}}, 10, 20), {{2, 484}},
                 {{0, 484}, {1, 484}}, {10, 20}},
        OpenCase{"ten_records_the_rest_empty_and_the_pen_clamped", rawrecord::make({{5, 1}}, 100, 100).repeated(10),
                 {{4, 0}, {4, 9}}, {{4, 10}}, {1, 1}},
        OpenCase{"pen_outside_the_board_is_clamped", rawrecord::make({{582, 1}}, 600, -5).repeated(485), {{581, 484}}, {}, {582, 1}},
        OpenCase{"records_after_the_485th_are_ignored", rawrecord::make({}, 7, 8).repeated(485) + rawrecord::make({{1, 1}}, 1, 1),
                 {}, {{0, 0}}, {7, 8}}),
    [](const auto& row) { return std::string(row.param.name); });

// Refused with the reason (a cancel says nothing), leaving board, store, pen and folder as they were.
enum class Target { Cancel, Missing, PartialRecord, Fifo, Store, LinkToStore, FullDisk };
struct RefusedCase { const char* name; bool save; Target target; const char* reason; };  // reason nullptr: no message
class RefusedFileTest : public SketchFilesTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedFileTest, RefusedWithTheReasonAndNothingChanged)
{
    const auto [name, saving, target, reason] = GetParam();
    keys(kVkRight, 12);
    const QByteArray storeBefore = storeBytes(), old = QByteArray("an older sketch").repeated(100);
    const QImage boardBefore = boardImage();
    QString chosen = path("target.nsd");
    std::optional<FileSizeLimit> limit;
    switch (target) {
    case Target::Cancel: chosen.clear(); break;
    case Target::Missing: chosen = path("missing/target.nsd"); break;
    case Target::PartialRecord: writeWholeFile(chosen, rawrecord::make({{1, 1}}, 5, 5).repeated(3) + "part"); break;
    case Target::Fifo: ASSERT_EQ(::mkfifo(QFile::encodeName(chosen), 0666), 0); break;
    case Target::Store: chosen = store.path(); break;
    case Target::LinkToStore: QFile::link(store.path(), chosen); break;
    case Target::FullDisk: writeWholeFile(chosen, old), limit.emplace(100000); break;  // the write fails part-way
    }
    const QStringList filesBefore = files();
    saving ? save(chosen) : open(chosen);
    limit.reset();
    const QString said = QStringLiteral("Could not %1 %2: %3.").arg(saving ? "save the sketch to" : "open the sketch", chosen);
    EXPECT_EQ(messages.shown, reason ? QStringList{said.arg(QLatin1String(reason))} : QStringList());
    EXPECT_TRUE(storeBytes() == storeBefore && boardImage() == boardBefore && board.PenX == 303);
    EXPECT_EQ(files(), filesBefore);
    EXPECT_TRUE(target != Target::FullDisk || readWholeFile(chosen) == old);
    keys(kVkRight, 1);  // the store's file is still the one the board draws into
    EXPECT_EQ(rawrecord::cell(storeBytes(), 242, 304), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedFileTest,
    ::testing::Values(RefusedCase{"OpenCancelled", false, Target::Cancel, nullptr},
                      RefusedCase{"OpenMissing", false, Target::Missing, "No such file or directory"},
                      RefusedCase{"OpenPartialRecord", false, Target::PartialRecord, "It is not a Nimbolt Sketch drawing"},
                      RefusedCase{"OpenFIFO", false, Target::Fifo, "It is not a file"},
                      RefusedCase{"SaveCancelled", true, Target::Cancel, nullptr},
                      RefusedCase{"SaveIntoAMissingFolder", true, Target::Missing, "No such file or directory"},
                      RefusedCase{"SaveOverTheStore", true, Target::Store, "It is the board's own screen store"},
                      RefusedCase{"SaveOverALinkToTheStore", true, Target::LinkToStore, "It is the board's own screen store"},
                      RefusedCase{"SaveOverAFIFO", true, Target::Fifo, "It is not a file"},
                      RefusedCase{"SaveOntoAFullDiskKeepsTheOldFile", true, Target::FullDisk, "File too large"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
