#pragma once

#include "board/row_record.h"

#include <QString>

#include <vector>

class SketchBoard;

// A sketch drawing file (".nsd"): exactly 485 row records, no header; every record carries
// the pen position, and readers take it from the last one.
namespace SketchFile {

using Rows = GridRows;

// Writes the board's rows 1..485, each stamped with the pen. The file is
// replaced only once everything is written, except where its folder takes no new files and
// it is rewritten in place; bytes after the 485th record of an existing file are kept, and
// so are its permissions. A target that exists but is not a regular file, or that is the
// store's own file, is refused. What an earlier save killed part-way left beside the file is
// removed. Throws FileError.
void save(const QString& path, SketchBoard& board);

// Reads the whole sketch before anyone changes anything: records 1 to 485 of any regular
// file. What a short file lacks reads as zeros, bytes after the 485th record are ignored.
// Anything but a regular file is refused. Throws FileError.
Rows read(const QString& path);

// "~/Documents/cat.nsd": a path as a message shows it.
QString displayPath(const QString& path);

}  // namespace SketchFile
