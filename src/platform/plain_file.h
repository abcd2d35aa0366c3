#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

class QFile;
class QFileDevice;

// Opening and writing plain (regular) files only: a FIFO or device named as a file never
// blocks the program and is never written over.
namespace PlainFile {

// "It is not a file": the reason given for a FIFO, a device, a folder or a socket.
QString notAFile();

// Opens path read-only without waiting on a FIFO or device; fails on anything but a
// regular file. Returns the reason on failure, nothing on success.
std::optional<QString> openForReading(QFile& file, const QString& path);

// Why path (links followed) cannot be replaced by a written file: it exists and is not a
// regular file. Nothing when it is a regular file or does not exist yet.
std::optional<QString> refuseAsTarget(const QString& path);

// Whether both names (links followed) lead to one existing file.
bool sameFile(const QString& a, const QString& b);

// Writes all of bytes to a device opened Unbuffered, carrying on after a short write so that
// a failure leaves the system's reason (a full disk, a size limit) in out.errorString().
bool writeAll(QFileDevice& out, QByteArrayView bytes);

}  // namespace PlainFile
