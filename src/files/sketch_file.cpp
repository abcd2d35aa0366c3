#include "files/sketch_file.h"

#include "board/screen_store.h"
#include "platform/file_error.h"
#include "platform/plain_file.h"

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
        if (!PlainFile::writeAll(out, chunk))
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
    if (const auto refused = PlainFile::refuseAsTarget(path))
        throw saveError(path, *refused);
    // Replacing the store's own file would leave the board drawing into a deleted file.
    if (store.isFile(path))
        throw saveError(path, QStringLiteral("It is the board's own screen store"));
    QSaveFile out(path);
    // Unbuffered, so that a failed write reports the system's reason at once.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw saveError(path, out.errorString());
    Rows rows = store.readGrid();
    for (RowRecord& row : rows)
        row.setPen(qint16(penX), qint16(penY));
    rowBuffer = rows.back();  // as if every row had passed through it
    if (!PlainFile::writeAll(out, QByteArrayView(reinterpret_cast<const char*>(rows.data()), kFullGridBytes)))
        throw saveError(path, out.errorString());
    copyTail(path, out);
    if (!out.commit())
        throw saveError(path, out.errorString());
}

Rows read(const QString& path)
{
    QFile in;
    auto fail = [&path](const QString& reason) {
        return FileError(QStringLiteral("Could not open the sketch %1: %2.").arg(displayPath(path), reason));
    };
    if (const auto refused = PlainFile::openForReading(in, path))
        throw fail(*refused);
    // Save Sketch writes whole records only; anything else was never a sketch.
    if (in.size() % kRecordBytes != 0)
        throw fail(QStringLiteral("It is not a Nimbolt Sketch drawing"));
    // Records missing from a short file stay zero.
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
