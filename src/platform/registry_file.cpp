#include "platform/registry_file.h"

#include "platform/plain_file.h"
#include "platform/text_decoding.h"

#include <QFile>
#include <QStringDecoder>

#include <array>
#include <optional>

namespace {

constexpr std::array kRootNames{
    QStringView(u"HKEY_CLASSES_ROOT"), QStringView(u"HKEY_CURRENT_USER"),
    QStringView(u"HKEY_LOCAL_MACHINE"), QStringView(u"HKEY_USERS"),
    QStringView(u"HKEY_CURRENT_CONFIG"),
};

// Registry export files are UTF-16LE with a byte-order mark (version 5.00) or 8-bit text
// (REGEDIT4).
QString decodeText(QByteArrayView bytes)
{
    if (bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xFE) {
        QStringDecoder utf16(QStringDecoder::Utf16LE);
        return utf16(bytes.sliced(2));
    }
    return decodeUtf8OrLatin1(bytes);
}

std::optional<quint32> parseHexNumber(QStringView digits, qsizetype maxDigits)
{
    if (digits.isEmpty() || digits.size() > maxDigits)
        return std::nullopt;
    quint32 n = 0;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        quint32 d;
        if (u >= u'0' && u <= u'9')
            d = quint32(u - u'0');
        else if (u >= u'a' && u <= u'f')
            d = quint32(u - u'a' + 10);
        else if (u >= u'A' && u <= u'F')
            d = quint32(u - u'A' + 10);
        else
            return std::nullopt;
        n = n << 4 | d;
    }
    return n;
}

// "41,42,00": two-digit hex bytes separated by commas; an empty list is no bytes, and the
// comma a line break leaves at the end is tolerated.
std::optional<QByteArray> parseHexBytes(QStringView list)
{
    QByteArray bytes;
    list = list.trimmed();
    if (list.isEmpty())
        return bytes;
    qsizetype start = 0;
    for (;;) {
        const qsizetype comma = list.indexOf(u',', start);
        const QStringView item = list.sliced(start, (comma < 0 ? list.size() : comma) - start).trimmed();
        if (item.isEmpty()) {
            if (comma < 0 && !bytes.isEmpty())
                return bytes;
            return std::nullopt;
        }
        const auto byte = parseHexNumber(item, 2);
        if (!byte || bytes.size() >= RegistryFile::kMaxValueBytes)
            return std::nullopt;
        bytes.append(char(*byte));
        if (comma < 0)
            return bytes;
        start = comma + 1;
    }
}

// A quoted string starting at text[0] == '"', with \" and \\ escapes. On success returns the
// unescaped text and sets `end` just past the closing quote.
std::optional<QString> parseQuoted(QStringView text, qsizetype& end)
{
    QString out;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            end = i + 1;
            return out;
        }
        if (c == u'\\' && i + 1 < text.size() && (text[i + 1] == u'"' || text[i + 1] == u'\\'))
            out.append(text[++i]);
        else
            out.append(c);
    }
    return std::nullopt;
}

std::optional<RegistryValue> parseData(QStringView data)
{
    if (data.startsWith(u'"')) {
        qsizetype end = 0;
        const auto text = parseQuoted(data, end);
        if (!text || !data.sliced(end).trimmed().isEmpty())
            return std::nullopt;
        RegistryValue value{RegistryType::kString, text->toLocal8Bit()};
        value.data.append('\0');
        if (value.data.size() > RegistryFile::kMaxValueBytes)
            return std::nullopt;
        return value;
    }
    if (data.startsWith(u"dword:", Qt::CaseInsensitive)) {
        const auto n = parseHexNumber(data.sliced(6).trimmed(), 8);
        if (!n)
            return std::nullopt;
        QByteArray bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[i] = char((*n >> (8 * i)) & 0xFF);
        return RegistryValue{RegistryType::kDword, bytes};
    }
    quint32 type = RegistryType::kBinary;
    QStringView list;
    if (data.startsWith(u"hex:", Qt::CaseInsensitive)) {
        list = data.sliced(4);
    } else if (data.startsWith(u"hex(", Qt::CaseInsensitive)) {
        const qsizetype close = data.indexOf(u"):");
        if (close < 0)
            return std::nullopt;
        const auto code = parseHexNumber(data.sliced(4, close - 4), 8);
        if (!code)
            return std::nullopt;
        type = *code;
        list = data.sliced(close + 2);
    } else {
        return std::nullopt;
    }
    const auto bytes = parseHexBytes(list);
    if (!bytes)
        return std::nullopt;
    return RegistryValue{type, *bytes};
}

