#include "registry/registry_entry.h"

#include "platform/text_decoding.h"

#include <QtEndian>

#include <optional>

namespace {

constexpr qsizetype kDwordDigits = 8;
constexpr qsizetype kTypeDigits = 8;
constexpr qsizetype kByteDigits = 2;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView skipBlanks(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return text.sliced(i);
}

// Where a value line may end: nothing, or a ';' comment. A '#' comment there is refused.
bool endsLine(QStringView rest)
{
    rest = skipBlanks(rest);
    return rest.isEmpty() || rest.startsWith(u';');
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The hex number at the start of `text`, at most `maxDigits` long; `used` says how far it ran.
std::optional<quint32> leadingHex(QStringView text, qsizetype maxDigits, qsizetype& used)
{
    quint32 n = 0;
    used = 0;
    while (used < text.size() && hexDigit(text[used]) >= 0) {
        if (used == maxDigits)
            return std::nullopt;
        n = n << 4 | quint32(hexDigit(text[used++]));
    }
    if (used == 0)
        return std::nullopt;
    return n;
}

QByteArray utf16Le(QStringView text)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data());
    return bytes;
}

// A quoted string starting at text[0] == '"', with \" and \\ escapes; Windows refuses \0. On
// success returns the unescaped text and sets `end` just past the closing quote.
std::optional<QString> parseQuoted(QStringView text, qsizetype& end)
{
    QString out;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            end = i + 1;
            return out;
        }
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (c == u'\\' && next == u'0')
            return std::nullopt;
        if (c == u'\\' && (next == u'"' || next == u'\\'))
            out.append(text[++i]);
        else
            out.append(c);
    }
    return std::nullopt;
}

enum class HexLine { Done, Continued, Refused };

// Reads one line of a hex list ("41,42,\") into `bytes`. Items are one or two hex digits
// joined by commas; a backslash after a comma (on the first line also right after "hex:")
// carries the list on to the next line, followed by nothing but a ';' comment. The list ends
// with the line, after an item or a comma, or at a ';' comment.
HexLine readHexLine(QStringView line, bool first, QByteArray& bytes)
{
    enum { Start, AfterItem, AfterComma } state = Start;
    for (qsizetype i = 0;;) {
        const QStringView rest = skipBlanks(line.sliced(i));
        i = line.size() - rest.size();
        if (rest.isEmpty() || rest[0] == u';')
            return HexLine::Done;
        if (rest[0] == u'\\') {
            const bool mayContinue = state == AfterComma || (state == Start && first);
            return mayContinue && endsLine(rest.sliced(1)) ? HexLine::Continued : HexLine::Refused;
        }
        if (rest[0] == u',') {
            if (state != AfterItem)
                return HexLine::Refused;
            state = AfterComma;
            ++i;
            continue;
        }
        qsizetype used = 0;
        const auto byte = leadingHex(rest, kByteDigits, used);
        if (!byte || state == AfterItem || bytes.size() >= RegistryFile::kMaxValueBytes)
            return HexLine::Refused;
        bytes.append(char(*byte));
        state = AfterItem;
        i += used;
    }
}

// The value a hex list makes. The import keeps text types in UTF-16: from an 8-bit file it
// converts them from the ANSI code page, and it ends text that lacks one with a NUL.
std::optional<RegistryValue> hexValue(quint32 type, QByteArray bytes, bool utf16)
{
    if (advapi32::isTextType(type) && !bytes.isEmpty()) {
        if (!utf16)
            bytes = utf16Le(decodeUtf8Or(bytes, kWesternCodePage));
        if (bytes.size() % 2 != 0 || !bytes.endsWith(QByteArrayView("\0\0", 2)))
            bytes.append("\0\0", 2);
    }
    if (bytes.size() > RegistryFile::kMaxValueBytes)
        return std::nullopt;
    return RegistryValue{type, std::move(bytes)};
}

// A hex value whose list goes on on a later line.
struct PendingHex {
    QString name;
    quint32 type = advapi32::REG_NONE;
    QByteArray bytes;
};

RegistryEntry valueEntry(QString name, quint32 type, QByteArray data)
{
    return RegistryEntry{RegistryEntry::Value, {}, std::move(name), {type, std::move(data)}};
}

std::optional<RegistryEntry> hexEntry(PendingHex hex, bool utf16)
{
    auto value = hexValue(hex.type, std::move(hex.bytes), utf16);
    if (!value)
        return std::nullopt;
    return valueEntry(std::move(hex.name), value->type, std::move(value->data));
}

