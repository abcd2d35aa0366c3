#include "platform/text_decoding.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

// Primary language (the LCID's low 10 bits) to its ANSI code page, for the code pages other
// than Windows-1252.
struct LanguageCodePage {
    quint16 language;
    const char* codePage;
};
constexpr LanguageCodePage kLanguageCodePages[] = {
    {0x01, "windows-1256"}, {0x02, "windows-1251"}, {0x05, "windows-1250"}, {0x08, "windows-1253"},
    {0x0D, "windows-1255"}, {0x0E, "windows-1250"}, {0x11, "Shift_JIS"},    {0x12, "windows-949"},
    {0x15, "windows-1250"}, {0x18, "windows-1250"}, {0x19, "windows-1251"}, {0x1A, "windows-1250"},
    {0x1B, "windows-1250"}, {0x1C, "windows-1250"}, {0x1E, "windows-874"},  {0x1F, "windows-1254"},
    {0x20, "windows-1256"}, {0x22, "windows-1251"}, {0x23, "windows-1251"}, {0x24, "windows-1250"},
    {0x25, "windows-1257"}, {0x26, "windows-1257"}, {0x27, "windows-1257"}, {0x29, "windows-1256"},
    {0x2A, "windows-1258"}, {0x2F, "windows-1251"}, {0x3F, "windows-1251"},
};

constexpr quint16 kChinese = 0x04;
constexpr quint16 kSerbian = 0x1A;  // shares its number with Croatian and Bosnian
constexpr quint16 kCyrillicSerbian[] = {3, 7, 8, 10, 12};  // sublanguages written in Cyrillic

}  // namespace

QString decodeUtf8Or(QByteArrayView bytes, const char* codePage)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    // Stateless: a sequence cut short at the end is an error, not something held back.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text = QString();  // freed before the second copy is made
    QStringDecoder windows(codePage, QStringDecoder::Flag::Stateless);
    if (!windows.isValid())
        return QString::fromLatin1(bytes);
    return windows.decode(bytes);
}

const char* codePageOfLcid(quint32 lcid)
{
    const quint16 language = lcid & 0x3FF;
    const quint16 sublanguage = (lcid >> 10) & 0x3F;
    if (language == kChinese) {
        // Simplified for the PRC and Singapore, Traditional for Taiwan, Hong Kong and Macau.
        return sublanguage == 2 || sublanguage == 4 ? "GBK" : "Big5";
    }
    if (language == kSerbian && std::ranges::count(kCyrillicSerbian, sublanguage) > 0)
        return "windows-1251";
    for (const LanguageCodePage& entry : kLanguageCodePages) {
        if (entry.language == language)
            return entry.codePage;
    }
    return kWesternCodePage;
}
