#pragma once

// For the fuzzers whose code under test reads files: the input is written to a file in a
// scratch folder of this process's own, removed when the fuzzer ends.
#include "board/row_record.h"

#include <QByteArrayView>
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

// Writes bytes as the file `name` in the scratch folder; its path, or "" if that failed.
inline QString writeScratchFile(const QString& name, QByteArrayView bytes)
{
    QFile file(scratchFolder().filePath(name));
    if (!scratchFolder().isValid() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(bytes.data(), bytes.size()) != bytes.size())
        return {};
    return file.fileName();
}

// The record fuzzer reads its input as edits to a blank grid of 485 records, since random
// bytes rarely make a file of records that holds a picture: every five bytes set one 16-bit
// field (a cell or a pen) of the grid, three bytes saying which and two its value. The first
// byte says how long the file is: the whole grid, cut short inside a record, or with a tail.
inline QByteArray gridFromEdits(const std::uint8_t* data, std::size_t size)
{
    QByteArray grid(kFullGridBytes, '\0');
    for (std::size_t at = 1; at + 5 <= size; at += 5) {
        const std::uint32_t field = (data[at] | data[at + 1] << 8 | data[at + 2] << 16);
        const qsizetype offset = qsizetype(field % (kFullGridBytes / 2)) * 2;
        grid[offset] = char(data[at + 3]);
        grid[offset + 1] = char(data[at + 4]);
    }
    const int length = size > 0 ? data[0] : 0;
    if (length % 3 == 1)
        grid.truncate(qsizetype(length) * 2213);  // not a whole number of records
    else if (length % 3 == 2)
        grid.append(QByteArray(length, '\x01'));
    return grid;
}
