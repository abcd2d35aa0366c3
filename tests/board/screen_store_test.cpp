#include "board/screen_store.h"
#include "platform/file_error.h"
#include "support/test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ScreenStoreTest : public ::testing::Test {
protected:
    QString storePath() const { return dir.filePath(QStringLiteral("Screen.txt")); }
    void openStore() { ASSERT_EQ(store.openInFirstUsable({dir.path()}), ScreenStore::OpenResult::Opened); }
    QTemporaryDir dir;
    ScreenStore store;
};

TEST_F(ScreenStoreTest, NewStoreIsEmptyAndGrowsToTheRowWrittenWithZerosBefore)
{
    openStore();
    EXPECT_EQ(QFileInfo(storePath()).size(), 0);
    RowRecord row;
    row.setCell(7, 1);
    store.writeRow(300, row);
    const QByteArray bytes = readWholeFile(storePath());
    EXPECT_EQ(bytes.size(), 300 * rawrecord::kBytes);
    EXPECT_EQ(rawrecord::cell(bytes, 300, 7), 1);
    EXPECT_EQ(bytes.left(299 * rawrecord::kBytes).count('\0'), 299 * rawrecord::kBytes);
}

TEST_F(ScreenStoreTest, ReadsPastTheEndGiveZeros)
{
    writeWholeFile(storePath(), rawrecord::make({{1, 1}}, 3, 4) + QByteArray(100, '\x01'));
    openStore();
    RowRecord row;
    row.setCell(5, 1);
    store.readRow(1, row);
    EXPECT_EQ(row.cell(1), 1);
    EXPECT_EQ(row.cell(5), 0);
    EXPECT_EQ(row.penX(), 3);
    store.readRow(2, row);  // a partial record: the missing part reads as zeros
    EXPECT_EQ(row.cell(1), 0x0101);
    EXPECT_EQ(row.cell(51), 0);
    store.readRow(485, row);
    EXPECT_EQ(row, RowRecord{});
}

TEST_F(ScreenStoreTest, OpeningNeverTruncatesAndClosingDeletes)
{
    const QByteArray old = rawrecord::make({{10, 1}}, 0, 0).repeated(485) + "tail";
    writeWholeFile(storePath(), old);
    openStore();
    EXPECT_EQ(readWholeFile(storePath()), old);
    store.closeAndDelete();
    EXPECT_FALSE(QFile::exists(storePath()));
    RowRecord row;
    EXPECT_THROW(store.writeRow(1, row), FileError);  // a closed store fails loudly
    EXPECT_THROW(store.readRow(1, row), FileError);
}

TEST_F(ScreenStoreTest, SecondOpenerOfTheSameFolderIsRefusedUntilTheFirstCloses)
{
    openStore();
    ScreenStore second;
    EXPECT_EQ(second.openInFirstUsable({dir.path()}), ScreenStore::OpenResult::InUse);
    EXPECT_FALSE(second.isOpen());
    store.close();
    EXPECT_EQ(second.openInFirstUsable({dir.path()}), ScreenStore::OpenResult::Opened);
}

TEST_F(ScreenStoreTest, FallsBackToTheNextFolderAndFailsWithTheReasonWhenNoneWill)
{
    const QString blocked = dir.filePath(QStringLiteral("not-a-folder"));  // a file where a folder should be
    writeWholeFile(blocked, "x");
    EXPECT_EQ(store.openInFirstUsable({blocked}), ScreenStore::OpenResult::Failed);
    EXPECT_TRUE(store.error().contains(QDir::toNativeSeparators(blocked))) << store.error().toStdString();

    const QString fallback = dir.filePath(QStringLiteral("data/nimbolt-sketch"));
    ASSERT_EQ(store.openInFirstUsable({blocked, fallback}), ScreenStore::OpenResult::Opened);
    EXPECT_EQ(store.path(), QDir(fallback).filePath(QStringLiteral("Screen.txt")));
    EXPECT_TRUE(QFile::exists(store.path()));
}

} // namespace
