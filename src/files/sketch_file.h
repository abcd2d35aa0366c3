#pragma once

#include "board/row_record.h"

#include <QString>

#include <vector>

class ScreenStore;

// A sketch drawing file (".nsd"): exactly 485 row records, no header; every record carries
// the pen position, and readers take it from the last one.
namespace SketchFile {

using Rows = GridRows;

// Writes the store's rows 1..485, each stamped with the pen, through rowBuffer. The file is
// replaced only once everything is written; bytes after the 485th record of an existing
// file are kept, and so are its permissions. A target that exists but is not a regular
// file, or that is the store's own file, is refused. Throws FileError.
void save(const QString& path, ScreenStore& store, RowRecord& rowBuffer, int penX, int penY);

// Reads the whole sketch before anyone changes anything. Only a regular file made of whole
// records is a sketch; records missing from a short one read as zeros. Throws FileError.
Rows read(const QString& path);

// "~/Documents/cat.nsd": a path as a message shows it.
QString displayPath(const QString& path);

} // namespace SketchFile
