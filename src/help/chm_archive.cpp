#include "help/chm_archive.h"

#include "help/little_endian.h"
#include "platform/text_decoding.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <chm_lib.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kLcidRecord = 4;  // /#SYSTEM record whose data starts with the LCID

// The NUL-terminated text at offset: UTF-8, else in the help file's Windows code page.
QString textAt(const QByteArray& bytes, qsizetype offset, const char* codePage)
{
    if (offset < 0 || offset >= bytes.size())
        return {};
    const qsizetype end = bytes.indexOf('\0', offset);
    const QByteArrayView text(bytes.constData() + offset, (end < 0 ? bytes.size() : end) - offset);
    return decodeUtf8Or(text, codePage).trimmed();
}

QString rooted(const QString& name)
{
    if (name.isEmpty())
        return {};
    return name.startsWith(QLatin1Char('/')) ? name : QLatin1Char('/') + name;
}

}  // namespace

ChmArchive::~ChmArchive()
{
    close();
}

void ChmArchive::close()
{
    if (handle_)
        chm_close(handle_);
    handle_ = nullptr;
    objects_.clear();
    names_.clear();
    contentsFile_.clear();
    indexFile_.clear();
    defaultTopic_.clear();
    title_.clear();
    codePage_ = kWesternCodePage;
}

bool ChmArchive::open(const QString& path)
{
    close();
    error_.clear();
    if (!QFileInfo::exists(path)) {
        error_ = QStringLiteral("the file does not exist");
        return false;
    }
    if (!checkAndIndex(path))
        return false;
    handle_ = chm_open(QFile::encodeName(path).constData());
    if (!handle_) {
        error_ = QStringLiteral("chmlib cannot read it");
        objects_.clear();
        names_.clear();
        return false;
    }
    readNames();
    return true;
}

bool ChmArchive::checkAndIndex(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = file.errorString();
        return false;
    }
    QList<ChmObject> objects;
    error_ = checkChmStructure(file, objects);
    if (!error_.isEmpty())
        return false;
    for (ChmObject& object : objects) {
        const QString name = QString::fromUtf8(object.name);
        const QString key = normalizedPath(name);
        if (objects_.contains(key))
            continue;
        objects_.insert(key, std::move(object));
        if (name.startsWith(QLatin1Char('/')) && !name.endsWith(QLatin1Char('/'))
            && !name.startsWith(QLatin1String("/#")) && !name.startsWith(QLatin1String("/$")))
            names_.append(name);
    }
    return true;
}

void ChmArchive::readNames()
{
    // /#SYSTEM: a version, then records of code, length and data. Its text is in the code page
    // of the locale its LCID record names, so the records are decoded once that is known.
    QList<std::pair<std::uint32_t, QByteArray>> records;
    if (const auto system = read(QStringLiteral("/#SYSTEM"))) {
        LittleEndianFields fields(*system);
        for (qsizetype pos = 4; pos + 4 <= system->size();) {
            const std::uint32_t code = fields.u16(pos);
            const qsizetype length = fields.u16(pos + 2);
            pos += 4;
            if (length > system->size() - pos)
                break;
            const QByteArray data = system->sliced(pos, length);
            if (code == kLcidRecord && length >= 4)
                codePage_ = codePageOfLcid(LittleEndianFields(data).u32(0));
            records.append({code, data});
            pos += length;
        }
    }
    for (const auto& [code, data] : std::as_const(records)) {
        const QString text = textAt(data, 0, codePage_);
        if (code == 0)
            contentsFile_ = rooted(text);
        else if (code == 1)
            indexFile_ = rooted(text);
        else if (code == 2)
            defaultTopic_ = rooted(text);
        else if (code == 3)
            title_ = text;
    }
    // /#WINDOWS: the first window's contents and index file, as offsets into /#STRINGS.
    if (contentsFile_.isEmpty() || indexFile_.isEmpty()) {
        const auto windows = read(QStringLiteral("/#WINDOWS"));
        const auto strings = read(QStringLiteral("/#STRINGS"));
        if (windows && strings) {
            // Each entry starts after the 8-byte header; 0x60 and 0x64 hold the two offsets.
            LittleEndianFields fields(*windows);
            const std::uint32_t count = fields.u32(0);
            const std::uint32_t contents = fields.u32(8 + 0x60);
            const std::uint32_t index = fields.u32(8 + 0x64);
            if (count > 0 && windows->size() >= 8 + 0x68) {
                if (contentsFile_.isEmpty())
                    contentsFile_ = rooted(textAt(*strings, qsizetype(contents), codePage_));
                if (indexFile_.isEmpty())
                    indexFile_ = rooted(textAt(*strings, qsizetype(index), codePage_));
            }
        }
    }
    // Last resort: the first contents or index file in the root folder.
    for (const QString& name : std::as_const(names_)) {
        if (name.indexOf(QLatin1Char('/'), 1) >= 0)
            continue;
        if (contentsFile_.isEmpty() && name.endsWith(QLatin1String(".hhc"), Qt::CaseInsensitive))
            contentsFile_ = name;
        if (indexFile_.isEmpty() && name.endsWith(QLatin1String(".hhk"), Qt::CaseInsensitive))
            indexFile_ = name;
    }
    for (QString* name : {&contentsFile_, &indexFile_, &defaultTopic_})
        if (!contains(*name))
            name->clear();
}

bool ChmArchive::contains(const QString& path) const
{
    return !path.isEmpty() && objects_.contains(normalizedPath(path));
}

std::optional<QByteArray> ChmArchive::read(const QString& path) const
{
    if (!handle_)
        return std::nullopt;
    const auto it = objects_.constFind(normalizedPath(path));
    if (it == objects_.cend())
        return std::nullopt;
    return readObject(*it);
}

std::optional<QByteArray> ChmArchive::readObject(const ChmObject& object) const
{
    // The size comes from the file: capped before anything is allocated for it.
    if (object.length > static_cast<std::uint64_t>(kMaxObjectBytes))
        return std::nullopt;
    // chmlib takes the unit as its directory holds it; its fields were checked at open.
    chmUnitInfo unit{};
    unit.start = object.start;
    unit.length = object.length;
    unit.space = object.space;
    std::memcpy(unit.path, object.name.constData(),
                static_cast<size_t>(std::min<qsizetype>(object.name.size(), CHM_MAX_PATHLEN)));
    // Zero-filled, and only what chmlib says it wrote counts, so no byte of the buffer that
    // chmlib skipped can reach a page or an index.
    QByteArray bytes(static_cast<qsizetype>(object.length), '\0');
    const auto total = static_cast<LONGINT64>(object.length);
    LONGINT64 done = 0;
    while (done < total) {
        const LONGINT64 got = chm_retrieve_object(
            handle_, &unit, reinterpret_cast<unsigned char*>(bytes.data()) + done,
            static_cast<LONGUINT64>(done), total - done);
        if (got <= 0 || got > total - done)
            return std::nullopt;
        done += got;
    }
    return bytes;
}

QString ChmArchive::normalizedPath(const QString& path)
{
    // No fragment is cut off here: the archive's own files are named "/#SYSTEM" and so on.
    QString cleaned
        = QUrl::fromPercentEncoding(path.toUtf8()).replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList parts;
    for (const QString& part : cleaned.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
        } else if (part != QLatin1String(".")) {
            parts.append(part);
        }
    }
    QString result = QLatin1Char('/') + parts.join(QLatin1Char('/'));
    if (cleaned.endsWith(QLatin1Char('/')) && !parts.isEmpty())
        result += QLatin1Char('/');
    return result.toLower();
}
