#include "registry/read_registry_value.h"

#include "registry/registry_api.h"

#include <QtEndian>

namespace NimboltSketchModule {

qint32 LastRegistryStatus = 0;

RegistryVariant ReadRegistryValue(qint32 RootKey, const QString& KeyPath, const QString& ValueName)
{
    using namespace advapi32;

    // Step 1: private copies, in the ANSI form the registry calls take, and zeroed working values.
    const QByteArray keyPath = KeyPath.toLocal8Bit();
    const QByteArray valueName = ValueName.toLocal8Bit();
    quint32 handle = 0;
    quint32 size = 0;
    quint32 type = 0;
    quint8 number[4] = {0, 0, 0, 0};
    RegistryVariant result{QString()};

    // Step 2: open.
    LastRegistryStatus = RegOpenKeyA(RootKey, keyPath, &handle);

    // Step 3: the handle, not the status, says whether the key opened.
    if (handle != 0) {
        // Step 4: size query; a missing value leaves the type at 0, so its status is not tested.
        LastRegistryStatus = RegQueryValueExA(handle, valueName, nullptr, &type, nullptr, &size);

        // Step 5: only strings and double words give anything.
        if (type == REG_SZ) {
            // Step 6: read into a buffer of `size` spaces and cut the text at its first NUL.
            QByteArray buffer(qsizetype(size), ' ');
            quint32 readType = 0;
            LastRegistryStatus = RegQueryValueExA(handle, valueName, nullptr, &readType,
                                                  reinterpret_cast<quint8*>(buffer.data()), &size);
            if (LastRegistryStatus == ERROR_SUCCESS) {
                const QString text = QString::fromLocal8Bit(buffer);
                const qsizetype nul = text.indexOf(QChar(u'\0'));
                result = RegistryVariant(nul < 0 ? text : text.left(nul));
            }
        } else if (type == REG_DWORD) {
            // Step 7: read four bytes into the number buffer.
            quint32 count = sizeof number;
            LastRegistryStatus
                = RegQueryValueExA(handle, valueName, nullptr, &type, number, &count);
            if (LastRegistryStatus == ERROR_SUCCESS)
                result = RegistryVariant(qFromLittleEndian<qint32>(number));
        }
    }

    // Step 8: close on every path, the null handle included.
    LastRegistryStatus = RegCloseKey(handle);

    // Step 9.
    return result;
}

}  // namespace NimboltSketchModule
