#pragma once

#include <QString>

#include <cstddef>
#include <span>

// A random-access file of fixed-length records numbered from 1. Every failure throws FileError.
class RecordFile {
public:
    explicit RecordFile(int recordLength);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Opens (creating when missing, never truncating) for reading and writing. Only a
    // regular file of this user's own, with no other name, will do: a symbolic link, a FIFO
    // or someone else's file planted under the name is refused.
    void open(const QString& path);
    // Takes the kernel's exclusive lock on the open file, without waiting; false when
    // another open of the file holds it. The lock goes with the file's close, or the
    // process's end, whatever ends it.
    bool lockExclusive();
    void close();

    // Reads from the start of record n, as many bytes as `into` holds (one record or a run
    // of them); what lies past the end of the file reads as zeros.
    void read(qint64 n, std::span<std::byte> into);
    // Writes from the start of record n, extending the file when n lies beyond its end.
    void write(qint64 n, std::span<const std::byte> from);

    const QString& path() const { return path_; }

private:
    qint64 offsetOf(qint64 n) const;
    [[noreturn]] void fail(const char* what) const;

    int recordLength_;
    int fd_ = -1;
    QString path_;
};
