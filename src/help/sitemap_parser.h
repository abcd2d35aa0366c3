#pragma once

#include "platform/text_decoding.h"

#include <QByteArrayView>
#include <QString>

#include <vector>

// One line of a help file's table of contents or keyword index.
struct SitemapEntry {
    QString name;
    QString local;  // the topic inside the help file; empty for a heading
    std::vector<SitemapEntry> children;
};

struct Sitemap {
    std::vector<SitemapEntry> entries;
    bool truncated = false;  // input, nesting or entry count went past a limit
};

// Reads the sitemap HTML of .hhc and .hhk files: nested <UL> lists whose <LI> items hold an
// <OBJECT type="text/sitemap"> with <param name="Name"> and <param name="Local">. Bad input
// gives whatever entries could be read, never an error.
namespace SitemapParser {

inline constexpr qsizetype kMaxInputBytes = 4 * 1024 * 1024;
inline constexpr int kMaxDepth = 32;  // deeper lists join the deepest allowed level
inline constexpr int kMaxEntries = 20000;

// `codePage` names the Windows code page of a file that is not UTF-8 ("windows-1252").
Sitemap parse(QByteArrayView html, const char* codePage = kWesternCodePage);

}  // namespace SitemapParser
