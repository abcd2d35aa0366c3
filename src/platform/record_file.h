#pragma once

#include <QString>

#include <cstddef>
#include <span>

// A random-access file of fixed-length records numbered from 1, like the file numbers of
// the original runtime: each open file holds a number until it is closed.
// Every failure throws FileError.
class RecordFile {
public:
    explicit RecordFile(int recordLength);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Opens (creating when missing, never truncating) for reading and writing.
    void open(const QString& path);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    // Reads from the start of record n, as many bytes as `into` holds (one record or a run
    // of them); what lies past the end of the file reads as zeros.
    void read(qint64 n, std::span<std::byte> into);
    // Writes from the start of record n, extending the file when n lies beyond its end.
    void write(qint64 n, std::span<const std::byte> from);

    qint64 size() const;
    const QString& path() const { return path_; }
    int fileNumber() const { return number_; }

    // The lowest file number no open RecordFile holds.
    static int nextFreeFileNumber();

private:
    qint64 offsetOf(qint64 n) const;

    int recordLength_;
    int fd_ = -1;
    int number_ = 0;
    QString path_;
};
