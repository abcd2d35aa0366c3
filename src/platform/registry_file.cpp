#include "platform/registry_file.h"

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
// (REGEDIT4); 8-bit text that is not valid UTF-8 is taken as Latin-1.
QString decodeText(QByteArrayView bytes)
{
    if (bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xFE) {
        QStringDecoder utf16(QStringDecoder::Utf16LE);
        return utf16(bytes.sliced(2));
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
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

} // namespace

// Reads the file's logical lines one at a time into a RegistryFile.
class RegistryFileParser {
public:
    explicit RegistryFileParser(RegistryFile& into) : file_(into) {}

    void parse(const QString& text)
    {
        QString logical;
        bool continuing = false;
        bool tooLong = false;
        qsizetype start = 0;
        while (start <= text.size()) {
            qsizetype end = text.indexOf(u'\n', start);
            if (end < 0)
                end = text.size();
            QStringView line = QStringView(text).sliced(start, end - start);
            start = end + 1;

            // A trailing backslash joins the next line, as exported hex data is wrapped;
            // the next line's indentation is dropped.
            const QStringView bare = line.trimmed();
            const bool joinsNext = bare.endsWith(u'\\') && (continuing || !bare.startsWith(u';'));
            const QStringView piece = joinsNext ? bare.chopped(1) : continuing ? bare : line;
            if (!continuing) {
                logical.clear();
                tooLong = false;
            }
            if (tooLong || logical.size() + piece.size() > RegistryFile::kMaxLineChars)
                tooLong = true;
            else
                logical.append(piece);

            continuing = joinsNext && start <= text.size();
            if (!continuing && !tooLong)
                handleLine(QStringView(logical).trimmed());
        }
    }

    // True when the file does not begin with a registry export header.
    bool rejected() const { return rejected_; }

private:
    void handleLine(QStringView line)
    {
        if (rejected_ || line.isEmpty() || line.startsWith(u';'))
            return;
        if (!headerSeen_) {
            headerSeen_ = isHeader(line);
            rejected_ = !headerSeen_;
            return;
        }
        if (line.startsWith(u'['))
            handleSection(line);
        else if (!currentKey_.isEmpty())
            handleValue(line);
    }

    void handleSection(QStringView line)
    {
        currentKey_.clear();
        if (!line.endsWith(u']'))
            return;
        QStringView name = line.sliced(1, line.size() - 2);
        const bool removal = name.startsWith(u'-');
        if (removal)
            name = name.sliced(1);
        const QString canonical = RegistryFile::canonicalKey(name);
        if (canonical.isEmpty())
            return;
        if (removal) {
            file_.removeKey(canonical);
        } else {
            file_.addKey(canonical);
            currentKey_ = canonical;
        }
    }

    void handleValue(QStringView line)
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
        RegistryFile::Values& values = file_.keys_[currentKey_];
        if (rest == u"-") {
            values.remove(name.toCaseFolded());
            return;
        }
        if (auto value = parseData(rest))
            values.insert(name.toCaseFolded(), std::move(*value));
    }

    RegistryFile& file_;
    QString currentKey_;  // canonical path of the section being read; empty outside one
    bool headerSeen_ = false;
    bool rejected_ = false;
};

RegistryFile RegistryFile::parse(QByteArrayView bytes)
{
    RegistryFile file;
    if (bytes.size() > kMaxFileBytes)
        return file;
    RegistryFileParser parser(file);
    parser.parse(decodeText(bytes));
    if (parser.rejected())
        file.keys_.clear();
    return file;
}

RegistryFile RegistryFile::load(const QString& path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    // Read one byte past the limit so an oversized file (or an endless device) is refused.
    const QByteArray bytes = in.read(kMaxFileBytes + 1);
    return parse(bytes);
}

QString RegistryFile::canonicalKey(QStringView keyPath)
{
    QString canonical;
    qsizetype start = 0;
    while (start <= keyPath.size()) {
        qsizetype end = keyPath.indexOf(u'\\', start);
        if (end < 0)
            end = keyPath.size();
        const QStringView part = keyPath.sliced(start, end - start);
        start = end + 1;
        if (part.isEmpty())
            continue;
        if (canonical.isEmpty()) {
            for (QStringView root : kRootNames) {
                if (part.compare(root, Qt::CaseInsensitive) == 0)
                    canonical = root.toString();
            }
            if (canonical.isEmpty())
                return {};
        } else {
            canonical += u'\\';
            canonical += part.toString().toCaseFolded();
        }
    }
    return canonical;
}

bool RegistryFile::hasKey(const QString& keyPath) const
{
    const QString canonical = canonicalKey(keyPath);
    if (canonical.isEmpty())
        return false;
    return !canonical.contains(u'\\') || keys_.contains(canonical);
}

const RegistryValue* RegistryFile::value(const QString& keyPath, const QString& valueName) const
{
    const auto key = keys_.constFind(canonicalKey(keyPath));
    if (key == keys_.cend())
        return nullptr;
    const auto found = key->constFind(valueName.toCaseFolded());
    return found == key->cend() ? nullptr : &*found;
}

void RegistryFile::addKey(const QString& canonical)
{
    // Listing a key brings its parents into being, as importing the file would.
    for (qsizetype cut = canonical.indexOf(u'\\'); cut >= 0; cut = canonical.indexOf(u'\\', cut + 1))
        keys_[canonical.left(cut)];  // operator[] inserts a key with no values when missing
    keys_[canonical];
}

void RegistryFile::removeKey(const QString& canonical)
{
    const QString below = canonical + u'\\';
    keys_.removeIf([&](const auto& entry) { return entry.key() == canonical || entry.key().startsWith(below); });
}
