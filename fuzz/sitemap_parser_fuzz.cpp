// Feeds arbitrary bytes to the help's contents and index parser as sitemap HTML.
#include "help/sitemap_parser.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SitemapParser::parse(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
