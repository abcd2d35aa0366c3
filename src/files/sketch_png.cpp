#include "files/sketch_png.h"

#include "platform/file_error.h"

#include <QRgb>
#include <QSaveFile>

#include <algorithm>

namespace SketchPng {

namespace {
constexpr int kWhite = 0;  // colour table indices of the one-bit picture
constexpr int kBlack = 1;
} // namespace

QImage render(const SketchFile::Rows& rows)
{
    QImage image(kGridColumns, kGridRows, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(kWhite);
    const int rowCount = std::min(kGridRows, int(rows.size()));
    for (int r = 1; r <= rowCount; ++r) {
        const RowRecord& row = rows[std::size_t(r - 1)];
        for (int c = 1; c <= kGridColumns; ++c) {
            if (row.isDrawn(c))
                image.setPixel(c - 1, r - 1, kBlack);
        }
    }
    return image;
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
