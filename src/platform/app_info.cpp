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

QStringList storeFolders()
{
    QStringList folders{applicationFolder()};
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (!data.isEmpty() && QDir(data).absolutePath() != folders.first())
        folders << data;
    return folders;
}

}  // namespace AppInfo
