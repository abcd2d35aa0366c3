#pragma once

#include <QByteArray>
#include <QString>

// The three registry operations the program uses, with the behaviour of their advapi32
// namesakes (ANSI forms, Windows status codes), answered from a registry export file.
// Key names, value names and string data are 8-bit text in the system's encoding.
namespace advapi32 {

// Predefined root keys.
inline constexpr qint32 HKEY_CLASSES_ROOT = qint32(0x80000000u);
inline constexpr qint32 HKEY_CURRENT_USER = qint32(0x80000001u);
inline constexpr qint32 HKEY_LOCAL_MACHINE = qint32(0x80000002u);
inline constexpr qint32 HKEY_USERS = qint32(0x80000003u);
inline constexpr qint32 HKEY_CURRENT_CONFIG = qint32(0x80000005u);

// Status codes.
inline constexpr qint32 ERROR_SUCCESS = 0;
inline constexpr qint32 ERROR_FILE_NOT_FOUND = 2;
inline constexpr qint32 ERROR_INVALID_HANDLE = 6;
inline constexpr qint32 ERROR_INVALID_PARAMETER = 87;
inline constexpr qint32 ERROR_MORE_DATA = 234;

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
