// Feeds arbitrary bytes to the sketch file reader as an .nsd file, then draws what it read
// as the PNG export does.
#include "files/sketch_file.h"
#include "files/sketch_png.h"
#include "platform/file_error.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = QDir::tempPath() + QStringLiteral("/fuzz_sketch_%1.nsd").arg(getpid());
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            return 0;
    }
    try {
        SketchPng::render(SketchFile::read(path));
    } catch (const FileError&) {
        // A refused file is a correct answer.
    }
    return 0;
}
