#include "board/row_record.h"
#include "board/screen_store.h"
#include "platform/file_error.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class ScreenStoreTest : public ::testing::Test {
protected:
    QString storePath() const { return dir.filePath(QStringLiteral("Screen.txt")); }
    void openStore() { ASSERT_EQ(store.openInFirstUsable({dir.path()}), ScreenStore::OpenResult::Opened); }

    QTemporaryDir dir;
    ScreenStore store;
};

TEST(RowRecordLayout, CellsAndPenSitAtTheirByteOffsetsLittleEndianSigned)
{
    RowRecord record;
    record.setCell(1, 1);
    record.setCell(292, -2);
    record.setCell(582, 0x1234);
    record.setPen(-5, 485);
    const QByteArray bytes(reinterpret_cast<const char*>(record.bytes().data()), kRecordBytes);

    EXPECT_EQ(rawrecord::cell(bytes, 1, 1), 1);
    EXPECT_EQ(rawrecord::cell(bytes, 1, 292), -2);
    EXPECT_EQ(quint8(bytes[(292 - 1) * 2]), 0xFE);  // low byte first
    EXPECT_EQ(quint8(bytes[(582 - 1) * 2]), 0x34);
    EXPECT_EQ(quint8(bytes[(582 - 1) * 2 + 1]), 0x12);
    EXPECT_EQ(rawrecord::field(bytes, 1, 1164), -5);
    EXPECT_EQ(rawrecord::field(bytes, 1, 1166), 485);
    EXPECT_EQ(bytes.count('\0'), kRecordBytes - 9);  // nothing else was touched
}

TEST(RowRecordLayout, ClearingCellsKeepsThePen)
{
    RowRecord record;
    for (int c = 1; c <= kGridColumns; ++c)
        record.setCell(c, 1);
    record.setPen(291, 242);
    record.clearCells();
    for (int c = 1; c <= kGridColumns; ++c)
        ASSERT_EQ(record.cell(c), 0) << c;
    EXPECT_EQ(record.penX(), 291);
    EXPECT_EQ(record.penY(), 242);
}

TEST_F(ScreenStoreTest, NewStoreIsEmptyAndGrowsToTheRowWritten)
{
    openStore();
    EXPECT_EQ(QFileInfo(storePath()).size(), 0);

    RowRecord row;
    row.setCell(7, 1);
    store.writeRow(300, row);
    EXPECT_EQ(QFileInfo(storePath()).size(), 300 * kRecordBytes);

    const QByteArray bytes = readWholeFile(storePath());
    EXPECT_EQ(rawrecord::cell(bytes, 300, 7), 1);
    EXPECT_EQ(bytes.left(299 * kRecordBytes).count('\0'), 299 * kRecordBytes);
}

TEST_F(ScreenStoreTest, ReadsPastTheEndGiveZeroCells)
{
    writeWholeFile(storePath(), rawrecord::make({{1, 1}}, 3, 4) + QByteArray(100, '\x01'));
    openStore();
    RowRecord row;
    row.setCell(5, 1);
    row.setPen(9, 9);

    store.readRow(1, row);
    EXPECT_EQ(row.cell(1), 1);
    EXPECT_EQ(row.penX(), 3);

    store.readRow(2, row);  // a partial record: the missing part reads as zeros
    EXPECT_EQ(row.cell(1), 0x0101);
    EXPECT_EQ(row.cell(51), 0);
    EXPECT_EQ(row.penY(), 0);

    store.readRow(485, row);
    EXPECT_EQ(row, RowRecord{});
}

TEST_F(ScreenStoreTest, ReopeningNeverTruncatesAndClosingDeletes)
{
    const QByteArray old = rawrecord::make({{10, 1}}, 0, 0).repeated(485) + "tail";
    writeWholeFile(storePath(), old);
    openStore();
    EXPECT_EQ(readWholeFile(storePath()), old);

    store.closeAndDelete();
    EXPECT_FALSE(QFile::exists(storePath()));
    EXPECT_FALSE(store.isOpen());
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

TEST_F(ScreenStoreTest, FallsBackToTheNextFolderWhenTheFirstCannotHoldTheStore)
{
    // A file where the first folder should be: neither the lock nor the store fit there.
    const QString blocked = dir.filePath(QStringLiteral("not-a-folder"));
    writeWholeFile(blocked, "x");
    const QString fallback = dir.filePath(QStringLiteral("data/nimbolt-sketch"));

    ASSERT_EQ(store.openInFirstUsable({blocked, fallback}), ScreenStore::OpenResult::Opened);
    EXPECT_EQ(store.path(), QDir(fallback).filePath(QStringLiteral("Screen.txt")));
    EXPECT_TRUE(QFile::exists(store.path()));
}

TEST_F(ScreenStoreTest, NoUsableFolderFailsWithTheReason)
{
    const QString blocked = dir.filePath(QStringLiteral("file"));
    writeWholeFile(blocked, "x");
    EXPECT_EQ(store.openInFirstUsable({blocked}), ScreenStore::OpenResult::Failed);
    EXPECT_TRUE(store.error().contains(QDir::toNativeSeparators(blocked))) << store.error().toStdString();
}

TEST_F(ScreenStoreTest, RowWritesToAClosedStoreThrowInsteadOfVanishing)
{
    RowRecord row;
    EXPECT_THROW(store.writeRow(1, row), FileError);
    EXPECT_THROW(store.readRow(1, row), FileError);
}

TEST(RecordFileNumbers, StoreTakesOneAndTheNextFreeNumberFollows)
{
    QTemporaryDir dir;
    EXPECT_EQ(RecordFile::nextFreeFileNumber(), 1);
    RecordFile store(kRecordBytes);
    store.open(dir.filePath(QStringLiteral("a")));
    EXPECT_EQ(store.fileNumber(), 1);
    EXPECT_EQ(RecordFile::nextFreeFileNumber(), 2);
    {
        RecordFile sketch(kRecordBytes);
        sketch.open(dir.filePath(QStringLiteral("b")));
        EXPECT_EQ(sketch.fileNumber(), 2);
    }
    EXPECT_EQ(RecordFile::nextFreeFileNumber(), 2);
}

} // namespace
