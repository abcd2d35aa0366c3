#include "platform/record_file.h"

#include "platform/file_error.h"
#include "platform/retried.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A long run of records is written in pieces of this size. One huge write fills the page
// cache with large folios, and on Linux every later one-record write into those (a key
// press) costs about half as much again.
constexpr std::size_t kMaxPieceBytes = 64 * 1024;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

}  // namespace

RecordFile::RecordFile(int recordLength) : recordLength_(recordLength) {}

RecordFile::~RecordFile()
{
    close();
}

void RecordFile::open(const QString& path)
{
    close();
    const QByteArray native = QFile::encodeName(path);
    // No following a link planted under the name, no waiting on a FIFO.
    const int flags = O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    const int fd = retried([&] { return ::open(native.constData(), flags, 0666); });
    if (fd < 0) {
        const QString why
            = errno == ELOOP ? QStringLiteral("It is a symbolic link") : systemReason(errno);
        throw FileError(QStringLiteral("Could not open %1: %2.").arg(shown(path), why));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()
        || st.st_nlink != 1) {
        ::close(fd);
        throw FileError(
            QStringLiteral("Could not open %1: It is not a file of your own.").arg(shown(path)));
    }
    fd_ = fd;
    path_ = path;
}

bool RecordFile::lockExclusive()
{
    // flock, not fcntl: its lock belongs to this open of the file, so a second open in the
    // same process is refused too.
    if (retried([&] { return ::flock(fd_, LOCK_EX | LOCK_NB); }) == 0)
        return true;
    if (errno == EWOULDBLOCK)
        return false;
    fail("lock");
}

void RecordFile::close()
{
    if (fd_ < 0)
        return;
    ::close(fd_);  // nothing useful can be done about a failed close of a pread/pwrite file
    fd_ = -1;
}

qint64 RecordFile::offsetOf(qint64 n) const
{
    return (n - 1) * recordLength_;
}

void RecordFile::fail(const char* what) const
{
    throw FileError(QStringLiteral("Could not %1 %2: %3.")
                        .arg(QLatin1String(what), shown(path_), systemReason(errno)));
}

void RecordFile::read(qint64 n, std::span<std::byte> into)
{
    const std::size_t wanted = into.size();
    std::size_t done = 0;
    while (done < wanted) {
        const qint64 at = offsetOf(n) + qint64(done);
        const ssize_t got
            = retried([&] { return ::pread(fd_, into.data() + done, wanted - done, at); });
        if (got < 0)
            fail("read");
        if (got == 0)
            break;  // end of file
        done += std::size_t(got);
    }
    std::fill(into.begin() + std::ptrdiff_t(done), into.end(), std::byte{0});
}

void RecordFile::write(qint64 n, std::span<const std::byte> from)
{
    const std::size_t wanted = from.size();
    std::size_t done = 0;
    while (done < wanted) {
        // A short write is carried on; the next one fails with the system's reason.
        const qint64 at = offsetOf(n) + qint64(done);
        const std::size_t piece = std::min(wanted - done, kMaxPieceBytes);
        const ssize_t put = retried([&] { return ::pwrite(fd_, from.data() + done, piece, at); });
        if (put < 0)
            fail("write");
        if (put == 0) {
            errno = EIO;
            fail("write");
        }
        done += std::size_t(put);
    }
}
