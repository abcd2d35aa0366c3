// Feeds arbitrary bytes to the sketch file reader as an .nsd file, then draws what it read
// as the PNG export does.
#include "files/sketch_file.h"
#include "files/sketch_png.h"
#include "platform/file_error.h"
#include "scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = writeScratchFile(QStringLiteral("sketch.nsd"), data, size);
    if (path.isEmpty())
        return 0;
    try {
        SketchPng::render(SketchFile::read(path));
    } catch (const FileError&) {
        // A refused file is a correct answer.
    }
    return 0;
}
