#pragma once

#include "files/sketch_file.h"

#include <QImage>
#include <QString>

// A sketch as a picture: one pixel a cell, black ink on white.
namespace SketchPng {

// 582 x 485 pixels; pixel (c - 1, r - 1) is black when cell c of row r holds 1 and white
// for any other value, as the board draws it.
QImage render(const SketchFile::Rows& rows);

// Reads the sketch file and writes it as a PNG picture. The picture is replaced only once
// it is completely written; a target that is the sketch itself, or exists but is not a
// regular file, is refused. Throws FileError.
void exportFile(const QString& sketchPath, const QString& pngPath);

}  // namespace SketchPng
