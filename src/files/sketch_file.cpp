#include "files/sketch_file.h"

#include "board/screen_store.h"
#include "platform/file_error.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstring>

namespace SketchFile {

namespace {

FileError saveError(const QString& path, const QString& reason)
{
    return FileError(QStringLiteral("Could not save the sketch to %1: %2.").arg(displayPath(path), reason));
}

// Copies what an existing, longer file holds after the 485th record.
void copyTail(const QString& path, QSaveFile& out)
{
    QFile old(path);
    if (!old.exists() || old.size() <= kFullGridBytes)
        return;
    if (!old.open(QIODevice::ReadOnly) || !old.seek(kFullGridBytes))
        throw saveError(path, old.errorString());
    while (!old.atEnd()) {
        const QByteArray chunk = old.read(1 << 20);
        if (chunk.isEmpty() && old.error() != QFileDevice::NoError)
            throw saveError(path, old.errorString());
        if (out.write(chunk) != chunk.size())
            throw saveError(path, out.errorString());
    }
}

} // namespace

QString displayPath(const QString& path)
{
    const QString home = QDir::homePath();
    const QString absolute = QDir::cleanPath(QDir(path).absolutePath());
    if (home != QStringLiteral("/") && absolute.startsWith(home + QLatin1Char('/')))
        return QDir::toNativeSeparators(QStringLiteral("~") + absolute.mid(home.size()));
    return QDir::toNativeSeparators(absolute);
}

void save(const QString& path, ScreenStore& store, RowRecord& rowBuffer, int penX, int penY)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw saveError(path, out.errorString());
    for (int row = 1; row <= kGridRows; ++row) {
        store.readRow(row, rowBuffer);
        rowBuffer.setPen(qint16(penX), qint16(penY));
        const auto& bytes = rowBuffer.bytes();
        if (out.write(reinterpret_cast<const char*>(bytes.data()), kRecordBytes) != kRecordBytes)
            throw saveError(path, out.errorString());
    }
    copyTail(path, out);
    if (!out.commit())
        throw saveError(path, out.errorString());
}

Rows read(const QString& path)
{
    QFile in(path);
    auto fail = [&path](const QString& reason) {
        return FileError(QStringLiteral("Could not open the sketch %1: %2.").arg(displayPath(path), reason));
    };
    if (!in.open(QIODevice::ReadOnly))
        throw fail(in.errorString());
    const QByteArray data = in.read(kFullGridBytes);
    if (in.error() != QFileDevice::NoError)
        throw fail(in.errorString());
    Rows rows{};
    for (int i = 0; i < kGridRows; ++i) {
        const qint64 at = qint64(i) * kRecordBytes;
        if (at >= data.size())
            break;
        const qint64 length = std::min<qint64>(kRecordBytes, data.size() - at);
        std::memcpy(rows[std::size_t(i)].bytes().data(), data.constData() + at, std::size_t(length));
    }
    return rows;
}

} // namespace SketchFile
