// Feeds arbitrary bytes to the help container: as a .chm file to ChmArchive, which checks it
// and hands it to chmlib, then reads its contents, index, default topic and pages the way
// the help window does.
#include "help/chm_archive.h"
#include "help/sitemap_parser.h"
#include "scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = writeScratchFile(QStringLiteral("help.chm"),
                                          {reinterpret_cast<const char*>(data), qsizetype(size)});
    ChmArchive archive;
    if (path.isEmpty() || !archive.open(path))
        return 0;
    for (const QString& sitemapFile : {archive.contentsFile(), archive.indexFile()})
        if (const auto sitemap = archive.read(sitemapFile))
            SitemapParser::parse(*sitemap);
    archive.read(archive.defaultTopic());
    constexpr int kMaxPagesRead = 64;
    int pages = 0;
    for (const QString& name : archive.entries()) {
        if (++pages > kMaxPagesRead)
            break;
        archive.read(name);
    }
    return 0;
}
