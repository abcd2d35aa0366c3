#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <chm_lib.h>

#include <cstdint>

// One object of a compiled help file's directory: its name and where its bytes lie in its
// section (0 stored, 1 LZX-compressed).
struct ChmObject {
    QByteArray name;
    std::uint64_t start = 0;
    std::uint64_t length = 0;
    int space = 0;
};

// Checks a .chm file's header, directory and compression tables against everything chmlib
// later takes on trust (sizes, offsets, divisors, index links), and lists its objects.
// Returns empty when the file is safe to hand to chmlib, else the reason it is not.
QString checkChmStructure(QFile& file, QList<ChmObject>& objects);
