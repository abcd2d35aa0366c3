#include "board/screen_store.h"
#include "platform/file_error.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

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

TEST_F(ScreenStoreTest, KeepsWhatItHoldsGrowsToTheRowWrittenAndDeletesOnClose)
{
    const QByteArray old = rawrecord::make({{1, 1}}, 3, 4) + QByteArray(100, '\x01');
    writeWholeFile(storePath(), old);
    openStore();
    EXPECT_EQ(readWholeFile(storePath()), old);  // never truncated on open
    store.readRow(2, row);  // a partial record is read padded with zeros
    EXPECT_EQ(row.cell(1), 0x0101);
    EXPECT_EQ(row.cell(51), 0);
    row = RowRecord{}, row.setCell(7, 1);
    store.writeRow(300, row);
    const QByteArray bytes = readWholeFile(storePath());
    EXPECT_EQ(bytes.size(), 300 * rawrecord::kBytes);
    EXPECT_TRUE(bytes.startsWith(old) && bytes.mid(old.size()).count('\0') == bytes.size() - old.size() - 1);
    EXPECT_EQ(rawrecord::cell(bytes, 300, 7), 1);
    store.readRow(485, row);
    EXPECT_EQ(row, RowRecord{});
    store.closeAndDelete();
    EXPECT_FALSE(QFile::exists(storePath()));
    EXPECT_THROW(store.writeRow(1, row), FileError);  // a closed store fails loudly
}

TEST_F(ScreenStoreTest, SecondOpenerOfTheSameFolderIsRefusedUntilTheFirstCloses)
{
    openStore();
    EXPECT_EQ(readWholeFile(storePath()).size(), 0);
    ScreenStore second;
    EXPECT_EQ(second.openInFirstUsable({dir.path()}), ScreenStore::OpenResult::InUse);
    store.close();
    EXPECT_EQ(second.openInFirstUsable({dir.path()}), ScreenStore::OpenResult::Opened);
}

// What others left in a folder they can write is passed over with the reason, never written through.
enum class Plant { FileForTheFolder, Link, DanglingLink, HardLink, Fifo, ForeignFile, GarbageLock };
class PlantedStoreTest : public ScreenStoreTest, public ::testing::WithParamInterface<std::pair<const char*, Plant>> {};

TEST_P(PlantedStoreTest, PassedOverWithTheReasonTouchingNothingOfTheirs)
{
    const Plant plant = GetParam().second;
    const QString shared = dir.filePath(QStringLiteral("shared")), own = dir.filePath(QStringLiteral("data/own"));
    const QString planted = shared + QStringLiteral("/Screen.txt"), victim = dir.filePath(QStringLiteral("victim"));
    const QByteArray at = QFile::encodeName(planted);
    writeWholeFile(victim, "precious");
    QDir().mkpath(shared);
    switch (plant) {
    case Plant::FileForTheFolder: QDir(shared).removeRecursively(), writeWholeFile(shared, "x"); break;
    case Plant::Link: QFile::link(victim, planted); break;
    case Plant::DanglingLink: QFile::link(victim + QStringLiteral("2"), planted); break;
    case Plant::HardLink: ASSERT_EQ(::link(QFile::encodeName(victim), at), 0); break;
    case Plant::Fifo: ASSERT_EQ(::mkfifo(at, 0666), 0); break;
    case Plant::ForeignFile:
        writeWholeFile(planted, "theirs");
        if (::geteuid() != 0 || ::chown(at, 65534, 65534) != 0)
            GTEST_SKIP() << "only root can give a file away";
        break;
    case Plant::GarbageLock: writeWholeFile(planted + QStringLiteral(".lock"), "\xff garbage"); break;
    }
    const bool over = plant != Plant::GarbageLock;  // a lock file is no lock: flock is
    EXPECT_EQ(store.openInFirstUsable({shared}), over ? ScreenStore::OpenResult::Failed : ScreenStore::OpenResult::Opened);
    EXPECT_EQ(store.error().contains(QDir::toNativeSeparators(shared)), over) << store.error().toStdString();
    store.close();
    ASSERT_EQ(store.openInFirstUsable({shared, own}), ScreenStore::OpenResult::Opened) << store.error().toStdString();
    EXPECT_EQ(store.path(), (over ? own : shared) + QStringLiteral("/Screen.txt"));
    row.setCell(1, 1);
    store.writeRow(2, row);
    store.closeAndDelete();
    EXPECT_EQ(readWholeFile(victim), "precious");
    EXPECT_FALSE(QFile::exists(victim + QStringLiteral("2")));
    EXPECT_TRUE(plant != Plant::ForeignFile || readWholeFile(planted) == "theirs");
}

INSTANTIATE_TEST_SUITE_P(
    Planted, PlantedStoreTest,
    ::testing::Values(std::pair{"FileWhereTheFolderGoes", Plant::FileForTheFolder}, std::pair{"FIFO", Plant::Fifo},
                      std::pair{"LinkToAnotherFile", Plant::Link}, std::pair{"DanglingLink", Plant::DanglingLink},
                      std::pair{"HardLinkToAnotherFile", Plant::HardLink}, std::pair{"SomeoneElsesFile", Plant::ForeignFile},
                      std::pair{"GarbageLockFileIsNoLock", Plant::GarbageLock}),
    [](const auto& row) { return std::string(row.param.first); });

} // namespace