bool isHeader(QStringView line)
{
    return line == u"Windows Registry Editor Version 5.00" || line == u"REGEDIT4";
}

// Calls `handle` with each logical line of the text, trimmed, until it returns false. A
// trailing backslash joins the next line, as exported hex data is wrapped, and the next
// line's indentation is dropped; a logical line longer than kMaxLineChars is skipped.
template <typename Handle>
void forEachLine(QStringView text, Handle&& handle)
{
    QString logical;
    bool continuing = false;
    bool tooLong = false;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        const QStringView line = text.sliced(start, end - start);
        start = end + 1;

        const QStringView bare = line.trimmed();
        const bool joinsNext = bare.endsWith(u'\\') && (continuing || !bare.startsWith(u';'));
        const QStringView piece = joinsNext ? bare.chopped(1) : continuing ? bare : line;
        if (!continuing) {
            logical.resize(0);  // keeps the buffer for the next line
            tooLong = false;
        }
        if (tooLong || logical.size() + piece.size() > RegistryFile::kMaxLineChars)
            tooLong = true;
        else
            logical.append(piece);

        continuing = joinsNext && start <= text.size();
        if (!continuing && !tooLong && !handle(QStringView(logical).trimmed()))
            return;
    }
}

// Calls `handle` with each line after the header that is neither blank nor a comment.
template <typename Handle>
void forEachEntry(QStringView text, Handle&& handle)
{
    bool header = true;
    forEachLine(text, [&](QStringView line) {
        if (line.isEmpty() || line.startsWith(u';'))
            return true;
        if (header) {
            header = false;
            return true;
        }
        handle(line);
        return true;
    });
}

// True when key path `path` is `ancestor` or lies below it (both canonical).
bool isWithin(QStringView path, QStringView ancestor)
{
    return path.startsWith(ancestor) && (path.size() == ancestor.size() || path[ancestor.size()] == u'\\');
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

// A value line ("Name"=data, @=data or "Name"=-) of the key being read.
void readValue(QStringView line, QHash<QString, RegistryValue>& values)
{
    QString name;
    qsizetype at = 0;
    if (line.startsWith(u'@')) {
        at = 1;
    } else if (line.startsWith(u'"')) {
        const auto quoted = parseQuoted(line, at);
        if (!quoted)
            return;
        name = *quoted;
    } else {
        return;
    }
    QStringView rest = line.sliced(at).trimmed();
    if (!rest.startsWith(u'='))
        return;
    rest = rest.sliced(1).trimmed();
    name = std::move(name).toCaseFolded();
    if (rest == u"-") {
        values.remove(name);
        return;
    }
    if (values.size() >= RegistryFile::kMaxValuesPerKey && !values.contains(name))
        return;
    if (auto value = parseData(rest))
        values.insert(name, std::move(*value));
}

} // namespace

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
    file.text_ = decodeText(bytes);
    // The first line that is neither blank nor a comment must be the header.
    bool headed = false;
    forEachLine(file.text_, [&](QStringView line) {
        if (line.isEmpty() || line.startsWith(u';'))
            return true;
        headed = isHeader(line);
        return false;
    });
    if (!headed)
        file.text_.clear();
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
        for (QStringView name : kRootNames) {
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
    forEachEntry(text_, [&](QStringView line) {
        if (line.startsWith(u'[')) {
            bool removal = false;
            const QString section = sectionKey(line, removal);
            reading = !section.isEmpty() && !removal && section == canonical;
            if (section.isEmpty())
                return;
            if (removal && isWithin(canonical, section)) {
                key.exists = root;
                key.values.clear();
            } else if (!removal && isWithin(section, canonical)) {
                key.exists = true;
            }
        } else if (reading) {
            readValue(line, key.values);
        }
    });
    return key;
}
