#include "shell/images/program_images.h"

#include <QImageReader>

#include <array>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerImages()
{
    Q_INIT_RESOURCE(images);
}

namespace ProgramImages {

namespace {
constexpr std::array<const char*, 5> kToolbarFiles{"sheet.png", "folder-open.png", "diskette.png",
                                                   "printer.png", "question.png"};
constexpr std::array<int, 4> kIconSizes{16, 32, 48, 256};

// Decodes a compiled-in PNG with Qt's own reader: left to guess, QImageReader would first
// load every image format plugin to ask whether it reads PNG.
QPixmap readPng(const QString& path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}
}  // namespace

void ensureLoaded()
{
    static const bool loaded = [] {
        registerImages();
        return true;
    }();
    (void)loaded;
}

QString toolbarImagePath(int index)
{
    if (index < 1 || index > static_cast<int>(kToolbarFiles.size()))
        return {};
    return QStringLiteral(":/images/toolbar/")
        + QLatin1String(kToolbarFiles[static_cast<std::size_t>(index - 1)]);
}

QPixmap toolbarImage(int index)
{
    ensureLoaded();
    const QString path = toolbarImagePath(index);
    return path.isEmpty() ? QPixmap() : readPng(path);
}

QIcon programIcon()
{
    ensureLoaded();
    QIcon icon;
    for (int size : kIconSizes)
        icon.addPixmap(readPng(QStringLiteral(":/images/icon/nimbolt-sketch-%1.png").arg(size)));
    return icon;
}

QPixmap logo()
{
    ensureLoaded();
    return readPng(QStringLiteral(":/images/logo/logo.png"));
}

}  // namespace ProgramImages
