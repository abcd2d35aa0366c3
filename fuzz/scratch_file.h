#pragma once

// For the fuzzers whose code under test reads files: the input is written to a file in a
// scratch folder of this process's own, removed when the fuzzer ends.
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

inline const QTemporaryDir& scratchFolder()
{
    static const QTemporaryDir folder;
    return folder;
}

// Writes the input as the file `name` in the scratch folder; its path, or "" if that failed.
inline QString writeScratchFile(const QString& name, const std::uint8_t* data, std::size_t size)
{
    QFile file(scratchFolder().filePath(name));
    if (!scratchFolder().isValid() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        return {};
    return file.fileName();
}
