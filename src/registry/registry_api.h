#pragma once

#include "registry/windows_registry.h"

#include <QByteArray>
#include <QString>

// The three registry operations the program uses, with the behaviour of their advapi32
// namesakes (ANSI forms, Windows status codes), answered from a registry export file.
// Key names, value names and string data are 8-bit text in the system's encoding.
namespace advapi32 {

// Opens `subKey` below `rootKey` (a predefined key or an open handle). On success stores a
// non-zero handle that RegCloseKey must release; on failure stores 0.
qint32 RegOpenKeyA(qint32 rootKey, const QByteArray& subKey, quint32* handle);

// Reads the value `valueName` ("" for the default value) of an open key. With `data` null
// only the type code and the data size are stored. A value that does not exist gives
// ERROR_FILE_NOT_FOUND and leaves `type` and `size` untouched; a buffer smaller than the
// data gives ERROR_MORE_DATA with the needed size in `size`. `reserved` must be null.
qint32 RegQueryValueExA(quint32 key, const QByteArray& valueName, quint32* reserved, quint32* type,
                        quint8* data, quint32* size);

// Releases a handle from RegOpenKeyA. A null or unknown handle gives ERROR_INVALID_HANDLE.
qint32 RegCloseKey(quint32 key);

}  // namespace advapi32

// Where the registry operations find their keys: a registry export file, read afresh by each
// open. A missing file is a registry with no keys.
namespace RegistryStore {

inline constexpr char kDefaultPath[] = "/etc/nimbolt-sketch/registry.reg";

void setFilePath(const QString& path);
QString filePath();
// Handles opened by RegOpenKeyA and not yet closed.
int openKeyCount();

}  // namespace RegistryStore
