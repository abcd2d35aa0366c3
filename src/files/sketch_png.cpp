#include "files/sketch_png.h"

#include "board/sketch_board.h"
#include "files/sketch_printing.h"
#include "platform/file_error.h"
#include "platform/plain_file.h"

#include <QBuffer>
#include <QSaveFile>

namespace SketchPng {

QImage render(const SketchFile::Rows& rows)
{
    // The printed page's white paper and black ink.
    frmPrintSketch page;
    SketchBoard::plotGrid(page.surface(), rows);
    return page.surface().image().convertToFormat(QImage::Format_Mono);
}

void exportFile(const QString& sketchPath, const QString& pngPath)
{
    const QImage image = render(SketchFile::read(sketchPath));
    auto fail = [&pngPath](const QString& reason) {
        return FileError(QStringLiteral("Could not write the picture %1: %2.")
                             .arg(SketchFile::displayPath(pngPath), reason));
    };
    if (PlainFile::sameFile(sketchPath, pngPath))
        throw fail(QStringLiteral("It is the sketch being exported"));
    if (const auto refused = PlainFile::refuseAsTarget(pngPath))
        throw fail(*refused);
    // Encoded in memory, where it cannot fail part-way, then written with the system's
    // reason for any failure.
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw fail(QStringLiteral("The PNG encoder failed"));
    // Written beside the target and renamed over it, so a failed export leaves no half picture.
    QSaveFile out(pngPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        || !PlainFile::writeAll(out, encoded) || !out.commit())
        throw fail(out.errorString());
}

}  // namespace SketchPng
