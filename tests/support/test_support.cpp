#include "test_support.h"

#include <QFile>
#include <QtEndian>

#include <csignal>
#include <stdexcept>

#include <sys/resource.h>

namespace rawrecord {

QByteArray make(const std::vector<std::pair<int, std::int16_t>>& cells, std::int16_t penX, std::int16_t penY)
{
    QByteArray record(kBytes, '\0');
    for (const auto& [column, value] : cells)
        qToLittleEndian(value, record.data() + (column - 1) * 2);
    qToLittleEndian(penX, record.data() + 1164);
    qToLittleEndian(penY, record.data() + 1166);
    return record;
}

std::int16_t field(const QByteArray& file, int record, int byteOffset)
{
    const qsizetype at = qsizetype(record - 1) * kBytes + byteOffset;
    if (at + 1 >= file.size())
        throw std::out_of_range("record field beyond the end of the file");
    return qFromLittleEndian<std::int16_t>(file.constData() + at);
}

std::int16_t cell(const QByteArray& file, int record, int column) { return field(file, record, (column - 1) * 2); }

} // namespace rawrecord

FileSizeLimit::FileSizeLimit(long bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    saved_ = long(limit.rlim_cur);
    limit.rlim_cur = rlim_t(bytes);
    active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    if (active_ && getrlimit(RLIMIT_FSIZE, &limit) == 0) {
        limit.rlim_cur = rlim_t(saved_);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
}

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

void writeWholeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}
