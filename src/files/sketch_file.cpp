#include "files/sketch_file.h"

#include "board/screen_store.h"
#include "platform/file_error.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>


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
    Rows rows = store.readGrid();
    for (RowRecord& row : rows)
        row.setPen(qint16(penX), qint16(penY));
    rowBuffer = rows.back();  // as if every row had passed through it
    if (out.write(reinterpret_cast<const char*>(rows.data()), kFullGridBytes) != kFullGridBytes)
        throw saveError(path, out.errorString());
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
    // Missing records and the missing part of a partial one stay zero.
    Rows rows(kGridRows);
    char* into = reinterpret_cast<char*>(rows.data());
    qint64 done = 0;
    while (done < kFullGridBytes) {
        const qint64 got = in.read(into + done, kFullGridBytes - done);
        if (got < 0)
            throw fail(in.errorString());
        if (got == 0)
            break;
        done += got;
    }
    return rows;
}

} // namespace SketchFile
