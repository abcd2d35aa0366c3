// Feeds arbitrary bytes to the help container: as a .chm file to ChmArchive, which checks it
// and hands it to chmlib, then reads its contents, index, default topic and pages the way
// the help window does.
#include "help/chm_archive.h"
#include "help/sitemap_parser.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace {

constexpr int kMaxPagesRead = 64;

const QString& scratchPath()
{
    static const QString path = QDir::tempPath() + QStringLiteral("/fuzz_chm_%1.chm").arg(getpid());
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        QFile file(scratchPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            return 0;
    }
    ChmArchive archive;
    if (!archive.open(scratchPath()))
        return 0;
    for (const QString& sitemapFile : {archive.contentsFile(), archive.indexFile()})
        if (const auto sitemap = archive.read(sitemapFile))
            SitemapParser::parse(*sitemap);
    archive.read(archive.defaultTopic());
    int pages = 0;
    for (const QString& name : archive.entries()) {
        if (++pages > kMaxPagesRead)
            break;
        archive.read(name);
    }
    return 0;
}
