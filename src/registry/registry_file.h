#pragma once

#include "registry/windows_registry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

// One value as the registry keeps it: a type code and its data bytes, text types in UTF-16LE
// (with the terminating NUL the import adds), the rest raw.
struct RegistryValue {
    quint32 type = advapi32::REG_NONE;
    QByteArray data;
};

// One key as a registry export file leaves it: whether it exists, and its values by
// case-folded name (the empty name is the key's default value, "@" in the file).
struct RegistryKey {
    bool exists = false;
    QHash<QString, RegistryValue> values;

    // Null when the value does not exist.
    const RegistryValue* value(const QString& name) const;
};

// A registry export file (.reg, "Windows Registry Editor Version 5.00" or "REGEDIT4"), read
// one key at a time: each key asked for costs one pass over the text and keeps only that
// key's values, so time and memory stay linear in the file's size whatever it holds. Key
// paths begin with the root's name ("HKEY_LOCAL_MACHINE\Software\..."); key and value names
// match without regard to case. Lines are read as the Windows import reads them: what it
// refuses (a line that does not parse, a hex list broken across lines, a key path no Windows
// registry could hold) is skipped, and a file without the header holds no keys.
class RegistryFile {
public:
    // Bounds that keep a hostile file from taking the memory of the machine.
    static constexpr qsizetype kMaxFileBytes = 4 * 1024 * 1024;
    static constexpr qsizetype kMaxValueBytes = 1024 * 1024;
    // Values a key keeps: a program's key holds a handful, a hostile file may list millions.
    // A line that would add one more is skipped; changing or deleting a kept one still works.
    static constexpr qsizetype kMaxValuesPerKey = 4096;
    // Windows' own limits: key names of at most 255 characters, at most 512 levels.
    static constexpr qsizetype kMaxKeyNameChars = 255;
    static constexpr qsizetype kMaxKeyLevels = 512;

    static RegistryFile parse(QByteArrayView bytes);
    // A missing, unreadable, oversized or not regular file (a FIFO, a device) gives a registry
    // with no keys; opening never waits for a writer.
    static RegistryFile load(const QString& path);

    // The key as the whole file leaves it; root keys always exist. Read on first use and kept.
    const RegistryKey& key(const QString& keyPath) const;
    // Null when the key or the value does not exist.
    const RegistryValue* value(const QString& keyPath, const QString& valueName) const
    {
        return key(keyPath).value(valueName);
    }

    // The lookup form of a key path: the root's name in capitals, the rest case-folded,
    // parts joined by single backslashes. Empty when the path does not start at a root key
    // or goes past Windows' limits.
    static QString canonicalKey(QStringView keyPath);

private:
    RegistryKey readKey(const QString& canonical) const;

    QString text_;  // after the header; empty when the file has none
    bool utf16_ = false;  // a UTF-16 file, whose hex text data is UTF-16 already
    mutable QHash<QString, RegistryKey> read_;  // keys read so far, by canonical path
};
