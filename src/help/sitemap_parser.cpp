#include "help/sitemap_parser.h"

#include <QList>

namespace {

struct Tag {
    QString name;  // lower case, with a leading '/' for a closing tag
    QList<std::pair<QString, QString>> attributes;  // names lower case, values decoded

    QString attribute(QLatin1StringView key) const
    {
        for (const auto& [attributeName, value] : attributes)
            if (attributeName == key)
                return value;
        return {};
    }
};

// How far after an '&' its ';' may lie: nine characters of name or number ("#x010FFFF"),
// then the ';'. It is looked for no further, so decoding stays linear in the text.
constexpr qsizetype kMaxEntityChars = 10;

QString decodeEntities(QStringView text)
{
    static const QList<std::pair<QLatin1StringView, char16_t>> named = {
        {QLatin1StringView("amp"), u'&'},       {QLatin1StringView("lt"), u'<'},
        {QLatin1StringView("gt"), u'>'},        {QLatin1StringView("quot"), u'"'},
        {QLatin1StringView("apos"), u'\''},     {QLatin1StringView("nbsp"), u'\u00A0'},
        {QLatin1StringView("copy"), u'\u00A9'}, {QLatin1StringView("reg"), u'\u00AE'},
    };
    QString out;
    out.reserve(text.size());
    const char16_t* const c = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype found = c[i] == u'&' ? text.mid(i + 1, kMaxEntityChars).indexOf(u';') : -1;
        if (found < 0) {
            out += text[i];
            continue;
        }
        const qsizetype semi = i + 1 + found;
        const QStringView body = text.mid(i + 1, found);
        bool known = false;
        if (body.startsWith(u'#')) {
            const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
            bool ok = false;
            const uint code = body.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (ok) {
                const bool valid = code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
                const char32_t character = valid ? static_cast<char32_t>(code) : U'\uFFFD';
                out += QString::fromUcs4(&character, 1);
                known = true;
            }
        } else {
            for (const auto& [entity, character] : named)
                if (body == entity) {
                    out += QChar(character);
                    known = true;
                }
        }
        if (known)
            i = semi;
        else
            out += text[i];
    }
    return out;
}

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// Reads the tag whose '<' is at pos; pos ends after its '>'. False when the input ends first.
bool readTag(QStringView text, qsizetype& pos, Tag& tag)
{
    const qsizetype size = text.size();
    const char16_t* const c = text.utf16();  // plain reads: this loop is the parser's hot path
    qsizetype i = pos + 1;
    const qsizetype nameStart = i;
    while (i < size && !isSpace(c[i]) && c[i] != u'>')
        ++i;
    tag.name = text.mid(nameStart, i - nameStart).toString().toLower();
    tag.attributes.clear();
    while (i < size && c[i] != u'>') {
        if (isSpace(c[i]) || c[i] == u'/') {
            ++i;
            continue;
        }
        const qsizetype keyStart = i;
        while (i < size && !isSpace(c[i]) && c[i] != u'=' && c[i] != u'>')
            ++i;
        const QString key = text.mid(keyStart, i - keyStart).toString().toLower();
        while (i < size && isSpace(c[i]))
            ++i;
        QString value;
        if (i < size && c[i] == u'=') {
            ++i;
            while (i < size && isSpace(c[i]))
                ++i;
            if (i < size && (c[i] == u'"' || c[i] == u'\'')) {
                const char16_t quote = c[i];
                const qsizetype close = text.indexOf(QChar(quote), i + 1);
                if (close < 0)
                    return false;
                value = decodeEntities(text.mid(i + 1, close - i - 1));
                i = close + 1;
            } else {
                const qsizetype valueStart = i;
                while (i < size && !isSpace(c[i]) && c[i] != u'>')
                    ++i;
                value = decodeEntities(text.mid(valueStart, i - valueStart));
            }
        }
        tag.attributes.append({key, value});
    }
    if (i >= size)
        return false;
    pos = i + 1;
    return true;
}

class Builder {
public:
    explicit Builder(Sitemap& sitemap) : sitemap_(sitemap), levels_{&sitemap.entries} {}

    void openList()
    {
        std::vector<SitemapEntry>& current = *levels_.back();
        if (openLists_ == 0) {
            openLists_ = 1;  // an outermost list is the root itself
        } else if (openLists_ >= SitemapParser::kMaxDepth) {
            ++ignoredLists_;
            sitemap_.truncated = true;
        } else if (current.empty()) {
            ++ignoredLists_;  // a list with no item to hang it on stays at this level
        } else {
            levels_.push_back(&current.back().children);
            ++openLists_;
        }
    }

    void closeList()
    {
        if (ignoredLists_ > 0) {
            --ignoredLists_;
        } else if (openLists_ > 1) {
            levels_.pop_back();
            --openLists_;
        } else {
            openLists_ = 0;
        }
    }

    void add(SitemapEntry entry)
    {
        if (entries_ >= SitemapParser::kMaxEntries) {
            sitemap_.truncated = true;
            return;
        }
        ++entries_;
        levels_.back()->push_back(std::move(entry));
    }

private:
    Sitemap& sitemap_;
    std::vector<std::vector<SitemapEntry>*> levels_;  // only the last level grows
    int openLists_ = 0;
    int ignoredLists_ = 0;
    int entries_ = 0;
};

}  // namespace

Sitemap SitemapParser::parse(QByteArrayView html, const char* codePage)
{
    Sitemap sitemap;
    if (html.size() > kMaxInputBytes) {
        html = html.first(kMaxInputBytes);
        sitemap.truncated = true;
    }
    // Help compilers write these files in UTF-8 or in the help file's Windows code page.
    const QString text = decodeUtf8Or(html, codePage);
    Builder builder(sitemap);
    bool inObject = false;
    SitemapEntry pending;
    // Ends the open object, also when its </OBJECT> is missing.
    const auto finishObject = [&] {
        if (inObject) {
            if (pending.name.isEmpty())
                pending.name = pending.local;
            if (!pending.name.isEmpty())
                builder.add(std::move(pending));
        }
        inObject = false;
        pending = {};
    };
    Tag tag;
    for (qsizetype pos = text.indexOf(u'<'); pos >= 0; pos = text.indexOf(u'<', pos)) {
        if (QStringView(text).mid(pos, 4) == u"<!--") {
            const qsizetype end = text.indexOf(QLatin1StringView("-->"), pos + 4);
            if (end < 0)
                break;
            pos = end + 3;
            continue;
        }
        if (!readTag(text, pos, tag))
            break;
        if (tag.name == u"ul" || tag.name == u"/ul" || tag.name == u"li" || tag.name == u"object")
            finishObject();
        if (tag.name == u"ul") {
            builder.openList();
        } else if (tag.name == u"/ul") {
            builder.closeList();
        } else if (tag.name == u"object") {
            inObject = tag.attribute(QLatin1StringView("type"))
                           .compare(u"text/sitemap", Qt::CaseInsensitive)
                == 0;
        } else if (tag.name == u"param" && inObject) {
            const QString key = tag.attribute(QLatin1StringView("name")).toLower();
            const QString value = tag.attribute(QLatin1StringView("value")).trimmed();
            // An index keyword may list several topics; the first name and file are the entry.
            if (key == u"name" && pending.name.isEmpty())
                pending.name = value;
            else if (key == u"local" && pending.local.isEmpty())
                pending.local = value;
        } else if (tag.name == u"/object") {
            finishObject();
        }
    }
    finishObject();
    return sitemap;
}
