#include "registry/registry_api.h"

#include "registry/registry_file.h"

#include <QtEndian>

#include <cstring>
#include <map>
#include <optional>

namespace {

// An open key: its path, and the key as the file held it when it was opened.
struct OpenKey {
    QString path;
    RegistryKey key;
};

// Handles are small multiples of 4, as on Windows, well below the predefined keys.
constexpr quint32 kFirstHandle = 0x100;
constexpr quint32 kLastHandle = 0x7FFFFFFC;

struct Store {
    QString filePath = QString::fromLatin1(RegistryStore::kDefaultPath);
    std::map<quint32, OpenKey> open;
    quint32 nextHandle = kFirstHandle;
};

Store& store()
{
    static Store s;
    return s;
}

QString rootName(qint32 rootKey)
{
    for (const auto& [key, name] : advapi32::kRootKeys) {
        if (key == rootKey)
            return name.toString();
    }
    return {};
}

// Read afresh each time, so that an edited file is seen by the next open, as a live
// registry would be.
RegistryKey readKey(const QString& path)
{
    return RegistryFile::load(store().filePath).key(path);
}

// The path of the key a handle stands for: an open handle, or a predefined key, which is
// always open. Empty for anything else.
QString pathOf(quint32 key)
{
    const auto found = store().open.find(key);
    return found != store().open.end() ? found->second.path : rootName(qint32(key));
}

std::optional<OpenKey> resolve(quint32 key)
{
    const auto found = store().open.find(key);
    if (found != store().open.end())
        return found->second;
    const QString root = rootName(qint32(key));
    if (root.isEmpty())
        return std::nullopt;
    return OpenKey{root, readKey(root)};
}

// The data as the ANSI call hands it out: text types converted from the UTF-16 the registry
// keeps to the system's 8-bit encoding, other types as they are.
QByteArray ansiData(const RegistryValue& value)
{
    if (!advapi32::isTextType(value.type))
        return value.data;
    QString text(value.data.size() / 2, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(value.data.constData(), text.size(), text.data());
    return text.toLocal8Bit();
}

quint32 allocateHandle()
{
    Store& s = store();
    for (;;) {
        const quint32 handle = s.nextHandle;
        s.nextHandle = handle >= kLastHandle ? kFirstHandle : handle + 4;
        if (!s.open.contains(handle))
            return handle;
    }
}

}  // namespace

namespace advapi32 {

qint32 RegOpenKeyA(qint32 rootKey, const QByteArray& subKey, quint32* handle)
{
    if (!handle)
        return ERROR_INVALID_PARAMETER;
    *handle = 0;
    const QString parent = pathOf(quint32(rootKey));
    if (parent.isEmpty())
        return ERROR_INVALID_HANDLE;
    const QString path = parent + u'\\' + QString::fromLocal8Bit(subKey);
    OpenKey key{path, readKey(path)};
    if (!key.key.exists)
        return ERROR_FILE_NOT_FOUND;
    *handle = allocateHandle();
    store().open.emplace(*handle, std::move(key));
    return ERROR_SUCCESS;
}

qint32 RegQueryValueExA(quint32 key, const QByteArray& valueName, quint32* reserved, quint32* type,
                        quint8* data, quint32* size)
{
    if (reserved || (data && !size))
        return ERROR_INVALID_PARAMETER;
    const auto open = resolve(key);
    if (!open)
        return ERROR_INVALID_HANDLE;
    const RegistryValue* value = open->key.value(QString::fromLocal8Bit(valueName));
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    const QByteArray ansi = ansiData(*value);
    const auto needed = quint32(ansi.size());
    if (!size)
        return ERROR_SUCCESS;
    if (data && *size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (data && needed > 0)
        std::memcpy(data, ansi.constData(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

qint32 RegCloseKey(quint32 key)
{
    if (store().open.erase(key) == 1)
        return ERROR_SUCCESS;
    // Closing a predefined key is allowed and does nothing.
    return rootName(qint32(key)).isEmpty() ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
}

}  // namespace advapi32

namespace RegistryStore {

void setFilePath(const QString& path)
{
    store().filePath = path;
}

QString filePath()
{
    return store().filePath;
}

int openKeyCount()
{
    return int(store().open.size());
}

}  // namespace RegistryStore
