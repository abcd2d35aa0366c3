#pragma once

#include "platform/message_service.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// Records message boxes and beeps instead of showing them.
class RecordingMessages : public MessageService {
public:
    void showMessage(const QString& text) override { shown.push_back(text); }
    void beep() override { ++beeps; }

    QStringList shown;
    int beeps = 0;
};

// Builders of raw row records from the file layout itself: 582 little-endian signed
// 16-bit cells, then PenX and PenY. They do not use the program's RowRecord.
namespace rawrecord {
inline constexpr int kBytes = 1168;
QByteArray make(const std::vector<std::pair<int, std::int16_t>>& cells, std::int16_t penX, std::int16_t penY);
std::int16_t field(const QByteArray& file, int record, int byteOffset);  // record from 1
std::int16_t cell(const QByteArray& file, int record, int column);       // column from 1
} // namespace rawrecord

// For as long as it lives, files this process writes cannot grow past `bytes`: a write
// beyond fails with "File too large" instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return active_; }

private:
    long saved_ = 0;
    bool active_ = false;
};

QByteArray readWholeFile(const QString& path);
void writeWholeFile(const QString& path, const QByteArray& bytes);
