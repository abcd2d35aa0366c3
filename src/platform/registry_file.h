#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

// Registry value type codes, numbered as Windows numbers them.
namespace RegistryType {
inline constexpr quint32 kNone = 0;          // REG_NONE
inline constexpr quint32 kString = 1;        // REG_SZ
inline constexpr quint32 kExpandString = 2;  // REG_EXPAND_SZ
inline constexpr quint32 kBinary = 3;        // REG_BINARY
inline constexpr quint32 kDword = 4;         // REG_DWORD
inline constexpr quint32 kMultiString = 7;   // REG_MULTI_SZ
} // namespace RegistryType

// One value as the registry keeps it: a type code and raw data bytes. Text is kept in its
// 8-bit (UTF-8) form, the form the ANSI registry calls hand out.
struct RegistryValue {
    quint32 type = RegistryType::kNone;
    QByteArray data;
};

// The keys and values of a registry export file (.reg, "Windows Registry Editor Version
// 5.00" or "REGEDIT4"), for reading. Key paths begin with the root's name
// ("HKEY_LOCAL_MACHINE\Software\..."); key and value names match without regard to case;
// the empty value name is the key's default value ("@" in the file). A line that does not
// parse is skipped; a file without the header holds no keys.
class RegistryFile {
public:
    // Bounds that keep a hostile file from taking the memory of the machine.
    static constexpr qsizetype kMaxFileBytes = 16 * 1024 * 1024;
    static constexpr qsizetype kMaxLineChars = 1024 * 1024;
    static constexpr qsizetype kMaxValueBytes = 1024 * 1024;

    static RegistryFile parse(QByteArrayView bytes);
    // A missing, unreadable or oversized file gives a registry with no keys.
    static RegistryFile load(const QString& path);

    // Root keys always exist; a key also exists when one of its sub-keys is listed.
    bool hasKey(const QString& keyPath) const;
    // Null when the key or the value does not exist.
    const RegistryValue* value(const QString& keyPath, const QString& valueName) const;
    qsizetype keyCount() const { return keys_.size(); }

    // The lookup form of a key path: the root's name in capitals, the rest case-folded,
    // parts joined by single backslashes. Empty when the path does not start at a root key.
    static QString canonicalKey(QStringView keyPath);

private:
    using Values = QHash<QString, RegistryValue>;

    void addKey(const QString& canonical);
    void removeKey(const QString& canonical);

    friend class RegistryFileParser;
    QHash<QString, Values> keys_;  // by canonical key path; values by case-folded name
};
