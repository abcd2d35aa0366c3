#include "platform/record_file.h"

#include "platform/file_error.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::set<int>& numbersInUse()
{
    static std::set<int> numbers;
    return numbers;
}

QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

} // namespace

RecordFile::RecordFile(int recordLength) : recordLength_(recordLength) {}

RecordFile::~RecordFile() { close(); }

int RecordFile::nextFreeFileNumber()
{
    int n = 1;
    for (int used : numbersInUse()) {
        if (used != n)
            break;
        ++n;
    }
    return n;
}

void RecordFile::open(const QString& path)
{
    close();
    const QByteArray native = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw FileError(QStringLiteral("Could not open %1: %2.").arg(shown(path), reason(errno)));
    fd_ = fd;
    path_ = path;
    number_ = nextFreeFileNumber();
    numbersInUse().insert(number_);
}

void RecordFile::close()
{
    if (fd_ < 0)
        return;
    ::close(fd_);  // nothing useful can be done about a failed close of a pread/pwrite file
    fd_ = -1;
    numbersInUse().erase(number_);
    number_ = 0;
}

qint64 RecordFile::offsetOf(qint64 n) const { return (n - 1) * recordLength_; }

void RecordFile::read(qint64 n, std::span<std::byte> into)
{
    const std::size_t wanted = into.size();
    std::size_t done = 0;
    while (done < wanted) {
        const ssize_t got = ::pread(fd_, into.data() + done, wanted - done, offsetOf(n) + qint64(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw FileError(QStringLiteral("Could not read %1: %2.").arg(shown(path_), reason(errno)));
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
        const ssize_t put = ::pwrite(fd_, from.data() + done, wanted - done, offsetOf(n) + qint64(done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            throw FileError(QStringLiteral("Could not write %1: %2.").arg(shown(path_), reason(put < 0 ? errno : EIO)));
        done += std::size_t(put);
    }
}

qint64 RecordFile::size() const
{
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0)
        return 0;
    return st.st_size;
}
