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
            error_ = QStringLiteral("Could not create the folder %1.").arg(QDir::toNativeSeparators(folder));
            continue;
        }
        const QString path = QDir(folder).filePath(kFileName);
        switch (lock_.tryLock(path + QStringLiteral(".lock"))) {
        case InstanceLock::Result::HeldByAnother:
            return OpenResult::InUse;
        case InstanceLock::Result::Unavailable:
            error_ = QStringLiteral("Could not create a lock file in %1.").arg(QDir::toNativeSeparators(folder));
            continue;
        case InstanceLock::Result::Locked:
            break;
        }
        try {
            file_.open(path);
            return OpenResult::Opened;
        } catch (const FileError& e) {
            error_ = e.message();
            lock_.unlock();
        }
    }
    return OpenResult::Failed;
}

void ScreenStore::readRow(int n, RowRecord& into) { file_.read(n, into.bytes()); }

void ScreenStore::writeRow(int n, const RowRecord& from) { file_.write(n, from.bytes()); }

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
    const QString path = file_.path();
    file_.close();
    QFile file(path);
    if (!path.isEmpty() && file.exists() && !file.remove())
        throw FileError(QStringLiteral("Could not delete %1: %2.").arg(QDir::toNativeSeparators(path), file.errorString()));
    lock_.unlock();
}

void ScreenStore::close()
{
    file_.close();
    lock_.unlock();
}
