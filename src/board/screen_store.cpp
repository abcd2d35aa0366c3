#include "board/screen_store.h"

#include "platform/file_error.h"

#include <QDir>
#include <QFile>

#include <filesystem>
#include <system_error>

ScreenStore::ScreenStore() : file_(kRecordBytes) {}

ScreenStore::OpenResult ScreenStore::openInFirstUsable(const QStringList& folders)
{
    error_.clear();
    for (const QString& folder : folders) {
        // Unlike QDir::mkpath, this keeps the system's reason for a failure.
        std::error_code failed;
        std::filesystem::create_directories(QFile::encodeName(folder).constData(), failed);
        if (failed) {
            error_ = QStringLiteral("Could not create the folder %1: %2.")
                         .arg(QDir::toNativeSeparators(folder), systemReason(failed.value()));
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
