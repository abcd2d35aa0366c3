#pragma once

#include "board/row_record.h"
#include "platform/instance_lock.h"
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

    // Opens "Screen.txt" in the first folder where it can be locked and opened, creating it
    // when missing and never truncating it. InUse: another running copy holds it.
    // Failed: no folder would do; error() says why.
    OpenResult openInFirstUsable(const QStringList& folders);

    void readRow(int n, RowRecord& into);
    void writeRow(int n, const RowRecord& from);
    // Rows 1..485 in one read; rows past the end of the file read as zero cells.
    GridRows readGrid();
    // Rows first, first + 1, ... in one write.
    void writeRows(int first, std::span<const RowRecord> from);
    // Closes the file and deletes it (the window is going away).
    void closeAndDelete();
    void close();

    bool isOpen() const { return file_.isOpen(); }
    QString path() const { return file_.path(); }
    qint64 size() const { return file_.size(); }
    const QString& error() const { return error_; }

private:
    RecordFile file_;
    InstanceLock lock_;
    QString error_;
};
