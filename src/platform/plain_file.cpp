#include "platform/plain_file.h"

#include "platform/file_error.h"
#include "platform/retried.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PlainFile {

namespace {

std::optional<struct stat> statOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return st;
}

}  // namespace

QString notAFile()
{
    return QStringLiteral("It is not a file");
}

std::optional<QString> openForReading(QFile& file, const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd
        = retried([&] { return ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); });
    if (fd < 0)
        return systemReason(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return notAFile();
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    return std::nullopt;
}

std::optional<QString> refuseAsTarget(const QString& path)
{
    const std::optional<struct stat> st = statOf(path);
    if (st && !S_ISREG(st->st_mode))
        return notAFile();
    return std::nullopt;
}

bool sameFile(const QString& a, const QString& b)
{
    const std::optional<struct stat> sa = statOf(a);
    const std::optional<struct stat> sb = statOf(b);
    return sa && sb && sa->st_dev == sb->st_dev && sa->st_ino == sb->st_ino;
}

bool writeAll(QFileDevice& out, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const qint64 put = out.write(bytes.data(), bytes.size());
        if (put <= 0)
            return false;
        bytes = bytes.sliced(put);
    }
    return true;
}

}  // namespace PlainFile
