#include "files/sketch_png.h"

#include "board/sketch_board.h"
#include "files/print_sketch.h"
#include "platform/file_error.h"

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
    // Written beside the target and renamed over it, so a failed export leaves no half picture.
    QSaveFile out(pngPath);
    if (!out.open(QIODevice::WriteOnly))
        throw fail(out.errorString());
    if (!image.save(&out, "PNG")) {
        out.cancelWriting();
        throw fail(out.error() != QFileDevice::NoError ? out.errorString() : QStringLiteral("the PNG encoder failed"));
    }
    if (!out.commit())
        throw fail(out.errorString());
}

} // namespace SketchPng
