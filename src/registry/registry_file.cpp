#include "registry/registry_file.h"

#include "platform/plain_file.h"
#include "platform/text_decoding.h"
#include "registry/registry_entry.h"

#include <QFile>
#include <QStringDecoder>

#include <array>

namespace {

// Registry export files are UTF-16LE with a byte-order mark (version 5.00) or 8-bit text
// (REGEDIT4) in the ANSI code page of the Windows that wrote them.
QString decodeText(QByteArrayView bytes, bool& utf16)
{
    utf16 = bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xFE;
    if (utf16) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        return decoder(bytes.sliced(2));
    }
    return decodeUtf8Or(bytes, kWesternCodePage);
}

// True when key path `path` is `ancestor` or lies below it (both canonical).
bool isWithin(QStringView path, QStringView ancestor)
{
    return path.startsWith(ancestor)
        && (path.size() == ancestor.size() || path[ancestor.size()] == u'\\');
}

// A section line "[path]" or "[-path]": the canonical path, empty when it does not parse.
QString sectionKey(QStringView line, bool& removal)
{
    removal = false;
    if (!line.endsWith(u']'))
        return {};
    QStringView name = line.sliced(1, line.size() - 2);
    removal = name.startsWith(u'-');
    return RegistryFile::canonicalKey(removal ? name.sliced(1) : name);
}

void applyValue(RegistryEntry entry, QHash<QString, RegistryValue>& values)
{
    if (entry.kind == RegistryEntry::Deletion) {
        values.remove(entry.name);
        return;
    }
    if (values.size() >= RegistryFile::kMaxValuesPerKey && !values.contains(entry.name))
        return;
    values.insert(std::move(entry.name), std::move(entry.value));
}

}  // namespace

const RegistryValue* RegistryKey::value(const QString& name) const
{
    const auto found = values.constFind(name.toCaseFolded());
    return found == values.cend() ? nullptr : &*found;
}

RegistryFile RegistryFile::parse(QByteArrayView bytes)
{
    RegistryFile file;
    if (bytes.size() > kMaxFileBytes)
        return file;
    const QString text = decodeText(bytes, file.utf16_);
    const qsizetype body = RegistryEntry::bodyStart(text);
    if (body >= 0)
        file.text_ = text.sliced(body);
    return file;
}

RegistryFile RegistryFile::load(const QString& path)
{
    QFile in;
    if (PlainFile::openForReading(in, path) || in.size() > kMaxFileBytes)
        return {};
    // One byte past the limit, so a file that grew since it was opened is still refused.
    return parse(in.read(kMaxFileBytes + 1));
}

QString RegistryFile::canonicalKey(QStringView keyPath)
{
    QString root;
    QString rest;  // the parts below the root, each after a backslash
    qsizetype levels = 0;
    for (const QStringView part : keyPath.tokenize(u'\\', Qt::SkipEmptyParts)) {
        if (part.size() > kMaxKeyNameChars || ++levels > kMaxKeyLevels)
            return {};
        if (levels > 1) {
            rest += u'\\';
            rest += part;
            continue;
        }
        for (const auto& [key, name] : advapi32::kRootKeys) {
            if (part.compare(name, Qt::CaseInsensitive) == 0)
                root = name.toString();
        }
        if (root.isEmpty())
            return {};
    }
    return root + std::move(rest).toCaseFolded();
}

const RegistryKey& RegistryFile::key(const QString& keyPath) const
{
    static const RegistryKey kNoKey;
    const QString canonical = canonicalKey(keyPath);
    if (canonical.isEmpty())
        return kNoKey;
    auto found = read_.find(canonical);
    if (found == read_.end())
        found = read_.insert(canonical, readKey(canonical));
    return *found;
}

RegistryKey RegistryFile::readKey(const QString& canonical) const
{
    // Events in file order decide: listing the key or one below it brings it into being,
    // removing it or a key above it takes it and its values away.
    RegistryKey key;
    const bool root = !canonical.contains(u'\\');
    key.exists = root;
    bool reading = false;  // inside the key's own section
    RegistryEntry::forEach(text_, utf16_, [&](RegistryEntry entry) {
        if (entry.kind != RegistryEntry::Section) {
            if (reading)
                applyValue(std::move(entry), key.values);
            return;
        }
        bool removal = false;
        const QString section = sectionKey(entry.section, removal);
        reading = !section.isEmpty() && !removal && section == canonical;
        if (section.isEmpty())
            return;
        if (removal && isWithin(canonical, section)) {
            key.exists = root;
            key.values.clear();
        } else if (!removal && isWithin(section, canonical)) {
            key.exists = true;
        }
    });
    return key;
}
