#include "files/sketch_file.h"

#include "board/screen_store.h"
#include "board/sketch_board.h"
#include "platform/file_error.h"
#include "platform/plain_file.h"
#include "platform/retried.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SketchFile {

namespace {

// A tail longer than this is not held in memory to rewrite a file in place.
constexpr qint64 kMaxTailInPlace = 64 * 1024 * 1024;

FileError saveError(const QString& path, const QString& reason)
{
    return FileError(
        QStringLiteral("Could not save the sketch to %1: %2.").arg(displayPath(path), reason));
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

// A shared file in a folder that takes no new files: no temporary file can go beside it, so
// it is rewritten where it is.
bool writableOnlyInPlace(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    return ::access(QFile::encodeName(info.absolutePath()).constData(), W_OK) != 0
        && errno == EACCES;
}

// The tail after the 485th record, held in memory because writing in place empties the file
// before anything is written.
QByteArray readTail(const QString& path)
{
    QFile old(path);
    if (!old.open(QIODevice::ReadOnly))
        throw saveError(path, old.errorString());
    if (old.size() - kFullGridBytes > kMaxTailInPlace)
        throw saveError(path,
                        QStringLiteral("It is too long to rewrite in a folder that takes "
                                       "no new files"));
    if (old.size() <= kFullGridBytes)
        return {};
    if (!old.seek(kFullGridBytes))
        throw saveError(path, old.errorString());
    const QByteArray tail = old.readAll();
    if (old.error() != QFileDevice::NoError)
        throw saveError(path, old.errorString());
    return tail;
}

// The file a save to path writes: QSaveFile follows links to the file they lead to.
QFileInfo savedFile(const QString& path)
{
    QFileInfo file(path);
    for (int depth = 0; depth < 128 && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    return file;
}

// Removes a regular file of our own that no running save holds locked. Whatever fails, the
// file is left for the next save.
void removeIfAbandoned(const QString& file)
{
    const QByteArray native = QFile::encodeName(file);
    const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    const int fd = retried([&] { return ::open(native.constData(), flags); });
    if (fd < 0)
        return;
    struct stat st {};
    const bool ours = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
    // Where the file system takes no locks, nothing tells a running save's file apart.
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    if (ours && !held)
        ::unlink(native.constData());
    ::close(fd);
}

// Whether six letters look drawn at random, as QSaveFile draws them, rather than typed: a word
// of one case or a capitalised one ("backup", "BACKUP", "Backup") is a user's own name far more
// often than a draw, and a leftover is better kept than a user's file removed.
bool looksDrawn(QStringView letters)
{
    const auto upper
        = std::count_if(letters.begin(), letters.end(), [](QChar c) { return c.isUpper(); });
    const bool capitalised = upper == 1 && letters.front().isUpper();
    return upper > 0 && upper < letters.size() && !capitalised;
}

// Where the file system has no anonymous temporary files, QSaveFile writes beside the target
// as "<name>.XXXXXX" (six random letters), and a save killed part-way leaves that file.
void removeLeftovers(const QString& path)
{
    const QFileInfo target = savedFile(path);
    const QRegularExpression leftover(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(target.fileName()) + QStringLiteral("\\.([A-Za-z]{6})")));
    QDirIterator entries(target.absolutePath(), QDir::Files | QDir::Hidden);
    while (entries.hasNext()) {
        const QString found = entries.next();
        const QRegularExpressionMatch match = leftover.match(entries.fileName());
        if (match.hasMatch() && looksDrawn(match.capturedView(1)))
            removeIfAbandoned(found);
    }
}

}  // namespace

QString displayPath(const QString& path)
{
    const QString home = QDir::homePath();
    const QString absolute = QDir::cleanPath(QDir(path).absolutePath());
    if (home != QStringLiteral("/") && absolute.startsWith(home + QLatin1Char('/')))
        return QDir::toNativeSeparators(QStringLiteral("~") + absolute.mid(home.size()));
    return QDir::toNativeSeparators(absolute);
}

void save(const QString& path, SketchBoard& board)
{
    if (const auto refused = PlainFile::refuseAsTarget(path))
        throw saveError(path, *refused);
    // Replacing the store's own file would leave the board drawing into a deleted file.
    if (board.store().isFile(path))
        throw saveError(path, QStringLiteral("It is the board's own screen store"));
    const bool inPlace = writableOnlyInPlace(path);
    const QByteArray heldTail = inPlace ? readTail(path) : QByteArray();
    removeLeftovers(path);
    QSaveFile out(path);
    out.setDirectWriteFallback(inPlace);
    // Unbuffered, so that a failed write reports the system's reason at once.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw saveError(path, out.errorString());
    // Held while written, so that a save to the same file elsewhere leaves it alone.
    (void)::flock(out.handle(), LOCK_EX | LOCK_NB);
    const Rows rows = board.gridWithPen();
    const QByteArrayView bytes(reinterpret_cast<const char*>(rows.data()), kFullGridBytes);
    if (!PlainFile::writeAll(out, bytes))
        throw saveError(path, out.errorString());
    if (!inPlace)
        copyTail(path, out);
    else if (!PlainFile::writeAll(out, heldTail))
        throw saveError(path, out.errorString());
    if (!out.commit())
        throw saveError(path, out.errorString());
}

Rows read(const QString& path)
{
    QFile in;
    auto fail = [&path](const QString& reason) {
        return FileError(
            QStringLiteral("Could not open the sketch %1: %2.").arg(displayPath(path), reason));
    };
    if (const auto refused = PlainFile::openForReading(in, path))
        throw fail(*refused);
    // Whatever a short file lacks, a partial last record included, stays zero; bytes after
    // the 485th record are not read.
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

}  // namespace SketchFile
