#include "board/screen_store.h"
#include "platform/file_error.h"
#include "support/test_support.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class ScreenStoreTest : public ::testing::Test {
protected:
    QString storePath() const { return dir.filePath(QStringLiteral("Screen.txt")); }
    void openStore() { ASSERT_EQ(store.openInFirstUsable({dir.path()}), ScreenStore::OpenResult::Opened); }
    QTemporaryDir dir;
    ScreenStore store;
    RowRecord row;
};

TEST_F(ScreenStoreTest, GrowsToTheRowWrittenAndReadsZerosPastItsEnd)
{
    openStore();
    EXPECT_EQ(readWholeFile(storePath()).size(), 0);
    row.setCell(7, 1);
    store.writeRow(300, row);
    const QByteArray bytes = readWholeFile(storePath());
    EXPECT_EQ(bytes.size(), 300 * rawrecord::kBytes);
    EXPECT_EQ(rawrecord::cell(bytes, 300, 7), 1);
    EXPECT_EQ(bytes.count('\0'), bytes.size() - 1);
    store.readRow(485, row);
    EXPECT_EQ(row, RowRecord{});
}

TEST_F(ScreenStoreTest, NeverTruncatesOnOpenPadsAPartialRecordAndDeletesOnClose)
{
    const QByteArray old = rawrecord::make({{1, 1}}, 3, 4) + QByteArray(100, '\x01');
    writeWholeFile(storePath(), old);
    openStore();
    EXPECT_EQ(readWholeFile(storePath()), old);
    store.readRow(2, row);
    EXPECT_EQ(row.cell(1), 0x0101);
    EXPECT_EQ(row.cell(51), 0);
    store.closeAndDelete();
    EXPECT_FALSE(QFile::exists(storePath()));
    EXPECT_THROW(store.writeRow(1, row), FileError);  // a closed store fails loudly
}

TEST_F(ScreenStoreTest, SecondOpenerOfTheSameFolderIsRefusedUntilTheFirstCloses)
{
    openStore();
    ScreenStore second;
    EXPECT_EQ(second.openInFirstUsable({dir.path()}), ScreenStore::OpenResult::InUse);
    store.close();
    EXPECT_EQ(second.openInFirstUsable({dir.path()}), ScreenStore::OpenResult::Opened);
}

// What others left in the first folder, which they can write: passed over for the next folder
// with the reason, and never written through.
enum class Plant { FileForTheFolder, Link, DanglingLink, HardLink, Fifo, ForeignFile, GarbageLock };
struct PlantCase {
    const char* name;
    Plant plant;
    bool passedOver;
};
class PlantedStoreTest : public ScreenStoreTest, public ::testing::WithParamInterface<PlantCase> {};

TEST_P(PlantedStoreTest, PassedOverWithTheReasonTouchingNothingOfTheirs)
{
    const QString shared = dir.filePath(QStringLiteral("shared")), own = dir.filePath(QStringLiteral("own"));
    const QString planted = shared + QStringLiteral("/Screen.txt");
    const QString victim = dir.filePath(QStringLiteral("victim")), chosen = dir.filePath(QStringLiteral("chosen"));
    writeWholeFile(victim, "precious");
    QDir().mkpath(shared);
    switch (GetParam().plant) {
    case Plant::FileForTheFolder: QDir(shared).removeRecursively(), writeWholeFile(shared, "x"); break;
    case Plant::Link: QFile::link(victim, planted); break;
    case Plant::DanglingLink: QFile::link(chosen, planted); break;
    case Plant::HardLink: ASSERT_EQ(::link(QFile::encodeName(victim), QFile::encodeName(planted)), 0); break;
    case Plant::Fifo: ASSERT_EQ(::mkfifo(QFile::encodeName(planted), 0666), 0); break;
    case Plant::ForeignFile:
        writeWholeFile(planted, "theirs");
        if (::geteuid() != 0 || ::chown(QFile::encodeName(planted), 65534, 65534) != 0)
            GTEST_SKIP() << "only root can give a file away";
        break;
    case Plant::GarbageLock: writeWholeFile(planted + QStringLiteral(".lock"), "\xff garbage"); break;
    }
    const bool over = GetParam().passedOver;
    EXPECT_EQ(store.openInFirstUsable({shared}), over ? ScreenStore::OpenResult::Failed : ScreenStore::OpenResult::Opened);
    EXPECT_EQ(store.error().contains(QDir::toNativeSeparators(shared)), over) << store.error().toStdString();
    store.close();
    ASSERT_EQ(store.openInFirstUsable({shared, own}), ScreenStore::OpenResult::Opened) << store.error().toStdString();
    EXPECT_EQ(store.path(), (over ? own : shared) + QStringLiteral("/Screen.txt"));
    row.setCell(1, 1);
    store.writeRow(2, row);
    store.closeAndDelete();
    EXPECT_EQ(readWholeFile(victim), "precious");
    EXPECT_FALSE(QFile::exists(chosen));
    EXPECT_TRUE(GetParam().plant != Plant::ForeignFile || readWholeFile(planted) == "theirs");
}

INSTANTIATE_TEST_SUITE_P(
    Planted, PlantedStoreTest,
    ::testing::Values(PlantCase{"FileWhereTheFolderGoes", Plant::FileForTheFolder, true},
                      PlantCase{"LinkToAnotherFile", Plant::Link, true}, PlantCase{"DanglingLink", Plant::DanglingLink, true},
                      PlantCase{"HardLinkToAnotherFile", Plant::HardLink, true}, PlantCase{"FIFO", Plant::Fifo, true},
                      PlantCase{"SomeoneElsesFile", Plant::ForeignFile, true},
                      PlantCase{"GarbageLockFileIsNoLock", Plant::GarbageLock, false}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
