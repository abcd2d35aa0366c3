#include "board/screen_store.h"

#include "platform/file_error.h"

#include <QDir>
#include <QFile>

ScreenStore::ScreenStore() : file_(kRecordBytes) {}

ScreenStore::OpenResult ScreenStore::openInFirstUsable(const QStringList& folders)
{
    error_.clear();
    for (const QString& folder : folders) {
        if (!QDir().mkpath(folder)) {
            error_ = QStringLiteral("Could not create the folder %1.")
                         .arg(QDir::toNativeSeparators(folder));
            continue;
        }
        try {
            file_.open(QDir(folder).filePath(kFileName));
            if (file_.lockExclusive())
                return OpenResult::Opened;
            file_.close();
            return OpenResult::InUse;
        } catch (const FileError& e) {
            error_ = e.message();
            file_.close();
        }
    }
    return OpenResult::Failed;
}

void ScreenStore::readRow(int n, RowRecord& into)
{
    file_.read(n, into.bytes());
}

void ScreenStore::writeRow(int n, const RowRecord& from)
{
    file_.write(n, from.bytes());
}

GridRows ScreenStore::readGrid()
{
    GridRows rows(kGridRows);
    file_.read(1, std::as_writable_bytes(std::span(rows)));
    return rows;
}

void ScreenStore::writeRows(int first, std::span<const RowRecord> from)
{
    file_.write(first, std::as_bytes(from));
}

void ScreenStore::closeAndDelete()
{
    // Deleted while still locked, so that a copy starting now makes a fresh store.
    const QString path = file_.path();
    QFile file(path);
    if (!path.isEmpty() && file.exists() && !file.remove()) {
        file_.close();
        throw FileError(QStringLiteral("Could not delete %1: %2.")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    file_.close();
}

void ScreenStore::close()
{
    file_.close();
}
