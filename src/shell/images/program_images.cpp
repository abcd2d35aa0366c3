#include "shell/images/program_images.h"

#include <array>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerImages() { Q_INIT_RESOURCE(images); }

namespace ProgramImages {

namespace {
constexpr std::array<const char*, 5> kToolbarFiles{
    "sheet.png", "folder-open.png", "diskette.png", "printer.png", "question.png"};
constexpr std::array<int, 4> kIconSizes{16, 32, 48, 256};
} // namespace

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
    return QStringLiteral(":/images/toolbar/") + QLatin1String(kToolbarFiles[static_cast<std::size_t>(index - 1)]);
}

QPixmap toolbarImage(int index)
{
    ensureLoaded();
    const QString path = toolbarImagePath(index);
    return path.isEmpty() ? QPixmap() : QPixmap(path);
}

QIcon programIcon()
{
    ensureLoaded();
    QIcon icon;
    for (int size : kIconSizes)
        icon.addFile(QStringLiteral(":/images/icon/nimbolt-sketch-%1.png").arg(size), QSize(size, size));
    return icon;
}

QPixmap logo()
{
    ensureLoaded();
    return QPixmap(QStringLiteral(":/images/logo/logo.png"));
}

} // namespace ProgramImages
