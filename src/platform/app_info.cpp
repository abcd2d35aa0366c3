#include "platform/app_info.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace AppInfo {

QString title()
{
    return QStringLiteral("Nimbolt Sketch");
}

QString version()
{
    return QStringLiteral(NIMBOLT_VERSION);
}

int majorVersion()
{
    return NIMBOLT_VERSION_MAJOR;
}

int minorVersion()
{
    return NIMBOLT_VERSION_MINOR;
}

QString applicationFolder()
{
    const QString folder = QCoreApplication::applicationDirPath();
    const QString resolved = QFileInfo(folder).canonicalFilePath();
    return resolved.isEmpty() ? folder : resolved;
}

namespace {

// The per-user data folder. A relative XDG_DATA_HOME is invalid and ignored, as the XDG base
// directory rule says.
QString dataFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (QDir::isRelativePath(base))
        folder = QDir::homePath() + QStringLiteral("/.local/share") + folder.mid(base.size());
    // with HOME unset the home is "/", and the folder would read "//.local/share/..."
    return QDir::cleanPath(folder);
}

}  // namespace

QStringList storeFolders()
{
    QStringList folders{applicationFolder()};
    const QString data = dataFolder();
    if (!data.isEmpty() && QDir(data).absolutePath() != folders.first())
        folders << data;
    return folders;
}

}  // namespace AppInfo
