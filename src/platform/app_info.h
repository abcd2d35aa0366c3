#pragma once

#include <QString>
#include <QStringList>

// The application's folder, title and version.
namespace AppInfo {

QString title();  // "Nimbolt Sketch"
// The version, "1.0": the CMake project's, as the package and metainfo carry it.
QString version();
int majorVersion();
int minorVersion();
// The folder of the executable, symbolic links resolved.
QString applicationFolder();
// Folders for the screen store, in order of preference: the application folder, then the
// per-user data folder for an installed copy whose folder is not writable.
QStringList storeFolders();

}  // namespace AppInfo