// "hex:..." or "hex(type):...". A list that goes on on the next line is left in `pending`.
std::optional<RegistryEntry> parseHex(QString name, QStringView data, bool utf16,
                                      std::optional<PendingHex>& pending)
{
    PendingHex hex{std::move(name), advapi32::REG_BINARY, {}};
    QStringView list;
    if (data.startsWith(u"hex:", Qt::CaseInsensitive)) {
        list = data.sliced(4);
    } else if (data.startsWith(u"hex(", Qt::CaseInsensitive)) {
        qsizetype used = 0;
        const auto code = leadingHex(data.sliced(4), kTypeDigits, used);
        if (!code || !data.sliced(4 + used).startsWith(u"):"))
            return std::nullopt;
        hex.type = *code;
        list = data.sliced(4 + used + 2);
    } else {
        return std::nullopt;
    }
    switch (readHexLine(list, true, hex.bytes)) {
    case HexLine::Done:
        return hexEntry(std::move(hex), utf16);
    case HexLine::Continued:
        pending = std::move(hex);
        return std::nullopt;
    case HexLine::Refused:
        break;
    }
    return std::nullopt;
}

// The data after "Name"=: "-" (delete), a quoted string, dword:digits or a hex list.
std::optional<RegistryEntry> parseData(QString name, QStringView data, bool utf16,
                                       std::optional<PendingHex>& pending)
{
    if (data.startsWith(u'-')) {
        if (!endsLine(data.sliced(1)))
            return std::nullopt;
        return RegistryEntry{RegistryEntry::Deletion, {}, std::move(name), {}};
    }
    if (data.startsWith(u'"')) {
        qsizetype end = 0;
        const auto text = parseQuoted(data, end);
        if (!text || !endsLine(data.sliced(end)))
            return std::nullopt;
        QByteArray bytes = utf16Le(*text);
        bytes.append("\0\0", 2);
        if (bytes.size() > RegistryFile::kMaxValueBytes)
            return std::nullopt;
        return valueEntry(std::move(name), advapi32::REG_SZ, std::move(bytes));
    }
    if (data.startsWith(u"dword:", Qt::CaseInsensitive)) {
        const QStringView digits = skipBlanks(data.sliced(6));
        qsizetype used = 0;
        const auto n = leadingHex(digits, kDwordDigits, used);
        if (!n || !endsLine(digits.sliced(used)))
            return std::nullopt;
        QByteArray bytes(sizeof(quint32), Qt::Uninitialized);
        qToLittleEndian(*n, bytes.data());
        return valueEntry(std::move(name), advapi32::REG_DWORD, std::move(bytes));
    }
    return parseHex(std::move(name), data, utf16, pending);
}

// A value line ("Name"=data, @=data) parsed; nothing for any other line and for what the
// import refuses.
std::optional<RegistryEntry> parseValueLine(QStringView line, bool utf16,
                                            std::optional<PendingHex>& pending)
{
    QString name;
    qsizetype at = 0;
    if (line.startsWith(u'@')) {
        at = 1;
    } else if (line.startsWith(u'"')) {
        const auto quoted = parseQuoted(line, at);
        if (!quoted)
            return std::nullopt;
        name = *quoted;
    } else {
        return std::nullopt;
    }
    const QStringView rest = skipBlanks(line.sliced(at));
    if (!rest.startsWith(u'='))
        return std::nullopt;
    return parseData(std::move(name).toCaseFolded(), skipBlanks(rest.sliced(1)), utf16, pending);
}

// Calls `handle` with each line of the text (CR LF, LF or CR ends one) until it returns false.
template <typename Handle> void forEachLine(QStringView text, Handle&& handle)
{
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        if (!handle(text.sliced(start, end - start)))
            return;
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
}

bool isHeader(QStringView line)
{
    return line == u"Windows Registry Editor Version 5.00" || line == u"REGEDIT4";
}

}  // namespace

qsizetype RegistryEntry::bodyStart(QStringView text)
{
    qsizetype body = -1;
    forEachLine(text, [&](QStringView line) {
        const QStringView bare = line.trimmed();
        if (bare.isEmpty() || bare.startsWith(u';'))
            return true;
        if (isHeader(bare))
            body = line.data() + line.size() - text.data();
        return false;
    });
    return body;
}

// Inside a hex list that goes on, blank lines and ';' comments are passed over, and any other
// line that is no list line takes the value with it.
void RegistryEntry::forEach(QStringView body, bool utf16,
                            const std::function<void(RegistryEntry)>& handle)
{
    std::optional<PendingHex> pending;
    const auto finishHex = [&] {
        if (auto entry = hexEntry(std::move(*pending), utf16))
            handle(std::move(*entry));
        pending.reset();
    };
    forEachLine(body, [&](QStringView rawLine) {
        const QStringView line = rawLine.trimmed();
        if (pending) {
            if (line.isEmpty() || line.startsWith(u';'))
                return true;
            const HexLine read = readHexLine(line, false, pending->bytes);
            if (read == HexLine::Done)
                finishHex();
            else if (read == HexLine::Refused)
                pending.reset();
        } else if (line.startsWith(u'[')) {
            handle(RegistryEntry{RegistryEntry::Section, line, {}, {}});
        } else if (auto entry = parseValueLine(line, utf16, pending)) {
            handle(std::move(*entry));
        }
        return true;
    });
    if (pending)
        finishHex();  // the file ended inside the list
}
