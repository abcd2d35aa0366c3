#pragma once

#include "board/row_record.h"
#include "platform/plain_file.h"
#include "platform/record_file.h"

#include <QString>
#include <QStringList>

#include <span>

// The scratch file that holds the board's grid, one RowRecord per pixel row ("Screen.txt").
// Row reads and writes throw FileError.
class ScreenStore {
public:
    static inline const QString kFileName = QStringLiteral("Screen.txt");

    enum class OpenResult { Opened, InUse, Failed };

    ScreenStore();

    // Opens "Screen.txt" in the first folder where it can be opened and locked, creating it
    // when missing and never truncating it. A folder whose "Screen.txt" is not a regular file
    // of this user's own is passed over. The lock lasts while the store is open, so InUse
    // means another running copy holds it. Failed: no folder would do; error() says why.
    OpenResult openInFirstUsable(const QStringList& folders);

    void readRow(int n, RowRecord& into);
    void writeRow(int n, const RowRecord& from);
    // Rows 1..485 in one read; rows past the end of the file read as zero cells.
    GridRows readGrid();
    // Rows first, first + 1, ... in one write.
    void writeRows(int first, std::span<const RowRecord> from);
    // Deletes the file and closes it (the window is going away).
    void closeAndDelete();
    void close();

    QString path() const { return file_.path(); }
    // Whether path (links followed) names the store's file.
    bool isFile(const QString& path) const { return PlainFile::sameFile(file_.path(), path); }
    const QString& error() const { return error_; }

private:
    RecordFile file_;
    QString error_;
};
