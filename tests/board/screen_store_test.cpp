#include "board/screen_store.h"
#include "platform/file_error.h"
#include "support/test_support.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

TEST_F(ScreenStoreTest, FallsBackToTheNextFolderAndFailsWithTheReasonWhenNoneWill)
{
    const QString blocked = dir.filePath(QStringLiteral("not-a-folder"));
    writeWholeFile(blocked, "x");
    EXPECT_EQ(store.openInFirstUsable({blocked}), ScreenStore::OpenResult::Failed);
    EXPECT_TRUE(store.error().contains(QDir::toNativeSeparators(blocked))) << store.error().toStdString();
    const QString fallback = dir.filePath(QStringLiteral("data/nimbolt-sketch"));
    ASSERT_EQ(store.openInFirstUsable({blocked, fallback}), ScreenStore::OpenResult::Opened);
    EXPECT_TRUE(QFile::exists(QDir(fallback).filePath(QStringLiteral("Screen.txt"))));
}

} // namespace
